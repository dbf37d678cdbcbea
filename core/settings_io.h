#pragma once
// Loading and saving the whole option set (core/settings.h) through the option table.
// Called on the user-interface thread only.
//
// Reading rule: a value that is missing, of the wrong type, too long or outside its option's
// rule leaves the field at what the store itself last loaded or saved for it - the built-in
// default on the first load. Changes made in memory since then (a settings sheet that was
// cancelled) never survive a reload; see LoadSettings.

#include <QString>
#include <QVector>

#include "core/app_log.h"
#include "core/settings.h"

// Every field to its built-in value (for the cached screen answer), and the default recycle
// bin folder "\RecycleBin" created (an existing folder is fine). Called once at start,
// before anything is read.
void LoadDefaults();
// The fields alone, without creating the recycle bin folder.
void ResetSettingsToDefaults();

// The option set of the current profile as start-up reads it, for programs without a main
// window (the command line): the profile's name, the defaults, the log options (the log is
// not opened), the storage flags, the appearance options and all per-profile options. The
// recycle bin folder is not created.
void LoadStoredOptions();

// CurrentProfile from the product key ("Default" when missing). Start-up step 1.
void LoadCurrentProfileName();

// The log options (AppLog_*) of the current profile, and the log's options made of them.
void LoadLogOptions();
CLogOptions LogOptionsFromSettings();

// GetStorageIDIOCTLFailed and DisableGetStorageIDIOCTL of the product key: a non-zero
// "failed" value sets DisableGetStorageIDIOCTL to 1 and writes it back.
void LoadStorageFlags();

// The appearance options read early at start (ClearType, progress controls, buttons, sounds).
void LoadAppearanceOptions();

enum class ELoadLog {
  eKeepLogOptions,    // start and profile switches: the log keeps what it was opened with
  eReloadLogOptions,  // undoing a cancelled settings sheet: the log options are read again,
                      // and the log's switches and folder follow them
};

// Reads every per-profile option of the current profile: the appearance options first, then
// the rest in table order, then the remembered search texts (the non-empty ones of
// "SimpleSearchString 0" to "9", gaps closed). Called at start, after every profile switch,
// and (with eReloadLogOptions) when a settings sheet is closed without OK.
void LoadSettings(ELoadLog eLog = ELoadLog::eKeepLogOptions);

// Writes every per-profile option into the current profile, the log options and both names of
// the ClearType switch included, the splitter positions not. A value the profile already holds
// exactly is not written again (it was flushed when it was written). True when every write
// succeeded.
// Called at exit, when the settings are applied, before a profile switch and when profiles
// are edited.
bool SaveSettings();

// MainViewSplitterPercentX and MainViewSplitterPercentY; called when the user moved a splitter.
bool SaveSplitter();

// One option of the table (by its registry name), from its field into the current profile,
// for callers that store a single change at once (a panel's last location); every name bound
// to the same field is written (both names of the ClearType switch). False for an unknown
// name or a failed write.
bool SaveOption(const QString& strName);

// Sets a log switch (ELogLevel) in the option set and in the running log at once.
void SetLogSwitchOption(DWORD dwLevel, bool bOn);

// Column widths of one list: strPanelTag is the panel name with the source tag
// ("PanelListA_FS_", "PanelListB_REG_", "PanelListAZIP_"); column n is stored as tag + n.
bool SaveColumnWidths(const QString& strPanelTag, const QVector<int>& anWidths);
// anWidths comes in with the columns' current widths (the defaults) and leaves with the
// stored ones: a width below one pixel unit (two on a high-resolution screen) is raised to it,
// a stored width beyond 32767 is refused, and the first column is widened to take up what is
// left of nViewWidth.
void LoadColumnWidths(const QString& strPanelTag, QVector<int>* panWidths, int nViewWidth);
