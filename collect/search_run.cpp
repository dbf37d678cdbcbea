#include "collect/search_run.h"

#include <QMetaObject>

#include "collect/search_rules.h"

namespace collect {

CSearchRun::CSearchRun(const QString& strText, const QString& strStartFolder, QObject* pContext,
                       FnBatch fnBatch, FnDone fnDone)
    : text_(strText),
      start_(strStartFolder),
      context_(pContext),
      fnBatch_(std::move(fnBatch)),
      fnDone_(std::move(fnDone)) {
  thread_ = std::thread([this] {
    const bool bCompleted = RunSearch(&engine_, text_, this, start_);
    const quint64 uFolders = engine_.FoldersSearched();
    done_.store(true);
    std::shared_ptr<std::atomic<bool>> alive = alive_;
    // After the last batch: queued calls to one object run in the order they were made.
    QMetaObject::invokeMethod(
        context_,
        [this, alive, bCompleted, uFolders] {
          if (!alive->load()) return;
          Deliver();
          if (fnDone_) fnDone_(bCompleted, uFolders);
        },
        Qt::QueuedConnection);
  });
}

CSearchRun::~CSearchRun() {
  alive_->store(false);
  engine_.Cancel();
  if (thread_.joinable()) thread_.join();
}

bool CSearchRun::OnResult(const SFSCResult& result) {
  bool bFirst = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bFirst = pending_.empty();
    pending_.push_back({result.strFullPath, result.data});
  }
  if (bFirst) {
    std::shared_ptr<std::atomic<bool>> alive = alive_;
    QMetaObject::invokeMethod(
        context_,
        [this, alive] {
          if (alive->load()) Deliver();
        },
        Qt::QueuedConnection);
  }
  return true;
}

void CSearchRun::Deliver() {
  std::vector<CSearchResults::CResult> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(pending_);
  }
  if (!batch.empty() && fnBatch_) fnBatch_(std::move(batch), engine_.FoldersSearched());
}

}  // namespace collect
