// The registry access layer over a real hive: path text, roots, single values of the three
// editable kinds, enumeration through a sink, key creation and deletion.
#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>
#include <vector>

#include "platform/errors.h"
#include "registry/registry_access.h"
#include "support/temp_root.h"

namespace {

using RegistryAccessTest = test::TempRootAndHive;

QByteArray Utf16(const QString& s) {
  return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}
QByteArray Nul() { return QByteArray(2, '\0'); }

// Writes a value of any type and bytes straight through the platform calls.
void SetRaw(const QString& keyPath, const QString& name, DWORD type, const QByteArray& data) {
  HKEY key = 0;
  ASSERT_EQ(plat::RegCreateKeyEx(HKEY_LOCAL_MACHINE, keyPath, &key, nullptr), 0);
  EXPECT_EQ(plat::RegSetValueEx(key, name, type, reinterpret_cast<const BYTE*>(data.constData()),
                                DWORD(data.size())),
            0);
  plat::RegCloseKey(key);
}

// The type and bytes of a value as stored; type REG_NONE when it cannot be read.
std::pair<DWORD, QByteArray> GetRaw(const QString& keyPath, const QString& name) {
  HKEY key = 0;
  if (plat::RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath, 0, 0, &key) != 0) return {REG_NONE, {}};
  QByteArray data(4096, '\0');
  DWORD type = REG_NONE, size = DWORD(data.size());
  const LONG rc = plat::RegQueryValueEx(key, name, &type, reinterpret_cast<BYTE*>(data.data()),
                                        &size);
  plat::RegCloseKey(key);
  if (rc != 0) return {REG_NONE, {}};
  return {type, data.left(size)};
}

// Records everything it is handed; stops after `stopAfter` values when that is set.
class CRecordingSink : public CRegEnumSink {
 public:
  struct CRecord {
    HKEY root;
    QString name;
    DWORD type;
    QByteArray data;
  };
  bool OnKey(const CRegEnumItem& item) override {
    keys.push_back({item.root, item.name, item.type, {}});
    return false;  // subkeys are reported in full whatever the sink answers
  }
  bool OnValue(const CRegEnumItem& item) override {
    values.push_back({item.root, item.name, item.type,
                      QByteArray(reinterpret_cast<const char*>(item.data), item.dataSize)});
    return stopAfter == 0 || int(values.size()) < stopAfter;
  }
  QStringList KeyNames() const {
    QStringList names;
    for (const CRecord& r : keys) names << r.name;
    return names;
  }

  std::vector<CRecord> keys, values;
  int stopAfter = 0;
};

