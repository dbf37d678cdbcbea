// The recycle bin as a list source on a real temporary root: rows and texts of containers and
// recycled folders made by the recycle operation, the order under every sort field, items of
// the bin folder that are not the bin's own, and the "Recycle Bin" tree node shown in the
// list of the same panel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QStringList>

#include "browse/folder_tree.h"
#include "browse/icon_manager.h"
#include "browse/list_columns.h"
#include "browse/list_panel.h"
#include "fileops/list_source_bin.h"
#include "core/format.h"
#include "core/settings.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "platform/filetime.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

constexpr char16_t kBin[] = u"\\Bin";

// A recycled item written by hand: the record fields a row shows.
struct CCrafted {
  QString name;
  QString originalPath;
  quint64 size = 0;
  int day = 1;  // of May 2024, 12:30 UTC: the recycling time
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
};

class BinListTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    saved_ = settings;
    settings.RecycleBinPath = QString::fromUtf16(kBin);
    settings.MainListIgnoreCase = 1;
    settings.MainListShowExt = 1;
    MakeFolder(QString::fromUtf16(kBin));
  }
  void TearDown() override {
    settings = saved_;
    TempRootAndHive::TearDown();
  }

  static SYSTEMTIME Day(int day) { return SYSTEMTIME{2024, 5, 0, WORD(day), 12, 30, 0, 0}; }

  static fileops::CRecycleRecord Record(const CCrafted& item) {
    fileops::CRecycleRecord record = fileops::NewRecord();
    record.findData.dwFileAttributes = item.attributes;
    record.findData.nFileSizeHigh = DWORD(item.size >> 32);
    record.findData.nFileSizeLow = DWORD(item.size);
    const std::u16string name = item.name.toStdU16String();
    std::copy(name.begin(), name.end(), record.findData.cFileName);
    record.stRecycled = Day(item.day);
    EXPECT_TRUE(record.SetOriginalPath(item.originalPath));
    return record;
  }
  // A container in the bin with the record of `item` and `size` data bytes.
  void Container(const QString& binName, const CCrafted& item) {
    MakeFile(BinPath(binName), fileops::EncodeContainerHeader(fileops::kRecycleKindFile) +
                                   fileops::EncodeRecord(Record(item)) +
                                   QByteArray(qsizetype(item.size), 'x'));
  }
  // A recycled folder's directory in the bin with its descriptor.
  void Folder(const QString& binName, CCrafted item) {
    item.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    MakeFolder(BinPath(binName));
    ASSERT_TRUE(fileops::Write(Record(item), BinPath(binName)));
  }
  static QString BinPath(const QString& binName) {
    return QString::fromUtf16(kBin) + "\\" + binName;
  }

  // The panel showing the bin, checked by the model tester.
  CListPanel& ShowBin() {
    browse::ShowRecycleBin(panel_);
    return panel_;
  }
  QStringList Column(int nColumn) const {
    QStringList cells;
    for (int nRow = 0; nRow < panel_.rowCount(); ++nRow)
      cells.append(panel_.CellText(nRow, nColumn));
    return cells;
  }

  CSettings saved_;
  CListPanel panel_{ePanel_A, nullptr, {.bWorker = false}};
  QAbstractItemModelTester tester_{&panel_, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

QString DateText(int day) {
  FILETIME ft;
  const SYSTEMTIME st{2024, 5, 0, WORD(day), 12, 30, 0, 0};
  EXPECT_TRUE(plat::SystemTimeToFileTime(st, &ft));
  return browse::FileTimeText(ft);
}

TEST_F(BinListTest, RowsOfRecycledFilesAndFolders) {
  MakeFile("\\Docs\\notes.txt", "hello");
  MakeFile("\\Docs\\Sub\\a.txt", "a");
  MakeFile("\\Docs\\Sub\\Deeper\\b.txt", "b");
  MakeFile("\\archive", QByteArray(2000, 'z'));
  {
    test::CScriptedMessageBox box;
    test::CScriptedProgress progress;
    ASSERT_EQ(fileops::RecycleFile("\\Docs\\notes.txt", "\\Bin"), fileops::eRecycleOK);
    ASSERT_EQ(fileops::RecycleFile("\\archive", "\\Bin"), fileops::eRecycleOK);
    ASSERT_EQ(fileops::RecycleFolder("\\Docs\\Sub", "\\Bin"), fileops::eRecycleOK);
  }
  SYSTEMTIME stNow;
  plat::GetSystemTime(&stNow);
  FILETIME ftNow;
  ASSERT_TRUE(plat::SystemTimeToFileTime(stNow, &ftNow));
  const quint64 uTwoMinutesAgo = plat::FileTimeToU64(ftNow) - 120ull * 10000000ull;
  CListPanel& panel = ShowBin();

  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_RecycleBin));
  QStringList headers;
  for (const CListColumn& column : panel.Columns()) headers.append(column.header);
  EXPECT_EQ(headers,
            QStringList({"Name", "Size", "Date deleted", "Attributes", "Type", "Original folder"}));
  // The recycled folder first (its sub-folder lives inside its directory, not as a row),
  // then the files by name.
  EXPECT_EQ(Column(0), QStringList({"Sub", "archive", "notes.txt"}));
  EXPECT_EQ(Column(1), QStringList({"", core::FormatSize(2000), core::FormatSize(5)}));
  EXPECT_EQ(Column(3).at(0).left(1), "d");
  EXPECT_EQ(Column(4),
            QStringList({"File folder", "File", AppIconManager().TypeText("notes.txt")}));
  EXPECT_EQ(Column(5), QStringList({"\\Docs", "\\", "\\Docs"}));

  const QList<DWORD> types = {eEntry_RecycledFolder, eEntry_RecycledFile, eEntry_RecycledFile};
  for (int nRow = 0; nRow < 3; ++nRow) {
    const CBinItem* pItem = browse::BinItemAt(panel, nRow);
    ASSERT_NE(pItem, nullptr);
    EXPECT_EQ(panel.Entries().At(nRow)->type, types[nRow]);
    // The recycling moment, shown as the Date column shows times.
    EXPECT_GE(plat::FileTimeToU64(pItem->recycledTime), uTwoMinutesAgo) << nRow;
    EXPECT_EQ(panel.CellText(nRow, 2), browse::FileTimeText(pItem->recycledTime));
    const QString strFull = panel.data(panel.index(nRow, 0), CListPanel::eRole_FullPath).toString();
    EXPECT_EQ(strFull, "\\Bin\\" + pItem->binName);
    EXPECT_TRUE(ExistsHost(strFull)) << strFull.toStdString();
  }
  EXPECT_TRUE(browse::BinItemAt(panel, 1)->binName.endsWith(".trb"));
  EXPECT_EQ(browse::BinItemAt(panel, 2)->originalPath, "\\Docs\\notes.txt");
  // Pictures: the folder picture, the plain file for a name without extension, and for
  // a file the cached picture of its extension only.
  EXPECT_EQ(panel.data(panel.index(0, 0), CListPanel::eRole_IconIndex).toInt(), 2);
  EXPECT_EQ(panel.data(panel.index(1, 0), CListPanel::eRole_IconIndex).toInt(), 18);
  EXPECT_EQ(panel.data(panel.index(2, 0), CListPanel::eRole_IconIndex).toInt(),
            AppIconManager().IconForRecycledFile("notes.txt"));
  // The frame refreshes the bin for a change of an item directly in the bin folder.
  EXPECT_TRUE(browse::ListsRecycleBinFolder(panel, "\\bin"));
  EXPECT_FALSE(browse::ListsRecycleBinFolder(panel, "\\Docs"));
  // Opening a row does nothing.
  panel.Open(2);
  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_RecycleBin));
  EXPECT_EQ(panel.rowCount(), 3);

  // The selection the restore and delete-for-good operations take.
  const fileops::CSelection selection = browse::BinSelection(panel, {2, 0});
  ASSERT_EQ(selection.size(), 2u);
  EXPECT_EQ(selection[0].nKind, fileops::eSelFile);
  EXPECT_EQ(selection[0].strPath, "\\Bin\\" + browse::BinItemAt(panel, 2)->binName);
  EXPECT_EQ(selection[1].nKind, fileops::eSelFolder);
  EXPECT_EQ(selection[1].strPath, "\\Bin\\" + browse::BinItemAt(panel, 0)->binName);
}

