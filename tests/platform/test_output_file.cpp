// The output file on a real temporary root: nothing appears under the final name before the
// output is complete, a fault at any step leaves neither a partial file nor a temporary, a
// name taken meanwhile is never replaced, and the leftover rule removes only what no live
// output holds and what is older than the run.
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include "platform/dir_walk.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "support/host_listing.h"
#include "support/temp_root.h"

namespace {

using plat::CFaultInjector;
using plat::CFileOpEvent;
using plat::COutputFile;
using plat::EFaultOp;

class OutputFileTest : public test::TempRoot {
 protected:
  void TearDown() override {
    CFaultInjector::Reset();
    TempRoot::TearDown();
  }
  QStringList Listing(const QString& devicePath) const {
    return test::HostListing(Host(devicePath));
  }
  static bool WriteText(COutputFile* pOut, const QByteArray& text) {
    DWORD written = 0;
    return pOut->File().Write(text.constData(), DWORD(text.size()), &written);
  }
  // Sets a host file's modification time some minutes into the past.
  void Age(const QString& devicePath, int minutes) {
    const QByteArray host = QFile::encodeName(Host(devicePath));
    struct utimbuf times;
    times.actime = times.modtime = ::time(nullptr) - minutes * 60;
    ASSERT_EQ(::utime(host.constData(), &times), 0);
  }
};

TEST_F(OutputFileTest, NothingHasTheFinalNameUntilTheOutputIsComplete) {
  MakeFolder("\\d");
  for (const bool bReplace : {false, true}) {
    SCOPED_TRACE(bReplace ? "replace" : "new");
    if (bReplace) MakeFile("\\d\\out.txt", "old");
    COutputFile out;
    ASSERT_TRUE(out.Create("\\d\\out.txt", bReplace));
    ASSERT_TRUE(WriteText(&out, "new content"));
    // Before the commit the name holds what it held before, and nothing else is named.
    EXPECT_EQ(ExistsHost("\\d\\out.txt"), bReplace);
    if (bReplace) {
      EXPECT_EQ(ReadHost("\\d\\out.txt"), "old");
    }
    ASSERT_TRUE(out.Commit(true, true));
    EXPECT_EQ(ReadHost("\\d\\out.txt"), "new content");
    EXPECT_EQ(Listing("\\d"), QStringList({"out.txt"}));
    ASSERT_TRUE(QFile::remove(Host("\\d\\out.txt")));
  }
}

// A fault at each step of new and replacing outputs: no partial file, no temporary, and an
// existing file exactly as it was.
TEST_F(OutputFileTest, AFaultAtAnyStepLeavesNoPartialFileAndNoTemporary) {
  struct Case {
    EFaultOp op;
    int nth;
  };
  const Case cases[] = {{EFaultOp::eFaultWrite, 2},  {EFaultOp::eFaultFlush, 1},
                        {EFaultOp::eFaultRename, 1}, {EFaultOp::eFaultFlushFolder, 1},
                        {EFaultOp::eFaultClose, 1}};
  MakeFolder("\\d");
  for (const bool bReplace : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << (bReplace ? "replace " : "new ") << int(c.op));
      if (bReplace) MakeFile("\\d\\out.txt", "old");
      COutputFile out;
      ASSERT_TRUE(out.Create("\\d\\out.txt", bReplace));
      CFaultInjector::FailNth(c.op, c.nth, ERROR_DISK_FULL);
      const bool bWritten = WriteText(&out, "first ") && WriteText(&out, "second");
      const bool bCommitted = bWritten && out.Commit(true, true);
      CFaultInjector::Reset();
      out.Discard();
      // A folder flush that fails after a replace is reported, with the new content in place.
      const bool bPlacedAnyway = bReplace && c.op == EFaultOp::eFaultFlushFolder;
      EXPECT_FALSE(bCommitted);
      if (bReplace) {
        EXPECT_EQ(ReadHost("\\d\\out.txt"), bPlacedAnyway ? "first second" : "old");
        EXPECT_EQ(Listing("\\d"), QStringList({"out.txt"}));
        ASSERT_TRUE(QFile::remove(Host("\\d\\out.txt")));
      } else {
        EXPECT_EQ(Listing("\\d"), QStringList());
      }
    }
  }
}

TEST_F(OutputFileTest, ANameTakenMeanwhileIsNeverReplaced) {
  MakeFolder("\\d");
  COutputFile out;
  ASSERT_TRUE(out.Create("\\d\\x.txt", false));
  ASSERT_TRUE(WriteText(&out, "mine"));
  MakeFile("\\d\\x.txt", "someone else's");
  EXPECT_FALSE(out.Commit(true, true));
  EXPECT_EQ(plat::GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ReadHost("\\d\\x.txt"), "someone else's");
  EXPECT_EQ(Listing("\\d"), QStringList({"x.txt"}));
}

