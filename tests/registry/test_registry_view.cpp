// The registry as a list on a real hive: the data texts of every value type and digit base,
// type names and images, the roots list, the parent and subkey options, the registry sort, a
// key that vanished, and the list panel source with its navigation.
#include <QByteArray>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "browse/icon_indices.h"
#include "core/settings.h"
#include "platform/registry_hive.h"
#include "registry/registry_access.h"
#include "registry/registry_view.h"
#include "registry/registry_view_source.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class RegistryViewTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    settings = CSettings();
  }
  void TearDown() override {
    settings = saved_;
    TempRootAndHive::TearDown();
  }

  // Writes a value of any platform type below HKLM\Test.
  static void Put(const QString& name, DWORD type, const QByteArray& data) {
    HKEY key = 0;
    ASSERT_EQ(plat::RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Test", &key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(plat::RegSetValueEx(key, name, type,
                                  reinterpret_cast<const BYTE*>(data.constData()),
                                  DWORD(data.size())),
              ERROR_SUCCESS);
    plat::RegCloseKey(key);
  }
  static QByteArray Utf16(const QString& text, bool bTerminator = true) {
    QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    if (bTerminator) bytes.append(2, '\0');
    return bytes;
  }
  // The rows of a key as "name|type|data|icon", in the registry's order.
  static QStringList Rows(HKEY root, const QString& path) {
    CListEntries entries;
    regview::FillKey(root, path, &entries);
    return RowsOf(entries);
  }
  static QStringList RowsOf(const CListEntries& entries) {
    QStringList rows;
    for (int i = 0; i < entries.Count(); ++i) {
      const CListEntry& e = *entries.At(i);
      rows << regview::RowText(e, eRegField_Name) + "|" + regview::RowText(e, eRegField_Type) +
                  "|" + regview::RowText(e, eRegField_Data) + "|" +
                  QString::number(regview::RowIcon(e));
    }
    return rows;
  }
  // The row of one value of HKLM\Test.
  static QString Row(const QString& name) {
    for (const QString& row : Rows(HKEY_LOCAL_MACHINE, "\\Test"))
      if (row.section('|', 0, 0) == name) return row;
    return "<missing> " + Rows(HKEY_LOCAL_MACHINE, "\\Test").join(", ");
  }

  CSettings saved_ = settings;
};

TEST_F(RegistryViewTest, DwordTextsInEveryDigitBase) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Test", "n", 255));
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Test", "zero", 0));
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Test", "max", 0xFFFFFFFF));
  struct CCase {
    DWORD base;
    const char *n, *zero, *max;
  } cases[] = {
      {0, "11111111", "0", "11111111111111111111111111111111"},
      {1, "377", "0", "37777777777"},
      {2, "255", "0", "4294967295"},
      {3, "FF", "0", "FFFFFFFF"},
      {4, "255", "0", "4294967295"},  // any other base is decimal
      {77, "255", "0", "4294967295"},
  };
  for (const CCase& c : cases) {
    settings.RegDigitBase = c.base;
    EXPECT_EQ(Row("n"), QString("n|DWORD|%1|28").arg(c.n)) << c.base;
    EXPECT_EQ(Row("zero"), QString("zero|DWORD|%1|28").arg(c.zero)) << c.base;
    EXPECT_EQ(Row("max"), QString("max|DWORD|%1|28").arg(c.max)) << c.base;
  }
  EXPECT_EQ(regview::DwordText(0x80000001u, 0), "10000000000000000000000000000001");
  EXPECT_EQ(regview::DwordText(1, 0), "1");
}

