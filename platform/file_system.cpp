#include "platform/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include <QRandomGenerator>
#include <QStringList>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "platform/host_stat.h"

namespace plat {
namespace {

using host::Fail;

// An item named by a device path: its canonical form, and the folder that holds it (opened
// beneath the root) with the item's host name, for the *at() calls that act on the item
// itself and never follow it.
struct CItemAt {
  QString canonical;
  host::CFd folder;
  QByteArray name;
  int Dir() const { return folder.Get(); }
  const char* Name() const { return name.constData(); }
};

// False (last error set) when the path is refused or its folder cannot be found.
bool Resolve(const QString& devicePath, CItemAt* item) {
  if (!CDeviceRoot::Canonical(devicePath, &item->canonical)) return false;
  if (const int err = host::OpenParent(item->canonical, &item->folder, &item->name))
    return Fail(host::PathError(err, false));
  return true;
}

// Canonical form only: the fault injector sees a call before anything is looked up.
bool Canonical(const QString& devicePath, QString* canonical) {
  return CDeviceRoot::Canonical(devicePath, canonical);
}

bool FailAt(int err) { return Fail(host::PathError(err, true)); }

QString ParentOf(const QString& canonical) {
  const qsizetype slash = canonical.lastIndexOf(u'\\');
  return slash <= 0 ? QStringLiteral("\\") : canonical.left(slash);
}

// The handheld refuses to delete read-only items; the program asks before clearing the bit.
bool IsOwnerReadOnly(const struct stat& st) { return !(st.st_mode & S_IWUSR); }

int LinkStat(const CItemAt& item, struct stat* st) {
  return ::fstatat(item.Dir(), item.Name(), st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

bool SameItem(const CItemAt& a, const CItemAt& b) {
  struct stat sa, sb;
  return LinkStat(a, &sa) == 0 && LinkStat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// renameat() for file systems that refuse RENAME_NOREPLACE: a hard link cannot replace
// anything, so files go link-then-unlink; folders (and file systems without hard links)
// fall back to a check right before the rename.
int RenameWithoutReplaceFallback(int fromDir, const char* from, int toDir, const char* to) {
  struct stat st;
  if (::fstatat(fromDir, from, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) {
    if (::linkat(fromDir, from, toDir, to, 0) == 0) {
      if (::unlinkat(fromDir, from, 0) == 0) return 0;
      const int err = errno;
      ::unlinkat(toDir, to, 0);
      return err;
    }
    if (errno == EEXIST || errno == ENOENT || errno == EXDEV) return errno;
  }
  if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
}

// Renames without ever replacing an existing item. 0 or errno. intoItself: the target lies
// inside the source (EINVAL from the host then means just that).
int RenameNoReplace(int fromDir, const char* from, int toDir, const char* to,
                    bool intoItself = false) {
  if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0) return 0;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return err;
  if (err == EINVAL && intoItself) return EINVAL;
  return RenameWithoutReplaceFallback(fromDir, from, toDir, to);
}

// A rename that changes only the case of the name, on a file system that folds case (where
// the new name already "exists" as the same item): two steps through a free name.
int RenameCaseOnly(const CItemAt& from, const CItemAt& to) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QByteArray temp =
        from.name + ".pinbro-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    int err = RenameNoReplace(from.Dir(), from.Name(), from.Dir(), temp.constData());
    if (err == EEXIST) continue;
    if (err != 0) return err;
    err = RenameNoReplace(from.Dir(), temp.constData(), to.Dir(), to.Name());
    if (err != 0) ::renameat(from.Dir(), temp.constData(), from.Dir(), from.Name());
    return err;
  }
  return EEXIST;
}

DWORD RenameError(int err, const CItemAt& from) {
  if (err == EEXIST || err == ENOTEMPTY) return ERROR_ALREADY_EXISTS;
  if (err == ENOENT || err == ENOTDIR) {
    struct stat st;
    // The source is there, so it is the target's folder that is missing.
    if (LinkStat(from, &st) == 0) return ERROR_PATH_NOT_FOUND;
    return host::PathError(err, true);
  }
  return ErrorFromErrno(err);
}

// The item a device path names, links followed while they stay inside the root, as an
// O_PATH descriptor. False (last error set) when it cannot be reached.
bool OpenTarget(const QString& canonical, host::CFd* fd) {
  const int err = host::OpenBeneath(canonical, O_PATH, fd);
  return err == 0 || host::FailPath(err, canonical);
}

}  // namespace

bool DeleteFile(const QString& devicePath) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultDelete, canonical)) return false;
  CItemAt item;
  if (!Resolve(canonical, &item)) return false;
  struct stat st;
  if (const int err = LinkStat(item, &st)) return FailAt(err);
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!S_ISLNK(st.st_mode) && IsOwnerReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  // unlinkat never follows a link, and refuses a folder put in the file's place meanwhile.
  if (::unlinkat(item.Dir(), item.Name(), 0) != 0) return FailAt(errno);
  return true;
}

