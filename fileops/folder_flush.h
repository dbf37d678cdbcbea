#pragma once
// Making a folder's entries durable: after a name is created, renamed or removed in a folder,
// the folder itself is flushed so that the change survives a power loss. Used by every
// operation that writes a file and then puts it in place (copy, move, restore, encrypt).

#include <QString>

namespace fileops {

// Sends a folder's entries (names created, renamed or removed in it) to stable storage. False
// with the last error set when the folder cannot be opened or flushed; a file system that
// cannot flush folders counts as success.
bool FlushFolder(const QString& strDevicePath);

}  // namespace fileops
