#pragma once
// Names the file operations make on their own account (a new folder, the copy of a file into
// its own folder, a shortcut), the characters a typed name may not hold, and the path texts
// the operations split. A made name never collides with an existing item and never leads out
// of the folder it is made for.

#include <QString>

#include "platform/wintypes.h"

namespace fileops {

constexpr UINT IDS_NEW_FOLDER = 55288;        // "New Folder"
constexpr UINT IDS_NEW_FOLDER_N = 55289;      // "New Folder (%d)"
constexpr UINT IDS_COPY_OF = 55195;           // "Copy of %s"
constexpr UINT IDS_COPY_N_OF = 55198;         // "Copy (%d) of %s"
constexpr UINT IDS_SHORTCUT_TO = 55197;       // "Shortcut to %s"
constexpr UINT IDS_SHORTCUT_N_TO = 55196;     // "Shortcut (%d) to %s"
constexpr UINT IDS_INVALID_NAME_TEXT = 55260;    // the characters a name may not hold
constexpr UINT IDS_INVALID_NAME_TITLE = 55261;   // "Invalid file name"
constexpr UINT IDS_INVALID_NAME_HEADER = 55262;  // "Invalid file name characters"

// The extension of shortcut files.
inline constexpr char16_t kShortcutExtension[] = u".lnk";

// A name for a new folder inside strFolder: "New Folder", else "New Folder (2)", (3), ...
// the first that does not exist.
QString MakeNewFolderName(const QString& strFolder);
// A name for a copy of strName inside strFolder: "Copy of a.txt", else "Copy (2) of a.txt",
// ... Only the text after the last "\" or "/" of strName is used.
QString MakeCopyName(const QString& strName, const QString& strFolder);
// A name for a shortcut to strTargetPath inside strFolder, without ".lnk": "Shortcut to
// a.txt", else "Shortcut (2) to a.txt", ... the first whose shortcut file (the name with
// ".lnk") does not exist.
QString MakeShortcutName(const QString& strTargetPath, const QString& strFolder);

// strText without backslash, slash, colon, asterisk, question mark, less-than, greater-than,
// vertical bar, double quote and apostrophe.
QString RemoveInvalidNameChars(const QString& strText);
// True when strText holds one of the characters RemoveInvalidNameChars removes.
bool HasInvalidNameChars(const QString& strText);
// True for a name that can stand for an item of a folder: not empty, not "." or "..", no
// invalid character.
bool IsValidItemName(const QString& strName);
// The dialogs' check of a typed name: true when IsValidItemName; otherwise shows the error
// box "Invalid file name" (55260, 55261, 55262) and returns false.
bool CheckTypedName(const QString& strName);

// The name without a trailing ".lnk" (any case), when something is left in front of it.
QString StripShortcutExtension(const QString& strName);

// The text after the last "\"; empty for a path that ends in "\" (and for "\").
QString PathNamePart(const QString& strPath);
// The text before the last "\"; "\" when the only "\" is the first character; empty for a
// text without "\".
QString PathFolderPart(const QString& strPath);
// The name part's text from its last dot on (".txt"); empty when the name has no dot.
QString PathExtension(const QString& strPath);
// The path without PathExtension.
QString PathWithoutExtension(const QString& strPath);

// True when the folder part of strPath equals strFolder (without a trailing "\"), ignoring
// case.
bool IsSameFolder(const QString& strPath, const QString& strFolder);

// True when an item exists at the path: a find-first query on that exact path. A query that
// fails for any reason counts as "does not exist".
bool ItemExists(const QString& strPath);

}  // namespace fileops
