// pinbro-cli reg, run as the built program on a temporary root and hive: values written by one
// command are read by the next and lie in the hive file; bad paths and wrong arguments change
// nothing.
#include <QStringList>

#include <gtest/gtest.h>

#include "registry/registry_access.h"
#include "support/cli_runner.h"
#include "support/temp_root.h"

namespace {

using test::CRun;

// Every key and value below a root, one line each, for comparing before and after.
class CTreeDump : public CRegEnumSink {
 public:
  static QStringList Of(HKEY root, const QString& path = QString()) {
    CTreeDump dump;
    EnumValues(root, path, &dump);
    EnumSubKeys(root, path, &dump);
    QStringList lines;
    for (const QString& v : dump.values_) lines << path + " = " + v;
    for (const QString& k : dump.keys_) {
      const QString child = path.isEmpty() ? k : path + "\\" + k;
      lines << child << Of(root, child);
    }
    return lines;
  }
  bool OnKey(const CRegEnumItem& item) override {
    keys_ << item.name;
    return true;
  }
  bool OnValue(const CRegEnumItem& item) override {
    values_ << item.name + ":" + QString::number(item.type) + ":" +
                   QByteArray(reinterpret_cast<const char*>(item.data), item.dataSize).toHex();
    return true;
  }

 private:
  QStringList keys_, values_;
};

class CliRegTest : public test::TempRootAndHive {
 protected:
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args, 30000); }
  static QStringList Everything() {
    QStringList all;
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
      all << RootName(root) << CTreeDump::Of(root);
    return all;
  }
};

TEST_F(CliRegTest, SetThenGetADwordAndTheValueIsInTheHiveFile) {
  const CRun set = Cli({"reg", "set", "HKLM\\Software\\Demo\\Count", "--dword", "7"});
  EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
  const CRun get = Cli({"reg", "get", "HKLM\\Software\\Demo\\Count"});
  EXPECT_EQ(get.exitCode, 0) << get.err.toStdString();
  EXPECT_EQ(get.out, "7\n");

  plat::CHive::Close();  // read the file afresh
  QString error;
  ASSERT_TRUE(plat::CHive::Open(HiveFile(), &error)) << error.toStdString();
  DWORD count = 0;
  EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, "Software\\Demo", "Count", &count));
  EXPECT_EQ(count, 7u);
}

TEST_F(CliRegTest, ValuesOfEachKindRoundTripThroughSetAndGet) {
  const struct {
    QStringList set;
    QString path;
    QString printed;
  } cases[] = {
      {{"--dword", "-1"}, "HKCU\\Software\\Kinds\\Minus", "4294967295\n"},
      {{"--dword", "0x10"}, "HKCU\\Software\\Kinds\\Hex", "16\n"},
      {{"--string", "two words \u00e9"}, "HKCU\\Software\\Kinds\\Text", "two words \u00e9\n"},
      {{"--string", ""}, "HKCU\\Software\\Kinds\\Blank", "\n"},
      {{"--multi", "a", "b c", "d"}, "HKCU\\Software\\Kinds\\List", "a\nb c\nd\n"},
      {{"--string", "default"}, "HKEY_CURRENT_USER\\Software\\Kinds\\", "default\n"},
      {{"--dword", "3"}, "HKU\\AtTheTop", "3\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const CRun set = Cli(QStringList{"reg", "set", c.path} + c.set);
    EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
    const CRun get = Cli({"reg", "get", c.path});
    EXPECT_EQ(get.exitCode, 0) << get.err.toStdString();
    EXPECT_EQ(get.out, c.printed);
  }
  QString text;
  EXPECT_TRUE(ReadString(HKEY_CURRENT_USER, "Software\\Kinds", "", &text));
  EXPECT_EQ(text, "default");

  // Kinds the editor does not write are still shown.
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Other", "Anchor", 0));
  HKEY key = 0;
  ASSERT_EQ(plat::RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Other", 0, 0, &key), 0);
  const char16_t expand[] = u"%TEMP%\\x";
  plat::RegSetValueEx(key, "Expand", REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand),
                      sizeof expand);
  plat::RegSetValueEx(key, "Bytes", REG_BINARY, reinterpret_cast<const BYTE*>("\x01\xab"), 2);
  plat::RegCloseKey(key);
  EXPECT_EQ(Cli({"reg", "get", "HKLM\\Software\\Other\\Expand"}).out, "%TEMP%\\x\n");
  EXPECT_EQ(Cli({"reg", "get", "HKLM\\Software\\Other\\Bytes"}).out, "01 ab\n");
}

TEST_F(CliRegTest, EmptyStringsOfAMultiStringAreDroppedWithTheEditorsNotice) {
  const CRun run = Cli({"reg", "set", "HKLM\\Software\\M\\L", "--multi", "a", "", "b", ""});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err,
            "Edit MultiString: Data of type REG_MULTI_SZ cannot contain empty strings. Registry "
            "editor will remove all empty strings found.\n");
  QStringList list;
  EXPECT_TRUE(ReadMultiString(HKEY_LOCAL_MACHINE, "Software\\M", "L", &list));
  EXPECT_EQ(list, (QStringList{"a", "b"}));
}