bool MoveFile(const QString& from, const QString& to) {
  QString fromCanonical, toCanonical;
  if (!Canonical(from, &fromCanonical) || !Canonical(to, &toCanonical)) return false;
  if (InjectedFault(EFaultOp::eFaultRename, fromCanonical)) return false;
  if (fromCanonical == u"\\" || toCanonical == u"\\") return Fail(ERROR_ACCESS_DENIED);
  CItemAt source, target;
  if (!Resolve(fromCanonical, &source)) return false;
  if (!Resolve(toCanonical, &target)) {
    const DWORD error = GetLastError();
    struct stat st;
    if (LinkStat(source, &st) != 0) return FailAt(errno);  // the source is missing too
    return Fail(error);
  }
  if (fromCanonical == toCanonical) {
    struct stat st;
    return LinkStat(source, &st) == 0 || FailAt(errno);
  }
  const bool intoItself = toCanonical.startsWith(fromCanonical + u'\\');
  int err = RenameNoReplace(source.Dir(), source.Name(), target.Dir(), target.Name(), intoItself);
  if (err == EEXIST && fromCanonical.compare(toCanonical, Qt::CaseInsensitive) == 0 &&
      SameItem(source, target))
    err = RenameCaseOnly(source, target);
  if (err == 0) return true;
  return Fail(RenameError(err, source));
}

bool ReplaceFile(const QString& replaced, const QString& replacement) {
  QString replacedCanonical, replacementCanonical;
  if (!Canonical(replaced, &replacedCanonical) ||
      !Canonical(replacement, &replacementCanonical))
    return false;
  if (InjectedFault(EFaultOp::eFaultRename, replacedCanonical)) return false;
  if (ParentOf(replacedCanonical) != ParentOf(replacementCanonical) ||
      replacedCanonical == replacementCanonical)
    return Fail(ERROR_INVALID_PARAMETER);
  // Both lie in one folder: one descriptor of it serves both names.
  CItemAt old;
  QByteArray freshRelative;
  if (!Resolve(replacedCanonical, &old) ||
      !host::RelativeHostPath(replacementCanonical, &freshRelative))
    return false;
  const QByteArray fresh = freshRelative.mid(freshRelative.lastIndexOf('/') + 1);
  struct stat st;
  if (::fstatat(old.Dir(), fresh.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
    return FailAt(errno);
  if (!S_ISREG(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (const int err = LinkStat(old, &st)) return FailAt(err);
  if (S_ISDIR(st.st_mode) || IsOwnerReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  if (::renameat(old.Dir(), fresh.constData(), old.Dir(), old.Name()) != 0)
    return Fail(ErrorFromErrno(errno));
  return true;
}

bool CreateDirectory(const QString& devicePath) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultCreate, canonical)) return false;
  CItemAt item;
  if (!Resolve(canonical, &item)) return false;
  if (::mkdirat(item.Dir(), item.Name(), 0777) != 0) return FailAt(errno);
  return true;
}

bool CreateFolders(const QString& devicePath) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  QString path;
  for (const QString& part : canonical.split(u'\\', Qt::SkipEmptyParts)) {
    path += u'\\' + part;
    DWORD attributes = GetFileAttributes(path);
    const auto isFolder = [&] {
      return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    if (isFolder() || CreateDirectory(path)) continue;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    attributes = GetFileAttributes(path);
    if (isFolder()) continue;  // made by someone else meanwhile
    // A file in the way, or a link that leads outside the root (never entered).
    return Fail(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    ? ERROR_ACCESS_DENIED
                    : ERROR_PATH_NOT_FOUND);
  }
  return true;
}

bool RemoveDirectory(const QString& devicePath) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultDelete, canonical)) return false;
  if (canonical == u"\\") return Fail(ERROR_ACCESS_DENIED);
  CItemAt item;
  if (!Resolve(canonical, &item)) return false;
  struct stat st;
  if (const int err = LinkStat(item, &st)) return FailAt(err);
  if (S_ISLNK(st.st_mode)) {
    // A link to a folder is removed itself; one that leads outside the root (whose target is
    // never looked at) counts as a link to a folder, so that it can always be removed.
    host::CFd target;
    const int err = host::OpenBeneath(canonical, O_PATH, &target);
    struct stat targetStatus;
    const bool isFolder = err == EACCES ||
                          (err == 0 && ::fstat(target.Get(), &targetStatus) == 0 &&
                           S_ISDIR(targetStatus.st_mode));
    if (!isFolder) return Fail(ERROR_DIRECTORY);
    if (::unlinkat(item.Dir(), item.Name(), 0) != 0) return FailAt(errno);
    return true;
  }
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (IsOwnerReadOnly(st)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlinkat(item.Dir(), item.Name(), AT_REMOVEDIR) != 0) {
    const int err = errno;
    return Fail(err == EEXIST ? ERROR_DIR_NOT_EMPTY : host::PathError(err, true));
  }
  return true;
}

