// Lists and trees that follow what other programs do in the folders they show: the test
// changes the disk directly, announcing nothing, and waits for the host's events (or, where
// no watch can be had, the polling) to bring the rows up to date.
#include <QAbstractItemModelTester>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "browse/folder_tree.h"
#include "browse/list_panel.h"
#include "core/settings.h"
#include "platform/folder_watch.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Runs the event loop until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, int nMs) {
  return QTest::qWaitFor(condition, nMs);
}

class LiveFolderTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    settings.MainListShowParent = 0;
    for (const char* name : {"b.txt", "d.txt", "f.txt"}) MakeFile(QString("\\Docs\\") + name);
    MakeFolder("\\Docs\\Sub");
  }
  void TearDown() override {
    settings = saved_;
    plat::SetFolderWatchLimit(-1);
    plat::SetFolderPollInterval(3000);
    TempRoot::TearDown();
  }
  static QStringList Names(const CListPanel& panel) {
    QStringList names;
    for (int i = 0; i < panel.rowCount(); ++i) names << panel.CellText(i, 0);
    return names;
  }
  static QString Selected(const QItemSelectionModel& selection, const CListPanel& panel) {
    const QModelIndexList rows = selection.selectedRows();
    return rows.size() == 1 ? panel.CellText(rows[0].row(), 0) : QString();
  }

  CSettings saved_ = settings;
};

