#include "core/view_notify.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <atomic>
#include <vector>

namespace fileops {
namespace {

QMutex& ListenersMutex() {
  static QMutex mutex;
  return mutex;
}

// Guarded by ListenersMutex(). Slots of removed listeners are set to null during a delivery
// and swept afterwards, so that a delivery in progress never calls a removed listener.
std::vector<IViewListener*>& Listeners() {
  static std::vector<IViewListener*> listeners;
  return listeners;
}

// Deliveries in progress (guarded by ListenersMutex()); the list is only compacted at 0.
int& Deliveries() {
  static int deliveries = 0;
  return deliveries;
}

// Quick test that skips building anything when nobody listens.
std::atomic<int> listenerCount{0};

void SweepRemoved() {
  auto& listeners = Listeners();
  listeners.erase(std::remove(listeners.begin(), listeners.end(), nullptr), listeners.end());
}

// Calls deliver(listener) for each listener subscribed when the delivery began.
template <class Deliver>
void DeliverToListeners(Deliver deliver) {
  if (listenerCount.load(std::memory_order_relaxed) == 0) return;
  QMutexLocker lock(&ListenersMutex());
  ++Deliveries();
  // Indexes rather than iterators: a listener subscribed meanwhile may grow the list.
  const std::size_t count = Listeners().size();
  for (std::size_t i = 0; i < count; ++i) {
    IViewListener* listener = Listeners()[i];
    if (!listener) continue;
    // The lock is not held while a listener runs: it may subscribe or unsubscribe.
    lock.unlock();
    deliver(listener);
    lock.relock();
  }
  if (--Deliveries() == 0) SweepRemoved();
}

// Open CViewRuns; only the thread that runs operations opens them.
std::atomic<int> runDepth{0};

}  // namespace

void AddViewListener(IViewListener* pListener) {
  if (!pListener) return;
  QMutexLocker lock(&ListenersMutex());
  Listeners().push_back(pListener);
  listenerCount.fetch_add(1, std::memory_order_relaxed);
}

void RemoveViewListener(IViewListener* pListener) {
  QMutexLocker lock(&ListenersMutex());
  auto& listeners = Listeners();
  const auto it = std::find(listeners.begin(), listeners.end(), pListener);
  if (it == listeners.end() || !pListener) return;
  *it = nullptr;
  listenerCount.fetch_sub(1, std::memory_order_relaxed);
  if (Deliveries() == 0) SweepRemoved();
}

CScopedViewListener::CScopedViewListener(IViewListener* pListener) : listener_(pListener) {
  AddViewListener(listener_);
}

CScopedViewListener::~CScopedViewListener() { RemoveViewListener(listener_); }

CViewRun::CViewRun() { runDepth.fetch_add(1, std::memory_order_relaxed); }

CViewRun::~CViewRun() {
  if (runDepth.fetch_sub(1, std::memory_order_relaxed) == 1)
    DeliverToListeners([](IViewListener* listener) { listener->OnViewRunEnded(); });
}

bool ViewRunActive() { return runDepth.load(std::memory_order_relaxed) > 0; }

void NotifyViews(const CViewChange& change) {
  DeliverToListeners([&](IViewListener* listener) { listener->OnViewChange(change); });
}

void NotifyItemAdded(const QString& strPath) {
  NotifyViews({EViewChange::eItemAdded, strPath, {}});
}
void NotifyItemRemoved(const QString& strPath) {
  NotifyViews({EViewChange::eItemRemoved, strPath, {}});
}
void NotifyFileRenamed(const QString& strOldPath, const QString& strNewPath) {
  NotifyViews({EViewChange::eFileRenamed, strOldPath, strNewPath});
}
void NotifyFolderRenamed(const QString& strOldPath, const QString& strNewPath) {
  NotifyViews({EViewChange::eFolderRenamed, strOldPath, strNewPath});
}
void NotifyFolderCreated(const QString& strPath) {
  NotifyViews({EViewChange::eFolderCreated, strPath, {}});
}
void NotifyFolderRemoved(const QString& strPath) {
  NotifyViews({EViewChange::eFolderRemoved, strPath, {}});
}
void NotifyRegistryChange(EViewChange change, HKEY root, const QString& strPath,
                          const QString& strNewPath) {
  NotifyViews({change, strPath, strNewPath, eEntry_RegKey, root});
}

}  // namespace fileops
