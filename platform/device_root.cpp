#include "platform/device_root.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QReadWriteLock>
#include <QStringList>

#include "platform/errors.h"

namespace plat {
namespace {

// The root is set at start-up (and by each test's fixture) and read by every host call, on
// the user-interface thread and the list workers alike.
// The root's descriptor lives as long as the last call that took it, even when the root is
// opened again meanwhile.
struct CRootHandle {
  int fd = -1;
  ~CRootHandle() {
    if (fd >= 0) ::close(fd);
  }
};

struct CRootState {
  QString hostDir;       // canonical, no trailing slash ("/" for the file system root)
  QByteArray hostBytes;  // hostDir in the file-name encoding
  QByteArray prefix;     // hostBytes, or empty when the root is "/", so prefix + "/rel" works
  quint64 device = 0;
  std::shared_ptr<const CRootHandle> handle;
};

QReadWriteLock g_rootLock;
CRootState g_root;  // guarded by g_rootLock

CRootState Root() {
  QReadLocker lock(&g_rootLock);
  return g_root;
}

bool IsSeparator(QChar c) { return c == u'\\' || c == u'/'; }

// Splits a device path into its components; false for the forms that could name something
// outside the root or that are ambiguous: ".", "..", empty inner components, NUL, the empty
// string. "\" (or "/") alone is the root and gives no components.
bool SplitDevicePath(const QString& path, QStringList* parts) {
  parts->clear();
  if (path.isEmpty() || path.contains(QChar(0))) return false;
  qsizetype begin = IsSeparator(path.front()) ? 1 : 0;
  qsizetype end = path.size();
  if (end > begin && IsSeparator(path[end - 1])) --end;
  qsizetype start = begin;
  for (qsizetype i = begin; i <= end && begin < end; ++i) {
    if (i < end && !IsSeparator(path[i])) continue;
    const QStringView part = QStringView(path).mid(start, i - start);
    if (part.isEmpty() || part == u"." || part == u"..") return false;
    parts->append(part.toString());
    start = i + 1;
  }
  return true;
}

// Maps a host path (absolute, clean) inside the root to a device path.
bool RelativeToRoot(const QString& hostPath, const QString& root, QString* devicePath) {
  if (hostPath == root) {
    *devicePath = QStringLiteral("\\");
    return true;
  }
  const QString prefix = root == u"/" ? root : root + u'/';
  if (!hostPath.startsWith(prefix)) return false;
  QString rel = hostPath.mid(prefix.size());
  if (rel.contains(u'\\')) return false;  // a name the device cannot show
  rel.replace(u'/', u'\\');
  *devicePath = u'\\' + rel;
  return true;
}

// The root-relative host bytes of a device path; false (ERROR_INVALID_NAME) when refused.
bool EncodeRelative(const QString& devicePath, QByteArray* relative) {
  QStringList parts;
  if (!SplitDevicePath(devicePath, &parts)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  const QString rel = parts.join(u'/');
  const QByteArray encoded = QFile::encodeName(rel);
  // A name the host encoding cannot hold would come back as some other name.
  if (QFile::decodeName(encoded) != rel) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  *relative = encoded;
  return true;
}

// How many links one resolution may follow, as the kernel allows.
constexpr int kMaxLinks = 40;

// The folders of a component walk from the root: each an O_PATH descriptor opened relative to
// the one below it, so that ".." is taken by dropping the top, never by asking the host.
class CWalkStack {
 public:
  explicit CWalkStack(int rootFd) : fds_{rootFd} {}
  ~CWalkStack() { Reset(); }
  int Top() const { return fds_.back(); }
  void Push(int fd) { fds_.push_back(fd); }
  bool Pop() {
    if (fds_.size() == 1) return false;  // ".." at the root would leave it
    ::close(fds_.back());
    fds_.pop_back();
    return true;
  }
  void Reset() {
    while (Pop()) {
    }
  }

 private:
  std::vector<int> fds_;  // fds_[0] is the root's, not owned
};

std::vector<QByteArray> SplitHost(const QByteArray& path) {
  std::vector<QByteArray> parts;
  for (const QByteArray& part : path.split('/'))
    if (!part.isEmpty() && part != ".") parts.push_back(part);
  return parts;
}

// Puts a link's target in front of the components still to walk. An absolute target is
// taken only when it lies inside the root, and then walked from the root. EACCES otherwise.
int ExpandLink(int linkFd, const CRootState& root, CWalkStack* stack,
               std::vector<QByteArray>* todo) {
  char buffer[4096];
  const ssize_t n = ::readlinkat(linkFd, "", buffer, sizeof(buffer));
  if (n < 0) return errno;
  if (n == sizeof(buffer)) return ENAMETOOLONG;
  QByteArray target(buffer, n);
  if (target.startsWith('/')) {
    if (!root.prefix.isEmpty()) {
      if (target != root.prefix && !target.startsWith(root.prefix + '/')) return EACCES;
      target = target.mid(root.prefix.size());
    }
    stack->Reset();
  }
  std::vector<QByteArray> parts = SplitHost(target);
  todo->insert(todo->begin(), parts.begin(), parts.end());
  return 0;
}

// The slow, exact resolution: one component at a time from the root, none followed by the
// host. The components still to walk are kept in order, front first.
int WalkBeneath(const CRootState& root, const QByteArray& relative, int flags, mode_t mode,
                int* out) {
  CWalkStack stack(root.handle->fd);
  std::vector<QByteArray> todo = SplitHost(relative);
  int links = 0;
  while (!todo.empty()) {
    const QByteArray part = todo.front();
    todo.erase(todo.begin());
    if (part == "..") {
      if (!stack.Pop()) return EACCES;
      continue;
    }
    const bool last = todo.empty();
    if (last && (flags & (O_NOFOLLOW | O_CREAT))) {
      // A new item is made in the folder reached; a link in its place is never followed.
      const int nofollow = (flags & O_CREAT) ? O_NOFOLLOW : 0;
      const int fd = ::openat(stack.Top(), part.constData(), flags | nofollow | O_CLOEXEC, mode);
      if (fd < 0) return errno;
      *out = fd;
      return 0;
    }
    const int fd = ::openat(stack.Top(), part.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      const int err = errno;
      ::close(fd);
      return err;
    }
    if (S_ISLNK(st.st_mode)) {
      const int err = ++links > kMaxLinks ? ELOOP : ExpandLink(fd, root, &stack, &todo);
      ::close(fd);
      if (err != 0) return err;
      continue;
    }
    if (last) {
      // Opened again with the caller's flags; O_NOFOLLOW keeps a swap for a link from counting.
      const int item = ::openat(stack.Top(), part.constData(), flags | O_NOFOLLOW | O_CLOEXEC);
      const int err = errno;
      ::close(fd);
      if (item < 0) return err;
      *out = item;
      return 0;
    }
    if (!S_ISDIR(st.st_mode)) {
      ::close(fd);
      return ENOTDIR;
    }
    stack.Push(fd);
  }
  // The walk ended on a folder (the root, or the target of a ".." or a link).
  const int fd = ::openat(stack.Top(), ".", (flags & ~(O_CREAT | O_EXCL)) | O_CLOEXEC);
  if (fd < 0) return errno;
  if (flags & O_EXCL) {
    ::close(fd);
    return EEXIST;
  }
  *out = fd;
  return 0;
}

std::atomic<bool> g_noOpenat2{false};  // the kernel has no openat2 (before Linux 5.6)

int OpenInRoot(const CRootState& root, const QByteArray& relative, int flags, mode_t mode,
               int* out) {
  if (!root.handle) return ENOENT;
  if (!relative.isEmpty() && !g_noOpenat2.load(std::memory_order_relaxed)) {
    struct open_how how {};
    how.flags = static_cast<quint64>(flags | O_CLOEXEC);
    how.mode = (flags & O_CREAT) ? mode : 0;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    for (int attempt = 0; attempt < 3; ++attempt) {
      const long fd = ::syscall(SYS_openat2, root.handle->fd, relative.constData(), &how,
                                sizeof(how));
      if (fd >= 0) {
        *out = static_cast<int>(fd);
        return 0;
      }
      if (errno != EAGAIN) break;  // a rename elsewhere raced with the lookup: try again
    }
    const int err = errno;
    if (err == ENOSYS) {
      g_noOpenat2.store(true, std::memory_order_relaxed);
    } else if (err != EXDEV && err != EAGAIN) {
      return err;
    }
    // EXDEV: an absolute link, or a ".." the kernel would not judge; walked exactly below.
  }
  return WalkBeneath(root, relative, flags, mode, out);
}

}  // namespace

bool CDeviceRoot::Open(const QString& hostDir, QString* error) {
  const QFileInfo info(hostDir);
  if (!info.exists()) {
    *error = QStringLiteral("The device root %1 does not exist.").arg(hostDir);
    return false;
  }
  if (!info.isDir()) {
    *error = QStringLiteral("The device root %1 is not a folder.").arg(hostDir);
    return false;
  }
  if (!info.isReadable() || !info.isExecutable()) {
    *error = QStringLiteral("The device root %1 cannot be read: access denied.").arg(hostDir);
    return false;
  }
  CRootState state;
  state.hostDir = info.canonicalFilePath();
  state.hostBytes = QFile::encodeName(state.hostDir);
  state.prefix = state.hostDir == u"/" ? QByteArray() : state.hostBytes;
  struct stat st;
  if (::stat(state.hostBytes.constData(), &st) != 0) {
    *error = QStringLiteral("The device root %1 cannot be read.").arg(hostDir);
    return false;
  }
  state.device = st.st_dev;
  auto handle = std::make_shared<CRootHandle>();
  handle->fd = ::open(state.hostBytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (handle->fd < 0) {
    *error = QStringLiteral("The device root %1 cannot be read.").arg(hostDir);
    return false;
  }
  state.handle = std::move(handle);
  QWriteLocker lock(&g_rootLock);
  g_root = state;
  return true;
}

QString CDeviceRoot::HostDir() { return Root().hostDir; }

QByteArray CDeviceRoot::HostDirBytes() { return Root().hostBytes; }

quint64 CDeviceRoot::HostDevice() { return Root().device; }

bool CDeviceRoot::ToHost(const QString& devicePath, QByteArray* hostPath) {
  const CRootState root = Root();
  QByteArray rel;
  if (root.hostDir.isEmpty() || !EncodeRelative(devicePath, &rel)) return false;
  *hostPath = rel.isEmpty() ? root.hostBytes : root.prefix + '/' + rel;
  return true;
}

bool CDeviceRoot::ToDevice(const QString& hostPath, QString* devicePath) {
  const QString root = HostDir();
  if (root.isEmpty() || hostPath.isEmpty()) return false;
  const QFileInfo info(hostPath);
  if (RelativeToRoot(QDir::cleanPath(info.absoluteFilePath()), root, devicePath)) return true;
  const QString canonical = info.canonicalFilePath();  // empty when it does not exist
  return !canonical.isEmpty() && RelativeToRoot(canonical, root, devicePath);
}

bool CDeviceRoot::Canonical(const QString& devicePath, QString* canonical) {
  QStringList parts;
  if (!SplitDevicePath(devicePath, &parts)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  *canonical = u'\\' + parts.join(u'\\');
  return true;
}

}  // namespace plat

namespace plat::host {

CFd::~CFd() {
  if (fd_ >= 0) ::close(fd_);
}

CFd& CFd::operator=(CFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

int CFd::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

bool RelativeHostPath(const QString& devicePath, QByteArray* relative) {
  return EncodeRelative(devicePath, relative);
}

int OpenRelative(const QByteArray& relative, int flags, CFd* fd, mode_t mode) {
  int raw = -1;
  const int err = OpenInRoot(Root(), relative, flags, mode, &raw);
  if (err == 0) *fd = CFd(raw);
  return err;
}

int OpenBeneath(const QString& devicePath, int flags, CFd* fd, mode_t mode) {
  QByteArray relative;
  if (!EncodeRelative(devicePath, &relative)) return EILSEQ;
  return OpenRelative(relative, flags, fd, mode);
}

int OpenParent(const QString& devicePath, CFd* folder, QByteArray* name) {
  QByteArray relative;
  if (!EncodeRelative(devicePath, &relative)) return EILSEQ;
  const qsizetype slash = relative.lastIndexOf('/');
  if (relative.isEmpty()) {
    *name = ".";
  } else {
    *name = relative.mid(slash + 1);
    relative.truncate(slash < 0 ? 0 : slash);
  }
  return OpenRelative(relative, O_PATH | O_DIRECTORY, folder);
}

}  // namespace plat::host