TEST(RegistryPathTest, ParseRegistryPathSplitsRootKeyPathAndLastComponent) {
  struct {
    QString text;
    bool ok;
    HKEY root;
    QString keyPath;
    QString last;
  } cases[] = {
      {"HKLM\\Software\\Foo", true, HKEY_LOCAL_MACHINE, "Software", "Foo"},
      {"HKCU\\Foo", true, HKEY_CURRENT_USER, "", "Foo"},
      {"HKEY_CLASSES_ROOT\\a\\b\\c", true, HKEY_CLASSES_ROOT, "a\\b", "c"},
      {"HKU\\.Default\\Name", true, HKEY_USERS, ".Default", "Name"},
      {"HKEY_CURRENT_USER\\x", true, HKEY_CURRENT_USER, "", "x"},
      {"hklm\\Software\\Foo", true, 0, "Software", "Foo"},  // root names are case-sensitive
      {"HKLMX\\Software\\Foo", true, 0, "Software", "Foo"},
      {"HKLM\\Software\\Foo\\", true, HKEY_LOCAL_MACHINE, "Software\\Foo\\", ""},
      {"HKLM\\", true, HKEY_LOCAL_MACHINE, "", ""},
      {"HKLM", true, HKEY_LOCAL_MACHINE, "", ""},
      {"\\HKLM\\a", true, 0, "", "a"},  // the root part begins at position 0
      {"H", false, 0, "", ""},
      {"", false, 0, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    HKEY root = 99;
    QString keyPath = "stale", last = "stale";
    EXPECT_EQ(ParseRegistryPath(c.text, &root, &keyPath, &last), c.ok);
    EXPECT_EQ(root, c.root);
    EXPECT_EQ(keyPath, c.keyPath);
    EXPECT_EQ(last, c.last);
  }
}

TEST(RegistryPathTest, ParentKeyPathCutsTheLastComponent) {
  const std::pair<QString, QString> cases[] = {
      {"a\\b\\c", "a\\b"}, {"a\\b\\c\\", "a\\b"}, {"Software\\Foo", "Software"},
      {"Software", ""},    {"a\\b", "a"},         {"ab", ""},
      {"a\\", ""},         {"\\abc", ""},         {"", ""},
  };
  for (const auto& [path, parent] : cases) EXPECT_EQ(ParentKeyPath(path), parent) << path.toStdString();
}

TEST(RegistryPathTest, RootsHaveNamesAndOrdinals) {
  const struct {
    HKEY root;
    const char* longName;
    const char* shortName;
    DWORD ordinal;
  } roots[] = {
      {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR", 1},
      {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM", 2},
      {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU", 3},
      {HKEY_USERS, "HKEY_USERS", "HKU", 4},
  };
  for (const auto& r : roots) {
    EXPECT_EQ(RootName(r.root), r.longName);
    EXPECT_EQ(RootName(r.root, true), r.shortName);
    EXPECT_EQ(OrdinalFromRoot(r.root), r.ordinal);
    EXPECT_EQ(RootFromOrdinal(r.ordinal), r.root);
  }
  EXPECT_EQ(RootName(0x80000004), "...");
  EXPECT_EQ(OrdinalFromRoot(0x80000004), 0u);
  EXPECT_EQ(RootFromOrdinal(0), 0u);
  EXPECT_EQ(RootFromOrdinal(5), 0u);
}

TEST_F(RegistryAccessTest, DwordsAndStringsAreReadOnlyWithTheirOwnType) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\New\\Deep", "Count", 0xFFFFFFFE));
  EXPECT_EQ(GetRaw("Software\\New\\Deep", "Count"),
            std::make_pair(REG_DWORD, QByteArray("\xfe\xff\xff\xff", 4)));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\New", "Text", "h\u00e9llo"));
  EXPECT_EQ(GetRaw("Software\\New", "Text"), std::make_pair(REG_SZ, Utf16("h\u00e9llo") + Nul()));
  SetRaw("Software\\New", "Expand", REG_EXPAND_SZ, Utf16("%TEMP%") + Nul());
  SetRaw("Software\\New", "Short", REG_DWORD, QByteArray("\x07", 1));
  SetRaw("Software\\New", "Long", REG_SZ, Utf16(QString(1024, 'l')) + Nul());
  SetRaw("Software\\New", "Longest", REG_SZ, Utf16(QString(1023, 'l')) + Nul());
  SetRaw("Software\\New", "Unterminated", REG_SZ, Utf16("abc"));
  SetRaw("Software\\New", "Inner", REG_SZ, Utf16("ab") + Nul() + Utf16("cd") + Nul());

  struct {
    const char* name;
    bool dwordOk;
    DWORD number;
    bool stringOk;
    QString text;
  } cases[] = {
      {"Text", false, 0, true, "h\u00e9llo"},
      {"Expand", false, 0, false, ""},  // REG_EXPAND_SZ is not a string to ReadString
      {"Short", true, 7, false, ""},
      {"Long", false, 0, false, ""},  // 2050 bytes do not fit the 2048-byte reader
      {"Longest", false, 0, true, QString(1023, 'l')},
      {"Unterminated", false, 0, true, "abc"},
      {"Inner", false, 0, true, "ab"},
      {"Missing", false, 0, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DWORD number = 99;
    QString text = "stale";
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, "Software\\New", c.name, &number), c.dwordOk);
    EXPECT_EQ(number, c.number);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, "Software\\New", c.name, &text), c.stringOk);
    EXPECT_EQ(text, c.text);
  }
  DWORD number = 0;
  EXPECT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, "software\\new\\DEEP", "count", &number));
  EXPECT_EQ(number, 0xFFFFFFFEu);
  EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, "Software\\Nowhere", "Count", &number));
  EXPECT_FALSE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\\\Bad", "Count", 1));
  EXPECT_FALSE(WriteDword(0x1235, "Software", "Count", 1));
}