DWORD GetFileAttributes(const QString& devicePath) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return INVALID_FILE_ATTRIBUTES;
  host::CItemStatus status;
  host::CStoredMeta meta;
  if (const DWORD error = host::StatPath(canonical, &status, &meta)) {
    SetLastError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  return host::AttributesOf(status, meta, host::LastComponent(canonical).startsWith(u'.'),
                            host::IsTopLevel(canonical), CDeviceRoot::HostDevice());
}

bool SetFileAttributes(const QString& devicePath, DWORD attributes) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultAttributes, canonical)) return false;
  host::CFd target;
  if (!OpenTarget(canonical, &target)) return false;
  const int err = host::ApplyAttributes(target.Get(), attributes,
                                        host::LastComponent(canonical).startsWith(u'.'));
  return err == 0 || Fail(ErrorFromErrno(err));
}

bool ReadLinkTarget(const QString& devicePath, QString* target) {
  CItemAt item;
  if (!Resolve(devicePath, &item)) return false;
  struct stat st;
  if (const int err = LinkStat(item, &st)) return FailAt(err);
  if (!S_ISLNK(st.st_mode)) return Fail(ERROR_INVALID_PARAMETER);
  // A target may grow between the status and the read: read until the buffer holds it all.
  QByteArray raw(qMax<qsizetype>(st.st_size, 64) + 1, Qt::Uninitialized);
  for (;;) {
    const ssize_t n = ::readlinkat(item.Dir(), item.Name(), raw.data(), size_t(raw.size()));
    if (n < 0) return FailAt(errno);
    if (n < raw.size()) {
      raw.truncate(n);
      break;
    }
    raw.resize(raw.size() * 2);
  }
  *target = ShownHostName(raw);
  return true;
}

bool GetFileTimes(const QString& devicePath, FILETIME* creation, FILETIME* lastAccess,
                  FILETIME* lastWrite) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  host::CItemStatus status;
  host::CStoredMeta meta;
  if (const DWORD error = host::StatPath(canonical, &status, creation ? &meta : nullptr))
    return Fail(error);
  if (creation) *creation = host::CreationTimeOf(status, meta);
  if (lastAccess) *lastAccess = status.access;
  if (lastWrite) *lastWrite = status.write;
  return true;
}

