// The shredder on a real temporary root: the passes as the fault layer's observer sees them
// reach the file and the disk, the name wiping, links that are deleted and never followed,
// folder trees, failures that keep the file, and cancel.
#include <QFile>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"
#include "support/view_recorder.h"

namespace {

using fileops::CSelection;
using fileops::CViewChange;
using fileops::EViewChange;
using plat::CFaultInjector;
using plat::CFileOpEvent;
using plat::EFaultOp;

using test::CViewRecorder;

class ShredderTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    saved_ = settings;
  }
  void TearDown() override {
    settings = saved_;
    TempRoot::TearDown();
  }
  void SetOptions(DWORD zeroFillOnly, DWORD passes, DWORD fileNames) {
    settings.SDelZeroFillOnly = zeroFillOnly;
    settings.SDelNumPasses = passes;
    settings.SDelFileNames = fileNames;
  }
  // Every observed call of the file layer, in order.
  void Observe() {
    CFaultInjector::SetObserver([this](const CFileOpEvent& e) { events_.push_back(e); });
  }
  std::vector<CFileOpEvent> EventsOf(EFaultOp op) const {
    std::vector<CFileOpEvent> found;
    for (const CFileOpEvent& e : events_)
      if (e.op == op) found.push_back(e);
    return found;
  }
  void Link(const QString& target, const QString& linkDevicePath) {
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(),
                        QFile::encodeName(Host(linkDevicePath)).constData()),
              0);
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
  CViewRecorder views_;
  fileops::CScopedViewListener listen_{&views_};
  std::vector<CFileOpEvent> events_;
  CSettings saved_;
};

