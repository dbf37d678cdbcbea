// pinbro-cli delete, ls :bin, bin restore and bin purge, run as the built program on a
// temporary root and hive: a deleted item is listed in the bin and comes back byte for byte,
// names that fit several items are refused with the candidates, delete for good leaves no
// container, and every question declined changes nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>
#include <QStringList>

#include "support/cli_runner.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using test::CRun;

class CliBinTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    ASSERT_EQ(Cli({"settings", "set", "RecycleBinPath", "\\Trash"}).exitCode, 0);
  }
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args); }
  // The lines of `ls :bin`, each split into its cells.
  QList<QStringList> BinRows() {
    const CRun run = Cli({"ls", ":bin"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QList<QStringList> rows;
    for (const QString& line : run.out.split('\n', Qt::SkipEmptyParts))
      rows.append(line.split('\t'));
    return rows;
  }
  QStringList TrashEntries() const {
    return QDir(Host("\\Trash")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  static QByteArray RandomBytes(int n) {
    QByteArray bytes(n, '\0');
    for (char& c : bytes) c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
  }
};

TEST_F(CliBinTest, DeletedItemsAreListedAndRestoredWhole) {
  const QByteArray content = RandomBytes(300000);  // more than one 256 KiB chunk
  MakeFile("\\Docs\\report.dat", content);
  MakeFile("\\Docs\\Tree\\a.txt", "a");
  MakeFile("\\Docs\\Tree\\Deeper\\b.txt", "b");

  // The question declined (no terminal, no --answer): nothing moves.
  const CRun declined = Cli({"delete", "\\Docs\\report.dat"});
  EXPECT_EQ(declined.exitCode, 1);
  EXPECT_TRUE(declined.err.contains("Confirm delete operation")) << declined.err.toStdString();
  EXPECT_EQ(ReadHost("\\Docs\\report.dat"), content);
  EXPECT_TRUE(BinRows().isEmpty());

  const CRun deleted = Cli({"--answer", "yes", "delete", "\\Docs\\report.dat", "\\Docs\\Tree"});
  ASSERT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
  EXPECT_FALSE(ExistsHost("\\Docs\\report.dat"));
  EXPECT_FALSE(ExistsHost("\\Docs\\Tree"));

  // The recycled folder first, then the file; the last cell is the item's name in the bin.
  const QList<QStringList> rows = BinRows();
  ASSERT_EQ(rows.size(), 2);
  ASSERT_EQ(rows[0].size(), 7);
  ASSERT_EQ(rows[1].size(), 7);
  EXPECT_EQ(rows[0][0], "Tree");
  EXPECT_EQ(rows[0][4], "File folder");
  EXPECT_EQ(rows[0][5], "\\Docs");
  EXPECT_EQ(rows[1][0], "report.dat");
  EXPECT_FALSE(rows[1][1].isEmpty());
  EXPECT_FALSE(rows[1][2].isEmpty());
  EXPECT_EQ(rows[1][5], "\\Docs");
  EXPECT_TRUE(rows[1][6].endsWith(".trb")) << rows[1][6].toStdString();
  EXPECT_TRUE(TrashEntries().contains(rows[0][6]));
  EXPECT_TRUE(TrashEntries().contains(rows[1][6]));

  // The file by its original name, the folder by its name in the bin.
  const CRun restored = Cli({"bin", "restore", "report.dat", rows[0][6]});
  ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
  EXPECT_EQ(ReadHost("\\Docs\\report.dat"), content);
  EXPECT_EQ(ReadHost("\\Docs\\Tree\\a.txt"), "a");
  EXPECT_EQ(ReadHost("\\Docs\\Tree\\Deeper\\b.txt"), "b");
  EXPECT_TRUE(BinRows().isEmpty());
  EXPECT_TRUE(TrashEntries().isEmpty()) << TrashEntries().join(' ').toStdString();
}

TEST_F(CliBinTest, AnOriginalNameOfSeveralItemsListsThemAndDoesNothing) {
  MakeFile("\\a\\x.txt", "A");
  MakeFile("\\b\\x.txt", "B");
  ASSERT_EQ(Cli({"--answer", "yes", "delete", "\\a\\x.txt", "\\b\\x.txt"}).exitCode, 0);
  const QList<QStringList> rows = BinRows();
  ASSERT_EQ(rows.size(), 2);

  const CRun ambiguous = Cli({"bin", "restore", "x.txt"});
  EXPECT_EQ(ambiguous.exitCode, 1);
  const QStringList lines = ambiguous.err.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << ambiguous.err.toStdString();
  EXPECT_TRUE(lines[0].contains("\"x.txt\" names 2 items")) << lines[0].toStdString();
  EXPECT_EQ(QStringList({lines[1].split('\t').last(), lines[2].split('\t').last()}),
            QStringList({rows[0][6], rows[1][6]}));
  EXPECT_EQ(Cli({"--answer", "yes", "bin", "purge", "x.txt"}).exitCode, 1);
  EXPECT_EQ(BinRows().size(), 2);
  EXPECT_FALSE(ExistsHost("\\a\\x.txt"));
  EXPECT_FALSE(ExistsHost("\\b\\x.txt"));

  // The original path names one; after it is restored the name is unique.
  ASSERT_EQ(Cli({"bin", "restore", "\\b\\x.txt"}).exitCode, 0);
  EXPECT_EQ(ReadHost("\\b\\x.txt"), "B");
  ASSERT_EQ(Cli({"bin", "restore", "X.TXT"}).exitCode, 0);
  EXPECT_EQ(ReadHost("\\a\\x.txt"), "A");
  EXPECT_TRUE(TrashEntries().isEmpty());
}

TEST_F(CliBinTest, PurgeDeletesFromTheBinForGood) {
  MakeFile("\\Docs\\old.txt", "old");
  ASSERT_EQ(Cli({"--answer", "yes", "delete", "\\Docs\\old.txt"}).exitCode, 0);
  const QList<QStringList> rows = BinRows();
  ASSERT_EQ(rows.size(), 1);

  const CRun declined = Cli({"bin", "purge", "old.txt"});
  EXPECT_EQ(declined.exitCode, 1);
  EXPECT_EQ(BinRows(), rows);

  const CRun purged = Cli({"--answer", "yes", "bin", "purge", rows[0][6]});
  EXPECT_EQ(purged.exitCode, 0) << purged.err.toStdString();
  EXPECT_TRUE(BinRows().isEmpty());
  EXPECT_TRUE(TrashEntries().isEmpty());
  EXPECT_FALSE(ExistsHost("\\Docs\\old.txt"));
}

TEST_F(CliBinTest, WithoutTheBinDeleteIsForGood) {
  ASSERT_EQ(Cli({"settings", "set", "UseRecycleBin", "0"}).exitCode, 0);
  MakeFile("\\Docs\\f.txt", "f");
  MakeFile("\\Docs\\Dir\\g.txt", "g");
  const CRun declined = Cli({"delete", "\\Docs\\f.txt"});
  EXPECT_EQ(declined.exitCode, 1);
  EXPECT_TRUE(declined.err.contains("Are you sure you want to delete file \""))
      << declined.err.toStdString();
  EXPECT_EQ(ReadHost("\\Docs\\f.txt"), "f");

  const CRun deleted = Cli({"--answer", "yes", "delete", "\\Docs\\f.txt", "\\Docs\\Dir"});
  EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
  EXPECT_FALSE(ExistsHost("\\Docs\\f.txt"));
  EXPECT_FALSE(ExistsHost("\\Docs\\Dir"));
  EXPECT_TRUE(BinRows().isEmpty());
  EXPECT_TRUE(TrashEntries().isEmpty());
}

TEST_F(CliBinTest, WrongNamesAndPathsAreRefused) {
  MakeFile("\\Trash\\stray.txt", "s");
  MakeFile("\\Docs\\keep.txt", "k");
  struct Case {
    QStringList args;
    int exitCode;
    const char* message;
  };
  const Case cases[] = {
      {{"bin", "restore", "nothing.txt"}, 1, "there is no item \"nothing.txt\" in the recycle bin"},
      {{"bin"}, 2, "usage: pinbro-cli bin"},
      {{"bin", "frob", "x"}, 2, "usage: pinbro-cli bin"},
      {{"delete"}, 2, "usage: pinbro-cli delete"},
      {{"--answer", "yes", "delete", "\\Docs\\missing.txt", "\\Docs\\keep.txt"},
       1,
       "Could not delete \\Docs\\missing.txt: there is no such file or folder."},
      {{"--answer", "yes", "delete", "\\Trash\\stray.txt"}, 1, "use bin purge"},
      {{"--answer", "yes", "delete", "\\trash"}, 1, "use bin purge"},
      {{"--answer", "yes", "delete", "\\"}, 1, "the root cannot be deleted"},
  };
  for (const Case& c : cases) {
    const CRun run = Cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
  }
  EXPECT_EQ(ReadHost("\\Docs\\keep.txt"), "k");
  EXPECT_EQ(ReadHost("\\Trash\\stray.txt"), "s");

  const CRun help = Cli({"--help"});
  EXPECT_TRUE(help.out.contains("bin restore NAME... | bin purge NAME..."))
      << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("delete PATH...")) << help.out.toStdString();
}

}  // namespace
