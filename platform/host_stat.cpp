#include "platform/host_stat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <QFile>

#include "platform/errors.h"
#include "platform/filetime.h"

namespace plat::host {
namespace {

constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;

FILETIME FromStatx(const struct statx_timestamp& t) { return FileTimeFromUnix(t.tv_sec, t.tv_nsec); }

void CopyTimes(const struct statx& sx, CItemStatus* status) {
  status->access = FromStatx(sx.stx_atime);
  status->write = FromStatx(sx.stx_mtime);
  status->hasBirth = (sx.stx_mask & STATX_BTIME) != 0;
  if (status->hasBirth) status->birth = FromStatx(sx.stx_btime);
}

// Parses the decimal text of an extended attribute value.
bool ParseNumber(const char* text, ssize_t length, quint64* value) {
  if (length <= 0 || length > 20) return false;
  quint64 v = 0;
  for (ssize_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + static_cast<quint64>(text[i] - '0');
  }
  *value = v;
  return true;
}

// The extended-attribute calls relative to a folder's descriptor came with Linux 6.13; the
// same numbers on every architecture. Before that, and for an item's own descriptor (which
// those calls refuse when it is an O_PATH one), the descriptor is named through /proc.
#ifndef SYS_getxattrat
constexpr long SYS_getxattrat = 464;
#endif
#ifndef SYS_listxattrat
constexpr long SYS_listxattrat = 465;
#endif
#ifndef SYS_fchmodat2
constexpr long SYS_fchmodat2 = 452;
#endif

struct CXattrArgs {  // struct xattr_args of the kernel
  quint64 value;
  quint32 size;
  quint32 flags;
};

std::atomic<bool> g_noXattrAt{false};
std::atomic<bool> g_noChmodAt2{false};

QByteArray ProcPath(int fd, const char* name) {
  QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
  if (*name) path += QByteArray("/") + name;
  return path;
}

ssize_t ListXattr(int dirFd, const char* name, char* list, size_t size) {
  if (*name && !g_noXattrAt.load(std::memory_order_relaxed)) {
    const long n = ::syscall(SYS_listxattrat, dirFd, name, AT_SYMLINK_NOFOLLOW, list, size);
    if (n >= 0 || errno != ENOSYS) return n;
    g_noXattrAt.store(true, std::memory_order_relaxed);
  }
  const QByteArray path = ProcPath(dirFd, name);
  return *name ? ::llistxattr(path.constData(), list, size)
               : ::listxattr(path.constData(), list, size);
}

ssize_t GetXattr(int dirFd, const char* name, const char* attribute, char* value,
                 size_t size) {
  if (*name && !g_noXattrAt.load(std::memory_order_relaxed)) {
    CXattrArgs args{reinterpret_cast<quintptr>(value), static_cast<quint32>(size), 0};
    const long n = ::syscall(SYS_getxattrat, dirFd, name, AT_SYMLINK_NOFOLLOW, attribute,
                             &args, sizeof(args));
    if (n >= 0 || errno != ENOSYS) return n;
    g_noXattrAt.store(true, std::memory_order_relaxed);
  }
  const QByteArray path = ProcPath(dirFd, name);
  return *name ? ::lgetxattr(path.constData(), attribute, value, size)
               : ::getxattr(path.constData(), attribute, value, size);
}

// The changes act on an item's own descriptor only.
int SetXattr(int fd, const char* attribute, const QByteArray& value) {
  const QByteArray path = ProcPath(fd, "");
  return ::setxattr(path.constData(), attribute, value.constData(), value.size(), 0) == 0
             ? 0
             : errno;
}

int RemoveXattr(int fd, const char* attribute) {
  const QByteArray path = ProcPath(fd, "");
  if (::removexattr(path.constData(), attribute) == 0 || errno == ENODATA) return 0;
  return errno;
}

int ChangeMode(int fd, mode_t mode) {
  if (!g_noChmodAt2.load(std::memory_order_relaxed)) {
    if (::syscall(SYS_fchmodat2, fd, "", mode, AT_EMPTY_PATH) == 0) return 0;
    if (errno != ENOSYS) return errno;
    g_noChmodAt2.store(true, std::memory_order_relaxed);
  }
  const QByteArray path = ProcPath(fd, "");
  return ::chmod(path.constData(), mode) == 0 ? 0 : errno;
}

bool ReadNumberXattr(int dirFd, const char* name, const char* attribute, quint64* value) {
  char buffer[32];
  const ssize_t n = GetXattr(dirFd, name, attribute, buffer, sizeof(buffer));
  return ParseNumber(buffer, n, value);
}

// Unsupported here: the file system has no user extended attributes, or the item is of a
// kind that cannot carry them. The bits are then dropped without failing the call.
bool IsUnsupported(int err) { return err == ENOTSUP || err == EPERM; }

// Changing an extended attribute needs write permission on the item; a read-only item gets
// the owner's write bit for the duration of the change.
int WithOwnerWrite(int fd, const std::function<int()>& change) {
  int err = change();
  if (err != EACCES) return IsUnsupported(err) ? 0 : err;
  struct stat st;
  if (::fstat(fd, &st) != 0 || (st.st_mode & S_IWUSR)) return err;
  if (ChangeMode(fd, (st.st_mode | S_IWUSR) & 07777) != 0) return err;
  err = change();
  ChangeMode(fd, st.st_mode & 07777);
  return IsUnsupported(err) ? 0 : err;
}

// The status of a link's target, looked up beneath the root; false when it cannot be reached
// there (missing, a loop, or outside the root).
bool StatTarget(const QByteArray& relative, struct statx* target, CFd* pTarget) {
  CFd fd;
  if (OpenRelative(relative, O_PATH, &fd) != 0) return false;
  if (::statx(fd.Get(), "", AT_EMPTY_PATH | AT_NO_AUTOMOUNT, kStatxMask, target) != 0)
    return false;
  if (pTarget) *pTarget = std::move(fd);
  return true;
}

}  // namespace

int StatItem(int dirFd, const char* name, const QByteArray& folderRelative,
             CItemStatus* status, CFd* pTarget) {
  struct statx sx;
  if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &sx) != 0)
    return errno;
  *status = CItemStatus{};
  status->device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  status->inode = sx.stx_ino;
  if (S_ISLNK(sx.stx_mode)) {
    status->isLink = true;
    const QByteArray relative =
        folderRelative.isEmpty() ? QByteArray(name) : folderRelative + '/' + name;
    struct statx target;
    if (!StatTarget(relative, &target, pTarget)) {
      // Dangling, looping or leading outside: a file of size 0 with the link's own times.
      status->dangling = true;
      status->mode = S_IFREG | (sx.stx_mode & 07777);
      CopyTimes(sx, status);
      return 0;
    }
    sx = target;
  } else {
    status->mountKnown = (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0;
    status->mountRoot = status->mountKnown && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
  }
  status->mode = sx.stx_mode;
  status->isDir = S_ISDIR(sx.stx_mode);
  status->size = status->isDir ? 0 : sx.stx_size;
  CopyTimes(sx, status);
  return 0;
}

