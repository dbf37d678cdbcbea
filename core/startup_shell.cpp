#include "core/startup_shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include "core/log_format.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "core/texts.h"
#include "platform/find.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace {

// The maker's web address named by the version warning.
constexpr char16_t kMakerWebAddress[] = u"www.tarvish.example";
// The system this build is made for, and its version numbers.
constexpr char16_t kTargetSystem[] = u"Pocket PC 2002";
constexpr DWORD kTargetVersionLow = 300;
constexpr DWORD kTargetVersionHigh = 399;

bool FolderHasShortcutTo(const QString& strFolder, const QString& strExePath) {
  plat::CFind find;
  WIN32_FIND_DATAW data;
  bool bFound = find.First(strFolder + QStringLiteral("\\*.lnk"), &data);
  for (; bFound; bFound = find.Next(&data)) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    QString target;
    const QString strLink = PrintfFormat(MAX_PATH, u"%s\\%s", strFolder, plat::FindName(data));
    if (!plat::SHGetShortcutTarget(strLink, &target, MAX_PATH)) continue;
    if (ShortcutProgramPath(target).compare(strExePath, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

// A string value of a desktop entry: backslash and line breaks escaped.
QString EscapeEntryValue(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (c == u'\\')
      out += u"\\\\";
    else if (c == u'\n')
      out += u"\\n";
    else if (c == u'\r')
      out += u"\\r";
    else if (c == u'\t')
      out += u"\\t";
    else
      out += c;
  }
  return out;
}

// The program argument of an Exec key: quoted, with the characters that are special inside
// quotes escaped, and "%" doubled because it starts a field code.
QString QuoteExecArgument(const QString& strPath) {
  QString quoted = QStringLiteral("\"");
  for (QChar c : strPath) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    if (c == u'%') quoted += u'%';
    quoted += c;
  }
  return quoted + u'"';
}

}  // namespace

QString ShortcutProgramPath(const QString& strTarget) {
  const qsizetype first = strTarget.indexOf(u'"');
  if (first >= 0) {
    const qsizetype last = strTarget.lastIndexOf(u'"');
    return last > first ? strTarget.mid(first + 1, last - first - 1) : QString();
  }
  for (qsizetype i = 0; i < strTarget.size(); ++i) {
    const QChar c = strTarget[i];
    if (c == u' ' || c == u'?' || c == u',' || c == u'\r' || c == u'\n') return strTarget.left(i);
  }
  return strTarget;
}

bool HasStartMenuShortcut(const QString& strExePath) {
  for (int nCsidl : {plat::CSIDL_PROGRAMS, plat::CSIDL_STARTMENU}) {
    QString folder;
    if (!plat::SHGetSpecialFolderPath(nCsidl, &folder, false)) continue;
    if (FolderHasShortcutTo(folder, strExePath)) return true;
  }
  return false;
}

bool HasStartMenuShortcut() { return HasStartMenuShortcut(ExecutablePath()); }

bool CreateStartMenuShortcut(const QString& strExePath) {
  QString folder;
  if (!plat::SHGetSpecialFolderPath(plat::CSIDL_STARTMENU, &folder, true)) return false;
  const QString strLink = PrintfFormat(MAX_PATH, u"%s\\%s", folder, kStartMenuShortcutName);
  return plat::SHCreateShortcut(strLink, PrintfFormat(MAX_PATH, u"\"%s\"", strExePath));
}

bool CreateStartMenuShortcut() { return CreateStartMenuShortcut(ExecutablePath()); }

QString DefaultDesktopEntryFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/applications/pinewood-browser.desktop");
}

// The resources of a static library are registered by hand (outside any namespace).
static void InitShellEntryResources() { Q_INIT_RESOURCE(shell_entry); }

