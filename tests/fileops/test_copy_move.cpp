// Copy and move on a real temporary root: names in the same folder, conflicts with the five
// answers, replace through a temporary file, full disks and failed flushes that keep every
// source and leave no partial file, cancel, folder trees with skipped items, the same-folder
// guard, and links.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <gtest/gtest.h>

#include "fileops/copy_move.h"
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
using fileops::eSelFile;
using fileops::eSelFolder;
using plat::CFaultInjector;
using plat::CFileOpEvent;
using plat::EFaultOp;

using test::CViewRecorder;

const QString kErrorCopying = "Error copying file";

class CopyMoveTest : public test::TempRoot {
 protected:
  void Observe() {
    CFaultInjector::SetObserver([this](const CFileOpEvent& e) { events_.push_back(e); });
  }
  // Moves out of strFolder go as if into another file system: the rename is refused, so they
  // copy, flush and delete. Until the next CFaultInjector::Reset.
  static void AsIfAnotherFileSystem(const QString& strFolder) {
    CFaultInjector::FailUnder(EFaultOp::eFaultRename, strFolder, ERROR_NOT_SAME_DEVICE);
  }
  std::vector<CFileOpEvent> EventsOf(EFaultOp op) const {
    std::vector<CFileOpEvent> found;
    for (const CFileOpEvent& e : events_)
      if (e.op == op) found.push_back(e);
    return found;
  }
  void Link(const QString& targetDevicePath, const QString& linkDevicePath) {
    ASSERT_EQ(::symlink(QFile::encodeName(Host(targetDevicePath)).constData(),
                        QFile::encodeName(Host(linkDevicePath)).constData()),
              0);
  }
  // The texts of the boxes shown, in order.
  QStringList BoxTexts() const {
    QStringList texts;
    for (const auto& call : box_.Calls()) texts << call.strText;
    return texts;
  }
  QStringList Listing(const QString& devicePath) const {
    return QDir(Host(devicePath)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                QDir::Hidden | QDir::System,
                                            QDir::Name);
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
  CViewRecorder views_;
  fileops::CScopedViewListener listen_{&views_};
  std::vector<CFileOpEvent> events_;
};

TEST_F(CopyMoveTest, CopyIntoItsOwnFolderMakesNumberedCopiesAndMoveDoesNothing) {
  MakeFile("\\d\\a.txt", "alpha");
  EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\d\\a.txt"}}, "\\d", false), fileops::eCopyOK);
  EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\d\\a.txt"}}, "\\d\\", false), fileops::eCopyOK);
  EXPECT_EQ(ReadHost("\\d\\Copy of a.txt"), "alpha");
  EXPECT_EQ(ReadHost("\\d\\Copy (2) of a.txt"), "alpha");
  EXPECT_TRUE(views_.Has(EViewChange::eItemAdded, "\\d\\Copy (2) of a.txt"));

  const size_t windows = progress_.Windows().size();
  EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\d\\a.txt"}}, "\\d", true), fileops::eCopyOK);
  EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\d\\a.txt"}, {eSelFile, "\\d\\Copy of a.txt"}},
                               "\\d", true),
            fileops::eCopyOK);
  EXPECT_EQ(Listing("\\d"), QStringList({"Copy (2) of a.txt", "Copy of a.txt", "a.txt"}));
  EXPECT_EQ(ReadHost("\\d\\a.txt"), "alpha");
  EXPECT_EQ(progress_.Windows().size(), windows + 1);  // the multi-item run opened one
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(CopyMoveTest, SingleFileCopyShowsItsWindowAndEmptyFilesCopyEmpty) {
  MakeFile("\\src\\data.bin", QByteArray(300000, 'd'));
  MakeFile("\\src\\empty.txt");
  MakeFolder("\\dst");
  EXPECT_EQ(fileops::CopyOneFile("\\src\\data.bin", "\\dst", false), fileops::eCopyOK);
  EXPECT_EQ(fileops::CopyOneFile("\\src\\empty.txt", "\\dst", false), fileops::eCopyOK);
  EXPECT_EQ(ReadHost("\\dst\\data.bin"), QByteArray(300000, 'd'));
  EXPECT_TRUE(ExistsHost("\\dst\\empty.txt"));
  EXPECT_EQ(ReadHost("\\dst\\empty.txt"), QByteArray());

  ASSERT_EQ(progress_.Windows().size(), 2u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressSingle);
  EXPECT_EQ(w.uIcon1, 359u);
  EXPECT_EQ(w.strTitle, "File copy");
  EXPECT_EQ(w.strCaption, "File copy in progress");
  EXPECT_EQ(w.strFile, "data.bin");
  EXPECT_EQ(w.strFrom, "\\src");
  EXPECT_EQ(w.strTo, "\\dst");
  EXPECT_EQ(w.bar.uMax, 300000u);
  EXPECT_EQ(w.TextsOf("SetStatus"),
            QStringList({"Copied 262144 of 300000 bytes...", "Copied 300000 of 300000 bytes..."}));
  EXPECT_TRUE(w.bClosed);
  EXPECT_EQ(views_.changes,
            (std::vector<CViewChange>{{EViewChange::eItemAdded, "\\dst\\data.bin", {}},
                                      {EViewChange::eItemAdded, "\\dst\\empty.txt", {}}}));
}