// Two new files waiting to be put in place never share a name: the second is refused as if
// the name existed, until the first is in place or gone (a moved output keeps the claim).
TEST_F(OutputFileTest, ANameClaimedByAnOutputOfTheProcessIsRefusedToTheNext) {
  MakeFolder("\\d");
  COutputFile first;
  ASSERT_TRUE(first.Create("\\d\\x.txt", false));
  COutputFile second;
  EXPECT_FALSE(second.Create("\\d\\x.txt", false));
  EXPECT_EQ(plat::GetLastError(), DWORD(ERROR_FILE_EXISTS));
  COutputFile moved(std::move(first));
  EXPECT_FALSE(second.Create("\\d\\x.txt", false));
  moved.Discard();
  ASSERT_TRUE(second.Create("\\d\\x.txt", false));
  ASSERT_TRUE(WriteText(&second, "second"));
  ASSERT_TRUE(second.Commit(true, true));
  EXPECT_EQ(ReadHost("\\d\\x.txt"), "second");
  // Once in place the name is the file's: a replacing output may take it, a new one may not.
  COutputFile replacing;
  ASSERT_TRUE(replacing.Create("\\d\\x.txt", true));
  COutputFile third;
  ASSERT_TRUE(third.Create("\\d\\x.txt", false));  // claimed again; its commit would fail
  EXPECT_FALSE(third.Commit(true, true));
  EXPECT_EQ(ReadHost("\\d\\x.txt"), "second");
}

// Only temporaries of the program's prefix, older than the run and held by no live output
// go; links, folders and other names stay.
TEST_F(OutputFileTest, LeftoversOfEarlierRunsAreRemovedAndLiveOnesKept) {
  MakeFile("\\d\\~pb1A2B.tmp", "killed run");
  Age("\\d\\~pb1A2B.tmp", 10);
  MakeFile("\\d\\keep.tmp", "a user's file");
  Age("\\d\\keep.tmp", 10);
  MakeFolder("\\d\\~pb0001.tmp");
  MakeFile("\\elsewhere.txt", "target");
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\elsewhere.txt")).constData(),
                      QFile::encodeName(Host("\\d\\~pb0002.tmp")).constData()),
            0);
  // A live replacing output holds its temporary, however old it looks.
  MakeFile("\\d\\held.txt", "old");
  COutputFile live;
  ASSERT_TRUE(live.Create("\\d\\held.txt", true));
  const QString liveTemp = live.WritePath();
  ASSERT_TRUE(liveTemp.startsWith("\\d\\~pb")) << liveTemp.toStdString();
  Age(liveTemp, 10);

  plat::CLeftoverSweep run;
  MakeFile("\\d\\~pbFFFF.tmp", "made during the run");
  ::utime(QFile::encodeName(Host("\\d\\~pbFFFF.tmp")).constData(), nullptr);
  COutputFile out;
  ASSERT_TRUE(out.Create("\\d\\new.txt", false));  // the run's first output in the folder
  ASSERT_TRUE(out.Commit(false, false));
  QStringList expected = {"held.txt", "keep.tmp", "new.txt", "~pb0001.tmp", "~pb0002.tmp",
                          "~pbFFFF.tmp", liveTemp.section('\\', -1)};
  expected.sort();
  EXPECT_EQ(Listing("\\d"), expected);
  EXPECT_EQ(ReadHost("\\elsewhere.txt"), "target");
  ASSERT_TRUE(live.Commit(true, false));
  EXPECT_EQ(Listing("\\d").size(), expected.size() - 1);
}

TEST_F(OutputFileTest, TheFolderFlushGoesThroughTheFaultSeam) {
  MakeFolder("\\d");
  std::vector<CFileOpEvent> events;
  CFaultInjector::SetObserver([&](const CFileOpEvent& e) { events.push_back(e); });
  EXPECT_TRUE(plat::FlushFolder("\\d"));
  CFaultInjector::FailNth(EFaultOp::eFaultFlushFolder, 1, ERROR_IO_DEVICE);
  EXPECT_FALSE(plat::FlushFolder("\\d"));
  EXPECT_EQ(plat::GetLastError(), DWORD(ERROR_IO_DEVICE));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].op, EFaultOp::eFaultFlushFolder);
  EXPECT_EQ(events[0].path, "\\d");
}

}  // namespace
