#pragma once
// The in-memory option set: every option of the program as a typed field, filled at start from
// the current profile and written back at the moments listed in settings_io.h.
//
// Written on the user-interface thread only. Worker threads read fields without a lock: every
// field is a 32-bit number, or a string replaced only while no worker runs an operation that
// reads it. Field names are the registry value names; the option table (settings_options.h)
// ties the two together with each option's default and validity rule.

#include <QString>
#include <QStringList>

#include "platform/wintypes.h"

// The product key and the maker key, below HKEY_LOCAL_MACHINE.
inline constexpr char16_t kProductKey[] = u"Software\\Tarvish\\Pinewood Browser";
inline constexpr char16_t kMakerKey[] = u"Software\\Tarvish";
inline constexpr char16_t kProductName[] = u"Pinewood Browser";
// The built-in profile's name (55226). It names the profile's registry subkey too, so it is
// never translated; its description is the text 55227.
inline constexpr char16_t kDefaultProfileName[] = u"Default";
// The default recycle bin folder, created at every start.
inline constexpr char16_t kDefaultRecycleBinPath[] = u"\\RecycleBin";
// The most remembered search texts ("SimpleSearchString 0" to "SimpleSearchString 9").
constexpr int kMaxRememberedSearches = 10;

struct CSettings {
  CSettings();  // every field at its built-in value for a screen that is not high resolution

  // Process-wide values (product key).
  QString CurrentProfile;          // empty means "Default"
  DWORD DisableGetStorageIDIOCTL;  // 1: volumes are not asked for their storage id

  // General and appearance.
  DWORD MainViewToolbar;
  DWORD MainViewHeaderbar;
  DWORD MainViewAddressbar;
  DWORD MainViewSearchbar;
  DWORD MainViewSelectionbar;
  DWORD MainViewStatusbar;
  DWORD MainViewConfig;  // layout number 0-9
  DWORD MainViewActive;  // 1 tree A, 2 tree B, 3 list A, 4 list B
  DWORD MainViewSplitterPercentX;
  DWORD MainViewSplitterPercentY;
  DWORD MainViewFontSize;  // step 0-4
  DWORD MainViewFontBase;
  DWORD MainViewFontIsBold;
  DWORD MainViewFontIsItalic;
  DWORD UseClearType;  // stored under both "UseClearType" and "EnableClearTypeFonts"
  DWORD DoubleClickActivation;
  DWORD RememberLastOpenedFolder;
  DWORD DragAndDrop;
  DWORD ShowFolderTotalSizes;
  DWORD PersonalizeFolderIcons;
  DWORD MainViewPasteInTappedFolder;
  DWORD RegDigitBase;
  DWORD PrgCtrl_Is_Gradient;
  DWORD PrgCtrl_Show_Status;
  DWORD PrgCtrl_Show_Total_Time;
  DWORD Btn_Is_Flat;
  DWORD Btn_Draw_Flat_Border;
  DWORD Btn_Draw_Flat_Focus;
  DWORD Btn_Has_Icons;
  DWORD Enable_Sounds;

  // Log (read once at start and after a cancelled settings change; see settings_io.h).
  QString AppLog_Folder;
  DWORD AppLog_TruncateLog;
  DWORD AppLog_LogEmerg;
  DWORD AppLog_LogAlert;
  DWORD AppLog_LogCrit;
  DWORD AppLog_LogErr;
  DWORD AppLog_LogWarn;
  DWORD AppLog_LogNotice;
  DWORD AppLog_LogInfo;
  DWORD AppLog_LogDebug;

  // Tree views.
  DWORD MainTreeShowFiles;
  DWORD MainTreeShowSystem;
  DWORD MainTreeShowHidden;
  DWORD MainTreeShowInRom;
  DWORD MainTreeShowRO;
  DWORD MainTreeShowZipFolder;
  DWORD MainTreeIgnoreCase;
  DWORD MainTreeShowExt;
  DWORD MainTreeBigIconsA;
  DWORD MainTreeBigIconsB;
  DWORD MainTreeACacheType;  // kind of panel A's last location: 2, 9, 10 or 11
  DWORD MainTreeBCacheType;
  QString MainTreeACacheStr1;  // path of panel A's last location
  QString MainTreeBCacheStr1;
  DWORD MainTreeAHKey;  // registry root ordinal of the last location (1-4, else none)
  DWORD MainTreeBHKey;
  DWORD MainTreeHasLines;
  DWORD MainTreeShowLinesAtRoot;
  DWORD MainTreeHasButtons;
  DWORD MainTreeSingleExpand;

  // List views.
  DWORD MainListDPadSupport;
  DWORD MainListShowFolders;
  DWORD MainListShowSystem;
  DWORD MainListShowHidden;
  DWORD MainListShowInRom;
  DWORD MainListShowRO;
  DWORD MainListIgnoreCase;
  DWORD MainListShowExt;
  DWORD MainListShowParent;
  DWORD MainListShowKeys;
  DWORD MainListRegShowParent;
  DWORD MainListShowHeaderA;
  DWORD MainListShowHeaderB;
  DWORD MainListModeListViewA;  // view mode 0-3
  DWORD MainListModeListViewB;
  DWORD MainListUseBigIconsA;
  DWORD MainListUseBigIconsB;
  DWORD MainListAutoSizeColumn;
  DWORD MainListFullRowSelect;
  DWORD MainListMultiSelect;
  DWORD MainListShowStripes;
  DWORD MainListHeaderDrag;
  DWORD MainListDblBuff;

  // File operations and search.
  DWORD SDelFileNames;
  DWORD SDelZeroFillOnly;
  DWORD SDelNumPasses;
  DWORD UseRecycleBin;
  DWORD RecycleBinCompress;
  QString RecycleBinPath;
  DWORD SimpleSearchRoot;
  // The non-empty "SimpleSearchString %d" texts in number order, at most ten.
  QStringList SimpleSearchStrings;
};

// The program's option set. See the thread rule at the top of this file.
extern CSettings settings;

// The profile whose key holds the per-profile options: CurrentProfile, or "Default" when it
// is empty.
QString EffectiveProfileName();
