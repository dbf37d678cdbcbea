#include "collect/known_locations.h"

#include <QMutex>
#include <QMutexLocker>

#include "platform/device_root.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "registry/registry_access.h"

namespace collect {
namespace {

const QString kShellFolders =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

bool FolderExists(const QString& strPath) {
  if (strPath.isEmpty()) return false;
  const DWORD attributes = plat::GetFileAttributes(strPath);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A string value under HKEY_CURRENT_USER; empty when it is missing or not a REG_SZ.
QString UserValue(const QString& strKey, const char16_t* name) {
  QString value;
  ReadString(HKEY_CURRENT_USER, strKey, QString::fromUtf16(name), &value);
  return value;
}

QString ShellFolder(int csidl) {
  QString path;
  return plat::SHGetSpecialFolderPath(csidl, &path, false) ? path : QString();
}

// strValue when it is set, else the folder tail below the special location nBase (empty when
// that location is missing, so that the tail alone never stands for it).
QString ValueOrBelow(const QString& strValue, int nBase, const char16_t* tail) {
  if (!strValue.isEmpty()) return strValue;
  const QString base = GetSpecialLocation(nBase);
  return base.isEmpty() ? QString() : base + QString::fromUtf16(tail);
}

// The program's own folder stands for the system folder (as for the "Windows" favorite). It is
// computed once per device root and kept.
QString WindowsFolder() {
  static QMutex mutex;
  static QString root, folder;
  QMutexLocker lock(&mutex);
  if (folder.isEmpty() || root != plat::CDeviceRoot::HostDir()) {
    root = plat::CDeviceRoot::HostDir();
    folder = plat::ProgramFolder();
  }
  return folder;
}

QString NetFrontCache() {
  static const char16_t* const kKeys[] = {
      u"Software\\access\\NetFront33\\BrowserPref",
      u"Software\\access.co.jp\\NetFront32\\BrowserPref",
      u"Software\\access.co.jp\\NetFront31\\BrowserPref",
  };
  for (const char16_t* key : kKeys) {
    const QString value = UserValue(QString::fromUtf16(key), u"L2CacheDir");
    if (FolderExists(value)) return value;
  }
  return ValueOrBelow(QString(), eSpecialLoc_ProgramFiles, u"\\ACCESS NetFront32\\cache");
}

QString Locate(int nId) {
  switch (nId) {
    case eSpecialLoc_Windows: return WindowsFolder();
    case eSpecialLoc_MyDocuments: return ShellFolder(plat::CSIDL_PERSONAL);
    case eSpecialLoc_ProgramFiles: return ShellFolder(plat::CSIDL_PROGRAM_FILES);
    case eSpecialLoc_StartMenu: return ShellFolder(plat::CSIDL_STARTMENU);
    case eSpecialLoc_Programs: return ShellFolder(plat::CSIDL_PROGRAMS);
    case eSpecialLoc_Startup: return ShellFolder(plat::CSIDL_STARTUP);
    case eSpecialLoc_AvantGoDatabase:
      return ValueOrBelow(UserValue(QStringLiteral("Software\\AvantGo"), u"DatabaseLocation"),
                          eSpecialLoc_Windows, u"\\AvantGo");
    case eSpecialLoc_IECache:
      return ValueOrBelow(UserValue(kShellFolders, u"Cache"), eSpecialLoc_Windows,
                          u"\\Temporary Internet Files");
    case eSpecialLoc_IEHistory:
      return ValueOrBelow(UserValue(kShellFolders, u"History"), eSpecialLoc_Windows, u"\\History");
    case eSpecialLoc_IECookies:
      return ValueOrBelow(UserValue(kShellFolders, u"Cookies"), eSpecialLoc_Windows, u"\\Cookies");
    case eSpecialLoc_NetFrontCache: return NetFrontCache();
    case eSpecialLoc_MailAttachments:
      return ValueOrBelow(UserValue(QStringLiteral("Software\\Microsoft\\MAPI"), u"AttachPath"),
                          eSpecialLoc_Windows, u"\\Messaging\\Attachments");
    case eSpecialLoc_OperaData:
      return ValueOrBelow(QString(), eSpecialLoc_ApplicationData, u"\\Opera");
    case eSpecialLoc_JournalBarCache:
      return UserValue(QStringLiteral("Software\\OmegaOne\\JournalBar"), u"Cache");
    case eSpecialLoc_ApplicationData: return ShellFolder(plat::CSIDL_APPDATA);
    default: return QString();  // eSpecialLoc_None and unknown ids
  }
}

}  // namespace

QString GetSpecialLocation(int nId) {
  const QString folder = Locate(nId);
  return FolderExists(folder) ? folder : QString();
}

}  // namespace collect
