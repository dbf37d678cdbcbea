// The file commands of the main frame between its two panels, driven as a user drives them:
// menu entries, context menus and the function keys (F5 copy, F6 move, F7 new folder), with
// the real desktop progress window, whose Cancel button stops a run.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QLineEdit>
#include <QMenuBar>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

#include "browse/folder_tree.h"
#include "core/message_box.h"
#include "platform/fault_injection.h"
#include "support/scripted_message_box.h"
#include "ui/enc_dialogs.h"
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

// Reads the entries of the next context menu that opens, then closes it.
class CMenuReader : public QObject {
 public:
  CMenuReader() { QApplication::instance()->installEventFilter(this); }
  ~CMenuReader() override { QApplication::instance()->removeEventFilter(this); }
  QStringList entries;

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    auto* pMenu = qobject_cast<QMenu*>(pWatched);
    if (!pMenu || pEvent->type() != QEvent::Show) return false;
    entries.clear();
    for (QAction* pAction : pMenu->actions())
      if (!pAction->isSeparator()) entries << pAction->text();
    QTimer::singleShot(0, pMenu, &QMenu::close);
    return false;
  }
};

// Opens the context menu of a view as a right click does, and gives its entries.
QStringList ContextMenuOf(QAbstractItemView* pView) {
  CMenuReader reader;
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                          pView->viewport()->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(pView->viewport(), &event);
  return reader.entries;
}

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
  EXPECT_TRUE(frame_->ContextMenuActions(eView_ListA).contains(pShred));
  EXPECT_TRUE(frame_->ContextMenuActions(eView_TreeA).contains(pShred));
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

TEST_F(MainFrameFilesTest, DeleteRecyclesAndTheBinRestoresAndPurges) {
  test::CScriptedMessageBox box;
  settings.MainViewConfig = 9;  // all four views
  ASSERT_EQ(settings.UseRecycleBin, 1u);
  StartOn("\\Docs", "\\Music");
  // The Delete key moves the focused file into the bin after the delete question.
  FocusRow(ePanel_A, "a.txt");
  box.QueueAnswer(eMsgAnsYes);
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Delete);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strText, "Are you sure you want to delete file \"a.txt\"?");
  EXPECT_FALSE(ExistsHost("\\Docs\\a.txt"));
  EXPECT_EQ(RowOf(ePanel_A, "a.txt"), -1);
  const QStringList containers =
      QDir(Host(settings.RecycleBinPath)).entryList({"*.trb"}, QDir::Files | QDir::Hidden);
  EXPECT_EQ(containers.size(), 1);

  // The "Recycle Bin" node of panel B's tree lists it.
  CFolderTree& tree = frame_->Tree(ePanel_B);
  frame_->TreeView(ePanel_B)->setCurrentIndex(tree.Model()->RecycleBinIndex());
  CListPanel& bin = frame_->List(ePanel_B);
  ASSERT_EQ(bin.SourceKind(), DWORD(ePanelSrc_RecycleBin));
  ASSERT_EQ(bin.rowCount(), 1);
  EXPECT_EQ(bin.CellText(0, 0), "a.txt");
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  EXPECT_EQ(frame_->AddressText(), "Recycle Bin");
  // Its context menu offers Restore and "Delete for good", not the commands of files.
  EXPECT_EQ(ContextMenuOf(frame_->ListView(ePanel_B)->DetailsView()),
            QStringList({"Restore", "Delete for good", "Select all", "Refresh"}));
  EXPECT_TRUE(ContextMenuOf(frame_->ListView(ePanel_A)->DetailsView()).contains("Shred"));
  EXPECT_TRUE(ContextMenuOf(frame_->TreeView(ePanel_A)).contains("Shred"));
  EXPECT_EQ(frame_->ActiveView(), int(eView_TreeA));  // the view clicked is the active one
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  const QList<QAction*> menu = frame_->ContextMenuActions(eView_ListB);
  EXPECT_TRUE(menu.contains(frame_->Action(eCmd_Restore)));
  EXPECT_TRUE(menu.contains(frame_->Action(eCmd_DeleteForGood)));
  EXPECT_FALSE(menu.contains(frame_->Action(eCmd_Shred)));
  EXPECT_EQ(frame_->Action(eCmd_DeleteForGood)->text(), "Delete for good");

  // Restore brings it back to its folder, and panel A shows it again.
  FocusRow(ePanel_B, "a.txt");
  ASSERT_TRUE(frame_->Action(eCmd_Restore)->isEnabled());
  frame_->Action(eCmd_Restore)->trigger();
  EXPECT_EQ(ReadHost("\\Docs\\a.txt"), "text");
  EXPECT_GE(RowOf(ePanel_A, "a.txt"), 0);
  EXPECT_EQ(bin.rowCount(), 0);

  // F8 recycles too; in the bin the Delete key deletes for good after its question.
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  FocusRow(ePanel_A, "b.zip");
  box.QueueAnswer(eMsgAnsYes);
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  QTest::keyClick(Focused(ePanel_A), Qt::Key_F8);
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));
  ASSERT_EQ(bin.rowCount(), 1);
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  FocusRow(ePanel_B, "b.zip");
  box.QueueAnswer(eMsgAnsNo);
  QTest::keyClick(Focused(ePanel_B), Qt::Key_Delete);
  EXPECT_EQ(bin.rowCount(), 1);  // No keeps it
  box.QueueAnswer(eMsgAnsYes);
  frame_->Action(eCmd_DeleteForGood)->trigger();
  EXPECT_EQ(bin.rowCount(), 0);
  EXPECT_TRUE(QDir(Host(settings.RecycleBinPath)).entryList({"*.trb"}, QDir::Files).isEmpty());
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));

  // Without UseRecycleBin, Delete deletes for good: nothing lands in the bin.
  settings.UseRecycleBin = 0;
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  FocusRow(ePanel_A, "Sub1");
  box.QueueAnswer(eMsgAnsYes);
  frame_->Action(eCmd_Delete)->trigger();
  EXPECT_FALSE(ExistsHost("\\Docs\\Sub1"));
  EXPECT_EQ(bin.rowCount(), 0);
  EXPECT_EQ(RowOf(ePanel_A, "Sub1"), -1);
}

