// pinbro-cli settings and profile commands, run as the built program on a temporary root and
// hive.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/cli_runner.h"

namespace {

using test::CRun;

class CliSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(hive_.isValid());
  }

  CRun Run(const QStringList& args) {
    return test::RunCli(root_.path(), hive_.path() + "/registry.db", args, 30000);
  }
  QString Get(const QString& strName) {
    const CRun run = Run({"settings", "get", strName});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return run.out;
  }

  QTemporaryDir root_;
  QTemporaryDir hive_;
};

TEST_F(CliSettingsTest, SettingsGetAndSet) {
  // The desktop's defaults: both lists, a double click to open.
  EXPECT_EQ(Get("MainViewConfig"), "2\n");
  EXPECT_EQ(Get("DoubleClickActivation"), "1\n");
  // The data folder lies outside this temporary root, so the bin is in the root's program folder.
  EXPECT_EQ(Get("RecycleBinPath"), "\\.pinewood-browser\\RecycleBin\n");
  EXPECT_EQ(Get("DS3"), "4294967295\n");

  EXPECT_EQ(Run({"settings", "set", "MainViewConfig", "9"}).exitCode, 0);
  EXPECT_EQ(Get("MainViewConfig"), "9\n");

  const CRun refused = Run({"settings", "set", "MainViewConfig", "12"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains("MainViewConfig")) << refused.err.toStdString();
  EXPECT_TRUE(refused.err.contains("0 to 9")) << refused.err.toStdString();
  EXPECT_EQ(Get("MainViewConfig"), "9\n") << "a refused value is not stored";

  const CRun cacheType = Run({"settings", "set", "MainTreeACacheType", "3"});
  EXPECT_EQ(cacheType.exitCode, 1);
  EXPECT_TRUE(cacheType.err.contains("2, 9, 10 or 11")) << cacheType.err.toStdString();

  EXPECT_EQ(Run({"settings", "set", "RecycleBinPath", "\\Trash"}).exitCode, 0);
  EXPECT_EQ(Get("RecycleBinPath"), "\\Trash\n");
  EXPECT_EQ(Run({"settings", "set", "RecycleBinPath", QString(1024, 'x')}).exitCode, 1);

  EXPECT_EQ(Run({"settings", "set", "UseClearType", "1"}).exitCode, 0);
  EXPECT_EQ(Get("EnableClearTypeFonts"), "1\n") << "both names of one switch";
  EXPECT_EQ(Run({"settings", "set", "SimpleSearchString 2", "*.txt"}).exitCode, 0);
  EXPECT_EQ(Get("SimpleSearchString 2"), "*.txt\n");

  EXPECT_EQ(Run({"settings", "set", "MainViewToolbar", "yes"}).exitCode, 1);
  EXPECT_EQ(Run({"settings", "get", "NoSuchOption"}).exitCode, 1);
  EXPECT_EQ(Run({"settings", "get", "CurrentProfile"}).exitCode, 1) << "not a profile option";
  EXPECT_EQ(Run({"settings", "set", "MainViewConfig"}).exitCode, 2);
  EXPECT_EQ(Run({"settings", "frob"}).exitCode, 2);
}

TEST_F(CliSettingsTest, ProfileAddListSwitchDelete) {
  EXPECT_EQ(Run({"profile", "list"}).out, "* Default\tDefault profile\n");
  EXPECT_EQ(Run({"settings", "set", "MainViewConfig", "3"}).exitCode, 0);

  EXPECT_EQ(Run({"profile", "add", "Work", "office hours"}).exitCode, 0);
  EXPECT_EQ(Run({"profile", "add", "Home"}).exitCode, 0);
  const CRun duplicate = Run({"profile", "add", "default"});
  EXPECT_EQ(duplicate.exitCode, 1);
  EXPECT_TRUE(duplicate.err.contains("Profile already exists")) << duplicate.err.toStdString();
  EXPECT_EQ(Run({"profile", "list"}).out,
            "* Default\tDefault profile\n  Work\toffice hours\n  Home\t\n");

  EXPECT_EQ(Run({"profile", "switch", "work"}).exitCode, 0);
  EXPECT_TRUE(Run({"profile", "list"}).out.contains("* Work\toffice hours\n"));
  EXPECT_EQ(Get("MainViewConfig"), "3\n") << "the new profile starts from the old options";
  EXPECT_EQ(Run({"settings", "set", "MainViewConfig", "5"}).exitCode, 0);
  EXPECT_EQ(Run({"profile", "switch", "Default"}).exitCode, 0);
  EXPECT_EQ(Get("MainViewConfig"), "3\n");
  EXPECT_EQ(Run({"profile", "switch", "Work"}).exitCode, 0);
  EXPECT_EQ(Get("MainViewConfig"), "5\n");
  EXPECT_EQ(Run({"profile", "switch", "Nobody"}).exitCode, 1);

  EXPECT_EQ(Run({"profile", "delete", "Home"}).exitCode, 1) << "unanswered question: No";
  EXPECT_EQ(Run({"--answer", "no", "profile", "delete", "Home"}).exitCode, 1);
  EXPECT_EQ(Run({"--answer", "yes", "profile", "delete", "Default"}).exitCode, 1);

  const CRun deleted = Run({"--answer", "yes", "profile", "delete", "work"});
  EXPECT_EQ(deleted.exitCode, 0);
  EXPECT_TRUE(deleted.err.contains("Deleted the active profile")) << deleted.err.toStdString();
  EXPECT_EQ(Run({"profile", "list"}).out, "* Default\tDefault profile\n  Home\t\n");
  EXPECT_EQ(Get("MainViewConfig"), "3\n");
  EXPECT_EQ(Run({"profile"}).exitCode, 2);
}

// The bin is a folder of its own: a new one, an empty one or one that holds only the bin's
// items. A user folder, the bin's parent, a folder inside the bin, the root and a file are
// refused and the stored value stays.
TEST_F(CliSettingsTest, RecycleBinPathMustBeAFolderOfItsOwn) {
  const auto make = [&](const QString& relative, bool bFolder) {
    const QString host = root_.path() + "/" + relative;
    if (bFolder) return QDir().mkpath(host);
    QDir().mkpath(QFileInfo(host).path());
    QFile file(host);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
  };
  ASSERT_TRUE(make("Docs/notes.txt", false));
  ASSERT_TRUE(make("Empty", true));
  ASSERT_TRUE(make("OldBin/pbr1.trb", false));
  ASSERT_TRUE(make("OldBin/pbr2/.fldrdescr.dat", false));
  ASSERT_TRUE(make("Plain/Sub", true));
  ASSERT_EQ(Run({"settings", "set", "RecycleBinPath", "\\Docs\\Bin"}).exitCode, 0);
  ASSERT_TRUE(make("Docs/Bin/pbr3.trb", false));

  for (const char* refused : {"\\Docs", "\\Docs\\Bin\\Inner", "\\", "\\Docs\\notes.txt",
                              "\\Plain", "\\a\\..\\b"}) {
    const CRun run = Run({"settings", "set", "RecycleBinPath", refused});
    EXPECT_EQ(run.exitCode, 1) << refused;
    EXPECT_TRUE(run.err.contains(QString(refused) + " cannot be the recycle bin: "))
        << run.err.toStdString();
    EXPECT_EQ(Get("RecycleBinPath"), "\\Docs\\Bin\n") << refused;
  }
  EXPECT_TRUE(Run({"settings", "set", "RecycleBinPath", "\\Docs"}).err.contains("not a recycled item"));
  // A refused name that holds a line break stays on the message's one line.
  ASSERT_TRUE(make("Docs/two\nlines", true));
  ASSERT_TRUE(make("Docs/two\nlines/note.txt", false));
  const CRun broken = Run({"settings", "set", "RecycleBinPath", "\\Docs\\two\nlines"});
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_EQ(broken.err.count(u'\n'), 1) << broken.err.toStdString();
  EXPECT_TRUE(broken.err.contains("two\\nlines cannot be the recycle bin")) << broken.err.toStdString();

  for (const char* accepted : {"\\Empty", "\\OldBin", "\\Fresh\\New", "\\Docs\\Bin"}) {
    EXPECT_EQ(Run({"settings", "set", "RecycleBinPath", accepted}).exitCode, 0) << accepted;
    EXPECT_EQ(Get("RecycleBinPath"), QString(accepted) + "\n");
  }
}

}  // namespace
