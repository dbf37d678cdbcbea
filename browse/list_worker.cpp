#include "browse/list_worker.h"

#include "platform/folder_totals.h"
#include "browse/icon_manager.h"

CListWorker::CCalculators CListWorker::DefaultCalculators() {
  CCalculators calculators;
  calculators.icon = [](const QString& strPath) { return AppIconManager().IconForFile(strPath); };
  calculators.folderSize = [](const QString& strFolder, quint64* puTotal,
                              const std::function<bool()>& fnStop) {
    CFolderTotals totals;
    const bool bDone = plat::ComputeFolderTotals(strFolder, &totals, fnStop);
    *puTotal = totals.bytes;
    // A folder that cannot be read totals 0; only a stop is reported as not done.
    return bDone || !fnStop();
  };
  return calculators;
}

CListWorker::CListWorker(QObject* pParent) : QThread(pParent), calculators_(DefaultCalculators()) {
  start(QThread::LowPriority);
}

CListWorker::~CListWorker() {
  RequestExit();
  wait();
  // The thread's last reads happen under the lock; taking it once more orders them before the
  // members are destroyed in a way race detectors see (QThread::wait synchronises out of view).
  std::lock_guard lock(mutex_);
}

bool CListWorker::Push(COperation op) {
  std::lock_guard lock(mutex_);
  if (count_ >= kMaxOperations) return false;
  slots_[next_] = std::move(op);
  next_ = (next_ + 1) % kMaxOperations;
  ++count_;
  wake_.notify_all();
  return true;
}

bool CListWorker::AddIcons(int nFirst, int nLast, quint64 uGeneration, CRowJobs rows) {
  return Push({eListOp_Icons, nFirst, nLast, uGeneration, std::move(rows)});
}

bool CListWorker::AddAllIcons(quint64 uGeneration, CRowJobs rows) {
  return Push({eListOp_AllIcons, 0, 0, uGeneration, std::move(rows)});
}

bool CListWorker::AddFolderSizes(quint64 uGeneration, CRowJobs rows) {
  return Push({eListOp_FolderSizes, 0, 0, uGeneration, std::move(rows)});
}

void CListWorker::SetPaused(bool bPaused) {
  std::lock_guard lock(mutex_);
  paused_ = bPaused;
  wake_.notify_all();
}

bool CListWorker::IsPaused() const {
  std::lock_guard lock(mutex_);
  return paused_;
}

void CListWorker::Clear() {
  std::lock_guard lock(mutex_);
  for (COperation& op : slots_) op = COperation{};
  count_ = 0;
  next_ = 0;
}

void CListWorker::RequestExit() {
  std::lock_guard lock(mutex_);
  exit_ = true;
  wake_.notify_all();
}

void CListWorker::Resume() {
  std::lock_guard lock(mutex_);
  wake_.notify_all();
}

void CListWorker::SetCurrentGeneration(quint64 uGeneration) { generation_ = uGeneration; }

int CListWorker::PendingCount() const {
  std::lock_guard lock(mutex_);
  return count_;
}

bool CListWorker::IsBusy() const {
  std::lock_guard lock(mutex_);
  return running_ || (count_ > 0 && !paused_);
}

void CListWorker::SetCalculators(const CCalculators& calculators) {
  std::lock_guard lock(mutex_);
  calculators_ = calculators;
}

bool CListWorker::IsStale(quint64 uGeneration) const {
  return exit_ || generation_ != uGeneration;
}

void CListWorker::run() {
  for (;;) {
    COperation op;
    CCalculators calculators;
    {
      std::unique_lock lock(mutex_);
      // A paused worker takes nothing, so an operation added while the panel prepares the
      // queue cannot be taken and skipped before the panel un-pauses.
      wake_.wait(lock, [this] { return exit_ || (count_ > 0 && !paused_); });
      if (exit_) return;
      next_ = (next_ + kMaxOperations - 1) % kMaxOperations;
      op = std::move(slots_[next_]);
      slots_[next_] = COperation{};
      --count_;
      running_ = true;
      calculators = calculators_;
    }
    Perform(op, calculators);
    std::lock_guard lock(mutex_);
    running_ = false;
  }
}

void CListWorker::Perform(const COperation& op, const CCalculators& calculators) {
  const quint64 uGeneration = op.generation;
  if (op.code == eListOp_Icons || op.code == eListOp_AllIcons) {
    for (const CRowJob& job : op.rows) {
      if (IsStale(uGeneration)) return;
      const int nIcon = calculators.icon(job.fullPath);
      if (IsStale(uGeneration)) return;
      emit iconReady(uGeneration, job.row, nIcon);
    }
    return;
  }
  if (op.code != eListOp_FolderSizes) return;
  const auto fnStop = [this, uGeneration] { return IsStale(uGeneration); };
  for (const CRowJob& job : op.rows) {
    if (IsStale(uGeneration)) return;
    quint64 uTotal = 0;
    if (!calculators.folderSize(job.fullPath, &uTotal, fnStop) || IsStale(uGeneration)) return;
    emit folderSizeReady(uGeneration, job.row, uTotal);
  }
  emit folderSizesDone(uGeneration);
}
