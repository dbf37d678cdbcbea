#pragma once
// A search on a thread of its own: one collection engine that belongs to that thread, its
// results handed in batches to the thread that started it (the user-interface thread), so that
// the window stays responsive however many are found.
//
// The first result of a batch asks for a delivery at once (a queued call to fnBatch on the
// context object's thread); the results found until that call runs join the same batch. So
// a result is on screen as soon as that thread turns, and a flood of results costs one call
// per turn, not one per result. fnDone follows the last batch.
//
// Stop asks the engine to end at its next entry; the object's end waits for the thread.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "collect/fs_collect.h"
#include "collect/search_results.h"

namespace collect {

class CSearchRun : private IFSCollectSink {
 public:
  using FnBatch = std::function<void(std::vector<CSearchResults::CResult>&& batch,
                                     quint64 uFoldersSearched)>;
  // bCompleted: the device was searched to its end (not stopped, nothing unreadable at the
  // start folder).
  using FnDone = std::function<void(bool bCompleted, quint64 uFoldersSearched)>;

  // Starts the search of strText from strStartFolder. fnBatch and fnDone run on pContext's
  // thread (queued), never after the run is gone; pContext must outlive the run.
  CSearchRun(const QString& strText, const QString& strStartFolder, QObject* pContext,
             FnBatch fnBatch, FnDone fnDone);
  ~CSearchRun() override;
  CSearchRun(const CSearchRun&) = delete;
  CSearchRun& operator=(const CSearchRun&) = delete;

  void Stop() { engine_.Cancel(); }
  bool IsRunning() const { return !done_.load(); }
  quint64 FoldersSearched() const { return engine_.FoldersSearched(); }

 private:
  bool OnResult(const SFSCResult& result) override;
  void Deliver();

  QString text_;
  QString start_;
  QObject* context_;
  FnBatch fnBatch_;
  FnDone fnDone_;
  CFSCollect engine_;  // used by the search thread alone (Cancel and the count excepted)
  std::mutex mutex_;
  std::vector<CSearchResults::CResult> pending_;
  std::atomic<bool> done_{false};
  // Shared with the queued calls, which may run after the run is gone.
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
  std::thread thread_;
};

}  // namespace collect
