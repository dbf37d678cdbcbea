// pinbro-cli zip create, extract and test, and ls inside an archive, run as the built program
// on a temporary root: exit codes, the boxes on standard error, and what lands on disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include "support/cli_runner.h"
#include "support/temp_root.h"

namespace {

using test::CRun;

class CliZipTest : public test::TempRootAndHive {
 protected:
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args); }
};

TEST_F(CliZipTest, CreateListExtractAndTest) {
  MakeFile("\\src\\docs\\readme.txt", QByteArray("read me\n").repeated(500));
  MakeFile("\\src\\docs\\sub\\deep.txt", "deep");
  MakeFile("\\src\\top.txt", "top");
  const CRun create = Cli({"zip", "create", "\\a.zip", "\\src\\docs", "\\src\\top.txt"});
  ASSERT_EQ(create.exitCode, 0) << create.err.toStdString();
  EXPECT_LT(QFile(Host("\\a.zip")).size(), 4000 / 2);  // deflated at the default level

  const CRun ls = Cli({"ls", "\\a.zip\\docs"});
  ASSERT_EQ(ls.exitCode, 0) << ls.err.toStdString();
  const QStringList lines = ls.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 4) << ls.out.toStdString();
  EXPECT_TRUE(lines[0].startsWith("..\t"));
  EXPECT_TRUE(lines[1].startsWith("sub\t"));
  EXPECT_TRUE(lines[2].startsWith("readme.txt\t"));
  EXPECT_EQ(lines[3], "Folders: 1, Files: 1");

  MakeFolder("\\all");
  EXPECT_EQ(Cli({"zip", "extract", "\\a.zip", "\\all"}).exitCode, 0);
  EXPECT_EQ(ReadHost("\\all\\docs\\sub\\deep.txt"), "deep");
  EXPECT_EQ(ReadHost("\\all\\top.txt"), "top");
  MakeFolder("\\some");
  EXPECT_EQ(Cli({"zip", "extract", "\\a.zip", "\\some", "docs/sub"}).exitCode, 0);
  EXPECT_EQ(QDir(Host("\\some")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList({"sub"}));
  const CRun missing = Cli({"zip", "extract", "\\a.zip", "\\some", "nothing.txt"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("the archive holds no nothing.txt"));

  const CRun tested = Cli({"zip", "test", "\\a.zip"});
  EXPECT_EQ(tested.exitCode, 0);
  EXPECT_TRUE(tested.err.contains(
      "Test finished.: Zip archive: a.zip: No errors found during test operation."))
      << tested.err.toStdString();
}

TEST_F(CliZipTest, RefusalsAndDamage) {
  MakeFile("\\f.txt", QByteArray(3000, 'f'));
  EXPECT_EQ(Cli({"zip", "create", "\\a.zip", "\\f.txt", "--level", "5"}).exitCode, 2);
  EXPECT_EQ(Cli({"zip", "create", "\\a.zip"}).exitCode, 2);
  EXPECT_EQ(Cli({"zip", "create", "\\a.zip", "\\missing.txt"}).exitCode, 1);
  EXPECT_FALSE(ExistsHost("\\a.zip"));
  ASSERT_EQ(Cli({"zip", "create", "\\a.zip", "\\f.txt", "--level", "1"}).exitCode, 0);
  QByteArray bytes = ReadHost("\\a.zip");
  EXPECT_GT(bytes.size(), 3000);  // level 1 stores
  bytes[bytes.indexOf("fff") + 100] = 'g';
  MakeFile("\\bad.zip", bytes);
  const CRun tested = Cli({"zip", "test", "\\bad.zip"});
  EXPECT_EQ(tested.exitCode, 1);
  EXPECT_TRUE(
      tested.err.contains("Testing zip archive: Zip archive: bad.zip: Corrupted file: f.txt"))
      << tested.err.toStdString();
  MakeFolder("\\out");
  EXPECT_EQ(Cli({"zip", "extract", "\\bad.zip", "\\out"}).exitCode, 1);
  EXPECT_TRUE(QDir(Host("\\out")).isEmpty());
  EXPECT_EQ(Cli({"zip", "extract", "\\a.zip", "\\nofolder"}).exitCode, 1);
}

}  // namespace
