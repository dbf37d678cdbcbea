#pragma once
// Folder enumeration with the handheld's semantics.
//
// A pattern is a device path whose last component is a name or a wildcard pattern ("*",
// "*.*", "*.lnk", "a?c.txt"); matching ignores case, and "*.*" matches names without a dot
// too. A pattern without wildcards finds that one item (files and folders alike). As on the
// handheld, "." and ".." are never reported. Entries are reported in the host's order.
// Names the device cannot show (holding a backslash, or not valid in the host encoding) are
// left out. A symbolic link is reported as what it points to, plus
// FILE_ATTRIBUTE_REPARSE_POINT; a dangling link is reported as a file of size 0.

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

class CFind {
 public:
  CFind() = default;
  ~CFind();
  CFind(const CFind&) = delete;
  CFind& operator=(const CFind&) = delete;

  // The first match. False with ERROR_FILE_NOT_FOUND when nothing matches in an existing
  // folder, ERROR_PATH_NOT_FOUND when the folder does not exist (or is a file),
  // ERROR_ACCESS_DENIED when the host refuses to read it, ERROR_INVALID_NAME for a refused
  // path.
  bool First(const QString& pattern, WIN32_FIND_DATAW* data);
  // The next match; false with ERROR_NO_MORE_FILES at the end.
  bool Next(WIN32_FIND_DATAW* data);
  void Close();

 private:
  struct State;
  State* state_ = nullptr;
};

// The find record of one item (a find-first on its exact path, closed at once).
bool FindOne(const QString& devicePath, WIN32_FIND_DATAW* data);

// Matches a whole name against a pattern: "?" is any one character, "*" any run of characters
// (none included), every other character equals its name character without regard to case.
// A mismatch takes the last "*" one character further, so "*.txt" takes "a.b.txt", and the
// time stays within the product of the two lengths.
bool WildcardMatch(QStringView pattern, QStringView name);

// True when a name is one a find with the pattern (a last component: "*", "*.*", "*.lnk",
// "a?c.txt", or a plain name) reports: case is ignored, "*" and "*.*" match every name.
bool FindPatternMatches(QStringView pattern, QStringView name);

// cFileName as text (a view of the record's own characters, or a copy), and the 64-bit size of a
// find record.
QStringView FindNameView(const WIN32_FIND_DATAW& data);
QString FindName(const WIN32_FIND_DATAW& data);
quint64 FindSize(const WIN32_FIND_DATAW& data);
// True when a recursive walk may descend into the entry: a folder that is not a link.
bool IsWalkableFolder(const WIN32_FIND_DATAW& data);

// Every entry of a device folder, read in one go before the caller changes any of them, so
// that renames and deletes inside the folder cannot disturb the enumeration. True when the
// folder was read to its end (an empty folder too); false when it could not be read.
bool ReadFolderEntries(const QString& strFolder, std::vector<WIN32_FIND_DATAW>* pEntries);

// Whether a device folder can be listed: 0, or the error its listing meets:
// ERROR_PATH_NOT_FOUND when it is not there, ERROR_DIRECTORY when it is not a folder,
// ERROR_ACCESS_DENIED when it may not be read or a link leads outside the root,
// ERROR_INVALID_NAME for a path the device root refuses.
DWORD FolderOpenError(const QString& strFolder);

// Whether the item a device path names can be reached, links followed beneath the root: 0,
// or ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when it (or a link's target) is not there,
// ERROR_ACCESS_DENIED when a link leads outside the root, ERROR_INVALID_NAME for a path the
// device root refuses. Opening a link row asks this before anything is opened.
DWORD ItemOpenError(const QString& strPath);

// Every entry of a device folder handed to fnEntry in the host's order, the fastest way to
// list a large folder. True when the folder was read to its end; false when it could not be
// read (fnEntry may have seen the entries before the failure).
bool ForEachFolderEntry(const QString& strFolder,
                        const std::function<void(const WIN32_FIND_DATAW&)>& fnEntry);
// A host name the device cannot name (it holds a backslash, or bytes that are not UTF-8): no
// listing shows it, but a walk that must empty its folder hears of it.
using FnUnnamedEntry = std::function<void(const QByteArray& raw)>;
// The same for a folder already open as dirFd (a walk's descriptor, platform/dir_walk.h), whose
// canonical device path is strFolder and whose host path relative to the root is
// folderRelative. The descriptor stays open and is read from its start. fnUnnamed, when given,
// hears of each name the device cannot name.
bool ForEachEntryOfOpenFolder(int dirFd, const QString& strFolder,
                              const QByteArray& folderRelative,
                              const std::function<void(const WIN32_FIND_DATAW&)>& fnEntry,
                              const FnUnnamedEntry& fnUnnamed = {});
// A walk's listing that reads statuses only where it needs them: a plain file, a folder or a
// link (the host's listing says which) gets a record of its name and kind alone
// (FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_DIRECTORY, or FILE_ATTRIBUTE_REPARSE_POINT for a link
// whose target is not looked up), with bStatusRead false; ReadEntryOfOpenFolder gives its
// whole record. Entries whose kind the listing does not tell, and the root's entries (a folder
// there may be a storage card), get their whole record, with bStatusRead true.
using FnEntryWithStatus = std::function<void(const WIN32_FIND_DATAW&, bool bStatusRead)>;
// bFresh: the descriptor was just opened and never read, so it is at its first entry already.
bool ForEachKindOfOpenFolder(int dirFd, const QString& strFolder,
                             const QByteArray& folderRelative, bool bFresh,
                             const FnEntryWithStatus& fnEntry, const FnUnnamedEntry& fnUnnamed = {});
// The whole record of the entry strName of the folder open as dirFd (paths as above), looked
// up relative to the descriptor, never following the name. False with ERROR_FILE_NOT_FOUND
// when it has gone.
bool ReadEntryOfOpenFolder(int dirFd, const QString& strFolder,
                           const QByteArray& folderRelative, const QString& strName,
                           WIN32_FIND_DATAW* pData);
// A host name as messages show it: its UTF-8 text, with every byte that is not part of
// valid UTF-8, and every control character, written as \xHH.
QString ShownHostName(const QByteArray& raw);

}  // namespace plat
