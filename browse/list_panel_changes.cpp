// A panel that follows view notifications: the rows of items that were added, removed or
// renamed in the listed place are read again, removed or put where the sort wants them, so
// that a run over many files never lists the folder again while it goes on. A listing whose
// rows depend on a change in another way is listed again, after the run when one is going on.
#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>

#include "browse/list_panel.h"
#include "core/path_helpers.h"
#include "platform/find.h"

namespace {

// More new rows than this are appended and sorted with the rest in one pass.
constexpr int kInsertOneByOne = 64;

using fileops::EViewChange;

// True when strPath is strFolder or lies below it (ignoring case).
bool IsAtOrUnder(const QString& strPath, const QString& strFolder) {
  if (strPath.compare(strFolder, Qt::CaseInsensitive) == 0) return true;
  const QString strPrefix = strFolder.endsWith('\\') ? strFolder : strFolder + '\\';
  return strPath.startsWith(strPrefix, Qt::CaseInsensitive);
}

}  // namespace

void CListPanel::FollowChanges() {
  changes_ = std::make_unique<fileops::CViewChangeBatch>(
      [this](const fileops::CViewChangeBatch::CChanges& changes) { ApplyChanges(changes); },
      [this](const fileops::CViewChange& change) { LeaveGoneFolder(change); });
}

void CListPanel::ApplyViewChanges() {
  if (changes_) changes_->Flush();
}

// A listed folder that was removed (or one it lies in) is left for the parent of what went;
// one that was renamed is followed to its new name. This cannot wait for the next hand-over:
// the rows would name items that are gone.
void CListPanel::LeaveGoneFolder(const fileops::CViewChange& change) {
  if (!change.IsFileSystem()) return;
  const bool bGone = change.change == EViewChange::eFolderRemoved ||
                     change.change == EViewChange::eFolderRenamed ||
                     change.change == EViewChange::eItemRemoved;
  const QString strShown = CurrentPath();
  if (!bGone || strShown.isEmpty() || !IsAtOrUnder(strShown, change.strPath)) return;
  QString strTarget = browse::ParentPath(change.strPath);
  if (change.change == EViewChange::eFolderRenamed && !change.strNewPath.isEmpty())
    strTarget = change.strNewPath + strShown.mid(change.strPath.size());
  if (!strTarget.isEmpty()) LoadFolder(strTarget, true, false);
}

void CListPanel::ApplyChanges(const std::vector<fileops::CViewChange>& changes) {
  // Per item (lower-case path): its latest path and whether it exists after the changes.
  QHash<QString, std::pair<QString, bool>> items;
  QStringList order;  // the items' keys in the order they first came
  bool bRelist = false;
  const auto note = [&](const fileops::CViewChange& change, const QString& strPath, bool bThere) {
    if (strPath.isEmpty()) return;
    switch (source_->ChangeFit(change.kind, change.root, strPath)) {
      case EChangeFit::eNone:
        return;
      case EChangeFit::eRelist:
        bRelist = true;
        return;
      case EChangeFit::eRows:
        break;
    }
    const QString strKey = strPath.toLower();
    if (!items.contains(strKey)) order.append(strKey);
    items.insert(strKey, {strPath, bThere});
  };
  for (const fileops::CViewChange& change : changes) {
    switch (change.change) {
      case EViewChange::eItemAdded:
      case EViewChange::eFolderCreated:
        note(change, change.strPath, true);
        break;
      case EViewChange::eItemRemoved:
      case EViewChange::eFolderRemoved:
        note(change, change.strPath, false);
        break;
      case EViewChange::eFileRenamed:
      case EViewChange::eFolderRenamed:
        note(change, change.strPath, false);
        note(change, change.strNewPath, true);
        break;
    }
  }
  if (bRelist) relistAfterRun_ = true;
  if (relistAfterRun_ && !fileops::ViewRunActive()) {
    relistAfterRun_ = false;
    Refresh();  // the new listing holds the row changes too
    return;
  }
  if (!order.isEmpty()) UpdateRows(items, order);
}

