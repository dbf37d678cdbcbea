#include "browse/address_completion.h"

#include <algorithm>

#include "core/path_helpers.h"
#include "core/settings.h"
#include "platform/find.h"

namespace browse {

QStringList FolderCompletions(const QString& strTyped, int nMost) {
  QString strText = strTyped;
  strText.replace(u'/', u'\\');
  if (!strText.startsWith(u'\\')) return {};
  const qsizetype nCut = strText.lastIndexOf(u'\\');
  const QString strFolder = nCut == 0 ? QStringLiteral("\\") : strText.left(nCut);
  const QString strStart = strText.mid(nCut + 1);
  QStringList names;
  plat::ForEachFolderEntry(strFolder, [&](const WIN32_FIND_DATAW& data) {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) && settings.MainListShowHidden == 0)
      return;
    const QString strName = plat::FindName(data);
    if (strName.startsWith(strStart, Qt::CaseInsensitive)) names << strName;
  });
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  QStringList paths;
  for (const QString& strName : names) {
    if (paths.size() >= nMost) break;
    paths << AppendPathComponent(strFolder, strName);
  }
  return paths;
}

}  // namespace browse
