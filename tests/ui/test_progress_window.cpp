// The desktop progress window: its lines, Cancel pressed while an operation loops on the
// user-interface thread, and the bound on repaints and event passes over many small updates.
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "fileops/progress_estimate.h"
#include "ui/progress_window.h"

namespace {

// Counts the paint events a widget receives.
class CPaintCounter : public QObject {
 public:
  int nPaints = 0;
  bool eventFilter(QObject* pObject, QEvent* pEvent) override {
    if (pEvent->type() == QEvent::Paint) ++nPaints;
    return QObject::eventFilter(pObject, pEvent);
  }
};

// Lets the throttle interval pass, so that the next report reaches the screen.
void WaitForRefresh() { QTest::qWait(CDesktopProgressWindow::kRefreshIntervalMs + 20); }

TEST(DesktopProgressWindow, ShowsItsLines) {
  settings.PrgCtrl_Show_Total_Time = 0;
  settings.PrgCtrl_Show_Status = 1;
  CDesktopProgressWindow window(fileops::eProgressMulti, fileops::IDI_PROGRESS_COPY_1,
                                fileops::IDI_PROGRESS_COPY_2);
  EXPECT_EQ(window.Dialog(), nullptr);  // nothing before Show()
  window.SetTitle("File copy");
  window.SetCaption("Recursive multiple item copy in progress");
  window.SetFileLine("a.txt, 1 of 2");
  window.SetFromLine("\\Docs");
  window.SetToLine("\\Backup");
  window.SetRange(0, 400);
  window.SetPos(0);
  window.Show();
  CProgressDialog* pDialog = window.Dialog();
  ASSERT_NE(pDialog, nullptr);
  EXPECT_TRUE(pDialog->isVisible());
  EXPECT_TRUE(pDialog->isModal());
  EXPECT_EQ(pDialog->windowTitle(), "File copy");
  EXPECT_EQ(pDialog->CaptionLabel()->text(), "Recursive multiple item copy in progress");
  EXPECT_EQ(pDialog->FileLabel()->text(), "File:");
  EXPECT_EQ(pDialog->FileText()->text(), "a.txt, 1 of 2");
  EXPECT_EQ(pDialog->FromText()->text(), "\\Docs");
  EXPECT_EQ(pDialog->ToLabel()->text(), "To:");
  EXPECT_EQ(pDialog->ToText()->text(), "\\Backup");
  EXPECT_EQ(pDialog->LeftLabel()->text(), fileops::TimeLeftText(0xFFFFFFFF));
  EXPECT_TRUE(pDialog->TotalLabel()->isHidden());  // PrgCtrl_Show_Total_Time is 0

  WaitForRefresh();
  window.SetLineLabels("File:", "From:", "Size:");
  window.SetItemRange(0, 100);
  window.SetItemPos(50);
  window.SetItemStatus("Copied 50 of 100 bytes...");
  window.SetStatus("Copied 0 files from 2 total.");
  window.ShowCancel(false);
  WaitForRefresh();
  window.SetPos(100);  // a quarter of the run; this report is the one drawn
  EXPECT_EQ(pDialog->ToLabel()->text(), "Size:");
  EXPECT_EQ(pDialog->ItemBar()->value() * 2, pDialog->ItemBar()->maximum());
  EXPECT_EQ(pDialog->Bar()->value() * 4, pDialog->Bar()->maximum());
  EXPECT_EQ(pDialog->ItemStatusLabel()->text(), "Copied 50 of 100 bytes...");
  EXPECT_EQ(pDialog->StatusLabel()->text(), "Copied 0 files from 2 total.");
  EXPECT_TRUE(pDialog->CancelButton()->isHidden());
  EXPECT_TRUE(pDialog->PassedLabel()->text().startsWith("Passed: "));
  EXPECT_NE(pDialog->PassedLabel()->text(), fileops::TimePassedText(0xFFFFFFFF));

  window.Close();
  EXPECT_EQ(window.Dialog(), nullptr);
}

TEST(DesktopProgressWindow, CancelDuringALoopOnTheUserInterfaceThread) {
  for (const bool bEscape : {false, true}) {
    SCOPED_TRACE(bEscape ? "Escape" : "Cancel button");
    CDesktopProgressWindow window(fileops::eProgressSingle, 359, 360);
    window.SetRange(0, 1000000);
    window.Show();
    CProgressDialog* pDialog = window.Dialog();
    ASSERT_NE(pDialog, nullptr);
    // The press arrives as an event; only the window's own event passes can deliver it.
    QTimer::singleShot(150, pDialog, [pDialog, bEscape] {
      if (bEscape) {
        QTest::keyClick(pDialog, Qt::Key_Escape);
      } else {
        QTest::mouseClick(pDialog->CancelButton(), Qt::LeftButton);
      }
    });
    QElapsedTimer timer;
    timer.start();
    quint64 uPos = 0;
    while (!window.IsCancelled() && timer.elapsed() < 5000) window.SetPos(++uPos);
    EXPECT_TRUE(window.IsCancelled());
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(pDialog->isVisible());  // the operation closes the window, not the press
    window.SetPos(uPos + 1);
    EXPECT_TRUE(window.IsCancelled());  // never cleared
  }
}

TEST(DesktopProgressWindow, ManyUpdatesRepaintByTime) {
  CDesktopProgressWindow window(fileops::eProgressMulti, 476, 477);
  window.SetRange(0, 10000);
  window.Show();
  CPaintCounter counter;
  window.Dialog()->Bar()->installEventFilter(&counter);
  const int nPassesAtStart = window.EventPasses();

  // 10,000 small files, each reported as a new file line, item range, position and texts,
  // spread over about half a second.
  QElapsedTimer timer;
  timer.start();
  for (int i = 1; i <= 10000; ++i) {
    window.SetFileLine(QStringLiteral("file%1.txt").arg(i));
    window.SetItemRange(0, 10);
    window.SetItemPos(10);
    window.SetPos(i);
    window.SetStatus(QStringLiteral("Deleted %1 files from 10000 total.").arg(i));
    QElapsedTimer work;
    work.start();
    while (work.nsecsElapsed() < 50000) {
    }
  }
  const qint64 nElapsedMs = timer.elapsed();
  const int nPasses = window.EventPasses() - nPassesAtStart;
  const int nBound = int(nElapsedMs / CDesktopProgressWindow::kRefreshIntervalMs) + 1;
  EXPECT_GE(nPasses, 2) << "the window must keep serving events during the run";
  EXPECT_LE(nPasses, nBound) << nElapsedMs << " ms";
  EXPECT_LE(counter.nPaints, nPasses + 1);
}

}  // namespace
