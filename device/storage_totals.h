#pragma once
// The device-wide memory and storage figures of the device property page: physical memory,
// the object store (on the desktop, the file system that holds the device root), the space
// taken by files in ROM, the mounted storage cards, and the device's total capacity.
// Sizes are bytes, 64-bit. Each call asks the host afresh, except the ROM figure
// (device/rom_files.h). Callable from any thread.

#include <QtGlobal>

#include "platform/wintypes.h"

namespace device {

// Per cent of the physical memory in use (0 to 100).
DWORD MemoryLoad();
quint64 TotalPhysicalMemory();
quint64 AvailablePhysicalMemory();

// Size and free space (what the user may still write) of the store that holds the root; 0
// when the host cannot tell.
quint64 StoreSize();
quint64 StoreFreeSize();

// The total size of every mounted storage card that answers; 0 without cards.
quint64 StorageCardsSize();

// StorageCardsSize() + StoreSize() + RomFilesSize().
quint64 DeviceTotalSize();

}  // namespace device
