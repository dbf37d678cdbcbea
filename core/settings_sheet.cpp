#include "core/settings_sheet.h"

#include <QtGlobal>

#include "core/app_log.h"
#include "core/message_box.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "core/texts.h"

namespace {

using C = CSettings;

constexpr CSettPageInfo kPages[eSettPageCount] = {
    {"CDlg_Sett_General", 55215, 55216, "general"},
    {"CDlg_Sett_Debug", 55352, 55353, "debug"},
    {"CDlg_Sett_FileBrowser", 55213, 55214, "file_browser"},
    {"CDlg_Sett_RecyleBin", 55356, 55357, "recycle_bin"},
    {"CDlg_Sett_Fonts", 55202, 55203, "fonts"},
    {"CDlg_Sett_Tree", 55219, 55220, "tree"},
    {"CDlg_Sett_List", 55217, 55218, "list"},
    {"CDlg_Sett_Style", 55264, 55265, "style"},
    {"CDlg_Sett_Sounds", 55354, 55355, "sounds"},
    {"CDlg_Sett_Btn_Ctrl", 55350, 55351, "buttons"},
    {"CDlg_Sett_Advanced", 55293, 55294, "advanced"},
    {"CDlg_Sett_FileShred", 55359, 55360, "shred"},
};

CSettCheck One(int nPage, int nText, const char16_t* name, DWORD C::*pdw, unsigned flags,
               bool bInverted = false) {
  return {nPage, nText, name, pdw, nullptr, nullptr, bInverted, flags};
}
CSettCheck Two(int nPage, int nText, const char16_t* name, DWORD C::*pdw, const char16_t* second,
               DWORD C::*pdwSecond, unsigned flags, bool bInverted = false) {
  return {nPage, nText, name, pdw, second, pdwSecond, bInverted, flags};
}

std::vector<CSettCheck> MakeChecks() {
  constexpr unsigned kLog = eSettChg_Log;
  constexpr unsigned kTree = eSettChg_Trees;
  constexpr unsigned kTree16 = eSettChg_Trees | eSettChg_Contents;
  constexpr unsigned kList = eSettChg_Lists;
  constexpr unsigned kList16 = eSettChg_Lists | eSettChg_Contents;
  constexpr unsigned k16 = eSettChg_Contents;
  constexpr bool kInv = true;
  return {
      One(eSettPage_General, 901000, u"RememberLastOpenedFolder", &C::RememberLastOpenedFolder, 0),
      One(eSettPage_General, 901001, u"DoubleClickActivation", &C::DoubleClickActivation, 0),
      One(eSettPage_General, 901002, u"DragAndDrop", &C::DragAndDrop, 0),
      Two(eSettPage_General, 901003, u"MainListIgnoreCase", &C::MainListIgnoreCase,
          u"MainTreeIgnoreCase", &C::MainTreeIgnoreCase, k16),

      One(eSettPage_Debug, 901011, u"AppLog_LogEmerg", &C::AppLog_LogEmerg, kLog),
      One(eSettPage_Debug, 901012, u"AppLog_LogAlert", &C::AppLog_LogAlert, kLog),
      One(eSettPage_Debug, 901013, u"AppLog_LogCrit", &C::AppLog_LogCrit, kLog),
      One(eSettPage_Debug, 901014, u"AppLog_LogErr", &C::AppLog_LogErr, kLog),
      One(eSettPage_Debug, 901015, u"AppLog_LogWarn", &C::AppLog_LogWarn, kLog),
      One(eSettPage_Debug, 901016, u"AppLog_LogNotice", &C::AppLog_LogNotice, kLog),
      One(eSettPage_Debug, 901017, u"AppLog_LogInfo", &C::AppLog_LogInfo, kLog),
      One(eSettPage_Debug, 901018, u"AppLog_LogDebug", &C::AppLog_LogDebug, kLog),
      One(eSettPage_Debug, 901019, u"AppLog_TruncateLog", &C::AppLog_TruncateLog, kLog),

      Two(eSettPage_FileBrowser, 901020, u"MainTreeShowSystem", &C::MainTreeShowSystem,
          u"MainListShowSystem", &C::MainListShowSystem, k16, kInv),
      Two(eSettPage_FileBrowser, 901021, u"MainTreeShowInRom", &C::MainTreeShowInRom,
          u"MainListShowInRom", &C::MainListShowInRom, k16, kInv),
      Two(eSettPage_FileBrowser, 901022, u"MainTreeShowHidden", &C::MainTreeShowHidden,
          u"MainListShowHidden", &C::MainListShowHidden, k16, kInv),
      Two(eSettPage_FileBrowser, 901023, u"MainTreeShowExt", &C::MainTreeShowExt,
          u"MainListShowExt", &C::MainListShowExt, k16, kInv),
      Two(eSettPage_FileBrowser, 901024, u"MainTreeShowRO", &C::MainTreeShowRO,
          u"MainListShowRO", &C::MainListShowRO, k16, kInv),
      One(eSettPage_FileBrowser, 901025, u"ShowFolderTotalSizes", &C::ShowFolderTotalSizes, k16),

      One(eSettPage_RecycleBin, 901030, u"UseRecycleBin", &C::UseRecycleBin, 0, kInv),
      One(eSettPage_RecycleBin, 901031, u"RecycleBinCompress", &C::RecycleBinCompress, 0, kInv),

      One(eSettPage_Fonts, 901043, u"MainViewFontIsBold", &C::MainViewFontIsBold, eSettChg_Font),
      One(eSettPage_Fonts, 901044, u"MainViewFontIsItalic", &C::MainViewFontIsItalic,
          eSettChg_Font),
      Two(eSettPage_Fonts, 901045, u"EnableClearTypeFonts", &C::UseClearType, u"UseClearType",
          &C::UseClearType, eSettChg_Font | eSettChg_ClearType),

      One(eSettPage_Tree, 901050, u"MainTreeShowFiles", &C::MainTreeShowFiles, kTree16),
      Two(eSettPage_Tree, 901051, u"MainTreeBigIconsA", &C::MainTreeBigIconsA,
          u"MainTreeBigIconsB", &C::MainTreeBigIconsB, kTree16),
      One(eSettPage_Tree, 901052, u"MainTreeHasLines", &C::MainTreeHasLines, kTree),
      One(eSettPage_Tree, 901053, u"MainTreeShowLinesAtRoot", &C::MainTreeShowLinesAtRoot, kTree),
      One(eSettPage_Tree, 901054, u"MainTreeHasButtons", &C::MainTreeHasButtons, kTree),
      One(eSettPage_Tree, 901055, u"MainTreeSingleExpand", &C::MainTreeSingleExpand, kTree),

      One(eSettPage_List, 901060, u"MainListShowParent", &C::MainListShowParent, k16),
      One(eSettPage_List, 901061, u"MainListShowFolders", &C::MainListShowFolders, k16),
      One(eSettPage_List, 901062, u"MainListMultiSelect", &C::MainListMultiSelect, 0),
      One(eSettPage_List, 901063, u"MainListFullRowSelect", &C::MainListFullRowSelect, kList),
      One(eSettPage_List, 901064, u"MainListShowStripes", &C::MainListShowStripes, kList),
      One(eSettPage_List, 901065, u"MainListAutoSizeColumn", &C::MainListAutoSizeColumn, kList16),
      Two(eSettPage_List, 901066, u"MainListUseBigIconsA", &C::MainListUseBigIconsA,
          u"MainListUseBigIconsB", &C::MainListUseBigIconsB, kList16),
      One(eSettPage_List, 901067, u"MainListHeaderDrag", &C::MainListHeaderDrag, kList),

      One(eSettPage_Style, 901070, u"PersonalizeFolderIcons", &C::PersonalizeFolderIcons,
          eSettChg_Contents | eSettChg_Lists | eSettChg_Trees),

      One(eSettPage_Sounds, 901080, u"Enable_Sounds", &C::Enable_Sounds, 0),

      One(eSettPage_BtnCtrl, 901090, u"Btn_Is_Flat", &C::Btn_Is_Flat, 0),
      One(eSettPage_BtnCtrl, 901091, u"Btn_Draw_Flat_Border", &C::Btn_Draw_Flat_Border, 0),
      One(eSettPage_BtnCtrl, 901092, u"Btn_Draw_Flat_Focus", &C::Btn_Draw_Flat_Focus, 0),
      One(eSettPage_BtnCtrl, 901093, u"Btn_Has_Icons", &C::Btn_Has_Icons, 0),

      One(eSettPage_Advanced, 901100, u"MainListDblBuff", &C::MainListDblBuff, 0),

      One(eSettPage_FileShred, 901110, u"SDelZeroFillOnly", &C::SDelZeroFillOnly,
          eSettChg_Shred, kInv),
      One(eSettPage_FileShred, 901111, u"SDelFileNames", &C::SDelFileNames, eSettChg_Shred),
  };
}

}  // namespace