int StatOpenItem(int fd, CItemStatus* status) {
  struct statx sx;
  if (::statx(fd, "", AT_EMPTY_PATH | AT_NO_AUTOMOUNT, kStatxMask, &sx) != 0) return errno;
  *status = CItemStatus{};
  status->device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  status->inode = sx.stx_ino;
  status->mode = sx.stx_mode;
  status->isDir = S_ISDIR(sx.stx_mode);
  status->size = status->isDir ? 0 : sx.stx_size;
  CopyTimes(sx, status);
  return 0;
}

CStoredMeta ReadStoredMeta(int dirFd, const char* name) {
  CStoredMeta meta;
  char names[512];
  const ssize_t n = ListXattr(dirFd, name, names, sizeof(names));
  bool hasAttributes = false;
  bool hasCreation = false;
  if (n < 0 && errno == ERANGE) {
    // Many other extended attributes: ask for ours directly.
    hasAttributes = hasCreation = true;
  } else {
    for (ssize_t i = 0; i < n; i += static_cast<ssize_t>(std::strlen(names + i)) + 1) {
      hasAttributes = hasAttributes || std::strcmp(names + i, kAttributesXattr) == 0;
      hasCreation = hasCreation || std::strcmp(names + i, kCreationXattr) == 0;
    }
  }
  quint64 value = 0;
  if (hasAttributes && ReadNumberXattr(dirFd, name, kAttributesXattr, &value))
    meta.attributes = static_cast<DWORD>(value) & kStoredAttributes;
  if (hasCreation && ReadNumberXattr(dirFd, name, kCreationXattr, &value)) {
    meta.hasCreation = true;
    meta.creation = FileTimeFromU64(value);
  }
  return meta;
}

