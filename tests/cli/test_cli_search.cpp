// pinbro-cli search and info, run as the built program on a temporary root and hive.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>

#include "support/cli_runner.h"

namespace {

using test::CRun;

class CliSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(hive_.isValid());
  }
  CRun Run(const QStringList& args) {
    return test::RunCli(root_.path(), hive_.path() + "/registry.db", args, 30000);
  }
  void Make(const QString& relative, const QByteArray& content = {}) {
    const QString path = root_.path() + "/" + relative;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  static QStringList SortedLines(const QString& text) {
    QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
  }
  QTemporaryDir root_;
  QTemporaryDir hive_;
};

TEST_F(CliSearchTest, SearchPrintsEveryCollectedPath) {
  Make("a.tmp");
  Make("~a.tmp");
  Make("Docs/b.TMP");
  Make("Docs/Deep/c.v2.tmp");
  Make("Docs/~d.tmp");
  Make("Docs/e.txt");
  Make("Docs/line\nbreak.tmp");
  const CRun run = Run({"search", "*.tmp; -~*.tmp"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(SortedLines(run.out),
            (QStringList{"\\Docs\\Deep\\c.v2.tmp", "\\Docs\\b.TMP", "\\Docs\\line\\nbreak.tmp",
                         "\\a.tmp"}));

  const CRun comma = Run({"search", "*.txt, ~*"});
  EXPECT_EQ(comma.exitCode, 0);
  EXPECT_EQ(SortedLines(comma.out), (QStringList{"\\Docs\\e.txt", "\\Docs\\~d.tmp", "\\~a.tmp"}));

  const CRun shortText = Run({"search", "a"});
  EXPECT_EQ(shortText.exitCode, 0);
  EXPECT_EQ(shortText.out, "") << "a one-letter piece is too short";
  EXPECT_EQ(Run({"search"}).exitCode, 2);
  EXPECT_EQ(Run({"search", "a", "b"}).exitCode, 2);
}

TEST_F(CliSearchTest, InfoPrintsTheTotalsAndKeepsTheRomFigure) {
  Make("Windows/a.dll", QByteArray(1000, 'x'));
  const CRun run = Run({"info"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 8) << run.out.toStdString();
  QMap<QString, quint64> figures;
  const QStringList names = {"MemoryLoad",       "TotalPhysicalMemory", "AvailablePhysicalMemory",
                             "StoreSize",        "StoreFreeSize",       "RomFilesSize",
                             "StorageCardsSize", "DeviceTotalSize"};
  for (int i = 0; i < lines.size(); ++i) {
    const QStringList cells = lines[i].split('\t');
    ASSERT_EQ(cells.value(0), names[i]);
    ASSERT_EQ(cells.size(), i == 0 ? 2 : 3) << lines[i].toStdString();
    figures[cells[0]] = cells[1].toULongLong();
  }
  EXPECT_LE(figures["MemoryLoad"], 100u);
  EXPECT_GT(figures["TotalPhysicalMemory"], 0u);
  EXPECT_EQ(figures["StoreSize"], quint64(QStorageInfo(root_.path()).bytesTotal()));
  EXPECT_EQ(figures["RomFilesSize"], 0u) << "no desktop file is in ROM";
  EXPECT_EQ(figures["StorageCardsSize"], 0u);
  EXPECT_EQ(figures["DeviceTotalSize"], figures["StoreSize"] + figures["RomFilesSize"]);
  EXPECT_TRUE(lines[3].endsWith(" GB") || lines[3].endsWith(" MB")) << lines[3].toStdString();

  // The walk's figure is kept in the hive; a stored figure is taken as it is.
  const QString value = "HKLM\\Software\\Tarvish\\Pinewood Browser\\ROMFileSize";
  EXPECT_EQ(Run({"reg", "get", value}).out, "0\n");
  ASSERT_EQ(Run({"reg", "set", value, "--dword", "1048576"}).exitCode, 0);
  const CRun again = Run({"info"});
  EXPECT_TRUE(again.out.contains("\nRomFilesSize\t1048576\t1024.00 KB\n"))
      << again.out.toStdString();
  EXPECT_EQ(Run({"info", "x"}).exitCode, 2);
}

}  // namespace
