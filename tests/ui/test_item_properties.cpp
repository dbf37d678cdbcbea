// The properties dialog as a user reaches it: Alt+Enter on a list row or a tree folder, and
// the context menus' entry. It shows the item's figures (a folder's total counted in the
// background), a link's target, and writes read-only and hidden to the disk, showing the
// system's text when the host refuses.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

#include "browse/icon_manager.h"
#include "core/format.h"
#include "core/texts.h"
#include "main_frame_fixture.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "support/scripted_message_box.h"
#include "ui/item_properties_dialog.h"
#include "ui/tree_view.h"

namespace {

class ItemPropertiesTest : public MainFrameTest {
 protected:
  // Presses Alt+Enter in a widget and runs fnCheck on the dialog it opens; false when none
  // opened. The dialog is closed afterwards by fnCheck or here (Cancel).
  bool AltEnterShows(QWidget* pWidget, const std::function<void(CDlg_Prop_Item&)>& fnCheck) {
    bool bShown = false;
    QTimer::singleShot(0, [&] {
      auto* pDialog = qobject_cast<CDlg_Prop_Item*>(QApplication::activeModalWidget());
      if (!pDialog) return;
      bShown = true;
      fnCheck(*pDialog);
      if (pDialog->isVisible()) pDialog->reject();
    });
    // A closed modal dialog leaves no window active on the offscreen platform; a user's
    // frame is active again, and shortcuts go only to the active window.
    QApplication::setActiveWindow(frame_.get());
    QTest::keyClick(pWidget, Qt::Key_Return, Qt::AltModifier);
    return bShown;
  }
  static void Click(CDlg_Prop_Item& dialog, QDialogButtonBox::StandardButton button) {
    QPushButton* pButton = dialog.findChild<QDialogButtonBox*>()->button(button);
    QTest::mouseClick(pButton, Qt::LeftButton);
  }
  static QString Size(quint64 uBytes) {
    return QString("%1 (%2 bytes)").arg(core::FormatSize(uBytes), QLocale().toString(uBytes));
  }
};

TEST_F(ItemPropertiesTest, AltEnterOnRowsShowsTheirFiguresAndAFolderTotal) {
  MakeFile("\\Docs\\Sub1\\deep.bin", QByteArray(3000, 'x'));
  ASSERT_TRUE(QFile::link("Docs", Host("\\LinkIn")));
  settings.MainViewConfig = 7;
  StartFrame();
  CListPanel& list = frame_->List(ePanel_A);
  ASSERT_TRUE(list.LoadFolder("\\Docs", true, true));
  FocusRow(ePanel_A, "a.txt");
  FILETIME written{};
  ASSERT_TRUE(plat::GetFileTimes("\\Docs\\a.txt", nullptr, nullptr, &written));
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    EXPECT_EQ(dialog.FigureText("Name:"), "a.txt");
    EXPECT_EQ(dialog.FigureText("Location:"), "\\Docs");
    EXPECT_EQ(dialog.FigureText("Type:"), AppIconManager().TypeText("a.txt"));
    EXPECT_EQ(dialog.FigureText("Size:"), Size(4));
    EXPECT_EQ(dialog.FigureText("Modified:"), browse::FileTimeText(written));
    EXPECT_EQ(dialog.FigureText("Contains:"), "");  // a file has no contents line
    EXPECT_EQ(dialog.FigureText("Link to:"), "");
    EXPECT_FALSE(dialog.ReadOnlyBox()->isChecked());
  }));

  // A folder: its whole tree counted, links not followed (b.zip 21, a.txt 4, deep.bin 3000).
  ASSERT_TRUE(list.LoadFolder("\\", true, true));
  FocusRow(ePanel_A, "Docs");
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    EXPECT_EQ(dialog.FigureText("Type:"), "File folder");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.TotalsDone(); }, 5000));
    EXPECT_EQ(dialog.FigureText("Size:"), Size(3025));
    EXPECT_EQ(dialog.FigureText("Contains:"), "Folders: 2, Files: 3");
  }));
  // A link: its target as the host keeps it.
  FocusRow(ePanel_A, "LinkIn");
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    EXPECT_EQ(dialog.FigureText("Link to:"), "Docs");
  }));
  // The list's and the tree's context menus offer the dialog too.
  EXPECT_TRUE(frame_->ContextMenuActions(eView_ListA).contains(frame_->Action(eCmd_Properties)));
  EXPECT_TRUE(frame_->ContextMenuActions(eView_TreeA).contains(frame_->Action(eCmd_Properties)));
}