// What each flush of the file found on disk: the passes in order, each complete.
TEST_F(ShredderTest, PassesReachTheDiskInOrderBeforeTheDelete) {
  struct Case {
    const char* name;
    DWORD zeroFillOnly, passes;
    std::vector<char> fills;  // 'z' zeros, 'o' 0xFF, 'r' random
  };
  const Case cases[] = {
      {"zero fill", 1, 5, {'z'}},
      {"two passes", 0, 2, {'z', 'o', 'r', 'z', 'o', 'r'}},
      {"no pass", 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetOptions(c.zeroFillOnly, c.passes, 0);
    const QByteArray original = "0123456789";
    const QString path = MakeFile("\\s\\ten.bin", original);
    std::vector<QByteArray> seenAtFlush;
    events_.clear();
    CFaultInjector::SetObserver([&](const CFileOpEvent& e) {
      events_.push_back(e);
      if (e.op == EFaultOp::eFaultFlush) seenAtFlush.push_back(ReadHost(path));
    });
    box_.QueueAnswer(eMsgAnsYes);
    EXPECT_EQ(fileops::ShredOneFile(path), fileops::eShredOK);
    CFaultInjector::Reset();
    EXPECT_FALSE(ExistsHost(path));

    const auto writes = EventsOf(EFaultOp::eFaultWrite);
    ASSERT_EQ(writes.size(), c.fills.size());
    for (const CFileOpEvent& w : writes) {
      EXPECT_EQ(w.position, 0);
      EXPECT_EQ(w.bytes, 10);
    }
    // Write, flush, write, flush, ..., then the delete.
    std::vector<EFaultOp> order;
    for (const CFileOpEvent& e : events_)
      if (e.op == EFaultOp::eFaultWrite || e.op == EFaultOp::eFaultFlush ||
          e.op == EFaultOp::eFaultDelete)
        order.push_back(e.op);
    std::vector<EFaultOp> expected;
    for (size_t i = 0; i < c.fills.size(); ++i)
      expected.insert(expected.end(), {EFaultOp::eFaultWrite, EFaultOp::eFaultFlush});
    expected.push_back(EFaultOp::eFaultDelete);
    EXPECT_EQ(order, expected);

    ASSERT_EQ(seenAtFlush.size(), c.fills.size());
    for (size_t i = 0; i < c.fills.size(); ++i) {
      EXPECT_EQ(seenAtFlush[i].size(), 10);  // the file keeps its length
      if (c.fills[i] == 'z') {
        EXPECT_EQ(seenAtFlush[i], QByteArray(10, '\0'));
      }
      if (c.fills[i] == 'o') {
        EXPECT_EQ(seenAtFlush[i], QByteArray(10, '\xFF'));
      }
      if (c.fills[i] == 'r') {
        EXPECT_NE(seenAtFlush[i], QByteArray(10, '\0'));
        EXPECT_NE(seenAtFlush[i], QByteArray(10, '\xFF'));
        EXPECT_NE(seenAtFlush[i], original);
      }
    }
  }
}

TEST_F(ShredderTest, LargeFileIsWrittenInBufferSizedChunksAndEmptyFileOnlyDeleted) {
  SetOptions(1, 1, 0);
  const QString big = MakeFile("\\big.bin", QByteArray(600 * 1024, 'x'));
  const QString empty = MakeFile("\\empty.bin");
  Observe();
  EXPECT_EQ(fileops::ShredItems({{fileops::eSelFile, big}, {fileops::eSelFile, empty}}),
            fileops::eShredOK);
  const auto writes = EventsOf(EFaultOp::eFaultWrite);
  ASSERT_EQ(writes.size(), 3u);  // nothing is written to the empty file
  EXPECT_EQ(writes[0].position, 0);
  EXPECT_EQ(writes[0].bytes, 262144);
  EXPECT_EQ(writes[1].position, 262144);
  EXPECT_EQ(writes[2].position, 524288);
  EXPECT_EQ(writes[2].bytes, 600 * 1024 - 524288);
  for (const auto& w : writes) EXPECT_EQ(w.path, "\\big.bin");
  EXPECT_FALSE(ExistsHost(big));
  EXPECT_FALSE(ExistsHost(empty));
  EXPECT_TRUE(box_.Calls().empty());  // a selection of several items asks nothing
}

TEST_F(ShredderTest, NameIsWipedLetterByLetterKeepingItsDots) {
  SetOptions(1, 1, 1);
  const QString path = MakeFile("\\d\\a.b.c", "secret");
  Observe();
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredOneFile(path), fileops::eShredOK);
  const auto renames = EventsOf(EFaultOp::eFaultRename);
  ASSERT_EQ(renames.size(), 26u);
  EXPECT_EQ(renames[0].path, "\\d\\a.b.c");
  EXPECT_EQ(renames[1].path, "\\d\\A.A.A");
  EXPECT_EQ(renames[25].path, "\\d\\Y.Y.Y");
  const auto deletes = EventsOf(EFaultOp::eFaultDelete);
  ASSERT_EQ(deletes.size(), 1u);
  EXPECT_EQ(deletes[0].path, "\\d\\Z.Z.Z");
  EXPECT_FALSE(ExistsHost("\\d\\Z.Z.Z"));
  EXPECT_FALSE(ExistsHost(path));
  // The views hear of the file under the name they show.
  ASSERT_EQ(views_.changes.size(), 1u);
  EXPECT_EQ(views_.changes[0], (CViewChange{EViewChange::eItemRemoved, path, {}}));
}

TEST_F(ShredderTest, WipeFileNameNeverReplacesAFileThatHoldsTheNextName) {
  const QString path = MakeFile("\\d\\report.doc", "mine");
  MakeFile("\\d\\CCCCCC.CCC", "someone else's");
  QString current = path;
  EXPECT_EQ(fileops::WipeFileName(&current), fileops::eShredRenameFailed);
  EXPECT_EQ(current, "\\d\\BBBBBB.BBB");
  EXPECT_EQ(ReadHost("\\d\\BBBBBB.BBB"), "mine");
  EXPECT_EQ(ReadHost("\\d\\CCCCCC.CCC"), "someone else's");

  QString bare = "report.doc";
  EXPECT_EQ(fileops::WipeFileName(&bare), fileops::eShredNoBackslash);
  EXPECT_EQ(bare, "report.doc");

  // Through a shred: the file stays under its intermediate name and the failure is shown.
  SetOptions(1, 1, 1);
  const QString other = MakeFile("\\e\\x.y", "data");
  MakeFile("\\e\\A.A", "taken");
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredOneFile(other), fileops::eShredRenameFailed);
  EXPECT_EQ(ReadHost("\\e\\A.A"), "taken");
  EXPECT_TRUE(ExistsHost(other));
  ASSERT_EQ(box_.Calls().size(), 2u);
  EXPECT_EQ(box_.Calls()[1].strText,
            "Can not delete file \"\\e\\x.y\". It is used or locked by another program.");
}

