#include "platform/host_stat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

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

bool ReadNumberXattr(const char* hostPath, const char* name, quint64* value) {
  char buffer[32];
  const ssize_t n = ::getxattr(hostPath, name, buffer, sizeof(buffer));
  return ParseNumber(buffer, n, value);
}

// Unsupported here: the file system has no user extended attributes, or the item is of a
// kind that cannot carry them. The bits are then dropped without failing the call.
bool IsUnsupported(int err) { return err == ENOTSUP || err == EPERM; }

int WriteNumberXattr(const char* hostPath, const char* name, quint64 value) {
  const QByteArray text = QByteArray::number(value);
  if (::setxattr(hostPath, name, text.constData(), text.size(), 0) == 0) return 0;
  return errno;
}

int RemoveXattr(const char* hostPath, const char* name) {
  if (::removexattr(hostPath, name) == 0 || errno == ENODATA) return 0;
  return errno;
}

// Changing an extended attribute needs write permission on the item; a read-only item gets
// the owner's write bit for the duration of the change.
int WithOwnerWrite(const char* hostPath, const std::function<int()>& change) {
  int err = change();
  if (err != EACCES) return IsUnsupported(err) ? 0 : err;
  struct stat st;
  if (::stat(hostPath, &st) != 0 || (st.st_mode & S_IWUSR)) return err;
  if (::chmod(hostPath, (st.st_mode | S_IWUSR) & 07777) != 0) return err;
  err = change();
  ::chmod(hostPath, st.st_mode & 07777);
  return IsUnsupported(err) ? 0 : err;
}

}  // namespace

int StatItem(int dirFd, const char* name, CItemStatus* status) {
  struct statx sx;
  if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &sx) != 0)
    return errno;
  *status = CItemStatus{};
  status->device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  status->inode = sx.stx_ino;
  if (S_ISLNK(sx.stx_mode)) {
    status->isLink = true;
    struct statx target;
    if (::statx(dirFd, name, AT_NO_AUTOMOUNT, kStatxMask, &target) != 0) {
      // Dangling (or looping): a file of size 0 with the link's own times.
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

CStoredMeta ReadStoredMeta(const char* hostPath) {
  CStoredMeta meta;
  char names[512];
  const ssize_t n = ::listxattr(hostPath, names, sizeof(names));
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
  if (hasAttributes && ReadNumberXattr(hostPath, kAttributesXattr, &value))
    meta.attributes = static_cast<DWORD>(value) & kStoredAttributes;
  if (hasCreation && ReadNumberXattr(hostPath, kCreationXattr, &value)) {
    meta.hasCreation = true;
    meta.creation = FileTimeFromU64(value);
  }
  return meta;
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

int ApplyAttributes(const char* hostPath, DWORD attributes, bool dotName) {
  struct stat st;
  if (::stat(hostPath, &st) != 0) return errno;
  DWORD stored = attributes & kStoredAttributes;
  if (dotName) stored &= ~FILE_ATTRIBUTE_HIDDEN;  // implied by the name
  if (S_ISDIR(st.st_mode)) stored &= ~FILE_ATTRIBUTE_TEMPORARY;
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  mode_t mode = st.st_mode & 07777;
  // Write permission first when it is being given, last when it is being taken, so that the
  // extended attribute can be written in between.
  if (!readOnly && !(mode & S_IWUSR)) {
    mode |= S_IWUSR;
    if (::chmod(hostPath, mode) != 0) return errno;
  }
  const int err = WithOwnerWrite(hostPath, [&] {
    return stored ? WriteNumberXattr(hostPath, kAttributesXattr, stored)
                  : RemoveXattr(hostPath, kAttributesXattr);
  });
  if (err != 0) return err;
  if (readOnly && (mode & S_IWUSR)) {
    if (::chmod(hostPath, mode & ~S_IWUSR) != 0) return errno;
  }
  return 0;
}

int StoreCreationTime(const char* hostPath, const FILETIME& creation) {
  return WithOwnerWrite(hostPath, [&] {
    return WriteNumberXattr(hostPath, kCreationXattr, FileTimeToU64(creation));
  });
}

DWORD PathError(int err, const QByteArray& hostPath) {
  if (err != ENOENT && err != ENOTDIR) return ErrorFromErrno(err);
  const qsizetype slash = hostPath.lastIndexOf('/');
  const QByteArray parent = slash <= 0 ? QByteArray("/") : hostPath.left(slash);
  struct stat st;
  if (::stat(parent.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
  return err == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

bool FailPath(int err, const QByteArray& hostPath) {
  SetLastError(PathError(err, hostPath));
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

}  // namespace plat::host
