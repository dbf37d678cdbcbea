// The settings store on a real hive: defaults, the first save, the reading rules for bad
// values, the ClearType pair, remembered searches, column widths and undoing a cancelled change.
#include <gtest/gtest.h>

#include <QByteArray>

#include "core/app_log.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_options.h"
#include "core/settings_screen.h"
#include "core/settings_store.h"
#include "platform/registry_hive.h"
#include "platform/system.h"
#include "support/temp_root.h"

namespace {

// The default recycle-bin folder: below the program's own folder.
QString DefaultBin() { return plat::ProgramFolder() + QStringLiteral("\\RecycleBin"); }

const QString kDefaultKey = QStringLiteral("Software\\Tarvish\\Pinewood Browser\\Default");

// Stores a value of any type and bytes below HKEY_LOCAL_MACHINE, as another program might.
void SetRaw(const QString& strKey, const QString& strName, DWORD dwType, const QByteArray& data) {
  HKEY key = 0;
  DWORD disposition = 0;
  ASSERT_EQ(plat::RegCreateKeyEx(HKEY_LOCAL_MACHINE, strKey, &key, &disposition), ERROR_SUCCESS);
  ASSERT_EQ(
      plat::RegSetValueEx(key, strName, dwType, reinterpret_cast<const BYTE*>(data.constData()),
                          DWORD(data.size())),
      ERROR_SUCCESS);
  plat::RegCloseKey(key);
}

QByteArray DwordBytes(DWORD dwValue) {
  return QByteArray(reinterpret_cast<const char*>(&dwValue), 4);
}
QByteArray StringBytes(const QString& text) {
  return QByteArray(reinterpret_cast<const char*>(text.utf16()), int(text.size() + 1) * 2);
}

int ValueCount(const QString& strKey) {
  HKEY key = 0;
  if (plat::RegOpenKeyEx(HKEY_LOCAL_MACHINE, strKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD values = 0;
  plat::RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr);
  plat::RegCloseKey(key);
  return int(values);
}

// The option set as LoadDefaults leaves it, for comparing whole sets.
CSettings Defaults() {
  ResetSettingsToDefaults();
  return settings;
}

void ExpectSameOptions(const CSettings& a, const CSettings& b) {
  for (const COption& option : OptionTable()) {
    SCOPED_TRACE(QString::fromUtf16(option.name).toStdString());
    if (option.type == EOptType::eDword)
      EXPECT_EQ(a.*option.dwField, b.*option.dwField);
    else
      EXPECT_EQ(a.*option.strField, b.*option.strField);
  }
  EXPECT_EQ(a.SimpleSearchStrings, b.SimpleSearchStrings);
}

class SettingsTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    OverrideScreenSize(240, 320);
    settings.CurrentProfile = QStringLiteral("Default");
  }
  void TearDown() override {
    CloseLog();
    TempRootAndHive::TearDown();
  }
  // Start-up's reading order on the current hive.
  void Start() {
    LoadCurrentProfileName();
    LoadDefaults();
    LoadLogOptions();
    LoadAppearanceOptions();
    LoadSettings();
  }
};

TEST_F(SettingsTest, FreshHiveLoadsDefaultsAndFirstSaveStoresThemUnderDefault) {
  const CSettings expected = Defaults();
  Start();
  ExpectSameOptions(settings, expected);
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("Default"));
  EXPECT_EQ(settings.MainViewConfig, 7u);
  // The bin lives in the program's own folder, not in the user's home folder.
  EXPECT_EQ(settings.RecycleBinPath, DefaultBin());
  EXPECT_EQ(settings.AppLog_Folder, ExecutableFolder());
  EXPECT_TRUE(ExistsHost(DefaultBin()));
  EXPECT_FALSE(ExistsHost(QStringLiteral("\\RecycleBin")));
  EXPECT_EQ(ValueCount(kDefaultKey), -1) << "loading must not write";

  ASSERT_TRUE(SaveSettings());
  // Every option except the two splitter positions, both ClearType names, ten search texts.
  int nExpected = 0;
  for (const COption& option : OptionTable()) {
    if (option.flags & eOptSplitter) continue;
    ++nExpected;
    SCOPED_TRACE(QString::fromUtf16(option.name).toStdString());
    if (option.type == EOptType::eDword) {
      DWORD dwStored = 12345;
      EXPECT_TRUE(ReadKeyDword(kDefaultKey, QString::fromUtf16(option.name), 0, &dwStored));
      EXPECT_EQ(dwStored, expected.*option.dwField);
    } else {
      QString stored;
      EXPECT_TRUE(ReadKeyString(kDefaultKey, QString::fromUtf16(option.name), {}, &stored));
      EXPECT_EQ(stored, expected.*option.strField);
    }
  }
  EXPECT_EQ(ValueCount(kDefaultKey), nExpected + kMaxRememberedSearches);

  // A second start reads back exactly what was saved.
  settings.MainViewFontSize = 4;
  Start();
  ExpectSameOptions(settings, expected);
}