TEST_F(CliRegTest, KeysAreCreatedAndDeletedAndValuesDeleted) {
  EXPECT_EQ(Cli({"reg", "new-key", "HKCU\\Software\\K\\Sub"}).exitCode, 0);
  EXPECT_EQ(CountSubKeys(HKEY_CURRENT_USER, "Software\\K"), 1);
  const CRun again = Cli({"reg", "new-key", "HKCU\\software\\k\\SUB\\"});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(again.err, "Error: Key already exists: A key with that name already exists. Please "
                       "choose a different name.\n");

  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\K\\Sub\\Deeper", "V", 1));
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\K", "Gone", 1));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\K", "", "d"));
  EXPECT_EQ(Cli({"--answer", "yes", "reg", "delete-value", "HKCU\\Software\\K\\Gone"}).exitCode, 0);
  EXPECT_EQ(Cli({"--answer", "yes", "reg", "delete-value", "HKCU\\Software\\K\\"}).exitCode, 0);
  ERegValueType type;
  EXPECT_FALSE(ReadValueData(HKEY_CURRENT_USER, "Software\\K", "Gone", &type, nullptr));
  EXPECT_FALSE(ReadValueData(HKEY_CURRENT_USER, "Software\\K", "", &type, nullptr));

  EXPECT_EQ(Cli({"--answer", "yes", "reg", "delete-key", "HKCU\\Software\\K\\Sub"}).exitCode, 0);
  EXPECT_EQ(CountSubKeys(HKEY_CURRENT_USER, "Software\\K"), 0);
  EXPECT_EQ(CountSubKeys(HKEY_CURRENT_USER, "Software\\K\\Sub\\Deeper"), -1);

  const CRun missingKey = Cli({"--answer", "yes", "reg", "delete-key", "HKCU\\Software\\K\\Sub"});
  EXPECT_EQ(missingKey.exitCode, 1);
  EXPECT_TRUE(missingKey.err.contains(
      "Error: Error deleting registry key: Error deleting key \"Sub\". The system cannot find"))
      << missingKey.err.toStdString();
  const CRun missingValue = Cli({"--answer", "yes", "reg", "delete-value", "HKCU\\Software\\K\\Nothing"});
  EXPECT_EQ(missingValue.exitCode, 1);
  EXPECT_TRUE(missingValue.err.contains("Error deleting value \"Nothing\"."));
}

