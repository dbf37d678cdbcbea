// The desktop's conventions in the main frame, driven by real mouse and key events: clicks
// with Ctrl and Shift select and never open, the keys of the lists (Backspace, Back and
// Forward, Insert and Ctrl+Space, Shift+Delete, Ctrl+H, Ctrl+L, F3 and F4), the dialog of F5
// and F6, every layout in the View menu, and the mark of the active panel.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

#include "browse/folder_tree.h"
#include "core/texts.h"
#include "platform/device_root.h"
#include "support/scripted_message_box.h"
#include "ui/copy_dest_dialog.h"
#include "ui/tree_view.h"
#include "ui/view_marks.h"

#include "main_frame_fixture.h"

namespace {

class DesktopConventionsTest : public MainFrameTest {
 protected:
  // Panel A's list alone at a folder, the list focused.
  void StartInList(const QString& strFolder) {
    settings.MainViewConfig = 7;
    StartFrame();
    ASSERT_TRUE(frame_->List(ePanel_A).LoadFolder(strFolder, true, true));
    frame_->ListView(ePanel_A)->CurrentView()->setFocus();
  }
  QTreeView* Details() { return frame_->ListView(ePanel_A)->DetailsView(); }
  QPoint CenterOf(const QString& strName) {
    return Details()->visualRect(frame_->List(ePanel_A).index(RowOf(ePanel_A, strName), 0)).center();
  }
  void Click(const QString& strName, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(Details()->viewport(), Qt::LeftButton, modifiers, CenterOf(strName));
  }
  QSet<QString> SelectedNames() {
    QSet<QString> names;
    for (const QModelIndex& index : frame_->ListView(ePanel_A)->Selection()->selectedRows())
      names << frame_->List(ePanel_A).CellText(index.row(), 0);
    return names;
  }
  QString CurrentName() {
    const int nRow = frame_->ListView(ePanel_A)->CurrentRow();
    return nRow < 0 ? QString() : frame_->List(ePanel_A).CellText(nRow, 0);
  }
  // Selects the rows of the names, the first one focused.
  void SelectRows(const QStringList& names) {
    CListView* pView = frame_->ListView(ePanel_A);
    for (const QString& strName : names) {
      const QModelIndex index = frame_->List(ePanel_A).index(RowOf(ePanel_A, strName), 0);
      if (strName == names.front())
        pView->Selection()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
      else
        pView->Selection()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  void Key(int nKey, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(nKey), modifiers);
  }
  // Runs fnDialog on the modal dialog as soon as it shows, while fnStart opens it.
  void WithDialog(const std::function<void()>& fnStart, const std::function<void(QDialog*)>& fnDialog) {
    bool bSeen = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!pDialog || !pDialog->isVisible()) return;
      timer.stop();
      bSeen = true;
      fnDialog(pDialog);
    });
    timer.start();
    fnStart();
    EXPECT_TRUE(bSeen);
    // The window manager gives the frame the keys back once the dialog is gone.
    QApplication::setActiveWindow(frame_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  }
};

TEST_F(DesktopConventionsTest, CtrlAndShiftClicksSelectAndNeverOpen) {
  settings.DoubleClickActivation = 0;  // a plain click opens
  StartInList("\\Docs");
  Click("a.txt");
  ASSERT_EQ(opened_.size(), 1);  // the plain click opened the file
  opened_.clear();
  Details()->selectionModel()->clearSelection();

  Click("a.txt", Qt::ControlModifier);
  Click("b.zip", Qt::ControlModifier);
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"a.txt", "b.zip"}));
  EXPECT_TRUE(opened_.isEmpty());
  Click("b.zip", Qt::ControlModifier);  // toggled off again
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"a.txt"}));

  // Shift extends from the last click (b.zip) up over the folder Sub1 and stays in \Docs.
  Click("Sub1", Qt::ShiftModifier);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"Sub1", "Sub2", "a.txt", "b.zip"}));
  EXPECT_TRUE(opened_.isEmpty());

  // A plain click on a folder still enters it.
  Click("Sub2");
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub2");
}

