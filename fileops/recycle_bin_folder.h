#pragma once
// The rule for the folder that may be the recycle bin (the value of RecycleBinPath).

#include <QString>

namespace fileops {

// Why strPath cannot be the bin folder; empty when it can. The bin is a folder of its own: one
// that does not exist yet (it is made on first use), or a folder that holds nothing but the
// bin's items (containers "*.trb" and folders holding a descriptor), or nothing at all. A user
// folder is refused (it would vanish from the listings and its files would be taken for
// recycled items), and so are the root, a file, a link and a folder inside the current bin.
QString RecycleBinFolderProblem(const QString& strPath);

}  // namespace fileops