TEST_F(LiveFolderTest, ChangesByAnotherProgramReachTheRowsWithinASecondAndKeepTheSelection) {
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  QAbstractItemModelTester tester(&panel, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  ASSERT_TRUE(panel.FolderWatch() && panel.FolderWatch()->Live());
  QItemSelectionModel selection(&panel);
  selection.select(panel.index(Names(panel).indexOf("d.txt"), 0),
                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

  MakeFile("\\Docs\\a.txt", "new");  // sorts before the selected row
  WaitFor([&] { return Names(panel) == QStringList({"Sub", "a.txt", "b.txt", "d.txt", "f.txt"}); }, 1000);
  EXPECT_EQ(Names(panel), QStringList({"Sub", "a.txt", "b.txt", "d.txt", "f.txt"}));
  EXPECT_EQ(Selected(selection, panel), "d.txt");
  EXPECT_EQ(panel.StatusText(), "Folders: 1, Files: 4");

  ASSERT_TRUE(QFile::remove(Host("\\Docs\\b.txt")));
  ASSERT_TRUE(QFile::rename(Host("\\Docs\\f.txt"), Host("\\Docs\\c.txt")));
  WaitFor([&] { return Names(panel) == QStringList({"Sub", "a.txt", "c.txt", "d.txt"}); }, 1000);
  EXPECT_EQ(Names(panel), QStringList({"Sub", "a.txt", "c.txt", "d.txt"}));
  EXPECT_EQ(Selected(selection, panel), "d.txt");

  // Written to in place: the row shows the new size.
  const int nRow = Names(panel).indexOf("d.txt");
  const QString strSize = panel.CellText(nRow, 1);
  MakeFile("\\Docs\\d.txt", QByteArray(50000, 'x'));
  EXPECT_TRUE(WaitFor([&] { return panel.CellText(nRow, 1) != strSize; }, 1000));
  EXPECT_EQ(Selected(selection, panel), "d.txt");
}

TEST_F(LiveFolderTest, ABurstOfTenThousandNewFilesIsHandedOverInAFewBatches) {
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  int nInserts = 0;
  QObject::connect(&panel, &CListPanel::rowsInserted, [&] { ++nInserts; });
  constexpr int kFiles = 10000;
  for (int i = 0; i < kFiles; ++i) {
    QFile file(Host(QString("\\Docs\\n%1.txt").arg(i, 5, 10, QChar('0'))));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  WaitFor([&] { return panel.rowCount() == kFiles + 4; }, 10000);
  EXPECT_EQ(panel.rowCount(), kFiles + 4);
  // Each hand-over inserts its batch at once, not file by file.
  EXPECT_LT(nInserts, 200);
  EXPECT_EQ(panel.CellText(panel.rowCount() - 1, 0), "n09999.txt");
}

TEST_F(LiveFolderTest, WithoutAHostWatchTheFolderIsReadAgainEveryFewSeconds) {
  plat::SetFolderWatchLimit(0);
  plat::SetFolderPollInterval(100);
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  ASSERT_TRUE(panel.FolderWatch());
  EXPECT_FALSE(panel.FolderWatch()->Live());
  EXPECT_TRUE(panel.FolderWatch()->Polled());
  QItemSelectionModel selection(&panel);
  selection.select(panel.index(Names(panel).indexOf("f.txt"), 0),
                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

  MakeFile("\\Docs\\a.txt", "new");
  ASSERT_TRUE(QFile::remove(Host("\\Docs\\d.txt")));
  WaitFor([&] { return Names(panel) == QStringList({"Sub", "a.txt", "b.txt", "f.txt"}); }, 2000);
  EXPECT_EQ(Names(panel), QStringList({"Sub", "a.txt", "b.txt", "f.txt"}));
  EXPECT_EQ(Selected(selection, panel), "f.txt");
  MakeFile("\\Docs\\b.txt", QByteArray(70000, 'x'));  // a change in size alone is seen too
  const int nRow = Names(panel).indexOf("b.txt");
  const QString strSize = panel.CellText(nRow, 1);
  EXPECT_TRUE(WaitFor([&] { return panel.CellText(nRow, 1) != strSize; }, 2000));
}

TEST_F(LiveFolderTest, AShownFolderThatAnotherProgramRemovesIsLeftForItsParent) {
  for (const bool bPolled : {false, true}) {
    SCOPED_TRACE(bPolled ? "polled" : "host events");
    plat::SetFolderWatchLimit(bPolled ? 0 : -1);
    plat::SetFolderPollInterval(100);
    MakeFile("\\Docs\\Sub\\Deep\\x.txt");
    CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
    ASSERT_TRUE(panel.LoadFolder("\\Docs\\Sub\\Deep", true, false));
    ASSERT_TRUE(QDir(Host("\\Docs\\Sub\\Deep")).removeRecursively());
    WaitFor([&] { return panel.CurrentPath() == QString("\\Docs\\Sub"); }, 2000);
  EXPECT_EQ(panel.CurrentPath(), QString("\\Docs\\Sub"));
    EXPECT_TRUE(Names(panel).isEmpty());
  }
}

TEST_F(LiveFolderTest, OnlyTheFolderShownIsWatched) {
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false, .bFollowChanges = true});
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, false));
  ASSERT_TRUE(panel.LoadFolder("\\Docs\\Sub", true, false));
  EXPECT_EQ(panel.FolderWatch()->Path(), "\\Docs\\Sub");
  MakeFile("\\Docs\\Sub\\s.txt");
  WaitFor([&] { return Names(panel) == QStringList({"s.txt"}); }, 1000);
  EXPECT_EQ(Names(panel), QStringList({"s.txt"}));
  // A panel that does not follow changes takes no watch.
  CListPanel still(ePanel_B, nullptr, {.bWorker = false});
  ASSERT_TRUE(still.LoadFolder("\\Docs", true, false));
  EXPECT_EQ(still.FolderWatch(), nullptr);
}

TEST_F(LiveFolderTest, ATreeFollowsItsExpandedFoldersAndStopsWhenTheyCollapse) {
  CFolderTree tree(ePanel_A);
  tree.FollowChanges();
  tree.Build();
  ASSERT_TRUE(tree.SelectFolder("\\Docs"));
  const QModelIndex docs = tree.Current();
  tree.OnExpanded(docs);
  EXPECT_TRUE(tree.WatchedFolders().contains("\\docs"));
  const auto childNames = [&] {
    QStringList names;
    const QModelIndex at = tree.Model()->FolderIndex("\\Docs");
    for (int i = 0; i < tree.Model()->rowCount(at); ++i)
      names << tree.Model()->index(i, 0, at).data().toString();
    return names;
  };
  ASSERT_EQ(childNames(), QStringList({"Sub"}));
  MakeFolder("\\Docs\\New");
  WaitFor([&] { return childNames() == QStringList({"New", "Sub"}); }, 1000);
  EXPECT_EQ(childNames(), QStringList({"New", "Sub"}));
  tree.OnCollapsed(tree.Model()->FolderIndex("\\Docs"));
  EXPECT_FALSE(tree.WatchedFolders().contains("\\docs"));
}

}  // namespace
