// What every operation that deletes a source promises, seen through the fault seam: the output
// is flushed and its folder's entry flushed before the source goes, and a failure of either
// keeps the source. A process killed in the middle leaves no partial file under a final name,
// and the next run cleans up what it left. Also the run's conflict answer for folders.
#include <QDir>
#include <QFile>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "fileops/copy_move.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "platform/fault_injection.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/host_listing.h"
#include "support/temp_root.h"

namespace {

using fileops::eSelFile;
using fileops::eSelFolder;
using plat::CFaultInjector;
using plat::CFileOpEvent;
using plat::EFaultOp;

class DurabilityTest : public test::TempRoot {
 public:
  using TempRoot::MakeFile;
  using TempRoot::MakeFolder;

 protected:
  void SetUp() override {
    TempRoot::SetUp();
    settings.RecycleBinPath = "\\Bin";
    settings.UseRecycleBin = 1;
    MakeFolder("\\Bin");
  }
  void TearDown() override {
    CFaultInjector::Reset();
    TempRoot::TearDown();
  }
  QStringList Listing(const QString& devicePath) const {
    return test::HostListing(Host(devicePath));
  }
  // The only container in the bin.
  QString OnlyContainer() const {
    const QStringList names = QDir(Host("\\Bin")).entryList({"*.trb"}, QDir::Files);
    return names.size() == 1 ? "\\Bin\\" + names[0] : QString();
  }
  // Runs fnRun in a child process that is killed (SIGKILL) at the write that reaches position
  // nKillAt of a file in strFolder; true when the child died that way.
  bool RunKilled(const std::function<void()>& fnRun, const QString& strFolder, qint64 nKillAt) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      CFaultInjector::SetObserver([&](const CFileOpEvent& e) {
        if (e.op == EFaultOp::eFaultWrite && e.path.startsWith(strFolder + "\\") &&
            e.position >= nKillAt)
          ::raise(SIGKILL);
      });
      fnRun();
      ::_exit(3);  // not killed: the write was never reached
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::usleep(5000);  // what the child wrote is older than anything that follows
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
};

// "No to all" at the first folder that exists is the answer for every later folder and file
// of the run: nothing more is asked and nothing is merged or replaced.
TEST_F(DurabilityTest, NoToAllAtAFolderMergeIsRememberedForTheRestOfTheRun) {
  MakeFile("\\src\\f1\\a.txt", "new a");
  MakeFile("\\src\\f2\\b.txt", "new b");
  MakeFile("\\src\\c.txt", "new c");
  MakeFolder("\\dst\\f1");
  MakeFolder("\\dst\\f2");
  MakeFile("\\dst\\c.txt", "old c");
  box_.QueueAnswer(eMsgAnsNoToAll);
  box_.SetDefaultAnswer(eMsgAnsYes);  // what a question asked again would be answered
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\f1"}, {eSelFolder, "\\src\\f2"},
                                {eSelFile, "\\src\\c.txt"}},
                               "\\dst", false),
            fileops::eCopyNoToAll);
  int questions = 0;
  for (const auto& call : box_.Calls()) questions += call.nKind == eMsgKindConflict;
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(Listing("\\dst\\f1").isEmpty());
  EXPECT_TRUE(Listing("\\dst\\f2").isEmpty());
  EXPECT_EQ(ReadHost("\\dst\\c.txt"), "old c");
}

// Each operation that deletes a source, with the output it must make durable first.
struct COperation {
  const char* name;
  std::function<void(DurabilityTest*)> fnSetUp;
  std::function<int()> fnRun;
  QStringList sources;  // deleted on success, kept when the output is not durable
  QString outFolder;    // where the outputs are put in place
};

std::vector<COperation> Operations() {
  const auto twoFiles = [](DurabilityTest* t) {
    t->MakeFile("\\src\\a.txt", "aaa");
    t->MakeFile("\\src\\b.txt", "bbbb");
    t->MakeFolder("\\dst");
  };
  // A move within one file system renames and deletes nothing; these go as if between two.
  const auto twoFilesElsewhere = [=](DurabilityTest* t) {
    twoFiles(t);
    CFaultInjector::FailUnder(EFaultOp::eFaultRename, "\\src", ERROR_NOT_SAME_DEVICE);
  };
  return {
      {"single move", twoFilesElsewhere, [] { return fileops::CopyOneFile("\\src\\a.txt", "\\dst", true); },
       {"\\src\\a.txt"}, "\\dst"},
      {"single move replacing",
       [=](DurabilityTest* t) {
         twoFilesElsewhere(t);
         t->MakeFile("\\dst\\a.txt", "old");
       },
       [] { return fileops::CopyOneFile("\\src\\a.txt", "\\dst", true); }, {"\\src\\a.txt"},
       "\\dst"},
      {"move run", twoFilesElsewhere,
       [] {
         return fileops::CopyItems({{eSelFile, "\\src\\a.txt"}, {eSelFile, "\\src\\b.txt"}},
                                   "\\dst", true);
       },
       {"\\src\\a.txt", "\\src\\b.txt"}, "\\dst"},
      {"recycle file", twoFiles, [] { return fileops::RecycleFile("\\src\\a.txt", "\\Bin"); },
       {"\\src\\a.txt"}, "\\Bin"},
      {"recycle run", twoFiles,
       [] {
         return fileops::RecycleItemsCommand(
             {{eSelFile, "\\src\\a.txt"}, {eSelFile, "\\src\\b.txt"}});
       },
       {"\\src\\a.txt", "\\src\\b.txt"}, "\\Bin"},
  };
}