// Three files meet three existing ones; the first answer decides as the table says.
TEST_F(CopyMoveTest, ConflictAnswersOfARun) {
  struct Case {
    const char* name;
    std::vector<int> answers;
    int expected;
    QString replaced;  // which of 1, 2, 3 end with the new content
    int questions;
    int errorBoxes;  // 55168 reports of skipped files
  };
  const Case cases[] = {
      {"yes to all", {eMsgAnsYesToAll}, fileops::eCopyOK, "123", 1, 0},
      {"no to all", {eMsgAnsNoToAll}, fileops::eCopyNoToAll, "", 1, 3},
      // The report of a skipped file takes its OK from the queue too.
      {"no, yes, no", {eMsgAnsNo, eMsgAnsOK, eMsgAnsYes, eMsgAnsNo}, fileops::eCopyNoFile, "2", 3,
       2},
      {"cancel", {eMsgAnsCancel}, fileops::eCopyCancelled, "", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::CScriptedMessageBox box;
    CSelection selection;
    for (const char* n : {"1", "2", "3"}) {
      MakeFile(QString("\\src\\%1.txt").arg(n), "new");
      MakeFile(QString("\\dst\\%1.txt").arg(n), "old");
      selection.push_back({eSelFile, QString("\\src\\%1.txt").arg(n)});
    }
    for (int a : c.answers) box.QueueAnswer(a);
    EXPECT_EQ(fileops::CopyItems(selection, "\\dst", false), c.expected);
    for (const char* n : {"1", "2", "3"})
      EXPECT_EQ(ReadHost(QString("\\dst\\%1.txt").arg(n)),
                c.replaced.contains(n) ? "new" : "old")
          << n;
    int questions = 0, errors = 0;
    for (const auto& call : box.Calls()) {
      if (call.strTitle == "Replace Existing File") {
        ++questions;
        EXPECT_EQ(call.nKind, eMsgKindConflict);
        EXPECT_EQ(call.strHeader, "");
        EXPECT_TRUE(call.strText.startsWith("Folder \"\\dst\" already contains a file called \""));
        EXPECT_TRUE(call.strText.endsWith(
            ".txt\".\r\n\r\nWould you like to replace the existing file?"));
      } else if (call.strHeader == kErrorCopying) {
        ++errors;
        EXPECT_TRUE(call.strText.startsWith("Error copying file \"\\src\\"));
      }
    }
    EXPECT_EQ(questions, c.questions);
    EXPECT_EQ(errors, c.errorBoxes);
    EXPECT_EQ(Listing("\\dst"), QStringList({"1.txt", "2.txt", "3.txt"}));  // no temporaries
  }
}

TEST_F(CopyMoveTest, YesReplacesThroughATemporaryFileAndNoKeepsTheOldFile) {
  MakeFile("\\src\\a.txt", "new content");
  MakeFile("\\dst\\a.txt", "old");
  EXPECT_EQ(fileops::CopyOneFile("\\src\\a.txt", "\\dst", false), fileops::eCopyDeclined);
  EXPECT_EQ(ReadHost("\\dst\\a.txt"), "old");
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].nKind, eMsgKindQuestion);
  EXPECT_EQ(box_.Calls()[0].strTitle, "Replace Existing File");

  Observe();
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::CopyOneFile("\\src\\a.txt", "\\dst", false), fileops::eCopyOK);
  EXPECT_EQ(ReadHost("\\dst\\a.txt"), "new content");
  EXPECT_EQ(Listing("\\dst"), QStringList({"a.txt"}));
  // The data went to a temporary file in the folder, flushed before it took the old one's place.
  const auto writes = EventsOf(EFaultOp::eFaultWrite);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_TRUE(writes[0].path.startsWith("\\dst\\")) << writes[0].path.toStdString();
  EXPECT_TRUE(writes[0].path.endsWith(".tmp"));
  EXPECT_EQ(EventsOf(EFaultOp::eFaultFlush).size(), 1u);
  ASSERT_EQ(EventsOf(EFaultOp::eFaultRename).size(), 1u);
  EXPECT_EQ(EventsOf(EFaultOp::eFaultRename)[0].path, "\\dst\\a.txt");
}

