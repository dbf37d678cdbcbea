#include "platform/host_defaults.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/device_root.h"
#include "platform/registry_hive.h"

namespace plat {

QString ChooseRootDir(const QString& option) {
  if (!option.isEmpty()) return option;
  const QString env = qEnvironmentVariable("PINBRO_ROOT");
  if (!env.isEmpty()) return env;
  return QDir::homePath();
}

QString ChooseHiveFile(const QString& option) {
  if (!option.isEmpty()) return option;
  const QString env = qEnvironmentVariable("PINBRO_REGISTRY");
  if (!env.isEmpty()) return env;
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         "/pinewood-browser/registry.db";
}

bool OpenHost(const QString& rootOption, const QString& hiveOption, QString* error) {
  if (!CDeviceRoot::Open(ChooseRootDir(rootOption), error)) return false;
  const QString hive = ChooseHiveFile(hiveOption);
  const QString hiveDir = QFileInfo(hive).absolutePath();
  if (!QDir().mkpath(hiveDir)) {
    *error = QStringLiteral("Could not create the registry folder %1.").arg(hiveDir);
    return false;
  }
  return CHive::Open(hive, error);
}

}  // namespace plat
