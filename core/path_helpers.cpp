#include "core/path_helpers.h"

#include "core/entry_types.h"
#include "platform/file_system.h"

namespace browse {

QString StripTrailingBackslash(const QString& strPath) {
  if (strPath.size() > 1 && strPath.endsWith(u'\\')) return strPath.left(strPath.size() - 1);
  return strPath;
}

QString AppendPathComponent(const QString& strPath, const QString& strComponent) {
  QString strResult = strPath;
  while (strResult.endsWith(u'\\')) strResult.chop(1);
  qsizetype nStart = 0;
  while (nStart < strComponent.size() && strComponent[nStart] == u'\\') ++nStart;
  strResult += u'\\';
  strResult += QStringView(strComponent).mid(nStart);
  return strResult;
}

QString ParentPath(const QString& strPath) {
  if (strPath.size() < 2) return {};
  const QString strStripped = StripTrailingBackslash(strPath);
  const qsizetype nCut = strStripped.lastIndexOf(u'\\');
  if (nCut < 0) return {};
  if (nCut == 0) return QStringLiteral("\\");
  return strStripped.left(nCut);
}

QString FolderPart(const QString& strPath) {
  return strPath.endsWith(u'\\') ? strPath : ParentPath(strPath);
}

QString LastComponent(const QString& strPath) {
  const QString strStripped = StripTrailingBackslash(strPath);
  if (strStripped == u"\\") return strStripped;
  return strStripped.mid(strStripped.lastIndexOf(u'\\') + 1);
}

bool HasZipExtension(const QString& strName) {
  const qsizetype nDot = strName.lastIndexOf(u'.');
  return nDot >= 0 && QStringView(strName).mid(nDot).compare(u".zip", Qt::CaseInsensitive) == 0;
}

DWORD ClassifyTypedPath(const QString& strPath) {
  if (strPath.isEmpty()) return eEntry_None;
  if (strPath == u"\\") return eEntry_Folder;
  if (strPath.size() < 2 || !strPath.startsWith(u'\\')) return eEntry_None;
  if (strPath.startsWith(u"\\\\")) return eEntry_NetworkPath;
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  if (dwAttributes == INVALID_FILE_ATTRIBUTES) return eEntry_None;
  if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) return eEntry_Folder;
  return HasZipExtension(strPath) ? eEntry_Zip : eEntry_File;
}

}  // namespace browse
