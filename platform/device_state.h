#pragma once
// The device's state as the host reports it: memory figures and the idle timer that long
// scans reset so that the device does not suspend under them.

#include <QtGlobal>

#include "platform/wintypes.h"

namespace plat {

// The handheld's GlobalMemoryStatus, with 64-bit sizes (a desktop has more than 4 GB).
struct CMemoryStatus {
  DWORD dwMemoryLoad = 0;  // per cent of the physical memory in use, 0 to 100
  quint64 uTotalPhys = 0;  // bytes of physical memory
  quint64 uAvailPhys = 0;  // bytes available to programs without swapping
};
// From /proc/meminfo (MemTotal, MemAvailable), else from sysinfo(2) (free memory plus
// buffers). False, with zero figures, when neither answers.
bool GlobalMemoryStatus(CMemoryStatus* pStatus);

// The handheld's SystemIdleTimerReset. The desktop does not suspend under a running program's
// scan, so this only counts the call (IdleTimerResets) and costs nothing else.
void SystemIdleTimerReset();
// How many times the idle timer was reset since the program started.
DWORD IdleTimerResets();

// Called for every item of a long scan: resets the idle timer when at least 10 s
// (kKeepAwakeIntervalMs, by GetTickCount) have passed since the last call that acted, and
// otherwise returns at once. True when it acted. Callable from any thread.
constexpr DWORD kKeepAwakeIntervalMs = 10000;
bool KeepAwake();
// The same at a given tick, for tests.
bool KeepAwakeAt(DWORD dwTick);

}  // namespace plat
