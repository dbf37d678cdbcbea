// Device storage totals on a temporary root and hive: the store, storage cards, the ROM
// figure and its "ROMFileSize" value.
#include <sys/mount.h>

#include <QFile>
#include <QStorageInfo>

#include <gtest/gtest.h>

#include "core/settings_store.h"
#include "device/rom_files.h"
#include "device/storage_totals.h"
#include "support/temp_root.h"

namespace {

class StorageTotalsTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    device::ForgetRomFilesSize();
  }
  void TearDown() override {
    device::ForgetRomFilesSize();
    TempRootAndHive::TearDown();
  }
  static DWORD StoredRomSize() {
    DWORD value = 0x12345678;
    ReadGlobalDword("ROMFileSize", 0x12345678, &value);
    return value;
  }
};

TEST_F(StorageTotalsTest, StoreIsTheFileSystemOfTheRoot) {
  const QStorageInfo host(dir_.path());
  EXPECT_EQ(device::StoreSize(), quint64(host.bytesTotal()));
  EXPECT_GT(device::StoreSize(), 0u);
  EXPECT_LE(device::StoreFreeSize(), device::StoreSize());
  EXPECT_GT(device::TotalPhysicalMemory(), 0u);
  EXPECT_LE(device::AvailablePhysicalMemory(), device::TotalPhysicalMemory());
  EXPECT_LE(device::MemoryLoad(), 100u);
}

TEST_F(StorageTotalsTest, WithoutCardsTheTotalIsStoreAndRom) {
  MakeFolder("\\Storage Card");  // an ordinary folder is no card
  EXPECT_EQ(device::StorageCardsSize(), 0u);
  EXPECT_EQ(device::DeviceTotalSize(), device::StoreSize() + device::RomFilesSize());
}

TEST_F(StorageTotalsTest, MountedCardsAddTheirSize) {
  MakeFolder("\\Card A");
  MakeFolder("\\Card B");
  MakeFolder("\\Plain");
  const QByteArray a = QFile::encodeName(Host("\\Card A"));
  const QByteArray b = QFile::encodeName(Host("\\Card B"));
  if (::mount("tmpfs", a.constData(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "no permission to mount a file system here";
  const bool bMounted = ::mount("tmpfs", b.constData(), "tmpfs", 0, "size=2m") == 0;
  const quint64 cards = device::StorageCardsSize();
  const quint64 total = device::DeviceTotalSize();
  const quint64 store = device::StoreSize();
  ::umount(a.constData());
  if (bMounted) ::umount(b.constData());
  ASSERT_TRUE(bMounted);
  EXPECT_EQ(cards, 3u * 1024 * 1024);
  EXPECT_EQ(total, cards + store + device::RomFilesSize());
}

TEST_F(StorageTotalsTest, RomFigureComesFromTheSettingWithoutAWalk) {
  ASSERT_TRUE(WriteGlobalDword("ROMFileSize", 1048576));
  // No file of a desktop is in ROM, so a walk would give 0: the figure is the stored one.
  MakeFile("\\big.bin", QByteArray(4096, 'x'));
  EXPECT_EQ(device::RomFilesSize(), 1048576u);
  EXPECT_EQ(StoredRomSize(), 1048576u) << "left as it was";
  // Kept for the process: a changed value is not read again until forgotten.
  ASSERT_TRUE(WriteGlobalDword("ROMFileSize", 7));
  EXPECT_EQ(device::RomFilesSize(), 1048576u);
  device::ForgetRomFilesSize();
  EXPECT_EQ(device::RomFilesSize(), 7u);
}

TEST_F(StorageTotalsTest, AnUnknownRomFigureIsWalkedAndStored) {
  MakeFile("\\Windows\\a.dll", QByteArray(100, 'x'));
  EXPECT_EQ(StoredRomSize(), 0x12345678u) << "no value yet";
  EXPECT_EQ(device::RomFilesSize(), 0u);
  EXPECT_EQ(StoredRomSize(), 0u) << "the walk's figure is stored";
  // -1 means unknown: the next run walks again and stores its figure.
  ASSERT_TRUE(WriteGlobalDword("ROMFileSize", 0xFFFFFFFF));
  device::ForgetRomFilesSize();
  EXPECT_EQ(device::RomFilesSize(), 0u);
  EXPECT_EQ(StoredRomSize(), 0u);
}

TEST(RomFiles, WhatCountsAsAFileInRom) {
  struct Case {
    DWORD attributes;
    bool rom;
  } cases[] = {
      {0x40, true},   {0x2000, true}, {0x1000, true}, {0x41, true},   {0x3040, true},
      {0x50, false},  {0x2010, false}, {0x20, false}, {0x80, false},  {0x0, false},
  };
  for (const Case& c : cases) EXPECT_EQ(device::IsRomFile(c.attributes), c.rom) << c.attributes;
}

}  // namespace