DWORD StatPath(const QString& canonical, CItemStatus* status, CStoredMeta* pMeta) {
  QByteArray relative;
  if (!RelativeHostPath(canonical, &relative)) return ERROR_INVALID_NAME;
  const qsizetype slash = relative.lastIndexOf('/');
  const QByteArray folderRelative = slash < 0 ? QByteArray() : relative.left(slash);
  const QByteArray name = relative.isEmpty() ? QByteArray(".") : relative.mid(slash + 1);
  CFd folder;
  if (const int err = OpenRelative(folderRelative, O_PATH | O_DIRECTORY, &folder))
    return PathError(err, false);
  CFd target;
  if (const int err = StatItem(folder.Get(), name.constData(), folderRelative, status, &target))
    return PathError(err, true);
  if (pMeta) {
    if (status->dangling)
      *pMeta = CStoredMeta{};
    else
      *pMeta = status->isLink ? ReadStoredMeta(target.Get(), "")
                              : ReadStoredMeta(folder.Get(), name.constData());
  }
  return 0;
}

bool IsMountPoint(const CItemStatus& status, quint64 rootDevice) {
  if (!status.isDir || status.isLink) return false;
  // Where the host says which folders are mount roots, that answer is exact; another device
  // number alone would also take in btrfs subvolumes, which are ordinary folders.
  return status.mountKnown ? status.mountRoot : status.device != rootDevice;
}

