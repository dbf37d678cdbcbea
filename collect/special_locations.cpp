#include "collect/special_locations.h"

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
  return ValueOrBelow(QString(), eSpecLoc_ProgramFiles, u"\\ACCESS NetFront32\\cache");
}

QString Locate(int nId) {
  switch (nId) {
    case eSpecLoc_Windows: return WindowsFolder();
    case eSpecLoc_MyDocuments: return ShellFolder(plat::CSIDL_PERSONAL);
    case eSpecLoc_ProgramFiles: return ShellFolder(plat::CSIDL_PROGRAM_FILES);
    case eSpecLoc_StartMenu: return ShellFolder(plat::CSIDL_STARTMENU);
    case eSpecLoc_Programs: return ShellFolder(plat::CSIDL_PROGRAMS);
    case eSpecLoc_Startup: return ShellFolder(plat::CSIDL_STARTUP);
    case eSpecLoc_AvantGoDatabase:
      return ValueOrBelow(UserValue(QStringLiteral("Software\\AvantGo"), u"DatabaseLocation"),
                          eSpecLoc_Windows, u"\\AvantGo");
    case eSpecLoc_IECache:
      return ValueOrBelow(UserValue(kShellFolders, u"Cache"), eSpecLoc_Windows,
                          u"\\Temporary Internet Files");
    case eSpecLoc_IEHistory:
      return ValueOrBelow(UserValue(kShellFolders, u"History"), eSpecLoc_Windows, u"\\History");
    case eSpecLoc_IECookies:
      return ValueOrBelow(UserValue(kShellFolders, u"Cookies"), eSpecLoc_Windows, u"\\Cookies");
    case eSpecLoc_NetFrontCache: return NetFrontCache();
    case eSpecLoc_MailAttachments:
      return ValueOrBelow(UserValue(QStringLiteral("Software\\Microsoft\\MAPI"), u"AttachPath"),
                          eSpecLoc_Windows, u"\\Messaging\\Attachments");
    case eSpecLoc_OperaData: return ValueOrBelow(QString(), eSpecLoc_ApplicationData, u"\\Opera");
    case eSpecLoc_JournalBarCache:
      return UserValue(QStringLiteral("Software\\OmegaOne\\JournalBar"), u"Cache");
    case eSpecLoc_ApplicationData: return ShellFolder(plat::CSIDL_APPDATA);
    default: return QString();  // eSpecLoc_None and unknown ids
  }
}

}  // namespace

QString GetSpecialLocation(int nId) {
  const QString folder = Locate(nId);
  return FolderExists(folder) ? folder : QString();
}

}  // namespace collect
