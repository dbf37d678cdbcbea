#include "collect/tree_walk.h"

#include <vector>

#include "core/path_helpers.h"
#include "platform/device_root.h"
#include "platform/dir_walk.h"
#include "platform/errors.h"
#include "platform/find.h"

namespace collect {
namespace {

using fileops::CWalkItem;
using fileops::EWalk;

// One entry of the root; false when the walk stops, *pbLeave when the visitor skips the rest.
bool VisitRootEntry(const WIN32_FIND_DATAW& entry, fileops::IPlanVisitor& visitor,
                    bool* pbLeave) {
  const CWalkItem item{browse::AppendPathComponent(QStringLiteral("\\"), plat::FindName(entry)),
                       entry};
  EWalk next = EWalk::eGoOn;
  if (plat::IsWalkableFolder(entry))
    return fileops::WalkFolder(item.strPath, visitor);
  if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    next = visitor.LinkNotFollowed(item);
  else
    next = visitor.File(item);
  *pbLeave = next == EWalk::eSkip;
  return next != EWalk::eStop;
}

bool WalkRoot(fileops::IPlanVisitor& visitor) {
  CWalkItem self;
  self.strPath = QStringLiteral("\\");
  self.data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  const EWalk entered = visitor.FolderEntered(self);
  if (entered != EWalk::eGoOn) return entered != EWalk::eStop;
  plat::CWalkFolder root;
  std::vector<WIN32_FIND_DATAW> entries;
  std::vector<QByteArray> unnamed;
  if (!root.Open(self.strPath) || !root.ReadEntries(&entries, &unnamed)) {
    if (visitor.Refused(self, plat::GetLastError()) == EWalk::eStop) return false;
    entries.clear();
    unnamed.clear();
  }
  for (const QByteArray& raw : unnamed) {
    const EWalk next = visitor.Unnamed(self, plat::ShownHostName(raw));
    if (next == EWalk::eStop) return false;
    if (next == EWalk::eSkip) return visitor.FolderLeft(self) != EWalk::eStop;
  }
  for (const WIN32_FIND_DATAW& entry : entries) {
    bool bLeave = false;
    if (!VisitRootEntry(entry, visitor, &bLeave)) return false;
    if (bLeave) break;
  }
  return visitor.FolderLeft(self) != EWalk::eStop;
}

}  // namespace

bool WalkTree(const QString& strFolder, fileops::IPlanVisitor& visitor) {
  QString canonical;
  if (plat::CDeviceRoot::Canonical(strFolder, &canonical) && canonical == u"\\")
    return WalkRoot(visitor);
  return fileops::WalkFolder(strFolder, visitor);
}

}  // namespace collect
