// The list panel model on a real temporary root: the listing and its order under every sort
// field, status texts, the parent entry, the recycle-bin folder, 64-bit sizes, navigation with
// its history and observer, the found-item sink and bad paths.
#include <sys/stat.h>
#include <sys/time.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

#include "browse/file_item.h"
#include "browse/list_panel.h"
#include "browse/list_source_factory.h"
#include "browse/list_sort.h"
#include "core/settings.h"
#include "platform/find.h"
#include "support/panel_recorder.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class ListPanelTest : public test::TempRoot {
 protected:
  void TearDown() override {
    settings = saved_;
    TempRoot::TearDown();
  }

  // A file of `size` bytes whose last write lies `age` hours in the past.
  void MakeAgedFile(const QString& path, int size, int age) {
    MakeFile(path, QByteArray(size, 'x'));
    SetAge(path, age);
  }
  void SetAge(const QString& path, int age) {
    struct timeval times[2];
    times[0].tv_sec = times[1].tv_sec = 1700000000 - age * 3600;
    times[0].tv_usec = times[1].tv_usec = 0;
    ASSERT_EQ(::utimes(QFile::encodeName(Host(path)).constData(), times), 0);
  }
  // 3 folders and 5 files with distinct names, sizes, dates and types.
  void MakeMixedFolder() {
    MakeAgedFile("\\Some\\b_dir\\x.txt", 1, 1);
    MakeAgedFile("\\Some\\A_dir\\x.txt", 1, 1);
    MakeAgedFile("\\Some\\c_dir\\x.txt", 1, 1);
    SetAge("\\Some\\b_dir", 30);
    SetAge("\\Some\\A_dir", 10);
    SetAge("\\Some\\c_dir", 20);
    MakeAgedFile("\\Some\\e.exe", 300, 5);
    MakeAgedFile("\\Some\\D.dll", 5000, 2);
    MakeAgedFile("\\Some\\c.enc", 10, 9);
    MakeAgedFile("\\Some\\s.lnk", 2000, 1);
    MakeAgedFile("\\Some\\z.zip", 40, 7);
  }

  static QStringList Column(const CListPanel& panel, int nColumn) {
    QStringList texts;
    for (int i = 0; i < panel.rowCount(); ++i) texts << panel.CellText(i, nColumn);
    return texts;
  }

  CSettings saved_ = settings;
};