QString DesktopEntryText(const QString& strHostExecutable) {
  InitShellEntryResources();
  // The template the installation's entry is made from too (data/, built into the program).
  QFile templ(QStringLiteral(":/pinbro/pinewood-browser.desktop.in"));
  if (!templ.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(templ.readAll())
      .replace(QStringLiteral("@PINBRO_ENTRY_NAME@"), QString::fromUtf16(kProductName))
      .replace(QStringLiteral("@PINBRO_ENTRY_EXEC@"),
               EscapeEntryValue(QuoteExecArgument(strHostExecutable)));
}

QString DesktopEntryIconFile(const QString& strEntryFile) {
  // <data>/applications/x.desktop -> <data>/icons/hicolor/scalable/apps/pinewood-browser.svg
  const QDir data = QFileInfo(QFileInfo(strEntryFile).absolutePath()).absoluteDir();
  return data.filePath(QStringLiteral("icons/hicolor/scalable/apps/pinewood-browser.svg"));
}

namespace {

// Writes bytes to a file as a whole (never half-written), making its folder first.
bool WriteWhole(const QString& strFile, const QByteArray& bytes) {
  if (!QDir().mkpath(QFileInfo(strFile).absolutePath())) return false;
  QSaveFile file(strFile);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(bytes);
  return file.commit();
}

}  // namespace

bool WriteDesktopEntry(const QString& strFile, const QString& strHostExecutable) {
  const QString strText = DesktopEntryText(strHostExecutable);
  if (strText.isEmpty()) return false;
  // The icon the entry names, where the desktop looks for a user's icons.
  InitShellEntryResources();
  QFile icon(QStringLiteral(":/pinbro/pinewood-browser.svg"));
  if (!icon.open(QIODevice::ReadOnly) ||
      !WriteWhole(DesktopEntryIconFile(strFile), icon.readAll()))
    return false;
  return WriteWhole(strFile, strText.toUtf8());
}

DWORD OperatingSystemVersion() {
  DWORD dwMajor = 0;
  DWORD dwMinor = 0;
  DWORD dwBuild = 0;
  plat::GetVersion(&dwMajor, &dwMinor, &dwBuild);
  return dwMajor * 100 + dwMinor;
}

QString OperatingSystemName(DWORD dwVersion) {
  if (dwVersion >= 500) return QStringLiteral("Windows Mobile 5");
  if (dwVersion >= 420) return QStringLiteral("Windows Mobile 2003 Second Edition");
  if (dwVersion >= 400) return QStringLiteral("Windows Mobile 2003");
  if (dwVersion >= 300) return QStringLiteral("Pocket PC 2002");
  if (dwVersion >= 211) return QStringLiteral("Windows CE 2.11");
  return {};
}

bool CheckOperatingSystem() {
  const DWORD dwVersion = OperatingSystemVersion();
  if (dwVersion >= kTargetVersionLow && dwVersion <= kTargetVersionHigh) return false;
  const QString strProduct = QString::fromUtf16(kProductName);
  const QString strText =
      core::Text(61213).arg(strProduct, QString::fromUtf16(kTargetSystem),
                            QString::fromUtf16(kMakerWebAddress), OperatingSystemName(dwVersion),
                            strProduct);
  MsgWarning(strText, core::Text(61214), core::Text(61215), 3);
  return true;
}

QString DeviceName() {
  QString name;
  ReadKeyString(QStringLiteral("Ident"), QStringLiteral("Name"), QString(), &name);
  return name.isEmpty() ? core::Text(55176) : name;
}

QString OemInfo() {
  // The host's counterpart of the handheld's OEM text is the maker and model the firmware
  // reports (DMI); a machine without them (a container, a board without DMI) has none.
  QStringList parts;
  for (const char* file : {"/sys/class/dmi/id/sys_vendor", "/sys/class/dmi/id/product_name"}) {
    QFile f(QString::fromLatin1(file));
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QString part = QString::fromUtf8(f.read(255)).simplified();
    if (!part.isEmpty()) parts << part;
  }
  if (parts.isEmpty()) return core::Text(55009);
  return PrintfFormat(255, u"%s", parts.join(u' '));
}
