#include "collect/collect_match.h"

#include "platform/file_system.h"
#include "platform/find.h"

namespace collect {

bool MatchWildcard(QStringView name, QStringView pattern) {
  return plat::WildcardMatch(pattern, name);
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
