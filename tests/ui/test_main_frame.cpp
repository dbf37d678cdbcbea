// The main frame on a real temporary root and hive, started as the program starts it (the
// defaults, then the stored options): the layout table, the list styles and font sizes, the
// routing of a tree selection to its list, navigation by keys and menus, the status line, the
// bars, the last location reopened after a restart, and a hidden panel opened after the first
// paint. One test renders six layouts to PNG files for a look.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

#include "browse/folder_tree.h"
#include "browse/list_panel.h"
#include "core/settings.h"
#include "core/view_notify.h"
#include "core/settings_io.h"
#include "core/settings_options.h"
#include "core/settings_store.h"
#include "core/settings_screen.h"
#include "support/scripted_message_box.h"
#include "support/scripted_password_prompt.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"
#include "ui/frame_commands.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"
#include "ui/tree_view.h"
#include "ui/window_state.h"

#include "main_frame_fixture.h"

namespace {

TEST_F(MainFrameTest, LayoutCommandsShowTheViewsOfTheTable) {
  StartFrame();
  struct CCase {
    int command;
    DWORD layout;
    bool shown[4];  // tree A, tree B, list A, list B
    int active;     // the view a single-view layout makes active; 0 keeps it
    int slotOf[4];   // slot of each view
  } cases[] = {
      {eCmd_VerticalBrowser, 0, {true, false, true, false}, 0, {0, 1, 2, 3}},
      {eCmd_HorizontalBrowser, 3, {true, false, true, false}, 0, {0, 2, 1, 3}},
      {eCmd_SingleTree, 6, {true, false, false, false}, eView_TreeA, {0, 1, 2, 3}},
      {eCmd_SingleList, 7, {false, false, true, false}, eView_ListA, {0, 1, 2, 3}},
      {eCmd_QuadroHorizontal, 8, {true, true, true, true}, 0, {0, 2, 1, 3}},
      {eCmd_QuadroVertical, 9, {true, true, true, true}, 0, {0, 1, 2, 3}},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.layout);
    Trigger(c.command);
    EXPECT_EQ(frame_->Layout(), c.layout);
    EXPECT_EQ(settings.MainViewConfig, c.layout);
    EXPECT_TRUE(frame_->Action(c.command)->isChecked());
    for (int nView = 1; nView <= 4; ++nView) {
      EXPECT_EQ(frame_->IsViewShown(nView), c.shown[nView - 1]) << nView;
      EXPECT_EQ(frame_->ViewWidget(nView)->isVisible(), c.shown[nView - 1]) << nView;
      EXPECT_EQ(frame_->SlotOfView(nView), c.slotOf[nView - 1]) << nView;
    }
    if (c.active) {
      EXPECT_EQ(frame_->ActiveView(), c.active);
    }
    EXPECT_TRUE(frame_->IsViewShown(frame_->ActiveView()));
    EXPECT_EQ(settings.MainViewActive, DWORD(frame_->ActiveView()));
  }
  // Quadro vertical: the trees side by side in the top row, the lists below them.
  EXPECT_EQ(PosOf(eView_TreeA).y(), PosOf(eView_TreeB).y());
  EXPECT_LT(PosOf(eView_TreeA).x(), PosOf(eView_TreeB).x());
  EXPECT_LT(PosOf(eView_TreeA).y(), PosOf(eView_ListA).y());
  EXPECT_EQ(PosOf(eView_TreeA).x(), PosOf(eView_ListA).x());
  // Quadro horizontal: panel A's tree and list in the top row, panel B's below.
  Trigger(eCmd_QuadroHorizontal);
  QApplication::processEvents();
  EXPECT_EQ(PosOf(eView_TreeA).y(), PosOf(eView_ListA).y());
  EXPECT_LT(PosOf(eView_TreeA).x(), PosOf(eView_ListA).x());
  EXPECT_LT(PosOf(eView_ListA).y(), PosOf(eView_ListB).y());
  // The layout switch remembers the one before it.
  EXPECT_EQ(frame_->PreviousLayout(), 9u);
}

