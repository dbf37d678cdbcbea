// The host's memory figures and the keep-awake call of long scans.
#include <sys/sysinfo.h>

#include <gtest/gtest.h>

#include "platform/device_state.h"

namespace {

TEST(DeviceState, MemoryFiguresAreTheHostsAndConsistent) {
  plat::CMemoryStatus status;
  ASSERT_TRUE(plat::GlobalMemoryStatus(&status));
  struct sysinfo info;
  ASSERT_EQ(::sysinfo(&info), 0);
  EXPECT_EQ(status.uTotalPhys / 1024, quint64(info.totalram) * info.mem_unit / 1024)
      << "the host's whole memory, in 64 bits";
  EXPECT_GT(status.uAvailPhys, 0u);
  EXPECT_LE(status.uAvailPhys, status.uTotalPhys);
  EXPECT_LE(status.dwMemoryLoad, 100u);
  const double used = 100.0 * double(status.uTotalPhys - status.uAvailPhys) / status.uTotalPhys;
  EXPECT_NEAR(double(status.dwMemoryLoad), used, 0.51);
}

TEST(DeviceState, KeepAwakeResetsTheIdleTimerAtMostOnceInTenSeconds) {
  const DWORD before = plat::IdleTimerResets();
  const DWORD t = 0x40000000;
  EXPECT_TRUE(plat::KeepAwakeAt(t));
  EXPECT_FALSE(plat::KeepAwakeAt(t + 1));
  EXPECT_FALSE(plat::KeepAwakeAt(t + plat::kKeepAwakeIntervalMs - 1));
  EXPECT_EQ(plat::IdleTimerResets(), before + 1) << "two calls within 10 s reset once";
  EXPECT_TRUE(plat::KeepAwakeAt(t + plat::kKeepAwakeIntervalMs));
  // Across the wrap of the tick count.
  EXPECT_TRUE(plat::KeepAwakeAt(0xFFFFF000));
  EXPECT_FALSE(plat::KeepAwakeAt(0x00000100));
  EXPECT_TRUE(plat::KeepAwakeAt(0xFFFFF000 + plat::kKeepAwakeIntervalMs));
  EXPECT_EQ(plat::IdleTimerResets(), before + 4);
}

}  // namespace