TEST_F(RegistryAccessTest, MultiStringsAreWrittenExactlyAndReadUpToTheFirstEmptyString) {
  const QByteArray abc = Utf16("a") + Nul() + Utf16("bc") + Nul() + Nul();
  struct {
    const char* name;
    QStringList written;
    QByteArray stored;
    QStringList read;
  } cases[] = {
      {"Two", {"a", "bc"}, abc, {"a", "bc"}},
      {"Empty", {}, QByteArray(), {}},
      {"EmptyInside", {"a", "", "b"}, Utf16("a") + Nul() + Nul() + Utf16("b") + Nul() + Nul(),
       {"a"}},
      {"OneEmpty", {""}, Nul() + Nul(), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, "Software\\Multi", c.name, c.written));
    EXPECT_EQ(GetRaw("Software\\Multi", c.name), std::make_pair(REG_MULTI_SZ, c.stored));
    QStringList list = {"stale"};
    EXPECT_TRUE(ReadMultiString(HKEY_LOCAL_MACHINE, "Software\\Multi", c.name, &list));
    EXPECT_EQ(list, c.read);
  }
  // Data another writer left without its closing terminators keeps its last string whole.
  SetRaw("Software\\Multi", "Unclosed", REG_MULTI_SZ, Utf16("ab") + Nul() + Utf16("cd"));
  QStringList list;
  EXPECT_TRUE(ReadMultiString(HKEY_LOCAL_MACHINE, "Software\\Multi", "Unclosed", &list));
  EXPECT_EQ(list, (QStringList{"ab", "cd"}));
  EXPECT_FALSE(ReadMultiString(HKEY_LOCAL_MACHINE, "Software\\Multi", "Missing", &list));
  EXPECT_TRUE(list.isEmpty());
}

TEST_F(RegistryAccessTest, CreateKeyTellsNewFromExistingAndLeavesExistingKeysAlone) {
  EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Made"), eCreateKey_Created);
  ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, "Software\\Made", "Kept", 5));
  EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Made\\Child"), eCreateKey_Created);

  EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "SOFTWARE\\made"), eCreateKey_Existed);
  DWORD kept = 0;
  EXPECT_TRUE(ReadDword(HKEY_CURRENT_USER, "Software\\Made", "Kept", &kept));
  EXPECT_EQ(kept, 5u);
  EXPECT_EQ(CountSubKeys(HKEY_CURRENT_USER, "Software\\Made"), 1);

  EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\\\Bad"), eCreateKey_Failed);
  EXPECT_EQ(plat::GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateKey(0, "Software"), eCreateKey_Failed);
}

