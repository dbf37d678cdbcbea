#include "platform/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include <QRandomGenerator>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/filetime.h"
#include "platform/host_stat.h"

namespace plat {
namespace {

using host::Fail;
using host::FailPath;

bool Injected(EFaultOp op, const QString& path) {
  if (!CFaultInjector::IsArmed()) return false;
  DWORD error = ERROR_SUCCESS;
  if (!CFaultInjector::Intercept(CFileOpEvent{op, path}, &error)) return false;
  SetLastError(error);
  return true;
}

// A device path in canonical form and its host path; false (last error set) when refused.
bool Resolve(const QString& devicePath, QString* canonical, QByteArray* host) {
  return CDeviceRoot::Canonical(devicePath, canonical) && CDeviceRoot::ToHost(*canonical, host);
}

QString ParentOf(const QString& canonical) {
  const qsizetype slash = canonical.lastIndexOf(u'\\');
  return slash <= 0 ? QStringLiteral("\\") : canonical.left(slash);
}

// The handheld refuses to delete read-only items; the program asks before clearing the bit.
bool IsOwnerReadOnly(const struct stat& st) { return !(st.st_mode & S_IWUSR); }

bool SameItem(const QByteArray& a, const QByteArray& b) {
  struct stat sa, sb;
  return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// rename() for file systems that refuse RENAME_NOREPLACE: a hard link cannot replace
// anything, so files go link-then-unlink; folders (and file systems without hard links)
// fall back to a check right before the rename.
int RenameWithoutReplaceFallback(const QByteArray& from, const QByteArray& to) {
  struct stat st;
  if (::lstat(from.constData(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) {
    if (::link(from.constData(), to.constData()) == 0) {
      if (::unlink(from.constData()) == 0) return 0;
      const int err = errno;
      ::unlink(to.constData());
      return err;
    }
    if (errno == EEXIST || errno == ENOENT || errno == EXDEV) return errno;
  }
  if (::lstat(to.constData(), &st) == 0) return EEXIST;
  return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// Renames without ever replacing an existing item. 0 or errno.
int RenameNoReplace(const QByteArray& from, const QByteArray& to) {
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
    return 0;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return err;
  // EINVAL also means "a folder into itself"; that case stays an error.
  if (err == EINVAL && to.startsWith(from + '/')) return EINVAL;
  return RenameWithoutReplaceFallback(from, to);
}

// A rename that changes only the case of the name, on a file system that folds case (where
// the new name already "exists" as the same item): two steps through a free name.
int RenameCaseOnly(const QByteArray& from, const QByteArray& to) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QByteArray temp =
        from + ".pinbro-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    int err = RenameNoReplace(from, temp);
    if (err == EEXIST) continue;
    if (err != 0) return err;
    err = RenameNoReplace(temp, to);
    if (err != 0) ::rename(temp.constData(), from.constData());
    return err;
  }
  return EEXIST;
}

DWORD RenameError(int err, const QByteArray& from, const QByteArray& to) {
  if (err == EEXIST || err == ENOTEMPTY) return ERROR_ALREADY_EXISTS;
  if (err == ENOENT || err == ENOTDIR) {
    struct stat st;
    // The source is there, so it is the target's folder that is missing.
    if (::lstat(from.constData(), &st) == 0) return ERROR_PATH_NOT_FOUND;
    return host::PathError(err, from);
  }
  return ErrorFromErrno(err);
}

}  // namespace

bool DeleteFile(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  if (Injected(EFaultOp::eFaultDelete, canonical)) return false;
  struct stat st;
  if (::lstat(host.constData(), &st) != 0) return FailPath(errno, host);
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!S_ISLNK(st.st_mode) && IsOwnerReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(host.constData()) != 0) return FailPath(errno, host);
  return true;
}

bool MoveFile(const QString& from, const QString& to) {
  QString fromCanonical, toCanonical;
  QByteArray fromHost, toHost;
  if (!Resolve(from, &fromCanonical, &fromHost) || !Resolve(to, &toCanonical, &toHost))
    return false;
  if (Injected(EFaultOp::eFaultRename, fromCanonical)) return false;
  if (fromCanonical == u"\\" || toCanonical == u"\\") return Fail(ERROR_ACCESS_DENIED);
  if (fromHost == toHost) {
    struct stat st;
    return ::lstat(fromHost.constData(), &st) == 0 || FailPath(errno, fromHost);
  }
  int err = RenameNoReplace(fromHost, toHost);
  if (err == EEXIST && fromCanonical.compare(toCanonical, Qt::CaseInsensitive) == 0 &&
      SameItem(fromHost, toHost))
    err = RenameCaseOnly(fromHost, toHost);
  if (err == 0) return true;
  return Fail(RenameError(err, fromHost, toHost));
}

bool ReplaceFile(const QString& replaced, const QString& replacement) {
  QString replacedCanonical, replacementCanonical;
  QByteArray replacedHost, replacementHost;
  if (!Resolve(replaced, &replacedCanonical, &replacedHost) ||
      !Resolve(replacement, &replacementCanonical, &replacementHost))
    return false;
  if (Injected(EFaultOp::eFaultRename, replacedCanonical)) return false;
  if (ParentOf(replacedCanonical) != ParentOf(replacementCanonical) ||
      replacedHost == replacementHost)
    return Fail(ERROR_INVALID_PARAMETER);
  struct stat st;
  if (::lstat(replacementHost.constData(), &st) != 0) return FailPath(errno, replacementHost);
  if (!S_ISREG(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (::lstat(replacedHost.constData(), &st) != 0) return FailPath(errno, replacedHost);
  if (S_ISDIR(st.st_mode) || IsOwnerReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  if (::rename(replacementHost.constData(), replacedHost.constData()) != 0)
    return Fail(ErrorFromErrno(errno));
  return true;
}

bool CreateDirectory(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  if (Injected(EFaultOp::eFaultCreate, canonical)) return false;
  if (::mkdir(host.constData(), 0777) != 0) return FailPath(errno, host);
  return true;
}

bool RemoveDirectory(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  if (Injected(EFaultOp::eFaultDelete, canonical)) return false;
  if (canonical == u"\\") return Fail(ERROR_ACCESS_DENIED);
  struct stat st;
  if (::lstat(host.constData(), &st) != 0) return FailPath(errno, host);
  if (S_ISLNK(st.st_mode)) {
    struct stat target;
    if (::stat(host.constData(), &target) != 0 || !S_ISDIR(target.st_mode))
      return Fail(ERROR_DIRECTORY);
    if (::unlink(host.constData()) != 0) return FailPath(errno, host);
    return true;
  }
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (IsOwnerReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  if (::rmdir(host.constData()) != 0) {
    const int err = errno;
    return Fail(err == EEXIST ? ERROR_DIR_NOT_EMPTY : host::PathError(err, host));
  }
  return true;
}

DWORD GetFileAttributes(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return INVALID_FILE_ATTRIBUTES;
  host::CItemStatus status;
  if (const int err = host::StatItem(AT_FDCWD, host.constData(), &status)) {
    FailPath(err, host);
    return INVALID_FILE_ATTRIBUTES;
  }
  const host::CStoredMeta meta =
      status.dangling ? host::CStoredMeta{} : host::ReadStoredMeta(host.constData());
  return host::AttributesOf(status, meta, host::LastComponent(canonical).startsWith(u'.'),
                            host::IsTopLevel(canonical), CDeviceRoot::HostDevice());
}

bool SetFileAttributes(const QString& devicePath, DWORD attributes) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  if (Injected(EFaultOp::eFaultAttributes, canonical)) return false;
  const int err = host::ApplyAttributes(host.constData(), attributes,
                                        host::LastComponent(canonical).startsWith(u'.'));
  return err == 0 || FailPath(err, host);
}

bool GetFileTimes(const QString& devicePath, FILETIME* creation, FILETIME* lastAccess,
                  FILETIME* lastWrite) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  host::CItemStatus status;
  if (const int err = host::StatItem(AT_FDCWD, host.constData(), &status))
    return FailPath(err, host);
  if (creation) {
    const host::CStoredMeta meta =
        status.dangling ? host::CStoredMeta{} : host::ReadStoredMeta(host.constData());
    *creation = host::CreationTimeOf(status, meta);
  }
  if (lastAccess) *lastAccess = status.access;
  if (lastWrite) *lastWrite = status.write;
  return true;
}

bool SetFileTimes(const QString& devicePath, const FILETIME* creation,
                  const FILETIME* lastAccess, const FILETIME* lastWrite) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  if (Injected(EFaultOp::eFaultAttributes, canonical)) return false;
  struct timespec times[2];
  const FILETIME* given[2] = {lastAccess, lastWrite};
  for (int i = 0; i < 2; ++i) {
    times[i] = {0, UTIME_OMIT};
    if (!given[i]) continue;
    qint64 s, ns;
    FileTimeToUnix(*given[i], &s, &ns);
    times[i] = {static_cast<time_t>(s), static_cast<long>(ns)};
  }
  if (::utimensat(AT_FDCWD, host.constData(), times, 0) != 0) return FailPath(errno, host);
  if (creation) {
    if (const int err = host::StoreCreationTime(host.constData(), *creation))
      return FailPath(err, host);
  }
  return true;
}

UINT GetTempFileName(const QString& folder, const QString& prefix, UINT unique,
                     QString* tempPath) {
  QString canonicalFolder;
  if (!CDeviceRoot::Canonical(folder, &canonicalFolder)) return 0;
  if (prefix.left(3).contains(u'\\') || prefix.left(3).contains(u'/')) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  const QString base =
      (canonicalFolder == u"\\" ? canonicalFolder : canonicalFolder + u'\\') + prefix.left(3);
  auto nameFor = [&](UINT number) {
    return base + QString::number(number, 16).toUpper() + QStringLiteral(".tmp");
  };
  if (unique != 0) {
    // As the handheld: only the low 16 bits count, and nothing is created.
    unique &= 0xFFFF;
    *tempPath = nameFor(unique);
    return unique;
  }
  // A random start keeps a folder full of earlier names from being probed one by one.
  UINT number = QRandomGenerator::global()->bounded(1u, 0x10000u);
  for (int tries = 0; tries < 0xFFFF; ++tries, number = number % 0xFFFF + 1) {
    const QString candidate = nameFor(number);
    QByteArray host;
    if (!CDeviceRoot::ToHost(candidate, &host)) return 0;
    if (Injected(EFaultOp::eFaultCreate, candidate)) return 0;
    const int fd = ::open(host.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      *tempPath = candidate;
      return number;
    }
    if (errno != EEXIST) {
      FailPath(errno, host);
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

bool GetDiskFreeSpaceEx(const QString& devicePath, quint64* freeBytesToCaller,
                        quint64* totalBytes, quint64* totalFreeBytes) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host)) return false;
  struct statvfs vfs;
  if (::statvfs(host.constData(), &vfs) != 0) return FailPath(errno, host);
  const quint64 unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  if (freeBytesToCaller) *freeBytesToCaller = vfs.f_bavail * unit;
  if (totalBytes) *totalBytes = vfs.f_blocks * unit;
  if (totalFreeBytes) *totalFreeBytes = vfs.f_bfree * unit;
  return true;
}

bool IsStorageCard(const QString& devicePath) {
  QString canonical;
  QByteArray host;
  if (!Resolve(devicePath, &canonical, &host) || !host::IsTopLevel(canonical)) return false;
  host::CItemStatus status;
  if (host::StatItem(AT_FDCWD, host.constData(), &status) != 0) return false;
  return host::IsMountPoint(status, CDeviceRoot::HostDevice());
}

}  // namespace plat
