// Permanent delete and the Delete command on a real temporary root: the questions, the window
// and its count line, failures that are shown while the run goes on, links removed themselves,
// the choice between deleting and recycling by UseRecycleBin, a bin folder that is missing or
// cannot be made, and delete for good of the bin's items.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"
#include "support/view_recorder.h"

namespace {

using fileops::CViewChange;
using fileops::EViewChange;
using fileops::eSelFile;
using fileops::eSelFolder;

using test::CViewRecorder;

class DeleteTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    settings.RecycleBinPath = "\\Bin";
    settings.UseRecycleBin = 0;
  }
  QStringList Listing(const QString& devicePath) const {
    return QDir(Host(devicePath))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
  }
  QStringList BoxTexts() const {
    QStringList texts;
    for (const auto& call : box_.Calls()) texts << call.strText;
    return texts;
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
  CViewRecorder views_;
  fileops::CScopedViewListener listen_{&views_};
};

TEST_F(DeleteTest, TheFileCommandAsksAndDeletesOnlyOnYes) {
  MakeFile("\\d\\a.txt", "a");
  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_EQ(fileops::DeleteFileCommand("\\d\\a.txt"), fileops::eDeleteCancelled);
  EXPECT_TRUE(ExistsHost("\\d\\a.txt"));
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::DeleteFileCommand("\\d\\a.txt"), fileops::eDeleteOK);
  EXPECT_FALSE(ExistsHost("\\d\\a.txt"));
  EXPECT_TRUE(views_.Has(EViewChange::eItemRemoved, "\\d\\a.txt"));
  const auto calls = box_.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].strText, "Are you sure you want to delete file \"a.txt\"?");
  EXPECT_EQ(calls[0].strTitle, "Delete");
  EXPECT_EQ(calls[0].strHeader, "Confirm delete operation");
  EXPECT_EQ(calls[0].nDefaultAnswer, eMsgAnsNo);

  // A file that cannot be deleted (read-only, as on the handheld) is reported.
  MakeFile("\\d\\ro.txt", "r");
  ASSERT_TRUE(plat::SetFileAttributes("\\d\\ro.txt", FILE_ATTRIBUTE_READONLY));
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::DeleteFileCommand("\\d\\ro.txt"), fileops::eDeleteFileFailed);
  EXPECT_TRUE(ExistsHost("\\d\\ro.txt"));
  EXPECT_EQ(box_.Calls().back().strText,
            "Can not delete file \"\\d\\ro.txt\". It is used or locked by another program.");
  EXPECT_EQ(box_.Calls().back().strTitle, "Delete");
}

TEST_F(DeleteTest, AFolderTreeIsDeletedWithItsWindowCountLineAndViews) {
  MakeFile("\\T\\a.txt", "a");
  MakeFile("\\T\\S\\b.txt", "bb");
  MakeFolder("\\T\\S\\Empty");
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::DeleteFolderCommand("\\T"), fileops::eDeleteOK);
  EXPECT_FALSE(ExistsHost("\\T"));
  EXPECT_EQ(box_.Calls()[0].strText,
            "Are you sure you want to delete folder \"T\" and all its contents?");
  EXPECT_TRUE(views_.Has(EViewChange::eItemRemoved, "\\T\\S\\b.txt"));
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, "\\T\\S\\Empty"));
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, "\\T"));

  ASSERT_EQ(progress_.Windows().size(), 1u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressMulti);
  EXPECT_EQ(w.uIcon1, 476u);
  EXPECT_EQ(w.uIcon2, 477u);
  EXPECT_EQ(w.strTitle, "Deleting...");
  EXPECT_EQ(w.strCaption, "Deleting files, please wait...");
  EXPECT_EQ(w.strToLabel, "Size:");
  EXPECT_EQ(w.bar.uMax, 2u);  // the number of files
  EXPECT_EQ(w.TextsOf("SetStatus"),
            QStringList({"Deleted 0 files from 2 total.", "Deleted 1 file from 2 total.",
                         "Deleted 2 files from 2 total."}));
  EXPECT_TRUE(w.bClosed);
}