TEST_F(DesktopConventionsTest, BandSelectionFromEmptySpaceStillSelects) {
  StartInList("\\Docs");
  QWidget* pViewport = Details()->viewport();
  const QPoint below(CenterOf("b.zip").x(), pViewport->height() - 5);
  QTest::mousePress(pViewport, Qt::LeftButton, {}, below);
  QTest::mouseMove(pViewport, CenterOf("Sub2"));
  QTest::mouseRelease(pViewport, Qt::LeftButton, {}, CenterOf("Sub2"));
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"Sub2", "a.txt", "b.zip"}));
  EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(DesktopConventionsTest, BackspaceSelectsTheFolderLeft) {
  StartInList("\\Docs\\Sub2");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  EXPECT_EQ(CurrentName(), "Sub2");
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"Sub2"}));
  // Up again, out of \Docs: the folder Docs of the root.
  frame_->Up();
  EXPECT_EQ(CurrentName(), "Docs");
}

TEST_F(DesktopConventionsTest, BackAndForwardRestoreSelectionAndScroll) {
  MakeFolder("\\Many");
  for (int i = 0; i < 300; ++i) MakeFile(QStringLiteral("\\Many\\f%1.txt").arg(i, 3, 10, QChar('0')), "x");
  StartInList("\\Many");
  CListPanel& list = frame_->List(ePanel_A);
  Details()->scrollTo(list.index(RowOf(ePanel_A, "f252.txt"), 0));
  Click("f250.txt");
  Click("f252.txt", Qt::ControlModifier);
  QScrollBar* pBar = Details()->verticalScrollBar();
  ASSERT_GT(pBar->maximum(), 0);
  pBar->setValue(pBar->maximum() - 3);
  const int nScroll = pBar->value();

  ASSERT_TRUE(list.LoadFolder("\\Docs", true, true));
  EXPECT_TRUE(SelectedNames().isEmpty());
  Key(Qt::Key_Left, Qt::AltModifier);  // Back
  ASSERT_EQ(list.CurrentPath(), "\\Many");
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"f250.txt", "f252.txt"}));
  EXPECT_EQ(CurrentName(), "f252.txt");
  EXPECT_EQ(pBar->value(), nScroll);

  // Forward to \Docs and back once more.
  Key(Qt::Key_Right, Qt::AltModifier);
  ASSERT_EQ(list.CurrentPath(), "\\Docs");
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"f250.txt", "f252.txt"}));
}

TEST_F(DesktopConventionsTest, InsertAndCtrlSpaceToggleTheRowAndMoveOn) {
  StartInList("\\Docs");
  FocusRow(ePanel_A, "Sub1");
  Details()->selectionModel()->clearSelection();
  Key(Qt::Key_Insert);
  Key(Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"Sub1", "Sub2"}));
  EXPECT_EQ(CurrentName(), "a.txt");
  SelectRows({"Sub2", "Sub1"});
  Key(Qt::Key_Insert);  // Sub2 off again, Sub1 stays
  EXPECT_EQ(SelectedNames(), (QSet<QString>{"Sub1"}));
  EXPECT_EQ(CurrentName(), "a.txt");
}

TEST_F(DesktopConventionsTest, ShiftDeleteAsksThePermanentQuestionAndSkipsTheBin) {
  test::CScriptedMessageBox box;
  ASSERT_EQ(settings.UseRecycleBin, 1u);
  StartInList("\\Docs");
  FocusRow(ePanel_A, "a.txt");
  box.QueueAnswer(eMsgAnsNo);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strText, "Are you sure you want to permanently delete file \"a.txt\"?");
  EXPECT_EQ(box.Calls()[0].nDefaultAnswer, int(eMsgAnsNo));
  EXPECT_TRUE(ExistsHost("\\Docs\\a.txt"));

  box.QueueAnswer(eMsgAnsYes);
  FocusRow(ePanel_A, "a.txt");
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_FALSE(ExistsHost("\\Docs\\a.txt"));
  EXPECT_EQ(RowOf(ePanel_A, "a.txt"), -1);
  // Nothing went to the bin.
  EXPECT_TRUE(QDir(Host(settings.RecycleBinPath)).entryList({"*.trb"}, QDir::Files | QDir::Hidden).isEmpty());

  // Two items: one question that names them together; the folder goes too.
  SelectRows({"Sub1", "b.zip"});
  box.QueueAnswer(eMsgAnsYes);
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  ASSERT_EQ(box.Calls().size(), 3u);
  EXPECT_EQ(box.Calls()[2].strText.toStdString(), "Are you sure you want to permanently delete these 2 items?");
  EXPECT_FALSE(ExistsHost("\\Docs\\Sub1"));
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));
}