TEST_F(BinListTest, SortFieldsOrderFoldersFirst) {
  Folder("pbr0010", {"Zeta", "\\Z\\Zeta", 0, 1});
  Folder("pbr0011", {"alpha", "\\A\\alpha", 0, 2});
  Container("pbr0001.trb", {"b.txt", "\\M\\b.txt", 300, 2});
  Container("pbr0002.trb", {"a.jpg", "\\Z\\a.jpg", 100, 3});
  Container("pbr0003.trb", {"C.doc", "\\A\\C.doc", 200, 1});
  CListPanel& panel = ShowBin();
  ASSERT_EQ(panel.rowCount(), 5);

  struct Case {
    int column;
    bool ascending;
    QStringList names;
  };
  const Case cases[] = {
      {0, true, {"alpha", "Zeta", "a.jpg", "b.txt", "C.doc"}},
      {0, false, {"Zeta", "alpha", "C.doc", "b.txt", "a.jpg"}},
      {1, true, {"Zeta", "alpha", "b.txt", "C.doc", "a.jpg"}},  // largest first
      {1, false, {"Zeta", "alpha", "a.jpg", "C.doc", "b.txt"}},
      {2, true, {"alpha", "Zeta", "a.jpg", "b.txt", "C.doc"}},  // newest first
      {2, false, {"Zeta", "alpha", "C.doc", "b.txt", "a.jpg"}},
      {5, true, {"alpha", "Zeta", "C.doc", "b.txt", "a.jpg"}},  // original folder A to Z
      {5, false, {"Zeta", "alpha", "a.jpg", "b.txt", "C.doc"}},
  };
  for (const Case& c : cases) {
    panel.SortBy(c.column, false);
    panel.SetSortAscending(c.ascending);
    EXPECT_EQ(Column(0), c.names) << c.column << (c.ascending ? " asc" : " desc");
  }
  EXPECT_EQ(Column(2).at(3), DateText(2));  // "b.txt" after the last sort
  EXPECT_EQ(Column(5), QStringList({"\\Z", "\\A", "\\Z", "\\M", "\\A"}));

  // Attributes keep the order they find; types sort A to Z within each group.
  panel.SortBy(2, false);
  panel.SortBy(3, false);
  EXPECT_EQ(Column(0), QStringList({"alpha", "Zeta", "a.jpg", "b.txt", "C.doc"}));
  panel.SortBy(4, false);
  QStringList fileTypes = Column(4).mid(2);
  QStringList sorted = fileTypes;
  std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  EXPECT_EQ(fileTypes, sorted);
  EXPECT_EQ(Column(4).mid(0, 2), QStringList({"File folder", "File folder"}));
}

