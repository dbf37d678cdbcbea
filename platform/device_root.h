#pragma once
// The device's file system is one host folder, the device root. Every path the program shows,
// stores or compares is a device path ("\Docs\a.txt"); this is the one place where device paths
// become host paths.

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
  // components inside the path, NUL characters; nothing ever maps outside the root.
  static bool ToHost(const QString& devicePath, QByteArray* hostPath);

  // The device path of a host path that lies inside the root ("\" for the root itself);
  // false when it lies outside.
  static bool ToDevice(const QString& hostPath, QString* devicePath);

  // The canonical form of a device path: backslashes, rooted, no trailing backslash except
  // for "\". False (ERROR_INVALID_NAME) for the paths ToHost refuses.
  static bool Canonical(const QString& devicePath, QString* canonical);
};

}  // namespace plat