void CListPanel::UpdateRows(const QHash<QString, std::pair<QString, bool>>& items,
                            const QStringList& order) {
  BumpGeneration();  // the worker's results for the old row numbers are dropped
  QHash<QString, int> rowOf;
  rowOf.reserve(entries_.Count());
  for (int nRow = 0; nRow < entries_.Count(); ++nRow) {
    const QString strPath = source_->FullPath(*entries_.At(nRow));
    if (!strPath.isEmpty()) rowOf.insert(strPath.toLower(), nRow);
  }
  std::vector<int> gone;
  CListEntries fresh;
  for (const QString& strKey : order) {
    const auto& [strPath, bThere] = items.value(strKey);
    const auto row = rowOf.constFind(strKey);
    std::unique_ptr<CListEntry> entry = bThere ? source_->EntryForItem(strPath) : nullptr;
    if (row == rowOf.cend()) {
      if (entry) fresh.Add(std::move(entry));
    } else if (entry) {
      // An item that is there again (replaced, renamed in case only) is read afresh in place.
      entries_.Set(*row, std::move(entry));
      emit dataChanged(index(*row, 0), index(*row, columnCount() - 1));
    } else {
      gone.push_back(*row);
    }
  }
  // Removed from the bottom up, each run of neighbouring rows at once.
  std::sort(gone.begin(), gone.end(), std::greater<int>());
  for (std::size_t i = 0; i < gone.size();) {
    std::size_t j = i + 1;
    while (j < gone.size() && gone[j] == gone[j - 1] - 1) ++j;
    const int nFirst = gone[j - 1];
    const int nCount = gone[i] - nFirst + 1;
    beginRemoveRows(QModelIndex(), nFirst, nFirst + nCount - 1);
    entries_.Remove(nFirst, nCount);
    endRemoveRows();
    i = j;
  }
  InsertRows(&fresh);
  SetStatusText(source_->StatusText(entries_));
  if (worker_ && IsFileSystemListing()) QueueWork(/*bFolderTotals=*/true);
}

void CListPanel::AppendEntries(CListEntries* pFresh) {
  if (pFresh->Count() > 0) {
    BumpGeneration();
    source_->PrepareSort(pFresh, sortField_);
    pFresh->StableSort([this](const CListEntry& a, const CListEntry& b) {
      return source_->Compare(a, b, sortField_, ascending_) < 0;
    });
    const int nFirst = entries_.Count();
    const bool bAfterAll =
        nFirst == 0 ||
        source_->Compare(*pFresh->At(0), *entries_.At(nFirst - 1), sortField_, ascending_) >= 0;
    // A batch that sorts after every row (the order found) is appended; another one is merged
    // with the rows, never sorted with them anew, so a long list takes batches cheaply.
    beginInsertRows(QModelIndex(), nFirst, nFirst + pFresh->Count() - 1);
    entries_.AddAll(pFresh);
    endInsertRows();
    if (!bAfterAll) SortAndRelayout(nFirst);
  }
  SetStatusText(source_->StatusText(entries_));
}

void CListPanel::InsertRows(CListEntries* pFresh) {
  if (pFresh->Count() == 0) return;
  source_->PrepareSort(pFresh, sortField_);
  if (pFresh->Count() > kInsertOneByOne) {
    const int nFirst = entries_.Count();
    beginInsertRows(QModelIndex(), nFirst, nFirst + pFresh->Count() - 1);
    entries_.AddAll(pFresh);
    endInsertRows();
    SortAndRelayout();
    return;
  }
  while (pFresh->Count() > 0) {
    std::unique_ptr<CListEntry> entry = pFresh->Take(0);
    // After the rows that sort before it or equal to it, as a stable sort would put it.
    int nLow = 0;
    int nHigh = entries_.Count();
    while (nLow < nHigh) {
      const int nMid = (nLow + nHigh) / 2;
      if (source_->Compare(*entry, *entries_.At(nMid), sortField_, ascending_) < 0)
        nHigh = nMid;
      else
        nLow = nMid + 1;
    }
    beginInsertRows(QModelIndex(), nLow, nLow);
    entries_.Insert(nLow, std::move(entry));
    endInsertRows();
  }
}

