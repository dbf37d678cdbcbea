#pragma once
// Path text helpers for device paths: backslash-separated, rooted at "\", no drive letters.
// Pure text work except ClassifyTypedPath, which asks the file system.

#include <QString>

#include "platform/wintypes.h"

namespace browse {

// Removes one trailing "\" when the path is longer than one character ("\" stays "\").
QString StripTrailingBackslash(const QString& strPath);
// The path, exactly one "\", and the component.
QString AppendPathComponent(const QString& strPath, const QString& strComponent);
// The folder that holds the path: empty for paths shorter than 2 characters (and for a text
// without any backslash); otherwise the stripped path cut at its last "\", where a cut at the
// first character gives "\".
QString ParentPath(const QString& strPath);
// The folder part of a file path: the path itself when it ends with "\", else its parent.
QString FolderPart(const QString& strPath);
// The text after the last "\" of the stripped path; "\" for the root.
QString LastComponent(const QString& strPath);

// True when the name ends in ".zip", ignoring case.
bool HasZipExtension(const QString& strName);

// What a path typed by the user names: 0 (nothing: empty, not rooted, missing), eEntry_Folder
// for "\" and existing folders, eEntry_Zip for an existing file whose text from the last dot
// is ".zip" (ignoring case), eEntry_File for any other existing file, and eEntry_NetworkPath
// for a path starting with "\\" (not looked up).
DWORD ClassifyTypedPath(const QString& strPath);

}  // namespace browse
