#include "core/settings_io.h"

#include "core/settings_options.h"
#include "core/settings_screen.h"
#include "core/settings_store.h"
#include "platform/file_system.h"

namespace {

// What the store itself last put into each field: by LoadDefaults, a load, or a save. A value
// missing from the registry reads as this, so that changes made in memory since (and not
// saved) are undone by a reload.
CSettings g_stored;

constexpr char16_t kSearchValueFormat[] = u"SimpleSearchString %1";
constexpr char16_t kStorageFailedValue[] = u"GetStorageIDIOCTLFailed";
constexpr char16_t kStorageDisableValue[] = u"DisableGetStorageIDIOCTL";
constexpr char16_t kCurrentProfileValue[] = u"CurrentProfile";

// Reads one option into the set: the stored value when it is readable and accepted, else the
// table default (for options reset when missing) or what the store last put there.
void ReadOption(const COption& option) {
  const QString name = QString::fromUtf16(option.name);
  if (option.type == EOptType::eDword) {
    const DWORD fallback = (option.flags & eOptResetWhenMissing)
                               ? option.DwordDefault(IsHighResolutionScreen())
                               : g_stored.*option.dwField;
    DWORD value = fallback;
    if (!ReadProfileDword(name, fallback, &value) || !option.rule.Accepts(value)) value = fallback;
    settings.*option.dwField = value;
    g_stored.*option.dwField = value;
  } else {
    QString value;
    ReadProfileString(name, g_stored.*option.strField, &value);
    settings.*option.strField = value;
    g_stored.*option.strField = value;
  }
}

bool WriteOption(const COption& option) {
  const QString name = QString::fromUtf16(option.name);
  if (option.type == EOptType::eDword) {
    g_stored.*option.dwField = settings.*option.dwField;
    return UpdateProfileDword(name, settings.*option.dwField);
  }
  g_stored.*option.strField = settings.*option.strField;
  return UpdateProfileString(name, settings.*option.strField);
}

void ReadGroup(EOptGroup group) {
  for (const COption& option : OptionTable())
    if (option.group == group) ReadOption(option);
}

void LoadRememberedSearches() {
  settings.SimpleSearchStrings.clear();
  for (int n = 0; n < kMaxRememberedSearches; ++n) {
    QString text;
    ReadProfileString(QString::fromUtf16(kSearchValueFormat).arg(n), QString(), &text);
    if (!text.isEmpty()) settings.SimpleSearchStrings.append(text);
  }
  g_stored.SimpleSearchStrings = settings.SimpleSearchStrings;
}

// All ten values are written, the unused ones empty, so that no stale text of a longer list
// comes back at the next load.
bool SaveRememberedSearches() {
  bool bOk = true;
  for (int n = 0; n < kMaxRememberedSearches; ++n) {
    const QString text =
        n < settings.SimpleSearchStrings.size() ? settings.SimpleSearchStrings[n] : QString();
    bOk &= UpdateProfileString(QString::fromUtf16(kSearchValueFormat).arg(n), text);
  }
  g_stored.SimpleSearchStrings = settings.SimpleSearchStrings;
  return bOk;
}

// The log level of each switch field.
constexpr struct {
  DWORD dwLevel;
  DWORD CSettings::*field;
} kLogSwitches[] = {
    {eLogEmerg, &CSettings::AppLog_LogEmerg}, {eLogAlert, &CSettings::AppLog_LogAlert},
    {eLogCrit, &CSettings::AppLog_LogCrit},   {eLogErr, &CSettings::AppLog_LogErr},
    {eLogWarn, &CSettings::AppLog_LogWarn},   {eLogNotice, &CSettings::AppLog_LogNotice},
    {eLogInfo, &CSettings::AppLog_LogInfo},   {eLogDebug, &CSettings::AppLog_LogDebug},
};

// Makes the running log follow the log options of the set.
void ApplyLogOptionsToLog() {
  for (const auto& s : kLogSwitches) SetLogSwitch(s.dwLevel, settings.*s.field != 0);
  CAppLog& log = CAppLog::Instance();
  if (log.IsOpen() &&
      log.Options().strFolder.compare(settings.AppLog_Folder, Qt::CaseInsensitive) != 0)
    RetargetLog(settings.AppLog_Folder);
}

}  // namespace

void LoadDefaults() {
  ResetSettingsToDefaults();
  plat::CreateDirectory(settings.RecycleBinPath);
}

void ResetSettingsToDefaults() {
  const bool bHiRes = IsHighResolutionScreen();
  const QString strProfile = settings.CurrentProfile;
  const DWORD dwDisable = settings.DisableGetStorageIDIOCTL;
  settings = CSettings();
  settings.CurrentProfile = strProfile;
  settings.DisableGetStorageIDIOCTL = dwDisable;
  ApplyOptionDefaults(&settings, bHiRes, true);
  g_stored = settings;
}

