#include "platform/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace plat {
namespace {

// "The data is invalid.": a shortcut file that is not in the "<length>#<command line>" form.
constexpr DWORD kErrorInvalidData = 13;
// A shortcut holds one command line; anything longer than this is not a shortcut.
constexpr DWORD kMaxShortcutBytes = 64 * 1024;

struct CSpecialFolder {
  int csidl;
  QStandardPaths::StandardLocation hostLocation;  // used when it lies inside the root
  bool hasHostLocation;
  const char16_t* fallback;  // below the root, or below ProgramFolder() when relative
  bool belowProgramFolder;
};

// The table is documented in docs/host.md.
constexpr CSpecialFolder kSpecialFolders[] = {
    {CSIDL_PERSONAL, QStandardPaths::DocumentsLocation, true, u"\\My Documents", false},
    {CSIDL_MYMUSIC, QStandardPaths::MusicLocation, true, u"\\My Documents\\My Music", false},
    {CSIDL_APPDATA, QStandardPaths::GenericDataLocation, true, u"\\Application Data", false},
    {CSIDL_STARTMENU, QStandardPaths::HomeLocation, false, u"\\Start Menu", true},
    {CSIDL_PROGRAMS, QStandardPaths::HomeLocation, false, u"\\Start Menu\\Programs", true},
    {CSIDL_STARTUP, QStandardPaths::HomeLocation, false, u"\\Start Menu\\Startup", true},
    {CSIDL_PROGRAM_FILES, QStandardPaths::HomeLocation, false, u"\\Program Files", true},
};

QString SpecialFolderPath(const CSpecialFolder& folder) {
  if (folder.hasHostLocation) {
    const QString host = QStandardPaths::writableLocation(folder.hostLocation);
    QString device;
    if (!host.isEmpty() && QFileInfo(host).isDir() && CDeviceRoot::ToDevice(host, &device))
      return device;
  }
  const QString tail = QString::fromUtf16(folder.fallback);
  return folder.belowProgramFolder ? ProgramFolder() + tail : tail;
}

}  // namespace

bool SHCreateShortcut(const QString& shortcutPath, const QString& target) {
  const QByteArray text = ToAnsi(QString::number(target.size()) + u'#' + target);
  CHostFile file;
  if (!file.Open(shortcutPath, GENERIC_WRITE, CREATE_NEW)) return false;
  DWORD written = 0;
  if (file.Write(text.constData(), static_cast<DWORD>(text.size()), &written) && file.Close())
    return true;
  // No half-written shortcut stays behind.
  const DWORD error = GetLastError();
  file.Close();
  DeleteFile(file.Path());
  SetLastError(error);
  return false;
}

bool SHGetShortcutTarget(const QString& shortcutPath, QString* target, int maxChars) {
  if (maxChars < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  CHostFile file;
  if (!file.Open(shortcutPath, GENERIC_READ, OPEN_EXISTING)) return false;
  QByteArray bytes(kMaxShortcutBytes, Qt::Uninitialized);
  DWORD read = 0;
  if (!file.Read(bytes.data(), kMaxShortcutBytes, &read)) return false;
  file.Close();
  bytes.truncate(read);
  const qsizetype hash = bytes.indexOf('#');
  bool ok = hash > 0;
  const qsizetype length = ok ? bytes.left(hash).toLongLong(&ok) : 0;
  if (!ok || length < 0) {
    SetLastError(kErrorInvalidData);
    return false;
  }
  QString line = FromAnsi(bytes.mid(hash + 1));
  if (length < line.size()) line.truncate(length);
  line.truncate(maxChars - 1);
  *target = line;
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool SHGetSpecialFolderPath(int csidl, QString* devicePath, bool create) {
  for (const CSpecialFolder& folder : kSpecialFolders) {
    if (folder.csidl != csidl) continue;
    const QString path = SpecialFolderPath(folder);
    const DWORD attributes = GetFileAttributes(path);
    const bool exists =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!exists && (!create || !CreateFolders(path))) {
      if (!create) SetLastError(ERROR_PATH_NOT_FOUND);
      return false;
    }
    *devicePath = path;
    return true;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

}  // namespace plat