TEST_F(ListPanelTest, FolderListsParentThenFoldersThenFilesWithCounts) {
  MakeMixedFolder();
  test::CPanelRecorder observer;
  CListPanel panel(ePanel_A, &observer, {.bWorker = false});
  QAbstractItemModelTester tester(&panel, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ASSERT_TRUE(panel.LoadFolder("\\Some", true, true));

  EXPECT_EQ(Column(panel, 0), QStringList({"..", "A_dir", "b_dir", "c_dir", "c.enc", "D.dll",
                                           "e.exe", "s.lnk", "z.zip"}));
  EXPECT_EQ(panel.StatusText(), "Folders: 3, Files: 5");
  EXPECT_EQ(observer.statuses.value(0), "Folders: 3, Files: 5");
  EXPECT_EQ(observer.locations, QStringList{"\\Some"});
  EXPECT_EQ(panel.columnCount(), 5);
  EXPECT_EQ(panel.headerData(3, Qt::Horizontal).toString(), "Attributes");

  // The cells of the parent, a folder and a file.
  const QStringList parent = {panel.CellText(0, 0), panel.CellText(0, 1), panel.CellText(0, 2),
                              panel.CellText(0, 3), panel.CellText(0, 4)};
  EXPECT_EQ(parent, QStringList({"..", "", "", "d........", "Parent Folder"}));
  EXPECT_EQ(panel.CellText(1, 1), "");  // folder total not known yet
  EXPECT_EQ(panel.CellText(1, 3), "d........");
  EXPECT_EQ(panel.CellText(1, 4), "File folder");
  EXPECT_EQ(panel.CellText(5, 1), "4.88 KB");
  EXPECT_EQ(panel.CellText(5, 4), "Application extension");
  EXPECT_EQ(panel.CellText(8, 4), "Zip archive");
  EXPECT_FALSE(panel.CellText(5, 2).isEmpty());
  EXPECT_EQ(panel.data(panel.index(8, 0), CListPanel::eRole_EntryType).toUInt(),
            uint(eEntry_Zip));
  EXPECT_EQ(panel.data(panel.index(5, 0), CListPanel::eRole_FullPath).toString(),
            "\\Some\\D.dll");
}

TEST_F(ListPanelTest, EverySortFieldInBothDirectionsKeepsParentAndFoldersFirst) {
  MakeMixedFolder();
  struct {
    int column;
    bool ascending;
    bool ignoreCase;
    QStringList order;
  } const cases[] = {
      {0, true, true, {"..", "A_dir", "b_dir", "c_dir", "c.enc", "D.dll", "e.exe", "s.lnk", "z.zip"}},
      {0, false, true, {"..", "c_dir", "b_dir", "A_dir", "z.zip", "s.lnk", "e.exe", "D.dll", "c.enc"}},
      {0, true, false, {"..", "A_dir", "b_dir", "c_dir", "D.dll", "c.enc", "e.exe", "s.lnk", "z.zip"}},
      // Folder totals are unknown without a worker: folders keep their name order.
      {1, true, true, {"..", "A_dir", "b_dir", "c_dir", "D.dll", "s.lnk", "e.exe", "z.zip", "c.enc"}},
      {1, false, true, {"..", "A_dir", "b_dir", "c_dir", "c.enc", "z.zip", "e.exe", "s.lnk", "D.dll"}},
      {2, true, true, {"..", "A_dir", "c_dir", "b_dir", "s.lnk", "D.dll", "e.exe", "z.zip", "c.enc"}},
      {2, false, true, {"..", "b_dir", "c_dir", "A_dir", "c.enc", "z.zip", "e.exe", "D.dll", "s.lnk"}},
      // Attributes do not reorder anything.
      {3, true, true, {"..", "A_dir", "b_dir", "c_dir", "c.enc", "D.dll", "e.exe", "s.lnk", "z.zip"}},
      {3, false, true, {"..", "A_dir", "b_dir", "c_dir", "c.enc", "D.dll", "e.exe", "s.lnk", "z.zip"}},
      // Application, Application extension, Encrypted file, Shortcut, Zip archive.
      {4, true, true, {"..", "A_dir", "b_dir", "c_dir", "e.exe", "D.dll", "c.enc", "s.lnk", "z.zip"}},
      {4, false, true, {"..", "A_dir", "b_dir", "c_dir", "z.zip", "s.lnk", "c.enc", "D.dll", "e.exe"}},
  };
  for (const auto& c : cases) {
    settings.MainListIgnoreCase = c.ignoreCase ? 1 : 0;
    CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
    QAbstractItemModelTester tester(&panel,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(panel.LoadFolder("\\Some", true, false));
    // A click on a new column sorts it with the flag set; a second click flips the flag.
    // The Name column is the current field after a load, so one click flips it.
    panel.SortBy(c.column, true);
    if (c.column == 0 ? c.ascending : !c.ascending) panel.SortBy(c.column, true);
    EXPECT_EQ(panel.SortField(), c.column);
    EXPECT_EQ(panel.SortAscending(), c.ascending);
    EXPECT_EQ(Column(panel, 0), c.order) << "column " << c.column << " asc " << c.ascending;
  }
}

TEST_F(ListPanelTest, KeyedSortGivesExactlyTheOrderOfTheStableComparisonSort) {
  // Rows with many equal keys, names differing only in case, non-ASCII names, and a type
  // text missing for some: every field, both directions, both case rules.
  QRandomGenerator random(42);
  const QStringList names = {"a", "A", "b", "B.txt", "\u00e9t\u00e9", "\u00c9T\u00c9", "x.zip",
                             "X.ZIP", "\U0001F600", "z"};
  auto makeEntries = [&](CListEntries* pEntries) {
    QRandomGenerator r(random);
    pEntries->Add(browse::MakeParentEntry());
    for (int i = 0; i < 400; ++i) {
      WIN32_FIND_DATAW data{};
      const QString name = names[r.bounded(int(names.size()))];
      for (int c = 0; c < name.size(); ++c) data.cFileName[c] = name[c].unicode();
      data.dwFileAttributes = r.bounded(3) == 0 ? FILE_ATTRIBUTE_DIRECTORY : 0;
      data.nFileSizeLow = r.bounded(4);
      data.nFileSizeHigh = r.bounded(2);
      data.ftLastWriteTime.dwLowDateTime = r.bounded(3);
      data.ftLastWriteTime.dwHighDateTime = r.bounded(2);
      auto entry = browse::MakeFileSystemEntry(data);
      if (r.bounded(2)) entry->ItemAs<CFileItem>()->typeText = names[r.bounded(int(names.size()))];
      pEntries->Add(std::move(entry));
    }
  };
  for (DWORD ignoreCase : {0u, 1u}) {
    settings.MainListIgnoreCase = ignoreCase;
    for (int nField = 0; nField <= 5; ++nField) {
      for (bool bAscending : {true, false}) {
        CListEntries keyed, compared;
        makeEntries(&keyed);
        makeEntries(&compared);
        browse::SortFileSystemEntries(&keyed, nField, bAscending);
        compared.StableSort([&](const CListEntry& a, const CListEntry& b) {
          return browse::CompareFileSystemEntries(a, b, nField, bAscending) < 0;
        });
        QStringList keyedRows, comparedRows;
        for (int i = 0; i < keyed.Count(); ++i) {
          const auto* pA = keyed.At(i)->ItemAs<CFileItem>();
          const auto* pB = compared.At(i)->ItemAs<CFileItem>();
          keyedRows << QString("%1 %2 %3 %4").arg(keyed.At(i)->displayName).arg(pA->size)
                           .arg(pA->lastWriteTime.dwLowDateTime).arg(pA->typeText);
          comparedRows << QString("%1 %2 %3 %4").arg(compared.At(i)->displayName).arg(pB->size)
                              .arg(pB->lastWriteTime.dwLowDateTime).arg(pB->typeText);
        }
        EXPECT_EQ(keyedRows, comparedRows) << "field " << nField << " asc " << bAscending
                                           << " ignore case " << ignoreCase;
      }
    }
  }
}

TEST_F(ListPanelTest, SortKeepsPersistentIndexesOnTheirEntries) {
  MakeMixedFolder();
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Some", true, false));
  const QPersistentModelIndex dll(panel.index(5, 2));
  panel.SortBy(1, true);  // D.dll is the largest file: first after the folders
  EXPECT_EQ(dll.row(), 4);
  EXPECT_EQ(dll.column(), 2);
  EXPECT_EQ(panel.CellText(dll.row(), 0), "D.dll");
}

TEST_F(ListPanelTest, EmptyAndMissingFoldersSayEmptyFolder) {
  MakeFolder("\\Empty");
  MakeFile("\\file.txt", "x");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  for (const char* path : {"\\Empty", "\\Missing", "\\file.txt"}) {
    ASSERT_TRUE(panel.LoadFolder(path, true, false)) << path;
    EXPECT_EQ(panel.StatusText(), "Empty folder.") << path;
    EXPECT_EQ(Column(panel, 0), QStringList{".."}) << path;
  }
}

TEST_F(ListPanelTest, ParentEntryOnlyBelowTheRootAndWhenSwitchedOn) {
  MakeFile("\\Windows\\a.txt", "x");
  struct {
    const char* path;
    DWORD showParent;
    bool parent;
  } const cases[] = {
      {"\\", 1, false}, {"\\Windows", 1, true}, {"\\Windows\\", 1, true}, {"\\Windows", 0, false},
  };
  for (const auto& c : cases) {
    settings.MainListShowParent = c.showParent;
    CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
    ASSERT_TRUE(panel.LoadFolder(c.path, true, false));
    EXPECT_EQ(panel.CellText(0, 0) == "..", c.parent) << c.path;
    EXPECT_EQ(panel.StatusText(), QString(QStringLiteral("Folders: %1, Files: %2"))
                                      .arg(c.path == QString("\\") ? 1 : 0)
                                      .arg(c.path == QString("\\") ? 0 : 1))
        << c.path;
  }
}

TEST_F(ListPanelTest, RecycleBinFolderIsLeftOutIgnoringCase) {
  settings.RecycleBinPath = "\\RecycleBin";
  MakeFolder("\\recyclebin");
  MakeFolder("\\Docs");
  MakeFile("\\Docs\\RecycleBin\\x.txt", "x");  // same name elsewhere is an ordinary folder
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\", true, false));
  EXPECT_EQ(Column(panel, 0), QStringList{"Docs"});
  EXPECT_EQ(panel.StatusText(), "Folders: 1, Files: 0");
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  EXPECT_EQ(Column(panel, 0), QStringList({"..", "RecycleBin"}));
}

TEST_F(ListPanelTest, HiddenAndSystemFilesAreListedByAFolderLoad) {
  settings.MainListShowHidden = 0;
  settings.MainListShowSystem = 0;
  MakeFile("\\D\\.hidden", "x");
  MakeFile("\\D\\plain", "x");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\D", true, false));
  EXPECT_EQ(Column(panel, 0), QStringList({"..", ".hidden", "plain"}));
  EXPECT_EQ(panel.CellText(1, 3), "....h....");
}

TEST_F(ListPanelTest, FileOfFiveGigabytesShowsItsTrueSizeAndSortsFirst) {
  MakeFile("\\Big\\small.bin", QByteArray(100, 'x'));
  QFile big(Host("\\Big\\five.bin"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(5LL << 30));  // sparse: no 5 GB written
  big.close();
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Big", true, false));
  panel.SortBy(1, true);
  EXPECT_EQ(Column(panel, 0), QStringList({"..", "five.bin", "small.bin"}));
  EXPECT_EQ(panel.CellText(1, 1), "5.00 GB");
  EXPECT_EQ(panel.Entries().At(1)->ItemAs<CFileItem>()->size, quint64(5) << 30);
}

TEST_F(ListPanelTest, LoadWithoutForceOnTheSameFolderDoesNothingAndRefreshRecordsAgain) {
  MakeFile("\\A\\one.txt", "1");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\A", true, true));
  const quint64 uGeneration = panel.Generation();
  MakeFile("\\A\\two.txt", "2");

  EXPECT_TRUE(panel.LoadFolder("\\a", false, true));  // same folder, other case
  EXPECT_EQ(panel.Generation(), uGeneration);
  EXPECT_EQ(panel.rowCount(), 2);
  EXPECT_EQ(panel.History().Count(), 1);

  panel.Refresh();
  EXPECT_EQ(Column(panel, 0), QStringList({"..", "one.txt", "two.txt"}));
  EXPECT_EQ(panel.History().Count(), 2);
  EXPECT_EQ(panel.History().Position(), 2);
}

TEST_F(ListPanelTest, OpeningEntriesNavigatesAndHandsFilesToTheObserver) {
  MakeFile("\\Docs\\Sub\\inner.txt", "x");
  MakeFile("\\Docs\\note.txt", "x");
  MakeFile("\\Docs\\pack.zip", "not really a zip");
  test::CPanelRecorder observer;
  CListPanel panel(ePanel_B, &observer, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, true));
  ASSERT_EQ(Column(panel, 0), QStringList({"..", "Sub", "note.txt", "pack.zip"}));

  panel.Open(2);
  EXPECT_EQ(observer.opened, QStringList{"\\Docs\\note.txt"});
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  panel.Open(3);  // no archive opener: nothing happens
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  QString archive;
  CListSourceKind archives;
  archives.make = [&](const CPanelLocation& location) -> std::unique_ptr<IListSource> {
    archive = location.path;
    return nullptr;
  };
  ListSources().Register({eEntry_Zip}, archives);
  panel.Open(3);
  ListSources().Unregister(eEntry_Zip);
  EXPECT_EQ(archive, "\\Docs\\pack.zip");

  panel.Open(1);
  EXPECT_EQ(panel.CurrentPath(), "\\Docs\\Sub");
  panel.Open(0);  // ".."
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  panel.Up();
  EXPECT_EQ(panel.CurrentPath(), "\\");
  EXPECT_FALSE(panel.CanGoUp());
  panel.Up();
  EXPECT_EQ(panel.CurrentPath(), "\\");
  EXPECT_EQ(observer.locations,
            QStringList({"\\Docs", "\\Docs\\Sub", "\\Docs", "\\"}));

  ASSERT_TRUE(panel.Back());
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  ASSERT_TRUE(panel.Back());
  EXPECT_EQ(panel.CurrentPath(), "\\Docs\\Sub");
  ASSERT_TRUE(panel.Forward());
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  EXPECT_EQ(panel.History().Count(), 4);  // Back and Forward record nothing
}

TEST_F(ListPanelTest, PathsTheRootRefusesChangeNothing) {
  MakeFile("\\Docs\\a.txt", "x");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, true));
  for (const char* path : {"", "\\Docs\\..\\..", "\\..", "..", "\\Docs\\.\\x"}) {
    EXPECT_FALSE(panel.LoadFolder(path, true, true)) << path;
    EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  }
  EXPECT_EQ(panel.History().Count(), 1);
  // Other spellings of a folder inside the root are taken in their canonical form.
  ASSERT_TRUE(panel.LoadFolder("Docs/", true, false));
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
}