TEST_F(RegistryViewTest, TextsTypeNamesAndImagesOfEachValueType) {
  Put("be256", REG_DWORD_BIG_ENDIAN, QByteArray::fromHex("00000100"));
  Put("beMinus", REG_DWORD_BIG_ENDIAN, QByteArray::fromHex("FFFFFFFF"));
  Put("bin", REG_BINARY, QByteArray::fromHex("0102"));
  Put("res", REG_RESOURCE_LIST, QByteArray::fromHex("0102"));
  Put("multi", REG_MULTI_SZ, Utf16("a") + Utf16("b") + Utf16(""));
  Put("multiCut", REG_MULTI_SZ, Utf16("a") + Utf16("") + Utf16("lost") + Utf16(""));
  Put("Default", REG_SZ, Utf16("x"));
  Put("DefaultExp", REG_EXPAND_SZ, Utf16("%TEMP%\\x"));
  Put("noTerm", REG_SZ, Utf16("abc", false));
  Put("", REG_SZ, Utf16("unnamed"));
  Put("none", REG_NONE, QByteArray::fromHex("01"));
  Put("link", REG_LINK, Utf16("target"));
  Put("strange", 77, QByteArray::fromHex("01"));
  Put("emptyDword", REG_DWORD, QByteArray());
  Put("shortDword", REG_DWORD, QByteArray::fromHex("0102"));
  Put("shortBe", REG_DWORD_BIG_ENDIAN, QByteArray::fromHex("010203"));
  Put("emptyString", REG_SZ, QByteArray());

  const char* expected[] = {
      "be256||0x00000100 (256)|29",
      "beMinus||0xffffffff (-1)|29",
      "bin|Binary||30",
      "res|||31",
      "multi|Multi-String|a b |34",
      "multiCut|Multi-String|a |34",
      "Default|String|(x)|32",
      "DefaultExp|String|%TEMP%\\x|33",
      "noTerm|String|abc|32",
      "<NO NAME>|String|unnamed|32",
      "none|||27",
      "link|||27",
      "strange|||27",
      "emptyDword|DWORD||28",
      "shortDword|DWORD||28",  // too short for a number: no text, nothing read past the data
      "shortBe|||29",
      "emptyString|String||32",
  };
  for (const char* row : expected)
    EXPECT_EQ(Row(QString(row).section('|', 0, 0)).toStdString(), row);
  // Only the exact name "Default" gets parentheses (value names ignore case in the registry,
  // so the other spelling cannot stand beside it in one key).
  const QByteArray y = Utf16("y");
  EXPECT_EQ(regview::ValueDataText("default", eRegVT_String,
                                   reinterpret_cast<const BYTE*>(y.constData()), y.size()),
            "y");
  // A record without data shows no data text for any type.
  for (DWORD type = 0; type <= 7; ++type)
    EXPECT_EQ(regview::ValueDataText("Default", type, nullptr, 4), "") << type;
}

TEST_F(RegistryViewTest, KeyListingFollowsTheParentAndSubkeyOptions) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Test\\Sub"), eCreateKey_Created);
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Test", "v", "1"));
  settings.PersonalizeFolderIcons = 1;
  EXPECT_EQ(Rows(HKEY_LOCAL_MACHINE, "\\Test"),
            QStringList({"..|||13", "Sub|REG_KEY||25", "v|String|1|32"}));
  settings.PersonalizeFolderIcons = 0;
  settings.MainListShowKeys = 0;
  EXPECT_EQ(Rows(HKEY_LOCAL_MACHINE, "\\Test"), QStringList({"..|||2", "v|String|1|32"}));
  settings.MainListRegShowParent = 0;
  EXPECT_EQ(Rows(HKEY_LOCAL_MACHINE, "Test"), QStringList({"v|String|1|32"}));
}

TEST_F(RegistryViewTest, RootsListInListOrder) {
  CListEntries entries;
  regview::FillRoots(&entries);
  EXPECT_EQ(RowsOf(entries),
            QStringList({"HKEY_CLASSES_ROOT|REG_KEY||25", "HKEY_LOCAL_MACHINE|REG_KEY||25",
                         "HKEY_CURRENT_USER|REG_KEY||25", "HKEY_USERS|REG_KEY||25"}));
  EXPECT_EQ(entries.At(1)->type, DWORD(eEntry_RegRoot));
  EXPECT_EQ(entries.At(1)->ItemAs<CRegItem>()->root, HKEY_LOCAL_MACHINE);
}

TEST_F(RegistryViewTest, AVanishedKeyOrAnUnknownRootListsAsEmpty) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Test\\Gone"), eCreateKey_Created);
  ASSERT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, "Test", "Gone"));
  EXPECT_EQ(Rows(HKEY_LOCAL_MACHINE, "\\Test\\Gone"), QStringList({"..|||13"}));
  EXPECT_EQ(Rows(0x12345678, "\\Software"), QStringList({"..|||13"}));
  EXPECT_EQ(Rows(0, ""), QStringList({"..|||13"}));
}