TEST_F(CopyMoveTest, FullDiskWhileReplacingKeepsTheOldFileExactly) {
  MakeFile("\\src\\big.bin", QByteArray(700000, 'n'));
  MakeFile("\\dst\\big.bin", "the old file");
  for (bool bMove : {false, true}) {
    SCOPED_TRACE(bMove ? "move" : "copy");
    test::CScriptedMessageBox box;
    box.QueueAnswer(eMsgAnsYes);
    CFaultInjector::FailNth(EFaultOp::eFaultWrite, 2, ERROR_DISK_FULL);
    EXPECT_EQ(fileops::CopyOneFile("\\src\\big.bin", "\\dst", bMove), fileops::eCopyDataFailed);
    CFaultInjector::Reset();
    EXPECT_EQ(ReadHost("\\dst\\big.bin"), "the old file");
    EXPECT_EQ(Listing("\\dst"), QStringList({"big.bin"}));
    EXPECT_EQ(ReadHost("\\src\\big.bin"), QByteArray(700000, 'n'));
    ASSERT_EQ(box.Calls().size(), 2u);
    EXPECT_EQ(box.Calls()[1].strText, "Error copying file \"\\src\\big.bin\".");
  }
}

// A write, flush or close that fails: the source stays, no partial file, the error is shown.
TEST_F(CopyMoveTest, FailuresOfTheNewFileKeepTheSourceAndLeaveNothing) {
  struct Case {
    const char* name;
    EFaultOp op;
    int nth;
    DWORD error;
  };
  const Case cases[] = {
      {"disk full on the third chunk", EFaultOp::eFaultWrite, 3, ERROR_DISK_FULL},
      {"flush fails", EFaultOp::eFaultFlush, 1, ERROR_IO_DEVICE},
      // Both sources close first; the copies close when the move commits its batch.
      {"close fails", EFaultOp::eFaultClose, 3, ERROR_IO_DEVICE},
  };
  MakeFile("\\src\\f.bin", QByteArray(1 << 20, 'f'));
  MakeFolder("\\dst");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::CScriptedMessageBox box;
    // A run of two items, so that the run's own report is seen too.
    MakeFile("\\src\\g.txt", "g");
    AsIfAnotherFileSystem("\\src");
    CFaultInjector::FailNth(c.op, c.nth, c.error);
    const int result = fileops::CopyItems({{eSelFile, "\\src\\f.bin"}, {eSelFile, "\\src\\g.txt"}},
                                          "\\dst", true);
    CFaultInjector::Reset();
    EXPECT_EQ(result, fileops::eCopyDataFailed);
    EXPECT_EQ(ReadHost("\\src\\f.bin"), QByteArray(1 << 20, 'f'));
    EXPECT_EQ(Listing("\\dst"), QStringList({"g.txt"}));
    EXPECT_FALSE(ExistsHost("\\src\\g.txt"));  // the run went on
    ASSERT_EQ(box.Calls().size(), 1u);
    EXPECT_EQ(box.Calls()[0].strText, "Error copying file \"\\src\\f.bin\".");
    ASSERT_TRUE(plat::DeleteFile("\\dst\\g.txt"));
  }
}

