#pragma once
// The operations that name items in place: rename of a file or folder, a new folder, and a
// shortcut pasted into a folder. Each reports a failure in the message box itself (the
// shortcut excepted: it fails silently) and tells the views about what it changed. Called on
// the user-interface thread.

#include <QString>

#include "platform/wintypes.h"

namespace fileops {

constexpr UINT IDS_RENAME_FILE_TEXT = 55256;
constexpr UINT IDS_RENAME_FILE_TITLE = 55257;    // "Rename error"
constexpr UINT IDS_RENAME_FILE_HEADER = 55258;   // "Error renaming file"
constexpr UINT IDS_RENAME_FOLDER_TEXT = 55253;
constexpr UINT IDS_RENAME_FOLDER_TITLE = 55254;  // "Rename error"
constexpr UINT IDS_RENAME_FOLDER_HEADER = 55255; // "Error renaming folder"
constexpr UINT IDS_NEW_FOLDER_ERROR_TEXT = 55290;   // "Error creating folder %s"
constexpr UINT IDS_NEW_FOLDER_ERROR_TITLE = 55291;  // "Create folder"
constexpr UINT IDS_NEW_FOLDER_ERROR_HEADER = 55292; // "Create new folder"

// Renames the file strOldPath to strNewPath. The same path exactly does nothing and counts as
// success; a change of letter case only is carried out. A rename never moves: a new path in
// another folder, or whose name is empty, "." or ".." or holds an invalid character, fails
// with ERROR_INVALID_NAME. An existing item is never replaced. A failure shows the box
// "Error renaming file" with the system's error text and returns false; a success tells the
// views that the file was renamed.
bool RenameFile(const QString& strOldPath, const QString& strNewPath);
// The same for a folder, with the folder texts and the folder-renamed notification.
bool RenameFolder(const QString& strOldPath, const QString& strNewPath);

// Creates a folder with MakeNewFolderName inside strFolder. An empty strFolder does nothing
// and fails. A failure shows "Error creating folder" with the full path; a success tells the
// views that the folder was created and gives its full path in *pNewPath (when not null).
bool CreateNewFolder(const QString& strFolder, QString* pNewPath = nullptr);

// Paste shortcut: creates "<MakeShortcutName>.lnk" in strFolder pointing at strTargetPath (the
// target text is the path in double quotes). A success tells the views that a new item exists
// and gives the shortcut's full path in *pShortcutPath (when not null); a failure shows
// nothing and returns false with the last error set.
bool PasteShortcut(const QString& strTargetPath, const QString& strFolder,
                   QString* pShortcutPath = nullptr);

}  // namespace fileops
