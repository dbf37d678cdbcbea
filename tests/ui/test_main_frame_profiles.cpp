// The profiles of the main frame: a Profiles-menu entry switches to another profile and
// applies its options; the management dialog adds, activates and deletes profiles, and the
// frame applies the options of a new current profile when the dialog closes.
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "core/message_box.h"
#include "core/profiles.h"
#include "support/scripted_message_box.h"
#include "ui/profiles_dialog.h"

#include "main_frame_fixture.h"

namespace {

TEST_F(MainFrameTest, ProfileSwitchAppliesTheOtherProfilesOptions) {
  ASSERT_TRUE(WriteGlobalDword("NumProfiles", 1));
  ASSERT_TRUE(WriteGlobalString("ProfName0", "Work"));
  ASSERT_TRUE(WriteGlobalString("ProfDtl0", "Work profile"));
  const QString strWork = ProfileKeyPath("Work");
  ASSERT_TRUE(WriteKeyDword(strWork, "MainViewConfig", 9));
  ASSERT_TRUE(WriteKeyDword(strWork, "MainViewActive", 2));
  ASSERT_TRUE(WriteKeyDword(strWork, "MainViewToolbar", 0));
  ASSERT_TRUE(WriteKeyDword(strWork, "MainListModeListViewB", 3));
  StartFrame();
  ASSERT_EQ(frame_->Layout(), 7u);
  EXPECT_FALSE(frame_->SwitchToProfile(kCmdProfileFirst + 5));  // no such profile
  EXPECT_EQ(frame_->Layout(), 7u);
  ASSERT_TRUE(frame_->SwitchToProfile(kCmdProfileFirst + 1));
  EXPECT_EQ(EffectiveProfileName(), "Work");
  EXPECT_EQ(frame_->Layout(), 9u);
  EXPECT_EQ(frame_->ActiveView(), int(eView_TreeB));
  EXPECT_FALSE(frame_->findChild<QToolBar*>("toolBar")->isVisible());
  EXPECT_FALSE(frame_->Action(eCmd_ToolBar)->isChecked());
  EXPECT_EQ(frame_->ListView(ePanel_B)->Mode(), int(eListMode_List));
  EXPECT_TRUE(frame_->Action(eCmd_RightList)->isChecked());
  // Back to the built-in profile, which kept what it had.
  ASSERT_TRUE(frame_->SwitchToProfile(kCmdProfileFirst));
  EXPECT_EQ(frame_->Layout(), 7u);
  EXPECT_TRUE(frame_->findChild<QToolBar*>("toolBar")->isVisible());
}

TEST_F(MainFrameTest, ManageProfilesAddsActivatesAndDeletesThroughItsDialog) {
  test::CScriptedMessageBox box;
  ASSERT_TRUE(WriteGlobalDword("NumProfiles", 1));
  ASSERT_TRUE(WriteGlobalString("ProfName0", "Work"));
  ASSERT_TRUE(WriteGlobalString("ProfDtl0", "Work profile"));
  ASSERT_TRUE(WriteKeyDword(ProfileKeyPath("Work"), "MainViewConfig", 9));
  StartFrame();
  ASSERT_EQ(frame_->Layout(), 7u);
  ASSERT_TRUE(frame_->Action(eCmd_ManageProfiles)->isEnabled());
  const auto editor = [](const char* name, const char* details) {
    return [name, details](QString* pstrName, QString* pstrDetails) {
      *pstrName = name;
      *pstrDetails = details;
      return true;
    };
  };
  // Add "Home"; "default" is refused as existing; then activate "Work".
  frame_->SetProfilesDialogRunner([&](CDlg_Profiles& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Manage profiles");
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0), "Default");
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(1), "Default profile");
    EXPECT_TRUE(dialog.List()->topLevelItem(0)->font(0).bold());  // the current one
    EXPECT_FALSE(dialog.List()->topLevelItem(1)->font(0).bold());
    dialog.SetEditor(editor("Home", "At home"));
    dialog.AddButton()->click();
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.List()->topLevelItem(2)->text(0), "Home");
    dialog.SetEditor(editor("default", ""));
    dialog.AddButton()->click();
    ASSERT_EQ(box.Calls().size(), 1u);
    EXPECT_EQ(box.Calls()[0].strTitle, "Profile already exists");
    EXPECT_EQ(dialog.List()->topLevelItemCount(), 3);
    dialog.SelectRow(1);
    dialog.ActivateButton()->click();
    EXPECT_TRUE(dialog.List()->topLevelItem(1)->font(0).bold());
  });
  Trigger(eCmd_ManageProfiles);
  EXPECT_EQ(EffectiveProfileName(), "Work");
  EXPECT_EQ(frame_->Layout(), 9u);  // the Work profile's options are applied
  const QVector<CProfileMenuItem> menu = ProfileMenu();
  ASSERT_EQ(menu.size(), 3);
  EXPECT_EQ(menu[2].strLabel, "Home");
  EXPECT_TRUE(menu[1].bChecked);

  // Deleting the active profile goes back to "Default" and its options.
  box.QueueAnswer(eMsgAnsYes);
  frame_->SetProfilesDialogRunner([&](CDlg_Profiles& dialog) {
    dialog.SelectRow(1);
    dialog.DeleteButton()->click();
    EXPECT_EQ(dialog.List()->topLevelItemCount(), 2);
  });
  Trigger(eCmd_ManageProfiles);
  ASSERT_EQ(box.Calls().size(), 3u);  // the question, then the notice
  EXPECT_EQ(box.Calls()[2].strTitle, "Notice");
  EXPECT_EQ(EffectiveProfileName(), "Default");
  EXPECT_EQ(frame_->Layout(), 7u);
  // Closing the dialog without a change leaves the frame alone.
  frame_->SetLayout(0);
  frame_->SetProfilesDialogRunner([](CDlg_Profiles&) {});
  Trigger(eCmd_ManageProfiles);
  EXPECT_EQ(frame_->Layout(), 0u);
}

}  // namespace