TEST_F(SettingsTest, HighResolutionDefaults) {
  struct {
    int w, h;
    DWORD fontBase, bigIcons, clearType;
  } const cases[] = {{480, 640, 6, 1, 1},
                     {800, 480, 6, 1, 1},
                     {240, 320, 7, 0, 0},
                     {320, 320, 7, 0, 0},
                     {1920, 1080, 7, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    OverrideScreenSize(c.w, c.h);
    LoadDefaults();
    EXPECT_EQ(settings.MainViewFontBase, c.fontBase);
    EXPECT_EQ(settings.MainTreeBigIconsA, c.bigIcons);
    EXPECT_EQ(settings.MainTreeBigIconsB, c.bigIcons);
    EXPECT_EQ(settings.MainListUseBigIconsA, c.bigIcons);
    EXPECT_EQ(settings.MainListUseBigIconsB, c.bigIcons);
    LoadAppearanceOptions();
    EXPECT_EQ(settings.UseClearType, c.clearType) << "UseClearType as read at start";
    LoadSettings();
    EXPECT_EQ(settings.UseClearType, 0u) << "EnableClearTypeFonts absent decides: off";
  }
}

// Stored values that are out of range, of the wrong type or too long read as the default;
// accepted ones are taken.
TEST_F(SettingsTest, ReadingRules) {
  const QString longText(1024, QChar(u'x'));     // 2050 bytes with the terminator
  const QString longestText(1023, QChar(u'y'));  // 2048 bytes: still fits
  struct CCase {
    const char* name;
    DWORD type;
    QByteArray data;
    DWORD dwExpected;
    QString strExpected;
  } const cases[] = {
      {"MainViewConfig", REG_DWORD, DwordBytes(12), 7, {}},
      {"MainViewActive", REG_DWORD, DwordBytes(5), 1, {}},
      {"MainViewFontSize", REG_DWORD, DwordBytes(5), 2, {}},
      {"MainTreeACacheType", REG_DWORD, DwordBytes(3), 2, {}},
      {"MainTreeBCacheType", REG_DWORD, DwordBytes(10), 10, {}},
      {"MainListModeListViewA", REG_DWORD, DwordBytes(4), 1, {}},
      {"MainListModeListViewB", REG_DWORD, DwordBytes(3), 3, {}},
      {"MainViewSplitterPercentX", REG_DWORD, DwordBytes(250), 50, {}},
      {"MainViewToolbar", REG_DWORD, DwordBytes(0), 0, {}},
      {"MainViewHeaderbar", REG_SZ, StringBytes("0"), 1, {}},
      {"MainViewAddressbar", REG_BINARY, DwordBytes(0), 1, {}},
      {"MainViewStatusbar", REG_DWORD_BIG_ENDIAN, DwordBytes(1), 0, {}},
      {"RecycleBinPath", REG_EXPAND_SZ, StringBytes("\\Trash"), 0, DefaultBin()},
      {"MainTreeACacheStr1", REG_DWORD, DwordBytes(5), 0, "\\"},
      {"MainTreeBCacheStr1", REG_SZ, StringBytes(longText), 0, "\\"},
      {"AppLog_Folder", REG_SZ, StringBytes(longestText), 0, longestText},
  };
  for (const CCase& c : cases) SetRaw(kDefaultKey, c.name, c.type, c.data);
  SetRaw(kDefaultKey, "MainViewSelectionbar", REG_DWORD, DwordBytes(0xFFFFFFFF));
  Start();
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    const COption* option = FindOption(QString::fromLatin1(c.name));
    ASSERT_NE(option, nullptr);
    if (option->type == EOptType::eDword)
      EXPECT_EQ(settings.*option->dwField, c.dwExpected);
    else
      EXPECT_EQ(settings.*option->strField, c.strExpected);
  }
  EXPECT_EQ(settings.MainViewSelectionbar, 0xFFFFFFFFu) << "a switch keeps any number";
}

