#include "platform/folder_watch.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>

#include "platform/device_root.h"
#include "platform/find.h"

namespace plat {

namespace {

// A gathered burst is handed over this long after its first event, so that the events of one
// burst arrive together.
constexpr int kGatherMs = 150;
// More distinct names than this in one hand-over are handed over as one rescan.
constexpr int kMostNames = 50000;

constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF |
                                IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

int g_watchLimit = -1;
int g_pollMs = 3000;

// File systems whose changes made by other machines send no events here.
bool IsNetworkFileSystem(long fsType) {
  switch (static_cast<unsigned long>(fsType)) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x01021997:  // 9P
    case 0x65735546:  // FUSE (sshfs and friends)
    case 0x564c:      // NCP
    case 0x73757245:  // Coda
    case 0x6B414653:  // AFS
      return true;
    default:
      return false;
  }
}

// What a listing looks like, as cheaply as it can be told apart: the names, attributes,
// sizes and write times of its entries, summed so that the host's order does not matter.
bool ListingSignature(const QString& strFolder, QByteArray* pSignature) {
  quint64 uSum = 0;
  quint64 uCount = 0;
  const bool bRead = ForEachFolderEntry(strFolder, [&](const WIN32_FIND_DATAW& data) {
    const quint64 uTime = (quint64(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
    uSum += qHashMulti(0x5eed, FindName(data), data.dwFileAttributes, FindSize(data), uTime);
    ++uCount;
  });
  if (!bRead) return false;
  *pSignature = QByteArray::number(uSum, 16) + ':' + QByteArray::number(uCount);
  return true;
}

}  // namespace

struct CFolderWatch::CImpl {
  QString strPath;
  CCallback callback;
  int wd = -1;           // the host watch, or -1
  bool polled = false;   // read again every few seconds
  bool gone = false;     // reported gone; nothing more is said
  QByteArray signature;  // the polled listing as last seen (empty: could not be read)
  // Gathered since the last hand-over: the latest event of each name, in first-seen order.
  QHash<QString, int> pendingAt;
  CEvents pending;
  bool rescan = false;
  bool goneNow = false;

  void Note(CFolderEvent::EKind kind, const QString& strName);
  bool HasPending() const { return rescan || goneNow || !pending.empty(); }
  CEvents TakePending();
};

namespace {

// The one host watch set of the process and its timers.
class CWatchHub {
 public:
  static CWatchHub& Get() {
    static CWatchHub* hub = new CWatchHub;  // lives to the end: watches may outlive statics
    return *hub;
  }

  void Add(CFolderWatch::CImpl* p);
  void Remove(CFolderWatch::CImpl* p);

 private:
  CWatchHub();
  bool StartHostWatch(CFolderWatch::CImpl* p);
  void ReadEvents();
  void Schedule();
  void HandOver();
  void Poll();
  void UpdatePolling();
  void ForgetWatch(int wd);

  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QTimer handOver_;
  QTimer poll_;
  std::vector<CFolderWatch::CImpl*> all_;
  QHash<int, std::vector<CFolderWatch::CImpl*>> byWd_;
};

CWatchHub::CWatchHub() {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ >= 0) {
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, [this] { ReadEvents(); });
  }
  handOver_.setSingleShot(true);
  QObject::connect(&handOver_, &QTimer::timeout, [this] { HandOver(); });
  QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
}

bool CWatchHub::StartHostWatch(CFolderWatch::CImpl* p) {
  if (fd_ < 0) return false;
  if (g_watchLimit >= 0 && byWd_.size() >= g_watchLimit) return false;
  host::CFd dir;
  // Opened beneath the root, so the watch is on the folder a device path names and never on
  // one a link leads to outside; the watch is then taken through the descriptor.
  if (host::OpenBeneath(p->strPath, O_PATH | O_DIRECTORY, &dir) != 0) return false;
  struct statfs fs {};
  if (fstatfs(dir.Get(), &fs) == 0 && IsNetworkFileSystem(fs.f_type)) p->polled = true;
  const QByteArray proc = "/proc/self/fd/" + QByteArray::number(dir.Get());
  const int wd = inotify_add_watch(fd_, proc.constData(), kWatchMask);
  if (wd < 0) return false;  // ENOSPC: the host's watch limit is used up
  p->wd = wd;
  byWd_[wd].push_back(p);
  return true;
}

void CWatchHub::Add(CFolderWatch::CImpl* p) {
  all_.push_back(p);
  if (!StartHostWatch(p)) p->polled = true;
  if (p->polled && !ListingSignature(p->strPath, &p->signature)) p->signature.clear();
  UpdatePolling();
}

void CWatchHub::Remove(CFolderWatch::CImpl* p) {
  all_.erase(std::remove(all_.begin(), all_.end(), p), all_.end());
  if (p->wd >= 0) {
    auto it = byWd_.find(p->wd);
    if (it != byWd_.end()) {
      std::vector<CFolderWatch::CImpl*>& users = it.value();
      users.erase(std::remove(users.begin(), users.end(), p), users.end());
      if (users.empty()) {
        inotify_rm_watch(fd_, p->wd);
        byWd_.erase(it);
      }
    }
  }
  UpdatePolling();
}

void CWatchHub::ForgetWatch(int wd) {
  auto it = byWd_.find(wd);
  if (it == byWd_.end()) return;
  for (CFolderWatch::CImpl* p : it.value()) {
    p->wd = -1;
    if (!p->gone && !p->goneNow) {
      // The host dropped the watch (an unmount): the folder is polled from now on.
      p->polled = true;
      if (!ListingSignature(p->strPath, &p->signature)) p->signature.clear();
      p->rescan = true;
    }
  }
  byWd_.erase(it);
  UpdatePolling();
}

void CWatchHub::ReadEvents() {
  alignas(inotify_event) char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = read(fd_, buffer, sizeof(buffer));
    if (n <= 0) break;  // EAGAIN: all read
    for (ssize_t at = 0; at < n;) {
      const auto* pEvent = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event)) + pEvent->len;
      if (pEvent->mask & IN_Q_OVERFLOW) {
        for (CFolderWatch::CImpl* p : all_)
          if (p->wd >= 0) p->rescan = true;
        continue;
      }
      if (pEvent->mask & IN_IGNORED) {
        ForgetWatch(pEvent->wd);
        continue;
      }
      const auto users = byWd_.constFind(pEvent->wd);
      if (users == byWd_.cend()) continue;
      if (pEvent->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        for (CFolderWatch::CImpl* p : users.value()) p->goneNow = true;
        continue;
      }
      if (pEvent->len == 0) continue;
      const QString strName = QFile::decodeName(QByteArray(pEvent->name));
      if (strName.contains('\\')) continue;  // the device cannot name it
      CFolderEvent::EKind kind = CFolderEvent::eChanged;
      if (pEvent->mask & (IN_CREATE | IN_MOVED_TO))
        kind = CFolderEvent::eAdded;
      else if (pEvent->mask & (IN_DELETE | IN_MOVED_FROM))
        kind = CFolderEvent::eRemoved;
      for (CFolderWatch::CImpl* p : users.value()) p->Note(kind, strName);
    }
  }
  Schedule();
}

