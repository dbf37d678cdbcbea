#pragma once
// Completion of folder paths typed in the address bar: the folders of the typed path's
// parent whose names begin with its last component, ignoring case.

#include <QString>
#include <QStringList>

namespace browse {

// "\Docs\S" gives "\Docs\Sub", "\Docs\Scans" (sorted, at most nMost); "\Docs\" gives every
// folder of "\Docs". A text that is no device path, or a parent that cannot be read, gives
// nothing. Hidden folders are offered as the list shows them (MainListShowHidden).
QStringList FolderCompletions(const QString& strTyped, int nMost = 100);

}  // namespace browse