unsigned& SettingsChangeFlags() {
  static unsigned uFlags = 0;
  return uFlags;
}

const CSettPageInfo& SettPageInfo(int nPage) { return kPages[qBound(0, nPage, eSettPageCount - 1)]; }

const std::vector<CSettCheck>& SettChecks() {
  static const std::vector<CSettCheck> checks = MakeChecks();
  return checks;
}

bool SettCheckState(const CSettCheck& check) {
  const bool bOn = settings.*check.pdwOption != 0;
  return check.bInverted ? !bOn : bOn;
}

void SettCheckChanged(const CSettCheck& check, bool bChecked) {
  const DWORD dwValue = (check.bInverted ? !bChecked : bChecked) ? 1 : 0;
  settings.*check.pdwOption = dwValue;
  if (check.pdwSecond) settings.*check.pdwSecond = dwValue;
  // The log's switches follow their options at once, as the running log reads them.
  static constexpr struct {
    DWORD CSettings::*pdw;
    DWORD dwLevel;
  } kLevels[] = {
      {&C::AppLog_LogEmerg, eLogEmerg}, {&C::AppLog_LogAlert, eLogAlert},
      {&C::AppLog_LogCrit, eLogCrit},   {&C::AppLog_LogErr, eLogErr},
      {&C::AppLog_LogWarn, eLogWarn}, {&C::AppLog_LogNotice, eLogNotice},
      {&C::AppLog_LogInfo, eLogInfo},   {&C::AppLog_LogDebug, eLogDebug},
  };
  for (const auto& level : kLevels)
    if (level.pdw == check.pdwOption) SetLogSwitchOption(level.dwLevel, dwValue != 0);
  SettingsChangeFlags() |= check.flags;
}

