#include "platform/device_state.h"

#include <sys/sysinfo.h>

#include <QByteArray>
#include <QFile>

#include <atomic>

#include "platform/filetime.h"

namespace plat {
namespace {

std::atomic<DWORD> lastKeepAwakeTick{0};
std::atomic<DWORD> idleTimerResets{0};

// The kB figure of one /proc/meminfo line ("MemTotal:       16303412 kB"); 0 when absent.
quint64 MeminfoKiB(const QByteArray& text, const char* key) {
  const qsizetype at = text.indexOf(QByteArray("\n") + key);
  const qsizetype start = at < 0 ? (text.startsWith(key) ? 0 : -1) : at + 1;
  if (start < 0) return 0;
  const qsizetype end = text.indexOf('\n', start);
  QByteArray line = text.mid(start, end < 0 ? -1 : end - start);
  line = line.mid(line.indexOf(':') + 1).trimmed();
  if (line.endsWith(" kB")) line.chop(3);
  return line.toULongLong();
}

DWORD LoadOf(quint64 uTotal, quint64 uAvail) {
  if (uTotal == 0) return 0;
  const quint64 used = uAvail < uTotal ? uTotal - uAvail : 0;
  return DWORD((used * 100 + uTotal / 2) / uTotal);
}

}  // namespace

bool GlobalMemoryStatus(CMemoryStatus* pStatus) {
  *pStatus = CMemoryStatus{};
  QFile meminfo(QStringLiteral("/proc/meminfo"));
  if (meminfo.open(QIODevice::ReadOnly)) {
    const QByteArray text = meminfo.readAll();
    pStatus->uTotalPhys = MeminfoKiB(text, "MemTotal:") * 1024;
    pStatus->uAvailPhys = MeminfoKiB(text, "MemAvailable:") * 1024;
  }
  if (pStatus->uTotalPhys == 0 || pStatus->uAvailPhys == 0) {
    struct sysinfo info;
    if (::sysinfo(&info) != 0) return false;
    const quint64 unit = info.mem_unit ? info.mem_unit : 1;
    pStatus->uTotalPhys = quint64(info.totalram) * unit;
    pStatus->uAvailPhys = (quint64(info.freeram) + quint64(info.bufferram)) * unit;
  }
  pStatus->dwMemoryLoad = LoadOf(pStatus->uTotalPhys, pStatus->uAvailPhys);
  return pStatus->uTotalPhys != 0;
}

void SystemIdleTimerReset() { idleTimerResets.fetch_add(1, std::memory_order_relaxed); }

DWORD IdleTimerResets() { return idleTimerResets.load(std::memory_order_relaxed); }

bool KeepAwakeAt(DWORD dwTick) {
  DWORD last = lastKeepAwakeTick.load(std::memory_order_relaxed);
  // Unsigned difference: the tick count wraps at 2^32.
  if (dwTick - last < kKeepAwakeIntervalMs) return false;
  // One of two threads racing past the interval acts; the other returns.
  if (!lastKeepAwakeTick.compare_exchange_strong(last, dwTick, std::memory_order_relaxed))
    return false;
  SystemIdleTimerReset();
  return true;
}

bool KeepAwake() { return KeepAwakeAt(GetTickCount()); }

}  // namespace plat