TEST_F(MainFrameTest, ToolBarLayoutButtonsStepThroughTheirGroups) {
  StartFrame();
  // Each button leads to its group's first layout and, pressed again, to the next one of the
  // group: the layouts of the table without a menu command are reached this way.
  struct CCase {
    int button;
    DWORD layout;
    bool shown[4];  // tree A, tree B, list A, list B
  } cases[] = {
      {eCmd_ToolLayoutGroup0, 0, {true, false, true, false}},
      {eCmd_ToolLayoutGroup0, 1, {true, true, false, false}},
      {eCmd_ToolLayoutGroup0, 2, {false, false, true, true}},
      {eCmd_ToolLayoutGroup0, 0, {true, false, true, false}},
      {eCmd_ToolLayoutGroup1, 3, {true, false, true, false}},
      {eCmd_ToolLayoutGroup1, 4, {true, true, false, false}},
      {eCmd_ToolLayoutGroup1, 5, {false, false, true, true}},
      {eCmd_ToolLayoutGroup2, 7, {false, false, true, false}},
      {eCmd_ToolLayoutGroup2, 6, {true, false, false, false}},
      {eCmd_ToolLayoutGroup3, 8, {true, true, true, true}},
      {eCmd_ToolLayoutGroup3, 9, {true, true, true, true}},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.layout);
    Trigger(c.button);
    EXPECT_EQ(frame_->Layout(), c.layout);
    EXPECT_TRUE(frame_->Action(c.button)->isChecked());
    for (int nView = 1; nView <= 4; ++nView)
      EXPECT_EQ(frame_->ViewWidget(nView)->isVisible(), c.shown[nView - 1]) << nView;
  }
  // Layout 4 (assignment Y, slots 0 and 2) shows the two trees one above the other.
  Trigger(eCmd_ToolLayoutGroup1);
  Trigger(eCmd_ToolLayoutGroup1);
  ASSERT_EQ(frame_->Layout(), 4u);
  QApplication::processEvents();
  EXPECT_EQ(frame_->SlotOfView(eView_TreeA), 0);
  EXPECT_EQ(frame_->SlotOfView(eView_TreeB), 2);
  EXPECT_LT(PosOf(eView_TreeA).y(), PosOf(eView_TreeB).y());
}

TEST_F(MainFrameTest, LayoutAndActiveViewComeBackAtStart) {
  settings.MainViewConfig = 9;
  settings.MainViewActive = 4;
  StartFrame();
  EXPECT_EQ(frame_->Layout(), 9u);
  EXPECT_EQ(frame_->ActiveView(), int(eView_ListB));
  EXPECT_TRUE(frame_->ListView(ePanel_B)->CurrentView()->hasFocus());
  // A stored active view that the layout does not show gives way to a shown one.
  frame_.reset();
  settings.MainViewConfig = 0;
  settings.MainViewActive = 4;
  StartFrame();
  EXPECT_TRUE(frame_->ActiveView() == eView_TreeA || frame_->ActiveView() == eView_ListA);
}

TEST_F(MainFrameTest, ListStyleFontAndHeaderCommandsStoreTheirOptions) {
  StartFrame();
  struct CCase {
    int command;
    EPanelId panel;
    DWORD mode;
  } cases[] = {
      {eCmd_LeftLargeIcons, ePanel_A, 0}, {eCmd_LeftDetails, ePanel_A, 1},
      {eCmd_LeftSmallIcons, ePanel_A, 2}, {eCmd_LeftList, ePanel_A, 3},
      {eCmd_RightList, ePanel_B, 3},      {eCmd_RightDetails, ePanel_B, 1},
      {eCmd_RightLargeIcons, ePanel_B, 0},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.command);
    Trigger(c.command);
    const DWORD dwStored =
        c.panel == ePanel_A ? settings.MainListModeListViewA : settings.MainListModeListViewB;
    EXPECT_EQ(dwStored, c.mode);
    CListView* pView = frame_->ListView(c.panel);
    EXPECT_EQ(pView->Mode(), int(c.mode));
    if (c.mode == eListMode_Details) {
      EXPECT_EQ(pView->CurrentView(), pView->DetailsView());
    } else {
      EXPECT_EQ(pView->CurrentView(), pView->IconView());
      EXPECT_EQ(pView->IconView()->viewMode(),
                c.mode == eListMode_LargeIcons ? QListView::IconMode : QListView::ListMode);
    }
  }
  // The other pane kept its style.
  EXPECT_EQ(settings.MainListModeListViewA, 3u);

  Trigger(eCmd_FontLargest);
  EXPECT_EQ(settings.MainViewFontSize, 4u);
  const qreal rLargest = frame_->ViewWidget(eView_ListA)->font().pointSizeF();
  Trigger(eCmd_FontNormal);
  EXPECT_EQ(settings.MainViewFontSize, 2u);
  EXPECT_LT(frame_->ViewWidget(eView_ListA)->font().pointSizeF(), rLargest);
  Trigger(eCmd_FontSmallest);
  EXPECT_EQ(settings.MainViewFontSize, 0u);

  Trigger(eCmd_LeftDetails);
  ASSERT_EQ(settings.MainListShowHeaderA, 1u);
  Trigger(eCmd_LeftShowHeader);
  EXPECT_EQ(settings.MainListShowHeaderA, 0u);
  EXPECT_TRUE(frame_->ListView(ePanel_A)->DetailsView()->isHeaderHidden());
  Trigger(eCmd_RightShowHeader);
  EXPECT_EQ(settings.MainListShowHeaderB, 0u);
}