TEST_F(CopyMoveTest, MoveFlushesTheCopyBeforeItDeletesTheSource) {
  MakeFile("\\src\\a.txt", "aaa");
  MakeFile("\\src\\b.txt", "bbb");
  MakeFolder("\\dst");
  AsIfAnotherFileSystem("\\src");
  Observe();
  EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\src\\a.txt"}, {eSelFile, "\\src\\b.txt"}}, "\\dst",
                               true),
            fileops::eCopyOK);
  std::vector<std::pair<EFaultOp, QString>> order;
  for (const CFileOpEvent& e : events_)
    if (e.op == EFaultOp::eFaultFlush || e.op == EFaultOp::eFaultDelete ||
        e.op == EFaultOp::eFaultClose || e.op == EFaultOp::eFaultFlushFolder)
      order.push_back({e.op, e.path});
  // The copies stay open until the batch commits; then each is flushed, put in place and
  // closed, their folder's names are flushed once, and only then are the sources deleted.
  const std::vector<std::pair<EFaultOp, QString>> expected = {
      {EFaultOp::eFaultClose, "\\src\\a.txt"},  {EFaultOp::eFaultClose, "\\src\\b.txt"},
      {EFaultOp::eFaultFlush, "\\dst\\a.txt"},  {EFaultOp::eFaultClose, "\\dst\\a.txt"},
      {EFaultOp::eFaultFlush, "\\dst\\b.txt"},  {EFaultOp::eFaultClose, "\\dst\\b.txt"},
      {EFaultOp::eFaultFlushFolder, "\\dst"},   {EFaultOp::eFaultDelete, "\\src\\a.txt"},
      {EFaultOp::eFaultDelete, "\\src\\b.txt"},
  };
  EXPECT_EQ(order, expected);
  EXPECT_EQ(ReadHost("\\dst\\a.txt"), "aaa");
  EXPECT_TRUE(views_.Has(EViewChange::eItemRemoved, "\\src\\a.txt"));
}

// More files than one batch holds back: each batch commits in order, a copy that cannot be
// flushed costs only its own source's delete.
TEST_F(CopyMoveTest, MoveOfManyFilesCommitsInBatchesAndKeepsWhatFailed) {
  for (int i = 0; i < 300; ++i) MakeFile(QString("\\src\\many\\f%1.txt").arg(i), QByteArray::number(i));
  MakeFolder("\\dst");
  QString failedCopy;
  int flushes = 0;
  CFaultInjector::SetObserver([&](const CFileOpEvent& e) {
    if (e.op == EFaultOp::eFaultFlush && ++flushes == 200) failedCopy = e.path;
  });
  AsIfAnotherFileSystem("\\src");
  CFaultInjector::FailNth(EFaultOp::eFaultFlush, 200, ERROR_IO_DEVICE);
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\many"}}, "\\dst", true),
            fileops::eCopyDataFailed);
  ASSERT_FALSE(failedCopy.isEmpty());
  const QString name = failedCopy.section('\\', -1);
  EXPECT_EQ(Listing("\\src\\many"), QStringList({name}));
  EXPECT_EQ(Listing("\\dst\\many").size(), 299);
  EXPECT_FALSE(Listing("\\dst\\many").contains(name));
  EXPECT_EQ(ReadHost("\\dst\\many\\f7.txt"), "7");
  EXPECT_EQ(BoxTexts(), QStringList({"Error copying file \"\\src\\many\\" + name + "\"."}));
  EXPECT_EQ(progress_.Windows()[0].strStatus, "Copied 299 files from 300 total.");
}

TEST_F(CopyMoveTest, CancelInsideA1MBFileLeavesNoDestination) {
  MakeFile("\\src\\one.bin", QByteArray(1 << 20, '1'));
  MakeFile("\\src\\two.bin", QByteArray(1 << 20, '2'));
  MakeFolder("\\dst");
  AsIfAnotherFileSystem("\\src");
  // Single file: SetPos(0), then the first chunk; cancel there.
  progress_.CancelAfterPositionUpdates(2);
  EXPECT_EQ(fileops::CopyOneFile("\\src\\one.bin", "\\dst", true), fileops::eCopyCancelled);
  EXPECT_TRUE(Listing("\\dst").isEmpty());
  EXPECT_EQ(ReadHost("\\src\\one.bin"), QByteArray(1 << 20, '1'));

  // A move run cancelled in its second file: the first stays moved, the second stays put.
  test::CScriptedProgress progress;
  // SetPos(0); file one: SetItemPos(0) and four chunks of two updates; file two: SetItemPos(0),
  // then its first chunk.
  progress.CancelAfterPositionUpdates(1 + 1 + 8 + 1 + 1);
  EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\src\\one.bin"}, {eSelFile, "\\src\\two.bin"}},
                               "\\dst", true),
            fileops::eCopyCancelled);
  EXPECT_EQ(Listing("\\dst"), QStringList({"one.bin"}));
  EXPECT_EQ(Listing("\\src"), QStringList({"two.bin"}));
  EXPECT_TRUE(box_.Calls().empty());  // a cancel is no error
}

