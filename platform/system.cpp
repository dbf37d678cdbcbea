#include "platform/system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringConverter>

#include "platform/device_root.h"
#include "platform/file_system.h"

namespace plat {
namespace {

constexpr char16_t kFallbackFolder[] = u"\\.pinewood-browser";

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
QString HostDataHome() {
  const QString env = qEnvironmentVariable("XDG_DATA_HOME");
  if (!env.isEmpty() && QDir::isAbsolutePath(env)) return env;
  return QDir::homePath() + QStringLiteral("/.local/share");
}

// Lone surrogates cannot be written in any charset; they become '?' like every other
// character the charset lacks.
QString WithoutLoneSurrogates(const QString& text) {
  QString result = text;
  for (qsizetype i = 0; i < result.size(); ++i) {
    const QChar c = result[i];
    if (c.isHighSurrogate() && i + 1 < result.size() && result[i + 1].isLowSurrogate()) {
      ++i;
    } else if (c.isSurrogate()) {
      result[i] = u'?';
    }
  }
  return result;
}

}  // namespace

QString DataFolder() {
  const QString host = HostDataHome() + QStringLiteral("/pinewood-browser");
  QString device;
  if (!CDeviceRoot::ToDevice(host, &device)) {
    // The base may be reached through a symbolic link while the folder does not exist yet.
    const QString base = QFileInfo(HostDataHome()).canonicalFilePath();
    if (base.isEmpty() ||
        !CDeviceRoot::ToDevice(base + QStringLiteral("/pinewood-browser"), &device))
      return {};
  }
  // Only a folder inside the root is used, so only such a folder is created, beneath it.
  CreateFolders(device);
  return device;
}

QString ProgramFolder() {
  const QString data = DataFolder();
  if (!data.isEmpty()) return data;
  const QString fallback = QString::fromUtf16(kFallbackFolder);
  CreateFolders(fallback);
  return fallback;
}

QString GetModuleFileName() {
  QString device;
  if (QCoreApplication::instance() &&
      CDeviceRoot::ToDevice(QCoreApplication::applicationFilePath(), &device))
    return device;
  return ProgramFolder() + QStringLiteral("\\pinbro");
}

void GetVersion(DWORD* major, DWORD* minor, DWORD* build) {
  DWORD ma = 3, mi = 0;
  const QStringList parts = qEnvironmentVariable("PINBRO_OS_VERSION").split(u'.');
  if (parts.size() <= 2) {  // "4.20" or "4"
    bool okMajor = false, okMinor = true;
    const uint a = parts[0].toUInt(&okMajor);
    const uint b = parts.size() == 2 ? parts[1].toUInt(&okMinor) : 0;
    if (okMajor && okMinor) {
      ma = a;
      mi = b;
    }
  }
  if (major) *major = ma;
  if (minor) *minor = mi;
  if (build) *build = 0;
}

QByteArray ToAnsi(const QString& text) {
  QStringEncoder encoder(QStringConverter::System);
  return encoder.encode(WithoutLoneSurrogates(text));
}

QString FromAnsi(const QByteArray& bytes) {
  QStringDecoder decoder(QStringConverter::System);
  return decoder.decode(bytes);
}

}  // namespace plat
