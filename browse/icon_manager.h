#pragma once
// The program's file types and icons: two image lists in step (16 and 32 pixels) that start
// with the 38 built-in pictures (browse/icon_indices.h), the per-extension caches of image
// indices and type texts, and the lookups that fill them: shortcut targets, the registry's
// HKEY_CLASSES_ROOT classes with their DefaultIcon, and the host's MIME database and icon
// theme where the handheld asked its shell.
//
// Threads: the index and text lookups may be called at the same time from the list workers
// and the user-interface thread. They never create a pixmap: a list entry records where its
// picture comes from (a built-in drawing, theme icon names, or images read from an icon
// file), and the picture is drawn on the user-interface thread the first time it is asked for.
// A tool without a graphical application (the command line) can therefore use TypeText and
// the index lookups freely.

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QMutex>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <vector>

#include "browse/icon_indices.h"

class CIconManager {
 public:
  static constexpr int kSmallSize = 16;
  static constexpr int kLargeSize = 32;

  // The built-in entries and the seed maps; draws nothing yet.
  CIconManager();
  ~CIconManager();
  CIconManager(const CIconManager&) = delete;
  CIconManager& operator=(const CIconManager&) = delete;

  // The image of a file on the device: the shortcut's target for ".lnk" (16 when it cannot be
  // read), the cached index of the extension, else the registry class's DefaultIcon, else the
  // MIME type's icon. 18 without an extension, 19 for an unknown type.
  int IconForFile(const QString& strPath);
  // The image of a name inside an archive (there is no file to look at): 18 without an
  // extension and for ".exe" and ".ico", else as IconForFile by the name alone.
  int IconForZipMember(const QString& strName);
  // The cached index of the name's extension, else 18; never looks anything up.
  int IconForRecycledFile(const QString& strName);
  // The type description of a file name: "File" without an extension, the cached text, the
  // registry class's name, the MIME type's description, else the extension as written
  // followed by " File" (not cached, so a class registered later is found).
  QString TypeText(const QString& strName);
  // The image of a folder: the device root, the special folders (program files, Windows,
  // music, application data) and top-level storage cards have their own pictures when
  // PersonalizeFolderIcons is 1; every other folder shows 2 (closed) or 3 (selected).
  int FolderIcon(const QString& strPath, bool bSelected);

  // Number of images in each list (the two lists always have the same count).
  int Count() const;

  // The picture at an index, drawn on first request. User-interface thread of a graphical
  // application only; elsewhere, and for an index outside the lists, a null pixmap / icon.
  QPixmap SmallImage(int nIndex);
  QPixmap LargeImage(int nIndex);
  QIcon Icon(int nIndex);  // both sizes

 private:
  struct CImageEntry;

  int IconForFileDepth(const QString& strPath, int nDepth);
  int IconForShortcut(const QString& strPath, int nDepth);
  int ResolveExtension(const QString& strExt, const QString& strSource, bool bOnDisk);
  bool CachedIcon(const QString& strExt, int* pnIndex) const;
  int AppendImageFile(const QString& strExt, const QImage& small, const QImage& large,
                      bool bCache);
  int ShellIcon(const QString& strExt, const QString& strName, bool bCache);
  QPixmap Image(int nIndex, bool bLarge);
  void LoadSpecialFolders();

  // Guards every member below. Registry, file and MIME look-ups run without it; their
  // results are entered with the cache checked again, so an extension is entered once.
  mutable QMutex mutex_;
  std::vector<CImageEntry> entries_;      // both image lists, index for index
  QHash<QString, int> extIcons_;          // extension (with its dot, case-sensitive) -> index
  QHash<QString, QString> extTypes_;      // extension -> type text
  QHash<QString, int> mimeIcons_;         // MIME type name -> index of its theme picture
  QHash<int, QPixmap> drawnSmall_;        // pictures drawn so far (user-interface thread)
  QHash<int, QPixmap> drawnLarge_;
  bool specialFoldersLoaded_ = false;
  QString programFilesFolder_, windowsFolder_, musicFolder_, appDataFolder_;
};

// The program's manager, made on first use. ReleaseAppIconManager is called at exit, after
// the list workers have stopped and before the application object is destroyed.
CIconManager& AppIconManager();
void ReleaseAppIconManager();
