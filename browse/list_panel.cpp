#include "browse/list_panel.h"

#include <QHash>

#include <utility>

#include "browse/icon_manager.h"
#include "browse/list_source_empty.h"
#include "browse/list_source_factory.h"
#include "browse/list_source_fs.h"
#include "core/path_helpers.h"
#include "browse/shown_text.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "platform/device_root.h"
#include "platform/find.h"

CListPanel::CListPanel(EPanelId ePanel, IListPanelObserver* pObserver,
                       const CListPanelOptions& options, QObject* pParent)
    : QAbstractTableModel(pParent), panel_(ePanel), observer_(pObserver) {
  source_ = std::make_unique<CEmptyListSource>();
  SwitchColumns(*source_);
  if (options.bWorker) StartWorker();
  if (options.bFollowChanges) FollowChanges();
}

// --- Model ---

int CListPanel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : entries_.Count();
}

int CListPanel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CListPanel::data(const QModelIndex& index, int nRole) const {
  if (!index.isValid() || index.column() >= columns_.size()) return {};
  CListEntry* pEntry = entries_.At(index.row());
  if (!pEntry) return {};
  switch (nRole) {
    case Qt::DisplayRole:
      return browse::ShownText(source_->Text(*pEntry, columns_[index.column()].field));
    case Qt::TextAlignmentRole:
      return columns_[index.column()].alignRight
                 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                 : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::DecorationRole:
      if (index.column() != 0) return {};
      return AppIconManager().Icon(source_->IconIndex(*pEntry, worker_ != nullptr));
    case eRole_IconIndex:
      return source_->IconIndex(*pEntry, worker_ != nullptr);
    case eRole_EntryType:
      return uint(pEntry->type);
    case eRole_FullPath:
      return source_->FullPath(*pEntry);
    case eRole_Link:
      return source_->IsLink(*pEntry);
    default:
      return {};
  }
}

QVariant CListPanel::headerData(int nSection, Qt::Orientation orientation, int nRole) const {
  if (orientation != Qt::Horizontal || nSection < 0 || nSection >= columns_.size()) return {};
  if (nRole == Qt::DisplayRole) return columns_[nSection].header;
  if (nRole == Qt::TextAlignmentRole)
    return int((columns_[nSection].alignRight ? Qt::AlignRight : Qt::AlignLeft) |
               Qt::AlignVCenter);
  return {};
}

QString CListPanel::CellText(int nRow, int nColumn) const {
  CListEntry* pEntry = entries_.At(nRow);
  if (!pEntry || nColumn < 0 || nColumn >= columns_.size()) return {};
  return source_->Text(*pEntry, columns_[nColumn].field);
}

DWORD CListPanel::SourceKind() const { return source_->Kind(); }

bool CListPanel::ShowsListing() const { return source_->Kind() != ePanelSrc_Empty; }

QString CListPanel::CurrentPath() const { return source_->FolderPath(); }

// --- Listings ---

void CListPanel::ShowListing(std::unique_ptr<IListSource> source,
                             const CListingRequest& request) {
  if (!source) return;
  BumpGeneration();  // whatever the worker still does for the old rows is dropped
  if (worker_) {
    worker_->SetPaused(true);
    worker_->Clear();
  }
  beginResetModel();
  entries_.Clear();
  if (source->Kind() != source_->Kind()) SwitchColumns(*source);
  source_ = std::move(source);
  source_->Fill(&entries_);
  if (request.nSortField >= 0) sortField_ = request.nSortField;
  SortEntries();
  firstVisible_ = 0;  // a new listing shows from its top
  endResetModel();

  SetStatusText(source_->StatusText(entries_));
  const CPanelLocation location = source_->Location();
  if (request.bRecord && location.kind != 0) history_.Record(location);
  ReportLocation(location);
  WatchShownFolder();
  if (worker_) {
    if (IsFileSystemListing())
      QueueWork(/*bFolderTotals=*/true);
    else
      worker_->SetPaused(false);
  }
}

bool CListPanel::ShowLocation(const CPanelLocation& location, bool bForce, bool bRecord) {
  CListAction action = CListAction::Show(location, bForce, bRecord);
  return Perform(action);
}

bool CListPanel::LoadFolder(const QString& strPath, bool bForce, bool bRecord) {
  return ShowLocation(CPanelLocation::FileSystem(strPath), bForce, bRecord);
}

