#pragma once
// The device's file system is one host folder, the device root. Every path the program shows,
// stores or compares is a device path ("\Docs\a.txt"); this is the one place where device paths
// become host paths.

#include <sys/types.h>

#include <QByteArray>
#include <QString>

namespace plat {

class CDeviceRoot {
 public:
  // Makes hostDir the device root for the whole process. False with a reason in *error when
  // the folder is missing, is not a folder or cannot be read.
  static bool Open(const QString& hostDir, QString* error);
  // The host folder of the root, absolute and without a trailing slash; empty before Open.
  static QString HostDir();
  // The same folder as bytes in the host's file-name encoding, and the id of the host file
  // system that holds it (st_dev), against which storage cards are told apart.
  static QByteArray HostDirBytes();
  static quint64 HostDevice();

  // Maps a device path to the host path (bytes in the host's file-name encoding).
  // Accepted: "\" and "/" as separators, a missing leading separator, one trailing separator.
  // Refused with ERROR_INVALID_NAME (false, last error set): "." or ".." components, empty
  // components inside the path, NUL characters.
  // The host path is for showing and for handing a file to another program; the host layer
  // never opens or changes anything by it, since a link on the way could lead outside the
  // root: its calls resolve device paths beneath the root's descriptor (plat::host below).
  static bool ToHost(const QString& devicePath, QByteArray* hostPath);

  // The device path of a host path that lies inside the root ("\" for the root itself);
  // false when it lies outside.
  static bool ToDevice(const QString& hostPath, QString* devicePath);

  // The canonical form of a device path: backslashes, rooted, no trailing backslash except
  // for "\". False (ERROR_INVALID_NAME) for the paths ToHost refuses.
  static bool Canonical(const QString& devicePath, QString* canonical);
};

}  // namespace plat

// For the host layer (platform/) only: device paths resolved beneath one open descriptor of
// the root. Links met on the way, and at the end unless O_NOFOLLOW is given, are followed as
// long as they stay inside the root (relative or absolute targets alike); a path that would
// leave the root, through a link or otherwise, fails with EACCES and opens nothing. The
// kernel's openat2(RESOLVE_BENEATH) does the common case in one call; a path it refuses
// (an absolute link, a ".." that might leave) is walked one component at a time from the
// root's descriptor, each component opened without following it.
namespace plat::host {

// An owned descriptor, closed when it goes.
class CFd {
 public:
  CFd() = default;
  explicit CFd(int fd) : fd_(fd) {}
  ~CFd();
  CFd(CFd&& other) noexcept : fd_(other.Release()) {}
  CFd& operator=(CFd&& other) noexcept;
  CFd(const CFd&) = delete;
  CFd& operator=(const CFd&) = delete;
  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  int Release();

 private:
  int fd_ = -1;
};

// The host bytes of a device path relative to the root ("" for the root), or false
// (ERROR_INVALID_NAME) for the paths ToHost refuses.
bool RelativeHostPath(const QString& devicePath, QByteArray* relative);

// Opens a device path (or a root-relative host path) beneath the root with open(2) flags
// (O_PATH, O_DIRECTORY, O_NOFOLLOW, O_CREAT | O_EXCL, O_RDWR...). 0 or errno.
int OpenBeneath(const QString& devicePath, int flags, CFd* fd, mode_t mode = 0666);
int OpenRelative(const QByteArray& relative, int flags, CFd* fd, mode_t mode = 0666);

// The folder that holds an item (an O_PATH descriptor, found beneath the root) and the
// item's host name, for the *at() calls that act on the item itself: delete, rename, a status
// that does not follow a link. For the root itself: the root and ".". 0 or errno.
int OpenParent(const QString& devicePath, CFd* folder, QByteArray* name);

}  // namespace plat::host
