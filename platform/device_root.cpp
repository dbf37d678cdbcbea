#include "platform/device_root.h"

#include <sys/stat.h>

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
struct CRootState {
  QString hostDir;       // canonical, no trailing slash ("/" for the file system root)
  QByteArray hostBytes;  // hostDir in the file-name encoding
  QByteArray prefix;     // hostBytes, or empty when the root is "/", so prefix + "/rel" works
  quint64 device = 0;
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
  QWriteLocker lock(&g_rootLock);
  g_root = state;
  return true;
}

QString CDeviceRoot::HostDir() { return Root().hostDir; }

QByteArray CDeviceRoot::HostDirBytes() { return Root().hostBytes; }

quint64 CDeviceRoot::HostDevice() { return Root().device; }

bool CDeviceRoot::ToHost(const QString& devicePath, QByteArray* hostPath) {
  QStringList parts;
  const CRootState root = Root();
  if (root.hostDir.isEmpty() || !SplitDevicePath(devicePath, &parts)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  if (parts.isEmpty()) {
    *hostPath = root.hostBytes;
    return true;
  }
  const QString rel = parts.join(u'/');
  const QByteArray encoded = QFile::encodeName(rel);
  // A name the host encoding cannot hold would come back as some other name.
  if (QFile::decodeName(encoded) != rel) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  *hostPath = root.prefix + '/' + encoded;
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