// Both ends of a range are taken and the numbers just outside read as the default, one
// stored value at a time so that no other value hides a slip at a bound.
TEST_F(SettingsTest, RangeBoundsAreTakenAndTheNumbersBesideThemRefused) {
  struct CCase {
    const char* name;
    DWORD dwStored;
    DWORD dwExpected;
  } const cases[] = {
      {"MainViewActive", 0, 1},          {"MainViewActive", 4, 4},
      {"MainViewActive", 2, 2},          {"MainViewConfig", 0, 0},
      {"MainViewConfig", 9, 9},          {"MainViewConfig", 10, 7},
      {"MainViewFontSize", 4, 4},        {"MainViewFontSize", 0, 0},
      {"MainViewSplitterPercentY", 100, 100}, {"MainViewSplitterPercentY", 101, 50},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + std::to_string(c.dwStored));
    settings = Defaults();
    SetRaw(kDefaultKey, QString::fromLatin1(c.name), REG_DWORD, DwordBytes(c.dwStored));
    Start();
    const COption* option = FindOption(QString::fromLatin1(c.name));
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(settings.*option->dwField, c.dwExpected);
  }
}

TEST_F(SettingsTest, RefusedValueKeepsWhatTheLastLoadPutThere) {
  SetRaw(kDefaultKey, "MainViewConfig", REG_DWORD, DwordBytes(9));
  Start();
  EXPECT_EQ(settings.MainViewConfig, 9u);
  SetRaw(kDefaultKey, "MainViewConfig", REG_DWORD, DwordBytes(12));
  LoadSettings();
  EXPECT_EQ(settings.MainViewConfig, 9u);
}

TEST_F(SettingsTest, EmptyCurrentProfileUsesTheDefaultKey) {
  SetRaw("Software\\Tarvish\\Pinewood Browser", "CurrentProfile", REG_SZ, StringBytes(""));
  SetRaw(kDefaultKey, "MainViewConfig", REG_DWORD, DwordBytes(3));
  Start();
  EXPECT_EQ(settings.CurrentProfile, QString());
  EXPECT_EQ(EffectiveProfileName(), QStringLiteral("Default"));
  EXPECT_EQ(settings.MainViewConfig, 3u);
  settings.MainViewFontSize = 4;
  ASSERT_TRUE(SaveSettings());
  DWORD dwStored = 0;
  EXPECT_TRUE(ReadKeyDword(kDefaultKey, "MainViewFontSize", 0, &dwStored));
  EXPECT_EQ(dwStored, 4u);
}

TEST_F(SettingsTest, ClearTypeIsDecidedByTheSecondNameAndSavedUnderBoth) {
  struct {
    int nUse;     // -1: absent
    int nEnable;  // -1: absent
    DWORD dwExpected;
  } const cases[] = {{1, -1, 0}, {0, 1, 1}, {1, 0, 0}, {-1, -1, 0}, {-1, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nUse << "/" << c.nEnable);
    const QString key = kDefaultKey;
    HKEY parent = 0;
    plat::RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Tarvish\\Pinewood Browser", 0, KEY_ALL_ACCESS,
                       &parent);
    plat::RegDeleteKey(parent, "Default");
    plat::RegCloseKey(parent);
    if (c.nUse >= 0) SetRaw(key, "UseClearType", REG_DWORD, DwordBytes(DWORD(c.nUse)));
    if (c.nEnable >= 0)
      SetRaw(key, "EnableClearTypeFonts", REG_DWORD, DwordBytes(DWORD(c.nEnable)));
    Start();
    EXPECT_EQ(settings.UseClearType, c.dwExpected);
  }
  settings.UseClearType = 1;
  ASSERT_TRUE(SaveSettings());
  DWORD dwUse = 0;
  DWORD dwEnable = 0;
  ReadKeyDword(kDefaultKey, "UseClearType", 0, &dwUse);
  ReadKeyDword(kDefaultKey, "EnableClearTypeFonts", 0, &dwEnable);
  EXPECT_EQ(dwUse, 1u);
  EXPECT_EQ(dwEnable, 1u);
}