TEST_F(DeleteTest, AFailedFileIsShownAndEndsOnlyItsFoldersWalk) {
  MakeFile("\\A\\locked\\ro.txt", "r");
  ASSERT_TRUE(plat::SetFileAttributes("\\A\\locked\\ro.txt", FILE_ATTRIBUTE_READONLY));
  MakeFile("\\B\\b.txt", "b");
  MakeFile("\\c.txt", "c");
  const int result = fileops::DeleteItemsCommand(
      {{eSelFolder, "\\A"}, {eSelFolder, "\\B"}, {eSelFile, "\\c.txt"}});
  EXPECT_EQ(result, fileops::eDeleteFileFailed);
  EXPECT_TRUE(ExistsHost("\\A\\locked\\ro.txt"));
  EXPECT_FALSE(ExistsHost("\\B"));
  EXPECT_FALSE(ExistsHost("\\c.txt"));
  EXPECT_EQ(BoxTexts(), QStringList({"Error deleting file \"\\A\\locked\\ro.txt\"."}));
  EXPECT_EQ(box_.Calls()[0].strTitle, "Error");

  // A folder that cannot be removed gives 9 with the system's reason.
  MakeFolder("\\K");
  plat::CFaultInjector::FailNth(plat::EFaultOp::eFaultDelete, 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(fileops::DeleteItemsCommand({{eSelFolder, "\\K"}}), fileops::eDeleteFolderFailed);
  plat::CFaultInjector::Reset();
  EXPECT_TRUE(ExistsHost("\\K"));
  EXPECT_TRUE(box_.Calls().back().strText.startsWith("Can not delete folder \"\\K\". "));
}

TEST_F(DeleteTest, LinksAreDeletedThemselvesAndTheirTargetsStay) {
  MakeFile("\\keep\\t.txt", "t");
  MakeFolder("\\T");
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\keep")).constData(),
                      QFile::encodeName(Host("\\T\\folder-link")).constData()),
            0);
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\keep\\t.txt")).constData(),
                      QFile::encodeName(Host("\\T\\file-link")).constData()),
            0);
  EXPECT_EQ(fileops::DeleteItemsCommand({{eSelFolder, "\\T"}}), fileops::eDeleteOK);
  EXPECT_FALSE(ExistsHost("\\T"));
  EXPECT_EQ(ReadHost("\\keep\\t.txt"), "t");
}

TEST_F(DeleteTest, CancelStopsTheRunAndKeepsTheRest) {
  for (int i = 0; i < 5; ++i) MakeFile(QStringLiteral("\\T\\f%1.txt").arg(i), "x");
  progress_.CancelAfterPositionUpdates(3);  // SetPos(0), then two files
  EXPECT_EQ(fileops::DeleteItemsCommand({{eSelFolder, "\\T"}}), fileops::eDeleteCancelled);
  EXPECT_EQ(Listing("\\T").size(), 3);
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(DeleteTest, TheDeleteCommandChoosesByUseRecycleBin) {
  struct Case {
    DWORD dwUseBin;
    int nContainers;
  };
  for (const Case& c : {Case{0, 0}, Case{1, 1}}) {
    settings.UseRecycleBin = c.dwUseBin;
    MakeFile("\\d\\a.txt", "a");
    box_.QueueAnswer(eMsgAnsYes);
    EXPECT_EQ(fileops::DeleteCommand({{eSelFile, "\\d\\a.txt"}}), fileops::eDeleteOK);
    EXPECT_FALSE(ExistsHost("\\d\\a.txt"));
    // The bin folder is made only to recycle.
    EXPECT_EQ(ExistsHost("\\Bin"), c.dwUseBin == 1) << c.dwUseBin;
    EXPECT_EQ(Listing("\\Bin").filter(".trb").size(), c.nContainers) << c.dwUseBin;
  }
  EXPECT_TRUE(views_.Has(EViewChange::eFolderCreated, "\\Bin"));

  // Several items are confirmed once; No deletes nothing.
  for (DWORD dwUseBin : {0u, 1u}) {
    settings.UseRecycleBin = dwUseBin;
    MakeFile("\\m\\1.txt", "1");
    MakeFile("\\m\\2\\2.txt", "2");
    const fileops::CSelection both = {{eSelFile, "\\m\\1.txt"}, {eSelFolder, "\\m\\2"}};
    box_.QueueAnswer(eMsgAnsNo);
    EXPECT_EQ(fileops::DeleteCommand(both), fileops::eDeleteCancelled);
    EXPECT_EQ(Listing("\\m"), QStringList({"1.txt", "2"}));
    EXPECT_EQ(box_.Calls().back().strText, "Are you sure you want to delete these 2 items?");
    box_.QueueAnswer(eMsgAnsYes);
    EXPECT_EQ(fileops::DeleteCommand(both), fileops::eDeleteOK);
    EXPECT_EQ(Listing("\\m"), QStringList());
  }
  EXPECT_EQ(Listing("\\Bin").filter(".trb").size(), 2);
  EXPECT_EQ(QDir(Host("\\Bin")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

TEST_F(DeleteTest, ABinThatCannotBeMadeIsReportedAndNothingIsDeleted) {
  settings.UseRecycleBin = 1;
  settings.RecycleBinPath = "\\blocker\\Bin";
  MakeFile("\\blocker", "a file where the bin's folder would be");
  MakeFile("\\d\\a.txt", "a");
  MakeFile("\\d\\b.txt", "b");
  EXPECT_EQ(fileops::DeleteCommand({{eSelFile, "\\d\\a.txt"}}), fileops::eDeleteNoBin);
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFile, "\\d\\a.txt"}, {eSelFile, "\\d\\b.txt"}}),
            fileops::eRecycleNoBin);
  EXPECT_EQ(Listing("\\d"), QStringList({"a.txt", "b.txt"}));
  EXPECT_EQ(BoxTexts().first(),
            "Can not create the recycle bin folder \"\\blocker\\Bin\". Nothing was deleted.");
  EXPECT_TRUE(progress_.Windows().empty());
  for (const char* unusable : {"", "\\", "\\a\\..\\b"}) {
    settings.RecycleBinPath = unusable;
    QString bin;
    EXPECT_FALSE(fileops::EnsureRecycleBin(&bin)) << unusable;
    EXPECT_EQ(fileops::DeleteCommand({{eSelFile, "\\d\\a.txt"}}), fileops::eDeleteNoBin);
  }
  EXPECT_EQ(Listing("\\d"), QStringList({"a.txt", "b.txt"}));

  // A missing bin, parents and all, is made.
  settings.RecycleBinPath = "\\new\\deep\\Bin";
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::DeleteCommand({{eSelFile, "\\d\\a.txt"}}), fileops::eDeleteOK);
  EXPECT_EQ(Listing("\\new\\deep\\Bin").filter(".trb").size(), 1);
}

