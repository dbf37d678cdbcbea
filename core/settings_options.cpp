#include "core/settings_options.h"

#include <algorithm>

#include "core/app_log.h"
#include "core/settings_screen.h"
#include "platform/system.h"

namespace {

using R = CDwordRule;
constexpr EOptType D = EOptType::eDword;
constexpr EOptType S = EOptType::eString;
constexpr EOptGroup kAppearance = EOptGroup::eAppearance;
constexpr EOptGroup kLog = EOptGroup::eLog;
constexpr EOptGroup kProfile = EOptGroup::eProfile;

// A DWORD option with one default, or with a second one for a high-resolution screen.
COption Dw(const char16_t* name, DWORD CSettings::*field, DWORD dwDefault,
           EOptGroup group = kProfile, CDwordRule rule = R::Any(), unsigned flags = eOptNone) {
  return {name, D, group, field, nullptr, dwDefault, dwDefault, nullptr, rule, flags};
}
COption DwHiRes(const char16_t* name, DWORD CSettings::*field, DWORD dwDefault,
                DWORD dwDefaultHiRes, EOptGroup group = kProfile, unsigned flags = eOptNone) {
  return {name, D, group, field, nullptr, dwDefault, dwDefaultHiRes, nullptr, R::Any(), flags};
}
COption Str(const char16_t* name, QString CSettings::*field, const char16_t* strDefault,
            EOptGroup group = kProfile, unsigned flags = eOptNone) {
  return {name, S, group, nullptr, field, 0, 0, strDefault, R::Any(), flags};
}

// The options in their load order: the appearance options that start-up reads early, then
// the log options, then the others in the order of the store's tables. The ClearType switch
// is read first as "UseClearType" and again, later, as "EnableClearTypeFonts" into the same
// field, so that the second name decides (absent meaning off).
std::vector<COption> BuildTable() {
  using C = CSettings;
  return {
      // Appearance, read at start before the rest.
      DwHiRes(u"UseClearType", &C::UseClearType, 0, 1, kAppearance, eOptResetWhenMissing),
      Dw(u"PrgCtrl_Is_Gradient", &C::PrgCtrl_Is_Gradient, 1, kAppearance),
      Dw(u"PrgCtrl_Show_Status", &C::PrgCtrl_Show_Status, 1, kAppearance),
      Dw(u"PrgCtrl_Show_Total_Time", &C::PrgCtrl_Show_Total_Time, 0, kAppearance),
      Dw(u"Btn_Is_Flat", &C::Btn_Is_Flat, 0, kAppearance),
      Dw(u"Btn_Draw_Flat_Border", &C::Btn_Draw_Flat_Border, 1, kAppearance),
      Dw(u"Btn_Draw_Flat_Focus", &C::Btn_Draw_Flat_Focus, 0, kAppearance),
      Dw(u"Btn_Has_Icons", &C::Btn_Has_Icons, 1, kAppearance),
      Dw(u"Enable_Sounds", &C::Enable_Sounds, 1, kAppearance),

      // Log.
      Str(u"AppLog_Folder", &C::AppLog_Folder, nullptr, kLog, eOptDefaultExeFolder),
      Dw(u"AppLog_TruncateLog", &C::AppLog_TruncateLog, 0, kLog),
      Dw(u"AppLog_LogEmerg", &C::AppLog_LogEmerg, 0, kLog),
      Dw(u"AppLog_LogAlert", &C::AppLog_LogAlert, 0, kLog),
      Dw(u"AppLog_LogCrit", &C::AppLog_LogCrit, 0, kLog),
      Dw(u"AppLog_LogErr", &C::AppLog_LogErr, 0, kLog),
      Dw(u"AppLog_LogWarn", &C::AppLog_LogWarn, 0, kLog),
      Dw(u"AppLog_LogNotice", &C::AppLog_LogNotice, 0, kLog),
      Dw(u"AppLog_LogInfo", &C::AppLog_LogInfo, 0, kLog),
      Dw(u"AppLog_LogDebug", &C::AppLog_LogDebug, 0, kLog),

      // General and appearance.
      Dw(u"MainViewToolbar", &C::MainViewToolbar, 1),
      Dw(u"MainViewHeaderbar", &C::MainViewHeaderbar, 1),
      Dw(u"MainViewAddressbar", &C::MainViewAddressbar, 1),
      Dw(u"MainViewSearchbar", &C::MainViewSearchbar, 0),
      Dw(u"MainViewSelectionbar", &C::MainViewSelectionbar, 0),
      Dw(u"MainViewStatusbar", &C::MainViewStatusbar, 0),
      Dw(u"MainViewConfig", &C::MainViewConfig, 7, kProfile, R::Range(0, 9)),
      Dw(u"MainViewActive", &C::MainViewActive, 1, kProfile, R::Range(1, 4)),
      // A position beyond the whole window is no position: such a value is refused too.
      Dw(u"MainViewSplitterPercentX", &C::MainViewSplitterPercentX, 50, kProfile, R::Range(0, 100),
         eOptSplitter),
      Dw(u"MainViewSplitterPercentY", &C::MainViewSplitterPercentY, 50, kProfile, R::Range(0, 100),
         eOptSplitter),
      Dw(u"MainViewFontSize", &C::MainViewFontSize, 2, kProfile, R::Range(0, 4)),
      DwHiRes(u"MainViewFontBase", &C::MainViewFontBase, 7, 6),
      Dw(u"MainViewFontIsBold", &C::MainViewFontIsBold, 0),
      Dw(u"MainViewFontIsItalic", &C::MainViewFontIsItalic, 0),
      Dw(u"EnableClearTypeFonts", &C::UseClearType, 0, kProfile, R::Any(), eOptResetWhenMissing),
      Dw(u"DoubleClickActivation", &C::DoubleClickActivation, 0),
      Dw(u"RememberLastOpenedFolder", &C::RememberLastOpenedFolder, 1),
      Dw(u"DragAndDrop", &C::DragAndDrop, 0),
      Dw(u"ShowFolderTotalSizes", &C::ShowFolderTotalSizes, 1),
      Dw(u"PersonalizeFolderIcons", &C::PersonalizeFolderIcons, 1),
      Dw(u"MainViewPasteInTappedFolder", &C::MainViewPasteInTappedFolder, 1),
      Dw(u"RegDigitBase", &C::RegDigitBase, 2),

      // Tree views.
      Dw(u"MainTreeShowFiles", &C::MainTreeShowFiles, 0),
      Dw(u"MainTreeShowSystem", &C::MainTreeShowSystem, 1),
      Dw(u"MainTreeShowHidden", &C::MainTreeShowHidden, 1),
      Dw(u"MainTreeShowInRom", &C::MainTreeShowInRom, 1),
      Dw(u"MainTreeShowRO", &C::MainTreeShowRO, 1),
      Dw(u"MainTreeShowZipFolder", &C::MainTreeShowZipFolder, 1),
      Dw(u"MainTreeIgnoreCase", &C::MainTreeIgnoreCase, 1),
      Dw(u"MainTreeShowExt", &C::MainTreeShowExt, 1),
      DwHiRes(u"MainTreeBigIconsA", &C::MainTreeBigIconsA, 0, 1),
      DwHiRes(u"MainTreeBigIconsB", &C::MainTreeBigIconsB, 0, 1),
      Dw(u"MainTreeACacheType", &C::MainTreeACacheType, 2, kProfile, R::OneOf(2, 9, 10, 11)),
      Dw(u"MainTreeBCacheType", &C::MainTreeBCacheType, 2, kProfile, R::OneOf(2, 9, 10, 11)),
      Str(u"MainTreeACacheStr1", &C::MainTreeACacheStr1, u"\\"),
      Str(u"MainTreeBCacheStr1", &C::MainTreeBCacheStr1, u"\\"),
      Dw(u"MainTreeAHKey", &C::MainTreeAHKey, 0),
      Dw(u"MainTreeBHKey", &C::MainTreeBHKey, 0),
      Dw(u"MainTreeHasLines", &C::MainTreeHasLines, 1),
      Dw(u"MainTreeShowLinesAtRoot", &C::MainTreeShowLinesAtRoot, 1),
      Dw(u"MainTreeHasButtons", &C::MainTreeHasButtons, 1),
      Dw(u"MainTreeSingleExpand", &C::MainTreeSingleExpand, 0),

      // List views.
      Dw(u"MainListDPadSupport", &C::MainListDPadSupport, 1),
      Dw(u"MainListShowFolders", &C::MainListShowFolders, 1),
      Dw(u"MainListShowSystem", &C::MainListShowSystem, 1),
      Dw(u"MainListShowHidden", &C::MainListShowHidden, 1),
      Dw(u"MainListShowInRom", &C::MainListShowInRom, 1),
      Dw(u"MainListShowRO", &C::MainListShowRO, 1),
      Dw(u"MainListIgnoreCase", &C::MainListIgnoreCase, 1),
      Dw(u"MainListShowExt", &C::MainListShowExt, 1),
      Dw(u"MainListShowParent", &C::MainListShowParent, 1),
      Dw(u"MainListShowKeys", &C::MainListShowKeys, 1),
      Dw(u"MainListRegShowParent", &C::MainListRegShowParent, 1),
      Dw(u"MainListShowHeaderA", &C::MainListShowHeaderA, 1),
      Dw(u"MainListShowHeaderB", &C::MainListShowHeaderB, 1),
      Dw(u"MainListModeListViewA", &C::MainListModeListViewA, 1, kProfile, R::Range(0, 3)),
      Dw(u"MainListModeListViewB", &C::MainListModeListViewB, 1, kProfile, R::Range(0, 3)),
      DwHiRes(u"MainListUseBigIconsA", &C::MainListUseBigIconsA, 0, 1),
      DwHiRes(u"MainListUseBigIconsB", &C::MainListUseBigIconsB, 0, 1),
      Dw(u"MainListAutoSizeColumn", &C::MainListAutoSizeColumn, 0),
      Dw(u"MainListFullRowSelect", &C::MainListFullRowSelect, 1),
      Dw(u"MainListMultiSelect", &C::MainListMultiSelect, 0),
      Dw(u"MainListShowStripes", &C::MainListShowStripes, 1),
      Dw(u"MainListHeaderDrag", &C::MainListHeaderDrag, 1),
      Dw(u"MainListDblBuff", &C::MainListDblBuff, 0),

      // File operations and search.
      Dw(u"SDelFileNames", &C::SDelFileNames, 0),
      Dw(u"SDelZeroFillOnly", &C::SDelZeroFillOnly, 1),
      Dw(u"SDelNumPasses", &C::SDelNumPasses, 1),
      Dw(u"UseRecycleBin", &C::UseRecycleBin, 1),
      Dw(u"RecycleBinCompress", &C::RecycleBinCompress, 1),
      Str(u"RecycleBinPath", &C::RecycleBinPath, kDefaultRecycleBinPath, kProfile,
          eOptDefaultInProgramFolder),
      Dw(u"SimpleSearchRoot", &C::SimpleSearchRoot, 1),
  };
}

// The numbered per-profile values without a field of their own: "<prefix><n>" for n from 0
// up to nMax (inclusive; -1 for no limit).
struct CNumberedSpec {
  const char16_t* prefix;
  int nMax;
  EOptType type;
  DWORD dwDefault;
};
constexpr CNumberedSpec kNumbered[] = {
    {u"SimpleSearchString ", kMaxRememberedSearches - 1, EOptType::eString, 0},
    {u"DS", -1, EOptType::eDword, 0xFFFFFFFF},
    {u"FavT", -1, EOptType::eDword, 0},
    {u"FavN", -1, EOptType::eString, 0},
    {u"FavSD", -1, EOptType::eString, 0},
    {u"FavD", -1, EOptType::eDword, 0},
    {u"FavCIDxxx", -1, EOptType::eDword, 0},
};

// The number after a prefix: plain decimal digits, no sign, no leading zeros.
bool NumberAfter(const QString& strName, const QString& strPrefix, int* pnNumber) {
  if (!strName.startsWith(strPrefix) || strName.size() == strPrefix.size()) return false;
  const QString digits = strName.mid(strPrefix.size());
  if (digits.size() > 1 && digits.startsWith(u'0')) return false;
  for (QChar c : digits)
    if (!c.isDigit() || c.unicode() > 0x7F) return false;
  bool bOk = false;
  *pnNumber = digits.toInt(&bOk);
  return bOk;
}

}  // namespace

