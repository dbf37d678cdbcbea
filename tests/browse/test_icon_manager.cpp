// The icon manager over a real root and hive: built-in pictures, the extension caches, the
// shortcut, registry and MIME routes, type texts, folder icons, and concurrent look-ups.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeDatabase>
#include <QSet>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "core/settings.h"
#include "platform/shell.h"
#include "registry/registry_access.h"
#include "support/temp_root.h"

// Shows texts as text in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class IconManagerTest : public test::TempRootAndHive {
 protected:
  void TearDown() override {
    settings = saved_;
    TempRootAndHive::TearDown();
  }

  // HKEY_CLASSES_ROOT\<ext> names the class; the class carries a description and, when
  // strIconSpec is not empty, a DefaultIcon.
  static void RegisterClass(const QString& strExt, const QString& strClass,
                            const QString& strIconSpec, const QString& strDescription = {}) {
    ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, strExt, QString(), strClass));
    if (!strDescription.isEmpty()) {
      ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, strClass, QString(), strDescription));
    }
    if (!strIconSpec.isEmpty()) {
      ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, strClass + "\\DefaultIcon", QString(),
                              strIconSpec));
    }
  }

  // A 24 x 24 picture of one colour, in PNG whatever the name says.
  QString MakePicture(const QString& strDevicePath, const QColor& color) {
    const QString strHost = Host(strDevicePath);
    QDir().mkpath(QFileInfo(strHost).path());
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(color);
    EXPECT_TRUE(image.save(strHost, "PNG")) << strHost.toStdString();
    return strDevicePath;
  }

  static QRgb CentreColour(const QPixmap& pixmap) {
    return pixmap.toImage().pixel(pixmap.width() / 2, pixmap.height() / 2);
  }
  static QRgb Rgb(const QColor& color) { return color.rgba(); }

  CSettings saved_ = settings;
};

TEST_F(IconManagerTest, BuiltInPicturesFillBothListsInStep) {
  CIconManager icons;
  ASSERT_EQ(icons.Count(), kBuiltInIconCount);
  std::vector<QImage> smalls;
  for (int i = 0; i < kBuiltInIconCount; ++i) {
    const QPixmap small = icons.SmallImage(i);
    const QPixmap large = icons.LargeImage(i);
    ASSERT_FALSE(small.isNull()) << i;
    ASSERT_FALSE(large.isNull()) << i;
    EXPECT_EQ(small.size(), QSize(16, 16)) << i;
    EXPECT_EQ(large.size(), QSize(32, 32)) << i;
    smalls.push_back(small.toImage());
  }
  // Every index has a picture of its own.
  for (int a = 0; a < kBuiltInIconCount; ++a)
    for (int b = a + 1; b < kBuiltInIconCount; ++b)
      EXPECT_NE(smalls[a], smalls[b]) << "images " << a << " and " << b << " are the same";
  EXPECT_TRUE(icons.SmallImage(-1).isNull());
  EXPECT_TRUE(icons.LargeImage(kBuiltInIconCount).isNull());
  EXPECT_EQ(icons.Icon(eIcon_Folder).availableSizes().size(), 2);
}

TEST_F(IconManagerTest, FixedIndicesNeedNoLookUp) {
  CIconManager icons;
  EXPECT_EQ(icons.IconForFile("\\Docs\\a.zip"), eIcon_ZipArchive);
  EXPECT_EQ(icons.IconForFile("\\Docs\\secret.enc"), eIcon_EncryptedFile);
  EXPECT_EQ(icons.IconForFile("\\Docs\\archive"), eIcon_PlainFile);
  // The dot of a folder name is no extension of the file inside it.
  EXPECT_EQ(icons.IconForFile("\\My.Folder\\archive"), eIcon_Unknown);
  EXPECT_EQ(icons.IconForZipMember("setup.exe"), eIcon_PlainFile);
  EXPECT_EQ(icons.IconForZipMember("app.ico"), eIcon_PlainFile);
  EXPECT_EQ(icons.IconForZipMember("README"), eIcon_PlainFile);
  EXPECT_EQ(icons.IconForZipMember("inner.zip"), eIcon_ZipArchive);
  EXPECT_EQ(icons.IconForRecycledFile("old.zip"), eIcon_ZipArchive);
  EXPECT_EQ(icons.IconForRecycledFile("notes"), eIcon_PlainFile);
  EXPECT_EQ(icons.IconForRecycledFile("never.seen"), eIcon_PlainFile);
  EXPECT_EQ(icons.Count(), kBuiltInIconCount);  // nothing was looked up
}