TEST_F(MainFrameTest, PixelSizesDoubleOnAHighResolutionScreen) {
  struct CResetScreen {
    ~CResetScreen() { OverrideScreenSize(0, 0); }
  } resetScreen;
  for (const bool bHigh : {false, true}) {
    SCOPED_TRACE(bHigh);
    OverrideScreenSize(bHigh ? 480 : 240, bHigh ? 640 : 320);
    frame_.reset();
    StartFrame();
    const int nScale = bHigh ? 2 : 1;
    Trigger(eCmd_LeftLargeIcons);
    EXPECT_EQ(frame_->ListView(ePanel_A)->IconView()->iconSize(), QSize(32, 32) * nScale);
    Trigger(eCmd_LeftDetails);
    EXPECT_EQ(frame_->ListView(ePanel_A)->DetailsView()->iconSize(), QSize(16, 16) * nScale);
    EXPECT_EQ(frame_->TreeView(ePanel_A)->iconSize(), QSize(16, 16) * nScale);
  }
}

TEST_F(MainFrameTest, BarCommandsToggleBarsAndSwitches) {
  StartFrame();
  QToolBar* pToolBar = frame_->findChild<QToolBar*>("toolBar");
  QToolBar* pAddressBar = frame_->findChild<QToolBar*>("addressBar");
  ASSERT_TRUE(pToolBar && pAddressBar);
  ASSERT_EQ(settings.MainViewToolbar, 1u);
  EXPECT_TRUE(pToolBar->isVisible());
  Trigger(eCmd_ToolBar);
  EXPECT_EQ(settings.MainViewToolbar, 0u);
  EXPECT_FALSE(pToolBar->isVisible());
  Trigger(eCmd_AddressBar);
  EXPECT_EQ(settings.MainViewAddressbar, 0u);
  EXPECT_FALSE(pAddressBar->isVisible());
  ASSERT_EQ(settings.MainViewStatusbar, 0u);
  EXPECT_FALSE(frame_->statusBar()->isVisible());
  Trigger(eCmd_StatusBar);
  EXPECT_EQ(settings.MainViewStatusbar, 1u);
  EXPECT_TRUE(frame_->statusBar()->isVisible());
  Trigger(eCmd_SearchBar);
  EXPECT_EQ(settings.MainViewSearchbar, 1u);
  Trigger(eCmd_SelectionBar);
  EXPECT_EQ(settings.MainViewSelectionbar, 1u);
  Trigger(eCmd_HeaderBar);
  EXPECT_EQ(settings.MainViewHeaderbar, 0u);
  // The Help menu's one entry says what the program is.
  test::CScriptedMessageBox box;
  Trigger(eCmd_About);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strHeader, "Pinewood Browser");
}

TEST_F(MainFrameTest, TreeSelectionShowsTheFolderInTheSamePanelsList) {
  settings.MainViewConfig = 9;
  StartFrame();
  CFolderTree& tree = frame_->Tree(ePanel_A);
  const QModelIndex docs = tree.Model()->FindChild(tree.Model()->DeviceRootIndex(),
                                                   eEntry_Folder, "Docs");
  ASSERT_TRUE(docs.isValid());
  frame_->TreeView(ePanel_A)->setCurrentIndex(docs);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  EXPECT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\");
  frame_->SetActiveView(eView_ListA);
  EXPECT_EQ(frame_->AddressText(), "\\Docs");
  EXPECT_TRUE(frame_->windowTitle().startsWith("\\Docs"));
  EXPECT_EQ(frame_->HeaderText(), "A: \\Docs");
  EXPECT_EQ(frame_->StatusLineText(), "Folders: 2, Files: 2");

  // The registry node lists the registry.
  tree.SelectRegistryTop();
  EXPECT_EQ(frame_->List(ePanel_A).SourceKind(), DWORD(ePanelSrc_Registry));
  EXPECT_EQ(frame_->AddressText(), "Registry");

  // A folder opened in the list moves the tree along.
  tree.SelectFolder("\\Docs");
  FocusRow(ePanel_A, "Sub1");
  frame_->OpenCurrent();
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub1");
  EXPECT_EQ(tree.TargetOf(tree.Current()).location.path, "\\Docs\\Sub1");

  // In the tree, Enter opens and closes the selected node, Backspace goes up a level.
  ASSERT_TRUE(frame_->SetActiveView(eView_TreeA));
  tree.SelectFolder("\\Docs");
  CFolderTreeView* pTreeView = frame_->TreeView(ePanel_A);
  const bool bWasOpen = pTreeView->isExpanded(tree.Current());
  QTest::keyClick(pTreeView, Qt::Key_Return);
  EXPECT_NE(pTreeView->isExpanded(tree.Current()), bWasOpen);
  QTest::keyClick(pTreeView, Qt::Key_Return);
  EXPECT_EQ(pTreeView->isExpanded(tree.Current()), bWasOpen);
  QTest::keyClick(pTreeView, Qt::Key_Backspace);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\");
  EXPECT_EQ(tree.Current(), tree.Model()->DeviceRootIndex());
}