// Fills the desktop's password dialog when it opens and confirms it with its OK button.
class CPasswordTyper : public QObject {
 public:
  CPasswordTyper() { QApplication::instance()->installEventFilter(this); }
  ~CPasswordTyper() override { QApplication::instance()->removeEventFilter(this); }
  QString strPassword = "correct horse";
  bool bDeleteSource = true;
  int nDialogs = 0;

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    auto* pDialog = qobject_cast<CDlg_FilePassword*>(pWatched);
    if (!pDialog || pEvent->type() != QEvent::Show) return false;
    ++nDialogs;
    // Typed once the dialog's own loop runs.
    QTimer::singleShot(0, pDialog, [this, pDialog] {
      pDialog->PasswordEdit()->setText(strPassword);
      if (pDialog->ConfirmEdit()) pDialog->ConfirmEdit()->setText(strPassword);
      pDialog->DeleteBox()->setChecked(bDeleteSource);
      pDialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    return false;
  }
};

TEST_F(MainFrameFilesTest, EncryptThroughTheMenuAndDecryptByOpening) {
  test::CScriptedMessageBox box;
  StartOn("\\Docs", "\\Music");
  CPasswordTyper typer;
  FocusRow(ePanel_A, "a.txt");
  QAction* pEncrypt = MenuEntry("File", "Encrypt");
  ASSERT_NE(pEncrypt, nullptr);
  ASSERT_TRUE(pEncrypt->isEnabled());
  pEncrypt->trigger();
  EXPECT_EQ(typer.nDialogs, 1);
  EXPECT_FALSE(ExistsHost("\\Docs\\a.txt"));  // the source goes, as the box said
  ASSERT_TRUE(ExistsHost("\\Docs\\a.txt.enc"));
  EXPECT_NE(ReadHost("\\Docs\\a.txt.enc"), "text");
  EXPECT_GE(RowOf(ePanel_A, "a.txt.enc"), 0);
  EXPECT_EQ(RowOf(ePanel_A, "a.txt"), -1);
  EXPECT_TRUE(frame_->ContextMenuActions(eView_ListA).contains(pEncrypt));

  // Opening the encrypted file decrypts it with the password the user gives.
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  FocusRow(ePanel_A, "a.txt.enc");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  EXPECT_EQ(typer.nDialogs, 2);
  EXPECT_EQ(ReadHost("\\Docs\\a.txt"), "text");
  EXPECT_FALSE(ExistsHost("\\Docs\\a.txt.enc"));
  EXPECT_TRUE(opened_.isEmpty());
  // The list learns of it a moment later.
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(ePanel_A, "a.txt") >= 0; }, 2000));
  EXPECT_TRUE(box.Calls().empty()) << box.Calls()[0].strText.toStdString();

  // Decrypt through the menu, with a wrong password: the file stays as it is.
  MakeFile("\\Docs\\c.txt", "third");
  frame_->Refresh();
  FocusRow(ePanel_A, "c.txt");
  typer.bDeleteSource = false;
  pEncrypt->trigger();
  ASSERT_TRUE(ExistsHost("\\Docs\\c.txt.enc"));
  const QByteArray encrypted = ReadHost("\\Docs\\c.txt.enc");
  ASSERT_TRUE(QFile::remove(Host("\\Docs\\c.txt")));
  frame_->Refresh();
  FocusRow(ePanel_A, "c.txt.enc");
  typer.strPassword = "wrong password";
  box.SetDefaultAnswer(eMsgAnsOK);
  frame_->Action(eCmd_Decrypt)->trigger();
  EXPECT_FALSE(ExistsHost("\\Docs\\c.txt"));
  EXPECT_EQ(ReadHost("\\Docs\\c.txt.enc"), encrypted);
  EXPECT_FALSE(box.Calls().empty());  // the wrong password was reported
}

