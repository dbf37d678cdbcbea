// pinbro-cli ls, run as the built program on a temporary root and hive: the panel's rows and
// texts with the status line last, --sort as a header click, --desc, and bad paths and
// arguments refused without a listing.
#include <QStringList>

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using test::CRun;

class CliLsTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    MakeFile("\\Some\\Folder\\alpha\\inner.txt", "x");
    MakeFile("\\Some\\Folder\\Beta\\inner.txt", "x");
    MakeFile("\\Some\\Folder\\small.txt", QByteArray(10, 'x'));
    MakeFile("\\Some\\Folder\\big.txt", QByteArray(5000, 'x'));
    MakeFile("\\Some\\Folder\\Mid.txt", QByteArray(300, 'x'));
    MakeFolder("\\Some\\Empty");
  }
  CRun Ls(const QStringList& args) {
    return test::RunCli(dir_.path(), HiveFile(), QStringList{"ls"} + args, 30000);
  }
  // One column of the rows (the status line left out).
  static QStringList Column(const CRun& run, int nColumn) {
    QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty()) lines.removeLast();
    QStringList cells;
    for (const QString& line : lines) cells << line.split('\t').value(nColumn, "<missing>");
    return cells;
  }
  static QString LastLine(const CRun& run) {
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
  }
};

TEST_F(CliLsTest, SortBySizePrintsLargestFirstWithFoldersFirstAndParentOnTop) {
  const CRun run = Ls({"\\Some\\Folder", "--sort", "size"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(Column(run, 0),
            QStringList({"..", "alpha", "Beta", "big.txt", "Mid.txt", "small.txt"}));
  EXPECT_EQ(Column(run, 1), QStringList({"", "", "", "4.88 KB", "0.29 KB", "0.00 KB"}));
  EXPECT_EQ(Column(run, 3), QStringList({"d........", "d........", "d........", ".........",
                                         ".........", "........."}));
  EXPECT_EQ(Column(run, 4).mid(0, 3),
            QStringList({"Parent Folder", "File folder", "File folder"}));
  for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts).mid(1, 5))
    EXPECT_EQ(line.count('\t'), 4) << line.toStdString();
  EXPECT_EQ(LastLine(run), "Folders: 2, Files: 3");
  EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST_F(CliLsTest, SortWordsActAsAHeaderClickAndDescClearsTheFlag) {
  struct {
    QStringList args;
    QStringList names;
  } const cases[] = {
      {{}, {"..", "alpha", "Beta", "big.txt", "Mid.txt", "small.txt"}},
      {{"--sort", "name"}, {"..", "Beta", "alpha", "small.txt", "Mid.txt", "big.txt"}},
      {{"--desc"}, {"..", "Beta", "alpha", "small.txt", "Mid.txt", "big.txt"}},
      {{"--sort", "size", "--desc"}, {"..", "alpha", "Beta", "small.txt", "Mid.txt", "big.txt"}},
      {{"--sort", "attr"}, {"..", "alpha", "Beta", "big.txt", "Mid.txt", "small.txt"}},
  };
  for (const auto& c : cases) {
    const CRun run = Ls(QStringList{"\\Some\\Folder"} + c.args);
    ASSERT_EQ(run.exitCode, 0) << c.args.join(' ').toStdString() << run.err.toStdString();
    EXPECT_EQ(Column(run, 0), c.names) << c.args.join(' ').toStdString();
  }
}

TEST_F(CliLsTest, RootHasNoParentTheRecycleBinIsLeftOutAndEmptyFolderSaysSo) {
  const CRun set = test::RunCli(dir_.path(), HiveFile(),
                                {"settings", "set", "RecycleBinPath", "\\Some\\Bin"}, 30000);
  ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
  MakeFolder("\\Some\\bin");

  const CRun some = Ls({"\\Some"});
  ASSERT_EQ(some.exitCode, 0) << some.err.toStdString();
  EXPECT_EQ(Column(some, 0), QStringList({"..", "Empty", "Folder"}));
  EXPECT_EQ(LastLine(some), "Folders: 2, Files: 0");

  const CRun root = Ls({});
  ASSERT_EQ(root.exitCode, 0) << root.err.toStdString();
  EXPECT_TRUE(Column(root, 0).contains("Some"));
  EXPECT_FALSE(Column(root, 0).contains(".."));

  const CRun empty = Ls({"\\Some\\Empty"});
  ASSERT_EQ(empty.exitCode, 0);
  EXPECT_EQ(empty.out, "..\t\t\td........\tParent Folder\nEmpty folder.\n");
}

TEST_F(CliLsTest, BadPathsAndArgumentsAreRefused) {
  MakeFile("\\Some\\file.txt", "x");
  struct {
    QStringList args;
    int exitCode;
    const char* errorPart;
  } const cases[] = {
      {{"\\Missing"}, 1, "\\Missing: there is no such folder"},
      {{"\\Some\\file.txt"}, 1, "\\Some\\file.txt: it is a file, not a folder"},
      {{"\\Some\\..\\.."}, 1, "not a valid device path"},
      {{"..\\outside"}, 1, "not a valid device path"},
      {{"\\Some", "--sort", "weight"}, 2, "--sort"},
      {{"\\Some", "--sort"}, 2, "--sort"},
      {{"\\Some", "\\Other"}, 2, "\\Other"},
      {{"\\Some", "--color"}, 2, "--color"},
  };
  for (const auto& c : cases) {
    const CRun run = Ls(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(c.errorPart)) << run.err.toStdString();
  }
}

TEST_F(CliLsTest, ControlCharactersInNamesAreEscapedSoNoNameForgesALine) {
  MakeFile("\\Evil\\two\nFolders: 9, Files: 9", "x");
  MakeFile("\\Evil\\tab\there", "x");
  MakeFile(QString("\\Evil\\bell") + QChar(7) + QChar(0x7F) + QChar(0x9B) + "end", "x");
  const CRun run = Ls({"\\Evil"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out.count('\n'), 5) << run.out.toStdString();
  EXPECT_EQ(Column(run, 0), QStringList({"..", "bell\\007\\177\\302\\233end", "tab\\there",
                                         "two\\nFolders: 9, Files: 9"}));
  EXPECT_EQ(LastLine(run), "Folders: 0, Files: 3");
}

}  // namespace