int ViewFontPoints(DWORD dwBase, DWORD dwStep, int nDesktopPoints) {
  const int nPoints = nDesktopPoints + (int(dwBase) - 7) + (int(qMin<DWORD>(dwStep, 4)) - 2) * 2;
  return qMax(5, nPoints);
}

int FontBasePosition() {
  return qBound(0, int(settings.MainViewFontBase) - kFontBaseOffset, kFontBaseEntries - 1);
}

void FontBaseChosen(int nPosition) {
  settings.MainViewFontBase = DWORD(qMax(0, nPosition) + kFontBaseOffset);
  SettingsChangeFlags() |= eSettChg_Font;
}

void FontSizeChosen(int nPosition) {
  settings.MainViewFontSize = DWORD(qBound(0, nPosition, kFontSizeEntries - 1));
  SettingsChangeFlags() |= eSettChg_Font;
}

int ShredPassesPosition() {
  if (settings.SDelNumPasses == 0) settings.SDelNumPasses = 1;
  return int(qMin<DWORD>(settings.SDelNumPasses, kMaxShredPasses)) - 1;
}

void ShredPassesChosen(int nPosition) {
  settings.SDelNumPasses = DWORD(qBound(0, nPosition, kMaxShredPasses - 1) + 1);
  SettingsChangeFlags() |= eSettChg_Shred;
}

bool LogFolderEdited(const QString& strFolder) {
  if (strFolder.compare(settings.AppLog_Folder, Qt::CaseInsensitive) == 0) return false;
  settings.AppLog_Folder = strFolder;
  SettingsChangeFlags() |= eSettChg_Log;
  return true;
}

void RecycleBinFolderEdited(const QString& strFolder) { settings.RecycleBinPath = strFolder; }

void ReloadSoundSettings() {
  DWORD dwOn = settings.Enable_Sounds;
  if (ReadProfileDword(QStringLiteral("Enable_Sounds"), settings.Enable_Sounds, &dwOn))
    settings.Enable_Sounds = dwOn;
}

void ShowClearTypeNotice() {
  MsgInfo(core::Text(55205).arg(QString::fromUtf16(kProductName)), core::Text(55206),
          core::Text(55207));
}

void ApplySettingsClose(bool bOk, unsigned flags, ISettingsRefresh& refresh) {
  if (bOk)
    SaveSettings();
  else
    LoadSettings(ELoadLog::eKeepLogOptions);
  if (flags & eSettChg_Log) refresh.RetargetLog();
  if (flags) refresh.ReloadSounds();
  if (flags & eSettChg_ClearType) {
    refresh.RecreateFonts();
    refresh.Relayout();
    refresh.ShowClearTypeNotice();
  } else if (flags & eSettChg_Font) {
    refresh.Relayout();
  }
  if (flags & eSettChg_Lists) refresh.RefreshLists();
  if (flags & eSettChg_Trees) refresh.RefreshTrees();
  if (flags & eSettChg_Contents) refresh.RefreshContents();
  if (flags & eSettChg_Trees) refresh.ApplyTreeStyles();
  refresh.RebuildMenus();
}