bool CDwordRule::Accepts(DWORD dwValue) const {
  if (nOneOf > 0) {
    for (int i = 0; i < nOneOf; ++i)
      if (adwOneOf[i] == dwValue) return true;
    return false;
  }
  return dwValue >= dwLow && dwValue <= dwHigh;
}

QString CDwordRule::Describe() const {
  if (nOneOf > 0) {
    QString text;
    for (int i = 0; i < nOneOf; ++i) {
      if (i > 0) text += i == nOneOf - 1 ? QStringLiteral(" or ") : QStringLiteral(", ");
      text += QString::number(adwOneOf[i]);
    }
    return text;
  }
  if (IsAny()) return {};
  return QStringLiteral("%1 to %2").arg(dwLow).arg(dwHigh);
}

namespace {

std::vector<CHostDefault>& HostDefaults() {
  static std::vector<CHostDefault> defaults;
  return defaults;
}

}  // namespace

DWORD COption::DwordDefault(bool bHiRes) const {
  for (const CHostDefault& host : HostDefaults())
    if (QStringView(host.name) == QStringView(name)) return host.dwValue;
  return bHiRes ? dwDefaultHiRes : dwDefault;
}

void SetHostOptionDefaults(std::vector<CHostDefault> defaults) {
  HostDefaults() = std::move(defaults);
}

