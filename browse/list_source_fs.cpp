#include "browse/list_source_fs.h"

#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "browse/list_panel.h"
#include "browse/list_sort.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "platform/find.h"

QList<CListColumn> CFileSystemListSource::Columns() const { return browse::FileSystemColumns(); }

void CFileSystemListSource::Fill(CListEntries* pEntries) {
  folders_ = files_ = 0;
  if (settings.MainListShowParent == 1 && path_.size() >= 2)
    pEntries->Add(browse::MakeParentEntry());
  // A folder that cannot be read lists as empty, or with what was read before the failure.
  plat::ForEachFolderEntry(path_, [&](const WIN32_FIND_DATAW& data) {
    if (!browse::IsListedInFolder(path_, data)) return;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ++folders_;
    else
      ++files_;
    pEntries->Add(browse::MakeFileSystemEntry(data));
  });
}

QString CFileSystemListSource::StatusText(const CListEntries&) const {
  if (folders_ == 0 && files_ == 0) return QStringLiteral("Empty folder.");
  return QStringLiteral("Folders: %1, Files: %2").arg(folders_).arg(files_);
}

QString CFileSystemListSource::Text(CListEntry& entry, int nField) {
  if (nField == eListField_Name) return entry.displayName;
  auto* pItem = entry.ItemAs<CFileItem>();
  if (!pItem) return {};
  switch (nField) {
    case eListField_Size:
      return browse::SizeCellText(entry.type, *pItem);
    case eListField_Date:
      return browse::FileTimeText(pItem->lastWriteTime);
    case eListField_Attributes:
      return pItem->attributeText;
    case eListField_Type:
      return browse::TypeCellText(entry.type, pItem);
    default:
      return {};
  }
}

int CFileSystemListSource::IconIndex(CListEntry& entry, bool bWorkerFillsIcons) {
  auto* pItem = entry.ItemAs<CFileItem>();
  if (!pItem) return eIcon_Unknown;
  if (entry.type == eEntry_File || entry.type == eEntry_Zip) {
    if (pItem->iconIndex >= 1) return pItem->iconIndex;
    if (bWorkerFillsIcons) return eIcon_Unknown;
    pItem->iconIndex = AppIconManager().IconForFile(FullPath(entry));
    return pItem->iconIndex;
  }
  if (entry.type == eEntry_Folder && pItem->iconIndex < 1)
    pItem->iconIndex = AppIconManager().FolderIcon(FullPath(entry), false);
  return pItem->iconIndex;
}

int CFileSystemListSource::Compare(const CListEntry& a, const CListEntry& b, int nField,
                                   bool bAscending) const {
  return browse::CompareFileSystemEntries(a, b, nField, bAscending);
}

void CFileSystemListSource::PrepareSort(CListEntries* pEntries, int nField) {
  if (nField != eListField_Type) return;
  for (int i = 0; i < pEntries->Count(); ++i) {
    CListEntry* pEntry = pEntries->At(i);
    if (auto* pItem = pEntry->ItemAs<CFileItem>()) browse::TypeCellText(pEntry->type, pItem);
  }
}

void CFileSystemListSource::Sort(CListEntries* pEntries, int nField, bool bAscending) {
  browse::SortFileSystemEntries(pEntries, nField, bAscending);
}

void CFileSystemListSource::Activate(CListPanel& panel, int nRow) {
  const CListEntry* pEntry = panel.Entries().At(nRow);
  if (!pEntry) return;
  switch (pEntry->type) {
    case eEntry_Folder:
      panel.LoadFolder(FullPath(*pEntry), false, true);
      break;
    case eEntry_Parent:
      Up(panel);
      break;
    case eEntry_File:
      panel.OpenFile(FullPath(*pEntry));
      break;
    case eEntry_Zip:
      panel.OpenArchive(FullPath(*pEntry));
      break;
    default:
      break;
  }
}

bool CFileSystemListSource::CanGoUp() const { return browse::CanGoUp(Kind(), path_); }

void CFileSystemListSource::Up(CListPanel& panel) {
  if (CanGoUp()) panel.LoadFolder(browse::ParentPath(path_), false, true);
}

void CFileSystemListSource::Refresh(CListPanel& panel) { panel.LoadFolder(path_, true, true); }

QString CFileSystemListSource::FullPath(const CListEntry& entry) const {
  if (entry.type == eEntry_Parent) return {};
  if (const auto* pFound = entry.ItemAs<CFoundFileItem>())
    return browse::AppendPathComponent(pFound->folder, pFound->name);
  if (const auto* pItem = entry.ItemAs<CFileItem>())
    return browse::AppendPathComponent(path_, pItem->name);
  return {};
}