TEST_F(CliRegTest, DeletesAskTheEditorsQuestions) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Q\\Sub", "V", 1));
  const CRun declined = Cli({"reg", "delete-key", "HKLM\\Software\\Q\\Sub"});
  EXPECT_EQ(declined.exitCode, 1);
  EXPECT_EQ(declined.err.trimmed(),
            "Confirm registry key delete: Warning!: Are you sure you want to delete the registry "
            "key \"Sub\" and all of its subkeys?");
  EXPECT_EQ(CountSubKeys(HKEY_LOCAL_MACHINE, "Software\\Q"), 1);
  const CRun value = Cli({"--answer", "yes", "reg", "delete-value", "HKLM\\Software\\Q\\Sub\\V"});
  EXPECT_EQ(value.exitCode, 0);
  EXPECT_EQ(value.err.trimmed(),
            "Confirm registry value delete: Warning!: Are you sure you want to delete the "
            "registry value \"V\"?");
  ERegValueType type;
  EXPECT_FALSE(ReadValueData(HKEY_LOCAL_MACHINE, "Software\\Q\\Sub", "V", &type, nullptr));
  EXPECT_EQ(Cli({"--answer", "yes", "reg", "delete-key", "HKLM\\Software\\Q\\Sub"}).exitCode, 0);
  EXPECT_EQ(CountSubKeys(HKEY_LOCAL_MACHINE, "Software\\Q"), 0);
}

TEST_F(CliRegTest, BadPathsAndWrongArgumentsChangeNothing) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Demo", "Count", 7));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\Demo\\Child", "Text", "t"));
  const QStringList before = Everything();
  const struct {
    QStringList args;
    int exitCode;
    const char* message;
  } cases[] = {
      {{"reg", "get", "H"}, 1, "is not a registry path"},
      {{"reg", "get", "hklm\\Software\\Demo\\Count"}, 1, "hklm is not a registry root"},
      {{"reg", "get", "HKLM\\Software\\Demo\\Missing"}, 1, "could not read"},
      {{"reg", "get", "HKLM\\Software\\Nowhere\\Count"}, 1, "could not read"},
      {{"reg", "get", "HKLM\\Software\\\\Demo\\Count"}, 1, "empty key name"},
      {{"reg", "get", "HKLM"}, 1, "is not of the form"},
      {{"reg", "set", "HKXX\\Software\\Demo\\Count", "--dword", "1"}, 1, "not a registry root"},
      {{"reg", "set", "HKLM\\New\\\\Key\\V", "--dword", "1"}, 1, "empty key name"},
      {{"reg", "set", "HKLM\\New\\" + QString(256, 'v'), "--dword", "1"}, 1, "longer than 255"},
      {{"reg", "delete-key", "HKLM\\Software\\\\Demo"}, 1, "empty key name"},
      {{"reg", "delete-key", "HKLM\\"}, 1, "names no key"},
      {{"--answer", "yes", "reg", "delete-value", "HKLM\\Software\\Demo\\Missing"}, 1,
       "Error deleting value"},
      {{"reg", "delete-key", "HKLM\\Software\\Demo"}, 1, "Confirm registry key delete"},
      {{"--answer", "no", "reg", "delete-value", "HKLM\\Software\\Demo\\Count"}, 1,
       "Confirm registry value delete"},
      {{"reg", "new-key", "HKLM\\Software\\Demo"}, 1, "Key already exists"},
      {{"reg"}, 2, "usage:"},
      {{"reg", "get"}, 2, "usage:"},
      {{"reg", "get", "HKLM\\a\\b", "extra"}, 2, "usage:"},
      {{"reg", "frob", "HKLM\\a"}, 2, "usage:"},
      {{"reg", "set", "HKLM\\Software\\Demo\\Count"}, 2, "usage:"},
      {{"reg", "set", "HKLM\\Software\\Demo\\Count", "--dword", "seven"}, 2, "usage:"},
      {{"reg", "set", "HKLM\\Software\\Demo\\Count", "--dword", "4294967296"}, 2, "usage:"},
      {{"reg", "set", "HKLM\\Software\\Demo\\Count", "--dword", "1", "--string", "s"}, 2, "usage:"},
      {{"reg", "set", "HKLM\\Software\\Demo\\Count", "--binary", "00"}, 2, "usage:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').left(80).toStdString());
    const CRun run = Cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(Everything(), before);
  }
}

}  // namespace
