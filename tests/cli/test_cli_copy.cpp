// pinbro-cli copy, move and shred, run as the built program on a temporary root and hive:
// the files land where they should, answers decide conflicts and confirmations, refusals and
// errors exit 1 with the program's message and change nothing.
#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/temp_root.h"

namespace {

using test::CRun;

class CliCopyTest : public test::TempRootAndHive {
 protected:
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args); }
  QStringList Listing(const QString& devicePath) const {
    return QDir(Host(devicePath)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
  }
};

TEST_F(CliCopyTest, CopyAndMoveASelectionIntoAFolder) {
  MakeFile("\\src\\a.txt", "a");
  MakeFile("\\src\\tree\\b.txt", "b");
  MakeFolder("\\dst");
  const CRun copy = Cli({"copy", "\\src\\a.txt", "\\src\\tree", "\\dst"});
  EXPECT_EQ(copy.exitCode, 0) << copy.err.toStdString();
  EXPECT_EQ(ReadHost("\\dst\\a.txt"), "a");
  EXPECT_EQ(ReadHost("\\dst\\tree\\b.txt"), "b");
  EXPECT_EQ(Listing("\\src"), QStringList({"a.txt", "tree"}));

  MakeFolder("\\moved");
  const CRun move = Cli({"move", "\\src\\a.txt", "\\src\\tree", "\\moved"});
  EXPECT_EQ(move.exitCode, 0) << move.err.toStdString();
  EXPECT_TRUE(Listing("\\src").isEmpty());
  EXPECT_EQ(ReadHost("\\moved\\tree\\b.txt"), "b");

  // A file copied into its own folder gets the copy name.
  EXPECT_EQ(Cli({"copy", "\\moved\\a.txt", "\\moved"}).exitCode, 0);
  EXPECT_EQ(ReadHost("\\moved\\Copy of a.txt"), "a");
}

TEST_F(CliCopyTest, AnswersDecideConflicts) {
  MakeFile("\\src\\1.txt", "new");
  MakeFile("\\src\\2.txt", "new");
  MakeFile("\\dst\\1.txt", "old");
  MakeFile("\\dst\\2.txt", "old");
  // Without --answer and without a terminal the question is answered No.
  const CRun asked = Cli({"copy", "\\src\\1.txt", "\\dst"});
  EXPECT_EQ(asked.exitCode, 1);
  EXPECT_TRUE(asked.err.contains("Replace Existing File")) << asked.err.toStdString();
  EXPECT_EQ(ReadHost("\\dst\\1.txt"), "old");

  const CRun skipped = Cli({"--answer", "no-all", "copy", "\\src\\1.txt", "\\src\\2.txt", "\\dst"});
  EXPECT_EQ(skipped.exitCode, 1);
  EXPECT_TRUE(skipped.err.contains(
      "Error: Error copying file: Error copying file \"\\src\\2.txt\"."))
      << skipped.err.toStdString();
  EXPECT_EQ(ReadHost("\\dst\\2.txt"), "old");

  const CRun replaced = Cli({"--answer", "yes", "move", "\\src\\1.txt", "\\src\\2.txt", "\\dst"});
  EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
  EXPECT_EQ(ReadHost("\\dst\\1.txt"), "new");
  EXPECT_EQ(ReadHost("\\dst\\2.txt"), "new");
  EXPECT_TRUE(Listing("\\src").isEmpty());
  EXPECT_EQ(Listing("\\dst"), QStringList({"1.txt", "2.txt"}));
}

TEST_F(CliCopyTest, RefusalsAndWrongCommandLinesChangeNothing) {
  MakeFile("\\a\\f.txt", "f");
  MakeFolder("\\a\\b");
  const CRun inside = Cli({"copy", "\\a", "\\a\\b"});
  EXPECT_EQ(inside.exitCode, 1);
  EXPECT_EQ(inside.err, "Error copying folder: Error copying the folder: Cannot copy \\a : The "
                        "destination folder is the same as the source folder\n");
  EXPECT_EQ(Listing("\\a\\b"), QStringList());

  const CRun missing = Cli({"move", "\\a\\f.txt", "\\a\\nothing.txt", "\\a\\b"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "pinbro-cli: Could not move \\a\\nothing.txt: there is no such file or "
                         "folder.\n");
  EXPECT_EQ(ReadHost("\\a\\f.txt"), "f");

  const CRun noDest = Cli({"copy", "\\a\\f.txt", "\\elsewhere"});
  EXPECT_EQ(noDest.exitCode, 1);
  EXPECT_TRUE(noDest.err.contains("Create Destination File")) << noDest.err.toStdString();
  EXPECT_FALSE(ExistsHost("\\elsewhere"));

  EXPECT_EQ(Cli({"copy", "\\a\\f.txt"}).exitCode, 2);
  EXPECT_EQ(Cli({"shred"}).exitCode, 2);
  EXPECT_EQ(Cli({"copy", "\\a\\..\\f.txt", "\\a"}).exitCode, 2);
}

TEST_F(CliCopyTest, ShredAsksForEachItemAndRemovesWhatWasConfirmed) {
  MakeFile("\\s\\one.txt", "one");
  MakeFile("\\s\\tree\\two.txt", "two");
  MakeFile("\\s\\three.txt", "three");

  const CRun declined = Cli({"shred", "\\s\\one.txt"});
  EXPECT_EQ(declined.exitCode, 1);
  EXPECT_EQ(declined.err, "Shred: Confirm permanently delete operation: Are you sure you want to "
                          "permanently delete file \"one.txt\"?\n");
  EXPECT_EQ(ReadHost("\\s\\one.txt"), "one");

  const CRun folder = Cli({"--answer", "yes", "shred", "\\s\\tree"});
  EXPECT_EQ(folder.exitCode, 0) << folder.err.toStdString();
  EXPECT_FALSE(ExistsHost("\\s\\tree"));

  const CRun both = Cli({"--answer", "yes", "shred", "\\s\\one.txt", "\\s\\three.txt"});
  EXPECT_EQ(both.exitCode, 0) << both.err.toStdString();
  EXPECT_TRUE(Listing("\\s").isEmpty());

  const CRun missing = Cli({"--answer", "yes", "shred", "\\s\\gone.txt"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "pinbro-cli: Could not shred \\s\\gone.txt: there is no such file or "
                         "folder.\n");
}

}  // namespace