TEST_F(MainFrameTest, KeysOpenGoUpBackForwardAndSwitchPanels) {
  settings.MainViewConfig = 2;  // the two lists side by side
  settings.MainViewActive = 3;
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\", true, true);
  ASSERT_EQ(frame_->ActiveView(), int(eView_ListA));
  FocusRow(ePanel_A, "Docs");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  FocusRow(ePanel_A, "Sub2");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Enter);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub2");
  EXPECT_EQ(frame_->StatusLineText(), "Empty folder.");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Backspace);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub2");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub2");
  // The menu entries do the same.
  Trigger(eCmd_Up);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  Trigger(eCmd_Back);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub2");
  Trigger(eCmd_Forward);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  EXPECT_EQ(frame_->StatusLineText(), "Folders: 2, Files: 2");

  // Ctrl+R lists the folder again from disk.
  MakeFile("\\Docs\\new.txt");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(frame_->StatusLineText(), "Folders: 2, Files: 3");

  // Tab moves to the other panel's list; the status line follows it.
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Tab);
  EXPECT_EQ(frame_->ActiveView(), int(eView_ListB));
  EXPECT_TRUE(Focused(ePanel_B)->hasFocus());
  EXPECT_EQ(frame_->AddressText(), "\\");
  EXPECT_EQ(frame_->StatusLineText(), frame_->List(ePanel_B).StatusText());
  EXPECT_TRUE(frame_->StatusLineText().startsWith("Folders: "));
  EXPECT_NE(frame_->StatusLineText(), "Folders: 2, Files: 3");
  QTest::keyClick(Focused(ePanel_B), Qt::Key_Tab);
  EXPECT_EQ(frame_->ActiveView(), int(eView_ListA));

  // Typing a name jumps to it.
  frame_->List(ePanel_A).LoadFolder("\\", true, true);
  FocusRow(ePanel_A, "Docs");
  QTest::keyClicks(Focused(ePanel_A), "mu");
  EXPECT_EQ(frame_->ListView(ePanel_A)->CurrentRow(), RowOf(ePanel_A, "Music"));
}

TEST_F(MainFrameTest, AddressBarSelectionCommandsHeaderClicksAndTaps) {
  StartFrame();
  ASSERT_EQ(frame_->ActiveView(), int(eView_ListA));
  auto* pAddress = frame_->findChild<QToolBar*>("addressBar")->findChild<QLineEdit*>();
  ASSERT_NE(pAddress, nullptr);
  // A typed path is opened in the active panel; Enter there does not open a list entry.
  pAddress->setFocus();
  pAddress->setText("\\Docs\\Sub1");
  QTest::keyClick(pAddress, Qt::Key_Return);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub1");
  pAddress->setText("HKEY_LOCAL_MACHINE\\Software");
  QTest::keyClick(pAddress, Qt::Key_Return);
  EXPECT_EQ(frame_->List(ePanel_A).SourceKind(), DWORD(ePanelSrc_Registry));
  EXPECT_EQ(frame_->AddressText(), "HKEY_LOCAL_MACHINE\\Software");

  // The selection commands act on the active list.
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  frame_->SetActiveView(eView_ListA);
  CListView* pView = frame_->ListView(ePanel_A);
  const int nRows = frame_->List(ePanel_A).rowCount();
  Trigger(eCmd_SelectAll);
  EXPECT_EQ(pView->Selection()->selectedRows().size(), nRows);
  Trigger(eCmd_UnselectAll);
  EXPECT_EQ(pView->Selection()->selectedRows().size(), 0);
  FocusRow(ePanel_A, "a.txt");
  Trigger(eCmd_InvertSelection);
  EXPECT_EQ(pView->Selection()->selectedRows().size(), nRows - 1);
  EXPECT_FALSE(pView->Selection()->isRowSelected(RowOf(ePanel_A, "a.txt")));

  // A header click sorts by the column; a second click turns the order round.
  QHeaderView* pHeader = pView->DetailsView()->header();
  const auto clickHeader = [&](int nColumn) {
    const int nX = pHeader->sectionViewportPosition(nColumn) + 5;
    QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, QPoint(nX, pHeader->height() / 2));
  };
  clickHeader(1);
  EXPECT_EQ(frame_->List(ePanel_A).SortField(), 1);
  EXPECT_TRUE(frame_->List(ePanel_A).SortAscending());
  clickHeader(1);
  EXPECT_FALSE(frame_->List(ePanel_A).SortAscending());

  // One tap opens an entry unless DoubleClickActivation asks for two.
  const auto tap = [&](const QString& strName, bool bDouble) {
    QTreeView* pDetails = pView->DetailsView();
    const QRect rect = pDetails->visualRect(frame_->List(ePanel_A).index(RowOf(ePanel_A, strName), 0));
    if (bDouble)
      QTest::mouseDClick(pDetails->viewport(), Qt::LeftButton, {}, rect.center());
    else
      QTest::mouseClick(pDetails->viewport(), Qt::LeftButton, {}, rect.center());
  };
  tap("Sub2", false);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub2");
  frame_->Up();
  settings.DoubleClickActivation = 1;
  tap("Sub1", false);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  tap("Sub1", true);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub1");
}