TEST_F(ListPanelTest, NavigateWaitsForTheView) {
  MakeFolder("\\Later");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  panel.Navigate("\\Later");
  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_Empty));
  EXPECT_EQ(panel.columnCount(), 1);
  panel.SetViewReady();
  EXPECT_EQ(panel.CurrentPath(), "\\Later");
  EXPECT_EQ(panel.History().Count(), 1);
}

TEST_F(ListPanelTest, RefreshRowReadsTheItemAgain) {
  MakeFile("\\R\\grow.txt", "1");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\R", true, false));
  EXPECT_EQ(panel.CellText(1, 1), "0.00 KB");
  MakeFile("\\R\\grow.txt", QByteArray(3000, 'x'));
  ASSERT_EQ(::chmod(QFile::encodeName(Host("\\R\\grow.txt")).constData(), 0444), 0);
  panel.RefreshRow(1);
  EXPECT_EQ(panel.CellText(1, 1), "2.92 KB");
  EXPECT_EQ(panel.CellText(1, 3), ".....r...");
}

TEST_F(ListPanelTest, FoundItemSinkFiltersAndKeepsEachItemsFolder) {
  settings.RecycleBinPath = "\\RecycleBin";
  MakeFile("\\Here\\a.txt", "x");
  MakeFile("\\There\\far.txt", "x");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Here", true, false));

  WIN32_FIND_DATAW data;
  ASSERT_TRUE(plat::FindOne("\\There\\far.txt", &data));
  EXPECT_TRUE(panel.OnFoundItem(data, "\\There"));
  EXPECT_EQ(panel.data(panel.index(2, 0), CListPanel::eRole_FullPath).toString(),
            "\\There\\far.txt");

  struct {
    const char* name;
    DWORD attributes;
    DWORD CSettings::*option;
  } const filtered[] = {
      {"dir", FILE_ATTRIBUTE_DIRECTORY, &CSettings::MainListShowFolders},
      {"sys", FILE_ATTRIBUTE_SYSTEM, &CSettings::MainListShowSystem},
      {"hid", FILE_ATTRIBUTE_HIDDEN, &CSettings::MainListShowHidden},
      {"rom", FILE_ATTRIBUTE_INROM, &CSettings::MainListShowInRom},
      {"ro", FILE_ATTRIBUTE_READONLY, &CSettings::MainListShowRO},
  };
  for (const auto& f : filtered) {
    WIN32_FIND_DATAW item{};
    item.dwFileAttributes = f.attributes;
    for (int i = 0; f.name[i]; ++i) item.cFileName[i] = f.name[i];
    settings.*f.option = 0;
    EXPECT_FALSE(panel.OnFoundItem(item, "\\Here")) << f.name;
    settings.*f.option = 1;
    EXPECT_TRUE(panel.OnFoundItem(item, "\\Here")) << f.name;
  }
  WIN32_FIND_DATAW bin{};
  bin.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  for (int i = 0; i < 10; ++i) bin.cFileName[i] = QStringLiteral("RecycleBin")[i].unicode();
  EXPECT_FALSE(panel.OnFoundItem(bin, "\\"));
  EXPECT_EQ(panel.rowCount(), 3 + 5);
}

// A name holding control characters shows them as visible symbols on one line; the cell text
// that operations and the command line read keeps the name as it is.
TEST_F(ListPanelTest, ControlCharactersInNamesShowAsVisibleSymbols) {
  const QString name = QString("a\nb\tc") + QChar(0x7F) + QChar(0x1B);
  MakeFile("\\Ctl\\" + name, "x");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Ctl", true, false));
  ASSERT_EQ(panel.rowCount(), 2);
  EXPECT_EQ(panel.CellText(1, 0), name);
  EXPECT_EQ(panel.data(panel.index(1, 0)).toString(),
            QString::fromUtf16(u"a\u240Ab\u2409c\u2421\u241B"));
}

}  // namespace
