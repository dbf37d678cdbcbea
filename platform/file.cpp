#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/filetime.h"
#include "platform/host_stat.h"

namespace plat {
namespace {

using host::Fail;

// Reports the call to the fault injector; true (last error set) when it must fail. With fd
// the event carries the file position (read only while the injector is armed).
bool Injected(EFaultOp op, const QString& path, int fd = -1, qint64 bytes = 0) {
  if (!CFaultInjector::IsArmed()) return false;
  const qint64 position = fd >= 0 ? ::lseek(fd, 0, SEEK_CUR) : 0;
  DWORD error = ERROR_SUCCESS;
  if (!CFaultInjector::Intercept(CFileOpEvent{op, path, position, bytes}, &error)) return false;
  SetLastError(error);
  return true;
}

int OpenFlags(DWORD access) {
  const bool read = access & GENERIC_READ;
  const bool write = access & GENERIC_WRITE;
  int flags = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
  // O_NONBLOCK keeps a FIFO from blocking the open; such items are refused right after.
  return flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
}

// Opens the file for the disposition beneath the root; *created tells whether this call made
// it. 0 or errno.
int OpenForDisposition(const QString& canonical, int flags, DWORD creation, bool openLink,
                       host::CFd* fd, bool* created) {
  *created = false;
  // The link itself is never opened as a file: with openLink a last component that is a link
  // is refused instead of followed.
  const int nofollow = openLink ? O_NOFOLLOW : 0;
  switch (creation) {
    case CREATE_NEW: {
      const int err = host::OpenBeneath(canonical, flags | O_CREAT | O_EXCL, fd);
      *created = err == 0;
      return err;
    }
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
      // Exclusive creation first, so that no file is ever created through a symbolic link
      // and the caller learns whether the item existed.
      const int err = host::OpenBeneath(canonical, flags | O_CREAT | O_EXCL, fd);
      if (err == 0) {
        *created = true;
        return 0;
      }
      if (err != EEXIST) return err;
      return host::OpenBeneath(canonical,
                               flags | nofollow | (creation == CREATE_ALWAYS ? O_TRUNC : 0), fd);
    }
    case OPEN_EXISTING:
      return host::OpenBeneath(canonical, flags | nofollow, fd);
    case TRUNCATE_EXISTING:
      return host::OpenBeneath(canonical, flags | nofollow | O_TRUNC, fd);
    default:
      return EINVAL;
  }
}

// Removes a file this open has just made (when its attributes could not be set).
void RemoveCreated(const QString& canonical) {
  host::CFd folder;
  QByteArray name;
  if (host::OpenParent(canonical, &folder, &name) == 0)
    ::unlinkat(folder.Get(), name.constData(), 0);
}

// Makes a newly created file durable in its folder: the folder's entry is flushed too.
int SyncParentFolder(const QString& canonical) {
  host::CFd folder;
  QByteArray name;
  if (const int err = host::OpenParent(canonical, &folder, &name)) return err;
  // An O_PATH descriptor cannot be synced; the folder itself is opened from it.
  const int fd = ::openat(folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return result == EINVAL ? 0 : result;  // some file systems cannot sync folders
}

}  // namespace

CHostFile::~CHostFile() {
  if (fd_ >= 0) ::close(fd_);
}

CHostFile::CHostFile(CHostFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), created_(other.created_) {
  other.fd_ = -1;
}

CHostFile& CHostFile::operator=(CHostFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    created_ = other.created_;
    other.fd_ = -1;
  }
  return *this;
}