TEST_F(MainFrameTest, ColumnsFitTheirTextsUntilTheUserSizesThem) {
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  QTreeView* pDetails = frame_->ListView(ePanel_A)->DetailsView();
  CListPanel& list = frame_->List(ePanel_A);
  int nDate = -1;
  for (int i = 0; i < list.columnCount(); ++i)
    if (list.headerData(i, Qt::Horizontal).toString() == "Date") nDate = i;
  ASSERT_GT(nDate, 0);
  const QFontMetrics metrics(pDetails->font());
  for (int nColumn = 1; nColumn < list.columnCount(); ++nColumn)
    for (int nRow = 0; nRow < list.rowCount(); ++nRow)
      EXPECT_GE(pDetails->header()->sectionSize(nColumn),
                metrics.horizontalAdvance(list.CellText(nRow, nColumn)))
          << list.CellText(nRow, nColumn).toStdString();
  // A width the user sets stays, also after the folder is listed again.
  pDetails->header()->resizeSection(nDate, 40);
  frame_->Refresh();
  EXPECT_EQ(pDetails->header()->sectionSize(nDate), 40);
}

TEST_F(MainFrameTest, OpeningAFileHandsItsHostPathToTheDesktop) {
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  FocusRow(ePanel_A, "a.txt");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  ASSERT_EQ(opened_.size(), 1);
  EXPECT_EQ(QDir::cleanPath(opened_[0]), QDir::cleanPath(Host("\\Docs\\a.txt")));
  // Archives and encrypted files are not handed on: an encrypted file asks for the password
  // to decrypt it (cancelled here).
  FocusRow(ePanel_A, "b.zip");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  MakeFile("\\Docs\\c.enc", "x");
  frame_->Refresh();
  test::CScriptedPasswordPrompt prompt;
  frame_->SetPasswordPrompt(&prompt);
  FocusRow(ePanel_A, "c.enc");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0], crypto::ECryptDirection::eDecrypt);
  EXPECT_EQ(opened_.size(), 1);
  frame_->SetPasswordPrompt(nullptr);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
}

TEST_F(MainFrameTest, LastLocationsReopenAfterARestart) {
  settings.MainViewConfig = 9;
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs\\Sub1", true, true);
  frame_->Tree(ePanel_B).SelectFolder("\\Music");
  ASSERT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\Music");
  Restart();
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub1");
  EXPECT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\Music");
  CFolderTree& tree = frame_->Tree(ePanel_A);
  EXPECT_EQ(tree.TargetOf(tree.Current()).location.path, "\\Docs\\Sub1");
  // A registry key comes back too.
  frame_->Tree(ePanel_B).SelectRegistryTop();
  Restart();
  EXPECT_EQ(frame_->List(ePanel_B).SourceKind(), DWORD(ePanelSrc_Registry));
  // Without RememberLastOpenedFolder both panels start at the root.
  settings.RememberLastOpenedFolder = 0;
  ASSERT_TRUE(SaveOption("RememberLastOpenedFolder"));
  Restart();
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\");
  EXPECT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\");
}

