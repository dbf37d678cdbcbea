// The search on its own thread and the list of its results: batches reach the starting
// thread and fill a list panel as they come, a stop ends a walk at its next entry, rows follow
// deleted and renamed items, and the list sorts by its columns.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include "browse/list_columns.h"
#include "browse/list_panel.h"
#include "collect/search_results.h"
#include "collect/search_rules.h"
#include "collect/search_run.h"
#include "core/view_notify.h"
#include "support/temp_root.h"

namespace {

using collect::CSearchListSource;
using collect::CSearchResults;
using collect::CSearchRun;

class SearchResultsTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    collect::RegisterSearchListSource();
    MakeFile("\\a.txt", "12345");
    MakeFile("\\Docs\\b.txt", "12");
    MakeFile("\\Docs\\c.dat", "1");
    MakeFile("\\Docs\\Old\\d.txt", "123");
    MakeFile("\\Other\\e.txt", "1234");
  }

  // Runs a search to its end, appending each batch to the panel as the frame does.
  void Search(const QString& strText, CListPanel* pPanel, int* pnBatches = nullptr) {
    results_->Start(strText, "\\");
    results_->running = true;
    pPanel->ShowListing(std::make_unique<CSearchListSource>(results_), {});
    bool bDone = false;
    QObject context;
    int nBatches = 0;
    CSearchRun run(
        strText, "\\", &context,
        [&](std::vector<CSearchResults::CResult>&& batch, quint64 uFolders) {
          ++nBatches;
          results_->foldersSearched = uFolders;
          const size_t uFirst = results_->Add(batch);
          CListEntries rows;
          results_->Rows(uFirst, &rows);
          pPanel->AppendEntries(&rows);
        },
        [&](bool bCompleted, quint64 uFolders) {
          EXPECT_TRUE(bCompleted);
          results_->running = false;
          results_->foldersSearched = uFolders;
          CListEntries none;
          pPanel->AppendEntries(&none);  // the status line without "Searching..."
          bDone = true;
        });
    QElapsedTimer timer;
    timer.start();
    while (!bDone && timer.elapsed() < 10000) QCoreApplication::processEvents();
    ASSERT_TRUE(bDone);
    if (pnBatches) *pnBatches = nBatches;
  }

  QStringList Column(const CListPanel& panel, int nColumn) const {
    QStringList cells;
    for (int nRow = 0; nRow < panel.rowCount(); ++nRow) cells << panel.CellText(nRow, nColumn);
    return cells;
  }

  // The program's store, the one a new listing (Refresh) of the results reads.
  std::shared_ptr<CSearchResults> results_ = collect::CurrentSearchResults();
};

TEST_F(SearchResultsTest, BatchesFillTheListWithNameFolderSizeAndDate) {
  CListPanel panel(ePanel_A, nullptr, {false, true});
  int nBatches = 0;
  Search("*.txt", &panel, &nBatches);
  EXPECT_GE(nBatches, 1);
  ASSERT_EQ(panel.rowCount(), 4);
  QStringList names = Column(panel, 0);
  names.sort();
  EXPECT_EQ(names, QStringList({"a.txt", "b.txt", "d.txt", "e.txt"}));
  // Name | Folder | Size | Date, sortable by each.
  panel.SortBy(0, false);
  EXPECT_EQ(Column(panel, 0), QStringList({"a.txt", "b.txt", "d.txt", "e.txt"}));
  EXPECT_EQ(Column(panel, 1), QStringList({"\\", "\\Docs", "\\Docs\\Old", "\\Other"}));
  panel.SortBy(2, false);  // largest first
  EXPECT_EQ(Column(panel, 0), QStringList({"a.txt", "e.txt", "d.txt", "b.txt"}));
  EXPECT_FALSE(panel.CellText(0, 3).isEmpty());
  EXPECT_EQ(panel.StatusText(), "Folders searched: 4, files found: 4");
  EXPECT_EQ(panel.Source()->LocationText(), "Search results: *.txt");
  // The rows are file items for the commands.
  const fileops::CSelection items = panel.Source()->Selection(panel.Entries(), {0, 1});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].strPath, "\\a.txt");
  EXPECT_EQ(items[0].nKind, fileops::eSelFile);
  EXPECT_TRUE(panel.Source()->Offers(EListCommand::eOpenContainingFolder));
  EXPECT_FALSE(panel.Source()->Offers(EListCommand::ePaste));
  // A batch that comes while the list is sorted by name is merged into that order.
  panel.SortBy(0, false);
  std::vector<CSearchResults::CResult> batch(2);
  batch[0].strPath = "\\Docs\\c.txt";
  batch[1].strPath = "\\0.txt";
  CListEntries rows;
  results_->Rows(results_->Add(batch), &rows);
  panel.AppendEntries(&rows);
  EXPECT_EQ(Column(panel, 0), QStringList({"0.txt", "a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}));
  panel.SortBy(0, true);  // Z to A
  EXPECT_EQ(Column(panel, 0).front(), "e.txt");
}

TEST_F(SearchResultsTest, RowsFollowDeletedAndRenamedItems) {
  CListPanel panel(ePanel_A, nullptr, {false, true});
  Search("*.txt", &panel);
  ASSERT_EQ(panel.rowCount(), 4);
  ASSERT_TRUE(QFile::remove(Host("\\a.txt")));
  fileops::NotifyItemRemoved("\\a.txt");
  ASSERT_TRUE(QFile::rename(Host("\\Docs\\b.txt"), Host("\\Docs\\b2.txt")));
  fileops::NotifyFileRenamed("\\Docs\\b.txt", "\\Docs\\b2.txt");
  panel.ApplyViewChanges();
  QStringList names = Column(panel, 0);
  names.sort();
  EXPECT_EQ(names, QStringList({"d.txt", "e.txt"}));
  // A folder holding results goes: the list is read again without them.
  ASSERT_TRUE(QDir(Host("\\Docs")).removeRecursively());
  fileops::NotifyFolderRemoved("\\Docs");
  panel.ApplyViewChanges();
  EXPECT_EQ(Column(panel, 0), QStringList({"e.txt"}));
  // A listing again (Refresh) does not bring gone items back.
  EXPECT_EQ(results_->Count(), 1u);
}

TEST_F(SearchResultsTest, ACancelEndsTheWalkAtItsNextEntry) {
  for (int i = 0; i < 50; ++i) MakeFile(QString("\\Many\\f%1.txt").arg(i));
  // A sink that cancels on its first result, as Stop does from another thread.
  class CCancellingSink final : public collect::IFSCollectSink {
   public:
    collect::CFSCollect* pEngine = nullptr;
    int count = 0;
    bool OnResult(const collect::SFSCResult&) override {
      ++count;
      pEngine->Cancel();
      return true;
    }
  } sink;
  collect::CFSCollect engine;
  sink.pEngine = &engine;
  EXPECT_FALSE(collect::RunSearch(&engine, "*.txt", &sink));
  EXPECT_EQ(sink.count, 1);
  EXPECT_TRUE(engine.IsStopped());

  // A run that is stopped and goes before it ends calls nothing afterwards.
  QObject context;
  bool bCalled = false;
  {
    CSearchRun run("*.txt", "\\", &context, [&](auto&&, quint64) { bCalled = true; },
                   [&](bool, quint64) { bCalled = true; });
    run.Stop();
  }
  QCoreApplication::processEvents();
  EXPECT_FALSE(bCalled);
}

}  // namespace
