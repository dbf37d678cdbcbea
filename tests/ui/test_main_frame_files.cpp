// The file commands of the main frame between its two panels, driven as a user drives them:
// menu entries, context menus and the function keys (F5 copy, F6 move, F7 new folder), with
// the real desktop progress window, whose Cancel button stops a run.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTreeView>

#include <gtest/gtest.h>

#include "browse/folder_tree.h"
#include "core/message_box.h"
#include "platform/fault_injection.h"
#include "support/scripted_message_box.h"
#include "ui/progress_window.h"
#include "ui/tree_view.h"

#include "main_frame_fixture.h"

namespace {

// Watches for the desktop progress window and clicks its Cancel button the first time its bar
// moves past zero, that is in the middle of a run.
class CCancelPresser : public QObject {
 public:
  CCancelPresser() { QApplication::instance()->installEventFilter(this); }
  ~CCancelPresser() override { QApplication::instance()->removeEventFilter(this); }
  bool bSawWindow = false;
  bool bPressed = false;

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    auto* pDialog = qobject_cast<CProgressDialog*>(pWatched);
    if (pDialog && pEvent->type() == QEvent::Show && !bSawWindow) {
      bSawWindow = true;
      QObject::connect(pDialog->Bar(), &QProgressBar::valueChanged, pDialog, [this, pDialog](int nValue) {
        if (bPressed || nValue <= 0 || !pDialog->CancelButton()->isVisible()) return;
        bPressed = true;
        QTest::mouseClick(pDialog->CancelButton(), Qt::LeftButton);
      });
    }
    return false;
  }
};