TEST_F(DurabilityTest, EverySourceIsDeletedOnlyAfterItsOutputAndItsNameAreOnDisk) {
  for (const COperation& op : Operations()) {
    SCOPED_TRACE(op.name);
    QDir(Host("\\src")).removeRecursively();
    QDir(Host("\\dst")).removeRecursively();
    box_.SetDefaultAnswer(eMsgAnsYes);
    op.fnSetUp(this);
    std::vector<CFileOpEvent> events;
    CFaultInjector::SetObserver([&](const CFileOpEvent& e) { events.push_back(e); });
    EXPECT_EQ(op.fnRun(), 0);
    CFaultInjector::Reset();
    for (const QString& source : op.sources) {
      EXPECT_FALSE(ExistsHost(source)) << source.toStdString();
      bool bFlushed = false, bNamed = false, bDeleted = false;
      for (const CFileOpEvent& e : events) {
        if (e.op == EFaultOp::eFaultFlush && e.path.startsWith(op.outFolder + "\\")) {
          bFlushed = true;
          bNamed = false;  // the name must reach the disk after the data
        }
        if (e.op == EFaultOp::eFaultFlushFolder && e.path == op.outFolder && bFlushed)
          bNamed = true;
        // A flush of the whole file system: the data the first time, then the names.
        if (e.op == EFaultOp::eFaultFlushFileSystem) {
          if (bFlushed) bNamed = true;
          bFlushed = true;
        }
        if (e.op == EFaultOp::eFaultDelete && e.path == source) {
          EXPECT_TRUE(bFlushed && bNamed) << source.toStdString();
          bDeleted = true;
          bFlushed = bNamed = false;
        }
      }
      EXPECT_TRUE(bDeleted) << source.toStdString();
    }
  }
}

// Each kind of flush an operation relies on (of a file, of a folder's names, of the whole
// file system) fails in turn: wherever one is hit, every source stays.
TEST_F(DurabilityTest, AFailedFlushOfTheOutputOrOfItsFolderKeepsEverySource) {
  for (const COperation& op : Operations()) {
    int hitKinds = 0;
    for (const EFaultOp fault : {EFaultOp::eFaultFlush, EFaultOp::eFaultFlushFolder,
                                 EFaultOp::eFaultFlushFileSystem}) {
      SCOPED_TRACE(testing::Message() << op.name << " " << int(fault));
      QDir(Host("\\src")).removeRecursively();
      QDir(Host("\\dst")).removeRecursively();
      box_.SetDefaultAnswer(eMsgAnsYes);
      op.fnSetUp(this);
      std::vector<bool> existed;
      for (const QString& source : op.sources)
        existed.push_back(ExistsHost(op.outFolder + "\\" + source.section('\\', -1)));
      int hits = 0;
      CFaultInjector::SetObserver([&](const CFileOpEvent& e) { hits += e.op == fault; });
      CFaultInjector::FailNth(fault, 1, ERROR_IO_DEVICE, true);
      const int result = op.fnRun();
      CFaultInjector::Reset();
      if (hits == 0) continue;  // this operation does not use that flush
      ++hitKinds;
      EXPECT_NE(result, 0);
      for (const QString& source : op.sources) EXPECT_TRUE(ExistsHost(source)) << source.toStdString();
      // No new output is left under its name.
      for (qsizetype i = 0; i < op.sources.size(); ++i) {
        const QString out = op.outFolder + "\\" + op.sources[i].section('\\', -1);
        if (!existed[i]) {
          EXPECT_FALSE(ExistsHost(out)) << out.toStdString();
        }
      }
    }
    EXPECT_GE(hitKinds, 1) << op.name;
  }
}

