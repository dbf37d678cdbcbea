#include "platform/dir_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/find.h"
#include "platform/host_stat.h"

namespace plat {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// An operation's reading of a folder is no access by the user: where the host allows it (the
// owner's folders), the walk leaves the last access time as it was, so that a move can keep it.
constexpr int kNoAccessTime = O_NOATIME;

// The error of a refused folder open: a link or a file is no folder to walk into. bExists
// tells whether the name itself is there (looked up without following it).
bool FailOpen(int err, bool bExists, const QString& canonical) {
  if ((err == ELOOP || err == ENOTDIR) && bExists) return host::Fail(ERROR_DIRECTORY);
  return host::FailPath(err, canonical);
}

}  // namespace

CWalkFolder::~CWalkFolder() {
  if (fd_ >= 0) ::close(fd_);
}

CWalkFolder::CWalkFolder(CWalkFolder&& other) noexcept
    : fd_(other.fd_),
      path_(std::move(other.path_)),
      relative_(std::move(other.relative_)),
      read_(other.read_) {
  other.fd_ = -1;
}

CWalkFolder& CWalkFolder::operator=(CWalkFolder&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    relative_ = std::move(other.relative_);
    read_ = other.read_;
    other.fd_ = -1;
  }
  return *this;
}

bool CWalkFolder::Take(int fd, const QString& canonical, const QByteArray& relative) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  path_ = canonical;
  relative_ = relative;
  read_ = false;
  return true;
}

bool CWalkFolder::Open(const QString& devicePath) {
  QString canonical;
  QByteArray relative;
  if (!CDeviceRoot::Canonical(devicePath, &canonical) ||
      !host::RelativeHostPath(canonical, &relative))
    return false;
  host::CFd fd;
  int err = host::OpenBeneath(canonical, kFolderFlags | kNoAccessTime, &fd);
  if (err == EPERM) err = host::OpenBeneath(canonical, kFolderFlags, &fd);
  if (err != 0) {
    host::CFd item;
    const bool bExists = host::OpenBeneath(canonical, O_PATH | O_NOFOLLOW | O_CLOEXEC, &item) == 0;
    return FailOpen(err, bExists, canonical);
  }
  return Take(fd.Release(), canonical, relative);
}

bool CWalkFolder::OpenChild(const CWalkFolder& parent, const QString& strName) {
  if (parent.fd_ < 0) return host::Fail(ERROR_INVALID_HANDLE);
  // Only the name is mapped to the host; it is opened relative to the parent's descriptor,
  // never through a link.
  QByteArray raw;
  if (!host::HostName(strName, &raw)) return false;
  const QString canonical =
      (parent.path_ == u"\\" ? parent.path_ : parent.path_ + u'\\') + strName;
  int fd = ::openat(parent.fd_, raw.constData(), kFolderFlags | kNoAccessTime);
  if (fd < 0 && errno == EPERM) fd = ::openat(parent.fd_, raw.constData(), kFolderFlags);
  if (fd < 0) {
    const int err = errno;
    struct stat st;
    return FailOpen(err, ::fstatat(parent.fd_, raw.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0,
                    canonical);
  }
  return Take(fd, canonical,
              parent.relative_.isEmpty() ? raw : parent.relative_ + '/' + raw);
}

bool CWalkFolder::ReadEntries(std::vector<WIN32_FIND_DATAW>* pEntries,
                              std::vector<QByteArray>* pUnnamed,
                              std::vector<char>* pStatusRead) const {
  if (fd_ < 0) return host::Fail(ERROR_INVALID_HANDLE);
  FnUnnamedEntry fnUnnamed;
  if (pUnnamed) fnUnnamed = [pUnnamed](const QByteArray& raw) { pUnnamed->push_back(raw); };
  if (pStatusRead) {
    const bool bFresh = !read_;
    read_ = true;
    return ForEachKindOfOpenFolder(
        fd_, path_, relative_, bFresh,
        [pEntries, pStatusRead](const WIN32_FIND_DATAW& data, bool bStatusRead) {
          pEntries->push_back(data);
          pStatusRead->push_back(bStatusRead ? 1 : 0);
        },
        fnUnnamed);
  }
  read_ = true;
  return ForEachEntryOfOpenFolder(
      fd_, path_, relative_, [pEntries](const WIN32_FIND_DATAW& data) { pEntries->push_back(data); },
      fnUnnamed);
}

bool CWalkFolder::ReadEntry(const QString& strName, WIN32_FIND_DATAW* pData) const {
  if (fd_ < 0) return host::Fail(ERROR_INVALID_HANDLE);
  return ReadEntryOfOpenFolder(fd_, path_, relative_, strName, pData);
}

}  // namespace plat
