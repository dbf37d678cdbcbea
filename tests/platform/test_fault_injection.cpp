// The fault-injection seam: armed faults fail the right call with the chosen error and leave
// the disk untouched; the observer sees every call with its position and size.
#include <QDir>

#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "support/temp_root.h"

namespace {

using plat::CFaultInjector;
using plat::EFaultOp;

class FaultInjectionTest : public test::TempRoot {
 protected:
  // Writes each chunk in turn; returns how many writes succeeded.
  int WriteChunks(const QString& path, const QList<QByteArray>& chunks, DWORD* lastError) {
    plat::CHostFile file;
    EXPECT_TRUE(file.Open(path, plat::GENERIC_WRITE, plat::CREATE_ALWAYS));
    int ok = 0;
    *lastError = ERROR_SUCCESS;
    for (const QByteArray& chunk : chunks) {
      DWORD written = 99;
      if (file.Write(chunk.constData(), static_cast<DWORD>(chunk.size()), &written)) {
        ++ok;
      } else {
        *lastError = plat::GetLastError();
        EXPECT_EQ(written, 0u);  // a failing write writes nothing
      }
    }
    EXPECT_TRUE(file.Close());
    return ok;
  }
};

TEST_F(FaultInjectionTest, NthWriteFailsWithDiskFullAndWritesNothing) {
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 2, ERROR_DISK_FULL);
  DWORD error = 0;
  EXPECT_EQ(WriteChunks("\\f.bin", {"aaa", "bbb", "ccc"}, &error), 2);
  EXPECT_EQ(error, ERROR_DISK_FULL);
  EXPECT_EQ(ReadHost("\\f.bin"), "aaaccc");  // one-shot: the third write went through
}

TEST_F(FaultInjectionTest, StickyFaultsKeepFailing) {
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 2, ERROR_DISK_FULL, true);
  DWORD error = 0;
  EXPECT_EQ(WriteChunks("\\f.bin", {"aaa", "bbb", "ccc", "ddd"}, &error), 1);
  EXPECT_EQ(error, ERROR_DISK_FULL);
  EXPECT_EQ(ReadHost("\\f.bin"), "aaa");
  CFaultInjector::Reset();
  EXPECT_EQ(WriteChunks("\\g.bin", {"x"}, &error), 1);
}

TEST_F(FaultInjectionTest, EachOperationFailsWithItsErrorAndTouchesNothing) {
  MakeFile("\\a.txt", "a");
  MakeFolder("\\d");
  struct Case {
    EFaultOp op;
    DWORD error;
    std::function<bool()> call;
    std::function<void()> check;
  } cases[] = {
      {EFaultOp::eFaultCreate, ERROR_ACCESS_DENIED,
       [] {
         plat::CHostFile f;
         return f.Open("\\new.txt", plat::GENERIC_WRITE, plat::CREATE_NEW);
       },
       [this] { EXPECT_FALSE(ExistsHost("\\new.txt")); }},
      {EFaultOp::eFaultCreate, ERROR_DISK_FULL, [] { return plat::CreateDirectory("\\nd"); },
       [this] { EXPECT_FALSE(ExistsHost("\\nd")); }},
      {EFaultOp::eFaultCreate, ERROR_DISK_FULL,
       [] {
         QString p;
         return plat::GetTempFileName("\\d", "t", 0, &p) != 0;
       },
       [this] { EXPECT_TRUE(QDir(Host("\\d")).isEmpty()); }},
      {EFaultOp::eFaultRename, ERROR_ACCESS_DENIED, [] { return plat::MoveFile("\\a.txt", "\\b.txt"); },
       [this] {
         EXPECT_TRUE(ExistsHost("\\a.txt"));
         EXPECT_FALSE(ExistsHost("\\b.txt"));
       }},
      {EFaultOp::eFaultDelete, ERROR_IO_DEVICE, [] { return plat::DeleteFile("\\a.txt"); },
       [this] { EXPECT_EQ(ReadHost("\\a.txt"), "a"); }},
      {EFaultOp::eFaultDelete, ERROR_IO_DEVICE, [] { return plat::RemoveDirectory("\\d"); },
       [this] { EXPECT_TRUE(ExistsHost("\\d")); }},
      {EFaultOp::eFaultAttributes, ERROR_ACCESS_DENIED,
       [] { return plat::SetFileAttributes("\\a.txt", FILE_ATTRIBUTE_READONLY); },
       [] { EXPECT_EQ(plat::GetFileAttributes("\\a.txt"), FILE_ATTRIBUTE_NORMAL); }},
  };
  for (Case& c : cases) {
    CFaultInjector::FailNth(c.op, 1, c.error);
    plat::SetLastError(0);
    EXPECT_FALSE(c.call()) << static_cast<int>(c.op);
    EXPECT_EQ(plat::GetLastError(), c.error) << static_cast<int>(c.op);
    c.check();
    CFaultInjector::Reset();
  }
}