TEST_F(CopyMoveTest, FolderMoveLeavesNoSourceAndCountsEveryFile) {
  MakeFile("\\src\\tree\\a.txt", "a");
  MakeFile("\\src\\tree\\sub\\b.txt", "bb");
  MakeFolder("\\src\\tree\\sub\\empty");
  MakeFolder("\\dst");
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\tree"}}, "\\dst", true), fileops::eCopyOK);
  EXPECT_FALSE(ExistsHost("\\src\\tree"));
  EXPECT_EQ(ReadHost("\\dst\\tree\\a.txt"), "a");
  EXPECT_EQ(ReadHost("\\dst\\tree\\sub\\b.txt"), "bb");
  EXPECT_TRUE(ExistsHost("\\dst\\tree\\sub\\empty"));

  ASSERT_EQ(progress_.Windows().size(), 1u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressMulti);
  EXPECT_EQ(w.strTitle, "File copy");
  EXPECT_EQ(w.strCaption, "Recursive folder copy in progress");
  EXPECT_EQ(w.strStatus, "Copied 2 files from 2 total.");
  EXPECT_EQ(w.bar.uMax, 3u + 3 * 1024);
  EXPECT_EQ(w.bar.uPos, w.bar.uMax);
  EXPECT_TRUE(w.strFile.endsWith(".txt, 2 of 2")) << w.strFile.toStdString();

  for (const char* added : {"\\dst\\tree", "\\dst\\tree\\sub", "\\dst\\tree\\sub\\empty",
                            "\\dst\\tree\\a.txt", "\\dst\\tree\\sub\\b.txt"})
    EXPECT_TRUE(views_.Has(EViewChange::eItemAdded, added)) << added;
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, "\\src\\tree"));
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, "\\src\\tree\\sub"));
}

TEST_F(CopyMoveTest, GuardRefusesTheFolderItselfAndEveryFolderBelowIt) {
  MakeFile("\\a\\f.txt", "f");
  MakeFolder("\\a\\b\\c");
  Link("\\a\\b", "\\linked");
  for (const QString dest : {"\\a", "\\A", "\\a\\b", "\\a\\b\\c", "\\linked"}) {
    SCOPED_TRACE(dest.toStdString());
    test::CScriptedMessageBox box;
    EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\a"}}, dest, false), fileops::eCopyIntoItself);
    ASSERT_EQ(box.Calls().size(), 1u);
    EXPECT_EQ(box.Calls()[0].strText,
              "Cannot copy \\a : The destination folder is the same as the source folder");
    EXPECT_EQ(box.Calls()[0].strTitle, "Error copying folder");
    EXPECT_EQ(box.Calls()[0].strHeader, "Error copying the folder");
  }
  EXPECT_EQ(Listing("\\a\\b"), QStringList({"c"}));
  EXPECT_TRUE(Listing("\\a\\b\\c").isEmpty());
  // A sibling whose name only begins like the folder is no folder below it.
  MakeFolder("\\ab");
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\a"}}, "\\ab", false), fileops::eCopyOK);
  EXPECT_EQ(ReadHost("\\ab\\a\\f.txt"), "f");
}

