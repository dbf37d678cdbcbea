#pragma once
// Shell services of the host: shortcut files and special folders.

#include <QString>

#include "platform/wintypes.h"

namespace plat {

// Special folder ids the program asks for.
constexpr int CSIDL_PROGRAMS = 0x02;
constexpr int CSIDL_PERSONAL = 0x05;
constexpr int CSIDL_STARTUP = 0x07;
constexpr int CSIDL_STARTMENU = 0x0B;
constexpr int CSIDL_MYMUSIC = 0x0D;
constexpr int CSIDL_APPDATA = 0x1A;
constexpr int CSIDL_PROGRAM_FILES = 0x26;

// Creates a shortcut file in the handheld's text format "<length>#<command line>", where the
// command line is `target` exactly as given (callers put a path in double quotes).
// Fails when the file exists.
bool SHCreateShortcut(const QString& shortcutPath, const QString& target);
// The command line stored in a shortcut, quotes included, cut to maxChars - 1 characters.
bool SHGetShortcutTarget(const QString& shortcutPath, QString* target, int maxChars = MAX_PATH);

// The device path of a special folder (table in docs/host.md); with create the folder is
// made when missing. False for an unknown id or a folder that does not exist.
bool SHGetSpecialFolderPath(int csidl, QString* devicePath, bool create);

}  // namespace plat
