#pragma once
// Shell integration and device identity: the Start-menu shortcut, the desktop's application
// menu entry, the operating-system version warning, the device name and the OEM text.

#include <QString>

#include "platform/wintypes.h"

// The name of the shortcut made in the Start menu folder.
inline constexpr char16_t kStartMenuShortcutName[] = u"Pinewood Browser.lnk";

// The program path inside a shortcut's command line: the text between the first and the last
// double quote when there is one; otherwise the text up to the first blank, "?", ",", CR or
// LF (all of it when there is none of these).
QString ShortcutProgramPath(const QString& strTarget);

// True when a "*.lnk" file of the Programs folder or the Start menu folder points to
// strExePath (compared without regard to case). A folder that cannot be listed has none.
bool HasStartMenuShortcut(const QString& strExePath);
bool HasStartMenuShortcut();

// Creates "<Start menu folder>\Pinewood Browser.lnk" whose target is the executable path in
// double quotes. Returns the shell's result.
bool CreateStartMenuShortcut(const QString& strExePath);
bool CreateStartMenuShortcut();

// The freedesktop entry that puts the program into the host's application menu:
// $XDG_DATA_HOME/applications/pinewood-browser.desktop.
QString DefaultDesktopEntryFile();
// The entry's text for a program at strHostExecutable (a host path), from the template
// data/pinewood-browser.desktop.in that the installed entry is made from as well.
QString DesktopEntryText(const QString& strHostExecutable);
// Where the icon of an entry at strEntryFile goes: the hicolor theme of the same data folder
// (<data>/icons/hicolor/scalable/apps/pinewood-browser.svg).
QString DesktopEntryIconFile(const QString& strEntryFile);
// Writes the entry and its icon (each replacing an older one as a whole, never half-written).
// False on failure.
bool WriteDesktopEntry(const QString& strFile, const QString& strHostExecutable);

// The running system's version as major * 100 + minor.
DWORD OperatingSystemVersion();
// "Windows Mobile 5" (500 and above), "Windows Mobile 2003 Second Edition" (420-499),
// "Windows Mobile 2003" (400-419), "Pocket PC 2002" (300-399), "Windows CE 2.11" (211-299),
// empty below 211.
QString OperatingSystemName(DWORD dwVersion);
// Shows the version warning (message number 3, so a remembered answer suppresses it) unless
// the version is 300-399, the system this build is made for. Never ends the program. Returns
// true when the warning was asked for.
bool CheckOperatingSystem();

// The device's name: "Name" of HKLM\Ident, or "My Device" when it is missing or empty.
QString DeviceName();
// The OEM information text, or "N/A" when the system has none.
QString OemInfo();