TEST_F(RegistryViewTest, RegistrySort) {
  CListEntries entries;
  entries.Add(regview::MakeSubKeyEntry("b"));
  CRegEnumItem value;
  value.root = HKEY_LOCAL_MACHINE;
  value.type = eRegVT_String;
  for (const char* name : {"zeta", "DEFAULT", "alpha", "Beta"}) {
    value.name = name;
    entries.Add(regview::MakeValueEntry(value));
  }
  entries.Add(regview::MakeSubKeyEntry("A"));
  entries.Add(regview::MakeRegParentEntry());
  entries.Add(regview::MakeSubKeyEntry("C"));

  auto sorted = [&](bool bAscending) {
    std::vector<const CListEntry*> order;
    for (int i = 0; i < entries.Count(); ++i) order.push_back(entries.At(i));
    std::stable_sort(order.begin(), order.end(), [&](const CListEntry* a, const CListEntry* b) {
      return regview::CompareEntries(*a, *b, bAscending) < 0;
    });
    QStringList names;
    for (const CListEntry* e : order) names << e->displayName;
    return names;
  };
  EXPECT_EQ(sorted(true), QStringList({"..", "DEFAULT", "A", "b", "C", "alpha", "Beta", "zeta"}));
  // Descending: ".." and "Default" go last, subkeys stay before values, names reverse.
  EXPECT_EQ(sorted(false), QStringList({"C", "b", "A", "zeta", "Beta", "alpha", "DEFAULT", ".."}));
  settings.MainTreeIgnoreCase = 0;
  EXPECT_EQ(sorted(true), QStringList({"..", "DEFAULT", "A", "C", "b", "Beta", "alpha", "zeta"}));
  // Root keys compare by name like the rest.
  EXPECT_LT(regview::CompareEntries(*regview::MakeRootEntry(HKEY_CURRENT_USER),
                                    *regview::MakeRootEntry(HKEY_LOCAL_MACHINE), true),
            0);
}

TEST_F(RegistryViewTest, SubKeyPathsBeginWithOneBackslash) {
  EXPECT_EQ(regview::SubKeyPath("", "Software"), "\\Software");
  EXPECT_EQ(regview::SubKeyPath("\\Software", "Tarvish"), "\\Software\\Tarvish");
  EXPECT_EQ(regview::SubKeyPath("\\Software\\", "Tarvish"), "\\Software\\Tarvish");
}

// The list panel showing the registry: columns, navigation by activation and Up, the
// locations it reports, the value editor hook and the sort direction.
class CLocations : public IListPanelObserver {
 public:
  void OnPanelLocation(EPanelId, const CPanelLocation& location) override {
    locations << location;
  }
  void OnPanelStatusText(EPanelId, const QString&) override {}
  void OnPanelOpenFile(EPanelId, const QString&) override {}
  QList<CPanelLocation> locations;
};

class RegistryPanelTest : public RegistryViewTest {
 protected:
  void SetUp() override {
    RegistryViewTest::SetUp();
    RegisterRegistryListSource();
    CListPanelOptions options;
    options.bWorker = false;
    panel_ = std::make_unique<CListPanel>(ePanel_A, &observer_, options);
  }
  void TearDown() override {
    SetRegistryValueEditor(nullptr);
    panel_.reset();
    RegistryViewTest::TearDown();
  }
  QStringList Names() {
    QStringList names;
    for (int i = 0; i < panel_->rowCount(); ++i) names << panel_->CellText(i, 0);
    return names;
  }
  int RowOf(const QString& name) { return Names().indexOf(name); }
  CPanelLocation Last() { return observer_.locations.value(observer_.locations.size() - 1); }

  CLocations observer_;
  std::unique_ptr<CListPanel> panel_;
};

