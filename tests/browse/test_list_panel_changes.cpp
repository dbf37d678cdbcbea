// Panels and trees that follow view notifications: rows are updated one by one (added where
// the sort puts them, removed, read again), never by listing the folder again during a run;
// what a run changes is applied when it ends; a listing that depends on a folder in another
// way is listed again, but only after the run; a listed folder that goes away is left at once.
#include <QAbstractItemModelTester>
#include <QDir>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include "browse/folder_tree.h"
#include "browse/list_panel.h"
#include "browse/list_source_fs.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/view_notify.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using fileops::CViewRun;

// A folder listing that also depends on another folder (as the recycle bin depends on its
// bin folder): it counts how often it is asked to list again.
class CWatchingSource : public CFileSystemListSource {
 public:
  CWatchingSource(const QString& strPath, QString strWatched, int* pRefreshes)
      : CFileSystemListSource(strPath), watched_(std::move(strWatched)), refreshes_(pRefreshes) {}
  bool WatchesFolder(const QString& strFolder) const override {
    return strFolder.compare(watched_, Qt::CaseInsensitive) == 0;
  }
  CListAction Refresh() const override {
    ++*refreshes_;
    return {};
  }

 private:
  QString watched_;
  int* refreshes_;
};

class ListPanelChangesTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    settings.MainListShowParent = 1;
    for (const char* name : {"b.txt", "d.txt", "f.txt"}) MakeFile(QString("\\Docs\\") + name);
    MakeFolder("\\Docs\\Sub");
  }
  void TearDown() override {
    settings = saved_;
    TempRoot::TearDown();
  }
  static QStringList Names(const CListPanel& panel) {
    QStringList names;
    for (int i = 0; i < panel.rowCount(); ++i) names << panel.CellText(i, 0);
    return names;
  }
  // Adds a file on disk and announces it.
  void Add(const QString& strPath) {
    MakeFile(strPath, "new");
    fileops::NotifyItemAdded(strPath);
  }
  void Remove(const QString& strPath) {
    ASSERT_TRUE(QFile::remove(Host(strPath)));
    fileops::NotifyItemRemoved(strPath);
  }

  CSettings saved_ = settings;
};