TEST_F(SettingsTest, RememberedSearchesCloseTheirGaps) {
  SetRaw(kDefaultKey, "SimpleSearchString 0", REG_SZ, StringBytes("alpha"));
  SetRaw(kDefaultKey, "SimpleSearchString 2", REG_SZ, StringBytes("beta"));
  SetRaw(kDefaultKey, "SimpleSearchString 5", REG_SZ, StringBytes("gamma"));
  SetRaw(kDefaultKey, "SimpleSearchString 10", REG_SZ, StringBytes("beyond ten"));
  SetRaw(kDefaultKey, "SimpleSearchString3", REG_SZ, StringBytes("no blank"));
  Start();
  EXPECT_EQ(settings.SimpleSearchStrings, QStringList({"alpha", "beta", "gamma"}));

  ASSERT_TRUE(SaveSettings());
  QString text;
  ReadKeyString(kDefaultKey, "SimpleSearchString 1", {}, &text);
  EXPECT_EQ(text, QStringLiteral("beta"));
  ReadKeyString(kDefaultKey, "SimpleSearchString 5", {}, &text);
  EXPECT_EQ(text, QString()) << "the stale fifth text is cleared";
  Start();
  EXPECT_EQ(settings.SimpleSearchStrings, QStringList({"alpha", "beta", "gamma"}));
}

// Values already in place are not written again, but whatever another program put there in
// between (another number, another type) is replaced by the set's value.
TEST_F(SettingsTest, SaveReplacesValuesChangedBehindItsBack) {
  Start();
  ASSERT_TRUE(SaveSettings());
  SetRaw(kDefaultKey, "MainViewConfig", REG_DWORD, DwordBytes(3));
  SetRaw(kDefaultKey, "MainListShowStripes", REG_SZ, StringBytes("1"));
  SetRaw(kDefaultKey, "RecycleBinPath", REG_EXPAND_SZ, StringBytes("\\RecycleBin"));
  ASSERT_TRUE(SaveSettings());
  DWORD dwValue = 0;
  EXPECT_TRUE(ReadKeyDword(kDefaultKey, "MainViewConfig", 0, &dwValue));
  EXPECT_EQ(dwValue, 7u);
  EXPECT_TRUE(ReadKeyDword(kDefaultKey, "MainListShowStripes", 0, &dwValue));
  EXPECT_EQ(dwValue, 1u);
  QString text;
  EXPECT_TRUE(ReadKeyString(kDefaultKey, "RecycleBinPath", {}, &text)) << "REG_SZ again";
  EXPECT_EQ(text, DefaultBin());
}

TEST_F(SettingsTest, SplitterIsSavedBySaveSplitterOnly) {
  Start();
  settings.MainViewSplitterPercentX = 30;
  settings.MainViewSplitterPercentY = 70;
  ASSERT_TRUE(SaveSettings());
  DWORD dwValue = 0;
  EXPECT_FALSE(ReadKeyDword(kDefaultKey, "MainViewSplitterPercentX", 0, &dwValue));
  ASSERT_TRUE(SaveSplitter());
  EXPECT_TRUE(ReadKeyDword(kDefaultKey, "MainViewSplitterPercentX", 0, &dwValue));
  EXPECT_EQ(dwValue, 30u);
  EXPECT_TRUE(ReadKeyDword(kDefaultKey, "MainViewSplitterPercentY", 0, &dwValue));
  EXPECT_EQ(dwValue, 70u);
}

