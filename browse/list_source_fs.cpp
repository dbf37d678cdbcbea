#include "browse/list_source_fs.h"

#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "browse/list_source_factory.h"
#include "browse/list_sort.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "core/texts.h"

QList<CListColumn> CFileSystemListSource::Columns() const { return browse::FileSystemColumns(); }

void CFileSystemListSource::Fill(CListEntries* pEntries) {
  if (settings.MainListShowParent == 1 && path_.size() >= 2)
    pEntries->Add(browse::MakeParentEntry());
  // A folder that cannot be read lists as empty, or with what was read before the failure.
  plat::ForEachFolderEntry(path_, [&](const WIN32_FIND_DATAW& data) {
    if (!browse::IsListedInFolder(path_, data)) return;
    pEntries->Add(browse::MakeFileSystemEntry(data));
  });
}

DWORD CFileSystemListSource::OpenError() const { return plat::FolderOpenError(path_); }

QString CFileSystemListSource::StatusText(const CListEntries& entries) const {
  int nFolders = 0;
  int nFiles = 0;
  for (int i = 0; i < entries.Count(); ++i) {
    const DWORD dwType = entries.At(i)->type;
    if (dwType == eEntry_Folder)
      ++nFolders;
    else if (dwType == eEntry_File || dwType == eEntry_Zip)
      ++nFiles;
  }
  if (nFolders == 0 && nFiles == 0) return core::Text(900107);
  return core::Text(900108).arg(nFolders).arg(nFiles);
}

EChangeFit CFileSystemListSource::ChangeFit(DWORD dwKind, HKEY root,
                                            const QString& strPath) const {
  if (dwKind == eEntry_Folder &&
      browse::ParentPath(strPath).compare(path_, Qt::CaseInsensitive) == 0)
    return EChangeFit::eRows;
  return IListSource::ChangeFit(dwKind, root, strPath);
}