TEST_F(CopyMoveTest, SkippedAndFailedItemsInsideAFolderLeaveTheRestCopied) {
  MakeFile("\\src\\f\\1.txt", "new1");
  MakeFile("\\src\\f\\2.txt", "new2");
  MakeFile("\\src\\f\\3.txt", "new3");
  Link("\\nowhere", "\\src\\f\\dangling");  // cannot be opened
  MakeFile("\\dst\\f\\2.txt", "old2");
  box_.QueueAnswer(eMsgAnsYes);  // merge into the existing folder
  box_.QueueAnswer(eMsgAnsNo);   // keep the old 2.txt
  EXPECT_NE(fileops::CopyItems({{eSelFolder, "\\src\\f"}, {eSelFile, "\\src\\extra.txt"}},
                               "\\dst", true),
            fileops::eCopyOK);
  EXPECT_EQ(ReadHost("\\dst\\f\\1.txt"), "new1");
  EXPECT_EQ(ReadHost("\\dst\\f\\2.txt"), "old2");
  EXPECT_EQ(ReadHost("\\dst\\f\\3.txt"), "new3");
  EXPECT_FALSE(ExistsHost("\\dst\\f\\dangling"));
  // The move kept what it did not copy, and therefore the folder.
  EXPECT_EQ(Listing("\\src\\f"), QStringList({"2.txt", "dangling"}));
  QStringList texts = BoxTexts();
  EXPECT_EQ(box_.Calls()[0].strTitle, "File copy");
  EXPECT_TRUE(texts[0].startsWith("This folder already contains a folder named \"f\"."));
  EXPECT_TRUE(texts.contains("Error copying file \"\\src\\f\\2.txt\"."));
  EXPECT_TRUE(texts.contains("Error copying file \"\\src\\f\\dangling\"."));
  EXPECT_TRUE(texts.contains("Error copying file \"\\src\\extra.txt\"."));  // missing source
}

TEST_F(CopyMoveTest, LinkedFilesAreCopiedAsContentLinkedFoldersAreNotEntered) {
  MakeFile("\\elsewhere\\target.txt", "linked content");
  MakeFile("\\elsewhere\\inner\\deep.txt", "deep");
  MakeFile("\\src\\t\\own.txt", "own");
  Link("\\elsewhere\\target.txt", "\\src\\t\\file-link");
  Link("\\elsewhere\\inner", "\\src\\t\\folder-link");
  MakeFolder("\\dst");
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\t"}}, "\\dst", false), fileops::eCopyOK);
  EXPECT_EQ(Listing("\\dst\\t"), QStringList({"file-link", "own.txt"}));
  EXPECT_EQ(ReadHost("\\dst\\t\\file-link"), "linked content");
  EXPECT_FALSE(QFileInfo(Host("\\dst\\t\\file-link")).isSymLink());

  // A move deletes the file link (never its target) and keeps the folder link and its folder.
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\t"}}, "\\dst\\again", true),
            fileops::eCopyDestFolderBad);  // a destination that does not exist
  MakeFolder("\\dst\\again");
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\t"}}, "\\dst\\again", true),
            fileops::eCopySourceFolderKept);
  EXPECT_EQ(Listing("\\src\\t"), QStringList({"folder-link"}));
  EXPECT_EQ(ReadHost("\\elsewhere\\target.txt"), "linked content");
  EXPECT_EQ(ReadHost("\\elsewhere\\inner\\deep.txt"), "deep");
}

TEST_F(CopyMoveTest, BadDestinationsAreReportedAndChangeNothing) {
  MakeFile("\\src\\a.txt", "a");
  MakeFile("\\src\\b.txt", "b");
  MakeFile("\\plain.txt", "not a folder");
  for (const QString dest : {"\\missing", "\\plain.txt"}) {
    SCOPED_TRACE(dest.toStdString());
    test::CScriptedMessageBox box;
    EXPECT_EQ(fileops::CopyOneFile("\\src\\a.txt", dest, true), fileops::eCopyDestNotCreated);
    EXPECT_EQ(fileops::CopyItems({{eSelFile, "\\src\\a.txt"}, {eSelFile, "\\src\\b.txt"}}, dest,
                                 true),
              fileops::eCopyDestNotCreated);
    EXPECT_EQ(ReadHost("\\src\\a.txt"), "a");
    EXPECT_EQ(ReadHost("\\src\\b.txt"), "b");
    EXPECT_EQ(ReadHost("\\plain.txt"), "not a folder");
    // The single copy shows the create error; the run also names each file.
    ASSERT_EQ(box.Calls().size(), 1u + 4u);
    EXPECT_EQ(box.Calls()[0].strText, "Create Destination File");
    EXPECT_EQ(box.Calls()[0].strHeader, kErrorCopying);
    EXPECT_EQ(box.Calls()[4].strText, "Error copying file \"\\src\\b.txt\".");
  }
  // A folder that refuses new files (the second create; the first opens the source).
  MakeFolder("\\ro");
  AsIfAnotherFileSystem("\\src");
  CFaultInjector::FailNth(EFaultOp::eFaultCreate, 2, ERROR_ACCESS_DENIED);
  EXPECT_EQ(fileops::CopyOneFile("\\src\\a.txt", "\\ro", true), fileops::eCopyDestNotCreated);
  EXPECT_EQ(ReadHost("\\src\\a.txt"), "a");
  EXPECT_TRUE(Listing("\\ro").isEmpty());
}

