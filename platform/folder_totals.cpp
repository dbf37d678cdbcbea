#include "platform/folder_totals.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QByteArray>

#include <vector>

#include "platform/device_root.h"
#include "platform/host_stat.h"

// The walk talks to the host directly, relative to each folder's descriptor: one status call
// per item is all a size needs, where a full find record would also read the item's extended
// attributes. The top folder is found beneath the device root; every folder below it is
// opened relative to its parent's descriptor without following a link, so that a folder
// swapped for a link while the walk runs is never entered.

namespace plat {
namespace {

// Opens a sub-folder of nDirFd without following a link. Counting is no access by the user:
// where the host allows it (the owner's folders) the folder's last access time stays.
int OpenSubFolder(int nDirFd, const char* name) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  const int fd = ::openat(nDirFd, name, kFlags | O_NOATIME);
  return fd >= 0 || errno != EPERM ? fd : ::openat(nDirFd, name, kFlags);
}

// A folder being read, and the names of its sub-folders still to enter.
struct CFrame {
  int fd = -1;  // the folder, kept open so that its sub-folders are opened relative to it
  QByteArray relative;  // its path relative to the root, against which links are resolved
  std::vector<QByteArray> subFolders;
};

// Reads one folder (nDirFd, which stays open): counts its files, and lists its sub-folders
// (not links) in pFrame. False when fnStop asked to end the walk.
bool ReadFolder(CFolderTotals* pTotals, CFrame* pFrame, const std::function<bool()>& fnStop) {
  const int nDirFd = pFrame->fd;
  const int nReadFd = ::dup(nDirFd);  // the stream owns its descriptor; the frame keeps its own
  DIR* dir = nReadFd < 0 ? nullptr : ::fdopendir(nReadFd);
  if (!dir) {
    if (nReadFd >= 0) ::close(nReadFd);
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
      pFrame->subFolders.emplace_back(name);
      continue;
    }
    if (S_ISLNK(st.st_mode)) {
      // What the listing shows for the link: its target inside the root, or a dangling link.
      host::CItemStatus status;
      if (host::StatItem(nDirFd, name, pFrame->relative, &status) != 0) continue;
      if (status.isDir) continue;  // a linked folder is neither entered nor counted
      ++pTotals->files;            // a dangling link is a file of size 0
      pTotals->bytes += status.size;
      continue;
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
  if (!plat::CDeviceRoot::Canonical(strFolder, &strCanonical)) return false;
  // The folder itself must not be a link either; the device root is taken as it is.
  const int nNoFollow = strCanonical == u"\\" ? 0 : O_NOFOLLOW;
  QByteArray relative;
  host::CFd top;
  if (!host::RelativeHostPath(strCanonical, &relative)) return false;
  int err = host::OpenRelative(relative, O_RDONLY | O_DIRECTORY | nNoFollow | O_NOATIME, &top);
  if (err == EPERM) err = host::OpenRelative(relative, O_RDONLY | O_DIRECTORY | nNoFollow, &top);
  if (err != 0) return false;
  // Depth first, one open descriptor per level: a list rather than the call stack, so that
  // a deep tree cannot exhaust it. A level the host refuses to open (too many open files
  // included) adds nothing.
  std::vector<CFrame> stack(1);
  stack.back().fd = top.Release();
  stack.back().relative = relative;
  bool bGoOn = ReadFolder(pTotals, &stack.back(), fnStop);
  while (bGoOn && !stack.empty()) {
    CFrame& frame = stack.back();
    if (frame.subFolders.empty()) {
      ::close(frame.fd);
      stack.pop_back();
      continue;
    }
    const QByteArray name = std::move(frame.subFolders.back());
    frame.subFolders.pop_back();
    const int nFd = OpenSubFolder(frame.fd, name.constData());
    if (nFd < 0) continue;  // unreadable, or replaced by a link since it was seen
    CFrame child;
    child.fd = nFd;
    child.relative = frame.relative.isEmpty() ? name : frame.relative + '/' + name;
    stack.push_back(std::move(child));  // frame is not used after this
    bGoOn = ReadFolder(pTotals, &stack.back(), fnStop);
  }
  for (const CFrame& frame : stack) ::close(frame.fd);
  return bGoOn;
}

}  // namespace plat
