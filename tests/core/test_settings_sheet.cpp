// What the settings sheet edits, without its widgets: every box writes its option(s) with its
// change flags, the lists' positions, and the closing: save or reload, and the refreshes in
// their order.
#include <gtest/gtest.h>

#include <map>

#include "core/app_log.h"
#include "core/favorites.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_screen.h"
#include "core/settings_sheet.h"
#include "core/settings_store.h"
#include "support/temp_root.h"

namespace {

class SettingsSheetTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    OverrideScreenSize(240, 320);
    settings.CurrentProfile = QStringLiteral("Default");
    LoadDefaults();
    LoadSettings();
    SettingsChangeFlags() = 0;
  }
  void TearDown() override {
    CloseLog();
    TempRootAndHive::TearDown();
  }
  DWORD Stored(const char* name) {
    DWORD dw = 0xDEAD;
    ReadProfileDword(QString::fromLatin1(name), 0xDEAD, &dw);
    return dw;
  }
};

// The boxes as the pages list them: page, first option, second option, inverted, flags.
struct CExpectedBox {
  int nPage;
  const char* second;
  bool bInverted;
  unsigned flags;
};
const std::map<std::string, CExpectedBox> kExpected = {
    {"RememberLastOpenedFolder", {eSettPage_General, nullptr, false, 0}},
    {"DoubleClickActivation", {eSettPage_General, nullptr, false, 0}},
    {"DragAndDrop", {eSettPage_General, nullptr, false, 0}},
    {"MainListIgnoreCase", {eSettPage_General, "MainTreeIgnoreCase", false, 16}},
    {"AppLog_LogEmerg", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogAlert", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogCrit", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogErr", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogWarn", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogNotice", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogInfo", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_LogDebug", {eSettPage_Debug, nullptr, false, 1}},
    {"AppLog_TruncateLog", {eSettPage_Debug, nullptr, false, 1}},
    {"MainTreeShowSystem", {eSettPage_FileBrowser, "MainListShowSystem", true, 16}},
    {"MainTreeShowInRom", {eSettPage_FileBrowser, "MainListShowInRom", true, 16}},
    {"MainTreeShowHidden", {eSettPage_FileBrowser, "MainListShowHidden", true, 16}},
    {"MainTreeShowExt", {eSettPage_FileBrowser, "MainListShowExt", true, 16}},
    {"MainTreeShowRO", {eSettPage_FileBrowser, "MainListShowRO", true, 16}},
    {"ShowFolderTotalSizes", {eSettPage_FileBrowser, nullptr, false, 16}},
    {"UseRecycleBin", {eSettPage_RecycleBin, nullptr, true, 0}},
    {"RecycleBinCompress", {eSettPage_RecycleBin, nullptr, true, 0}},
    {"MainViewFontIsBold", {eSettPage_Fonts, nullptr, false, 4}},
    {"MainViewFontIsItalic", {eSettPage_Fonts, nullptr, false, 4}},
    {"EnableClearTypeFonts", {eSettPage_Fonts, "UseClearType", false, 12}},
    {"MainTreeShowFiles", {eSettPage_Tree, nullptr, false, 80}},
    {"MainTreeBigIconsA", {eSettPage_Tree, "MainTreeBigIconsB", false, 80}},
    {"MainTreeHasLines", {eSettPage_Tree, nullptr, false, 64}},
    {"MainTreeShowLinesAtRoot", {eSettPage_Tree, nullptr, false, 64}},
    {"MainTreeHasButtons", {eSettPage_Tree, nullptr, false, 64}},
    {"MainTreeSingleExpand", {eSettPage_Tree, nullptr, false, 64}},
    {"MainListShowParent", {eSettPage_List, nullptr, false, 16}},
    {"MainListShowFolders", {eSettPage_List, nullptr, false, 16}},
    {"MainListMultiSelect", {eSettPage_List, nullptr, false, 0}},
    {"MainListFullRowSelect", {eSettPage_List, nullptr, false, 32}},
    {"MainListShowStripes", {eSettPage_List, nullptr, false, 32}},
    {"MainListAutoSizeColumn", {eSettPage_List, nullptr, false, 48}},
    {"MainListUseBigIconsA", {eSettPage_List, "MainListUseBigIconsB", false, 48}},
    {"MainListHeaderDrag", {eSettPage_List, nullptr, false, 32}},
    {"PersonalizeFolderIcons", {eSettPage_Style, nullptr, false, 112}},
    {"Enable_Sounds", {eSettPage_Sounds, nullptr, false, 0}},
    {"Btn_Is_Flat", {eSettPage_BtnCtrl, nullptr, false, 0}},
    {"Btn_Draw_Flat_Border", {eSettPage_BtnCtrl, nullptr, false, 0}},
    {"Btn_Draw_Flat_Focus", {eSettPage_BtnCtrl, nullptr, false, 0}},
    {"Btn_Has_Icons", {eSettPage_BtnCtrl, nullptr, false, 0}},
    {"MainListDblBuff", {eSettPage_Advanced, nullptr, false, 0}},
    {"SDelZeroFillOnly", {eSettPage_FileShred, nullptr, true, 2}},
    {"SDelFileNames", {eSettPage_FileShred, nullptr, false, 2}},
};

TEST_F(SettingsSheetTest, EveryBoxWritesItsOptionsWithItsFlags) {
  ASSERT_EQ(SettChecks().size(), kExpected.size());
  for (const CSettCheck& check : SettChecks()) {
    const std::string name = QString::fromUtf16(check.optionName).toStdString();
    SCOPED_TRACE(name);
    const auto found = kExpected.find(name);
    ASSERT_NE(found, kExpected.end());
    const CExpectedBox& want = found->second;
    EXPECT_EQ(check.nPage, want.nPage);
    EXPECT_EQ(check.bInverted, want.bInverted);
    if (want.second) {
      ASSERT_NE(check.secondName, nullptr);
      EXPECT_EQ(QString::fromUtf16(check.secondName).toStdString(), want.second);
    } else {
      EXPECT_EQ(check.secondName, nullptr);
    }
    // Each state in turn, from the other one, as a user clicks.
    for (bool bChecked : {true, false, true}) {
      SettingsChangeFlags() = 0;
      settings.*check.pdwOption = (want.bInverted == bChecked) ? 1 : 0;
      if (check.pdwSecond) settings.*check.pdwSecond = settings.*check.pdwOption;
      EXPECT_NE(SettCheckState(check), bChecked);
      SettCheckChanged(check, bChecked);
      const DWORD dwWant = (want.bInverted ? !bChecked : bChecked) ? 1 : 0;
      EXPECT_EQ(settings.*check.pdwOption, dwWant);
      if (check.pdwSecond) {
        EXPECT_EQ(settings.*check.pdwSecond, dwWant);
      }
      EXPECT_EQ(SettCheckState(check), bChecked);
      EXPECT_EQ(SettingsChangeFlags(), want.flags);
    }
  }
  // The log boxes drive the running log at once.
  OpenLog(LogOptionsFromSettings());
  for (const CSettCheck& check : SettChecks())
    if (QString::fromUtf16(check.optionName) == "AppLog_LogErr") {
      SettCheckChanged(check, true);
      EXPECT_TRUE(IsLogOn(eLogErr));
      SettCheckChanged(check, false);
      EXPECT_FALSE(IsLogOn(eLogErr));
    }
}

TEST_F(SettingsSheetTest, PagesAreTwelveInTabOrder) {
  const int kTabs[] = {55215, 55352, 55213, 55356, 55202, 55219,
                       55217, 55264, 55354, 55350, 55293, 55359};
  for (int n = 0; n < eSettPageCount; ++n) EXPECT_EQ(SettPageInfo(n).nTabText, kTabs[n]) << n;
  EXPECT_STREQ(SettPageInfo(eSettPage_RecycleBin).className, "CDlg_Sett_RecyleBin");
  EXPECT_STREQ(SettPageInfo(eSettPage_FileShred).className, "CDlg_Sett_FileShred");
}

TEST_F(SettingsSheetTest, ListsStoreTheirPositions) {
  FontBaseChosen(2);  // the third entry
  EXPECT_EQ(settings.MainViewFontBase, 6u);
  EXPECT_EQ(FontBasePosition(), 2);
  EXPECT_EQ(SettingsChangeFlags(), unsigned(eSettChg_Font));
  settings.MainViewFontBase = 40;  // beyond the list: its last entry
  EXPECT_EQ(FontBasePosition(), kFontBaseEntries - 1);
  EXPECT_EQ(ViewFontPoints(7, 2, 10), 10);
  EXPECT_EQ(ViewFontPoints(9, 4, 10), 16);
  EXPECT_EQ(ViewFontPoints(4, 0, 6), 5);  // never below 5

  SettingsChangeFlags() = 0;
  settings.SDelNumPasses = 0;
  EXPECT_EQ(ShredPassesPosition(), 0);
  EXPECT_EQ(settings.SDelNumPasses, 1u);  // shown and stored as 1
  EXPECT_EQ(SettingsChangeFlags(), 0u);   // showing is no change
  ShredPassesChosen(15);
  EXPECT_EQ(settings.SDelNumPasses, 16u);
  EXPECT_EQ(SettingsChangeFlags(), unsigned(eSettChg_Shred));
  settings.SDelNumPasses = 99;
  EXPECT_EQ(ShredPassesPosition(), 15);
}

TEST_F(SettingsSheetTest, LogFolderIsTakenOnlyWhenItDiffersBeyondCase) {
  settings.AppLog_Folder = QStringLiteral("\\Logs");
  EXPECT_FALSE(LogFolderEdited(QStringLiteral("\\LOGS")));
  EXPECT_EQ(settings.AppLog_Folder, "\\Logs");
  EXPECT_EQ(SettingsChangeFlags(), 0u);
  EXPECT_TRUE(LogFolderEdited(QStringLiteral("\\Logs2")));
  EXPECT_EQ(settings.AppLog_Folder, "\\Logs2");
  EXPECT_EQ(SettingsChangeFlags(), unsigned(eSettChg_Log));
}

class CRecorder : public ISettingsRefresh {
 public:
  void RetargetLog() override { calls += "log "; }
  void ReloadSounds() override { calls += "sounds "; }
  void RecreateFonts() override { calls += "fonts "; }
  void Relayout() override { calls += "layout "; }
  void ShowClearTypeNotice() override { calls += "notice "; }
  void RefreshLists() override { calls += "lists "; }
  void RefreshTrees() override { calls += "trees "; }
  void RefreshContents() override { calls += "contents "; }
  void ApplyTreeStyles() override { calls += "styles "; }
  void RebuildMenus() override { calls += "menus"; }
  std::string calls;
};

TEST_F(SettingsSheetTest, RefreshesComeInTheirOrder) {
  const struct {
    unsigned flags;
    const char* calls;
  } cases[] = {
      {0, "menus"},
      {2, "sounds menus"},
      {4, "sounds layout menus"},
      {12, "sounds fonts layout notice menus"},
      {112, "sounds lists trees contents styles menus"},
      {1 | 4 | 8 | 16 | 32 | 64, "log sounds fonts layout notice lists trees contents styles menus"},
  };
  for (const auto& c : cases) {
    for (bool bOk : {true, false}) {
      CRecorder recorder;
      ApplySettingsClose(bOk, c.flags, recorder);
      EXPECT_EQ(recorder.calls, c.calls) << c.flags << " ok " << bOk;
    }
  }
}

TEST_F(SettingsSheetTest, CancelReloadsAllButTheLogOptions) {
  settings.MainListShowSystem = 0;
  settings.MainViewFontSize = 4;
  settings.AppLog_LogErr = 1;
  CRecorder recorder;
  ApplySettingsClose(false, eSettChg_Contents | eSettChg_Log, recorder);
  EXPECT_EQ(settings.MainListShowSystem, 1u);
  EXPECT_EQ(settings.MainViewFontSize, 2u);
  EXPECT_EQ(settings.AppLog_LogErr, 1u);  // stays on in memory
  EXPECT_EQ(Stored("AppLog_LogErr"), 0xDEADu);
  SaveSettings();
  EXPECT_EQ(Stored("AppLog_LogErr"), 1u);  // and the next save stores it
}

TEST_F(SettingsSheetTest, OkSavesAndClearTypeUnderBothNames) {
  settings.UseClearType = 1;
  settings.MainListShowStripes = 0;
  CRecorder recorder;
  ApplySettingsClose(true, eSettChg_Font | eSettChg_ClearType, recorder);
  EXPECT_EQ(Stored("EnableClearTypeFonts"), 1u);
  EXPECT_EQ(Stored("UseClearType"), 1u);
  EXPECT_EQ(Stored("MainListShowStripes"), 0u);
}

TEST_F(SettingsSheetTest, FavoritesAreStoredAsTheyAreRead) {
  ASSERT_TRUE(WriteProfileDword("FavFS", 0));
  ASSERT_TRUE(SaveFavorites({CFavorite{2, "Docs", "\\Docs", 0, 0},
                             CFavorite{11, "", "Software\\X", 2, 7}}));
  EXPECT_EQ(Stored("NumFavorites"), 2u);
  EXPECT_EQ(Stored("FavT1"), 11u);
  EXPECT_EQ(Stored("FavD1"), 2u);
  EXPECT_EQ(Stored("FavCIDxxx1"), 7u);
  QString strPath;
  ReadProfileString("FavSD0", "", &strPath);
  EXPECT_EQ(strPath, "\\Docs");
  ASSERT_EQ(favorites.size(), 2);
  EXPECT_EQ(favorites[1].strName, "Software\\X");  // an empty name shows the path
  const QVector<CFavorite> stored = StoredFavorites();
  ASSERT_EQ(stored.size(), 2);
  EXPECT_EQ(stored[1].strName, "");  // as stored
  // Fewer favorites: the count shrinks, the old values stay unused.
  ASSERT_TRUE(SaveFavorites({stored[1]}));
  EXPECT_EQ(Stored("NumFavorites"), 1u);
  ASSERT_EQ(favorites.size(), 1);
  EXPECT_EQ(favorites[0].dwType, 11u);
}

}  // namespace
