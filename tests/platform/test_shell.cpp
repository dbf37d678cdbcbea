// Shortcut files, special folders, the module path and the per-user data folder.
#include <QDir>

#include "platform/errors.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "support/temp_root.h"

namespace {

// Points the per-user folders into the temporary root for the test's duration.
class ShellTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    savedHome_ = qgetenv("HOME");
    savedData_ = qgetenv("XDG_DATA_HOME");
    savedConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(dir_.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path() + "/.local/share"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path() + "/.config"));
  }
  void TearDown() override {
    Restore("HOME", savedHome_);
    Restore("XDG_DATA_HOME", savedData_);
    Restore("XDG_CONFIG_HOME", savedConfig_);
    TempRoot::TearDown();
  }
  static void Restore(const char* name, const QByteArray& value) {
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, value);
  }
  QByteArray savedHome_, savedData_, savedConfig_;
};

TEST_F(ShellTest, ShortcutTextIsStoredAndReadBackExactly) {
  MakeFolder("\\Windows");
  const QString target = "\"\\Windows\\a.exe\"";
  ASSERT_TRUE(plat::SHCreateShortcut("\\Windows\\a.lnk", target));
  EXPECT_EQ(ReadHost("\\Windows\\a.lnk"), "16#\"\\Windows\\a.exe\"");
  QString read;
  ASSERT_TRUE(plat::SHGetShortcutTarget("\\Windows\\a.lnk", &read));
  EXPECT_EQ(read, target);
  ASSERT_TRUE(plat::SHGetShortcutTarget("\\Windows\\a.lnk", &read, 6));
  EXPECT_EQ(read, "\"\\Win");  // cut to maxChars - 1
  // Creating over an existing file fails and keeps it.
  EXPECT_FALSE(plat::SHCreateShortcut("\\Windows\\a.lnk", "\"\\other.exe\""));
  EXPECT_EQ(plat::GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadHost("\\Windows\\a.lnk"), "16#\"\\Windows\\a.exe\"");
}

TEST_F(ShellTest, ShortcutsWithArgumentsAndNonAsciiNames) {
  const QString target = "\"\\Programme\\Büro.exe\" -x 1";
  ASSERT_TRUE(plat::SHCreateShortcut("\\b.lnk", target));
  QString read;
  ASSERT_TRUE(plat::SHGetShortcutTarget("\\b.lnk", &read));
  EXPECT_EQ(read, target);
}

TEST_F(ShellTest, MalformedAndMissingShortcuts) {
  MakeFile("\\bad.lnk", "no length here");
  MakeFile("\\long.lnk", "3#abcdef");
  QString read;
  EXPECT_FALSE(plat::SHGetShortcutTarget("\\bad.lnk", &read));
  EXPECT_FALSE(plat::SHGetShortcutTarget("\\missing.lnk", &read));
  EXPECT_EQ(plat::GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(plat::SHGetShortcutTarget("\\long.lnk", &read));
  EXPECT_EQ(read, "abc");  // the stored length wins over trailing text
  EXPECT_FALSE(plat::SHCreateShortcut("\\nofolder\\x.lnk", "\"x\""));
  EXPECT_EQ(plat::GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(ShellTest, SpecialFoldersBelowTheDataFolder) {
  const QString data = "\\.local\\share\\pinewood-browser";
  struct Case {
    int csidl;
    QString path;
  } cases[] = {
      {plat::CSIDL_STARTMENU, data + "\\Start Menu"},
      {plat::CSIDL_PROGRAMS, data + "\\Start Menu\\Programs"},
      {plat::CSIDL_STARTUP, data + "\\Start Menu\\Startup"},
      {plat::CSIDL_PROGRAM_FILES, data + "\\Program Files"},
  };
  for (const Case& c : cases) {
    QString path;
    EXPECT_FALSE(plat::SHGetSpecialFolderPath(c.csidl, &path, false)) << c.csidl;
    ASSERT_TRUE(plat::SHGetSpecialFolderPath(c.csidl, &path, true)) << c.csidl;
    EXPECT_EQ(path, c.path);
    EXPECT_TRUE(QDir(Host(path)).exists()) << path.toStdString();
    EXPECT_TRUE(plat::SHGetSpecialFolderPath(c.csidl, &path, false));
  }
  QString path;
  EXPECT_FALSE(plat::SHGetSpecialFolderPath(0x7F, &path, true));
  EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(ShellTest, DocumentsFolderOfTheHostOrAFixedOne) {
  QString path;
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_PERSONAL, &path, true));
  EXPECT_EQ(path, "\\My Documents");  // the host has no Documents folder yet
  MakeFolder("\\Documents");
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_PERSONAL, &path, false));
  EXPECT_EQ(path, "\\Documents");
}

TEST_F(ShellTest, FoldersOutsideTheRootFallBackBelowTheRoot) {
  qputenv("XDG_DATA_HOME", "/var/tmp/pinbro-elsewhere");
  qputenv("HOME", "/var/tmp/pinbro-elsewhere");
  EXPECT_TRUE(plat::DataFolder().isEmpty());
  QString path;
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_STARTMENU, &path, true));
  EXPECT_EQ(path, "\\.pinewood-browser\\Start Menu");
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_PERSONAL, &path, true));
  EXPECT_EQ(path, "\\My Documents");
  EXPECT_EQ(plat::GetModuleFileName(), "\\.pinewood-browser\\pinbro");
  EXPECT_FALSE(QDir("/var/tmp/pinbro-elsewhere").exists());  // nothing made outside the root
}

TEST_F(ShellTest, ModuleFileNameAndDataFolder) {
  EXPECT_EQ(plat::DataFolder(), "\\.local\\share\\pinewood-browser");
  EXPECT_TRUE(QDir(Host("\\.local\\share\\pinewood-browser")).exists());
  // The test binary lies outside the temporary root.
  EXPECT_EQ(plat::GetModuleFileName(), "\\.local\\share\\pinewood-browser\\pinbro");
}

}  // namespace
