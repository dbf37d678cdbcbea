#include "platform/find.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <memory>
#include <thread>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/host_stat.h"

namespace plat {
namespace {

using host::Fail;

bool HasWildcards(QStringView name) {
  return name.contains(u'*') || name.contains(u'?');
}


// ForEachFolderEntry reads this many names at a time; a full block has its records made by
// several threads.
constexpr size_t kFolderBlock = 4096;

// The record of one item named by its canonical device path.
bool FindExact(const QString& canonical, WIN32_FIND_DATAW* data) {
  if (canonical == u"\\") return Fail(ERROR_FILE_NOT_FOUND);  // the root has no record
  host::CItemStatus status;
  host::CStoredMeta meta;
  if (const DWORD error = host::StatPath(canonical, &status, &meta)) return Fail(error);
  const QString name = host::LastComponent(canonical);
  const DWORD attributes = host::AttributesOf(status, meta, name.startsWith(u'.'),
                                              host::IsTopLevel(canonical),
                                              CDeviceRoot::HostDevice());
  host::FillFindData(status, meta, attributes, name, data);
  return true;
}

// What the records of one folder's entries are made from.
struct CFolderScan {
  int dirFd;            // the open folder; entries are looked up relative to it
  const QByteArray* relative;  // the folder's path relative to the root, for links
  bool topLevel;        // the folder is the root, where storage cards live
  quint64 rootDevice;
};

// The record of one entry of the folder; false when the entry has vanished since the folder
// was read.
bool FillEntry(const CFolderScan& scan, const char* raw, const QString& name,
               unsigned char dType, WIN32_FIND_DATAW* data) {
  host::CItemStatus status;
  host::CFd target;
  const int err = host::StatItem(scan.dirFd, raw, *scan.relative, &status, &target);
  if (err == ENOENT) return false;
  if (err != 0) {
    // The entry exists but its status cannot be read: report what the folder says of it.
    status.isDir = dType == DT_DIR;
    status.mode = S_IWUSR | (status.isDir ? S_IFDIR : S_IFREG);
    status.device = scan.rootDevice;
  }
  host::CStoredMeta meta;
  if (err == 0 && !status.dangling)
    meta = status.isLink ? host::ReadStoredMeta(target.Get(), "")
                         : host::ReadStoredMeta(scan.dirFd, raw);
  const DWORD attributes =
      host::AttributesOf(status, meta, raw[0] == '.', scan.topLevel, scan.rootDevice);
  host::FillFindData(status, meta, attributes, name, data);
  return true;
}

// Opens a folder for reading beneath the root (links inside the root followed); null with the
// last error set when it cannot be read: ERROR_PATH_NOT_FOUND for a missing folder or a
// file, ERROR_ACCESS_DENIED for one the host refuses or that lies outside the root.
DIR* OpenFolder(const QString& canonical, QByteArray* pRelative) {
  if (!host::RelativeHostPath(canonical, pRelative)) return nullptr;
  host::CFd fd;
  if (const int err = host::OpenRelative(*pRelative, O_RDONLY | O_DIRECTORY, &fd)) {
    Fail(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
    return nullptr;
  }
  DIR* dir = ::fdopendir(fd.Get());
  if (!dir) {
    Fail(ErrorFromErrno(errno));
    return nullptr;
  }
  fd.Release();
  return dir;
}

}  // namespace

struct CFind::State {
  DIR* dir = nullptr;        // null once an exact lookup has given its one record
  QByteArray folderRelative;  // the folder's path relative to the root, for links
  QString foldedPattern;     // case-folded
  bool matchAll = false;     // "*" or "*.*": no name test
  bool topLevel = false;     // the folder is the root, where storage cards live
  quint64 rootDevice = 0;