void CWatchHub::Schedule() {
  if (handOver_.isActive()) return;
  for (CFolderWatch::CImpl* p : all_) {
    if (p->HasPending()) {
      handOver_.start(kGatherMs);
      return;
    }
  }
}

void CWatchHub::HandOver() {
  // A callback may end watches (its panel leaves the folder) or start others.
  const std::vector<CFolderWatch::CImpl*> watches = all_;
  for (CFolderWatch::CImpl* p : watches) {
    if (std::find(all_.begin(), all_.end(), p) == all_.end() || !p->HasPending()) continue;
    const CFolderWatch::CEvents events = p->TakePending();
    // A copy is called: the callback may end its own watch.
    const CFolderWatch::CCallback callback = p->callback;
    if (!events.empty() && callback) callback(events);
  }
}

void CWatchHub::Poll() {
  for (CFolderWatch::CImpl* p : all_) {
    if (!p->polled || p->gone) continue;
    QByteArray signature;
    if (!ListingSignature(p->strPath, &signature)) {
      WIN32_FIND_DATAW data;
      if (!FindOne(p->strPath, &data)) p->goneNow = true;
      continue;
    }
    if (signature != p->signature) {
      p->signature = signature;
      p->rescan = true;
    }
  }
  Schedule();
}

void CWatchHub::UpdatePolling() {
  const bool bAny = std::any_of(all_.begin(), all_.end(),
                                [](const CFolderWatch::CImpl* p) { return p->polled; });
  if (bAny && (!poll_.isActive() || poll_.interval() != g_pollMs))
    poll_.start(g_pollMs);
  else if (!bAny)
    poll_.stop();
}

}  // namespace

void CFolderWatch::CImpl::Note(CFolderEvent::EKind kind, const QString& strName) {
  if (gone || rescan) return;  // a rescan reads every entry anyway
  const auto at = pendingAt.constFind(strName);
  if (at != pendingAt.cend()) {
    // The latest state counts; a change after a creation is still a creation.
    CFolderEvent& event = pending[*at];
    if (!(kind == CFolderEvent::eChanged && event.kind == CFolderEvent::eAdded)) event.kind = kind;
    return;
  }
  if (int(pending.size()) >= kMostNames) {
    rescan = true;
    pending.clear();
    pendingAt.clear();
    return;
  }
  pendingAt.insert(strName, int(pending.size()));
  pending.push_back({kind, strName});
}

CFolderWatch::CEvents CFolderWatch::CImpl::TakePending() {
  CEvents events;
  if (gone) return events;
  if (goneNow) {
    gone = true;
    events.push_back({CFolderEvent::eGone, {}});
  } else if (rescan) {
    events.push_back({CFolderEvent::eRescan, {}});
  } else {
    events = std::move(pending);
  }
  pending.clear();
  pendingAt.clear();
  rescan = false;
  goneNow = false;
  return events;
}

CFolderWatch::CFolderWatch(const QString& strDevicePath, CCallback callback)
    : impl_(std::make_unique<CImpl>()) {
  impl_->strPath = strDevicePath;
  impl_->callback = std::move(callback);
  CWatchHub::Get().Add(impl_.get());
}

CFolderWatch::~CFolderWatch() { CWatchHub::Get().Remove(impl_.get()); }

QString CFolderWatch::Path() const { return impl_->strPath; }
bool CFolderWatch::Live() const { return impl_->wd >= 0; }
bool CFolderWatch::Polled() const { return impl_->polled; }

void SetFolderWatchLimit(int nLimit) { g_watchLimit = nLimit; }
void SetFolderPollInterval(int nMs) { g_pollMs = std::max(1, nMs); }

}  // namespace plat
