#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/device_root.h"

namespace fuzz {
namespace {

QTemporaryDir* g_root = nullptr;

}  // namespace

void StartRoot() {
  if (g_root) return;
  const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                           ? QStringLiteral("/dev/shm")
                           : QDir::tempPath();
  g_root = new QTemporaryDir(base + QStringLiteral("/pinbro-fuzz-XXXXXX"));
  QString error;
  if (!g_root->isValid() || !plat::CDeviceRoot::Open(g_root->path(), &error)) {
    std::fprintf(stderr, "cannot open a device root: %s\n", qPrintable(error));
    std::abort();
  }
  // The folder goes when the run ends normally; a finding leaves it for a look.
  std::atexit([] { delete g_root; });
}

QString HostPath(const QString& devicePath) {
  QString rel = devicePath;
  rel.replace(u'\\', u'/');
  while (rel.startsWith(u'/')) rel.remove(0, 1);
  return rel.isEmpty() ? g_root->path() : g_root->path() + u'/' + rel;
}

void WriteFile(const QString& devicePath, const QByteArray& bytes) {
  const QString host = HostPath(devicePath);
  QDir().mkpath(QFileInfo(host).path());
  QFile file(host);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(host));
    std::abort();
  }
}

QStringList Names(const QString& deviceFolder) {
  return QDir(HostPath(deviceFolder))
      .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void EmptyFolder(const QString& deviceFolder) {
  const QString host = HostPath(deviceFolder);
  for (const QString& name : Names(deviceFolder)) {
    const QString path = host + u'/' + name;
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
      QDir(path).removeRecursively();
    else
      QFile::remove(path);
  }
}

void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

}  // namespace fuzz