  ~State() {
    if (dir) ::closedir(dir);
  }
  bool NextMatch(WIN32_FIND_DATAW* data);
  void Fill(const char* raw, const QString& name, const struct dirent* entry,
            WIN32_FIND_DATAW* data, bool* vanished);
};

bool CFind::State::NextMatch(WIN32_FIND_DATAW* data) {
  if (!dir) return Fail(ERROR_NO_MORE_FILES);
  for (;;) {
    errno = 0;
    const struct dirent* entry = ::readdir(dir);
    if (!entry) return Fail(errno ? ErrorFromErrno(errno) : ERROR_NO_MORE_FILES);
    const char* raw = entry->d_name;
    QString name;
    if (host::IsDotOrDotDot(raw) || !host::DeviceName(raw, &name)) continue;
    if (!matchAll && !WildcardMatch(foldedPattern, name.toCaseFolded())) continue;
    bool vanished = false;
    Fill(raw, name, entry, data, &vanished);
    if (!vanished) return true;
  }
}

void CFind::State::Fill(const char* raw, const QString& name, const struct dirent* entry,
                        WIN32_FIND_DATAW* data, bool* vanished) {
  const CFolderScan scan{::dirfd(dir), &folderRelative, topLevel, rootDevice};
  *vanished = !FillEntry(scan, raw, name, entry->d_type, data);
}

CFind::~CFind() { Close(); }

bool CFind::First(const QString& pattern, WIN32_FIND_DATAW* data) {
  Close();
  QString canonical;
  if (!CDeviceRoot::Canonical(pattern, &canonical)) return false;
  const QString name = host::LastComponent(canonical);
  if (!HasWildcards(name)) {
    if (!FindExact(canonical, data)) return false;
    state_ = new State;  // its one record is given; Next reports the end
    return true;
  }
  const qsizetype slash = canonical.lastIndexOf(u'\\');
  const QString folder = slash == 0 ? QStringLiteral("\\") : canonical.left(slash);
  QByteArray folderRelative;
  DIR* dir = OpenFolder(folder, &folderRelative);
  if (!dir) return false;
  state_ = new State;
  state_->dir = dir;
  state_->folderRelative = folderRelative;
  state_->foldedPattern = name.toCaseFolded();
  state_->matchAll = name == u"*" || name == u"*.*";
  state_->topLevel = folder == u"\\";
  state_->rootDevice = CDeviceRoot::HostDevice();
  if (state_->NextMatch(data)) return true;
  const DWORD error = GetLastError();
  Close();
  return Fail(error == ERROR_NO_MORE_FILES ? ERROR_FILE_NOT_FOUND : error);
}

bool CFind::Next(WIN32_FIND_DATAW* data) {
  if (!state_) return Fail(ERROR_INVALID_HANDLE);
  return state_->NextMatch(data);
}

void CFind::Close() {
  delete state_;
  state_ = nullptr;
}

bool WildcardMatch(QStringView pattern, QStringView name) {
  // Most names are ASCII: those characters are compared without the Unicode tables.
  const auto same = [](QChar a, QChar b) {
    if (a == b) return true;
    const char16_t x = a.unicode(), y = b.unicode();
    if (x < 128 && y < 128)
      return (x | 0x20) == (y | 0x20) && ((x | 0x20) >= u'a' && (x | 0x20) <= u'z');
    return a.toCaseFolded() == b.toCaseFolded();
  };
  // On a mismatch the last "*" takes one more character and matching goes on from there:
  // going back to the last "*" only is enough to find every match ("a.b.txt" for "*.txt").
  qsizetype p = 0, n = 0, star = -1, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] != u'*' &&
        (pattern[p] == u'?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (star >= 0) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool FindPatternMatches(QStringView pattern, QStringView name) {
  if (pattern == u"*" || pattern == u"*.*") return true;
  if (!HasWildcards(pattern)) return pattern.compare(name, Qt::CaseInsensitive) == 0;
  return WildcardMatch(pattern, name);
}

bool FindOne(const QString& devicePath, WIN32_FIND_DATAW* data) {
  QString canonical;
  return CDeviceRoot::Canonical(devicePath, &canonical) && FindExact(canonical, data);
}

DWORD FolderOpenError(const QString& strFolder) {
  QByteArray relative;
  if (!host::RelativeHostPath(strFolder, &relative)) return ERROR_INVALID_NAME;
  host::CFd fd;
  const int err = host::OpenRelative(relative, O_RDONLY | O_DIRECTORY, &fd);
  if (err == 0) return 0;
  if (err == ENOTDIR && host::OpenRelative(relative, O_PATH, &fd) == 0) return ERROR_DIRECTORY;
  if (err == ENOENT || err == ENOTDIR) return ERROR_PATH_NOT_FOUND;
  return ErrorFromErrno(err);
}

DWORD ItemOpenError(const QString& strPath) {
  QByteArray relative;
  if (!host::RelativeHostPath(strPath, &relative)) return ERROR_INVALID_NAME;
  host::CFd fd;
  const int err = host::OpenRelative(relative, O_PATH, &fd);
  if (err == 0) return 0;
  if (err == ENOENT || err == ENOTDIR) {
    QString canonical;
    CDeviceRoot::Canonical(strPath, &canonical);
    return host::PathErrorOf(err, canonical);
  }
  return ErrorFromErrno(err);
}

bool ForEachFolderEntry(const QString& strFolder,
                        const std::function<void(const WIN32_FIND_DATAW&)>& fnEntry) {
  QString canonical;
  if (!CDeviceRoot::Canonical(strFolder, &canonical)) return false;
  QByteArray folderRelative;
  std::unique_ptr<DIR, int (*)(DIR*)> opened(OpenFolder(canonical, &folderRelative), &::closedir);
  if (!opened) return false;
  return ForEachEntryOfOpenFolder(::dirfd(opened.get()), canonical, folderRelative, fnEntry);
}

namespace {

// The record of a plain file, a folder or a link (the listing says which) made from its name
// and kind alone, for a walk that reads statuses only where it needs them.
void FillKind(const QString& name, unsigned char dType, WIN32_FIND_DATAW* data) {
  std::memset(data, 0, sizeof(*data));
  data->dwFileAttributes = dType == DT_DIR   ? FILE_ATTRIBUTE_DIRECTORY
                           : dType == DT_LNK ? FILE_ATTRIBUTE_REPARSE_POINT
                                             : FILE_ATTRIBUTE_NORMAL;
  const qsizetype length = qMin<qsizetype>(name.size(), MAX_PATH - 1);
  std::memcpy(data->cFileName, name.utf16(), static_cast<size_t>(length) * sizeof(WCHAR));
}

// The entries of an open folder read straight from the host, a buffer at a time, without the
// descriptor copies and flag calls a directory stream costs on every folder of a walk.
class CEntryReader {
 public:
  // Reading starts at the folder's first entry (a folder just opened is there already);
  // false with errno set when the folder cannot be read.
  bool Start(int fd, bool bFresh) {
    fd_ = fd;
    filled_ = at_ = 0;
    return bFresh || ::lseek(fd_, 0, SEEK_SET) == 0;
  }
  // The next entry, or null at the end (errno 0) or on a failure (errno set).
  const struct dirent64* Next() {
    if (at_ >= filled_) {
      errno = 0;
      const ssize_t n = ::getdents64(fd_, buffer_, sizeof(buffer_));
      if (n <= 0) {
        if (n < 0 && errno == 0) errno = EIO;
        return nullptr;
      }
      filled_ = size_t(n);
      at_ = 0;
    }
    const auto* entry = reinterpret_cast<const struct dirent64*>(buffer_ + at_);
    at_ += entry->d_reclen;
    return entry;
  }

