#pragma once
// What the settings sheet edits, without its widgets: the twelve pages, every check box with
// the option(s) it writes and the change flags it sets, the lists of the font and shred pages,
// and what happens when the sheet closes (save or reload, then the refreshes in their order).
// The sheet itself is ui/settings_sheet.h.
//
// User-interface thread only.

#include <QString>
#include <QStringList>
#include <vector>

#include "core/settings.h"

// The change flags: one word for the program, cleared when the sheet opens.
enum ESettChange : unsigned {
  eSettChg_Log = 1,         // the Debug page: the log is retargeted
  eSettChg_Shred = 2,       // the Shred page: nothing beyond saving
  eSettChg_Font = 4,        // font base, size, bold, italic: the views are laid out again
  eSettChg_ClearType = 8,   // the fonts are made again, then the ClearType notice
  eSettChg_Contents = 16,   // the contents of every tree and list are listed again
  eSettChg_Lists = 32,      // the list views take their styles again
  eSettChg_Trees = 64,      // the tree views take their styles again
};
unsigned& SettingsChangeFlags();

// The pages in tab order.
enum ESettPage : int {
  eSettPage_General,
  eSettPage_Debug,
  eSettPage_FileBrowser,
  eSettPage_RecycleBin,
  eSettPage_Fonts,
  eSettPage_Tree,
  eSettPage_List,
  eSettPage_Style,
  eSettPage_Sounds,
  eSettPage_BtnCtrl,
  eSettPage_Advanced,
  eSettPage_FileShred,
  eSettPageCount
};
struct CSettPageInfo {
  const char* className;  // CDlg_Sett_General, ...
  int nTabText;           // the tab title's number
  int nHeadingText;       // the heading line's number
  const char* fileTag;    // "general", ...: names the page's screenshot
};
const CSettPageInfo& SettPageInfo(int nPage);

// One check box. An inverted box is checked when its option is 0 and stores the opposite of
// its state; a box with a second option writes both the same value.
struct CSettCheck {
  int nPage;
  int nLabelText;
  const char16_t* optionName;        // the registry names, for tests and messages
  DWORD CSettings::*pdwOption;
  const char16_t* secondName;        // null when the box edits one option
  DWORD CSettings::*pdwSecond;
  bool bInverted;
  unsigned flags;
};
const std::vector<CSettCheck>& SettChecks();

// A box's state from the option set (inversion applied), and a change of it: the option(s)
// written at once and its flags added to the change word.
bool SettCheckState(const CSettCheck& check);
void SettCheckChanged(const CSettCheck& check, bool bChecked);

// --- The lists ---
// "Font base:": position p stores MainViewFontBase = p + 4.
constexpr int kFontBaseOffset = 4;
constexpr int kFontBaseEntries = 9;  // bases 4 to 12
constexpr int kFontSizeEntries = 5;  // steps 0 to 4
// The point size of the views' font for a base and a size step, around the desktop's own
// size: the default base (7) and "Normal" (2) give the desktop's size, each base step one
// point more, each size step two. Never below 5.
int ViewFontPoints(DWORD dwBase, DWORD dwStep, int nDesktopPoints);
int FontBasePosition();  // of the option set; clamped into the list
void FontBaseChosen(int nPosition);
void FontSizeChosen(int nPosition);

// "Number of passes:": 1 to 16. A stored 0 is shown and stored as 1 (without a change
// flag: the page only shows it); a number above 16 is shown as 16.
constexpr int kMaxShredPasses = 16;
int ShredPassesPosition();  // writes 1 for a stored 0
void ShredPassesChosen(int nPosition);

// "Log file folder:": the text is taken only when it differs from the current folder without
// regard to case. True when it was taken.
bool LogFolderEdited(const QString& strFolder);
// "Store recycle bin in:".
void RecycleBinFolderEdited(const QString& strFolder);

// --- Closing ---
// What the frame does for the flags; the calls come in the order below.
class ISettingsRefresh {
 public:
  virtual ~ISettingsRefresh() = default;
  virtual void RetargetLog() = 0;         // flag 1
  virtual void ReloadSounds() = 0;        // any flag
  virtual void RecreateFonts() = 0;       // flag 8
  virtual void Relayout() = 0;            // flag 8, or 4 without 8
  virtual void ShowClearTypeNotice() = 0; // flag 8
  virtual void RefreshLists() = 0;        // flag 32
  virtual void RefreshTrees() = 0;        // flag 64
  virtual void RefreshContents() = 0;     // flag 16
  virtual void ApplyTreeStyles() = 0;     // flag 64, again, for the tree styles
  virtual void RebuildMenus() = 0;        // always
};

// The sheet closed: OK saves every option; any other close reloads the current profile's
// options. The reload does not read the log options, so a cancelled change of the Debug page
// stays in memory and in the running log, and the next save stores it. Then the refreshes of
// the flags (after a cancel too, so that the views show the reloaded options), and the menus.
void ApplySettingsClose(bool bOk, unsigned flags, ISettingsRefresh& refresh);

// The Enable_Sounds switch from the current profile.
void ReloadSoundSettings();

// The ClearType notice's three texts: 55205 (with the product name), 55206, 55207.
void ShowClearTypeNotice();