TEST_F(ShredderTest, ConfirmationAndProgressWindowOfOneFile) {
  SetOptions(0, 1, 0);
  const QString path = MakeFile("\\docs\\plan.txt", QByteArray(100, 'p'));
  // Declined: nothing happens.
  EXPECT_EQ(fileops::ShredOneFile(path), fileops::eShredCancelled);
  EXPECT_EQ(ReadHost(path), QByteArray(100, 'p'));
  ASSERT_EQ(box_.Calls().size(), 1u);
  const auto ask = box_.Calls()[0];
  EXPECT_EQ(ask.strText, "Are you sure you want to permanently delete file \"plan.txt\"?");
  EXPECT_EQ(ask.strTitle, "Shred");
  EXPECT_EQ(ask.strHeader, "Confirm permanently delete operation");
  EXPECT_EQ(ask.nDefaultAnswer, eMsgAnsNo);
  EXPECT_TRUE(progress_.Windows().empty());

  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredOneFile(path), fileops::eShredOK);
  ASSERT_EQ(progress_.Windows().size(), 1u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressSingle);
  EXPECT_EQ(w.uIcon1, 476u);
  EXPECT_EQ(w.uIcon2, 477u);
  EXPECT_EQ(w.strTitle, "Shredding...");
  EXPECT_EQ(w.strCaption, "Shredding, please wait...");
  EXPECT_EQ(w.strFile, "plan.txt");
  EXPECT_EQ(w.strFrom, "\\docs");
  EXPECT_EQ(w.strToLabel, fileops::ProgressLabelSize());
  EXPECT_EQ(w.bar.uMax, 300u);  // one pass of three sub-passes
  EXPECT_EQ(w.bar.uPos, 300u);
  EXPECT_EQ(w.strStatus, "Shredded 300 of 300 bytes...");
  EXPECT_TRUE(w.bClosed);
  EXPECT_FALSE(ExistsHost(path));
}

TEST_F(ShredderTest, LinksAreDeletedAndTheirTargetsLeftAlone) {
  SetOptions(1, 1, 0);
  MakeFile("\\keep\\target.txt", "target data");
  MakeFile("\\keep\\inner\\deep.txt", "deep data");
  MakeFolder("\\t");
  MakeFile("\\t\\own.txt", "own");
  Link(Host("\\keep\\target.txt"), "\\t\\file-link");
  Link(Host("\\keep\\inner"), "\\t\\folder-link");
  Link(Host("\\keep\\target.txt"), "\\top-link");
  Link(Host("\\keep"), "\\top-folder-link");
  Observe();

  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredOneFile("\\top-link"), fileops::eShredOK);
  EXPECT_EQ(fileops::ShredItems({{fileops::eSelFolder, "\\t"},
                                 {fileops::eSelFolder, "\\top-folder-link"}}),
            fileops::eShredOK);

  EXPECT_TRUE(EventsOf(EFaultOp::eFaultWrite).size() == 1u);  // own.txt only
  EXPECT_FALSE(ExistsHost("\\t"));
  EXPECT_FALSE(ExistsHost("\\top-link"));
  EXPECT_FALSE(ExistsHost("\\top-folder-link"));
  EXPECT_EQ(ReadHost("\\keep\\target.txt"), "target data");
  EXPECT_EQ(ReadHost("\\keep\\inner\\deep.txt"), "deep data");
}

