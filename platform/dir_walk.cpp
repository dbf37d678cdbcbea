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

// The error of a refused folder open: a link or a file is no folder to walk into.
bool FailOpen(int err, const QByteArray& host) {
  if (err == ELOOP || err == ENOTDIR) {
    struct stat st;
    if (::lstat(host.constData(), &st) == 0) return host::Fail(ERROR_DIRECTORY);
  }
  return host::FailPath(err, host);
}

}  // namespace

CWalkFolder::~CWalkFolder() {
  if (fd_ >= 0) ::close(fd_);
}

CWalkFolder::CWalkFolder(CWalkFolder&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

CWalkFolder& CWalkFolder::operator=(CWalkFolder&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

bool CWalkFolder::Take(int fd, const QString& canonical) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  path_ = canonical;
  return true;
}

bool CWalkFolder::Open(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!CDeviceRoot::Canonical(devicePath, &canonical) || !CDeviceRoot::ToHost(canonical, &host))
    return false;
  const int fd = ::open(host.constData(), kFolderFlags);
  if (fd < 0) return FailOpen(errno, host);
  return Take(fd, canonical);
}

bool CWalkFolder::OpenChild(const CWalkFolder& parent, const QString& strName) {
  const QString child =
      (parent.path_ == u"\\" ? parent.path_ : parent.path_ + u'\\') + strName;
  QString canonical;
  QByteArray host;
  if (parent.fd_ < 0 || !CDeviceRoot::Canonical(child, &canonical) ||
      !CDeviceRoot::ToHost(canonical, &host)) {
    if (parent.fd_ < 0) SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  // The host name is the last component of the mapped path.
  const QByteArray raw = host.mid(host.lastIndexOf('/') + 1);
  const int fd = ::openat(parent.fd_, raw.constData(), kFolderFlags);
  if (fd < 0) return FailOpen(errno, host);
  return Take(fd, canonical);
}

bool CWalkFolder::ReadEntries(std::vector<WIN32_FIND_DATAW>* pEntries) const {
  if (fd_ < 0) return host::Fail(ERROR_INVALID_HANDLE);
  return ForEachEntryOfOpenFolder(fd_, path_, [pEntries](const WIN32_FIND_DATAW& data) {
    pEntries->push_back(data);
  });
}

bool FlushFolder(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!CDeviceRoot::Canonical(devicePath, &canonical) || !CDeviceRoot::ToHost(canonical, &host))
    return false;
  if (CFaultInjector::IsArmed()) {
    DWORD error = ERROR_SUCCESS;
    if (CFaultInjector::Intercept(CFileOpEvent{EFaultOp::eFaultFlushFolder, canonical}, &error))
      return host::Fail(error);
  }
  const int fd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return host::FailPath(errno, host);
  const bool bOk = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync folders
  const int err = errno;
  ::close(fd);
  return bOk || host::Fail(ErrorFromErrno(err));
}

bool FlushFileSystemOf(const QString& devicePath) {
  QByteArray host;
  if (!CDeviceRoot::ToHost(devicePath, &host)) return false;
  const int fd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool bOk = ::syncfs(fd) == 0;
  ::close(fd);
  return bOk;
}

}  // namespace plat
