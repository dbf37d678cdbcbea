#pragma once
// The text tests of the collection rules: wildcard patterns over names, and whether a rule's
// folder covers a path.

#include <QString>
#include <QStringView>

namespace collect {

// Matches a name against a pattern: "?" is any one character, "*" any run of characters
// (none included), every other character must equal its name character without regard to
// case. The whole name must match: "*.txt" takes "a.txt", "A.TXT" and "a.b.txt", not "a.txt1";
// "*.*" takes only names that hold a dot.
bool MatchWildcard(QStringView name, QStringView pattern);

// True when strPath lies in strFolder. Without subfolders: the path is the folder. With
// subfolders: "\" covers everything; otherwise the path begins with the folder and is either
// as long or continues with "\" right after it ("\ab" does not lie in "\a"). Case is ignored;
// one trailing "\" of the folder is ignored; an empty folder covers nothing.
bool FolderCovers(const QString& strPath, const QString& strFolder, bool bWithSubfolders);

// The folder-name pattern tests of rules whose folder is a pattern (no leading "\"):
// a file matches when some folder on the way to it (a prefix of strFileFolder ending at a
// component boundary) has a name matching the pattern and exists; a folder matches when its
// own name matches and it exists.
bool FilePatternMatches(const QString& strFileFolder, const QString& strPattern);
bool FolderPatternMatches(const QString& strFolder, const QString& strPattern);

// True when the device path names an existing folder ("\" included).
bool FolderExists(const QString& strPath);

}  // namespace collect
