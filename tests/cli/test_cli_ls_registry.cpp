// pinbro-cli ls on the registry, run as the built program on a temporary root and hive: the
// roots list, a key's rows with their type and data texts in the registry order, and paths
// that name no key refused without a listing.
#include <QStringList>

#include <gtest/gtest.h>

#include "platform/registry_hive.h"
#include "registry/registry_access.h"
#include "support/cli_runner.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using test::CRun;

class CliLsRegistryTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vendor"), eCreateKey_Created);
    ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software", "Count", 255));
    ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software", "Default", "x"));
    ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, "Software", "List", {"a", "b"}));
    ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software", "", "unnamed"));
    HKEY key = 0;
    ASSERT_EQ(plat::RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const BYTE big[] = {0x00, 0x00, 0x01, 0x00};
    ASSERT_EQ(plat::RegSetValueEx(key, "Big", REG_DWORD_BIG_ENDIAN, big, 4), ERROR_SUCCESS);
    plat::RegCloseKey(key);
  }
  CRun Ls(const QStringList& args) {
    return test::RunCli(dir_.path(), HiveFile(), QStringList{"ls"} + args, 30000);
  }
  static QStringList Lines(const CRun& run) { return run.out.split('\n', Qt::SkipEmptyParts); }
};

TEST_F(CliLsRegistryTest, AKeyListsItsRowsInRegistryOrderWithTypeAndDataTexts) {
  const QStringList expected = {
      "..\t\t",
      "Default\tString\t(x)",
      "Vendor\tREG_KEY\t",
      "<NO NAME>\tString\tunnamed",
      "Big\t\t0x00000100 (256)",
      "Count\tDWORD\t255",
      "List\tMulti-String\ta b ",
  };
  for (const QString path : {"HKLM\\Software", "HKEY_LOCAL_MACHINE\\Software\\"}) {
    const CRun run = Ls({path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(Lines(run), expected) << path.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
  }
  const CRun desc = Ls({"HKLM\\Software", "--sort", "type", "--desc"});
  ASSERT_EQ(desc.exitCode, 0) << desc.err.toStdString();
  EXPECT_EQ(Lines(desc).first(), "Vendor\tREG_KEY\t");
  EXPECT_EQ(Lines(desc).last(), "..\t\t");
}

TEST_F(CliLsRegistryTest, TheRootsAndARootKey) {
  const CRun top = Ls({":reg"});
  ASSERT_EQ(top.exitCode, 0) << top.err.toStdString();
  EXPECT_EQ(Lines(top), QStringList({"HKEY_CLASSES_ROOT\tREG_KEY\t",
                                     "HKEY_LOCAL_MACHINE\tREG_KEY\t",
                                     "HKEY_CURRENT_USER\tREG_KEY\t", "HKEY_USERS\tREG_KEY\t"}));
  const CRun root = Ls({"HKLM"});
  ASSERT_EQ(root.exitCode, 0) << root.err.toStdString();
  EXPECT_EQ(Lines(root), QStringList({"..\t\t", "Software\tREG_KEY\t"}));
}

TEST_F(CliLsRegistryTest, PathsThatNameNoKeyAreRefused) {
  for (const char* path : {"HKLM\\Nothing", "HKCU\\Software", "hklm\\Software", "HKXX\\Foo"}) {
    const CRun run = Ls({path});
    EXPECT_EQ(run.exitCode, 1) << path;
    EXPECT_TRUE(run.out.isEmpty()) << path;
    EXPECT_FALSE(run.err.isEmpty()) << path;
  }
  const CRun run = Ls({"HKLM\\Nothing"});
  EXPECT_EQ(run.err,
            "pinbro-cli: ls: Could not list HKLM\\Nothing: there is no key of that name.\n");
}

}  // namespace