TEST_F(MainFrameTest, APanelTheLayoutHidesOpensAfterTheFirstPaint) {
  settings.MainViewConfig = 7;  // list A only
  ASSERT_TRUE(browse::StorePanelLocation(ePanel_A, CPanelLocation::FileSystem("\\Docs")));
  // Before it is shown, only the list on screen has listed its folder: its tree is not built.
  frame_ = std::make_unique<CMainFrame>();
  EXPECT_EQ(frame_->ListView(ePanel_A)->Panel().CurrentPath(), "\\Docs");
  EXPECT_EQ(frame_->TreeView(ePanel_A)->model()->rowCount(), 0);
  EXPECT_EQ(frame_->ListView(ePanel_B)->Panel().SourceKind(), DWORD(ePanelSrc_Empty));
  // A layout that shows them opens them at once, the tree on the list's folder.
  frame_->SetLayout(0);
  ASSERT_GT(frame_->TreeView(ePanel_A)->model()->rowCount(), 0);
  CFolderTree& tree = frame_->Tree(ePanel_A);
  EXPECT_EQ(tree.TargetOf(tree.Current()).location.path, "\\Docs");
  EXPECT_EQ(frame_->ListView(ePanel_A)->Panel().CurrentPath(), "\\Docs");
  frame_->SetLayout(2);
  EXPECT_EQ(frame_->ListView(ePanel_B)->Panel().CurrentPath(), "\\");
  // Otherwise it opens once the window has been painted.
  frame_.reset();
  settings.MainViewConfig = 7;
  frame_ = std::make_unique<CMainFrame>();
  ASSERT_EQ(frame_->ListView(ePanel_B)->Panel().SourceKind(), DWORD(ePanelSrc_Empty));
  frame_->resize(1280, 800);
  frame_->show();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return frame_->ListView(ePanel_B)->Panel().CurrentPath() == "\\"; }, 2000));
  EXPECT_GT(frame_->ListView(ePanel_B)->Panel().rowCount(), 0);
  EXPECT_GT(frame_->TreeView(ePanel_A)->model()->rowCount(), 0);
  // A stored folder that is gone goes through the tree, which settles on what is left.
  frame_.reset();
  ASSERT_TRUE(browse::StorePanelLocation(ePanel_A, CPanelLocation::FileSystem("\\Docs\\Gone")));
  frame_ = std::make_unique<CMainFrame>();
  EXPECT_EQ(frame_->ListView(ePanel_A)->Panel().CurrentPath(), "\\Docs");
}

TEST_F(MainFrameTest, MovingASplitterStoresItsPercent) {
  settings.MainViewConfig = 9;
  StartFrame();
  auto* pRow = qobject_cast<QSplitter*>(frame_->ViewWidget(eView_TreeA)->parentWidget());
  ASSERT_NE(pRow, nullptr);
  QSplitterHandle* pHandle = pRow->handle(1);
  const QPoint start = pHandle->rect().center();
  const QPoint globalStart = pHandle->mapToGlobal(start);
  const int nDelta = -pRow->width() / 5;  // 20 % to the left of the middle
  QMouseEvent press(QEvent::MouseButtonPress, start, globalStart, Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pHandle, &press);
  QMouseEvent move(QEvent::MouseMove, start + QPoint(nDelta, 0),
                   globalStart + QPoint(nDelta, 0), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(pHandle, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, start + QPoint(nDelta, 0),
                      globalStart + QPoint(nDelta, 0), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(pHandle, &release);
  EXPECT_NEAR(int(settings.MainViewSplitterPercentX), 30, 3);
  EXPECT_EQ(settings.MainViewSplitterPercentY, 50u);
  // Both rows follow, and the position is in the profile for the next start.
  auto* pOtherRow = qobject_cast<QSplitter*>(frame_->ViewWidget(eView_ListA)->parentWidget());
  EXPECT_EQ(pOtherRow->sizes(), pRow->sizes());
  const DWORD dwStored = settings.MainViewSplitterPercentX;
  settings.MainViewSplitterPercentX = 50;
  LoadSettings();
  EXPECT_EQ(settings.MainViewSplitterPercentX, dwStored);
}

TEST_F(MainFrameTest, ViewNotificationsUpdateTheListsAndTreesShowingThePlace) {
  settings.MainViewConfig = 9;
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  frame_->List(ePanel_B).LoadFolder("\\Docs\\Sub1", true, true);
  CFolderTree& tree = frame_->Tree(ePanel_A);
  const QModelIndex docs = tree.Model()->FolderIndex("\\Docs");
  ASSERT_TRUE(docs.isValid());
  tree.Model()->Expand(docs);
  // A file and a folder appear on disk and are announced.
  MakeFile("\\Docs\\new.txt");
  fileops::NotifyItemAdded("\\Docs\\new.txt");
  MakeFolder("\\Docs\\Sub3");
  fileops::NotifyFolderCreated("\\Docs\\Sub3");
  EXPECT_EQ(RowOf(ePanel_A, "new.txt"), -1);  // gathered, not applied yet
  frame_->ApplyViewChanges();
  EXPECT_GE(RowOf(ePanel_A, "new.txt"), 0);
  EXPECT_GE(RowOf(ePanel_A, "Sub3"), 0);
  EXPECT_TRUE(tree.Model()->FindChild(docs, eEntry_Folder, "Sub3").isValid());
  // The folder panel B shows is renamed: B follows it; then removed: B goes to its parent.
  ASSERT_TRUE(QDir().rename(Host("\\Docs\\Sub1"), Host("\\Docs\\First")));
  fileops::NotifyFolderRenamed("\\Docs\\Sub1", "\\Docs\\First");
  EXPECT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\Docs\\First");
  ASSERT_TRUE(QDir(Host("\\Docs\\First")).removeRecursively());
  fileops::NotifyFolderRemoved("\\Docs\\First");
  EXPECT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\Docs");
  // The timer applies what is gathered without being asked.
  MakeFile("\\Docs\\later.txt");
  fileops::NotifyItemAdded("\\Docs\\later.txt");
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(ePanel_A, "later.txt") >= 0; }, 2000));
  EXPECT_EQ(RowOf(ePanel_A, "Sub1"), -1);
}