std::vector<CHostDefault> DesktopOptionDefaults() {
  return {
      {u"DoubleClickActivation", 1},  // a double click is the desktop's tap
      {u"MainViewConfig", 2},         // list A and list B side by side
      {u"MainViewActive", 3},         // list A
      {u"MainViewStatusbar", 1},
  };
}

QString COption::StringDefault() const {
  if (flags & eOptDefaultExeFolder) return ExecutableFolder();
  if (flags & eOptDefaultInProgramFolder)
    return plat::ProgramFolder() + QString::fromUtf16(strDefault);
  return QString::fromUtf16(strDefault);
}

void ApplyOptionDefaults(CSettings* pSettings, bool bHiRes, bool bExeFolder) {
  const std::vector<COption>& table = OptionTable();
  for (auto it = table.begin(); it != table.end(); ++it) {
    const bool bNamedBefore = std::any_of(table.begin(), it, [&](const COption& earlier) {
      return earlier.type == it->type &&
             (it->type == EOptType::eDword ? earlier.dwField == it->dwField
                                           : earlier.strField == it->strField);
    });
    if (bNamedBefore) continue;
    if (it->type == EOptType::eDword)
      pSettings->*it->dwField = it->DwordDefault(bHiRes);
    else if (bExeFolder || !(it->flags & eOptDefaultExeFolder))
      pSettings->*it->strField = it->StringDefault();
  }
}