void LoadStoredOptions() {
  LoadCurrentProfileName();
  ResetSettingsToDefaults();
  LoadLogOptions();
  LoadStorageFlags();
  LoadAppearanceOptions();
  LoadSettings();
}

void LoadCurrentProfileName() {
  ReadGlobalString(QString::fromUtf16(kCurrentProfileValue),
                   QString::fromUtf16(kDefaultProfileName), &settings.CurrentProfile);
  g_stored.CurrentProfile = settings.CurrentProfile;
}

void LoadLogOptions() { ReadGroup(EOptGroup::eLog); }

CLogOptions LogOptionsFromSettings() {
  CLogOptions options;
  options.strFolder = settings.AppLog_Folder;
  options.dwTruncateLog = settings.AppLog_TruncateLog;
  options.dwLogEmerg = settings.AppLog_LogEmerg;
  options.dwLogAlert = settings.AppLog_LogAlert;
  options.dwLogCrit = settings.AppLog_LogCrit;
  options.dwLogErr = settings.AppLog_LogErr;
  options.dwLogWarn = settings.AppLog_LogWarn;
  options.dwLogNotice = settings.AppLog_LogNotice;
  options.dwLogInfo = settings.AppLog_LogInfo;
  options.dwLogDebug = settings.AppLog_LogDebug;
  return options;
}

void LoadStorageFlags() {
  DWORD dwFailed = 0;
  ReadGlobalDword(QString::fromUtf16(kStorageFailedValue), 0, &dwFailed);
  if (dwFailed != 0) {
    settings.DisableGetStorageIDIOCTL = 1;
    WriteGlobalDword(QString::fromUtf16(kStorageDisableValue), 1);
  } else {
    ReadGlobalDword(QString::fromUtf16(kStorageDisableValue), 0,
                    &settings.DisableGetStorageIDIOCTL);
  }
  g_stored.DisableGetStorageIDIOCTL = settings.DisableGetStorageIDIOCTL;
}

void LoadAppearanceOptions() { ReadGroup(EOptGroup::eAppearance); }

void LoadSettings(ELoadLog eLog) {
  ReadGroup(EOptGroup::eAppearance);
  if (eLog == ELoadLog::eReloadLogOptions) {
    ReadGroup(EOptGroup::eLog);
    ApplyLogOptionsToLog();
  }
  ReadGroup(EOptGroup::eProfile);
  LoadRememberedSearches();
}

bool SaveSettings() {
  bool bOk = true;
  for (const COption& option : OptionTable())
    if (!(option.flags & eOptSplitter)) bOk &= WriteOption(option);
  bOk &= SaveRememberedSearches();
  return bOk;
}

bool SaveSplitter() {
  bool bOk = true;
  for (const COption& option : OptionTable())
    if (option.flags & eOptSplitter) bOk &= WriteOption(option);
  return bOk;
}

bool SaveOption(const QString& strName) {
  const COption* named = FindOption(strName);
  if (!named) return false;
  bool bOk = true;
  for (const COption& option : OptionTable()) {
    const bool bSameField = named->type == EOptType::eDword ? option.dwField == named->dwField
                                                            : option.strField == named->strField;
    if (option.type == named->type && bSameField) bOk &= WriteOption(option);
  }
  return bOk;
}

void SetLogSwitchOption(DWORD dwLevel, bool bOn) {
  for (const auto& f : kLogSwitches) {
    if (f.dwLevel != dwLevel) continue;
    settings.*f.field = bOn ? 1 : 0;
    SetLogSwitch(dwLevel, bOn);
  }
}

bool SaveColumnWidths(const QString& strPanelTag, const QVector<int>& anWidths) {
  bool bOk = true;
  for (int n = 0; n < anWidths.size(); ++n)
    bOk &= UpdateProfileDword(strPanelTag + QString::number(n), DWORD(qMax(anWidths[n], 0)));
  return bOk;
}

void LoadColumnWidths(const QString& strPanelTag, QVector<int>* panWidths, int nViewWidth) {
  constexpr DWORD kMaxColumnWidth = 0x7FFF;
  const int nMinWidth = IsHighResolutionScreen() ? 2 : 1;
  int nTotal = 0;
  for (int n = 0; n < panWidths->size(); ++n) {
    int& width = (*panWidths)[n];
    DWORD dwStored = 0;
    if (ReadProfileDword(strPanelTag + QString::number(n), DWORD(qMax(width, 0)), &dwStored) &&
        dwStored <= kMaxColumnWidth)
      width = int(dwStored);
    width = qMax(width, nMinWidth);
    nTotal += width;
  }
  if (!panWidths->isEmpty() && nViewWidth > nTotal) (*panWidths)[0] += nViewWidth - nTotal;
}