std::unique_ptr<CListEntry> CFileSystemListSource::EntryForItem(const QString& strPath) const {
  WIN32_FIND_DATAW data;
  if (!plat::FindOne(strPath, &data) || !browse::IsListedInFolder(path_, data)) return nullptr;
  return browse::MakeFileSystemEntry(data);
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

bool CFileSystemListSource::IsLink(const CListEntry& entry) const {
  const auto* pItem = entry.ItemAs<CFileItem>();
  return pItem && entry.type != eEntry_Parent &&
         (pItem->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
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

CListAction CFileSystemListSource::Activate(const CListEntry& entry) const {
  // A link is opened only when its target can be reached inside the root: a link outside, or
  // one whose target is gone, is listed as a file of size 0 and must neither be handed to the
  // desktop (which would open the place outside) nor listed.
  if (IsLink(entry)) {
    const QString strPath = FullPath(entry);
    if (const DWORD dwError = entry.type == eEntry_Folder ? plat::FolderOpenError(strPath)
                                                          : plat::ItemOpenError(strPath))
      return CListAction::Refuse(strPath, dwError);
  }
  switch (entry.type) {
    case eEntry_Folder:
      return CListAction::Show(CPanelLocation::FileSystem(FullPath(entry)), false, true);
    case eEntry_Parent:
      return Up();
    case eEntry_File:
      return CListAction::OpenFile(FullPath(entry));
    case eEntry_Zip:
      return CListAction::Show(CPanelLocation(eEntry_Zip, 0, FullPath(entry)), true, true);
    default:
      return {};
  }
}

bool CFileSystemListSource::CanGoUp() const { return browse::CanGoUp(Kind(), path_); }

CListAction CFileSystemListSource::Up() const {
  if (!CanGoUp()) return {};
  return CListAction::Show(CPanelLocation::FileSystem(browse::ParentPath(path_)), false, true);
}

CListAction CFileSystemListSource::Refresh() const {
  return CListAction::Show(CPanelLocation::FileSystem(path_), true, true);
}

bool CFileSystemListSource::Shows(const CPanelLocation& location) const {
  return location.IsFileSystem() && path_.compare(location.path, Qt::CaseInsensitive) == 0;
}

int CFileSystemListSource::InitialSortField() const { return eListField_Name; }

fileops::CSelection CFileSystemListSource::Selection(const CListEntries& entries,
                                                     const QList<int>& anRows) const {
  fileops::CSelection selection;
  for (int nRow : anRows) {
    const CListEntry* pEntry = entries.At(nRow);
    if (!pEntry || !IsFileSystemEntryType(pEntry->type) || pEntry->type == eEntry_Parent) continue;
    const QString strPath = FullPath(*pEntry);
    if (strPath.isEmpty()) continue;
    selection.push_back(
        {pEntry->type == eEntry_Folder ? fileops::eSelFolder : fileops::eSelFile, strPath});
  }
  return selection;
}

bool CFileSystemListSource::Offers(EListCommand command) const {
  // Everything up to the commands that other listings carry out themselves.
  return command != EListCommand::eRestore && command != EListCommand::eDeleteForGood &&
         command != EListCommand::eOpenContainingFolder && command != EListCommand::eSeparator &&
         int(command) < int(EListCommand::eNewKey);
}

QList<EListCommand> CFileSystemListSource::ContextMenuFor(const CListEntries& entries,
                                                          const QList<int>& anRows) const {
  QList<EListCommand> menu = FileListContextMenu();
  const int nTail = int(menu.indexOf(EListCommand::eSelectAll)) - 1;
  QList<EListCommand> archive;
  if (!ArchivePath(entries, anRows).isEmpty())
    archive = {EListCommand::eExtractHere, EListCommand::eExtractTo, EListCommand::eTestArchive};
  archive << EListCommand::eCompress << EListCommand::eSeparator;
  // Before "Select all" and "Refresh".
  for (int i = 0; i < archive.size(); ++i) menu.insert(nTail + 1 + i, archive[i]);
  return menu;
}

QString CFileSystemListSource::ArchivePath(const CListEntries& entries,
                                           const QList<int>& anRows) const {
  for (int nRow : anRows) {
    const CListEntry* pEntry = entries.At(nRow);
    if (pEntry && pEntry->type == eEntry_Zip) return FullPath(*pEntry);
  }
  return {};
}

QString CFileSystemListSource::DropFolder(const CListEntry* pTarget) const {
  if (pTarget && pTarget->type == eEntry_Folder) return FullPath(*pTarget);
  return path_;
}

QString CFileSystemListSource::FullPath(const CListEntry& entry) const {
  if (entry.type == eEntry_Parent) return {};
  if (const auto* pFound = entry.ItemAs<CFoundFileItem>())
    return browse::AppendPathComponent(pFound->folder, pFound->name);
  if (const auto* pItem = entry.ItemAs<CFileItem>())
    return browse::AppendPathComponent(path_, pItem->name);
  return {};
}

namespace {

// True when a component of the path is a ".zip" file (not a folder of that name): the path
// names an archive or a place inside one.
bool LeadsThroughArchive(const QString& strPath) {
  QString prefix;
  const QStringList parts = QString(strPath).replace(u'/', u'\\').split(u'\\', Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    prefix += u'\\' + part;
    if (!browse::HasZipExtension(part)) continue;
    const DWORD dwAttributes = plat::GetFileAttributes(prefix);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
      return true;
  }
  return false;
}

}  // namespace

namespace browse {

void RegisterFileSystemListSource(CListSourceFactory& factory) {
  CListSourceKind sources;
  // A path the device root refuses (".." components, NUL characters) is not listed.
  sources.make = [](const CPanelLocation& location) -> std::unique_ptr<IListSource> {
    QString strCanonical;
    if (location.path.isEmpty() || !plat::CDeviceRoot::Canonical(location.path, &strCanonical))
      return nullptr;
    return std::make_unique<CFileSystemListSource>(strCanonical);
  };
  // A path that names a ".zip" file, or leads through one, is the archive source's.
  sources.parseAddress = [](const QString& strText, CPanelLocation* pLocation) {
    if (!strText.startsWith(u'\\') && !strText.startsWith(u'/')) return false;
    if (LeadsThroughArchive(strText)) return false;
    *pLocation = CPanelLocation::FileSystem(strText);
    return true;
  };
  factory.Register({eEntry_Folder}, sources);
}

}  // namespace browse