TEST_F(DeleteTest, PurgeAsksWithTheOriginalNameAndDeletesOnlyItemsOfTheBin) {
  settings.UseRecycleBin = 1;
  MakeFile("\\d\\letter.txt", "l");
  MakeFile("\\F\\in.txt", "i");
  MakeFolder("\\Bin");
  ASSERT_EQ(fileops::RecycleItemsCommand({{eSelFile, "\\d\\letter.txt"}, {eSelFolder, "\\F"}}),
            fileops::eRecycleOK);
  const QString container = "\\Bin\\" + Listing("\\Bin").filter(".trb").value(0);
  const QString folder =
      "\\Bin\\" + QDir(Host("\\Bin")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);

  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_EQ(fileops::PurgeBinItemsCommand({{eSelFile, container}}), fileops::eDeleteCancelled);
  EXPECT_EQ(box_.Calls().back().strText, "Are you sure you want to delete file \"letter.txt\"?");
  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_EQ(fileops::PurgeBinItemsCommand({{eSelFolder, folder}}), fileops::eDeleteCancelled);
  EXPECT_EQ(box_.Calls().back().strText,
            "Are you sure you want to delete folder \"F\" and all its contents?");
  EXPECT_EQ(Listing("\\Bin").size(), 2);

  // Something outside the bin is never deleted by a purge.
  MakeFile("\\d\\other.txt", "o");
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::PurgeBinItemsCommand(
                {{eSelFile, container}, {eSelFolder, folder}, {eSelFile, "\\d\\other.txt"}}),
            fileops::eDeleteNothing);
  EXPECT_EQ(Listing("\\Bin"), QStringList());
  EXPECT_EQ(ReadHost("\\d\\other.txt"), "o");
  EXPECT_FALSE(ExistsHost("\\d\\letter.txt"));
  EXPECT_TRUE(views_.Has(EViewChange::eItemRemoved, container));
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, folder));
  EXPECT_EQ(fileops::PurgeBinItems({{eSelFolder, "\\Bin"}}), fileops::eDeleteNothing);
  EXPECT_TRUE(ExistsHost("\\Bin"));
}

}  // namespace
