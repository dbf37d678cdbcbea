#include "platform/folder_totals.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>

#include <vector>

#include "platform/device_root.h"
#include "platform/host_stat.h"

// The walk talks to the host directly, relative to each folder's descriptor: one status call
// per item is all a size needs, where a full find record would also read the item's extended
// attributes. The device path is mapped to the host exactly once, by the device root.

namespace plat {
namespace {

// Reads one folder: counts its files, and appends its sub-folders (not links) to pPending.
// False when fnStop asked to end the walk.
bool ReadFolder(int nDirFd, const QByteArray& host, CFolderTotals* pTotals,
                std::vector<QByteArray>* pPending, const std::function<bool()>& fnStop) {
  DIR* dir = ::fdopendir(nDirFd);
  if (!dir) {
    ::close(nDirFd);
    return true;
  }
  bool bGoOn = true;
  while (const struct dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (host::IsDotOrDotDot(name) || !host::DeviceName(name)) continue;
    if (fnStop && fnStop()) {
      bGoOn = false;
      break;
    }
    const bool bKnownDir = entry->d_type == DT_DIR;
    struct stat st;
    if (!bKnownDir && ::fstatat(nDirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (bKnownDir || S_ISDIR(st.st_mode)) {
      ++pTotals->folders;
      pPending->push_back(host + '/' + name);
      continue;
    }
    if (S_ISLNK(st.st_mode)) {
      struct stat target;
      if (::fstatat(nDirFd, name, &target, 0) != 0) {
        ++pTotals->files;  // dangling: a file of size 0
        continue;
      }
      if (S_ISDIR(target.st_mode)) continue;  // a linked folder is neither entered nor counted
      st = target;
    }
    ++pTotals->files;
    pTotals->bytes += static_cast<quint64>(st.st_size);
  }
  ::closedir(dir);
  return bGoOn;
}

}  // namespace

bool ComputeFolderTotals(const QString& strFolder, CFolderTotals* pTotals,
                         const std::function<bool()>& fnStop) {
  *pTotals = CFolderTotals{};
  QString strCanonical;
  QByteArray top;
  if (!plat::CDeviceRoot::Canonical(strFolder, &strCanonical) ||
      !plat::CDeviceRoot::ToHost(strCanonical, &top))
    return false;
  while (top.size() > 1 && top.endsWith('/')) top.chop(1);
  // The folder itself must not be a link either; the device root is taken as it is.
  const int nNoFollow = strCanonical == u"\\" ? 0 : O_NOFOLLOW;
  const int nTopFd = ::open(top.constData(), O_RDONLY | O_DIRECTORY | nNoFollow | O_CLOEXEC);
  if (nTopFd < 0) return false;
  // Folders still to read, as host paths; a list rather than the call stack, so that a deep
  // tree cannot exhaust it, and paths rather than open descriptors, so that it cannot
  // exhaust those either.
  std::vector<QByteArray> pending;
  if (!ReadFolder(nTopFd, top, pTotals, &pending, fnStop)) return false;
  while (!pending.empty()) {
    const QByteArray host = std::move(pending.back());
    pending.pop_back();
    const int nFd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (nFd < 0) continue;  // unreadable, or replaced by a link since it was seen
    if (!ReadFolder(nFd, host, pTotals, &pending, fnStop)) return false;
  }
  return true;
}

}  // namespace plat