DWORD AttributesOf(const CItemStatus& status, const CStoredMeta& meta, bool dotName,
                   bool topLevel, quint64 rootDevice) {
  DWORD attributes = meta.attributes;
  if (status.isDir) {
    attributes |= FILE_ATTRIBUTE_DIRECTORY;
    attributes &= ~FILE_ATTRIBUTE_TEMPORARY;  // 0x110 is kept for storage cards
    if (topLevel && IsMountPoint(status, rootDevice)) attributes |= FILE_ATTRIBUTE_TEMPORARY;
  }
  if (!(status.mode & S_IWUSR) && !status.dangling) attributes |= FILE_ATTRIBUTE_READONLY;
  if (dotName) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (status.isLink) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

FILETIME CreationTimeOf(const CItemStatus& status, const CStoredMeta& meta) {
  if (meta.hasCreation) return meta.creation;
  return status.hasBirth ? status.birth : status.write;
}

void FillFindData(const CItemStatus& status, const CStoredMeta& meta, DWORD attributes,
                  const QString& name, WIN32_FIND_DATAW* data) {
  std::memset(data, 0, sizeof(*data));
  data->dwFileAttributes = attributes;
  data->ftCreationTime = CreationTimeOf(status, meta);
  data->ftLastAccessTime = status.access;
  data->ftLastWriteTime = status.write;
  data->nFileSizeHigh = static_cast<DWORD>(status.size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(status.size & 0xFFFFFFFFu);
  data->dwOID = static_cast<DWORD>(status.inode & 0xFFFFFFFFu);
  const qsizetype length = qMin<qsizetype>(name.size(), MAX_PATH - 1);
  std::memcpy(data->cFileName, name.utf16(), static_cast<size_t>(length) * sizeof(WCHAR));
}

int ApplyAttributes(int fd, DWORD attributes, bool dotName) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return errno;
  DWORD stored = attributes & kStoredAttributes;
  if (dotName) stored &= ~FILE_ATTRIBUTE_HIDDEN;  // implied by the name
  if (S_ISDIR(st.st_mode)) stored &= ~FILE_ATTRIBUTE_TEMPORARY;
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  mode_t mode = st.st_mode & 07777;
  // Write permission first when it is being given, last when it is being taken, so that the
  // extended attribute can be written in between.
  if (!readOnly && !(mode & S_IWUSR)) {
    mode |= S_IWUSR;
    if (const int err = ChangeMode(fd, mode)) return err;
  }
  const int err = WithOwnerWrite(fd, [&] {
    return stored ? SetXattr(fd, kAttributesXattr, QByteArray::number(stored))
                  : RemoveXattr(fd, kAttributesXattr);
  });
  if (err != 0) return err;
  if (readOnly && (mode & S_IWUSR)) return ChangeMode(fd, mode & ~S_IWUSR);
  return 0;
}

int StoreCreationTime(int fd, const FILETIME& creation) {
  return WithOwnerWrite(fd, [&] {
    return SetXattr(fd, kCreationXattr, QByteArray::number(FileTimeToU64(creation)));
  });
}

DWORD PathError(int err, bool folderFound) {
  if (err != ENOENT && err != ENOTDIR) return ErrorFromErrno(err);
  return folderFound && err == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD PathErrorOf(int err, const QString& canonical) {
  if (err != ENOENT && err != ENOTDIR) return ErrorFromErrno(err);
  CFd folder;
  QByteArray name;
  return PathError(err, OpenParent(canonical, &folder, &name) == 0);
}

bool FailPath(int err, const QString& canonical) {
  SetLastError(PathErrorOf(err, canonical));
  return false;
}

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

QString LastComponent(const QString& canonical) {
  return canonical.mid(canonical.lastIndexOf(u'\\') + 1);
}

bool IsTopLevel(const QString& canonical) {
  return canonical.size() > 1 && canonical.lastIndexOf(u'\\') == 0;
}

bool IsDotOrDotDot(const char* raw) {
  return raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0));
}

bool DeviceName(const char* raw, QString* pName) {
  bool ascii = true;
  for (const char* c = raw; *c; ++c) {
    if (*c == '\\') return false;
    ascii = ascii && static_cast<unsigned char>(*c) < 0x80;
  }
  if (ascii) {
    if (pName) *pName = QString::fromLatin1(raw);
    return true;
  }
  const QString name = QFile::decodeName(raw);
  if (QFile::encodeName(name) != raw) return false;
  if (pName) *pName = name;
  return true;
}

bool HostName(const QString& name, QByteArray* pRaw) {
  if (name.isEmpty() || name == u"." || name == u"..") return Fail(ERROR_INVALID_NAME);
  bool ascii = true;
  for (const QChar c : name) {
    if (c == u'\\' || c == u'/' || c.isNull()) return Fail(ERROR_INVALID_NAME);
    ascii = ascii && c.unicode() < 0x80;
  }
  if (ascii) {
    *pRaw = name.toLatin1();
    return true;
  }
  QByteArray raw = QFile::encodeName(name);
  if (QFile::decodeName(raw) != name) return Fail(ERROR_INVALID_NAME);
  *pRaw = std::move(raw);
  return true;
}

}  // namespace plat::host
