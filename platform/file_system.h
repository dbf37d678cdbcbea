#pragma once
// Whole-item operations of the device file system. Every call that fails returns false (or
// the documented failure value) and sets the last error (plat::GetLastError).
//
// Every path is resolved beneath the device root: links on the way are followed only while
// they stay inside it, and a path that leads outside fails with ERROR_ACCESS_DENIED. Calls
// that act on an item itself (delete, move, remove a folder) never follow a link at the
// last component; those that read or set what an item is (attributes, times) follow it,
// inside the root only.

#include <QString>

#include "platform/wintypes.h"

namespace plat {

// Deletes a file, or a symbolic link itself (never its target). A folder: ERROR_ACCESS_DENIED.
bool DeleteFile(const QString& devicePath);

// Moves or renames a file or folder. Never replaces an existing item: ERROR_ALREADY_EXISTS
// when the target exists (a rename that changes only the case of the name is allowed).
// Across file systems: ERROR_NOT_SAME_DEVICE.
bool MoveFile(const QString& from, const QString& to);

// Puts `replacement` in the place of the existing file `replaced` in one atomic step.
// The one operation that may replace an item; both must be in the same folder.
bool ReplaceFile(const QString& replaced, const QString& replacement);

bool CreateDirectory(const QString& devicePath);
// Makes a folder and its missing parents; true when the folder exists afterwards.
bool CreateFolders(const QString& devicePath);
// Removes an empty folder; a symbolic link to a folder is removed itself.
bool RemoveDirectory(const QString& devicePath);

// INVALID_FILE_ATTRIBUTES on failure. Directory 0x10; read-only when the owner cannot write;
// hidden for names beginning with a dot; 0x110 for a storage card (a top-level folder that
// is a mount point); the other bits as last set, where the host keeps them.
DWORD GetFileAttributes(const QString& devicePath);
bool SetFileAttributes(const QString& devicePath, DWORD attributes);
// The target text of a symbolic link, as the host stores it ("../Docs", "/usr"), with bytes
// that are not UTF-8 shown as plat::ShownHostName shows them. False (last error set) when the
// path is refused, not there (ERROR_FILE_NOT_FOUND) or not a link (ERROR_INVALID_PARAMETER).
bool ReadLinkTarget(const QString& devicePath, QString* target);

// Null pointers: not read / left as they are.
bool GetFileTimes(const QString& devicePath, FILETIME* creation, FILETIME* lastAccess,
                  FILETIME* lastWrite);
bool SetFileTimes(const QString& devicePath, const FILETIME* creation,
                  const FILETIME* lastAccess, const FILETIME* lastWrite);

// The handheld's GetTempFileNameW: "<folder>\<prefix, at most 3 characters><hex number>.tmp".
// With unique 0 a free number is chosen and the file is created empty and exclusively, so two
// callers never get the same name; returns the number used, 0 on failure. With a non-zero
// unique the name is only formed, nothing is created.
UINT GetTempFileName(const QString& folder, const QString& prefix, UINT unique,
                     QString* tempPath);

// Space on the volume that holds the path.
bool GetDiskFreeSpaceEx(const QString& devicePath, quint64* freeBytesToCaller,
                        quint64* totalBytes, quint64* totalFreeBytes);

// Sends a folder's entries (names made, removed or renamed in it) to stable storage.
bool FlushFolder(const QString& devicePath);
// Sends everything written to the file system that holds the path to stable storage.
bool FlushFileSystem(const QString& devicePath);
// The host's identity of the item a path names (links followed inside the root): two paths
// with the same identity name one item.
bool GetItemIdentity(const QString& devicePath, quint64* device, quint64* inode);

// True when the device path names a top-level folder of the root that is a mount point of
// another file system.
bool IsStorageCard(const QString& devicePath);

}  // namespace plat
