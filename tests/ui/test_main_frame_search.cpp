// The search of the main frame as a user drives it: a text typed into the search bar and
// Enter lists the results in the fifth view, "Open containing folder" shows a result in the
// active panel, Escape stops a long search, closing the view brings the layout back; and the
// device property page.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "collect/search_results.h"
#include "core/format.h"
#include "core/texts.h"
#include "device/storage_totals.h"
#include "main_frame_fixture.h"
#include "ui/device_properties.h"
#include "ui/search_bar.h"
#include "ui/search_view.h"

namespace {

class MainFrameSearchTest : public MainFrameTest {
 protected:
  // Types the text into the search bar and presses Enter.
  void TypeSearch(const QString& strText) {
    QLineEdit* pEdit = frame_->SearchBar()->Edit()->lineEdit();
    pEdit->setFocus();
    pEdit->clear();
    QTest::keyClicks(pEdit, strText);
    QTest::keyClick(pEdit, Qt::Key_Return);
  }
  void WaitForSearchEnd() {
    QTRY_VERIFY_WITH_TIMEOUT(!frame_->SearchBar()->IsRunning(), 10000);
  }
  CListPanel& Results() { return frame_->SearchView()->List(); }
  QStringList ResultNames() {
    QStringList names;
    for (int i = 0; i < Results().rowCount(); ++i) names << Results().CellText(i, 0);
    names.sort();
    return names;
  }
};

TEST_F(MainFrameSearchTest, EnterListsTheResultsAndOpenContainingFolderShowsOne) {
  settings.MainViewSearchbar = 1;
  StartFrame();
  Trigger(eCmd_VerticalBrowser);
  TypeSearch("*.txt");
  // The fifth view alone (layout 10), active, while the button reads Stop.
  EXPECT_EQ(frame_->Layout(), 10u);
  EXPECT_EQ(frame_->ActiveView(), int(eView_Fifth));
  EXPECT_TRUE(frame_->SearchView()->isVisible());
  for (int nView = 1; nView <= 4; ++nView) EXPECT_FALSE(frame_->ViewWidget(nView)->isVisible());
  WaitForSearchEnd();
  EXPECT_EQ(frame_->SearchBar()->Button()->text(), core::Text(900583));
  EXPECT_EQ(ResultNames(), QStringList({"a.txt", "readme.txt"}));
  EXPECT_TRUE(frame_->StatusLineText().endsWith("files found: 2")) << frame_->StatusLineText().toStdString();
  EXPECT_EQ(frame_->AddressText(), "Search results: *.txt");
  // The text is remembered first, and offered in the drop-down.
  ASSERT_FALSE(settings.SimpleSearchStrings.isEmpty());
  EXPECT_EQ(settings.SimpleSearchStrings.front(), "*.txt");
  EXPECT_EQ(frame_->SearchBar()->Edit()->itemText(0), "*.txt");

  // The context menu of a result: Cut, Copy, "Open containing folder", Shred and Delete.
  QStringList menu;
  for (QAction* pAction : frame_->ContextMenuActions(eView_Fifth))
    if (!pAction->isSeparator()) menu << pAction->text();
  for (const int nText : {900559, 900560, 900804})
    EXPECT_TRUE(menu.contains(core::Text(nText))) << nText;
  EXPECT_TRUE(menu.contains(frame_->Action(eCmd_Shred)->text()));
  EXPECT_TRUE(menu.contains(frame_->Action(eCmd_Delete)->text()));
  EXPECT_FALSE(menu.contains(frame_->Action(eCmd_Paste)->text()));

  // Copy takes the focused result for the clipboard.
  int nRow = -1;
  for (int i = 0; i < Results().rowCount(); ++i)
    if (Results().CellText(i, 0) == "a.txt") nRow = i;
  ASSERT_GE(nRow, 0);
  frame_->SearchView()->ListView()->Selection()->setCurrentIndex(
      Results().index(nRow, 0), QItemSelectionModel::ClearAndSelect);
  frame_->CopySelection(false);
  ASSERT_EQ(frame_->ClipboardItems().size(), 1u);
  EXPECT_EQ(frame_->ClipboardItems()[0].strPath, "\\Docs\\a.txt");

  // "Open containing folder": the layout before comes back, the active panel shows the
  // folder with the file focused.
  ASSERT_TRUE(frame_->Action(eCmd_OpenContainingFolder)->isEnabled());
  Trigger(eCmd_OpenContainingFolder);
  EXPECT_EQ(frame_->Layout(), 0u);
  EXPECT_EQ(frame_->ActiveView(), int(eView_ListA));
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  const int nFocused = frame_->ListView(ePanel_A)->CurrentRow();
  ASSERT_GE(nFocused, 0);
  EXPECT_EQ(frame_->List(ePanel_A).CellText(nFocused, 0), "a.txt");
  EXPECT_FALSE(frame_->SearchView()->isVisible());

  // The results are still there; closing their view brings the layout before back.
  Trigger(eCmd_SearchResults);
  EXPECT_EQ(frame_->Layout(), 10u);
  EXPECT_EQ(Results().rowCount(), 2);
  QPushButton* pClose = nullptr;
  for (QPushButton* pButton : frame_->SearchView()->findChildren<QPushButton*>())
    if (pButton->text() == core::Text(55121)) pClose = pButton;
  ASSERT_NE(pClose, nullptr);
  QTest::mouseClick(pClose, Qt::LeftButton);
  EXPECT_EQ(frame_->Layout(), 0u);
}

TEST_F(MainFrameSearchTest, EscapeStopsALongSearch) {
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i)
    MakeFile(QString("\\Big\\F%1\\file%2.dat").arg(i / 30).arg(i));
  settings.MainViewSearchbar = 1;
  StartFrame();
  TypeSearch("*.dat");
  ASSERT_TRUE(frame_->SearchBar()->IsRunning());
  EXPECT_EQ(frame_->SearchBar()->Button()->text(), core::Text(900805));
  // Escape reaches the frame wherever the focus is: here, the results.
  QTest::keyClick(frame_->SearchView()->ListView()->CurrentView(), Qt::Key_Escape);
  WaitForSearchEnd();
  EXPECT_LT(Results().rowCount(), kFiles);
  EXPECT_EQ(collect::CurrentSearchResults()->Count(), size_t(Results().rowCount()));
  EXPECT_FALSE(frame_->IsSearchRunning());
  // A search that runs to its end finds them all, and the window took its batches.
  TypeSearch("*.dat");
  WaitForSearchEnd();
  EXPECT_EQ(Results().rowCount(), kFiles);
}