TEST_F(DurabilityTest, ARestoredFileIsOnDiskBeforeItsContainerGoes) {
  // A restore run waits for the whole file system once for its data and once for its names.
  for (const int nth : {1, 2}) {
    SCOPED_TRACE(nth);
    MakeFile("\\src\\a.txt", "aaa");
    ASSERT_EQ(fileops::RecycleFile("\\src\\a.txt", "\\Bin"), fileops::eRecycleOK);
    const QString container = OnlyContainer();
    ASSERT_FALSE(container.isEmpty());
    CFaultInjector::FailNth(EFaultOp::eFaultFlushFileSystem, nth, ERROR_IO_DEVICE);
    EXPECT_NE(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreOK);
    CFaultInjector::Reset();
    EXPECT_TRUE(ExistsHost(container));
    EXPECT_FALSE(ExistsHost("\\src\\a.txt"));
    // Without the fault the same restore completes and the container goes.
    EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreOK);
    EXPECT_EQ(ReadHost("\\src\\a.txt"), "aaa");
    EXPECT_FALSE(ExistsHost(container));
    ASSERT_TRUE(QFile::remove(Host("\\src\\a.txt")));
  }
}

// kill -9 in the middle of each operation: every byte is still at its source, and no file has
// a final name without its whole content.
TEST_F(DurabilityTest, AKilledRunLeavesNoPartialFileUnderAFinalName) {
  const QByteArray big(1 << 20, 'x');
  struct Case {
    const char* name;
    std::function<void()> fnRun;
    QString outFolder;
  };
  const Case cases[] = {
      {"copy", [] { fileops::CopyOneFile("\\src\\big.bin", "\\dst", false); }, "\\dst"},
      {"move run",
       [] {
         CFaultInjector::FailUnder(EFaultOp::eFaultRename, "\\src", ERROR_NOT_SAME_DEVICE);
         fileops::CopyItems({{eSelFile, "\\src\\small.txt"}, {eSelFile, "\\src\\big.bin"}},
                            "\\dst", true);
       },
       "\\dst"},
      {"recycle", [] { fileops::RecycleFile("\\src\\big.bin", "\\Bin"); }, "\\Bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(Host("\\dst")).removeRecursively();
    MakeFolder("\\dst");
    MakeFile("\\src\\big.bin", big);
    MakeFile("\\src\\small.txt", "small");
    ASSERT_TRUE(RunKilled(c.fnRun, c.outFolder, 300000));
    EXPECT_EQ(ReadHost("\\src\\big.bin"), big);
    for (const QString& name : Listing(c.outFolder)) {
      const QByteArray content = ReadHost(c.outFolder + "\\" + name);
      EXPECT_TRUE(name == "small.txt" ? content == "small" : false) << name.toStdString();
    }
  }
  // A killed restore leaves the container and no partial file.
  ASSERT_EQ(fileops::RecycleFile("\\src\\big.bin", "\\Bin"), fileops::eRecycleOK);
  const QString container = OnlyContainer();
  ASSERT_TRUE(RunKilled([&] { fileops::RestoreItems({{eSelFile, container}}); }, "\\src",
                        300000));
  EXPECT_TRUE(ExistsHost(container));
  EXPECT_FALSE(ExistsHost("\\src\\big.bin"));
}

// A replace killed in the middle keeps the old file and leaves its temporary; the next run in
// that folder removes it. A container cut short by an older program is not listed, and the
// next bin operation removes it.
TEST_F(DurabilityTest, TheNextRunRemovesWhatAKilledRunLeft) {
  const QByteArray big(1 << 20, 'n');
  MakeFile("\\src\\big.bin", big);
  MakeFile("\\dst\\big.bin", "the old file");
  box_.SetDefaultAnswer(eMsgAnsYes);
  ASSERT_TRUE(RunKilled([] { fileops::CopyOneFile("\\src\\big.bin", "\\dst", false); }, "\\dst",
                        300000));
  EXPECT_EQ(ReadHost("\\dst\\big.bin"), "the old file");
  ASSERT_EQ(Listing("\\dst").size(), 2);
  EXPECT_TRUE(Listing("\\dst")[1].startsWith("~pb")) << Listing("\\dst")[1].toStdString();
  MakeFile("\\other.txt", "o");
  EXPECT_EQ(fileops::CopyOneFile("\\other.txt", "\\dst", false), fileops::eCopyOK);
  EXPECT_EQ(Listing("\\dst"), QStringList({"big.bin", "other.txt"}));

  ASSERT_EQ(fileops::RecycleFile("\\src\\big.bin", "\\Bin"), fileops::eRecycleOK);
  const QString container = OnlyContainer();
  ASSERT_TRUE(QFile::resize(Host(container), 1124 + 1000));
  fileops::CRecycleRecord record;
  EXPECT_EQ(fileops::ReadContainer(container, &record), fileops::eContainerPartial);
  ::usleep(5000);
  MakeFile("\\src\\next.txt", "next");
  ASSERT_EQ(fileops::RecycleFile("\\src\\next.txt", "\\Bin"), fileops::eRecycleOK);
  EXPECT_FALSE(ExistsHost(container));
  EXPECT_FALSE(OnlyContainer().isEmpty());
}

}  // namespace
