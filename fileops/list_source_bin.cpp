#include "fileops/list_source_bin.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "browse/list_panel.h"
#include "browse/list_source_factory.h"
#include "core/path_helpers.h"
#include "core/format.h"
#include "core/settings.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "core/texts.h"

namespace {

// -1, 0 or 1 when a is below, equal to or above b.
template <class T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The record of one item of the bin folder, or null when the item is not the bin's own: a
// link, a file that is not a valid container, a directory without a readable descriptor.
std::unique_ptr<CBinItem> ReadBinItem(const QString& strBin, const WIN32_FIND_DATAW& data) {
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return nullptr;
  const QString strBinName = plat::FindName(data);
  const QString strPath = browse::AppendPathComponent(strBin, strBinName);
  const bool bFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  fileops::CRecycleRecord record;
  if (bFolder) {
    if (!fileops::Read(&record, strPath)) return nullptr;
    record.findData.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else {
    if (!fileops::IsContainerName(strBinName) ||
        fileops::ReadContainer(strPath, &record) != fileops::eContainerOK)
      return nullptr;
    record.findData.dwFileAttributes &= ~DWORD(FILE_ATTRIBUTE_DIRECTORY);
  }
  auto item = std::make_unique<CBinItem>(record.findData, record.OriginalPath());
  if (!bFolder) item->size = record.Size();
  // A descriptor's record is not checked as a container's is: a folder without a name in
  // its find data is named by its original path, or else by its place in the bin.
  if (item->name.isEmpty()) item->name = browse::LastComponent(item->originalPath);
  if (item->name.isEmpty() || item->name == u"\\") item->name = strBinName;
  item->binName = strBinName;
  if (!plat::SystemTimeToFileTime(record.stRecycled, &item->recycledTime))
    item->recycledTime = FILETIME{};
  item->iconIndex = bFolder ? kRecycledFolderIcon : eIcon_NotKnown;
  return item;
}

QString OriginalFolder(const CBinItem& item) { return browse::ParentPath(item.originalPath); }

// The type text of a row, filled on first request and kept.
const QString& TypeText(DWORD dwType, CBinItem* pItem) {
  if (pItem->typeText.isEmpty()) {
    pItem->typeText = dwType == eEntry_RecycledFolder ? browse::FolderTypeText(pItem->attributes)
                                                      : AppIconManager().TypeText(pItem->name);
  }
  return pItem->typeText;
}

// The comparison of two rows of the same group by the field, with the direction flag set.
int CompareByField(const CListEntry& a, const CListEntry& b, int nField) {
  const Qt::CaseSensitivity cs =
      settings.MainListIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  if (nField == eListField_Name) return Order(a.displayName.compare(b.displayName, cs), 0);
  const auto* pA = a.ItemAs<CBinItem>();
  const auto* pB = b.ItemAs<CBinItem>();
  if (!pA || !pB) return 0;
  switch (nField) {
    case eListField_Size:
      return -Order(pA->size, pB->size);  // largest first
    case eListField_Date:
      return -plat::CompareFileTime(pA->recycledTime, pB->recycledTime);  // newest first
    case eListField_Type:
      return Order(pA->typeText.compare(pB->typeText, cs), 0);
    case eBinField_OriginalFolder:
      return Order(OriginalFolder(*pA).compare(OriginalFolder(*pB), cs), 0);
    default:
      return 0;  // attributes: no order
  }
}

}  // namespace

CRecycleBinListSource::CRecycleBinListSource() : bin_(fileops::RecycleBinFolder()) {}

QList<CListColumn> CRecycleBinListSource::Columns() const {
  QList<CListColumn> columns = browse::FileSystemColumns();
  columns[eListField_Date].header = core::Text(900210);
  columns.append({core::Text(900211), 140, eBinField_OriginalFolder, false});
  return columns;
}

QString CRecycleBinListSource::LocationText() const { return core::Text(61230); }

void CRecycleBinListSource::Fill(CListEntries* pEntries) {
  if (bin_.isEmpty()) return;
  std::vector<std::unique_ptr<CBinItem>> items;
  plat::CFind find;
  WIN32_FIND_DATAW data;
  if (find.First(browse::AppendPathComponent(bin_, QStringLiteral("*")), &data)) {
    do {
      if (auto item = ReadBinItem(bin_, data)) items.push_back(std::move(item));
    } while (find.Next(&data));
  }
  find.Close();
  std::sort(items.begin(), items.end(),
            [](const auto& a, const auto& b) { return a->binName < b->binName; });
  for (auto& item : items) {
    const bool bFolder = item->IsFolder();
    QString strDisplay = bFolder ? item->name : browse::ListDisplayName(item->name);
    pEntries->Add(
        std::make_unique<CListEntry>(bFolder ? eEntry_RecycledFolder : eEntry_RecycledFile,
                                     std::move(strDisplay), std::move(item)));
  }
}

QString CRecycleBinListSource::Text(CListEntry& entry, int nField) {
  if (nField == eListField_Name) return entry.displayName;
  auto* pItem = entry.ItemAs<CBinItem>();
  if (!pItem) return {};
  switch (nField) {
    case eListField_Size:
      return entry.type == eEntry_RecycledFile ? core::FormatSize(pItem->size) : QString();
    case eListField_Date:
      return browse::FileTimeText(pItem->recycledTime);
    case eListField_Attributes:
      return pItem->attributeText;
    case eListField_Type:
      return TypeText(entry.type, pItem);
    case eBinField_OriginalFolder:
      return OriginalFolder(*pItem);
    default:
      return {};
  }
}

int CRecycleBinListSource::IconIndex(CListEntry& entry, bool) {
  auto* pItem = entry.ItemAs<CBinItem>();
  if (!pItem) return eIcon_Unknown;
  if (pItem->iconIndex < 0) pItem->iconIndex = AppIconManager().IconForRecycledFile(pItem->name);
  return pItem->iconIndex;
}

int CRecycleBinListSource::Compare(const CListEntry& a, const CListEntry& b, int nField,
                                   bool bAscending) const {
  const bool bFolderA = a.type == eEntry_RecycledFolder;
  const bool bFolderB = b.type == eEntry_RecycledFolder;
  if (bFolderA != bFolderB) return bFolderA ? -1 : 1;
  const int nOrder = CompareByField(a, b, nField);
  return bAscending ? nOrder : -nOrder;
}

void CRecycleBinListSource::PrepareSort(CListEntries* pEntries, int nField) {
  if (nField != eListField_Type) return;
  for (int i = 0; i < pEntries->Count(); ++i) {
    CListEntry* pEntry = pEntries->At(i);
    if (auto* pItem = pEntry->ItemAs<CBinItem>()) TypeText(pEntry->type, pItem);
  }
}

CListAction CRecycleBinListSource::Refresh() const {
  CListAction action = CListAction::Show(CPanelLocation(eEntry_RecycleBin, 0, bin_), true, false);
  action.bKeepSort = true;
  return action;
}

int CRecycleBinListSource::InitialSortField() const { return eListField_Name; }

bool CRecycleBinListSource::WatchesFolder(const QString& strFolder) const {
  return !strFolder.isEmpty() &&
         bin_.compare(browse::StripTrailingBackslash(strFolder), Qt::CaseInsensitive) == 0;
}

fileops::CSelection CRecycleBinListSource::Selection(const CListEntries& entries,
                                                     const QList<int>& anRows) const {
  fileops::CSelection selection;
  for (int nRow : anRows) {
    const CListEntry* pEntry = entries.At(nRow);
    if (!pEntry || !pEntry->ItemAs<CBinItem>()) continue;
    const int nKind =
        pEntry->type == eEntry_RecycledFolder ? fileops::eSelFolder : fileops::eSelFile;
    selection.push_back({nKind, FullPath(*pEntry)});
  }
  return selection;
}

bool CRecycleBinListSource::Offers(EListCommand command) const {
  return command == EListCommand::eRestore || command == EListCommand::eDeleteForGood;
}

QList<EListCommand> CRecycleBinListSource::ContextMenu() const {
  return {EListCommand::eRestore, EListCommand::eDeleteForGood, EListCommand::eSeparator,
          EListCommand::eSelectAll, EListCommand::eRefresh};
}

QString CRecycleBinListSource::FullPath(const CListEntry& entry) const {
  const auto* pItem = entry.ItemAs<CBinItem>();
  return pItem ? browse::AppendPathComponent(bin_, pItem->binName) : QString();
}

namespace browse {

void ShowRecycleBin(CListPanel& panel) {
  CListingRequest request;
  request.nSortField = eListField_Name;
  panel.ShowListing(std::make_unique<CRecycleBinListSource>(), request);
}

bool ListsRecycleBinFolder(const CListPanel& panel, const QString& strFolder) {
  return panel.SourceKind() == ePanelSrc_RecycleBin && panel.Source()->WatchesFolder(strFolder);
}

const CBinItem* BinItemAt(const CListPanel& panel, int nRow) {
  if (panel.SourceKind() != ePanelSrc_RecycleBin) return nullptr;
  const CListEntry* pEntry = panel.Entries().At(nRow);
  return pEntry ? pEntry->ItemAs<CBinItem>() : nullptr;
}

fileops::CSelection BinSelection(const CListPanel& panel, const QList<int>& anRows) {
  if (panel.SourceKind() != ePanelSrc_RecycleBin) return {};
  return panel.Source()->Selection(panel.Entries(), anRows);
}

void RegisterRecycleBinListSource() {
  CListSourceKind sources;
  sources.make = [](const CPanelLocation& location) -> std::unique_ptr<IListSource> {
    if (location.path.isEmpty()) return std::make_unique<CRecycleBinListSource>();
    return std::make_unique<CRecycleBinListSource>(location.path);
  };
  ListSources().Register({eEntry_RecycleBin}, sources);
}

}  // namespace browse