TEST_F(ItemPropertiesTest, AltEnterInTheTreeShowsTheSelectedFolder) {
  settings.MainViewConfig = 6;  // the tree alone
  StartFrame();
  CFolderTreeView* pTree = frame_->TreeView(ePanel_A);
  frame_->List(ePanel_A).LoadFolder("\\Music", true, true);  // the tree follows the list
  pTree->setFocus();
  EXPECT_TRUE(AltEnterShows(pTree, [&](CDlg_Prop_Item& dialog) {
    EXPECT_EQ(dialog.FigureText("Name:"), "Music");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.TotalsDone(); }, 5000));
    EXPECT_EQ(dialog.FigureText("Contains:"), "Folders: 0, Files: 0");
  }));
}

TEST_F(ItemPropertiesTest, AttributeChangesReachTheDiskOrShowTheSystemsText) {
  QTemporaryDir outside;
  ASSERT_TRUE(QFile::link(outside.path(), Host("\\linkOutside")));
  settings.MainViewConfig = 7;
  settings.MainListShowHidden = 1;  // the row stays once it is hidden
  StartFrame();
  test::CScriptedMessageBox box;
  CListPanel& list = frame_->List(ePanel_A);
  ASSERT_TRUE(list.LoadFolder("\\", true, true));
  FocusRow(ePanel_A, "readme.txt");
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    QTest::mouseClick(dialog.ReadOnlyBox(), Qt::LeftButton);
    QTest::mouseClick(dialog.HiddenBox(), Qt::LeftButton);
    Click(dialog, QDialogButtonBox::Ok);
    EXPECT_FALSE(dialog.isVisible());
  }));
  const DWORD dwSet = plat::GetFileAttributes("\\readme.txt");
  EXPECT_TRUE(dwSet & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(dwSet & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE((QFileInfo(Host("\\readme.txt")).permissions() & QFile::WriteOwner));
  // Cancel writes nothing; Apply clears read-only again.
  FocusRow(ePanel_A, "readme.txt");
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    EXPECT_TRUE(dialog.ReadOnlyBox()->isChecked());
    QTest::mouseClick(dialog.HiddenBox(), Qt::LeftButton);
    Click(dialog, QDialogButtonBox::Cancel);
  }));
  EXPECT_TRUE(plat::GetFileAttributes("\\readme.txt") & FILE_ATTRIBUTE_HIDDEN);
  FocusRow(ePanel_A, "readme.txt");
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    QTest::mouseClick(dialog.ReadOnlyBox(), Qt::LeftButton);
    Click(dialog, QDialogButtonBox::Apply);
  }));
  EXPECT_FALSE(plat::GetFileAttributes("\\readme.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE((QFileInfo(Host("\\readme.txt")).permissions() & QFile::WriteOwner));
  EXPECT_TRUE(box.Calls().empty());

  // A link outside the root: the host refuses to touch its target, the dialog says so and
  // stays open with the boxes as the disk has them.
  FocusRow(ePanel_A, "linkOutside");
  EXPECT_TRUE(AltEnterShows(Focused(ePanel_A), [&](CDlg_Prop_Item& dialog) {
    EXPECT_EQ(dialog.FigureText("Link to:"), outside.path());
    QTest::mouseClick(dialog.ReadOnlyBox(), Qt::LeftButton);
    Click(dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(box.Calls().size(), 1u);
    EXPECT_EQ(box.Calls()[0].strText, plat::SystemMessage(ERROR_ACCESS_DENIED).trimmed());
    EXPECT_EQ(box.Calls()[0].strHeader, "Cannot change the attributes of \\linkOutside");
    EXPECT_FALSE(dialog.ReadOnlyBox()->isChecked());
  }));
  EXPECT_TRUE(QFileInfo(outside.path()).permissions() & QFile::WriteOwner);
}

}  // namespace
