#include "platform/fault_injection.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/errors.h"

namespace plat {
namespace {

constexpr int kOpCount = static_cast<int>(EFaultOp::eFaultFlushFileSystem) + 1;

struct CFault {
  int remaining = 0;  // calls until the failing one; 0 = not armed
  DWORD error = ERROR_SUCCESS;
  bool sticky = false;
  bool tripped = false;  // a sticky fault that has fired fails every later call
};

struct CFolderFault {
  EFaultOp op;
  QString folder;
  DWORD error;
};

// True while a fault or an observer is set; the only thing an unarmed call looks at.
std::atomic<bool> g_armed{false};
std::mutex g_mutex;
CFault g_faults[kOpCount];                              // guarded by g_mutex
std::vector<CFolderFault> g_folderFaults;                // guarded by g_mutex
std::function<void(const CFileOpEvent&)> g_observer;  // guarded by g_mutex

void UpdateArmed() {
  bool any = static_cast<bool>(g_observer) || !g_folderFaults.empty();
  for (const CFault& f : g_faults) any = any || f.remaining > 0 || f.tripped;
  g_armed.store(any, std::memory_order_relaxed);
}

}  // namespace

void CFaultInjector::FailNth(EFaultOp op, int nth, DWORD error, bool sticky) {
  std::lock_guard<std::mutex> lock(g_mutex);
  CFault& f = g_faults[static_cast<int>(op)];
  f = CFault{};
  if (nth > 0) {
    f.remaining = nth;
    f.error = error;
    f.sticky = sticky;
  }
  UpdateArmed();
}

void CFaultInjector::FailUnder(EFaultOp op, const QString& strFolder, DWORD error) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_folderFaults.push_back({op, strFolder, error});
  UpdateArmed();
}

void CFaultInjector::Reset() {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (CFault& f : g_faults) f = CFault{};
  g_folderFaults.clear();
  g_observer = nullptr;
  UpdateArmed();
}

void CFaultInjector::SetObserver(std::function<void(const CFileOpEvent&)> observer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_observer = std::move(observer);
  UpdateArmed();
}

bool CFaultInjector::IsArmed() { return g_armed.load(std::memory_order_relaxed); }

bool CFaultInjector::Intercept(const CFileOpEvent& event, DWORD* error) {
  if (!g_armed.load(std::memory_order_relaxed)) return false;
  std::function<void(const CFileOpEvent&)> observer;
  bool fail = false;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    observer = g_observer;
    CFault& f = g_faults[static_cast<int>(event.op)];
    if (f.tripped) {
      fail = true;
    } else if (f.remaining > 0 && --f.remaining == 0) {
      fail = true;
      f.tripped = f.sticky;
      UpdateArmed();
    }
    if (fail) *error = f.error;
    for (const CFolderFault& ff : g_folderFaults) {
      if (fail || ff.op != event.op) continue;
      if (event.path == ff.folder || event.path.startsWith(ff.folder + u'\\')) {
        fail = true;
        *error = ff.error;
      }
    }
  }
  // Outside the lock: the observer may itself use the file layer.
  if (observer) observer(event);
  return fail;
}

bool InjectedFault(EFaultOp op, const QString& path) {
  if (!CFaultInjector::IsArmed()) return false;
  DWORD error = ERROR_SUCCESS;
  if (!CFaultInjector::Intercept(CFileOpEvent{op, path}, &error)) return false;
  SetLastError(error);
  return true;
}

}  // namespace plat
