#include "browse/file_item.h"

#include "browse/icon_indices.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "platform/find.h"
#include "core/texts.h"

namespace {

constexpr int kMaxCutExtensionChars = 5;  // the cut-off part, dot included, is below 6

}  // namespace

CFileItem::CFileItem(const WIN32_FIND_DATAW& data)
    : attributes(data.dwFileAttributes),
      size((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? kSizeUnknown
                                                               : plat::FindSize(data)),
      name(plat::FindName(data)),
      creationTime(data.ftCreationTime),
      lastAccessTime(data.ftLastAccessTime),
      lastWriteTime(data.ftLastWriteTime),
      attributeText(browse::AttributeText(data.dwFileAttributes)) {}

namespace browse {

QString AttributeText(DWORD dwAttributes) {
  struct CFlagLetter {
    DWORD flag;
    char16_t letter;
  };
  static constexpr CFlagLetter kLetters[] = {
      {FILE_ATTRIBUTE_DIRECTORY, u'd'}, {FILE_ATTRIBUTE_ARCHIVE, u'a'},
      {FILE_ATTRIBUTE_COMPRESSED, u'c'}, {FILE_ATTRIBUTE_INROM, u'e'},
      {FILE_ATTRIBUTE_HIDDEN, u'h'},    {FILE_ATTRIBUTE_READONLY, u'r'},
      {FILE_ATTRIBUTE_SYSTEM, u's'},    {FILE_ATTRIBUTE_TEMPORARY, u't'},
      {FILE_ATTRIBUTE_INROM, u'i'},
  };
  QString text(9, u'.');
  for (int i = 0; i < 9; ++i) {
    if (dwAttributes & kLetters[i].flag) text[i] = QChar(kLetters[i].letter);
  }
  return text;
}

QString DisplayName(const QString& strName, bool bShowExt) {
  if (bShowExt) return strName;
  const qsizetype nDot = strName.lastIndexOf(u'.');
  if (nDot <= 0 || strName.size() - nDot > kMaxCutExtensionChars) return strName;
  return strName.left(nDot);
}

QString ListDisplayName(const QString& strName) {
  return DisplayName(strName, settings.MainListShowExt != 0);
}

QString TreeDisplayName(const QString& strName) {
  return DisplayName(strName, settings.MainTreeShowExt != 0);
}

QString FolderTypeText(DWORD dwAttributes) {
  constexpr DWORD kCard = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
  return core::Text((dwAttributes & kCard) == kCard ? 55266 : 55117);
}

DWORD EntryTypeForFind(const WIN32_FIND_DATAW& data) {
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return eEntry_Folder;
  return HasZipExtension(plat::FindName(data)) ? eEntry_Zip : eEntry_File;
}

bool IsRecycleBinFolder(const QString& strFullPath) {
  return !settings.RecycleBinPath.isEmpty() &&
         strFullPath.compare(settings.RecycleBinPath, Qt::CaseInsensitive) == 0;
}

bool IsListedInFolder(const QString& strFolder, const WIN32_FIND_DATAW& data) {
  const QString strName = plat::FindName(data);
  if (strName == u"." || strName == u"..") return false;
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  QString strFull = strFolder;
  if (!strFull.endsWith(u'\\')) strFull += u'\\';
  return !IsRecycleBinFolder(strFull + strName);
}

std::unique_ptr<CListEntry> MakeFileSystemEntry(const WIN32_FIND_DATAW& data) {
  auto item = std::make_unique<CFileItem>(data);
  const DWORD dwType = EntryTypeForFind(data);
  QString strDisplay = dwType == eEntry_Folder ? item->name : ListDisplayName(item->name);
  return std::make_unique<CListEntry>(dwType, std::move(strDisplay), std::move(item));
}

std::unique_ptr<CListEntry> MakeParentEntry() {
  auto item = std::make_unique<CFileItem>();
  // The record is named ".." rather than left empty: a path built from it by mistake
  // ("\Docs\..") is refused by the file layer instead of naming the current folder.
  item->name = QStringLiteral("..");
  item->attributeText = QStringLiteral("d........");
  item->typeText = core::Text(900100);
  item->iconIndex = settings.PersonalizeFolderIcons == 1 ? eIcon_ParentFolder : eIcon_Folder;
  return std::make_unique<CListEntry>(eEntry_Parent, QStringLiteral(".."), std::move(item));
}

}  // namespace browse