bool CHostFile::Open(const QString& devicePath, DWORD access, DWORD creation, DWORD attributes) {
  if (fd_ >= 0) Close();
  QString canonical;
  if (!CDeviceRoot::Canonical(devicePath, &canonical)) return false;
  if (Injected(EFaultOp::eFaultCreate, canonical)) return false;
  if (creation < CREATE_NEW || creation > TRUNCATE_EXISTING ||
      (creation == TRUNCATE_EXISTING && !(access & GENERIC_WRITE)))
    return Fail(ERROR_INVALID_PARAMETER);
  const bool openLink = (attributes & FILE_FLAG_OPEN_REPARSE_POINT) != 0;
  attributes &= ~FILE_FLAG_OPEN_REPARSE_POINT;
  bool created = false;
  host::CFd file;
  if (const int err =
          OpenForDisposition(canonical, OpenFlags(access), creation, openLink, &file, &created)) {
    if (err == EEXIST && creation == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    return host::FailPath(err, canonical);
  }
  const int fd = file.Get();
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // Folders, devices, FIFOs and sockets are not files the program can read or write.
    return Fail(ERROR_ACCESS_DENIED);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if ((created || creation == CREATE_ALWAYS) && (attributes & ~FILE_ATTRIBUTE_NORMAL)) {
    const int err = host::ApplyAttributes(fd, attributes,
                                          host::LastComponent(canonical).startsWith(u'.'));
    if (err != 0) {
      if (created) RemoveCreated(canonical);
      return host::FailPath(err, canonical);
    }
  }
  fd_ = file.Release();
  path_ = canonical;
  created_ = created;
  SetLastError(created || creation == CREATE_NEW || creation == OPEN_EXISTING ||
                       creation == TRUNCATE_EXISTING
                   ? ERROR_SUCCESS
                   : ERROR_ALREADY_EXISTS);
  return true;
}

void CHostFile::Adopt(int fd, const QString& devicePath) {
  if (fd_ >= 0) Close();
  fd_ = fd;
  path_ = devicePath;
  created_ = false;
}

bool CHostFile::Read(void* buffer, DWORD count, DWORD* read) {
  *read = 0;
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  if (Injected(EFaultOp::eFaultRead, path_, fd_, count)) return false;
  char* out = static_cast<char*>(buffer);
  while (*read < count) {
    const ssize_t n = ::read(fd_, out + *read, count - *read);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(ErrorFromErrno(errno));
    }
    if (n == 0) break;
    *read += static_cast<DWORD>(n);
  }
  return true;
}

bool CHostFile::Write(const void* buffer, DWORD count, DWORD* written) {
  *written = 0;
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  if (Injected(EFaultOp::eFaultWrite, path_, fd_, count)) return false;
  const char* in = static_cast<const char*>(buffer);
  while (*written < count) {
    const ssize_t n = ::write(fd_, in + *written, count - *written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(ErrorFromErrno(errno));
    }
    if (n == 0) return Fail(ERROR_DISK_FULL);
    *written += static_cast<DWORD>(n);
  }
  return true;
}

bool CHostFile::Seek(qint64 distance, DWORD origin, qint64* newPosition) {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  qint64 base = 0;
  if (origin == FILE_CURRENT) {
    base = ::lseek(fd_, 0, SEEK_CUR);
  } else if (origin == FILE_END) {
    struct stat st;
    base = ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  } else if (origin != FILE_BEGIN) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (base < 0) return Fail(ErrorFromErrno(errno));
  if (distance < 0 && base + distance < 0) return Fail(ERROR_NEGATIVE_SEEK);
  const off_t position = ::lseek(fd_, base + distance, SEEK_SET);
  if (position < 0) return Fail(ErrorFromErrno(errno));
  if (newPosition) *newPosition = position;
  return true;
}

bool CHostFile::GetSize(quint64* size) const {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Fail(ErrorFromErrno(errno));
  *size = static_cast<quint64>(st.st_size);
  return true;
}

bool CHostFile::IsSparse() const {
  struct stat st;
  return fd_ >= 0 && ::fstat(fd_, &st) == 0 &&
         static_cast<quint64>(st.st_blocks) * 512 < static_cast<quint64>(st.st_size);
}

