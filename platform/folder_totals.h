#pragma once
// The walk that totals a folder tree: its files, sub-folders and bytes. The list worker's
// folder sizes use it, and so can any command that wants totals before it starts.
//
// Links: a file reached through a link counts with the size of what it points to (a listing
// shows a link as its target; a dangling link is a file of size 0), but a linked folder is
// never entered and never counted, so a link can neither count a tree twice nor lead outside
// it. Items the device cannot name (a backslash in the name, a name the host encoding cannot
// carry) are left out, as listings leave them out.

#include <QString>

#include <functional>

#include "platform/wintypes.h"

struct CFolderTotals {
  quint64 bytes = 0;    // sizes of the files, 64-bit: no wrap at 4 GB
  quint64 files = 0;    // files below the folder, at any depth
  quint64 folders = 0;  // sub-folders below the folder, at any depth (links not included)
};

namespace plat {

// The totals of everything below strFolder, a device path. fnStop, when given, is asked
// before each item; when it answers true the walk ends and the function returns false with
// the totals so far. A sub-folder that cannot be read adds nothing. False, with zero totals,
// when strFolder itself cannot be read, is not a folder or is a link.
bool ComputeFolderTotals(const QString& strFolder, CFolderTotals* pTotals,
                         const std::function<bool()>& fnStop = {});

}  // namespace plat