// --- Changes other programs make ---

void CListPanel::WatchShownFolder() {
  const QString strFolder = changes_ ? CurrentPath() : QString();
  if (strFolder.isEmpty()) {
    watch_.reset();
    return;
  }
  if (watch_ && watch_->Path().compare(strFolder, Qt::CaseInsensitive) == 0) return;
  watch_.reset();  // the old folder's events stop before the new watch starts
  watch_ = std::make_unique<plat::CFolderWatch>(
      strFolder, [this](const plat::CFolderWatch::CEvents& events) { OnFolderEvents(events); });
}

// The host's events take the way of the view notifications: an entry that was created or
// changed is read again, one that went is removed, a lost track reads the listing again.
void CListPanel::OnFolderEvents(const plat::CFolderWatch::CEvents& events) {
  const QString strFolder = CurrentPath();
  if (!changes_ || strFolder.isEmpty()) return;
  for (const plat::CFolderEvent& event : events) {
    switch (event.kind) {
      case plat::CFolderEvent::eGone: {
        WIN32_FIND_DATAW data;
        if (plat::FindOne(strFolder, &data)) {  // put back already (moved away and back)
          Resync();
          watch_.reset();  // the old watch followed what was there before
          WatchShownFolder();
        } else {
          fileops::CViewChange change;
          change.change = EViewChange::eFolderRemoved;
          change.strPath = strFolder;
          LeaveGoneFolder(change);
        }
        return;
      }
      case plat::CFolderEvent::eRescan:
        changes_->Flush();  // what was gathered before is older than the new listing
        Resync();
        return;
      case plat::CFolderEvent::eAdded:
      case plat::CFolderEvent::eChanged:
      case plat::CFolderEvent::eRemoved: {
        fileops::CViewChange change;
        change.change = event.kind == plat::CFolderEvent::eRemoved ? EViewChange::eItemRemoved
                                                                   : EViewChange::eItemAdded;
        change.strPath = browse::AppendPathComponent(strFolder, event.strName);
        changes_->OnViewChange(change);
        break;
      }
    }
  }
}

void CListPanel::Resync() {
  CListEntries fresh;
  source_->Fill(&fresh);
  QHash<QString, int> freshAt;
  freshAt.reserve(fresh.Count());
  for (int i = 0; i < fresh.Count(); ++i) {
    const QString strPath = source_->FullPath(*fresh.At(i));
    if (!strPath.isEmpty()) freshAt.insert(strPath.toLower(), i);
  }
  QHash<QString, std::pair<QString, bool>> items;
  QStringList order;
  const auto note = [&](const QString& strPath, bool bThere) {
    const QString strKey = strPath.toLower();
    order.append(strKey);
    items.insert(strKey, {strPath, bThere});
  };
  QSet<QString> listed;
  for (int nRow = 0; nRow < entries_.Count(); ++nRow) {
    CListEntry* pRow = entries_.At(nRow);
    const QString strPath = source_->FullPath(*pRow);
    if (strPath.isEmpty()) continue;
    const QString strKey = strPath.toLower();
    listed.insert(strKey);
    const auto at = freshAt.constFind(strKey);
    if (at == freshAt.cend()) {
      note(strPath, false);
      continue;
    }
    // Read again only when some column would show something else.
    CListEntry* pNew = fresh.At(*at);
    for (int nColumn = 0; nColumn < columns_.size(); ++nColumn) {
      const int nField = columns_[nColumn].field;
      if (source_->Text(*pRow, nField) != source_->Text(*pNew, nField) ||
          pRow->displayName != pNew->displayName) {
        note(strPath, true);
        break;
      }
    }
  }
  for (auto it = freshAt.cbegin(); it != freshAt.cend(); ++it)
    if (!listed.contains(it.key())) note(source_->FullPath(*fresh.At(it.value())), true);
  if (!order.isEmpty()) UpdateRows(items, order);
}