quint64 CHostFile::SeekData(quint64 uOffset) {
  if (fd_ < 0) return uOffset;
  const off_t data = ::lseek(fd_, static_cast<off_t>(uOffset), SEEK_DATA);
  if (data >= 0) return static_cast<quint64>(data);
  quint64 uLength = 0;
  if (errno != ENXIO || !GetSize(&uLength) || uLength < uOffset) return uOffset;
  return ::lseek(fd_, static_cast<off_t>(uLength), SEEK_SET) < 0 ? uOffset : uLength;
}

bool CHostFile::SetEnd() {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  const off_t position = ::lseek(fd_, 0, SEEK_CUR);
  if (Injected(EFaultOp::eFaultWrite, path_, fd_, 0)) return false;
  if (position < 0 || ::ftruncate(fd_, position) != 0) return Fail(ErrorFromErrno(errno));
  return true;
}

bool CHostFile::Flush() {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  if (Injected(EFaultOp::eFaultFlush, path_)) return false;
  if (::fdatasync(fd_) != 0) return Fail(ErrorFromErrno(errno));
  if (created_) {
    if (const int err = SyncParentFolder(path_)) return Fail(ErrorFromErrno(err));
    created_ = false;
  }
  return true;
}

ECopyRange CHostFile::CopyFrom(CHostFile* pSource, DWORD count, DWORD* copied) {
  *copied = 0;
  if (fd_ < 0 || !pSource->IsOpen()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return ECopyRange::eRefused;
  }
  if (Injected(EFaultOp::eFaultRead, pSource->path_, pSource->fd_, count))
    return ECopyRange::eReadFailed;
  if (Injected(EFaultOp::eFaultWrite, path_, fd_, count)) return ECopyRange::eWriteFailed;
  while (*copied < count) {
    const ssize_t n =
        ::copy_file_range(pSource->fd_, nullptr, fd_, nullptr, count - *copied, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastError(ErrorFromErrno(errno));
      return ECopyRange::eRefused;
    }
    if (n == 0) break;  // the source's end
    *copied += static_cast<DWORD>(n);
  }
  return ECopyRange::eCopied;
}

bool CHostFile::GetStamp(CFileStamp* stamp) const {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  host::CItemStatus status;
  if (const int err = host::StatOpenItem(fd_, &status)) return Fail(ErrorFromErrno(err));
  const host::CStoredMeta meta = host::ReadStoredMeta(fd_, "");
  stamp->dwAttributes = host::AttributesOf(
      status, meta, host::LastComponent(path_).startsWith(u'.'), false, status.device);
  stamp->creation = host::CreationTimeOf(status, meta);
  stamp->lastAccess = status.access;
  stamp->lastWrite = status.write;
  return true;
}

void CHostFile::StartWriteBack() {
  if (fd_ >= 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool CHostFile::SetTimes(const FILETIME* creation, const FILETIME* lastAccess,
                         const FILETIME* lastWrite) {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  if (Injected(EFaultOp::eFaultAttributes, path_)) return false;
  struct timespec times[2];
  const FILETIME* given[2] = {lastAccess, lastWrite};
  for (int i = 0; i < 2; ++i) {
    if (!given[i]) {
      times[i] = {0, UTIME_OMIT};
      continue;
    }
    qint64 s, ns;
    FileTimeToUnix(*given[i], &s, &ns);
    times[i] = {static_cast<time_t>(s), static_cast<long>(ns)};
  }
  if (::futimens(fd_, times) != 0) return Fail(ErrorFromErrno(errno));
  if (creation) {
    if (const int err = host::StoreCreationTime(fd_, *creation)) return Fail(ErrorFromErrno(err));
  }
  return true;
}

bool CHostFile::Close() {
  if (fd_ < 0) return Fail(ERROR_INVALID_HANDLE);
  const int fd = fd_;
  fd_ = -1;
  if (Injected(EFaultOp::eFaultClose, path_)) {
    ::close(fd);
    return false;
  }
  // The descriptor is gone after close() whatever it returns; it is never closed twice.
  if (::close(fd) != 0 && errno != EINTR) return Fail(ErrorFromErrno(errno));
  return true;
}

}  // namespace plat
