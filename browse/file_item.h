#pragma once
// The record behind a file-system entry (folder, "..", file, zip archive) and behind a
// recycle-bin entry, the texts derived from it, and the building of file-system entries from
// find records.
//
// Sizes are 64-bit: a file of 4 GB or more keeps its true size. A folder's size is
// kSizeUnknown until its total has been computed.

#include <QString>

#include <memory>

#include "core/list_entry.h"
#include "platform/wintypes.h"

class CFileItem : public CItemRecord {
 public:
  static constexpr quint64 kSizeUnknown = ~quint64(0);

  CFileItem() = default;
  // Attributes, size (kSizeUnknown for a folder), name and times from the find record, and
  // the attribute text built at once. The icon is not known yet and the type text is left
  // empty for the first display to fill.
  explicit CFileItem(const WIN32_FIND_DATAW& data);

  bool IsFolder() const { return attributes & FILE_ATTRIBUTE_DIRECTORY; }
  bool HasSize() const { return size != kSizeUnknown; }

  DWORD attributes = 0;
  quint64 size = 0;
  QString name;  // the full name with extension
  FILETIME creationTime{};
  FILETIME lastAccessTime{};
  FILETIME lastWriteTime{};  // the Date column and the date sort
  int iconIndex = -1;        // image index; -1 while not known
  QString attributeText;     // nine characters, see AttributeText
  QString typeText;          // empty until first displayed
};

// A recycled item: the file item as it was when recycled, and where it came from.
class CRecycledItem : public CFileItem {
 public:
  CRecycledItem() = default;
  CRecycledItem(const WIN32_FIND_DATAW& data, const QString& strOriginalPath)
      : CFileItem(data), originalPath(strOriginalPath) {}

  QString originalPath;
};

// The icon index every recycled folder entry shows.
constexpr int kRecycledFolderIcon = 2;  // eIcon_Folder

namespace browse {

// Nine characters "dacehrsti", each the letter when its flag is set and "." when not:
// 0x10, 0x20, 0x800, 0x40, 0x02, 0x01, 0x04, 0x100, 0x40 (positions 4 and 9 are the same flag).
QString AttributeText(DWORD dwAttributes);

// The name as shown: unchanged when bShowExt, otherwise without the text from its last dot on,
// provided that dot is not the first character and the part cut off (dot included) is shorter
// than 6 characters ("readme.txt" -> "readme"; "notes.backup" and ".profile" stay).
QString DisplayName(const QString& strName, bool bShowExt);
// DisplayName with the list's MainListShowExt, and with the tree's MainTreeShowExt.
QString ListDisplayName(const QString& strName);
QString TreeDisplayName(const QString& strName);

// "Storage Card" for a folder with both 0x10 and 0x100 (how mounted cards appear), otherwise
// "File folder".
QString FolderTypeText(DWORD dwAttributes);

// The entry type of a find record: folder (2) for 0x10, zip archive (5) for a ".zip" file,
// file (4) otherwise.
DWORD EntryTypeForFind(const WIN32_FIND_DATAW& data);

// True when a listing of strFolder should show the find record: "." and "..", and the folder
// that is the recycle bin (RecycleBinPath, compared ignoring case), are left out.
bool IsListedInFolder(const QString& strFolder, const WIN32_FIND_DATAW& data);
bool IsRecycleBinFolder(const QString& strFullPath);

// The entry of one find record: its type, the display name (folders keep their full name,
// files follow MainListShowExt) and a file item built from the record.
std::unique_ptr<CListEntry> MakeFileSystemEntry(const WIN32_FIND_DATAW& data);

// The ".." entry that begins a folder listing: attributes 0, size 0, empty name, zero times,
// attribute text "d........", type text "Parent Folder", icon 13 when PersonalizeFolderIcons
// is 1, else 2.
std::unique_ptr<CListEntry> MakeParentEntry();

}  // namespace browse
