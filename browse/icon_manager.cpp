#include "browse/icon_manager.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeDatabase>
#include <QMutexLocker>
#include <QThread>

#include <memory>
#include <mutex>

#include "browse/file_item.h"
#include "browse/icon_images.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/settings_screen.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "registry/registry_access.h"
#include "core/texts.h"

namespace {

constexpr int kInitialCapacity = 150;
// A shortcut may point at another shortcut; a chain longer than this (or a loop) is treated
// as a shortcut whose target cannot be read.
constexpr int kMaxShortcutHops = 8;
// The folder that holds the system's modules on the handheld.
constexpr char16_t kWindowsFolder[] = u"\\Windows";

// The text from the last dot on, dot included; empty when there is no dot.
QString ExtensionOf(const QString& strName) {
  const qsizetype nDot = strName.lastIndexOf(u'.');
  return nDot < 0 ? QString() : strName.mid(nDot);
}

bool HasSeparator(const QString& strText) {
  return strText.contains(u'\\') || strText.contains(u'/');
}

// The path a shortcut's command line starts: the text inside its leading quotes, or the whole
// line when it is not quoted.
QString TargetOfCommandLine(const QString& strCommandLine) {
  if (!strCommandLine.startsWith(u'"')) return strCommandLine.trimmed();
  const qsizetype nClose = strCommandLine.indexOf(u'"', 1);
  return nClose < 0 ? strCommandLine.mid(1) : strCommandLine.mid(1, nClose - 1);
}

// The number after the comma of an icon spec, read as "%d" reads it: blanks, a sign, digits;
// 0 when no digits follow.
int ParseIconIndex(QStringView text) {
  text = text.trimmed();
  qsizetype nEnd = 0;
  if (nEnd < text.size() && (text[nEnd] == u'-' || text[nEnd] == u'+')) ++nEnd;
  while (nEnd < text.size() && text[nEnd].isDigit()) ++nEnd;
  bool bOk = false;
  const int nValue = text.left(nEnd).toInt(&bOk);
  return bOk ? nValue : 0;
}

// Reads picture nIndex of an image file on the device, the host's stand-in for an icon
// resource of a module. False when the file cannot be read or has no such picture.
bool ReadIconFile(const QString& strDevicePath, int nIndex, QImage* pImage) {
  QString strPath = strDevicePath.trimmed();
  if (strPath.size() >= 2 && strPath.startsWith(u'"') && strPath.endsWith(u'"'))
    strPath = strPath.mid(1, strPath.size() - 2);
  QByteArray hostPath;
  if (nIndex < 0 || !strPath.startsWith(u'\\') || !plat::CDeviceRoot::ToHost(strPath, &hostPath))
    return false;
  QImageReader reader(QFile::decodeName(hostPath));
  if (nIndex > 0 && !reader.jumpToImage(nIndex)) return false;
  *pImage = reader.read();
  return !pImage->isNull();
}

QImage Scaled(const QImage& image, int nSize) {
  return image.scaled(nSize, nSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The built-in picture shown for a MIME type when the icon theme has none.
int BuiltInForMime(const QMimeType& type) {
  const QString strName = type.name();
  if (type.inherits(QStringLiteral("application/zip"))) return eIcon_ZipArchive;
  if (strName.startsWith(u"image/")) return eIcon_ImageFile;
  if (strName.startsWith(u"audio/")) return eIcon_AudioFile;
  if (strName.startsWith(u"video/")) return eIcon_VideoFile;
  if (type.inherits(QStringLiteral("text/plain"))) return eIcon_TextFile;
  if (type.inherits(QStringLiteral("application/x-executable")) ||
      type.inherits(QStringLiteral("application/x-ms-dos-executable")) ||
      type.inherits(QStringLiteral("application/x-sharedlib")))
    return eIcon_Program;
  return eIcon_Document;
}

// The MIME type the host gives a file name by its extension; invalid when it is not known.
QMimeType MimeTypeOfName(const QString& strName) {
  static const QMimeDatabase db;  // thread-safe: the database locks internally
  const QMimeType type = db.mimeTypeForFile(browse::LastComponent(strName),
                                            QMimeDatabase::MatchExtension);
  return type.isValid() && !type.isDefault() ? type : QMimeType();
}

// The registry's file class of an extension (the default value of HKEY_CLASSES_ROOT\<ext>);
// empty when there is none.
QString RegisteredClass(const QString& strExt) {
  QString strClass;
  ReadString(HKEY_CLASSES_ROOT, strExt, QString(), &strClass);
  return strClass;
}

bool IsUserInterfaceThread() {
  QCoreApplication* pApp = QCoreApplication::instance();
  return qobject_cast<QGuiApplication*>(pApp) && QThread::currentThread() == pApp->thread();
}

}  // namespace

// One image of both lists: where its picture comes from. Never changed once entered; holds
// no pixmap, so that entries can be made on any thread (and without a graphical application).
struct CIconManager::CImageEntry {
  int builtIn = -1;           // a built-in picture; for a theme entry its fallback
  QStringList themeNames;     // icon names of the host theme, tried in order
  QImage smallImage;          // pictures read from an icon file (or the file itself)
  QImage largeImage;
};

CIconManager::CIconManager() {
  entries_.reserve(kInitialCapacity);
  for (int i = 0; i < kBuiltInIconCount; ++i) entries_.push_back(CImageEntry{i, {}, {}, {}});
  extTypes_.insert(QStringLiteral(".lnk"), core::Text(900109));
  extTypes_.insert(QStringLiteral(".exe"), core::Text(900110));
  extTypes_.insert(QStringLiteral(".dll"), core::Text(900111));
  extTypes_.insert(QStringLiteral(".zip"), core::Text(900112));
  extTypes_.insert(QStringLiteral(".enc"), core::Text(900113));
  extIcons_.insert(QStringLiteral(".zip"), eIcon_ZipArchive);
  extIcons_.insert(QStringLiteral(".enc"), eIcon_EncryptedFile);
}

CIconManager::~CIconManager() = default;

int CIconManager::IconForFile(const QString& strPath) { return IconForFileDepth(strPath, 0); }

int CIconManager::IconForFileDepth(const QString& strPath, int nDepth) {
  const QString strExt = ExtensionOf(strPath);
  if (strExt.isEmpty()) return eIcon_PlainFile;
  // A dot in a folder name is no extension of the file.
  if (HasSeparator(strExt)) return eIcon_Unknown;
  if (strExt.compare(u".lnk", Qt::CaseInsensitive) == 0) return IconForShortcut(strPath, nDepth);
  int nIndex = 0;
  if (CachedIcon(strExt, &nIndex)) return nIndex;
  return ResolveExtension(strExt, strPath, true);
}

int CIconManager::IconForShortcut(const QString& strPath, int nDepth) {
  QString strCommandLine;
  if (nDepth >= kMaxShortcutHops || !plat::SHGetShortcutTarget(strPath, &strCommandLine, MAX_PATH))
    return eIcon_ZipArchive;
  return IconForFileDepth(TargetOfCommandLine(strCommandLine), nDepth + 1);
}

int CIconManager::IconForZipMember(const QString& strName) {
  const QString strExt = ExtensionOf(strName);
  if (strExt.isEmpty() || HasSeparator(strExt) ||
      strExt.compare(u".exe", Qt::CaseInsensitive) == 0 ||
      strExt.compare(u".ico", Qt::CaseInsensitive) == 0)
    return eIcon_PlainFile;
  int nIndex = 0;
  if (CachedIcon(strExt, &nIndex)) return nIndex;
  return ResolveExtension(strExt, strName, false);
}

int CIconManager::IconForRecycledFile(const QString& strName) {
  const QString strExt = ExtensionOf(strName);
  int nIndex = 0;
  if (!strExt.isEmpty() && CachedIcon(strExt, &nIndex)) return nIndex;
  return eIcon_PlainFile;
}

bool CIconManager::CachedIcon(const QString& strExt, int* pnIndex) const {
  QMutexLocker lock(&mutex_);
  auto it = extIcons_.constFind(strExt);
  if (it == extIcons_.constEnd()) return false;
  *pnIndex = it.value();
  return true;
}

// The registry route for an extension not in the cache, falling back to the host's MIME
// database. strSource is the file (bOnDisk) or the archive member name the icon is for.
int CIconManager::ResolveExtension(const QString& strExt, const QString& strSource,
                                   bool bOnDisk) {
  const bool bPerFile = strExt.compare(u".exe", Qt::CaseInsensitive) == 0;
  const QString strClass = RegisteredClass(strExt);
  QString strSpec;
  if (!strClass.isEmpty())
    ReadString(HKEY_CLASSES_ROOT, strClass + QStringLiteral("\\DefaultIcon"), QString(), &strSpec);
  // No class or no icon registered: the host's type database stands in for the shell.
  if (strSpec.isEmpty()) return ShellIcon(strExt, strSource, !bPerFile);

  if (strSpec == u"%1") {
    // The file is its own icon; each such file has its own picture, so nothing is cached.
    QImage image;
    if (bOnDisk && ReadIconFile(strSource, 0, &image))
      return AppendImageFile(strExt, image, image, false);
    return ShellIcon(strExt, strSource, false);
  }
  const qsizetype nComma = strSpec.lastIndexOf(u',');
  if (nComma < 0) return eIcon_Unknown;
  QImage image;
  if (ReadIconFile(strSpec.left(nComma), ParseIconIndex(QStringView(strSpec).mid(nComma + 1)),
                   &image))
    return AppendImageFile(strExt, image, image, true);
  return ShellIcon(strExt, strSource, !bPerFile);
}

int CIconManager::AppendImageFile(const QString& strExt, const QImage& small,
                                  const QImage& large, bool bCache) {
  CImageEntry entry;
  entry.builtIn = eIcon_Unknown;
  entry.smallImage = Scaled(small, kSmallSize);
  // On a high-resolution screen the small picture serves the large list as well.
  entry.largeImage = IsHighResolutionScreen() ? entry.smallImage : Scaled(large, kLargeSize);
  QMutexLocker lock(&mutex_);
  if (bCache) {
    auto it = extIcons_.constFind(strExt);
    if (it != extIcons_.constEnd()) return it.value();  // another thread was first
  }
  const int nIndex = static_cast<int>(entries_.size());
  entries_.push_back(std::move(entry));
  if (bCache) extIcons_.insert(strExt, nIndex);
  return nIndex;
}

// The shell's picture of a file type: the MIME type of the name, drawn from the host's icon
// theme. One list entry per MIME type; 19 when the type is not known.
int CIconManager::ShellIcon(const QString& strExt, const QString& strName, bool bCache) {
  const QMimeType type = MimeTypeOfName(strName);
  if (!type.isValid()) return eIcon_Unknown;
  QMutexLocker lock(&mutex_);
  if (bCache) {
    auto it = extIcons_.constFind(strExt);
    if (it != extIcons_.constEnd()) return it.value();
  }
  int nIndex = mimeIcons_.value(type.name(), -1);
  if (nIndex < 0) {
    CImageEntry entry;
    entry.builtIn = BuiltInForMime(type);
    entry.themeNames = QStringList{type.iconName(), type.genericIconName()};
    nIndex = static_cast<int>(entries_.size());
    entries_.push_back(std::move(entry));
    mimeIcons_.insert(type.name(), nIndex);
  }
  if (bCache) extIcons_.insert(strExt, nIndex);
  return nIndex;
}

QString CIconManager::TypeText(const QString& strName) {
  const QString strExt = ExtensionOf(strName);
  if (strExt.isEmpty() || HasSeparator(strExt)) return core::Text(900114);
  {
    QMutexLocker lock(&mutex_);
    auto it = extTypes_.constFind(strExt);
    if (it != extTypes_.constEnd()) return it.value();
  }
  QString strText;
  const QString strClass = RegisteredClass(strExt);
  if (!strClass.isEmpty()) ReadString(HKEY_CLASSES_ROOT, strClass, QString(), &strText);
  if (strText.isEmpty()) {
    const QMimeType type = MimeTypeOfName(strName);
    if (type.isValid()) strText = type.comment();
  }
  if (strText.isEmpty()) return core::Text(900115).arg(strExt);
  QMutexLocker lock(&mutex_);
  extTypes_.insert(strExt, strText);
  return strText;
}

void CIconManager::LoadSpecialFolders() {
  // Called with the lock held; the folders are looked up once per program run.
  if (specialFoldersLoaded_) return;
  plat::SHGetSpecialFolderPath(plat::CSIDL_PROGRAM_FILES, &programFilesFolder_, false);
  plat::SHGetSpecialFolderPath(plat::CSIDL_MYMUSIC, &musicFolder_, false);
  plat::SHGetSpecialFolderPath(plat::CSIDL_APPDATA, &appDataFolder_, false);
  windowsFolder_ = QString::fromUtf16(kWindowsFolder);
  specialFoldersLoaded_ = true;
}

int CIconManager::FolderIcon(const QString& strPath, bool bSelected) {
  if (settings.PersonalizeFolderIcons == 0) return bSelected ? eIcon_FolderOpen : eIcon_Folder;
  const QString strFolder = browse::StripTrailingBackslash(strPath);
  if (strFolder == u"\\") return bSelected ? eIcon_DeviceRootOpen : eIcon_DeviceRoot;
  {
    QMutexLocker lock(&mutex_);
    LoadSpecialFolders();
    auto matches = [&strFolder](const QString& strSpecial) {
      return !strSpecial.isEmpty() && strFolder.compare(strSpecial, Qt::CaseInsensitive) == 0;
    };
    if (matches(programFilesFolder_)) return eIcon_ProgramFilesFolder;
    if (matches(windowsFolder_)) return eIcon_WindowsFolder;
    if (matches(musicFolder_)) return eIcon_MusicFolder;
    if (matches(appDataFolder_)) return eIcon_AppDataFolder;
  }
  if (strFolder.lastIndexOf(u'\\') == 0) {
    constexpr DWORD kCard = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
    const DWORD dwAttributes = plat::GetFileAttributes(strFolder);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & kCard) == kCard)
      return eIcon_StorageCard;
  }
  return bSelected ? eIcon_FolderOpen : eIcon_Folder;
}

