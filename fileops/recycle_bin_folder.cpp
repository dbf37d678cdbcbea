#include "fileops/recycle_bin_folder.h"

#include <vector>

#include "core/path_helpers.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "core/texts.h"

namespace fileops {
namespace {

// An item the bin itself makes: a container, or a recycled folder's directory with its
// descriptor.
bool IsBinItem(const QString& strFolder, const WIN32_FIND_DATAW& data) {
  const QString strName = plat::FindName(data);
  if (!plat::IsWalkableFolder(data))
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsContainerName(strName);
  const QString strDescriptor = browse::AppendPathComponent(
      browse::AppendPathComponent(strFolder, strName), QString::fromUtf16(kFolderDescriptorName));
  const DWORD dwAttributes = plat::GetFileAttributes(strDescriptor);
  return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LiesIn(const QString& strPath, const QString& strFolder) {
  return strPath.startsWith(strFolder + u'\\', Qt::CaseInsensitive);
}

}  // namespace

QString RecycleBinFolderProblem(const QString& strPath) {
  QString strCanonical;
  if (strPath.isEmpty() || !plat::CDeviceRoot::Canonical(strPath, &strCanonical))
    return core::Text(900212);
  if (strCanonical == u"\\") return core::Text(900213);
  QString strCurrent;
  if (plat::CDeviceRoot::Canonical(RecycleBinFolder(), &strCurrent) && strCurrent != u"\\" &&
      LiesIn(strCanonical, strCurrent))
    return core::Text(900214).arg(strCurrent);
  WIN32_FIND_DATAW data;
  if (!plat::FindOne(strCanonical, &data)) return {};  // a new folder, made on first use
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return core::Text(900215);
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return core::Text(900216);
  std::vector<WIN32_FIND_DATAW> entries;
  if (!plat::ReadFolderEntries(strCanonical, &entries))
    return core::Text(900217);
  for (const WIN32_FIND_DATAW& entry : entries)
    if (!IsBinItem(strCanonical, entry))
      return core::Text(900218).arg(plat::FindName(entry));
  return {};
}

}  // namespace fileops