TEST_F(IconManagerTest, AnExtensionIsResolvedOnceAndSharedByItsFiles) {
  CIconManager icons;
  const int nText = icons.IconForFile("\\a.txt");
  ASSERT_GE(nText, kBuiltInIconCount);  // the MIME database knows plain text
  EXPECT_EQ(icons.IconForFile("\\Docs\\b.txt"), nText);
  EXPECT_EQ(icons.Count(), kBuiltInIconCount + 1);
  // Another spelling is its own cache key but the same type, so the list does not grow.
  EXPECT_EQ(icons.IconForFile("\\C.TXT"), nText);
  EXPECT_EQ(icons.Count(), kBuiltInIconCount + 1);
  EXPECT_EQ(icons.IconForRecycledFile("d.txt"), nText);
  EXPECT_FALSE(icons.SmallImage(nText).isNull());
  // A type nobody knows is not entered.
  EXPECT_EQ(icons.IconForFile("\\x.qqzzyy"), eIcon_Unknown);
  EXPECT_EQ(icons.Count(), kBuiltInIconCount + 1);
}

TEST_F(IconManagerTest, RegistryDefaultIconIsReadFromTheIconFile) {
  MakePicture("\\icons\\pbt.png", Qt::red);
  RegisterClass(".pbt", "pbtfile", "\\icons\\pbt.png,0");
  RegisterClass(".pb0", "pb0file", "\\icons\\pbt.png, 0");  // read as "%d" reads it
  CIconManager icons;
  const int nIndex = icons.IconForFile("\\Docs\\one.pbt");
  ASSERT_GE(nIndex, kBuiltInIconCount);
  EXPECT_EQ(icons.IconForFile("\\two.pbt"), nIndex);
  EXPECT_EQ(icons.IconForZipMember("inside.pbt"), nIndex);
  EXPECT_EQ(icons.Count(), kBuiltInIconCount + 1);
  EXPECT_EQ(CentreColour(icons.SmallImage(nIndex)), Rgb(Qt::red));
  EXPECT_EQ(icons.LargeImage(nIndex).size(), QSize(32, 32));
  EXPECT_EQ(CentreColour(icons.LargeImage(nIndex)), Rgb(Qt::red));
  EXPECT_GE(icons.IconForFile("\\x.pb0"), kBuiltInIconCount);
}

TEST_F(IconManagerTest, MalformedOrMissingIconDataGivesTheUnknownPicture) {
  MakePicture("\\icons\\pbt.png", Qt::red);
  RegisterClass(".pbn", "pbnfile", "\\icons\\pbt.png");     // no comma
  RegisterClass(".pb1", "pb1file", "\\icons\\pbt.png,1");   // no second picture
  RegisterClass(".pbg", "pbgfile", "\\icons\\gone.png,0");  // no file
  RegisterClass(".pbq", "pbqfile", "");                     // no DefaultIcon
  CIconManager icons;
  for (const char* name : {"\\a.pbn", "\\a.pb1", "\\a.pbg", "\\a.pbq"})
    EXPECT_EQ(icons.IconForFile(name), eIcon_Unknown) << name;
  EXPECT_EQ(icons.Count(), kBuiltInIconCount);
}

TEST_F(IconManagerTest, AnUnreadableIconFileFallsBackToTheTypeDatabase) {
  RegisterClass(".txt", "txtfile", "\\icons\\gone.png,0");
  CIconManager icons;
  const int nIndex = icons.IconForFile("\\a.txt");
  EXPECT_GE(nIndex, kBuiltInIconCount);
  EXPECT_EQ(icons.IconForFile("\\b.txt"), nIndex);
}