TEST_F(ShredderTest, FolderTreeIsRemovedWithCountsAndNotifications) {
  SetOptions(1, 1, 0);
  MakeFile("\\t\\a.txt", "aaaa");
  MakeFile("\\t\\s\\b.txt", "bb");
  MakeFolder("\\t\\s\\empty");
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredFolder("\\t"), fileops::eShredOK);
  EXPECT_FALSE(ExistsHost("\\t"));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strText,
            "Are you sure you want to permanently delete folder \"t\" and all its contents?");

  ASSERT_EQ(progress_.Windows().size(), 1u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressMulti);
  EXPECT_EQ(w.strTitle, "Shredding...");
  EXPECT_EQ(w.strCaption, "Recursive folder shred in progress");
  EXPECT_EQ(w.TextsOf("SetStatus"),
            QStringList({"Deleted 0 files from 2 total.", "Deleted 1 file from 2 total.",
                         "Deleted 2 files from 2 total."}));
  EXPECT_EQ(w.bar.uMax, 6u + 3 * 1024);  // the bytes and 1024 for each of the three folders
  EXPECT_EQ(w.bar.uPos, w.bar.uMax);

  // Every file and folder is reported gone, folders after their contents.
  std::vector<CViewChange> removed = views_.changes;
  ASSERT_EQ(removed.size(), 5u);
  EXPECT_EQ(removed.back(), (CViewChange{EViewChange::eFolderRemoved, "\\t", {}}));
  const auto at = [&](const CViewChange& c) {
    return std::find(removed.begin(), removed.end(), c) - removed.begin();
  };
  EXPECT_LT(at({EViewChange::eItemRemoved, "\\t\\s\\b.txt", {}}),
            at({EViewChange::eFolderRemoved, "\\t\\s", {}}));
  EXPECT_LT(at({EViewChange::eFolderRemoved, "\\t\\s\\empty", {}}),
            at({EViewChange::eFolderRemoved, "\\t\\s", {}}));
  EXPECT_LT(at({EViewChange::eItemRemoved, "\\t\\a.txt", {}}), 5);
}

TEST_F(ShredderTest, AFileThatFailsIsReportedItsFolderKeptAndTheRunGoesOn) {
  SetOptions(1, 1, 0);
  MakeFile("\\t\\locked.txt", "locked");
  ASSERT_TRUE(plat::SetFileAttributes("\\t\\locked.txt", FILE_ATTRIBUTE_READONLY));
  MakeFile("\\u\\free.txt", "free");
  EXPECT_EQ(fileops::ShredItems({{fileops::eSelFolder, "\\t"}, {fileops::eSelFolder, "\\u"}}),
            fileops::eShredOpenFailed);
  EXPECT_EQ(ReadHost("\\t\\locked.txt"), "locked");
  EXPECT_FALSE(ExistsHost("\\u"));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strTitle, "Delete");
  EXPECT_EQ(box_.Calls()[0].strText,
            "Can not delete file \"\\t\\locked.txt\". It is used or locked by another program.");
}

TEST_F(ShredderTest, FullDiskKeepsTheFileAndReportsIt) {
  SetOptions(0, 1, 0);
  const QString path = MakeFile("\\f.bin", "payload");
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 2, ERROR_DISK_FULL);
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredOneFile(path), fileops::eShredWriteFailed);
  EXPECT_TRUE(ExistsHost(path));  // not deleted: its contents were not all overwritten
  EXPECT_EQ(ReadHost(path), QByteArray(7, '\0'));  // the first pass had reached it
  ASSERT_EQ(box_.Calls().size(), 2u);
  EXPECT_EQ(box_.Calls()[1].strText,
            "Can not delete file \"\\f.bin\". It is used or locked by another program.");

  // A failed flush counts the same.
  CFaultInjector::Reset();
  CFaultInjector::FailNth(EFaultOp::eFaultFlush, 1, ERROR_IO_DEVICE);
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::ShredOneFile(path), fileops::eShredWriteFailed);
  EXPECT_TRUE(ExistsHost(path));
}

TEST_F(ShredderTest, CancelLeavesTheRestUntouched) {
  SetOptions(1, 1, 0);
  MakeFile("\\t\\1.bin", QByteArray(600 * 1024, 'a'));
  MakeFile("\\u\\2.bin", "second");
  // Position updates: SetPos(0) of the run, SetItemPos(0), then the first chunk.
  progress_.CancelAfterPositionUpdates(3);
  EXPECT_EQ(fileops::ShredItems({{fileops::eSelFolder, "\\t"}, {fileops::eSelFolder, "\\u"}}),
            fileops::eShredCancelled);
  EXPECT_TRUE(ExistsHost("\\t\\1.bin"));  // stopped inside it: left where it is
  EXPECT_EQ(ReadHost("\\u\\2.bin"), "second");
  EXPECT_TRUE(box_.Calls().empty());  // a cancel is not an error
  ASSERT_EQ(progress_.Windows().size(), 1u);
  EXPECT_TRUE(progress_.Windows()[0].bClosed);
}

}  // namespace