TEST_F(BinListTest, ItemsThatAreNotTheBinsOwnAreLeftOut) {
  Container("good.trb", {"good.txt", "\\Docs\\good.txt", 4});
  Folder("goodfolder", {"Kept", "\\Docs\\Kept"});
  const CCrafted any{"x.txt", "\\Docs\\x.txt", 4};
  const QByteArray header = fileops::EncodeContainerHeader(fileops::kRecycleKindFile);
  const QByteArray record = fileops::EncodeRecord(Record(any));
  QByteArray badMagic = header + record + "xxxx";
  badMagic[8] = 'X';
  fileops::CRecycleRecord reserved = Record(any);
  reserved.dwReserved[1] = 1;
  fileops::CRecycleRecord rootPath = Record(any);
  ASSERT_TRUE(rootPath.SetOriginalPath("\\"));
  struct Case {
    const char* name;
    QByteArray bytes;
  };
  const Case cases[] = {
      {"magic.trb", badMagic},
      {"kind2.trb", fileops::EncodeContainerHeader(fileops::kRecycleKindFolder) + record + "xxxx"},
      {"reserved.trb", header + fileops::EncodeRecord(reserved) + "xxxx"},
      {"rootpath.trb", header + fileops::EncodeRecord(rootPath) + "xxxx"},
      {"shortrecord.trb", header + record.left(500)},
      {"shortdata.trb", header + record + "xx"},
      {"empty.trb", {}},
      {"notacontainer.tmp", header + record + "xxxx"},
  };
  for (const Case& c : cases) MakeFile(BinPath(c.name), c.bytes);
  MakeFolder(BinPath("nodescriptor"));
  MakeFile(BinPath("shortdescriptor\\.fldrdescr.dat"),
           fileops::EncodeRecord(Record(any)).left(1111));
  ASSERT_EQ(::symlink(QFile::encodeName(Host(BinPath("good.trb"))).constData(),
                      QFile::encodeName(Host(BinPath("link.trb"))).constData()),
            0);

  CListPanel& panel = ShowBin();
  EXPECT_EQ(Column(0), QStringList({"Kept", "good.txt"}));

  // A bin folder that does not exist lists as empty.
  settings.RecycleBinPath = "\\Nowhere";
  browse::ShowRecycleBin(panel);
  EXPECT_EQ(panel.rowCount(), 0);
  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_RecycleBin));
}