TEST_F(FaultInjectionTest, ReplaceFailsAndKeepsBothFiles) {
  MakeFile("\\doc.txt", "old");
  MakeFile("\\doc.tmp", "new");
  CFaultInjector::FailNth(EFaultOp::eFaultRename, 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(plat::ReplaceFile("\\doc.txt", "\\doc.tmp"));
  EXPECT_EQ(plat::GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadHost("\\doc.txt"), "old");
  EXPECT_EQ(ReadHost("\\doc.tmp"), "new");
}

TEST_F(FaultInjectionTest, FlushReadAndCloseFaults) {
  MakeFile("\\a.txt", "abc");
  plat::CHostFile file;
  ASSERT_TRUE(file.Open("\\a.txt", plat::GENERIC_READ | plat::GENERIC_WRITE, plat::OPEN_EXISTING));
  CFaultInjector::FailNth(EFaultOp::eFaultFlush, 1, ERROR_IO_DEVICE);
  EXPECT_FALSE(file.Flush());
  EXPECT_EQ(plat::GetLastError(), ERROR_IO_DEVICE);
  EXPECT_TRUE(file.Flush());
  CFaultInjector::FailNth(EFaultOp::eFaultRead, 1, ERROR_READ_FAULT);
  char buffer[4];
  DWORD read = 5;
  EXPECT_FALSE(file.Read(buffer, 3, &read));
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(plat::GetLastError(), ERROR_READ_FAULT);
  CFaultInjector::FailNth(EFaultOp::eFaultClose, 1, ERROR_IO_DEVICE);
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(plat::GetLastError(), ERROR_IO_DEVICE);
  EXPECT_FALSE(file.IsOpen());  // closed either way
}

TEST_F(FaultInjectionTest, ObserverSeesWritesWithPositionAndSize) {
  QList<plat::CFileOpEvent> events;
  CFaultInjector::SetObserver([&](const plat::CFileOpEvent& e) { events.append(e); });
  plat::CHostFile file;
  ASSERT_TRUE(file.Open("\\o.bin", plat::GENERIC_WRITE, plat::CREATE_NEW));
  DWORD written = 0;
  ASSERT_TRUE(file.Write("12345", 5, &written));
  ASSERT_TRUE(file.Write("678", 3, &written));
  ASSERT_TRUE(file.Flush());
  ASSERT_TRUE(file.Close());
  ASSERT_TRUE(plat::MoveFile("\\o.bin", "\\p.bin"));
  ASSERT_EQ(events.size(), 6);
  EXPECT_EQ(events[0].op, EFaultOp::eFaultCreate);
  EXPECT_EQ(events[0].path, "\\o.bin");
  EXPECT_EQ(events[1].op, EFaultOp::eFaultWrite);
  EXPECT_EQ(events[1].position, 0);
  EXPECT_EQ(events[1].bytes, 5);
  EXPECT_EQ(events[2].op, EFaultOp::eFaultWrite);
  EXPECT_EQ(events[2].position, 5);
  EXPECT_EQ(events[2].bytes, 3);
  EXPECT_EQ(events[3].op, EFaultOp::eFaultFlush);
  EXPECT_EQ(events[4].op, EFaultOp::eFaultClose);
  EXPECT_EQ(events[5].op, EFaultOp::eFaultRename);
  EXPECT_EQ(events[5].path, "\\o.bin");
  CFaultInjector::Reset();
  ASSERT_TRUE(plat::DeleteFile("\\p.bin"));
  EXPECT_EQ(events.size(), 6);  // no observer after Reset
}

}  // namespace
