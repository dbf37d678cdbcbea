// The list panel's side of its CListWorker: what is queued when, the copies of rows the
// operations work on, and the handlers that take the results on the user-interface thread.
#include <QCoreApplication>

#include "browse/file_item.h"
#include "browse/list_panel.h"
#include "core/app_log.h"
#include "core/format.h"
#include "core/settings.h"

void CListPanel::StartWorker() {
  worker_ = std::make_unique<CListWorker>();
  // Blocking: the handler runs on this thread while the worker waits for it.
  connect(worker_.get(), &CListWorker::iconReady, this, &CListPanel::OnIconReady,
          Qt::BlockingQueuedConnection);
  connect(worker_.get(), &CListWorker::folderSizeReady, this, &CListPanel::OnFolderSizeReady,
          Qt::BlockingQueuedConnection);
  connect(worker_.get(), &CListWorker::folderSizesDone, this,
          [this](quint64 uGeneration) {
            if (!closing_ && uGeneration == generation_) emit folderTotalsDone();
          },
          Qt::QueuedConnection);
}

CListPanel::~CListPanel() {
  closing_ = true;
  if (!worker_) return;
  worker_->RequestExit();
  // The worker may be waiting for one of its results to be taken on this thread; take (and
  // drop) those until it has ended, so that neither waits for the other.
  while (!worker_->wait(QDeadlineTimer(10)))
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
  worker_.reset();
}

void CListPanel::BumpGeneration() {
  ++generation_;
  if (worker_) worker_->SetCurrentGeneration(generation_);
}

CListWorker::CRowJobs CListPanel::IconJobs(int nFirst, int nLast) const {
  CListWorker::CRowJobs jobs;
  nFirst = qMax(nFirst, 0);
  nLast = qMin(nLast, entries_.Count() - 1);
  for (int nRow = nFirst; nRow <= nLast; ++nRow) {
    const CListEntry* pEntry = entries_.At(nRow);
    if (pEntry->type != eEntry_File && pEntry->type != eEntry_Zip) continue;
    const auto* pItem = pEntry->ItemAs<CFileItem>();
    if (pItem && pItem->iconIndex == -1) jobs.append({nRow, source_->FullPath(*pEntry)});
  }
  return jobs;
}

CListWorker::CRowJobs CListPanel::FolderJobs() const {
  CListWorker::CRowJobs jobs;
  for (int nRow = 0; nRow < entries_.Count(); ++nRow) {
    const CListEntry* pEntry = entries_.At(nRow);
    if (pEntry->type != eEntry_Folder) continue;
    const auto* pItem = pEntry->ItemAs<CFileItem>();
    // A linked folder is not walked: its total stays unknown.
    if (pItem && !pItem->HasSize() && !(pItem->attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      jobs.append({nRow, source_->FullPath(*pEntry)});
  }
  return jobs;
}

void CListPanel::QueueWork(bool bFolderTotals) {
  const int nPage = visibleCount_ > 0 ? visibleCount_ : kDefaultPageRows;
  const int nLast = qMin(firstVisible_ + nPage, entries_.Count() - 1);
  worker_->SetPaused(true);
  worker_->Clear();
  if (bFolderTotals && settings.ShowFolderTotalSizes == 1) {
    CListWorker::CRowJobs folders = FolderJobs();
    if (!folders.isEmpty()) worker_->AddFolderSizes(generation_, std::move(folders));
  }
  if (nLast >= firstVisible_) worker_->AddIcons(firstVisible_, nLast, generation_,
                                                IconJobs(firstVisible_, nLast));
  worker_->SetPaused(false);
  worker_->Resume();
}

void CListPanel::SetVisibleRows(int nFirst, int nLast) {
  firstVisible_ = qMax(nFirst, 0);
  visibleCount_ = qMax(nLast - firstVisible_, 0);
  // A scroll serves the icons of the rows now on screen; folder totals still pending are
  // dropped with the queue (the running operation completes).
  if (worker_ && IsFileSystemListing()) QueueWork(/*bFolderTotals=*/false);
}

void CListPanel::OnIconReady(quint64 uGeneration, int nRow, int nIcon) {
  if (closing_ || uGeneration != generation_ || !IsFileSystemListing()) return;
  CListEntry* pEntry = entries_.At(nRow);
  if (!pEntry || (pEntry->type != eEntry_File && pEntry->type != eEntry_Zip)) return;
  auto* pItem = pEntry->ItemAs<CFileItem>();
  if (!pItem) return;
  pItem->iconIndex = nIcon;
  const QModelIndex cell = index(nRow, 0);
  emit dataChanged(cell, cell, {Qt::DecorationRole, eRole_IconIndex});
}

void CListPanel::OnFolderSizeReady(quint64 uGeneration, int nRow, quint64 uSize) {
  if (closing_ || uGeneration != generation_ || !IsFileSystemListing()) return;
  CListEntry* pEntry = entries_.At(nRow);
  if (!pEntry || pEntry->type != eEntry_Folder) return;
  auto* pItem = pEntry->ItemAs<CFileItem>();
  if (!pItem) return;
  LogDebug(u"Folder size: %s    (%d)", core::FormatSize(uSize), nRow);
  pItem->size = uSize;
  for (int nColumn = 0; nColumn < columns_.size(); ++nColumn) {
    if (columns_[nColumn].field != eListField_Size) continue;
    const QModelIndex cell = index(nRow, nColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
  }
}
