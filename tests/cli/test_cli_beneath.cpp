// pinbro-cli on paths that lead outside the root through a symbolic link: every command fails
// and nothing outside changes; the same commands through a link that stays inside work.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/outside_tree.h"
#include "support/temp_root.h"

namespace {

using test::CRun;

class CliBeneathTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    MakeFile("\\a.txt", "inside");
    ASSERT_TRUE(outside_.Make(dir_.path()));
    QFile password(Host("\\pw.txt"));
    ASSERT_TRUE(password.open(QIODevice::WriteOnly));
    password.write("secret-word\n");
    password.close();
    before_ = outside_.Snapshot();
  }
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args); }

  test::COutsideTree outside_;
  QStringList before_;
};

TEST_F(CliBeneathTest, CommandsThroughALinkLeadingOutFailAndChangeNothing) {
  const QString pw = Host("\\pw.txt");
  const QList<QStringList> commands = {
      {"delete", "\\lnkdir\\secret.txt"},
      {"shred", "\\lnkdir\\secret.txt"},
      {"rename", "\\lnkdir\\secret.txt", "renamed.txt"},
      {"--password-file", pw, "encrypt", "\\lnkdir\\secret.txt"},
      {"--password-file", pw, "encrypt", "\\lnkfile"},
      {"mkdir", "\\lnkdir"},
      {"shortcut", "\\a.txt", "\\lnkdir"},
      {"copy", "\\a.txt", "\\lnkdir"},
      {"move", "\\a.txt", "\\lnkdir"},
      {"copy", "\\lnkdir\\sub", "\\"},
      {"ls", "\\lnkdir"},
      {"ls", "\\lnkrel\\sub"},
  };
  for (const char* answer : {"yes", "yes-all"}) {
    for (const QStringList& command : commands) {
      const QStringList args = QStringList{"--answer", QString::fromLatin1(answer)} + command;
      const CRun run = Cli(args);
      const std::string what = args.join(' ').toStdString();
      EXPECT_EQ(run.exitCode, 1) << what << "\n" << run.out.toStdString() << run.err.toStdString();
      EXPECT_EQ(outside_.Snapshot(), before_) << what;
      EXPECT_EQ(ReadHost("\\a.txt"), "inside") << what;
    }
  }
  // Deleting for good takes the same path as recycling.
  ASSERT_EQ(Cli({"settings", "set", "UseRecycleBin", "0"}).exitCode, 0);
  EXPECT_EQ(Cli({"--answer", "yes", "delete", "\\lnkdir\\secret.txt"}).exitCode, 1);
  EXPECT_EQ(outside_.Snapshot(), before_);
}

TEST_F(CliBeneathTest, ABinBehindALinkLeadingOutIsNeverFilled) {
  ASSERT_EQ(Cli({"settings", "set", "RecycleBinPath", "\\lnkdir\\Bin"}).exitCode, 0);
  const CRun run = Cli({"--answer", "yes", "delete", "\\a.txt"});
  EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
  EXPECT_EQ(ReadHost("\\a.txt"), "inside");
  EXPECT_EQ(outside_.Snapshot(), before_);
}

TEST_F(CliBeneathTest, TheLinkItselfCanBeDeletedAndRenamed) {
  const CRun rename = Cli({"rename", "\\lnkdir", "other"});
  EXPECT_EQ(rename.exitCode, 0) << rename.err.toStdString();
  ASSERT_TRUE(QFileInfo(Host("\\other")).isSymLink());
  // Deleted for good: a recycle would have to read what the links point to.
  ASSERT_EQ(Cli({"settings", "set", "UseRecycleBin", "0"}).exitCode, 0);
  const CRun remove = Cli({"--answer", "yes", "delete", "\\other", "\\lnkfile"});
  EXPECT_EQ(remove.exitCode, 0) << remove.err.toStdString();
  EXPECT_FALSE(ExistsHost("\\other"));
  EXPECT_FALSE(ExistsHost("\\lnkfile"));
  EXPECT_EQ(outside_.Snapshot(), before_);
}

TEST_F(CliBeneathTest, ALinkThatStaysInsideStillWorks) {
  MakeFile("\\real\\b.txt", "bbb");
  ASSERT_TRUE(QFile::link(Host("\\real"), Host("\\inlink")));
  const CRun copy = Cli({"copy", "\\a.txt", "\\inlink"});
  EXPECT_EQ(copy.exitCode, 0) << copy.err.toStdString();
  EXPECT_EQ(ReadHost("\\real\\a.txt"), "inside");
  const CRun ls = Cli({"ls", "\\inlink"});
  EXPECT_EQ(ls.exitCode, 0) << ls.err.toStdString();
  EXPECT_TRUE(ls.out.contains("b.txt")) << ls.out.toStdString();
  const CRun del = Cli({"--answer", "yes", "delete", "\\inlink\\b.txt"});
  EXPECT_EQ(del.exitCode, 0) << del.err.toStdString();
  EXPECT_FALSE(ExistsHost("\\real\\b.txt"));
}

}  // namespace