TEST_F(RegistryPanelTest, NavigatesKeysAndReportsLocations) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vendor"), eCreateKey_Created);
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software", "Count", 255));
  CListPanel& panel = *panel_;

  ShowRegistryRoots(panel);
  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_Registry));
  ASSERT_EQ(panel.Columns().size(), 3);
  EXPECT_EQ(panel.Columns()[0].header, "Name:");
  EXPECT_EQ(panel.Columns()[1].header, "Type:");
  EXPECT_EQ(panel.Columns()[2].header, "Data:");
  EXPECT_EQ(panel.Columns()[0].defaultWidth, 110);
  EXPECT_EQ(panel.Columns()[1].defaultWidth, 50);
  EXPECT_EQ(panel.Columns()[2].defaultWidth, 80);
  // The roots keep the list's own order; a sort the user asks for orders them by name.
  EXPECT_EQ(Names(), QStringList({"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE",
                                  "HKEY_CURRENT_USER", "HKEY_USERS"}));
  EXPECT_EQ(Last(), CPanelLocation::RegistryTop());
  EXPECT_FALSE(panel.CanGoUp());
  panel.SortBy(0, false);
  EXPECT_EQ(Names(), QStringList({"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                  "HKEY_LOCAL_MACHINE", "HKEY_USERS"}));
  panel.Refresh();
  EXPECT_EQ(panel.CellText(1, 0), "HKEY_LOCAL_MACHINE");

  panel.Open(RowOf("HKEY_LOCAL_MACHINE"));
  EXPECT_EQ(Last(), CPanelLocation::Registry(HKEY_LOCAL_MACHINE, ""));
  EXPECT_EQ(Last().kind, DWORD(eEntry_RegRoot));
  EXPECT_EQ(Names(), QStringList({"..", "Software"}));

  panel.Open(RowOf("Software"));
  EXPECT_EQ(Last(), CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "\\Software"));
  EXPECT_EQ(Names(), QStringList({"..", "Vendor", "Count"}));
  EXPECT_EQ(panel.CellText(1, 1), "REG_KEY");
  EXPECT_EQ(panel.CellText(2, 1), "DWORD");
  EXPECT_EQ(panel.CellText(2, 2), "255");

  panel.Open(RowOf("Vendor"));
  EXPECT_EQ(Last(), CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "\\Software\\Vendor"));
  EXPECT_EQ(Names(), QStringList({".."}));

  panel.Open(RowOf(".."));
  EXPECT_EQ(Last().path, "\\Software");
  panel.Up();
  EXPECT_EQ(Last(), CPanelLocation::Registry(HKEY_LOCAL_MACHINE, ""));
  ASSERT_TRUE(panel.CanGoUp());
  panel.Up();
  EXPECT_EQ(Last(), CPanelLocation::RegistryTop());
  EXPECT_EQ(panel.rowCount(), 4);
}

TEST_F(RegistryPanelTest, ValuesGoToTheEditorAndAVanishedKeyRefreshesToEmpty) {
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Gone\\Here", "", "default text"));
  ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Gone\\Here", "name", "text"));
  QList<CRegValueRef> opened;
  SetRegistryValueEditor([&](CListPanel&, const CRegValueRef& value) { opened << value; });

  ShowRegistryKey(*panel_, HKEY_CURRENT_USER, "\\Gone\\Here");
  EXPECT_EQ(Names(), QStringList({"..", "<NO NAME>", "name"}));
  panel_->Open(RowOf("name"));
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0].root, HKEY_CURRENT_USER);
  EXPECT_EQ(opened[0].keyPath, "\\Gone\\Here");
  EXPECT_EQ(opened[0].name, "name");
  EXPECT_EQ(opened[0].typeCode, DWORD(eRegVT_String));
  EXPECT_EQ(Names(), QStringList({"..", "<NO NAME>", "name"}));  // still listed

  ASSERT_TRUE(DeleteKey(HKEY_CURRENT_USER, "", "Gone"));
  panel_->Refresh();
  EXPECT_EQ(Names(), QStringList({".."}));
  EXPECT_EQ(Last(), CPanelLocation::Registry(HKEY_CURRENT_USER, "\\Gone\\Here"));

  // An unknown root never lists anything and goes up to the roots.
  ShowRegistryKey(*panel_, 0x12345678, "");
  EXPECT_EQ(Names(), QStringList({".."}));
  panel_->Open(0);
  EXPECT_EQ(Last(), CPanelLocation::RegistryTop());
}

TEST_F(RegistryPanelTest, PanelSortsWithTheRegistryRuleInBothDirections) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "S\\b"), eCreateKey_Created);
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "S\\A"), eCreateKey_Created);
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "S", "zeta", "1"));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "S", "Default", "2"));
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "S", "alpha", "3"));
  ShowRegistryKey(*panel_, HKEY_LOCAL_MACHINE, "\\S");
  EXPECT_EQ(Names(), QStringList({"..", "Default", "A", "b", "alpha", "zeta"}));
  EXPECT_EQ(panel_->CellText(1, 2), "(2)");
  panel_->SortBy(2, true);  // any column sorts by the registry rule
  panel_->SetSortAscending(false);
  EXPECT_EQ(Names(), QStringList({"b", "A", "zeta", "alpha", "Default", ".."}));
}

}  // namespace
