#pragma once
// The columns of the file-system listing and the texts of its cells: Name, Size, Date,
// Attributes and Type, in this default order, each showing the field of the same number.

#include <QList>
#include <QString>

#include "browse/list_source.h"
#include "platform/wintypes.h"

class CFileItem;

// The file-system fields, which are also the file-system columns in their default order and
// the sort fields of a column click.
enum EListField : int {
  eListField_Name = 0,
  eListField_Size = 1,
  eListField_Date = 2,
  eListField_Attributes = 3,
  eListField_Type = 4,
};
constexpr int kListFieldCount = 5;

namespace browse {

QList<CListColumn> FileSystemColumns();
// The one Name column of the empty panel.
QList<CListColumn> EmptyPanelColumns();

// The Size cell: the size text for files and zip archives; for a folder only once its total
// is known and ShowFolderTotalSizes is 1; nothing for "..".
QString SizeCellText(DWORD dwEntryType, const CFileItem& item);
// A file time as the Date column shows it: local time, short date and time. Nothing for a
// zero time (the ".." entry has none).
QString FileTimeText(const FILETIME& ft);
// The Type cell, filled on first request and kept in the record: "File folder" or
// "Storage Card" for folders, the file type's description for files.
QString TypeCellText(DWORD dwEntryType, CFileItem* pItem);

}  // namespace browse