TEST_F(CopyMoveTest, AMoveThatCannotDeleteItsSourceSaysSo) {
  MakeFile("\\src\\locked.txt", "locked");
  ASSERT_TRUE(plat::SetFileAttributes("\\src\\locked.txt", FILE_ATTRIBUTE_READONLY));
  MakeFolder("\\dst");
  EXPECT_EQ(fileops::CopyOneFile("\\src\\locked.txt", "\\dst", true),
            fileops::eCopySourceNotDeleted);
  EXPECT_EQ(ReadHost("\\src\\locked.txt"), "locked");
  EXPECT_EQ(ReadHost("\\dst\\locked.txt"), "locked");
  EXPECT_EQ(BoxTexts(), QStringList({"Can not delete file \"\\src\\locked.txt\". It is used or "
                                     "locked by another program."}));
}

TEST_F(CopyMoveTest, AMoveOntoItselfThroughALinkNeverLosesTheFile) {
  MakeFile("\\real\\a.txt", "precious");
  Link("\\real", "\\alias");
  box_.SetDefaultAnswer(eMsgAnsYes);
  // The folder is the item's own folder seen through a link: nothing to do.
  EXPECT_EQ(fileops::CopyOneFile("\\real\\a.txt", "\\alias", true), fileops::eCopyOK);
  EXPECT_EQ(ReadHost("\\real\\a.txt"), "precious");
  // A merge into a linked folder is refused, so the file cannot meet itself there.
  MakeFolder("\\d");
  Link("\\real", "\\d\\real");
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\real"}}, "\\d", true),
            fileops::eCopyFolderNotCreated);
  EXPECT_EQ(ReadHost("\\real\\a.txt"), "precious");
}

}  // namespace

namespace {

// Writes a file of uLength bytes that holds data only in the given (offset, text) pieces;
// the rest are holes.
void MakeSparseHost(const QString& hostPath, qint64 length,
                    const std::vector<std::pair<qint64, QByteArray>>& pieces) {
  QFile file(hostPath);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  for (const auto& [offset, bytes] : pieces) {
    ASSERT_TRUE(file.seek(offset));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  ASSERT_TRUE(file.resize(length));
}

qint64 AllocatedBytes(const QString& hostPath) {
  struct stat st;
  return ::stat(QFile::encodeName(hostPath).constData(), &st) == 0 ? qint64(st.st_blocks) * 512
                                                                    : -1;
}

}  // namespace

// Holes at the start, in the middle and at the end stay holes in the copy, and it reads back
// the same bytes with the same length.
TEST_F(CopyMoveTest, SparseFilesKeepTheirHoles) {
  MakeFolder("\\src");
  MakeFolder("\\dst");
  const qint64 kLength = 64LL << 20;
  MakeSparseHost(Host("\\src\\disk.img"), kLength,
                 {{8LL << 20, QByteArray(5000, 'a')}, {40LL << 20, QByteArray(300000, 'b')}});
  if (AllocatedBytes(Host("\\src\\disk.img")) >= kLength)
    GTEST_SKIP() << "this file system keeps no holes";
  EXPECT_EQ(fileops::CopyItems({{eSelFolder, "\\src"}}, "\\dst", false), fileops::eCopyOK);
  const QString copy = Host("\\dst\\src\\disk.img");
  EXPECT_EQ(QFileInfo(copy).size(), kLength);
  EXPECT_EQ(ReadHost("\\dst\\src\\disk.img"), ReadHost("\\src\\disk.img"));
  EXPECT_LT(AllocatedBytes(copy), 4LL << 20);
  EXPECT_EQ(progress_.Windows().back().bar.uPos, progress_.Windows().back().bar.uMax);
}
