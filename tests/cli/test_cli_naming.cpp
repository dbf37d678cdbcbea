// pinbro-cli mkdir, rename and shortcut, run as the built program on a temporary root and hive.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/cli_runner.h"

namespace {

using test::CRun;

class CliNaming : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(hive_.isValid());
  }

  CRun Run(const QStringList& args) {
    return test::RunCli(root_.path(), hive_.path() + "/registry.db", args, 30000);
  }

  QString Host(const QString& rel) const { return root_.path() + "/" + rel; }
  void MakeFile(const QString& rel, const QByteArray& data) {
    QDir().mkpath(QFileInfo(Host(rel)).path());
    QFile file(Host(rel));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
  }
  QStringList Names(const QString& rel) const {
    return QDir(Host(rel)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
  }

  QTemporaryDir root_;
  QTemporaryDir hive_;
};

TEST_F(CliNaming, MkdirPrintsUniqueNames) {
  QDir().mkpath(Host("d"));
  CRun run = Run({"mkdir", "\\d"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "New Folder\n");
  run = Run({"mkdir", "\\d"});
  EXPECT_EQ(run.out, "New Folder (2)\n");
  EXPECT_EQ(Names("d"), QStringList({"New Folder", "New Folder (2)"}));

  run = Run({"mkdir", "\\missing"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Create folder: Create new folder: Error creating folder "
                     "\\missing\\New Folder\n");
  EXPECT_EQ(Run({"mkdir"}).exitCode, 2);
}

TEST_F(CliNaming, RenameFilesAndFolders) {
  MakeFile("d/Notes.txt", "n");
  MakeFile("d/b.txt", "b");
  QDir().mkpath(Host("d/Sub"));
  QDir().mkpath(Host("e"));

  EXPECT_EQ(Run({"rename", "\\d\\Notes.txt", "NOTES.TXT"}).exitCode, 0);
  EXPECT_EQ(Run({"rename", "\\d\\Sub", "\\d\\Other"}).exitCode, 0);  // a full path in place
  EXPECT_EQ(Names("d"), QStringList({"NOTES.TXT", "Other", "b.txt"}));

  CRun run = Run({"rename", "\\d\\b.txt", "NOTES.TXT"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "Rename error: Error renaming file: Could not rename file "
                     "\"\\d\\b.txt\" to \"\\d\\NOTES.TXT\". \n\nOperating system error "
                     "message: \"Cannot create a file when that file already exists.\"\n");

  // Names that would lead elsewhere are refused before anything is touched.
  for (const char* pszNew : {"..\\b.txt", "\\e\\b.txt", "Other\\b.txt", "x/y", "a:b", ".."}) {
    SCOPED_TRACE(pszNew);
    run = Run({"rename", "\\d\\b.txt", pszNew});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("Invalid file name: Invalid file name characters: "))
        << run.err.toStdString();
  }
  EXPECT_EQ(Names("d"), QStringList({"NOTES.TXT", "Other", "b.txt"}));
  EXPECT_TRUE(Names("e").isEmpty());
  EXPECT_TRUE(Names("d/Other").isEmpty());
  EXPECT_EQ(Run({"rename", "\\d\\b.txt"}).exitCode, 2);
}

TEST_F(CliNaming, ShortcutPrintsItsName) {
  MakeFile("d/a.txt", "a");
  QDir().mkpath(Host("s"));
  CRun run = Run({"shortcut", "\\d\\a.txt", "\\s"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "Shortcut to a.txt.lnk\n");
  run = Run({"shortcut", "\\d\\a.txt", "\\s"});
  EXPECT_EQ(run.out, "Shortcut (2) to a.txt.lnk\n");
  QFile file(Host("s/Shortcut (2) to a.txt.lnk"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "10#\"\\d\\a.txt\"");

  run = Run({"shortcut", "\\d\\none.txt", "\\s"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("\\d\\none.txt does not exist")) << run.err.toStdString();
  run = Run({"shortcut", "\\d\\a.txt", "\\missing"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("could not create a shortcut in \\missing")) << run.err.toStdString();
  EXPECT_EQ(Names("s").size(), 2);
}

}  // namespace