TEST_F(MainFrameTest, NewFolderAndRenameWorkOnTheActiveView) {
  settings.MainViewConfig = 9;
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  ASSERT_TRUE(frame_->Action(eCmd_NewFolder)->isEnabled());
  Trigger(eCmd_NewFolder);
  const int nNew = frame_->ListView(ePanel_A)->CurrentRow();
  ASSERT_GE(nNew, 0);
  const QString strNewName = frame_->List(ePanel_A).CellText(nNew, 0);
  EXPECT_TRUE(QFileInfo(Host("\\Docs\\" + strNewName)).isDir()) << strNewName.toStdString();

  // F2 renames the focused entry with the name the user gives.
  QString strAskedFor;
  frame_->SetNameAsker([&](const QString& strOld, QString* pstrNew) {
    strAskedFor = strOld;
    *pstrNew = "Letters";
    return true;
  });
  QTest::keyClick(Focused(ePanel_A), Qt::Key_F2);
  EXPECT_EQ(strAskedFor, strNewName);
  EXPECT_TRUE(QFileInfo(Host("\\Docs\\Letters")).isDir());
  EXPECT_FALSE(ExistsHost("\\Docs\\" + strNewName));
  EXPECT_GE(RowOf(ePanel_A, "Letters"), 0);
  EXPECT_EQ(RowOf(ePanel_A, strNewName), -1);

  FocusRow(ePanel_A, "a.txt");
  frame_->SetNameAsker([](const QString&, QString* pstrNew) {
    *pstrNew = "notes.txt";
    return true;
  });
  Trigger(eCmd_Rename);
  EXPECT_EQ(ReadHost("\\Docs\\notes.txt"), "text");
  EXPECT_GE(RowOf(ePanel_A, "notes.txt"), 0);
  // A cancelled question renames nothing.
  frame_->SetNameAsker([](const QString&, QString*) { return false; });
  FocusRow(ePanel_A, "notes.txt");
  Trigger(eCmd_Rename);
  EXPECT_TRUE(ExistsHost("\\Docs\\notes.txt"));

  // In a tree the selected folder is renamed, and the list inside it follows.
  frame_->List(ePanel_B).LoadFolder("\\Music", true, true);
  ASSERT_TRUE(frame_->SetActiveView(eView_TreeB));
  ASSERT_EQ(frame_->Tree(ePanel_B).TargetOf(frame_->Tree(ePanel_B).Current()).location.path,
            "\\Music");
  frame_->SetNameAsker([](const QString&, QString* pstrNew) {
    *pstrNew = "Songs";
    return true;
  });
  Trigger(eCmd_Rename);
  EXPECT_TRUE(QFileInfo(Host("\\Songs")).isDir());
  EXPECT_EQ(frame_->List(ePanel_B).CurrentPath(), "\\Songs");

  // Outside the file system there is nothing to name.
  frame_->Tree(ePanel_B).SelectRegistryTop();
  EXPECT_FALSE(frame_->Action(eCmd_NewFolder)->isEnabled());
  EXPECT_FALSE(frame_->Action(eCmd_Rename)->isEnabled());
}

