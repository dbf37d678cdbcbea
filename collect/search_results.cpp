#include "collect/search_results.h"

#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "browse/list_source_factory.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "platform/filetime.h"
#include "platform/find.h"

namespace collect {
namespace {

template <class T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Results are told apart by their exact paths: the host may hold names that differ in case
// only, and each is a file of its own.
const QString& Key(const QString& strPath) { return strPath; }

// The comparison by a field with the direction flag set.
int CompareByField(const CListEntry& a, const CListEntry& b, int nField) {
  const auto* pA = a.ItemAs<CFoundItem>();
  const auto* pB = b.ItemAs<CFoundItem>();
  if (!pA || !pB) return 0;
  const Qt::CaseSensitivity cs =
      settings.MainListIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  switch (nField) {
    case eListField_Name:
      return Order(a.displayName.compare(b.displayName, cs), 0);
    case eSearchField_Folder:
      return Order(pA->folder.compare(pB->folder, cs), 0);
    case eListField_Size:
      return -Order(pA->IsFolder() ? 0 : pA->size, pB->IsFolder() ? 0 : pB->size);
    case eListField_Date:
      return -plat::CompareFileTime(pA->lastWriteTime, pB->lastWriteTime);  // newest first
    default:
      return 0;
  }
}

}  // namespace

// --- The store ---

void CSearchResults::Start(const QString& strText, const QString& strStartFolder) {
  text_ = strText;
  start_ = strStartFolder;
  results_.clear();
  index_.clear();
  folders_.clear();
  touched_.clear();
  touchedFolders_.clear();
  foldersSearched = 0;
}

size_t CSearchResults::Add(const std::vector<CResult>& results) {
  const size_t uFirst = results_.size();
  for (const CResult& result : results) {
    const QString strKey = Key(result.strPath);
    if (index_.contains(strKey)) continue;
    index_.insert(strKey, results_.size());
    results_.push_back(result);
    for (QString strFolder = browse::ParentPath(strKey).toLower();
         !strFolder.isEmpty() && !folders_.contains(strFolder);
         strFolder = browse::ParentPath(strFolder)) {
      folders_.insert(strFolder);
      if (strFolder == u"\\") break;
    }
  }
  return uFirst;
}

void CSearchResults::Rows(size_t uFrom, CListEntries* pEntries) const {
  for (size_t i = uFrom; i < results_.size(); ++i)
    pEntries->Add(ResultEntry(results_[i], quint64(i)));
}

bool CSearchResults::Holds(const QString& strPath) const {
  return index_.contains(Key(strPath));
}

bool CSearchResults::HoldsBelow(const QString& strPath) const {
  return folders_.contains(strPath.toLower());
}

void CSearchResults::Touch(const QString& strPath, bool bFolder) const {
  if (!bFolder) {
    touched_.insert(Key(strPath));
    return;
  }
  QString strPrefix = strPath.toLower();
  if (!strPrefix.endsWith(u'\\')) strPrefix += u'\\';
  if (!touchedFolders_.contains(strPrefix)) touchedFolders_.append(strPrefix);
}

void CSearchResults::DropGone() {
  if (touched_.isEmpty() && touchedFolders_.isEmpty()) return;
  const auto fnBelowTouched = [this](const QString& strKey) {
    for (const QString& strPrefix : touchedFolders_)
      if (strKey.startsWith(strPrefix)) return true;
    return false;
  };
  std::vector<CResult> kept;
  kept.reserve(results_.size());
  for (CResult& result : results_) {
    const QString& strKey = Key(result.strPath);
    if (touched_.contains(strKey) || fnBelowTouched(strKey.toLower())) {
      WIN32_FIND_DATAW data;
      if (!plat::FindOne(result.strPath, &data)) continue;
      result.data = data;
    }
    kept.push_back(std::move(result));
  }
  touched_.clear();
  touchedFolders_.clear();
  results_ = std::move(kept);
  index_.clear();
  for (size_t i = 0; i < results_.size(); ++i) index_.insert(Key(results_[i].strPath), i);
}

const std::shared_ptr<CSearchResults>& CurrentSearchResults() {
  static const std::shared_ptr<CSearchResults> results = std::make_shared<CSearchResults>();
  return results;
}

std::unique_ptr<CListEntry> ResultEntry(const CSearchResults::CResult& result, quint64 uOrder) {
  auto item = std::make_unique<CFoundItem>(result.data, browse::ParentPath(result.strPath),
                                           uOrder);
  item->name = browse::LastComponent(result.strPath);
  const bool bFolder = item->IsFolder();
  QString strDisplay = bFolder ? item->name : browse::ListDisplayName(item->name);
  return std::make_unique<CListEntry>(bFolder ? eEntry_Folder : eEntry_File,
                                      std::move(strDisplay), std::move(item));
}

// --- The source ---

QList<CListColumn> CSearchListSource::Columns() const {
  return {
      {core::Text(900102), 160, eListField_Name, false},
      {core::Text(900800), 220, eSearchField_Folder, false},
      {core::Text(900103), 70, eListField_Size, true},
      {core::Text(900104), 150, eListField_Date, false},
  };
}

void CSearchListSource::Fill(CListEntries* pEntries) {
  results_->DropGone();
  results_->Rows(0, pEntries);
}

QString CSearchListSource::StatusText(const CListEntries& entries) const {
  const QString strFolders = QString::number(results_->foldersSearched);
  const QString strFiles = QString::number(entries.Count());
  return core::Text(results_->running ? 900802 : 900801).arg(strFolders, strFiles);
}

QString CSearchListSource::LocationText() const {
  return core::Text(900803).arg(results_->Text());
}

EChangeFit CSearchListSource::ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const {
  if (dwKind != eEntry_Folder) return EChangeFit::eNone;
  if (results_->HoldsBelow(strPath)) {
    // A folder the results lie in: only a new listing tells which are still there.
    results_->Touch(strPath, true);
    return EChangeFit::eRelist;
  }
  if (!results_->Holds(strPath)) return EChangeFit::eNone;
  results_->Touch(strPath);
  return EChangeFit::eRows;
}

std::unique_ptr<CListEntry> CSearchListSource::EntryForItem(const QString& strPath) const {
  WIN32_FIND_DATAW data;
  if (!results_->Holds(strPath) || !plat::FindOne(strPath, &data)) return nullptr;
  return ResultEntry({strPath, data}, 0);
}

QString CSearchListSource::Text(CListEntry& entry, int nField) {
  if (nField == eListField_Name) return entry.displayName;
  auto* pItem = entry.ItemAs<CFoundItem>();
  if (!pItem) return {};
  switch (nField) {
    case eSearchField_Folder:
      return pItem->folder;
    case eListField_Size:
      return entry.type == eEntry_File ? browse::SizeCellText(entry.type, *pItem) : QString();
    case eListField_Date:
      return browse::FileTimeText(pItem->lastWriteTime);
    default:
      return {};
  }
}

int CSearchListSource::IconIndex(CListEntry& entry, bool) {
  auto* pItem = entry.ItemAs<CFoundItem>();
  if (!pItem) return eIcon_Unknown;
  if (pItem->iconIndex < 1) {
    pItem->iconIndex = pItem->IsFolder() ? AppIconManager().FolderIcon(FullPath(entry), false)
                                         : AppIconManager().IconForFile(FullPath(entry));
  }
  return pItem->iconIndex;
}

int CSearchListSource::Compare(const CListEntry& a, const CListEntry& b, int nField,
                               bool bAscending) const {
  if (nField == eSearchField_Found) {
    const auto* pA = a.ItemAs<CFoundItem>();
    const auto* pB = b.ItemAs<CFoundItem>();
    return pA && pB ? Order(pA->order, pB->order) : 0;
  }
  const int nOrder = CompareByField(a, b, nField);
  return bAscending ? nOrder : -nOrder;
}

CListAction CSearchListSource::Activate(const CListEntry& entry) const {
  const QString strPath = FullPath(entry);
  if (strPath.isEmpty()) return {};
  // A link found whose target lies outside the root, or is gone, is not opened.
  if (IsLink(entry))
    if (const DWORD dwError = plat::ItemOpenError(strPath))
      return CListAction::Refuse(strPath, dwError);
  return CListAction::OpenFile(strPath);
}

bool CSearchListSource::IsLink(const CListEntry& entry) const {
  const auto* pItem = entry.ItemAs<CFoundItem>();
  return pItem && (pItem->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

CListAction CSearchListSource::Refresh() const {
  CListAction action = CListAction::Show(Location(), true, false);
  action.bKeepSort = true;
  return action;
}

QString CSearchListSource::FullPath(const CListEntry& entry) const {
  const auto* pItem = entry.ItemAs<CFoundItem>();
  return pItem ? browse::AppendPathComponent(pItem->folder, pItem->name) : QString();
}

fileops::CSelection CSearchListSource::Selection(const CListEntries& entries,
                                                 const QList<int>& anRows) const {
  fileops::CSelection selection;
  for (int nRow : anRows) {
    const CListEntry* pEntry = entries.At(nRow);
    const auto* pItem = pEntry ? pEntry->ItemAs<CFoundItem>() : nullptr;
    if (!pItem) continue;
    selection.push_back(
        {pItem->IsFolder() ? fileops::eSelFolder : fileops::eSelFile, FullPath(*pEntry)});
  }
  return selection;
}

bool CSearchListSource::Offers(EListCommand command) const {
  switch (command) {
    case EListCommand::eOpen:
    case EListCommand::eCut:
    case EListCommand::eCopy:
    case EListCommand::eOpenContainingFolder:
    case EListCommand::eShred:
    case EListCommand::eDelete:
    case EListCommand::eSelectAll:
    case EListCommand::eRefresh:
      return true;
    default:
      return false;
  }
}

QList<EListCommand> CSearchListSource::ContextMenu() const {
  using C = EListCommand;
  return {C::eOpen, C::eOpenContainingFolder, C::eSeparator, C::eCut, C::eCopy, C::eSeparator,
          C::eShred, C::eDelete, C::eSeparator, C::eSelectAll, C::eRefresh};
}

void RegisterSearchListSource() {
  CListSourceKind sources;
  sources.make = [](const CPanelLocation&) -> std::unique_ptr<IListSource> {
    return std::make_unique<CSearchListSource>(CurrentSearchResults());
  };
  ListSources().Register({eEntry_SearchResults}, sources);
}

}  // namespace collect