TEST_F(IconManagerTest, PercentOneMakesEachFileItsOwnIcon) {
  RegisterClass(".pic", "picfile", "%1");
  MakePicture("\\red.pic", Qt::red);
  MakePicture("\\blue.pic", Qt::blue);
  CIconManager icons;
  const int nRed = icons.IconForFile("\\red.pic");
  const int nBlue = icons.IconForFile("\\blue.pic");
  ASSERT_GE(nRed, kBuiltInIconCount);
  ASSERT_GE(nBlue, kBuiltInIconCount);
  EXPECT_NE(nRed, nBlue);
  EXPECT_EQ(CentreColour(icons.SmallImage(nRed)), Rgb(Qt::red));
  EXPECT_EQ(CentreColour(icons.SmallImage(nBlue)), Rgb(Qt::blue));
  EXPECT_EQ(icons.IconForRecycledFile("red.pic"), eIcon_PlainFile);  // never cached
}

TEST_F(IconManagerTest, ShortcutsShowTheirTargetsIcon) {
  MakePicture("\\icons\\pbt.png", Qt::red);
  RegisterClass(".pbt", "pbtfile", "\\icons\\pbt.png,0");
  ASSERT_TRUE(plat::SHCreateShortcut("\\zip.lnk", "\"\\Docs\\a.zip\""));
  ASSERT_TRUE(plat::SHCreateShortcut("\\doc.lnk", "\"\\Docs\\d.pbt\""));
  ASSERT_TRUE(plat::SHCreateShortcut("\\Chain.LNK", "\"\\doc.lnk\""));
  ASSERT_TRUE(plat::SHCreateShortcut("\\noext.lnk", "\"\\Docs\\README\""));
  ASSERT_TRUE(plat::SHCreateShortcut("\\loop.lnk", "\"\\loop.lnk\""));
  MakeFile("\\broken.lnk", "not a shortcut");
  CIconManager icons;
  const int nDoc = icons.IconForFile("\\Docs\\d.pbt");
  ASSERT_GE(nDoc, kBuiltInIconCount);
  EXPECT_EQ(icons.IconForFile("\\zip.lnk"), eIcon_ZipArchive);
  EXPECT_EQ(icons.IconForFile("\\doc.lnk"), nDoc);
  EXPECT_EQ(icons.IconForFile("\\Chain.LNK"), nDoc);
  EXPECT_EQ(icons.IconForFile("\\noext.lnk"), eIcon_PlainFile);
  EXPECT_EQ(icons.IconForFile("\\broken.lnk"), eIcon_ZipArchive);
  EXPECT_EQ(icons.IconForFile("\\missing.lnk"), eIcon_ZipArchive);
  EXPECT_EQ(icons.IconForFile("\\loop.lnk"), eIcon_ZipArchive);  // ends, no endless recursion
}

TEST_F(IconManagerTest, TypeTexts) {
  RegisterClass(".pbt", "pbtfile", "", "Pinewood test document");
  CIconManager icons;
  struct {
    const char* name;
    const char* text;
  } const cases[] = {
      {"archive", "File"},
      {"\\My.Folder\\archive", "File"},
      {"go.lnk", "Shortcut"},
      {"prog.exe", "Application"},
      {"lib.dll", "Application extension"},
      {"a.zip", "Zip archive"},
      {"a.enc", "Encrypted file"},
      {"x.pbt", "Pinewood test document"},
      {"x.qqzzyy", ".qqzzyy File"},
      {"X.QQZZYY", ".QQZZYY File"},  // the extension as written
  };
  for (const auto& c : cases) EXPECT_EQ(icons.TypeText(c.name), QString(c.text)) << c.name;
  const QString strPlain = QMimeDatabase().mimeTypeForName("text/plain").comment();
  ASSERT_FALSE(strPlain.isEmpty());
  EXPECT_EQ(icons.TypeText("notes.txt"), strPlain);
  // A fallback text is not kept: a class registered later is found.
  RegisterClass(".qqzzyy", "qqfile", "", "Late class");
  EXPECT_EQ(icons.TypeText("y.qqzzyy"), "Late class");
}

