// The settings sheet driven through its widgets in the real frame: the boxes and lists write
// the options, OK saves, Cancel reloads, the views follow; the favorites menus.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QListWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include <gtest/gtest.h>

#include "browse/folder_tree.h"
#include "browse/folder_tree_model.h"
#include "core/app_log.h"
#include "core/favorites.h"
#include "core/settings_sheet.h"
#include "core/texts.h"
#include "support/scripted_message_box.h"
#include "ui/favorites_dialog.h"
#include "ui/settings_sheet.h"
#include "ui/tree_view.h"

#include "main_frame_fixture.h"

namespace {

class SettingsSheetFrameTest : public MainFrameTest {
 protected:
  // Opens the sheet from the frame's Settings command and runs fn on it; the sheet closes
  // with OK or Cancel.
  void WithSheet(const std::function<void(CDlg_Sett_Container&)>& fn, bool bOk) {
    frame_->SetSettingsDialogRunner([&](CDlg_Sett_Container& sheet) {
      sheet.show();
      fn(sheet);
      sheet.Buttons()->button(bOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    Trigger(eCmd_Settings);
    QApplication::processEvents();
  }
  DWORD Stored(const char* name) {
    DWORD dw = 0xDEAD;
    ReadProfileDword(QString::fromLatin1(name), 0xDEAD, &dw);
    return dw;
  }
  void Click(CDlg_Sett_Container& sheet, const char* option) {
    QCheckBox* pBox = sheet.CheckOf(QString::fromLatin1(option));
    ASSERT_NE(pBox, nullptr) << option;
    pBox->click();
  }
};

TEST_F(SettingsSheetFrameTest, SheetHasTwelvePagesWithTheirTitlesAndHeadings) {
  StartFrame();
  EXPECT_EQ(frame_->Action(eCmd_Settings)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
  WithSheet([this](CDlg_Sett_Container& sheet) {
    EXPECT_EQ(sheet.windowTitle(), "Settings");
    ASSERT_EQ(sheet.Tabs()->count(), 12);
    for (int n = 0; n < 12; ++n) {
      EXPECT_EQ(sheet.Tabs()->tabText(n), core::Text(SettPageInfo(n).nTabText));
      EXPECT_EQ(sheet.Page(n)->objectName(), SettPageInfo(n).className);
      bool bHeading = false;
      for (QLabel* pLabel : sheet.Page(n)->findChildren<QLabel*>())
        bHeading |= pLabel->text() == core::Text(SettPageInfo(n).nHeadingText);
      EXPECT_TRUE(bHeading) << n;
    }
    EXPECT_EQ(sheet.Tabs()->tabText(3), "Recycle bin");
    // Inverted: "Hide system files" is unchecked while system files are shown.
    EXPECT_FALSE(sheet.CheckOf("MainTreeShowSystem")->isChecked());
    EXPECT_EQ(sheet.CheckOf("MainTreeShowSystem")->text(), "Hide system files");
    EXPECT_EQ(sheet.PassesList()->count(), 16);
    EXPECT_EQ(sheet.PassesList()->itemText(15), "16");
    EXPECT_EQ(sheet.FontBaseList()->itemText(0), "4 pts");
    // The recycle bin's folder list proposes the root's top folders.
    EXPECT_GE(sheet.RecycleBinList()->findText("\\Docs"), 0);
    // "Disable recycle bin" disables the other two.
    Click(sheet, "UseRecycleBin");
    EXPECT_FALSE(sheet.CheckOf("RecycleBinCompress")->isEnabled());
    EXPECT_FALSE(sheet.RecycleBinList()->isEnabled());
  }, false);
  EXPECT_EQ(settings.UseRecycleBin, 1u);  // cancelled
}

TEST_F(SettingsSheetFrameTest, HideHiddenFilesSetsBothOptionsAndRefreshesTheViews) {
  MakeFile("\\Docs\\.secret", "x");
  MakeFolder("\\.hiddenfolder");
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs", true, true);
  frame_->Tree(ePanel_A);
  ASSERT_GE(RowOf(ePanel_A, ".secret"), 0);
  CFolderTreeModel* pModel = frame_->Tree(ePanel_A).Model();
  ASSERT_TRUE(pModel->FolderIndex("\\.hiddenfolder").isValid());
  const int nListSteps = frame_->List(ePanel_A).History().Count();
  const int nTreeSteps = frame_->Tree(ePanel_A).History().Count();
  WithSheet([this](CDlg_Sett_Container& sheet) {
    Click(sheet, "MainTreeShowSystem");
    Click(sheet, "MainTreeShowHidden");
  }, true);
  EXPECT_EQ(settings.MainTreeShowSystem, 0u);
  EXPECT_EQ(settings.MainListShowSystem, 0u);
  EXPECT_EQ(Stored("MainTreeShowSystem"), 0u);
  EXPECT_EQ(Stored("MainListShowSystem"), 0u);
  EXPECT_EQ(Stored("MainListShowHidden"), 0u);
  // The trees are read again without the hidden folder; the list's folder load shows every
  // item (its filters hold for the items that views are told about one by one).
  EXPECT_FALSE(pModel->FolderIndex("\\.hiddenfolder").isValid());
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
  EXPECT_GE(RowOf(ePanel_A, ".secret"), 0);
  // Reading the views again is no step of the user's.
  EXPECT_EQ(frame_->List(ePanel_A).History().Count(), nListSteps);
  EXPECT_EQ(frame_->Tree(ePanel_A).History().Count(), nTreeSteps);
  EXPECT_TRUE(frame_->Tree(ePanel_A).Current() == pModel->FolderIndex("\\Docs"));
}

TEST_F(SettingsSheetFrameTest, FontSizeThenCancelKeepsTheStoredSize) {
  StartFrame();
  const int nPoints = frame_->ViewWidget(eView_ListA)->font().pointSize();
  WithSheet([](CDlg_Sett_Container& sheet) {
    sheet.FontSizeList()->setCurrentIndex(4);
    EXPECT_EQ(settings.MainViewFontSize, 4u);
  }, false);
  EXPECT_EQ(settings.MainViewFontSize, 2u);
  EXPECT_EQ(Stored("MainViewFontSize"), 0xDEADu);
  EXPECT_EQ(frame_->ViewWidget(eView_ListA)->font().pointSize(), nPoints);
  // With OK the views take the new size and the third base stores 6.
  WithSheet([](CDlg_Sett_Container& sheet) {
    sheet.FontSizeList()->setCurrentIndex(4);
    sheet.FontBaseList()->setCurrentIndex(2);
  }, true);
  EXPECT_EQ(Stored("MainViewFontSize"), 4u);
  EXPECT_EQ(Stored("MainViewFontBase"), 6u);
  EXPECT_EQ(frame_->ViewWidget(eView_ListA)->font().pointSize(), nPoints - 1 + 4);
}

TEST_F(SettingsSheetFrameTest, LogErrorsThenCancelStaysOnAndTheNextSaveStoresIt) {
  OpenLog(LogOptionsFromSettings());
  StartFrame();
  WithSheet([this](CDlg_Sett_Container& sheet) { Click(sheet, "AppLog_LogErr"); }, false);
  EXPECT_EQ(settings.AppLog_LogErr, 1u);
  EXPECT_TRUE(IsLogOn(eLogErr));
  EXPECT_EQ(Stored("AppLog_LogErr"), 0xDEADu);
  WithSheet([](CDlg_Sett_Container&) {}, true);
  EXPECT_EQ(Stored("AppLog_LogErr"), 1u);
  CloseLog();
}

TEST_F(SettingsSheetFrameTest, ClearTypeOnAndOkStoresBothNamesAndShowsTheNoticeOnce) {
  test::CScriptedMessageBox box;
  StartFrame();
  WithSheet([this](CDlg_Sett_Container& sheet) { Click(sheet, "EnableClearTypeFonts"); }, true);
  EXPECT_EQ(Stored("EnableClearTypeFonts"), 1u);
  EXPECT_EQ(Stored("UseClearType"), 1u);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strTitle, "ClearType notice");
  EXPECT_EQ(box.Calls()[0].strHeader, "ClearType settings changed");
  EXPECT_TRUE(box.Calls()[0].strText.contains("Pinewood Browser"));
  EXPECT_EQ(frame_->ViewWidget(eView_ListA)->font().styleStrategy() & QFont::PreferAntialias,
            QFont::PreferAntialias);
}

TEST_F(SettingsSheetFrameTest, PassesAndLogFolderAndListStyles) {
  ASSERT_TRUE(WriteProfileDword("SDelNumPasses", 0));
  LoadSettings();
  StartFrame();
  const QString strFolder = settings.AppLog_Folder;
  WithSheet([&](CDlg_Sett_Container& sheet) {
    EXPECT_EQ(sheet.PassesList()->currentText(), "1");
    sheet.LogFolderList()->setCurrentText(strFolder.toUpper());  // the same folder
    EXPECT_EQ(settings.AppLog_Folder, strFolder);
    EXPECT_EQ(SettingsChangeFlags(), 0u);
    Click(sheet, "MainListShowStripes");
    Click(sheet, "MainListHeaderDrag");
  }, true);
  EXPECT_EQ(Stored("SDelNumPasses"), 1u);
  QTreeView* pDetails = frame_->ListView(ePanel_A)->DetailsView();
  EXPECT_FALSE(pDetails->alternatingRowColors());
  EXPECT_FALSE(pDetails->header()->sectionsMovable());
  // The menus were built again, Settings still in them.
  bool bFound = false;
  for (QMenu* pMenu : frame_->menuBar()->findChildren<QMenu*>())
    bFound |= pMenu->actions().contains(frame_->Action(eCmd_Settings));
  EXPECT_TRUE(bFound);
}

TEST_F(SettingsSheetFrameTest, SingleExpandAndFlatButtonsTakeEffect) {
  StartFrame();
  Trigger(eCmd_VerticalBrowser);
  WithSheet([this](CDlg_Sett_Container& sheet) {
    Click(sheet, "MainTreeSingleExpand");
    Click(sheet, "Btn_Is_Flat");
    Click(sheet, "Btn_Has_Icons");  // off
  }, true);
  CFolderTreeView* pTree = frame_->TreeView(ePanel_A);
  CFolderTree& tree = frame_->Tree(ePanel_A);
  ASSERT_TRUE(tree.SelectFolder("\\Docs"));
  const QModelIndex docs = tree.Model()->FolderIndex("\\Docs");
  const QModelIndex music = tree.Model()->FolderIndex("\\Music");
  ASSERT_TRUE(docs.isValid() && music.isValid());
  pTree->expand(docs);
  ASSERT_TRUE(pTree->isExpanded(docs));
  pTree->expand(music);
  EXPECT_TRUE(pTree->isExpanded(music));
  EXPECT_FALSE(pTree->isExpanded(docs));  // its open sibling closed
  // The next window's buttons are flat and without pictures.
  WithSheet([](CDlg_Sett_Container& sheet) {
    QPushButton* pOk = sheet.Buttons()->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(pOk->isFlat());
    EXPECT_TRUE(pOk->icon().isNull());
  }, false);
  settings.Btn_Has_Icons = 1;
  WithSheet([](CDlg_Sett_Container& sheet) {
    EXPECT_FALSE(sheet.Buttons()->button(QDialogButtonBox::Ok)->icon().isNull());
  }, false);
}

TEST_F(SettingsSheetFrameTest, AddedFavoriteIsInTheMenuAfterARestartAndOpensItsFolder) {
  ASSERT_TRUE(WriteProfileDword("FavFS", 0));
  ASSERT_TRUE(WriteProfileDword("NumFavorites", 1));
  ASSERT_TRUE(WriteProfileDword("FavT0", 2));
  ASSERT_TRUE(WriteProfileString("FavSD0", "\\Gone"));
  StartFrame();
  frame_->List(ePanel_A).LoadFolder("\\Docs\\Sub1", true, true);
  frame_->SetFavoriteNameAsker([](QString* pstrName) {
    EXPECT_EQ(*pstrName, "Sub1");
    *pstrName = "My sub";
    return true;
  });
  ASSERT_TRUE(frame_->AddToFavorites());
  EXPECT_EQ(Stored("NumFavorites"), 2u);
  Restart();
  frame_->List(ePanel_A).LoadFolder("\\Music", true, true);
  QMenu* pMenu = frame_->FavoritesMenu();
  ASSERT_NE(pMenu, nullptr);
  emit pMenu->aboutToShow();
  QAction* pGone = nullptr;
  QAction* pSub = nullptr;
  for (QAction* pAction : pMenu->actions()) {
    if (pAction->text() == "\\Gone") pGone = pAction;
    if (pAction->text() == "My sub") pSub = pAction;
  }
  ASSERT_NE(pGone, nullptr);
  EXPECT_FALSE(pGone->isEnabled());  // its folder is missing
  ASSERT_NE(pSub, nullptr);
  ASSERT_TRUE(pSub->isEnabled());
  pSub->trigger();
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs\\Sub1");
  // The tree's context menu offers the same list.
  bool bTreeHas = false;
  for (QAction* pAction : frame_->ContextMenuActions(eView_TreeA))
    if (pAction->menu()) {
      emit pAction->menu()->aboutToShow();
      for (QAction* pEntry : pAction->menu()->actions()) bTreeHas |= pEntry->text() == "My sub";
    }
  EXPECT_TRUE(bTreeHas);
}

TEST_F(SettingsSheetFrameTest, OrganizedFavoritesAreStoredInTheirNewOrder) {
  ASSERT_TRUE(WriteProfileDword("FavFS", 0));
  ASSERT_TRUE(SaveFavorites({CFavorite{2, "A", "\\Docs", 0, 0}, CFavorite{2, "B", "\\Music", 0, 0},
                             CFavorite{2, "C", "\\Empty", 0, 0}}));
  CDlg_Favorites dialog(StoredFavorites());
  ASSERT_EQ(dialog.List()->count(), 3);
  dialog.Move(0, 1);   // B A C
  dialog.Move(0, -1);  // nothing above the first
  dialog.Remove(2);    // B A
  dialog.Rename(1, " Docs ");
  ASSERT_TRUE(SaveFavorites(dialog.Favorites()));
  ASSERT_EQ(favorites.size(), 2);
  EXPECT_EQ(favorites[0].strName, "B");
  EXPECT_EQ(favorites[1].strName, "Docs");
  EXPECT_EQ(favorites[1].strPath, "\\Docs");
  EXPECT_EQ(Stored("NumFavorites"), 2u);
}

TEST_F(SettingsSheetFrameTest, RendersSettingsPagesToPng) {
  StartFrame();
  const QString strFolder = QCoreApplication::applicationDirPath() + "/screenshots";
  ASSERT_TRUE(QDir().mkpath(strFolder));
  WithSheet([&](CDlg_Sett_Container& sheet) {
    for (int n = 0; n < eSettPageCount; ++n) {
      sheet.Tabs()->setCurrentIndex(n);
      QApplication::processEvents();
      QPixmap shot = frame_->grab();
      const QPixmap page = sheet.grab();
      QPainter painter(&shot);
      painter.drawPixmap((shot.width() - page.width()) / 2, (shot.height() - page.height()) / 2,
                         page);
      painter.end();
      EXPECT_EQ(shot.size(), QSize(1280, 800));
      const QString strFile = QStringLiteral("%1/settings_%2_%3.png")
                                  .arg(strFolder)
                                  .arg(n + 1, 2, 10, QLatin1Char('0'))
                                  .arg(QString::fromLatin1(SettPageInfo(n).fileTag));
      EXPECT_TRUE(shot.save(strFile)) << strFile.toStdString();
    }
  }, false);
}

}  // namespace
