#include "browse/list_columns.h"

#include "browse/file_item.h"
#include "browse/icon_manager.h"
#include "core/format.h"
#include "core/settings.h"
#include "platform/filetime.h"
#include "core/texts.h"

namespace browse {

QList<CListColumn> FileSystemColumns() {
  return {
      {core::Text(900102), 160, eListField_Name, false},
      {core::Text(900103), 70, eListField_Size, true},
      {core::Text(900104), 120, eListField_Date, false},
      {core::Text(900105), 75, eListField_Attributes, false},
      {core::Text(900106), 110, eListField_Type, false},
  };
}

QList<CListColumn> EmptyPanelColumns() {
  return {{core::Text(900102), 160, eListField_Name, false}};
}

QString SizeCellText(DWORD dwEntryType, const CFileItem& item) {
  switch (dwEntryType) {
    case eEntry_File:
    case eEntry_Zip:
      return core::FormatSize(item.size);
    case eEntry_Folder:
      if (item.HasSize() && settings.ShowFolderTotalSizes == 1) return core::FormatSize(item.size);
      return {};
    default:
      return {};
  }
}

QString FileTimeText(const FILETIME& ft) {
  if (plat::FileTimeToU64(ft) == 0) return {};
  FILETIME local;
  SYSTEMTIME st;
  if (!plat::FileTimeToLocalFileTime(ft, &local) || !plat::FileTimeToSystemTime(local, &st))
    return {};
  return core::FormatDateTime(st, /*bDateOnly=*/false, /*bShortDate=*/true);
}

QString TypeCellText(DWORD dwEntryType, CFileItem* pItem) {
  if (pItem->typeText.isEmpty()) {
    if (dwEntryType == eEntry_Folder)
      pItem->typeText = FolderTypeText(pItem->attributes);
    else if (dwEntryType == eEntry_File || dwEntryType == eEntry_Zip)
      pItem->typeText = AppIconManager().TypeText(pItem->name);
  }
  return pItem->typeText;
}

}  // namespace browse