void CListPanel::Navigate(const QString& strPath) {
  if (viewReady_)
    LoadFolder(strPath, true, true);
  else
    pendingPath_ = strPath;
}

void CListPanel::SetViewReady() {
  viewReady_ = true;
  const QString strPending = std::exchange(pendingPath_, QString());
  if (!strPending.isEmpty()) LoadFolder(strPending, true, true);
}

bool CListPanel::Perform(const CListAction& action) {
  switch (action.kind) {
    case CListAction::eShowLocation: {
      std::unique_ptr<IListSource> source = ListSources().Make(action.location);
      if (!source) return false;
      if (!action.bForce && source_->Shows(source->Location())) return true;
      CListingRequest request;
      request.bRecord = action.bRecord;
      request.nSortField = action.bKeepSort ? -1 : source->InitialSortField();
      ShowListing(std::move(source), request);
      return true;
    }
    case CListAction::eOpenFile:
      OpenFile(action.strPath);
      return true;
    case CListAction::eEditValue: {
      const auto* pEditor = ListSources().Editor(action.location.kind);
      if (!pEditor) return false;
      (*pEditor)(*this, action);
      return true;
    }
    case CListAction::eRefuse:
      if (observer_) observer_->OnPanelRefused(panel_, action.strPath, action.dwError);
      return false;
    case CListAction::eNone:
      break;
  }
  return false;
}

void CListPanel::Open(int nRow) {
  const CListEntry* pEntry = entries_.At(nRow);
  if (pEntry) Perform(source_->Activate(*pEntry));
}

bool CListPanel::CanGoUp() const { return source_->CanGoUp(); }

void CListPanel::Up() {
  if (CanGoUp()) Perform(source_->Up());
}

void CListPanel::Refresh() { Perform(source_->Refresh()); }

bool CListPanel::Back() {
  CPanelLocation location;
  if (!history_.Back(&location)) return false;
  steppingHistory_ = true;
  ShowLocation(location, true, false);
  steppingHistory_ = false;
  return true;
}

bool CListPanel::Forward() {
  CPanelLocation location;
  if (!history_.Forward(&location)) return false;
  steppingHistory_ = true;
  ShowLocation(location, true, false);
  steppingHistory_ = false;
  return true;
}

void CListPanel::OpenFile(const QString& strFullPath) {
  if (observer_) observer_->OnPanelOpenFile(panel_, strFullPath);
}

void CListPanel::ReportLocation(const CPanelLocation& location) {
  if (observer_ && location.kind != 0) observer_->OnPanelLocation(panel_, location);
}

void CListPanel::SetStatusText(const QString& strText) {
  statusText_ = strText;
  if (observer_) observer_->OnPanelStatusText(panel_, strText);
  emit statusTextChanged(strText);
}

// --- Sorting ---

void CListPanel::SortEntries() {
  source_->PrepareSort(&entries_, sortField_);
  source_->Sort(&entries_, sortField_, ascending_);
}

void CListPanel::SortAndRelayout(int nSortedFrom) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  // Persistent indexes follow their entries to the new rows.
  const QModelIndexList before = persistentIndexList();
  QVector<const CListEntry*> anchored;
  anchored.reserve(before.size());
  for (const QModelIndex& index : before) anchored.append(entries_.At(index.row()));
  if (nSortedFrom < 0) {
    SortEntries();
  } else {
    // Two sorted runs: merged in one pass, the earlier rows first among equals, which is the
    // order a stable sort of the whole gives.
    std::vector<int> order;
    order.reserve(size_t(entries_.Count()));
    int a = 0, b = nSortedFrom;
    while (a < nSortedFrom || b < entries_.Count()) {
      const bool bTakeB =
          a >= nSortedFrom ||
          (b < entries_.Count() &&
           source_->Compare(*entries_.At(b), *entries_.At(a), sortField_, ascending_) < 0);
      order.push_back(bTakeB ? b++ : a++);
    }
    entries_.Reorder(order);
  }
  if (!before.isEmpty()) {
    QHash<const CListEntry*, int> rows;
    for (int i = 0; i < entries_.Count(); ++i) rows.insert(entries_.At(i), i);
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
      after.append(index(rows.value(anchored[i], before[i].row()), before[i].column()));
    changePersistentIndexList(before, after);
  }
  BumpGeneration();
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  if (worker_ && IsFileSystemListing()) QueueWork(/*bFolderTotals=*/true);
}