const std::vector<COption>& OptionTable() {
  static const std::vector<COption> table = BuildTable();
  return table;
}

const COption* FindOption(QStringView strName) {
  for (const COption& option : OptionTable())
    if (strName == QStringView(option.name)) return &option;
  return nullptr;
}

bool FindOptionSpec(const QString& strName, COptionSpec* pSpec) {
  *pSpec = COptionSpec{};
  pSpec->strName = strName;
  if (const COption* option = FindOption(strName)) {
    pSpec->type = option->type;
    if (option->type == EOptType::eDword) {
      pSpec->dwDefault = option->DwordDefault(IsHighResolutionScreen());
      pSpec->rule = option->rule;
    } else {
      pSpec->strDefault = option->StringDefault();
    }
    return true;
  }
  if (strName == u"FavFS" || strName == u"NumFavorites") {
    pSpec->dwDefault = strName == u"FavFS" ? 1 : 0;
    return true;
  }
  for (const CNumberedSpec& numbered : kNumbered) {
    int nNumber = 0;
    if (!NumberAfter(strName, QString::fromUtf16(numbered.prefix), &nNumber)) continue;
    if (numbered.nMax >= 0 && nNumber > numbered.nMax) return false;
    pSpec->type = numbered.type;
    pSpec->dwDefault = numbered.dwDefault;
    return true;
  }
  return false;
}

QString ExecutableFolder() { return CLogOptions::DefaultFolder(); }