TEST_F(DesktopConventionsTest, CtrlHTogglesHiddenItemsAndCtrlLFocusesTheAddress) {
  MakeFolder("\\.hidden");
  settings.MainViewConfig = 0;  // tree A and list A
  StartFrame();
  CFolderTree& tree = frame_->Tree(ePanel_A);
  CListPanel& list = frame_->List(ePanel_A);
  ASSERT_TRUE(list.LoadFolder("\\", true, true));
  ASSERT_EQ(settings.MainTreeShowHidden, 1u);
  EXPECT_TRUE(tree.SelectFolder("\\.hidden"));
  ASSERT_TRUE(tree.SelectFolder("\\Docs"));
  const QString strListed = list.CurrentPath();
  frame_->ListView(ePanel_A)->CurrentView()->setFocus();
  Key(Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(settings.MainTreeShowHidden, 0u);
  EXPECT_EQ(settings.MainListShowHidden, 0u);
  EXPECT_FALSE(frame_->Action(eCmd_ShowHidden)->isChecked());
  EXPECT_EQ(list.CurrentPath(), strListed);  // the list stays where it was
  EXPECT_FALSE(tree.SelectFolder("\\.hidden"));
  Key(Qt::Key_H, Qt::ControlModifier);
  EXPECT_TRUE(frame_->Action(eCmd_ShowHidden)->isChecked());
  EXPECT_TRUE(tree.SelectFolder("\\.hidden"));

  Key(Qt::Key_L, Qt::ControlModifier);
  auto* pEdit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(pEdit, nullptr);
  EXPECT_EQ(pEdit->text(), frame_->AddressText());
  EXPECT_EQ(pEdit->selectedText(), pEdit->text());
}

TEST_F(DesktopConventionsTest, F3AndF4HandTheFocusedFileToTheViewerAndEditor) {
  StartInList("\\Docs");
  QByteArray host;
  ASSERT_TRUE(plat::CDeviceRoot::ToHost("\\Docs\\a.txt", &host));
  FocusRow(ePanel_A, "a.txt");
  Key(Qt::Key_F3);
  Key(Qt::Key_F4);
  const QString strHost = QFile::decodeName(host);
  EXPECT_EQ(shellOpened_, (QStringList{QStringLiteral("%1 %2").arg(int(plat::EShellOpen::eView)).arg(strHost),
                                       QStringLiteral("%1 %2").arg(int(plat::EShellOpen::eEdit)).arg(strHost)}));
  // A folder is no file to view; Enter on a file still opens it.
  FocusRow(ePanel_A, "Sub1");
  Key(Qt::Key_F3);
  EXPECT_EQ(shellOpened_.size(), 2);
  FocusRow(ePanel_A, "a.txt");
  Key(Qt::Key_Return);
  EXPECT_EQ(opened_, (QStringList{strHost}));
}

TEST_F(DesktopConventionsTest, F5AndF6AskTheDestinationFirst) {
  test::CScriptedMessageBox box;
  settings.MainViewConfig = 2;  // both lists
  settings.MainViewActive = 3;
  StartFrame();
  ASSERT_TRUE(frame_->List(ePanel_A).LoadFolder("\\Docs", true, true));
  ASSERT_TRUE(frame_->List(ePanel_B).LoadFolder("\\Music", true, true));
  frame_->SetDestinationAsker(nullptr);  // the real dialog
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  FocusRow(ePanel_A, "a.txt");

  // Escape: nothing is copied.
  WithDialog([&] { Key(Qt::Key_F5); }, [&](QDialog* pDialog) {
    auto* pDest = qobject_cast<CDlg_CopyDest*>(pDialog);
    ASSERT_NE(pDest, nullptr);
    EXPECT_EQ(pDest->CountLabel()->text(), "Copy one item to:");
    EXPECT_EQ(pDest->FolderEdit()->text(), "\\Music");
    QTest::keyClick(pDest->FolderEdit(), Qt::Key_Escape);
  });
  EXPECT_FALSE(ExistsHost("\\Music\\a.txt"));

  // Enter: copied into the other panel's folder.
  WithDialog([&] { Key(Qt::Key_F5); },
             [&](QDialog* pDialog) { QTest::keyClick(pDialog->focusWidget(), Qt::Key_Return); });
  EXPECT_TRUE(ExistsHost("\\Music\\a.txt"));
  EXPECT_TRUE(ExistsHost("\\Docs\\a.txt"));

  // F6 with an edited folder; a folder that does not exist keeps the dialog open.
  SelectRows({"b.zip", "Sub2"});
  frame_->ListView(ePanel_A)->CurrentView()->setFocus();
  WithDialog([&] { Key(Qt::Key_F6); }, [&](QDialog* pDialog) {
    auto* pDest = qobject_cast<CDlg_CopyDest*>(pDialog);
    ASSERT_NE(pDest, nullptr);
    EXPECT_EQ(pDest->CountLabel()->text(), "Move 2 items to:");
    pDest->FolderEdit()->clear();
    QTest::keyClicks(pDest->FolderEdit(), "\\Nowhere");
    QTest::keyClick(pDest->FolderEdit(), Qt::Key_Return);
    EXPECT_TRUE(pDest->isVisible());
    ASSERT_EQ(box.Calls().size(), 1u);
    EXPECT_EQ(box.Calls()[0].strText, "The folder \"\\Nowhere\" does not exist.");
    pDest->FolderEdit()->clear();
    QTest::keyClicks(pDest->FolderEdit(), "\\Em");
    // The completer holds the folders of the root, no file.
    EXPECT_TRUE(pDest->Proposals().contains("\\Empty"));
    EXPECT_TRUE(pDest->Proposals().contains("\\Docs"));
    EXPECT_FALSE(pDest->Proposals().contains("\\readme.txt"));
    QTest::keyClicks(pDest->FolderEdit(), "pty");
    QTest::keyClick(pDest->FolderEdit(), Qt::Key_Return);
  });
  EXPECT_TRUE(ExistsHost("\\Empty\\b.zip"));
  EXPECT_TRUE(ExistsHost("\\Empty\\Sub2"));
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));
  EXPECT_FALSE(ExistsHost("\\Music\\b.zip"));
}

