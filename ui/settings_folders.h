#pragma once
// The folders the settings sheet proposes for the log and the recycle bin: the program's own
// data folder, the device root's top-level folders and the storage cards (every card is a
// top-level folder too, so it is proposed once, with the others). The current folder is
// always in the list, first when it is none of the others.

#include <QString>
#include <QStringList>

QStringList ProposedFolders(const QString& strCurrent);