// Sends a drag over a list's view and drops it there, as the desktop's drag does.
bool DragAndDrop(CListView* pList, const QMimeData* pMime, const QPoint& pos,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* pViewport = pList->CurrentView()->viewport();
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(pos, actions, pMime, Qt::LeftButton, modifiers);
  QApplication::sendEvent(pViewport, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(pos), actions, pMime, Qt::LeftButton, modifiers);
  QApplication::sendEvent(pViewport, &drop);
  return drop.isAccepted();
}

TEST_F(MainFrameFilesTest, DraggedItemsAreCopiedOrMovedWhereTheyAreDropped) {
  test::CScriptedMessageBox box;
  settings.DragAndDrop = 1;
  StartOn("\\Docs", "\\Music");
  CListView* pA = frame_->ListView(ePanel_A);
  CListView* pB = frame_->ListView(ePanel_B);
  // What a drag of list A's selection carries: the device paths, and the host files.
  SelectRows(ePanel_A, {"..", "a.txt", "Sub2"});
  const QStringList paths = pA->SelectedPaths();
  EXPECT_EQ(paths, QStringList({"\\Docs\\Sub2", "\\Docs\\a.txt"}));
  std::unique_ptr<QMimeData> mime(CListView::ItemsMimeData(paths));
  ASSERT_NE(mime, nullptr);
  ASSERT_EQ(mime->urls().size(), 2);
  EXPECT_EQ(QDir::cleanPath(mime->urls()[1].toLocalFile()), QDir::cleanPath(Host("\\Docs\\a.txt")));
  EXPECT_EQ(CListView::ItemsOfMimeData(mime.get()), paths);

  // Dropped on empty space of list B: copied into the folder it shows.
  const QPoint empty(20, pB->CurrentView()->viewport()->height() - 5);
  ASSERT_TRUE(DragAndDrop(pB, mime.get(), empty));
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(ePanel_B, "a.txt") >= 0; }, 2000));
  EXPECT_EQ(ReadHost("\\Music\\a.txt"), "text");
  EXPECT_TRUE(QFileInfo(Host("\\Music\\Sub2")).isDir());
  EXPECT_TRUE(ExistsHost("\\Docs\\a.txt"));

  // With Shift, dropped on the folder entry Sub1 of the same list: moved into it.
  std::unique_ptr<QMimeData> zip(CListView::ItemsMimeData({"\\Docs\\b.zip"}));
  const QRect sub1 = pA->DetailsView()->visualRect(frame_->List(ePanel_A).index(RowOf(ePanel_A, "Sub1"), 0));
  ASSERT_TRUE(DragAndDrop(pA, zip.get(), sub1.center(), Qt::ShiftModifier));
  EXPECT_TRUE(QTest::qWaitFor([&] { return ExistsHost("\\Docs\\Sub1\\b.zip"); }, 2000));
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(ePanel_A, "b.zip") < 0; }, 2000));

  // Files of another program count when they lie inside the device root only.
  QMimeData outside;
  outside.setUrls({QUrl::fromLocalFile(Host("\\readme.txt")), QUrl::fromLocalFile("/etc/hostname")});
  EXPECT_EQ(CListView::ItemsOfMimeData(&outside), QStringList({"\\readme.txt"}));

  // Without DragAndDrop, a list takes no drop.
  settings.DragAndDrop = 0;
  std::unique_ptr<QMimeData> readme(CListView::ItemsMimeData({"\\readme.txt"}));
  EXPECT_FALSE(DragAndDrop(pB, readme.get(), empty));
  QTest::qWait(50);
  EXPECT_FALSE(ExistsHost("\\Music\\readme.txt"));
  EXPECT_TRUE(box.Calls().empty());
}

}  // namespace