class MainFrameFilesTest : public MainFrameTest {
 protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    settings.MainViewConfig = 2;  // the two lists side by side
    settings.MainViewActive = 3;
  }
  // Starts with panel A on strA and panel B on strB, list A active.
  void StartOn(const QString& strA, const QString& strB) {
    StartFrame();
    frame_->List(ePanel_A).LoadFolder(strA, true, true);
    frame_->List(ePanel_B).LoadFolder(strB, true, true);
    ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  }
  // The entry of a menu of the menu bar, found by the texts the user reads.
  QAction* MenuEntry(const QString& strMenu, const QString& strLabel) {
    for (QAction* pMenuAction : frame_->menuBar()->actions()) {
      if (pMenuAction->text().remove('&') != strMenu || !pMenuAction->menu()) continue;
      for (QAction* pEntry : pMenuAction->menu()->actions())
        if (pEntry->text() == strLabel) return pEntry;
    }
    return nullptr;
  }
  void SelectRows(EPanelId ePanel, std::initializer_list<const char*> names) {
    CListView* pView = frame_->ListView(ePanel);
    pView->Selection()->clearSelection();
    for (const char* name : names) {
      const int nRow = RowOf(ePanel, name);
      ASSERT_GE(nRow, 0) << name;
      pView->Selection()->select(frame_->List(ePanel).index(nRow, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  CDesktopProgressFactory progressUi_;
  fileops::CScopedProgressFactory installProgress_{&progressUi_};
};

TEST_F(MainFrameFilesTest, CopyThroughTheMenuShowsTheFileInTheOtherPanel) {
  test::CScriptedMessageBox box;
  StartOn("\\Docs", "\\Music");
  FocusRow(ePanel_A, "a.txt");
  QAction* pEntry = MenuEntry("File", "Copy to other panel");
  ASSERT_NE(pEntry, nullptr);
  EXPECT_EQ(pEntry->shortcut(), QKeySequence(Qt::Key_F5));
  ASSERT_TRUE(pEntry->isEnabled());
  pEntry->trigger();
  EXPECT_EQ(ReadHost("\\Music\\a.txt"), "text");
  EXPECT_EQ(ReadHost("\\Docs\\a.txt"), "text");
  // Panel B lists it at once, without a refresh.
  EXPECT_GE(RowOf(ePanel_B, "a.txt"), 0);
  // A second copy meets the file: the operation's own question; No keeps the file alone.
  MakeFile("\\Docs\\a.txt", "changed");
  box.QueueAnswer(eMsgAnsNo);
  pEntry->trigger();
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(ReadHost("\\Music\\a.txt"), "text");

  // Move through the menu: the file leaves panel A and appears in panel B.
  FocusRow(ePanel_A, "b.zip");
  QAction* pMove = MenuEntry("File", "Move to other panel");
  ASSERT_NE(pMove, nullptr);
  EXPECT_EQ(pMove->shortcut(), QKeySequence(Qt::Key_F6));
  pMove->trigger();
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));
  EXPECT_TRUE(ExistsHost("\\Music\\b.zip"));
  EXPECT_EQ(RowOf(ePanel_A, "b.zip"), -1);
  EXPECT_GE(RowOf(ePanel_B, "b.zip"), 0);

  // Outside the file system there is no folder to copy into.
  frame_->Tree(ePanel_B).SelectRegistryTop();
  ASSERT_EQ(frame_->List(ePanel_B).SourceKind(), DWORD(ePanelSrc_Registry));
  EXPECT_FALSE(frame_->Action(eCmd_CopyToOther)->isEnabled());
  EXPECT_FALSE(frame_->Action(eCmd_MoveToOther)->isEnabled());
}

TEST_F(MainFrameFilesTest, CancelInTheProgressWindowStopsTheCopy) {
  test::CScriptedMessageBox box;
  // A run long enough for several refreshes of the window: 12 files of 1 MiB, each write of
  // a 256 KiB chunk slowed down by 5 ms through the file layer's observer.
  const QByteArray chunk(1 << 20, 'x');
  constexpr int kFiles = 12;
  for (int i = 0; i < kFiles; ++i)
    MakeFile(QStringLiteral("\\Big\\f%1.bin").arg(i, 2, 10, QChar('0')), chunk);
  plat::CFaultInjector::SetObserver([](const plat::CFileOpEvent& event) {
    if (event.op == plat::EFaultOp::eFaultWrite) QThread::msleep(5);
  });
  struct CResetInjector {
    ~CResetInjector() { plat::CFaultInjector::Reset(); }
  } resetInjector;
  StartOn("\\", "\\Music");
  FocusRow(ePanel_A, "Big");
  // Presses Cancel in the progress window once its bar shows that data has been copied.
  CCancelPresser presser;
  QTest::keyClick(Focused(ePanel_A), Qt::Key_F5);
  ASSERT_TRUE(presser.bSawWindow);
  ASSERT_TRUE(presser.bPressed);
  // The run stopped: not every file arrived, and every file that is there is complete.
  const QFileInfoList copied =
      QDir(Host("\\Music\\Big")).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
  EXPECT_LT(copied.size(), kFiles);
  for (const QFileInfo& info : copied) EXPECT_EQ(info.size(), chunk.size()) << info.fileName().toStdString();
  // Cancel is not an error: no box said anything.
  EXPECT_TRUE(box.Calls().empty());
  // The window is gone and the sources are all there.
  for (QWidget* pTop : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<CProgressDialog*>(pTop) && pTop->isVisible());
  EXPECT_EQ(QDir(Host("\\Big")).entryList(QDir::Files).size(), kFiles);
}

TEST_F(MainFrameFilesTest, FunctionKeysCopyMoveAndMakeFolders) {
  test::CScriptedMessageBox box;
  StartOn("\\Docs", "\\Music");
  // F7: a new folder in the active list's folder, focused.
  QTest::keyClick(Focused(ePanel_A), Qt::Key_F7);
  const int nNew = frame_->ListView(ePanel_A)->CurrentRow();
  ASSERT_GE(nNew, 0);
  const QString strNew = frame_->List(ePanel_A).CellText(nNew, 0);
  EXPECT_TRUE(QFileInfo(Host("\\Docs\\" + strNew)).isDir()) << strNew.toStdString();

  // F5 with two selected entries: both copied into panel B's folder.
  SelectRows(ePanel_A, {"a.txt", "Sub1"});
  QTest::keyClick(Focused(ePanel_A), Qt::Key_F5);
  EXPECT_EQ(ReadHost("\\Music\\a.txt"), "text");
  EXPECT_TRUE(QFileInfo(Host("\\Music\\Sub1")).isDir());
  EXPECT_GE(RowOf(ePanel_B, "Sub1"), 0);
  EXPECT_TRUE(ExistsHost("\\Docs\\a.txt"));

  // F6 from panel B back to panel A: a move. The frame is the active window again once the
  // progress window has gone.
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  EXPECT_TRUE(Focused(ePanel_A)->hasFocus());
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Tab);
  ASSERT_EQ(frame_->ActiveView(), int(eView_ListB));
  MakeFile("\\Music\\song.mp3", "la");
  frame_->Refresh();
  FocusRow(ePanel_B, "song.mp3");
  QTest::keyClick(Focused(ePanel_B), Qt::Key_F6);
  EXPECT_EQ(ReadHost("\\Docs\\song.mp3"), "la");
  EXPECT_FALSE(ExistsHost("\\Music\\song.mp3"));
  EXPECT_EQ(RowOf(ePanel_B, "song.mp3"), -1);
  EXPECT_GE(RowOf(ePanel_A, "song.mp3"), 0);

  // F5 in a tree copies its selected folder.
  settings.MainViewConfig = 9;
  frame_->SetLayout(9);
  ASSERT_TRUE(frame_->SetActiveView(eView_TreeA));
  frame_->Tree(ePanel_A).SelectFolder("\\Docs\\Sub2");
  ASSERT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\Music");
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  QTest::keyClick(frame_->TreeView(ePanel_A), Qt::Key_F5);
  EXPECT_TRUE(QFileInfo(Host("\\Music\\Sub2")).isDir());
  EXPECT_TRUE(QFileInfo(Host("\\Docs\\Sub2")).isDir());
  // The device root itself is never copied.
  frame_->Tree(ePanel_A).SelectFolder("\\");
  EXPECT_FALSE(frame_->Action(eCmd_CopyToOther)->isEnabled());
  EXPECT_TRUE(box.Calls().empty());
}