// The tree's "Recycle Bin" node asks for the bin in the list of its own panel; a folder node
// brings the folder back with the file-system columns, whose widths the bin shares.
TEST_F(BinListTest, TreeNodeShowsTheBinInTheSamePanel) {
  Container("pbr0001.trb", {"gone.txt", "\\Docs\\gone.txt", 3});
  MakeFile("\\Docs\\here.txt", "h");
  CFolderTree tree(ePanel_B);
  tree.Build();
  CListPanel list(ePanel_B, nullptr, {.bWorker = false});
  list.LoadFolder("\\Docs", true, true);
  list.SetColumnWidth(2, 133);
  QObject::connect(&tree, &CFolderTree::showInList, [&](EPanelId ePanel, const CTreeTarget& t) {
    ASSERT_EQ(ePanel, ePanel_B);
    if (t.listSource == ePanelSrc_RecycleBin) browse::ShowRecycleBin(list);
    if (t.listSource == ePanelSrc_FileSystem) list.LoadFolder(t.location.path, false, true);
  });

  tree.SelectionModel()->setCurrentIndex(tree.Model()->RecycleBinIndex(),
                                         QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(list.SourceKind(), DWORD(ePanelSrc_RecycleBin));
  ASSERT_EQ(list.rowCount(), 1);
  EXPECT_EQ(list.CellText(0, 0), "gone.txt");
  EXPECT_EQ(list.CellText(0, 5), "\\Docs");
  EXPECT_EQ(list.ColumnWidths().at(2), 133);  // the file-system widths, key "_FS_"
  EXPECT_EQ(list.History().Count(), 1);       // the bin is not a place of the history

  tree.SelectFolder("\\Docs");
  EXPECT_FALSE(browse::ListsRecycleBinFolder(list, "\\Bin"));
  EXPECT_EQ(list.SourceKind(), DWORD(ePanelSrc_FileSystem));
  EXPECT_EQ(list.CurrentPath(), "\\Docs");
  EXPECT_EQ(list.Columns().size(), kListFieldCount);
}

}  // namespace
