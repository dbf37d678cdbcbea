#include "zip/opened_members.h"

#include <vector>

#include "core/path_helpers.h"
#include "fileops/plan_walk.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"

namespace zip {
namespace {

const QString& OpenedMembersTop() {
  static const QString top = QStringLiteral("\\Temp\\Pinewood Browser");
  return top;
}

quint64 NowTicks() {
  SYSTEMTIME now;
  plat::GetSystemTime(&now);
  FILETIME ft{};
  plat::SystemTimeToFileTime(now, &ft);
  return plat::FileTimeToU64(ft);
}

// Removes a folder and what it holds, for good and without questions: these are copies of
// archive members. A link inside is removed itself, never followed.
bool RemoveTree(const QString& strFolder) {
  const auto remove = [](const fileops::CWalkItem& item) {
    return plat::DeleteFile(item.strPath) ? 0 : 1;
  };
  const auto removeFolder = [](const fileops::CWalkItem& item) {
    return plat::RemoveDirectory(item.strPath) ? 0 : 1;
  };
  return fileops::WalkRemovingTree(strFolder, remove, removeFolder, removeFolder, 1, QString()) ==
         0;
}

}  // namespace

QString OpenedMembersFolder(const QString& strArchive) {
  return browse::AppendPathComponent(OpenedMembersTop(), browse::LastComponent(strArchive));
}

int RemoveStaleOpenedMembers(quint64 uMaxAgeSeconds) {
  std::vector<WIN32_FIND_DATAW> entries;
  if (!plat::ReadFolderEntries(OpenedMembersTop(), &entries)) return 0;
  const quint64 uNow = NowTicks();
  const quint64 uMaxAge = uMaxAgeSeconds * 10'000'000ULL;
  int nRemoved = 0;
  for (const WIN32_FIND_DATAW& entry : entries) {
    if (!plat::IsWalkableFolder(entry)) continue;
    const quint64 uWritten = plat::FileTimeToU64(entry.ftLastWriteTime);
    if (uWritten + uMaxAge > uNow) continue;
    if (RemoveTree(browse::AppendPathComponent(OpenedMembersTop(), plat::FindName(entry))))
      ++nRemoved;
  }
  return nRemoved;
}

}  // namespace zip