// A settings sheet closed without OK reloads the options: every change made while it was open
// is undone, the log folder and switches included, whether or not the profile was ever saved.
TEST_F(SettingsTest, ReloadAfterCancelUndoesEveryChangeIncludingTheLog) {
  for (const bool bSavedBefore : {false, true}) {
    SCOPED_TRACE(bSavedBefore ? "saved profile" : "never saved");
    Start();
    MakeFolder("\\logs");
    if (bSavedBefore) {
      settings.MainViewFontSize = 3;
      settings.AppLog_Folder = "\\logs";
      ASSERT_TRUE(SaveSettings());
      Start();
    }
    OpenLog(LogOptionsFromSettings());
    const DWORD dwFontSize = settings.MainViewFontSize;
    const QString strFolder = settings.AppLog_Folder;

    // What the sheet does while it is open.
    settings.MainViewFontSize = 0;
    settings.MainListShowStripes = 0;
    SetLogSwitchOption(eLogErr, true);
    settings.AppLog_Folder = "\\elsewhere";
    RetargetLog(settings.AppLog_Folder);
    ASSERT_TRUE(CAppLog::Instance().Switch(eLogErr));

    LoadSettings(ELoadLog::eReloadLogOptions);
    EXPECT_EQ(settings.MainViewFontSize, dwFontSize);
    EXPECT_EQ(settings.MainListShowStripes, 1u);
    EXPECT_EQ(settings.AppLog_LogErr, 0u);
    EXPECT_FALSE(CAppLog::Instance().Switch(eLogErr));
    EXPECT_EQ(settings.AppLog_Folder, strFolder);
    EXPECT_EQ(CAppLog::Instance().Options().strFolder, strFolder);
    CloseLog();
  }
}

// A profile switch reloads the options but keeps the log as it was opened.
TEST_F(SettingsTest, PlainReloadKeepsTheLogOptions) {
  Start();
  SetLogSwitchOption(eLogWarn, true);
  settings.MainViewFontSize = 0;
  LoadSettings();
  EXPECT_EQ(settings.AppLog_LogWarn, 1u);
  EXPECT_EQ(settings.MainViewFontSize, 2u);
}

TEST_F(SettingsTest, ColumnWidths) {
  Start();
  ASSERT_TRUE(SaveColumnWidths("PanelListA_FS_", {120, 0, 40}));
  SetRaw(kDefaultKey, "PanelListA_FS_3", REG_DWORD, DwordBytes(0x80000000));
  DWORD dwStored = 0;
  EXPECT_TRUE(ReadKeyDword(kDefaultKey, "PanelListA_FS_0", 0, &dwStored));
  EXPECT_EQ(dwStored, 120u);

  QVector<int> widths = {10, 10, 10, 33, 50};
  LoadColumnWidths("PanelListA_FS_", &widths, 300);
  // Column 1 raised to one pixel, column 3's absurd width refused, column 4 keeps its current
  // width, and column 0 takes up the rest of the 300 pixels.
  EXPECT_EQ(widths, QVector<int>({300 - (1 + 40 + 33 + 50), 1, 40, 33, 50}));

  OverrideScreenSize(480, 640);
  widths = {10, 10, 10};
  LoadColumnWidths("PanelListA_FS_", &widths, 100);
  EXPECT_EQ(widths, QVector<int>({120, 2, 40})) << "no free width; two pixels minimum";

  widths = {10};
  LoadColumnWidths("PanelListB_REG_", &widths, 0);
  EXPECT_EQ(widths, QVector<int>({10})) << "nothing stored for another panel";
}

TEST_F(SettingsTest, StorageFlags) {
  const QString product = QStringLiteral("Software\\Tarvish\\Pinewood Browser");
  LoadStorageFlags();
  EXPECT_EQ(settings.DisableGetStorageIDIOCTL, 0u);
  SetRaw(product, "GetStorageIDIOCTLFailed", REG_DWORD, DwordBytes(1));
  LoadStorageFlags();
  EXPECT_EQ(settings.DisableGetStorageIDIOCTL, 1u);
  DWORD dwStored = 0;
  EXPECT_TRUE(ReadKeyDword(product, "DisableGetStorageIDIOCTL", 0, &dwStored));
  EXPECT_EQ(dwStored, 1u);
}

}  // namespace
