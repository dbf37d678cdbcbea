#include "platform/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <memory>
#include <set>
#include <utility>

#include "platform/device_root.h"
#include "platform/dir_walk.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/host_stat.h"

namespace plat {
namespace {

thread_local CLeftoverSweep* t_sweep = nullptr;

QString ParentOf(const QString& canonical) {
  const qsizetype slash = canonical.lastIndexOf(u'\\');
  return slash <= 0 ? QStringLiteral("\\") : canonical.left(slash);
}

// An unnamed new file in a device folder, opened beneath the root: the descriptor, or -1 with
// errno.
int OpenUnnamed(const QString& canonicalFolder) {
  host::CFd folder;
  if (const int err = host::OpenBeneath(canonicalFolder, O_RDONLY | O_DIRECTORY, &folder)) {
    errno = err;
    return -1;
  }
  return ::openat(folder.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// The host name of a path's last component.
QByteArray HostName(const QString& canonical) {
  QByteArray host;
  if (!CDeviceRoot::ToHost(canonical, &host)) return {};
  return host.mid(host.lastIndexOf('/') + 1);
}

// True when an unnamed file was refused only because the file system has none.
bool NoUnnamedFiles(int err) {
  return err == EOPNOTSUPP || err == ENOTSUP || err == EISDIR || err == EINVAL;
}

// Gives the unnamed file fd the name `name` in the open folder dirFd; never replaces. 0 or
// errno.
int LinkUnnamed(int fd, int dirFd, const QByteArray& name) {
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
  if (::linkat(AT_FDCWD, self.constData(), dirFd, name.constData(), AT_SYMLINK_FOLLOW) == 0)
    return 0;
  if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0) return errno;
  // Without /proc: the descriptor itself, which the host allows to privileged callers.
  return ::linkat(fd, "", dirFd, name.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

bool IsTemporaryName(const char* raw) {
  const QByteArray name(raw);
  return name.startsWith(QString::fromUtf16(kTempPrefix).toLatin1()) && name.endsWith(".tmp");
}

qint64 ModifiedMs(const struct stat& st) {
  return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

QMutex& ClaimsMutex() {
  static QMutex mutex;
  return mutex;
}

// The final names (canonical) of the new files being written, guarded by ClaimsMutex().
std::set<QString>& ClaimedNames() {
  static std::set<QString> names;
  return names;
}

bool ClaimName(const QString& strCanonical) {
  QMutexLocker lock(&ClaimsMutex());
  return ClaimedNames().insert(strCanonical).second;
}

}  // namespace

COutputFile::~COutputFile() { Discard(); }

COutputFile::COutputFile(COutputFile&& other) noexcept
    : file_(std::move(other.file_)),
      finalPath_(std::move(other.finalPath_)),
      unnamed_(other.unnamed_),
      replace_(other.replace_),
      claimed_(std::exchange(other.claimed_, false)) {}

COutputFile& COutputFile::operator=(COutputFile&& other) noexcept {
  if (this != &other) {
    Discard();
    file_ = std::move(other.file_);
    finalPath_ = std::move(other.finalPath_);
    unnamed_ = other.unnamed_;
    replace_ = other.replace_;
    claimed_ = std::exchange(other.claimed_, false);
  }
  return *this;
}

void COutputFile::ReleaseName() {
  if (!claimed_) return;
  claimed_ = false;
  QMutexLocker lock(&ClaimsMutex());
  ClaimedNames().erase(finalPath_);
}

bool COutputFile::Create(const QString& strFinalPath, bool bReplace) {
  Discard();
  QString canonical;
  if (!CDeviceRoot::Canonical(strFinalPath, &canonical) || canonical == u"\\") {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  const QString folder = ParentOf(canonical);
  if (CLeftoverSweep* sweep = CLeftoverSweep::Current()) sweep->SweepOnce(folder);
  finalPath_ = canonical;
  replace_ = bReplace;
  if (!bReplace) {
    if (!ClaimName(canonical)) {
      SetLastError(ERROR_FILE_EXISTS);
      return false;
    }
    claimed_ = true;
    if (InjectedFault(EFaultOp::eFaultCreate, canonical)) {
      ReleaseName();
      return false;
    }
    const int fd = OpenUnnamed(folder);
    if (fd >= 0) {
      file_.Adopt(fd, canonical);
      unnamed_ = true;
      return true;
    }
    if (!NoUnnamedFiles(errno)) {
      ReleaseName();
      return host::FailPath(errno, folder);
    }
  }
  unnamed_ = false;
  QString temp;
  const bool bOpened = GetTempFileName(folder, QString::fromUtf16(kTempPrefix), 0, &temp) != 0 &&
                       file_.Open(temp, GENERIC_WRITE, OPEN_EXISTING);
  if (!bOpened) {
    const DWORD error = GetLastError();
    if (!temp.isEmpty()) DeleteFile(temp);
    ReleaseName();
    SetLastError(error);
    return false;
  }
  // Held while the output lives: a sweep of another run passes it by.
  ::flock(file_.Descriptor(), LOCK_EX | LOCK_NB);
  return true;
}

void COutputFile::StartWriteBack() {
  if (file_.IsOpen()) ::sync_file_range(file_.Descriptor(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool COutputFile::Commit(bool bFlush, bool bFlushFolder) {
  if (!file_.IsOpen()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (bFlush && !file_.Flush()) {
    const DWORD error = GetLastError();
    Discard();
    SetLastError(error);
    return false;
  }
  const bool bPlaced = unnamed_ ? PlaceUnnamed(bFlushFolder) : PlaceTemporary(bFlushFolder);
  ReleaseName();  // in place, or gone
  return bPlaced;
}

bool COutputFile::PlaceUnnamed(bool bFlushFolder) {
  const QByteArray name = HostName(finalPath_);
  host::CFd folder;
  bool bPlaced = !name.isEmpty() && !InjectedFault(EFaultOp::eFaultRename, finalPath_);
  if (bPlaced) {
    int err = host::OpenBeneath(ParentOf(finalPath_), O_RDONLY | O_DIRECTORY, &folder);
    if (err == 0) err = LinkUnnamed(file_.Descriptor(), folder.Get(), name);
    if (err == EEXIST) {
      SetLastError(ERROR_ALREADY_EXISTS);
    } else if (err != 0) {
      host::FailPath(err, finalPath_);
    }
    bPlaced = err == 0;
  }
  if (!bPlaced) {
    const DWORD error = GetLastError();
    Discard();
    SetLastError(error);
    return false;
  }
  // From here the file has its name: a failure takes it away again.
  const bool bOk = (!bFlushFolder || FlushFolder(ParentOf(finalPath_))) && file_.Close();
  if (bOk) return true;
  const DWORD error = GetLastError();
  file_.Close();
  ::unlinkat(folder.Get(), name.constData(), 0);
  SetLastError(error);
  return false;
}

bool COutputFile::PlaceTemporary(bool bFlushFolder) {
  const QString temp = file_.Path();
  bool bOk = file_.Close();
  if (bOk) bOk = replace_ ? ReplaceFile(finalPath_, temp) : MoveFile(temp, finalPath_);
  if (!bOk) {
    const DWORD error = GetLastError();
    DeleteFile(temp);
    SetLastError(error);
    return false;
  }
  // The content is in place; a folder flush that fails leaves it there but is reported.
  return !bFlushFolder || FlushFolder(ParentOf(finalPath_));
}

void COutputFile::Discard() {
  ReleaseName();
  if (!file_.IsOpen()) return;
  const QString path = file_.Path();
  file_.Close();
  const DWORD error = GetLastError();
  if (!unnamed_) DeleteFile(path);  // an unnamed file is gone with its descriptor
  SetLastError(error);
}

int RemoveLeftovers(const QString& strFolder, qint64 uSinceMs) {
  QString canonical;
  host::CFd opened;
  if (!CDeviceRoot::Canonical(strFolder, &canonical) ||
      host::OpenBeneath(canonical, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, &opened) != 0)
    return 0;
  const int dirFd = opened.Release();
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(dirFd), &::closedir);
  if (!dir) {
    ::close(dirFd);
    return 0;
  }
  int removed = 0;
  while (const struct dirent* entry = ::readdir(dir.get())) {
    if (!IsTemporaryName(entry->d_name)) continue;
    struct stat st;
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        ModifiedMs(st) >= uSinceMs)
      continue;
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) continue;
    // A live output holds its lock; a killed one's lock went with its process.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(dirFd, entry->d_name, 0) == 0)
      ++removed;
    ::close(fd);
  }
  return removed;
}

CLeftoverSweep::CLeftoverSweep() : startMs_(QDateTime::currentMSecsSinceEpoch()) {
  if (!t_sweep) {
    t_sweep = this;
    owner_ = true;
  }
}

CLeftoverSweep::~CLeftoverSweep() {
  if (owner_) t_sweep = nullptr;
}

CLeftoverSweep* CLeftoverSweep::Current() { return t_sweep; }

void CLeftoverSweep::SweepOnce(const QString& strFolder) {
  if (this != t_sweep) {
    t_sweep->SweepOnce(strFolder);
    return;
  }
  QString canonical;
  if (!CDeviceRoot::Canonical(strFolder, &canonical)) return;
  if (swept_.insert(canonical.toCaseFolded()).second) RemoveLeftovers(canonical, startMs_);
}

}  // namespace plat