TEST_F(DesktopConventionsTest, EveryLayoutHasANamedEntryInTheViewMenu) {
  StartFrame();
  QMenu* pLayouts = nullptr;
  for (QMenu* pMenu : frame_->menuBar()->findChildren<QMenu*>())
    if (pMenu->title() == core::Text(900513)) pLayouts = pMenu;
  ASSERT_NE(pLayouts, nullptr);
  QSet<DWORD> layouts;
  QSet<QString> names;
  for (QAction* pAction : pLayouts->actions()) {
    pAction->trigger();
    layouts << frame_->Layout();
    names << pAction->text();
    EXPECT_TRUE(pAction->isChecked()) << pAction->text().toStdString();
  }
  EXPECT_EQ(names.size(), pLayouts->actions().size());  // no two share a name
  for (DWORD dwLayout = 0; dwLayout < kRestorableLayouts; ++dwLayout)
    EXPECT_TRUE(layouts.contains(dwLayout)) << dwLayout;
  // The two stacked lists: list A above list B, both shown.
  Trigger(eCmd_TwoListsStacked);
  EXPECT_EQ(frame_->Layout(), 5u);
  EXPECT_TRUE(frame_->IsViewShown(eView_ListA));
  EXPECT_TRUE(frame_->IsViewShown(eView_ListB));
  EXPECT_LT(PosOf(eView_ListA).y(), PosOf(eView_ListB).y());
}

TEST_F(DesktopConventionsTest, TheActivePanelIsMarked) {
  settings.MainViewConfig = 9;  // all four views
  StartFrame();
  const auto marked = [&](int nView) {
    QWidget* pWidget = frame_->ViewWidget(nView);
    if (auto* pList = qobject_cast<CListView*>(pWidget)) return IsViewMarkedActive(pList->CurrentView());
    return IsViewMarkedActive(qobject_cast<QAbstractItemView*>(pWidget));
  };
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  EXPECT_TRUE(marked(eView_ListB));
  EXPECT_TRUE(marked(eView_TreeB));
  EXPECT_FALSE(marked(eView_ListA));
  EXPECT_FALSE(marked(eView_TreeA));
  // A click in tree A moves the mark.
  QTest::mouseClick(frame_->TreeView(ePanel_A)->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
  EXPECT_TRUE(marked(eView_TreeA));
  EXPECT_TRUE(marked(eView_ListA));
  EXPECT_FALSE(marked(eView_ListB));
  // The other panel draws its selection muted, the active one in the full highlight.
  const QPalette active = frame_->ListView(ePanel_A)->CurrentView()->palette();
  const QPalette other = frame_->ListView(ePanel_B)->CurrentView()->palette();
  EXPECT_NE(active.color(QPalette::Active, QPalette::Highlight),
            other.color(QPalette::Active, QPalette::Highlight));
}

}  // namespace