TEST_F(RegistryAccessTest, EnumValuesReportsTypeCodesDataAndTheUnnamedValue) {
  const struct {
    const char* name;
    DWORD platformType;
    QByteArray data;
    DWORD code;
  } values[] = {
      {"", REG_SZ, Utf16("default") + Nul(), eRegVT_String},
      {"Sz", REG_SZ, Utf16("s") + Nul(), eRegVT_String},
      {"Expand", REG_EXPAND_SZ, Utf16("%x%") + Nul(), eRegVT_ExpandString},
      {"Binary", REG_BINARY, QByteArray("\x00\x01\x02", 3), eRegVT_Binary},
      {"Dword", REG_DWORD, QByteArray("\x01\x00\x00\x00", 4), eRegVT_Dword},
      {"BigEndian", REG_DWORD_BIG_ENDIAN, QByteArray("\x00\x00\x00\x01", 4), eRegVT_DwordBigEndian},
      {"Multi", REG_MULTI_SZ, Utf16("m") + Nul() + Nul(), eRegVT_MultiString},
      {"Resources", REG_RESOURCE_LIST, QByteArray(600, 'r'), eRegVT_ResourceList},
      {"None", REG_NONE, QByteArray(), eRegVT_Unknown},
      {"Link", REG_LINK, QByteArray("lk", 2), eRegVT_Unknown},
      {"Raw42", 42, QByteArray("\xff", 1), eRegVT_Unknown},
  };
  for (const auto& v : values) SetRaw("Software\\Enum", v.name, v.platformType, v.data);

  CRecordingSink sink;
  EXPECT_TRUE(EnumValues(HKEY_LOCAL_MACHINE, "Software\\Enum", &sink));
  ASSERT_EQ(sink.values.size(), std::size(values));
  for (size_t i = 0; i < std::size(values); ++i) {
    SCOPED_TRACE(values[i].name);
    const auto& got = sink.values[i];
    EXPECT_EQ(got.root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(got.name, i == 0 ? QString("<NO NAME>") : QString(values[i].name));
    EXPECT_EQ(got.type, values[i].code);
    EXPECT_EQ(got.data, values[i].data);
  }
  EXPECT_TRUE(sink.keys.empty());

  CRecordingSink stopping;
  stopping.stopAfter = 2;
  EXPECT_TRUE(EnumValues(HKEY_LOCAL_MACHINE, "Software\\Enum", &stopping));
  EXPECT_EQ(stopping.values.size(), 2u);

  CRecordingSink none;  // a key that is not there lists as empty
  EXPECT_TRUE(EnumValues(HKEY_LOCAL_MACHINE, "Software\\Gone", &none));
  EXPECT_TRUE(EnumSubKeys(HKEY_LOCAL_MACHINE, "Software\\Gone", &none));
  EXPECT_TRUE(none.values.empty() && none.keys.empty());
  EXPECT_EQ(CountSubKeys(HKEY_LOCAL_MACHINE, "Software\\Gone"), -1);
}

TEST_F(RegistryAccessTest, EnumSubKeysReportsEverySubkeyInOrder) {
  for (const char* name : {"Zulu", "alpha", "Mike"})
    ASSERT_EQ(CreateKey(HKEY_USERS, QString("Keys\\") + name), eCreateKey_Created);
  ASSERT_EQ(CreateKey(HKEY_USERS, "Keys\\Mike\\Inner"), eCreateKey_Created);
  CRecordingSink sink;  // answers false to every key
  EXPECT_TRUE(EnumSubKeys(HKEY_USERS, "Keys", &sink));
  EXPECT_EQ(sink.KeyNames(), (QStringList{"Zulu", "alpha", "Mike"}));
  for (const auto& k : sink.keys) {
    EXPECT_EQ(k.root, HKEY_USERS);
    EXPECT_EQ(k.type, kRegEnumTypeSubKey);
  }
  EXPECT_EQ(CountSubKeys(HKEY_USERS, "Keys"), 3);
  EXPECT_EQ(CountSubKeys(HKEY_USERS, "Keys\\Zulu"), 0);
  EXPECT_EQ(CountSubKeys(HKEY_USERS, ""), 1);
}

TEST_F(RegistryAccessTest, DeleteKeyRemovesTheSubtreeAndDeleteValueOneValue) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Del\\A\\B", "Deep", 1));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\Del", "Top", "t"));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\Keep", "", "default"));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\Keep", "Other", "o"));

  EXPECT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, "Software", "del"));
  EXPECT_EQ(CountSubKeys(HKEY_LOCAL_MACHINE, "Software\\Del"), -1);
  EXPECT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Del\\A\\B"), eCreateKey_Created);
  DWORD deep = 0;
  EXPECT_FALSE(ReadDword(HKEY_LOCAL_MACHINE, "Software\\Del\\A\\B", "Deep", &deep));
  EXPECT_FALSE(DeleteKey(HKEY_LOCAL_MACHINE, "Software", "Missing"));
  EXPECT_EQ(plat::GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteKey(HKEY_LOCAL_MACHINE, "Software", ""));  // never the parent itself
  EXPECT_EQ(CountSubKeys(HKEY_LOCAL_MACHINE, "Software"), 2);

  EXPECT_TRUE(DeleteDefaultValue(HKEY_LOCAL_MACHINE, "Software\\Keep"));
  EXPECT_FALSE(DeleteDefaultValue(HKEY_LOCAL_MACHINE, "Software\\Keep"));
  EXPECT_TRUE(DeleteValue(HKEY_LOCAL_MACHINE, "Software\\Keep", "OTHER"));
  EXPECT_FALSE(DeleteValue(HKEY_LOCAL_MACHINE, "Software\\Nowhere", "Other"));
  CRecordingSink sink;
  EnumValues(HKEY_LOCAL_MACHINE, "Software\\Keep", &sink);
  EXPECT_TRUE(sink.values.empty());
}

TEST_F(RegistryAccessTest, ReadValueDataGivesTheTypeCodeAndBytesOfAnyValue) {
  SetRaw("Software\\Types", "Multi", REG_MULTI_SZ, Nul());
  SetRaw("Software\\Types", "Raw", 42, QByteArray("x\0y", 3));
  SetRaw("Software\\Types", "Empty", REG_BINARY, QByteArray());
  const struct {
    const char* name;
    bool ok;
    ERegValueType type;
    QByteArray data;
  } cases[] = {
      {"multi", true, eRegVT_MultiString, Nul()},
      {"Raw", true, eRegVT_Unknown, QByteArray("x\0y", 3)},
      {"Empty", true, eRegVT_Binary, QByteArray()},
      {"None", false, eRegVT_Unknown, QByteArray()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ERegValueType type = eRegVT_String;
    QByteArray data = "stale";
    EXPECT_EQ(ReadValueData(HKEY_LOCAL_MACHINE, "Software\\Types", c.name, &type, &data), c.ok);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(data, c.data);
  }
}

}  // namespace