TEST_F(MainFrameTest, CutCopyAndPasteBetweenThePanels) {
  test::CScriptedMessageBox box;
  test::CScriptedProgress progress;
  settings.MainViewConfig = 2;  // the two lists side by side
  settings.MainViewActive = 3;
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  frame_->List(ePanel_B).LoadFolder("\\Music", true, true);
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  EXPECT_FALSE(frame_->Action(eCmd_Paste)->isEnabled());  // nothing kept yet
  FocusRow(ePanel_A, "a.txt");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_C, Qt::ControlModifier);
  ASSERT_EQ(frame_->ClipboardItems().size(), 1u);
  EXPECT_EQ(frame_->ClipboardItems()[0].strPath, "\\Docs\\a.txt");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Tab);
  ASSERT_EQ(frame_->ActiveView(), int(eView_ListB));
  QTest::keyClick(Focused(ePanel_B), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(ReadHost("\\Music\\a.txt"), "text");
  EXPECT_EQ(ReadHost("\\Docs\\a.txt"), "text");
  EXPECT_GE(RowOf(ePanel_B, "a.txt"), 0);

  // Cut of two selected entries, then Paste: they move and the kept list empties.
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  CListView* pView = frame_->ListView(ePanel_A);
  pView->Selection()->clearSelection();
  for (const char* name : {"Sub1", "b.zip"})
    pView->Selection()->select(frame_->List(ePanel_A).index(RowOf(ePanel_A, name), 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
  Trigger(eCmd_Cut);
  ASSERT_EQ(frame_->ClipboardItems().size(), 2u);
  EXPECT_TRUE(frame_->ClipboardMoves());
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  Trigger(eCmd_Paste);
  EXPECT_TRUE(QFileInfo(Host("\\Music\\Sub1")).isDir());
  EXPECT_TRUE(ExistsHost("\\Music\\b.zip"));
  EXPECT_FALSE(ExistsHost("\\Docs\\Sub1"));
  EXPECT_FALSE(ExistsHost("\\Docs\\b.zip"));
  EXPECT_EQ(RowOf(ePanel_A, "Sub1"), -1);
  EXPECT_GE(RowOf(ePanel_B, "Sub1"), 0);
  EXPECT_TRUE(frame_->ClipboardItems().empty());

  // Paste shortcut makes a shortcut to each kept item.
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  FocusRow(ePanel_A, "a.txt");
  Trigger(eCmd_Copy);
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  const int nBefore = frame_->List(ePanel_B).rowCount();
  Trigger(eCmd_PasteShortcut);
  EXPECT_EQ(frame_->List(ePanel_B).rowCount(), nBefore + 1);
  const QStringList links = QDir(Host("\\Music")).entryList({"*.lnk"}, QDir::Files);
  EXPECT_EQ(links.size(), 1);
}

// Renders the frame in six layouts to PNG files under the build folder for a look (make
// screenshots).
TEST_F(MainFrameTest, RendersLayoutsToPng) {
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  frame_->Tree(ePanel_B).SelectFolder("\\Docs");
  EXPECT_TRUE(frame_->Action(eCmd_Back)->isEnabled());
  EXPECT_FALSE(frame_->Action(eCmd_Forward)->isEnabled());
  const QString strFolder = QCoreApplication::applicationDirPath() + "/screenshots";
  ASSERT_TRUE(QDir().mkpath(strFolder));
  const struct {
    int command;
    const char* file;
  } shots[] = {{eCmd_VerticalBrowser, "vertical_browser.png"},
               {eCmd_ToolLayoutGroup0, "two_trees.png"},  // layout 1
               {eCmd_ToolLayoutGroup0, "two_lists_large_icons_b.png"},  // layout 2
               {eCmd_QuadroVertical, "quadro_vertical.png"},
               {eCmd_QuadroHorizontal, "quadro_horizontal_large_icons_b.png"},
               {eCmd_SingleList, "single_list.png"}};
  Trigger(eCmd_RightLargeIcons);
  for (const auto& shot : shots) {
    Trigger(shot.command);
    QApplication::processEvents();
    const QString strFile = strFolder + "/" + shot.file;
    const QPixmap pixmap = frame_->grab();
    EXPECT_EQ(pixmap.size(), QSize(1280, 800));
    EXPECT_TRUE(pixmap.save(strFile)) << strFile.toStdString();
  }
}

TEST_F(MainFrameTest, RendersFirstStartToPng) {
  // A first start with the desktop's defaults on a large and on a small screen: both lists,
  // the status bar on, the window inside the screen's area, pictures at the desktop's size.
  SetHostOptionDefaults(DesktopOptionDefaults());
  const QString strFolder = QCoreApplication::applicationDirPath() + "/screenshots";
  ASSERT_TRUE(QDir().mkpath(strFolder));
  const struct {
    QRect area;
    double dDpi;  // a 13-inch laptop, a 7-inch panel
    const char* file;
  } screens[] = {{{0, 0, 1280, 800}, 113.0, "first_start_1280.png"},
                 {{0, 0, 800, 480}, 133.0, "first_start_800x480.png"}};
  for (const auto& screen : screens) {
    const QSize handheld = HandheldScreenSize(screen.area.size(), screen.dDpi);
    OverrideScreenSize(handheld.width(), handheld.height());
    LoadDefaults();
    LoadSettings();
    frame_ = std::make_unique<CMainFrame>();
    frame_->setGeometry(FirstWindowGeometry(screen.area));
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    QApplication::processEvents();
    EXPECT_EQ(frame_->Layout(), 2u) << screen.file;
    EXPECT_EQ(frame_->ActiveView(), int(eView_ListA));
    EXPECT_TRUE(frame_->IsViewShown(eView_ListB));
    EXPECT_TRUE(frame_->statusBar()->isVisible());
    EXPECT_EQ(frame_->ListView(ePanel_A)->DetailsView()->iconSize(), QSize(16, 16));
    const QPixmap pixmap = frame_->grab();
    EXPECT_TRUE(screen.area.contains(QRect(frame_->geometry().topLeft(), pixmap.size())))
        << screen.file;
    const QString strFile = strFolder + "/" + screen.file;
    EXPECT_TRUE(pixmap.save(strFile)) << strFile.toStdString();
    frame_.reset();
  }
  SetHostOptionDefaults({});
  OverrideScreenSize(0, 0);
}

}  // namespace
