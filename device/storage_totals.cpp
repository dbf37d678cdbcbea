#include "device/storage_totals.h"

#include "collect/storage_cards.h"
#include "device/rom_files.h"
#include "platform/device_state.h"
#include "platform/file_system.h"

namespace device {
namespace {

plat::CMemoryStatus Memory() {
  plat::CMemoryStatus status;
  plat::GlobalMemoryStatus(&status);
  return status;
}

}  // namespace

DWORD MemoryLoad() { return Memory().dwMemoryLoad; }
quint64 TotalPhysicalMemory() { return Memory().uTotalPhys; }
quint64 AvailablePhysicalMemory() { return Memory().uAvailPhys; }

quint64 StoreSize() {
  quint64 total = 0;
  return plat::GetDiskFreeSpaceEx(QStringLiteral("\\"), nullptr, &total, nullptr) ? total : 0;
}

quint64 StoreFreeSize() {
  quint64 free = 0;
  return plat::GetDiskFreeSpaceEx(QStringLiteral("\\"), &free, nullptr, nullptr) ? free : 0;
}

quint64 StorageCardsSize() {
  collect::CStorageCards cards;
  const int nCards = cards.RefreshStorageCards();
  quint64 uTotal = 0;
  for (int i = 0; i < nCards; ++i) {
    quint64 uCard = 0;
    if (plat::GetDiskFreeSpaceEx(u'\\' + cards.StorageCardName(i), nullptr, &uCard, nullptr))
      uTotal += uCard;
  }
  return uTotal;
}

quint64 DeviceTotalSize() { return StorageCardsSize() + StoreSize() + RomFilesSize(); }

}  // namespace device
