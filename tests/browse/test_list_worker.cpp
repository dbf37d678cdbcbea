// CListWorker and the panel's use of it: the 30-slot stack, results that land on the right
// rows after a scroll and are dropped after a reload, folder totals that do not wrap at 4 GB
// and never walk a linked folder, and a clean end while a result is being delivered.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QSemaphore>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "browse/file_item.h"
#include "platform/folder_totals.h"
#include "browse/icon_indices.h"
#include "browse/icon_manager.h"
#include "browse/list_panel.h"
#include "browse/list_worker.h"
#include "core/settings.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Serves events (the worker's deliveries among them) until the condition holds.
bool WaitUntil(const std::function<bool()>& condition, int nMs = 20000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > nMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

bool WorkerIdle(CListPanel& panel) {
  // Idle twice in a row with events served between: a delivery in flight has landed.
  if (panel.Worker()->IsBusy()) return false;
  QCoreApplication::processEvents();
  return !panel.Worker()->IsBusy();
}

const CFileItem* Item(const CListPanel& panel, int nRow) {
  return panel.Entries().At(nRow)->ItemAs<CFileItem>();
}

class ListWorkerTest : public test::TempRoot {
 protected:
  void TearDown() override {
    settings = saved_;
    TempRoot::TearDown();
  }
  CSettings saved_ = settings;
};

TEST_F(ListWorkerTest, StackTakesTheLastAddedFirstAndDropsTheThirtyFirst) {
  CListWorker worker;
  QMutex mutex;
  QStringList order;
  CListWorker::CCalculators calculators = CListWorker::DefaultCalculators();
  calculators.icon = [&](const QString& path) {
    QMutexLocker lock(&mutex);
    order << path;
    return 1;
  };
  worker.SetCalculators(calculators);

  worker.SetPaused(true);
  for (int i = 0; i < CListWorker::kMaxOperations; ++i)
    EXPECT_TRUE(worker.AddIcons(i, i, 0, {{i, QString("p%1").arg(i)}}));
  EXPECT_FALSE(worker.AddIcons(30, 30, 0, {{30, "p30"}}));
  EXPECT_EQ(worker.PendingCount(), 30);
  QThread::msleep(50);
  {
    QMutexLocker lock(&mutex);
    EXPECT_TRUE(order.isEmpty());  // a paused worker starts nothing
  }
  worker.SetPaused(false);
  worker.Resume();
  ASSERT_TRUE(WaitUntil([&] { return !worker.IsBusy(); }));
  QStringList expected;
  for (int i = 29; i >= 0; --i) expected << QString("p%1").arg(i);
  EXPECT_EQ(order, expected);

  // Cleared operations never run; an operation of another generation is abandoned.
  order.clear();
  worker.SetPaused(true);
  worker.AddIcons(0, 0, 0, {{0, "cleared"}});
  worker.Clear();
  worker.AddIcons(0, 0, 7, {{0, "stale"}});
  worker.SetPaused(false);
  ASSERT_TRUE(WaitUntil([&] { return !worker.IsBusy(); }));
  EXPECT_TRUE(order.isEmpty());
}

TEST_F(ListWorkerTest, IconsOfTheRowsOnScreenLandOnTheirRowsAfterAScroll) {
  for (int i = 0; i < 100; ++i)
    MakeFile(QString("\\Big\\f%1.%2").arg(i, 3, 10, QChar('0')).arg(i % 2 ? "enc" : "txt"), "x");
  CListPanel panel(ePanel_A);
  ASSERT_TRUE(panel.LoadFolder("\\Big", true, false));
  ASSERT_TRUE(WaitUntil([&] { return WorkerIdle(panel); }));
  // The first page (rows 0 to 20; row 0 is "..") has its icons, the rest waits.
  EXPECT_NE(Item(panel, 20)->iconIndex, -1);
  EXPECT_EQ(Item(panel, 21)->iconIndex, -1);
  EXPECT_EQ(panel.data(panel.index(40, 0), CListPanel::eRole_IconIndex).toInt(), eIcon_Unknown);

  panel.SetVisibleRows(60, 69);
  ASSERT_TRUE(WaitUntil([&] { return WorkerIdle(panel); }));
  for (int nRow = 21; nRow <= 100; ++nRow) {
    const bool bShown = nRow >= 60 && nRow <= 69;
    const int nIcon = Item(panel, nRow)->iconIndex;
    if (!bShown) {
      EXPECT_EQ(nIcon, -1) << nRow;
      continue;
    }
    const QString path = panel.data(panel.index(nRow, 0), CListPanel::eRole_FullPath).toString();
    EXPECT_EQ(nIcon, AppIconManager().IconForFile(path)) << nRow;
    EXPECT_EQ(nIcon == eIcon_EncryptedFile, path.endsWith(".enc")) << nRow;
  }
}

TEST_F(ListWorkerTest, ResultsForTheListingBeforeAReloadAreDropped) {
  for (int i = 0; i < 5; ++i) {
    MakeFile(QString("\\A\\a%1.txt").arg(i), "x");
    MakeFile(QString("\\B\\b%1.txt").arg(i), "x");
  }
  CListPanel panel(ePanel_A);
  std::atomic<bool> entered{false};
  QSemaphore gate;
  CListWorker::CCalculators calculators = CListWorker::DefaultCalculators();
  calculators.icon = [&](const QString& path) {
    if (!path.startsWith("\\A\\")) return 555;
    entered = true;
    gate.tryAcquire(1, 20000);
    return 777;
  };
  panel.Worker()->SetCalculators(calculators);

  ASSERT_TRUE(panel.LoadFolder("\\A", true, false));
  ASSERT_TRUE(WaitUntil([&] { return entered.load(); }));
  ASSERT_TRUE(panel.LoadFolder("\\B", true, false));  // same rows, other entries
  gate.release(100);
  ASSERT_TRUE(WaitUntil([&] { return WorkerIdle(panel); }));
  ASSERT_EQ(panel.rowCount(), 6);
  for (int nRow = 1; nRow < 6; ++nRow) EXPECT_EQ(Item(panel, nRow)->iconIndex, 555) << nRow;

  // The handlers check for themselves: results of an older generation, for a row that does
  // not exist, or for an entry of another type change nothing.
  const quint64 uNow = panel.Generation();
  std::unique_ptr<QThread> sender(QThread::create([&] {
    emit panel.Worker()->iconReady(uNow - 1, 1, 777);
    emit panel.Worker()->iconReady(uNow, 6, 777);
    emit panel.Worker()->iconReady(uNow, 0, 777);            // ".."
    emit panel.Worker()->folderSizeReady(uNow, 1, 99);       // a file, not a folder
    emit panel.Worker()->iconReady(uNow, 2, 778);            // this one applies
  }));
  sender->start();
  ASSERT_TRUE(WaitUntil([&] { return sender->isFinished(); }));
  EXPECT_EQ(Item(panel, 1)->iconIndex, 555);
  EXPECT_EQ(Item(panel, 1)->size, 1u);
  EXPECT_EQ(Item(panel, 0)->iconIndex, settings.PersonalizeFolderIcons == 1 ? 13 : 2);
  EXPECT_EQ(Item(panel, 2)->iconIndex, 778);
}

TEST_F(ListWorkerTest, AScrollDropsQueuedFolderTotalsWhileTheRunningOperationCompletes) {
  for (int i = 0; i < 3; ++i) MakeFile(QString("\\S\\dir%1\\x.txt").arg(i), "x");
  for (int i = 0; i < 40; ++i) MakeFile(QString("\\S\\f%1.txt").arg(i, 2, 10, QChar('0')), "x");
  CListPanel panel(ePanel_A);
  std::atomic<bool> entered{false};
  std::atomic<int> totals{0};
  QSemaphore gate;
  CListWorker::CCalculators calculators = CListWorker::DefaultCalculators();
  calculators.icon = [&](const QString&) {
    if (!entered.exchange(true)) gate.tryAcquire(1, 20000);
    return 21;
  };
  calculators.folderSize = [&](const QString&, quint64* puTotal, const std::function<bool()>&) {
    ++totals;
    *puTotal = 1234;
    return true;
  };
  panel.Worker()->SetCalculators(calculators);

  ASSERT_TRUE(panel.LoadFolder("\\S", true, false));  // queues totals, then icons 0..20
  ASSERT_TRUE(WaitUntil([&] { return entered.load(); }));  // icons run first
  panel.SetVisibleRows(30, 39);
  gate.release();
  ASSERT_TRUE(WaitUntil([&] { return WorkerIdle(panel); }));

  EXPECT_EQ(totals, 0);  // the queued totals went with the queue
  for (int nRow = 4; nRow <= 43; ++nRow) {
    const bool bServed = nRow <= 20 || (nRow >= 30 && nRow <= 39);
    EXPECT_EQ(Item(panel, nRow)->iconIndex, bServed ? 21 : -1) << nRow;
  }
}

TEST_F(ListWorkerTest, FolderTotalsAreSixtyFourBitAndNeverWalkALinkedFolder) {
  MakeFile("\\T\\sub\\a.bin", QByteArray(100, 'x'));
  MakeFile("\\T\\sub\\deep\\b.bin", QByteArray(250, 'x'));
  MakeFile("\\T\\loop\\c.bin", QByteArray(7, 'x'));
  ASSERT_TRUE(QFile::link(Host("\\T"), Host("\\T\\loop\\back")));  // a link up the tree
  ASSERT_TRUE(QFile::link(Host("\\T\\sub"), Host("\\T\\linked")));
  ASSERT_TRUE(QFile::link(Host("\\T\\sub\\a.bin"), Host("\\T\\loop\\file-link")));
  MakeFolder("\\T\\big");
  QFile big(Host("\\T\\big\\five.bin"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(5LL << 30));
  big.close();

  CFolderTotals totals;
  ASSERT_TRUE(plat::ComputeFolderTotals("\\T", &totals));
  EXPECT_EQ(totals.bytes, (quint64(5) << 30) + 100 + 250 + 7 + 100);  // file link: its target
  EXPECT_EQ(totals.files, 5u);
  EXPECT_EQ(totals.folders, 4u);  // sub, deep, loop, big; never the links
  EXPECT_FALSE(plat::ComputeFolderTotals("\\T\\linked", &totals));
  EXPECT_FALSE(plat::ComputeFolderTotals("\\T\\missing", &totals));
  int nAsked = 0;
  EXPECT_FALSE(plat::ComputeFolderTotals("\\T", &totals, [&] { return ++nAsked > 2; }));

  CListPanel panel(ePanel_A);
  ASSERT_TRUE(panel.LoadFolder("\\T", true, false));
  ASSERT_TRUE(WaitUntil([&] { return WorkerIdle(panel); }));
  QStringList rows;
  for (int nRow = 1; nRow < panel.rowCount(); ++nRow)
    rows << panel.CellText(nRow, 0) + "=" + panel.CellText(nRow, 1);
  EXPECT_EQ(rows, QStringList({"big=5.00 GB", "linked=", "loop=0.10 KB", "sub=0.34 KB"}));
  EXPECT_FALSE(Item(panel, 2)->HasSize());

  settings.ShowFolderTotalSizes = 0;
  ASSERT_TRUE(panel.LoadFolder("\\T", true, false));
  ASSERT_TRUE(WaitUntil([&] { return WorkerIdle(panel); }));
  EXPECT_FALSE(Item(panel, 1)->HasSize());
  EXPECT_EQ(panel.CellText(1, 1), "");
}

TEST_F(ListWorkerTest, WithoutAWorkerIconsAreComputedWhenFirstShown) {
  MakeFile("\\I\\secret.enc", "x");
  CListPanel without(ePanel_B, nullptr, {.bWorker = false});
  ASSERT_TRUE(without.LoadFolder("\\I", true, false));
  EXPECT_EQ(without.Worker(), nullptr);
  EXPECT_EQ(without.data(without.index(1, 0), CListPanel::eRole_IconIndex).toInt(),
            eIcon_EncryptedFile);
  EXPECT_EQ(Item(without, 1)->iconIndex, eIcon_EncryptedFile);
}

TEST_F(ListWorkerTest, DestroyingThePanelWhileAResultWaitsForDeliveryEndsCleanly) {
  for (int i = 0; i < 20; ++i) MakeFile(QString("\\D\\dir%1\\x.txt").arg(i), "x");
  std::atomic<int> started{0};
  {
    CListPanel panel(ePanel_A);
    CListWorker::CCalculators calculators = CListWorker::DefaultCalculators();
    calculators.folderSize = [&](const QString&, quint64* puTotal,
                                 const std::function<bool()>& fnStop) {
      ++started;
      for (int i = 0; i < 100 && !fnStop(); ++i) QThread::msleep(1);
      *puTotal = 1;
      return !fnStop();
    };
    panel.Worker()->SetCalculators(calculators);
    ASSERT_TRUE(panel.LoadFolder("\\D", true, false));
    // No events are served here: the worker's first total waits for delivery.
    ASSERT_TRUE(WaitUntil([&] { return started.load() > 0; }));
    QThread::msleep(150);
  }
  EXPECT_LT(started.load(), 20);  // the rest was abandoned
}

}  // namespace