void CListPanel::SortBy(int nColumn, bool bToggle) {
  if (nColumn < 0 || nColumn >= columns_.size()) return;
  const int nField = columns_[nColumn].field;
  if (nField != sortField_) {
    sortField_ = nField;
    ascending_ = true;
  } else if (bToggle) {
    ascending_ = !ascending_;
  }
  SortAndRelayout();
}

void CListPanel::SetSortAscending(bool bAscending) {
  ascending_ = bAscending;
  SortAndRelayout();
}

// --- Rows ---

void CListPanel::RefreshRow(int nRow) {
  CListEntry* pEntry = entries_.At(nRow);
  if (!pEntry || !IsFileSystemListing()) return;
  if (pEntry->type != eEntry_Folder && pEntry->type != eEntry_File && pEntry->type != eEntry_Zip)
    return;
  auto* pItem = pEntry->ItemAs<CFileItem>();
  WIN32_FIND_DATAW data;
  if (!pItem || !plat::FindOne(source_->FullPath(*pEntry), &data)) return;
  const CFileItem fresh(data);
  pItem->attributes = fresh.attributes;
  pItem->size = fresh.size;
  pItem->creationTime = fresh.creationTime;
  pItem->lastAccessTime = fresh.lastAccessTime;
  pItem->lastWriteTime = fresh.lastWriteTime;
  pItem->attributeText = fresh.attributeText;
  emit dataChanged(index(nRow, 0), index(nRow, columnCount() - 1));
}

bool CListPanel::OnFoundItem(const WIN32_FIND_DATAW& data, const QString& strFolder) {
  if (!IsFileSystemListing()) return false;
  const DWORD dwAttr = data.dwFileAttributes;
  const bool bHidden =
      (settings.MainListShowFolders == 0 && (dwAttr & FILE_ATTRIBUTE_DIRECTORY)) ||
      (settings.MainListShowSystem == 0 && (dwAttr & FILE_ATTRIBUTE_SYSTEM)) ||
      (settings.MainListShowHidden == 0 && (dwAttr & FILE_ATTRIBUTE_HIDDEN)) ||
      (settings.MainListShowInRom == 0 && (dwAttr & FILE_ATTRIBUTE_INROM)) ||
      (settings.MainListShowRO == 0 && (dwAttr & FILE_ATTRIBUTE_READONLY));
  if (bHidden || !browse::IsListedInFolder(strFolder, data)) return false;
  std::unique_ptr<CListEntry> entry;
  const QString strCanonicalFolder = browse::StripTrailingBackslash(strFolder);
  if (strCanonicalFolder.compare(CurrentPath(), Qt::CaseInsensitive) == 0) {
    entry = browse::MakeFileSystemEntry(data);
  } else {
    auto item = std::make_unique<CFoundFileItem>(data, strCanonicalFolder);
    const DWORD dwType = browse::EntryTypeForFind(data);
    QString strDisplay =
        dwType == eEntry_Folder ? item->name : browse::ListDisplayName(item->name);
    entry = std::make_unique<CListEntry>(dwType, std::move(strDisplay), std::move(item));
  }
  const int nRow = entries_.Count();
  beginInsertRows(QModelIndex(), nRow, nRow);
  entries_.Add(std::move(entry));
  endInsertRows();
  return true;
}

// --- Columns ---

void CListPanel::SwitchColumns(const IListSource& source) {
  if (widthsChanged_) SaveColumnWidthsNow();
  columns_ = source.Columns();
  widths_.clear();
  for (const CListColumn& column : columns_) widths_.append(column.defaultWidth);
  LoadColumnWidths(browse::ColumnWidthTag(panel_, source.Kind()), &widths_, viewWidth_);
  widthsChanged_ = false;
  ascending_ = true;
}

void CListPanel::SetColumnWidth(int nColumn, int nWidth) {
  if (nColumn < 0 || nColumn >= widths_.size() || widths_[nColumn] == nWidth) return;
  widths_[nColumn] = nWidth;
  widthsChanged_ = true;
}

void CListPanel::SaveColumnWidthsNow() {
  SaveColumnWidths(browse::ColumnWidthTag(panel_, source_->Kind()), widths_);
  widthsChanged_ = false;
}