bool SetFileTimes(const QString& devicePath, const FILETIME* creation,
                  const FILETIME* lastAccess, const FILETIME* lastWrite) {
  QString canonical;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultAttributes, canonical)) return false;
  struct timespec times[2];
  const FILETIME* given[2] = {lastAccess, lastWrite};
  for (int i = 0; i < 2; ++i) {
    times[i] = {0, UTIME_OMIT};
    if (!given[i]) continue;
    qint64 s, ns;
    FileTimeToUnix(*given[i], &s, &ns);
    times[i] = {static_cast<time_t>(s), static_cast<long>(ns)};
  }
  host::CFd target;
  if (!OpenTarget(canonical, &target)) return false;
  // An O_PATH descriptor takes no times itself; the host sets them through its /proc name.
  const QByteArray proc = "/proc/self/fd/" + QByteArray::number(target.Get());
  if (::utimensat(AT_FDCWD, proc.constData(), times, 0) != 0) return Fail(ErrorFromErrno(errno));
  if (creation) {
    if (const int err = host::StoreCreationTime(target.Get(), *creation))
      return Fail(ErrorFromErrno(err));
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
  host::CFd folderFd;
  if (const int err = host::OpenBeneath(canonicalFolder, O_PATH | O_DIRECTORY, &folderFd)) {
    SetLastError(host::PathError(err, false));
    return 0;
  }
  // A random start keeps a folder full of earlier names from being probed one by one.
  UINT number = QRandomGenerator::global()->bounded(1u, 0x10000u);
  for (int tries = 0; tries < 0xFFFF; ++tries, number = number % 0xFFFF + 1) {
    const QString candidate = nameFor(number);
    QByteArray relative;
    if (!host::RelativeHostPath(candidate, &relative)) return 0;
    if (InjectedFault(EFaultOp::eFaultCreate, candidate)) return 0;
    const QByteArray name = relative.mid(relative.lastIndexOf('/') + 1);
    const int fd =
        ::openat(folderFd.Get(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      *tempPath = candidate;
      return number;
    }
    if (errno != EEXIST) {
      FailAt(errno);
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

bool GetDiskFreeSpaceEx(const QString& devicePath, quint64* freeBytesToCaller,
                        quint64* totalBytes, quint64* totalFreeBytes) {
  QString canonical;
  host::CFd target;
  if (!Canonical(devicePath, &canonical) || !OpenTarget(canonical, &target)) return false;
  struct statvfs vfs;
  if (::fstatvfs(target.Get(), &vfs) != 0) return Fail(ErrorFromErrno(errno));
  const quint64 unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  if (freeBytesToCaller) *freeBytesToCaller = vfs.f_bavail * unit;
  if (totalBytes) *totalBytes = vfs.f_blocks * unit;
  if (totalFreeBytes) *totalFreeBytes = vfs.f_bfree * unit;
  return true;
}

bool FlushFolder(const QString& devicePath) {
  QString canonical;
  host::CFd folder;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultFlushFolder, canonical)) return false;
  if (const int err = host::OpenBeneath(canonical, O_RDONLY | O_DIRECTORY, &folder))
    return host::FailPath(err, canonical);
  if (::fsync(folder.Get()) == 0 || errno == EINVAL) return true;  // some cannot sync folders
  return Fail(ErrorFromErrno(errno));
}

bool FlushFileSystem(const QString& devicePath) {
  QString canonical;
  host::CFd target;
  if (!Canonical(devicePath, &canonical)) return false;
  if (InjectedFault(EFaultOp::eFaultFlushFileSystem, canonical)) return false;
  if (const int err = host::OpenBeneath(canonical, O_RDONLY | O_DIRECTORY, &target))
    return host::FailPath(err, canonical);
  return ::syncfs(target.Get()) == 0 || Fail(ErrorFromErrno(errno));
}

bool GetItemIdentity(const QString& devicePath, quint64* device, quint64* inode) {
  QString canonical;
  host::CFd target;
  if (!Canonical(devicePath, &canonical) || !OpenTarget(canonical, &target)) return false;
  struct stat st;
  if (::fstat(target.Get(), &st) != 0) return Fail(ErrorFromErrno(errno));
  *device = st.st_dev;
  *inode = st.st_ino;
  return true;
}

bool IsStorageCard(const QString& devicePath) {
  QString canonical;
  if (!Canonical(devicePath, &canonical) || !host::IsTopLevel(canonical)) return false;
  host::CItemStatus status;
  if (host::StatPath(canonical, &status, nullptr) != 0) return false;
  return host::IsMountPoint(status, CDeviceRoot::HostDevice());
}

}  // namespace plat