TEST_F(IconManagerTest, FolderIconsMarkTheRootAndTheSpecialFolders) {
  QString strProgramFiles, strMusic, strAppData;
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_PROGRAM_FILES, &strProgramFiles, true));
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_MYMUSIC, &strMusic, true));
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_APPDATA, &strAppData, true));
  MakeFolder("\\Windows");
  MakeFolder("\\Docs");

  settings.PersonalizeFolderIcons = 0;
  CIconManager icons;
  EXPECT_EQ(icons.FolderIcon("\\Windows", false), eIcon_Folder);
  EXPECT_EQ(icons.FolderIcon("\\Windows", true), eIcon_FolderOpen);
  EXPECT_EQ(icons.FolderIcon("\\", false), eIcon_Folder);

  settings.PersonalizeFolderIcons = 1;
  struct {
    QString path;
    int closed;
    int selected;
  } const cases[] = {
      {"\\", eIcon_DeviceRoot, eIcon_DeviceRootOpen},
      {"\\Windows", eIcon_WindowsFolder, eIcon_WindowsFolder},
      {"\\WINDOWS\\", eIcon_WindowsFolder, eIcon_WindowsFolder},
      {strProgramFiles, eIcon_ProgramFilesFolder, eIcon_ProgramFilesFolder},
      {strMusic.toUpper(), eIcon_MusicFolder, eIcon_MusicFolder},
      {strAppData, eIcon_AppDataFolder, eIcon_AppDataFolder},
      {"\\Docs", eIcon_Folder, eIcon_FolderOpen},
      {"\\Windows\\Fonts", eIcon_Folder, eIcon_FolderOpen},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(icons.FolderIcon(c.path, false), c.closed) << c.path.toStdString();
    EXPECT_EQ(icons.FolderIcon(c.path, true), c.selected) << c.path.toStdString();
  }
}

TEST_F(IconManagerTest, ConcurrentLookUpsEnterEachExtensionOnce) {
  constexpr int kRegistered = 30;
  QStringList exts;
  for (int i = 0; i < kRegistered; ++i) {
    const QString strExt = QString(".c%1").arg(i, 2, 10, QChar('0'));
    const QString strIcon = QString("\\icons\\c%1.png").arg(i);
    MakePicture(strIcon, QColor::fromHsv(i * 12, 255, 255));
    RegisterClass(strExt, "class" + strExt, strIcon + ",0", "Class " + strExt);
    exts << strExt;
  }
  const QStringList mimeExts = {".txt", ".png", ".html", ".pdf", ".mp3", ".jpg", ".c", ".xml"};
  QSet<QString> mimeTypes;
  QMimeDatabase db;
  for (const QString& strExt : mimeExts) {
    const QMimeType type = db.mimeTypeForFile("a" + strExt, QMimeDatabase::MatchExtension);
    if (!type.isDefault()) mimeTypes.insert(type.name());
  }
  exts << mimeExts;

  CIconManager icons;
  std::vector<int> first(exts.size()), second(exts.size());
  std::atomic<bool> bPixmapOffThread{false};
  auto lookUp = [&](std::vector<int>* pResults, bool bReverse) {
    for (int round = 0; round < 3; ++round) {
      for (int k = 0; k < exts.size(); ++k) {
        const int i = bReverse ? int(exts.size()) - 1 - k : k;
        (*pResults)[i] = icons.IconForFile(QString("\\f%1%2").arg(round).arg(exts[i]));
        icons.TypeText("t" + exts[i]);
        icons.IconForZipMember("z" + exts[i]);
      }
    }
    if (!icons.SmallImage(eIcon_Folder).isNull()) bPixmapOffThread = true;
  };
  std::thread a(lookUp, &first, false);
  std::thread b(lookUp, &second, true);
  // The user-interface thread draws whatever is in the lists meanwhile.
  for (int pass = 0; pass < 20; ++pass)
    for (int i = 0; i < icons.Count(); ++i) icons.SmallImage(i);
  a.join();
  b.join();

  EXPECT_EQ(first, second);
  EXPECT_FALSE(bPixmapOffThread);  // pictures are never drawn on a worker
  QSet<int> registeredIndices;
  for (int i = 0; i < kRegistered; ++i) {
    EXPECT_GE(first[i], kBuiltInIconCount) << exts[i].toStdString();
    registeredIndices.insert(first[i]);
    EXPECT_EQ(icons.TypeText("x" + exts[i]), "Class " + exts[i]);
  }
  EXPECT_EQ(registeredIndices.size(), kRegistered);
  EXPECT_EQ(icons.Count(), kBuiltInIconCount + kRegistered + mimeTypes.size());
  for (int i = 0; i < kRegistered; ++i)
    EXPECT_EQ(CentreColour(icons.SmallImage(first[i])), Rgb(QColor::fromHsv(i * 12, 255, 255)));
}

}  // namespace
