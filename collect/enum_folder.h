#pragma once
// The folder walker of the collection engine, over the program's one folder walk
// (fileops/plan_walk.h): each folder's entries are read before any is visited, sub-folders are
// opened by descriptor relative to their parent, and a link to a folder is reported as an
// entry but never entered, so the walk never leaves the tree it was given nor the device root.

#include <QString>

#include "collect/collect_rules.h"

namespace collect {

// Hands every entry of strFolder whose name matches strMask (a find pattern: "*.*" and "*"
// take every name) to pSink->OnFindData, in the host's order; when bRecursive, a matching
// folder is descended into, with the same mask, before the next entry. So a mask other than
// "*" or "*.*" is applied at every level, and only folders whose names match it are entered.
// "." and ".." are never reported. A sub-folder that cannot be read is passed over.
// False when pSink is null ("  pEnumFS is NULL, exiting..." is logged), when strFolder
// cannot be read, or when the sink ended the walk.
// eKinds reads each entry's status only when the sink asks for its Record().
bool EnumFolder(const QString& strFolder, const QString& strMask, IFindDataSink* pSink,
                bool bRecursive, fileops::EWalkRead read = fileops::EWalkRead::eFull);

}  // namespace collect
