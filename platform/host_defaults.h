#pragma once
// Where the program keeps its device root and registry hive when the command line does not
// say: the options win, then the environment (PINBRO_ROOT, PINBRO_REGISTRY), then the per-user
// defaults (the home folder; $XDG_CONFIG_HOME/pinewood-browser/registry.db).

#include <QString>

namespace plat {

QString ChooseRootDir(const QString& option);
QString ChooseHiveFile(const QString& option);

// Opens the device root and the hive chosen above. False with a message that names the path
// and the reason (for the user, as is) when either cannot be used.
bool OpenHost(const QString& rootOption, const QString& hiveOption, QString* error);

}  // namespace plat