TEST_F(ListPanelChangesTest, ARunsChangesUpdateTheirRowsWhenItEndsWithoutANewListing) {
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  QAbstractItemModelTester tester(&panel, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  ASSERT_EQ(Names(panel), QStringList({"..", "Sub", "b.txt", "d.txt", "f.txt"}));
  const CListEntry* pKept = panel.Entries().At(3);  // "d.txt": untouched, must stay the same row
  {
    CViewRun run;
    Add("\\Docs\\a.txt");
    Add("\\Docs\\e.txt");
    MakeFolder("\\Docs\\Alpha");
    fileops::NotifyFolderCreated("\\Docs\\Alpha");
    Remove("\\Docs\\f.txt");
    ASSERT_TRUE(QFile::rename(Host("\\Docs\\b.txt"), Host("\\Docs\\z.txt")));
    fileops::NotifyFileRenamed("\\Docs\\b.txt", "\\Docs\\z.txt");
    // A file added, then removed within the run, and one in another folder.
    Add("\\Docs\\gone.txt");
    Remove("\\Docs\\gone.txt");
    Add("\\Docs\\Sub\\inner.txt");
    QCoreApplication::processEvents();
    EXPECT_EQ(Names(panel), QStringList({"..", "Sub", "b.txt", "d.txt", "f.txt"}));  // gathered
  }
  EXPECT_EQ(Names(panel), QStringList({"..", "Alpha", "Sub", "a.txt", "d.txt", "e.txt", "z.txt"}));
  EXPECT_EQ(panel.Entries().At(4), pKept);
  EXPECT_EQ(panel.StatusText(), "Folders: 2, Files: 4");
  // A file replaced in place keeps its row and shows its new size.
  const int nRow = Names(panel).indexOf("d.txt");
  const QString strSizeBefore = panel.CellText(nRow, 1);
  MakeFile("\\Docs\\d.txt", QByteArray(5000, 'x'));
  fileops::NotifyItemAdded("\\Docs\\d.txt");
  panel.ApplyViewChanges();
  EXPECT_EQ(panel.Entries().At(nRow)->displayName, "d.txt");
  EXPECT_NE(panel.CellText(nRow, 1), strSizeBefore);
}

TEST_F(ListPanelChangesTest, ManyNewRowsTakeTheOrderOfAFreshListingUnderTheCurrentSort) {
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  QAbstractItemModelTester tester(&panel, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  panel.SortBy(1, false);  // by size, largest first
  for (int nCount : {3, 200}) {  // inserted one by one, and appended then sorted
    {
      CViewRun run;
      for (int i = 0; i < nCount; ++i) {
        const QString strPath = QString("\\Docs\\n%1_%2.txt").arg(nCount).arg(i);
        MakeFile(strPath, QByteArray(nCount + 3 * i + 1, 'x'));  // no two alike
        fileops::NotifyItemAdded(strPath);
      }
    }
    const QStringList followed = Names(panel);
    CListPanel fresh(ePanel_B, nullptr, {.bWorker = false});
    ASSERT_TRUE(fresh.LoadFolder("\\Docs", true, false));
    fresh.SortBy(1, false);
    EXPECT_EQ(followed, Names(fresh)) << nCount;
    EXPECT_EQ(panel.StatusText(), fresh.StatusText());
  }
}

TEST_F(ListPanelChangesTest, AWatchedFolderListsAgainOnlyAfterTheRun) {
  int nRefreshes = 0;
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  panel.ShowListing(std::make_unique<CWatchingSource>("\\Docs", "\\Bin", &nRefreshes), {});
  {
    CViewRun run;
    for (int i = 0; i < 3; ++i) Add(QString("\\Bin\\c%1").arg(i));
    panel.ApplyViewChanges();  // a hand-over during the run
    EXPECT_EQ(nRefreshes, 0);
  }
  EXPECT_EQ(nRefreshes, 1);
  // Outside a run a change there lists again at once.
  Add("\\Bin\\later");
  panel.ApplyViewChanges();
  EXPECT_EQ(nRefreshes, 2);
  // A change elsewhere does not.
  Add("\\Other\\x");
  panel.ApplyViewChanges();
  EXPECT_EQ(nRefreshes, 2);
}

TEST_F(ListPanelChangesTest, AListedFolderThatGoesAwayIsLeftAtOnce) {
  MakeFile("\\Docs\\Sub\\Deep\\x.txt");
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  ASSERT_TRUE(panel.LoadFolder("\\Docs\\Sub\\Deep", true, false));
  CViewRun run;
  ASSERT_TRUE(QDir().rename(Host("\\Docs\\Sub"), Host("\\Docs\\Renamed")));
  fileops::NotifyFolderRenamed("\\Docs\\Sub", "\\Docs\\Renamed");
  EXPECT_EQ(panel.CurrentPath(), "\\Docs\\Renamed\\Deep");
  EXPECT_EQ(Names(panel), QStringList({"..", "x.txt"}));
  ASSERT_TRUE(QDir(Host("\\Docs\\Renamed")).removeRecursively());
  fileops::NotifyFolderRemoved("\\Docs\\Renamed");
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
}

TEST_F(ListPanelChangesTest, TreeNodesFollowAtTheRunsEnd) {
  CFolderTree tree(ePanel_A);
  tree.FollowChanges();
  tree.Build();
  const QModelIndex docs = tree.Model()->FolderIndex("\\Docs");
  ASSERT_TRUE(docs.isValid());
  tree.Model()->Expand(docs);
  {
    CViewRun run;
    MakeFolder("\\Docs\\New");
    fileops::NotifyFolderCreated("\\Docs\\New");
    tree.ApplyViewChanges();
    EXPECT_FALSE(tree.Model()->FindChild(docs, eEntry_Folder, "New").isValid());
  }
  EXPECT_TRUE(tree.Model()->FindChild(docs, eEntry_Folder, "New").isValid());
  // Outside a run the node follows at the next pass of the event loop.
  ASSERT_TRUE(QDir().rmdir(Host("\\Docs\\New")));
  fileops::NotifyFolderRemoved("\\Docs\\New");
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return !tree.Model()->FindChild(docs, eEntry_Folder, "New").isValid(); }, 2000));
}

}  // namespace