TEST_F(MainFrameFilesTest, ShredFromTheContextMenusAsksAndRemoves) {
  test::CScriptedMessageBox box;
  MakeFile("\\Docs\\c.txt", "secret");
  MakeFile("\\Docs\\Sub1\\inner.txt", "more");
  StartOn("\\Docs", "\\Music");
  QAction* pShred = frame_->Action(eCmd_Shred);
  ASSERT_NE(pShred, nullptr);
  EXPECT_TRUE(frame_->ListView(ePanel_A)->DetailsView()->actions().contains(pShred));
  EXPECT_TRUE(frame_->TreeView(ePanel_A)->actions().contains(pShred));
  EXPECT_EQ(MenuEntry("File", "Shred"), pShred);

  // One file: the shredder's own question; No keeps it, Yes shreds it.
  FocusRow(ePanel_A, "a.txt");
  box.QueueAnswer(eMsgAnsNo);
  pShred->trigger();
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strText, "Are you sure you want to permanently delete file \"a.txt\"?");
  EXPECT_TRUE(ExistsHost("\\Docs\\a.txt"));
  box.QueueAnswer(eMsgAnsYes);
  pShred->trigger();
  EXPECT_FALSE(ExistsHost("\\Docs\\a.txt"));
  EXPECT_EQ(RowOf(ePanel_A, "a.txt"), -1);

  // Several items: one question for all of them, No as its default.
  SelectRows(ePanel_A, {"b.zip", "c.txt", "Sub1"});
  box.QueueAnswer(eMsgAnsNo);
  pShred->trigger();
  ASSERT_EQ(box.Calls().size(), 3u);
  EXPECT_EQ(box.Calls()[2].strText,
            "Are you sure you want to permanently delete these 3 items?");
  EXPECT_EQ(box.Calls()[2].nDefaultAnswer, int(eMsgAnsNo));
  EXPECT_TRUE(ExistsHost("\\Docs\\c.txt"));
  EXPECT_TRUE(ExistsHost("\\Docs\\Sub1\\inner.txt"));
  box.QueueAnswer(eMsgAnsYes);
  pShred->trigger();
  EXPECT_EQ(box.Calls().size(), 4u);
  for (const char* gone : {"\\Docs\\b.zip", "\\Docs\\c.txt", "\\Docs\\Sub1"})
    EXPECT_FALSE(ExistsHost(gone)) << gone;
  EXPECT_EQ(RowOf(ePanel_A, "c.txt"), -1);
  EXPECT_EQ(RowOf(ePanel_A, "Sub1"), -1);

  // A folder selected in a tree: the folder question.
  frame_->SetLayout(9);
  ASSERT_TRUE(frame_->SetActiveView(eView_TreeB));
  frame_->Tree(ePanel_B).SelectFolder("\\Docs\\Sub2");
  box.QueueAnswer(eMsgAnsYes);
  pShred->trigger();
  ASSERT_EQ(box.Calls().size(), 5u);
  EXPECT_EQ(box.Calls()[4].strText,
            "Are you sure you want to permanently delete folder \"Sub2\" and all its contents?");
  EXPECT_FALSE(ExistsHost("\\Docs\\Sub2"));
}

}  // namespace