int CIconManager::Count() const {
  QMutexLocker lock(&mutex_);
  return static_cast<int>(entries_.size());
}

QPixmap CIconManager::SmallImage(int nIndex) { return Image(nIndex, false); }
QPixmap CIconManager::LargeImage(int nIndex) { return Image(nIndex, true); }

QIcon CIconManager::Icon(int nIndex) {
  QIcon icon;
  const QPixmap small = SmallImage(nIndex);
  const QPixmap large = LargeImage(nIndex);
  if (!small.isNull()) icon.addPixmap(small);
  if (!large.isNull()) icon.addPixmap(large);
  return icon;
}

QPixmap CIconManager::Image(int nIndex, bool bLarge) {
  if (!IsUserInterfaceThread()) return {};
  CImageEntry source;
  {
    QMutexLocker lock(&mutex_);
    if (nIndex < 0 || nIndex >= static_cast<int>(entries_.size())) return {};
    const QHash<int, QPixmap>& drawn = bLarge ? drawnLarge_ : drawnSmall_;
    auto it = drawn.constFind(nIndex);
    if (it != drawn.constEnd()) return it.value();
    source = entries_[nIndex];
  }
  // Drawn without the lock, so that the workers' look-ups are not held up by drawing.
  const int nSize = bLarge ? kLargeSize : kSmallSize;
  QPixmap pixmap;
  const QImage& image = bLarge ? source.largeImage : source.smallImage;
  if (!image.isNull()) {
    pixmap = QPixmap::fromImage(Scaled(image, nSize));
  } else {
    for (const QString& strName : source.themeNames) {
      const QIcon themed = QIcon::fromTheme(strName);
      if (themed.isNull()) continue;
      pixmap = themed.pixmap(QSize(nSize, nSize), 1.0);
      if (!pixmap.isNull()) break;
    }
    if (pixmap.isNull()) pixmap = DrawBuiltInIcon(source.builtIn, nSize);
  }
  QMutexLocker lock(&mutex_);
  (bLarge ? drawnLarge_ : drawnSmall_).insert(nIndex, pixmap);
  return pixmap;
}

namespace {

// Guards the program's manager pointer.
std::mutex g_appManagerMutex;
std::unique_ptr<CIconManager> g_appManager;

}  // namespace

CIconManager& AppIconManager() {
  std::lock_guard lock(g_appManagerMutex);
  if (!g_appManager) g_appManager = std::make_unique<CIconManager>();
  return *g_appManager;
}

void ReleaseAppIconManager() {
  std::lock_guard lock(g_appManagerMutex);
  g_appManager.reset();
}