 private:
  int fd_ = -1;
  alignas(struct dirent64) char buffer_[32768];
  size_t filled_ = 0;
  size_t at_ = 0;
};

size_t FillThreads() {
  static const size_t nThreads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
  return nThreads;
}

// ForEachEntryOfOpenFolder and ForEachKindOfOpenFolder: bKindsOnly leaves the status of plain
// files and folders outside the root unread.
bool ScanOpenFolder(int dirFd, const QString& strFolder, const QByteArray& folderRelative,
                    bool bKindsOnly, bool bFresh, const FnEntryWithStatus& fnEntry,
                    const FnUnnamedEntry& fnUnnamed) {
  // One buffer per thread: a scan reads its folder to the end before the next scan starts.
  thread_local std::unique_ptr<CEntryReader> reader;
  if (!reader) reader = std::make_unique<CEntryReader>();
  if (!reader->Start(dirFd, bFresh)) return Fail(ErrorFromErrno(errno));
  const bool bTopLevel = strFolder == u"\\";
  const CFolderScan scan{dirFd, &folderRelative, bTopLevel, CDeviceRoot::HostDevice()};
  // The root's folders may be storage cards, which only their status tells.
  const bool bKinds = bKindsOnly && !bTopLevel;
  const size_t nThreads = FillThreads();

  // The names are read a block at a time, then the block's records are made, by several
  // threads when the block is full: each record costs host calls (a status and an attribute
  // listing) that run side by side.
  struct CName {
    QByteArray raw;
    QString name;
    unsigned char dType;
  };
  std::vector<CName> names;
  std::vector<WIN32_FIND_DATAW> records;
  std::vector<char> present;
  bool bEnd = false;
  while (!bEnd) {
    names.clear();
    while (names.size() < kFolderBlock) {
      const struct dirent64* entry = reader->Next();
      if (!entry) {
        if (errno) return Fail(ErrorFromErrno(errno));
        bEnd = true;
        break;
      }
      QString name;
      if (host::IsDotOrDotDot(entry->d_name)) continue;
      if (!host::DeviceName(entry->d_name, &name)) {
        if (fnUnnamed) fnUnnamed(QByteArray(entry->d_name));
        continue;
      }
      if (bKinds && (entry->d_type == DT_REG || entry->d_type == DT_DIR ||
                     entry->d_type == DT_LNK)) {
        WIN32_FIND_DATAW data;
        FillKind(name, entry->d_type, &data);
        fnEntry(data, false);
        continue;
      }
      if (bKinds) {
        // A kind the listing does not tell: its whole record, in its place of the order.
        WIN32_FIND_DATAW data;
        if (FillEntry(scan, entry->d_name, name, entry->d_type, &data)) fnEntry(data, true);
        continue;
      }
      names.push_back({QByteArray(entry->d_name), std::move(name), entry->d_type});
    }
    const size_t nNames = names.size();
    records.resize(nNames);
    present.assign(nNames, 0);
    const auto fillRange = [&](size_t from, size_t to) {
      for (size_t i = from; i < to; ++i)
        present[i] = FillEntry(scan, names[i].raw.constData(), names[i].name, names[i].dType,
                               &records[i]);
    };
    const size_t nParts = nNames < kFolderBlock ? 1 : nThreads;
    const size_t nChunk = (nNames + nParts - 1) / nParts;
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < nParts; ++t)
      helpers.emplace_back(fillRange, t * nChunk, std::min((t + 1) * nChunk, nNames));
    fillRange(0, std::min(nChunk, nNames));
    for (std::thread& helper : helpers) helper.join();
    // An entry that vanished after its name was read has no record.
    for (size_t i = 0; i < nNames; ++i)
      if (present[i]) fnEntry(records[i], true);
  }
  return true;
}

}  // namespace

bool ForEachEntryOfOpenFolder(int dirFd, const QString& strFolder,
                              const QByteArray& folderRelative,
                              const std::function<void(const WIN32_FIND_DATAW&)>& fnEntry,
                              const FnUnnamedEntry& fnUnnamed) {
  return ScanOpenFolder(
      dirFd, strFolder, folderRelative, false, false,
      [&fnEntry](const WIN32_FIND_DATAW& data, bool) { fnEntry(data); }, fnUnnamed);
}

bool ForEachKindOfOpenFolder(int dirFd, const QString& strFolder,
                             const QByteArray& folderRelative, bool bFresh,
                             const FnEntryWithStatus& fnEntry, const FnUnnamedEntry& fnUnnamed) {
  return ScanOpenFolder(dirFd, strFolder, folderRelative, true, bFresh, fnEntry, fnUnnamed);
}

bool ReadEntryOfOpenFolder(int dirFd, const QString& strFolder,
                           const QByteArray& folderRelative, const QString& strName,
                           WIN32_FIND_DATAW* pData) {
  QByteArray raw;
  if (!host::HostName(strName, &raw)) return false;
  const CFolderScan scan{dirFd, &folderRelative, strFolder == u"\\", CDeviceRoot::HostDevice()};
  if (!FillEntry(scan, raw.constData(), strName, DT_UNKNOWN, pData))
    return Fail(ERROR_FILE_NOT_FOUND);
  return true;
}

QStringView FindNameView(const WIN32_FIND_DATAW& data) {
  qsizetype length = 0;
  while (length < MAX_PATH && data.cFileName[length] != 0) ++length;
  return QStringView(data.cFileName, length);
}

bool ReadFolderEntries(const QString& strFolder, std::vector<WIN32_FIND_DATAW>* pEntries) {
  return ForEachFolderEntry(strFolder,
                            [pEntries](const WIN32_FIND_DATAW& data) { pEntries->push_back(data); });
}

QString FindName(const WIN32_FIND_DATAW& data) { return FindNameView(data).toString(); }

quint64 FindSize(const WIN32_FIND_DATAW& data) {
  return (static_cast<quint64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsWalkableFolder(const WIN32_FIND_DATAW& data) {
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

namespace {

// The length of the valid UTF-8 sequence at p (n bytes there), or 0 when none starts there.
int Utf8SequenceLength(const unsigned char* p, qsizetype n) {
  if (p[0] < 0x80) return 1;
  const int len = (p[0] & 0xE0) == 0xC0   ? 2
                  : (p[0] & 0xF0) == 0xE0 ? 3
                  : (p[0] & 0xF8) == 0xF0 ? 4
                                          : 0;
  if (len == 0 || n < len) return 0;
  char32_t code = p[0] & (0x7F >> len);
  for (int i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (p[i] & 0x3F);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};  // overlong forms are invalid
  const bool bSurrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < kShortest[len] || code > 0x10FFFF || bSurrogate ? 0 : len;
}

}  // namespace

QString ShownHostName(const QByteArray& raw) {
  QString shown;
  const auto* p = reinterpret_cast<const unsigned char*>(raw.constData());
  for (qsizetype i = 0; i < raw.size();) {
    const int len = Utf8SequenceLength(p + i, raw.size() - i);
    if (len == 0 || p[i] < 0x20 || p[i] == 0x7F) {
      shown += QStringLiteral("\\x") + QString::number(p[i], 16).toUpper().rightJustified(2, u'0');
      ++i;
    } else {
      shown += QString::fromUtf8(raw.constData() + i, len);
      i += len;
    }
  }
  return shown;
}

}  // namespace plat