TEST_F(MainFrameSearchTest, DevicePropertiesShowTheFiguresAndTheVolumes) {
  StartFrame();
  // The page is offered by the Help menu's command and by the tree's device node alone.
  Trigger(eCmd_VerticalBrowser);
  frame_->Tree(ePanel_A);
  QApplication::processEvents();
  QAction* pPage = frame_->Action(eCmd_DeviceProperties);
  ASSERT_NE(pPage, nullptr);
  EXPECT_TRUE(frame_->ContextMenuActions(eView_TreeA).contains(pPage));
  frame_->List(ePanel_A).ShowLocation(CPanelLocation::FileSystem("\\Docs"), true, true);
  QApplication::processEvents();
  EXPECT_FALSE(frame_->ContextMenuActions(eView_TreeA).contains(pPage));
  CDlg_Prop_Device page(frame_.get());
  ASSERT_FALSE(page.Volumes().empty());
  EXPECT_EQ(page.Volumes()[0].strName, core::Text(900816));
  EXPECT_EQ(page.Volumes()[0].uTotal, device::StoreSize());
  EXPECT_EQ(page.FigureText(core::Text(900813)),
            core::FormatSize(device::TotalPhysicalMemory()));
  EXPECT_EQ(page.FigureText(core::Text(900818)), core::Text(900821)) << "no card in the root";
  EXPECT_TRUE(page.FigureText(core::Text(900816)).endsWith(core::FormatSize(device::StoreSize())));
}

}  // namespace
