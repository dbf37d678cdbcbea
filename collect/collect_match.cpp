#include "collect/collect_match.h"

#include "platform/file_system.h"

namespace collect {
namespace {

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

bool SameChar(QChar a, QChar b) {
  if (a == b) return true;
  if (a.unicode() < 128 && b.unicode() < 128) return AsciiLower(a.unicode()) == AsciiLower(b.unicode());
  return a.toCaseFolded() == b.toCaseFolded();
}

}  // namespace

bool MatchWildcard(QStringView name, QStringView pattern) {
  // On a mismatch the last "*" takes one more character and matching goes on from there:
  // going back to the last "*" only is enough to find every match ("a.b.txt" for "*.txt").
  qsizetype p = 0, n = 0, star = -1, mark = 0;
  while (n < name.size()) {
    const bool bOne = p < pattern.size() && pattern[p] != u'*' &&
                      (pattern[p] == u'?' || SameChar(pattern[p], name[n]));
    if (bOne) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (star >= 0) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool FolderCovers(const QString& strPath, const QString& strFolder, bool bWithSubfolders) {
  QStringView folder(strFolder);
  if (folder.size() > 1 && folder.endsWith(u'\\')) folder.chop(1);
  if (folder.isEmpty()) return false;
  if (!bWithSubfolders) return QStringView(strPath).compare(folder, Qt::CaseInsensitive) == 0;
  if (folder == u"\\") return true;
  if (strPath.size() < folder.size() ||
      QStringView(strPath).left(folder.size()).compare(folder, Qt::CaseInsensitive) != 0)
    return false;
  return strPath.size() == folder.size() || strPath[folder.size()] == u'\\';
}

bool FolderExists(const QString& strPath) {
  if (strPath.isEmpty()) return false;
  const DWORD attributes = plat::GetFileAttributes(strPath);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FilePatternMatches(const QString& strFileFolder, const QString& strPattern) {
  if (strPattern.isEmpty() || !strFileFolder.startsWith(u'\\') || strFileFolder.size() <= 1)
    return false;
  qsizetype start = 1;
  while (start <= strFileFolder.size()) {
    qsizetype end = strFileFolder.indexOf(u'\\', start);
    if (end < 0) end = strFileFolder.size();
    const QStringView component = QStringView(strFileFolder).mid(start, end - start);
    if (!component.isEmpty() && MatchWildcard(component, strPattern) &&
        FolderExists(strFileFolder.left(end)))
      return true;
    start = end + 1;
  }
  return false;
}

bool FolderPatternMatches(const QString& strFolder, const QString& strPattern) {
  QString folder = strFolder;
  if (folder.endsWith(u'\\')) folder.chop(1);
  if (strPattern.isEmpty() || !folder.startsWith(u'\\')) return false;
  const QStringView name = QStringView(folder).mid(folder.lastIndexOf(u'\\') + 1);
  return MatchWildcard(name, strPattern) && FolderExists(folder);
}

}  // namespace collect
