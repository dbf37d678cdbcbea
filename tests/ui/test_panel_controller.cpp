// A panel controller driven without a frame or views, on a real temporary root and hive: it
// opens at the stored folder with its tree hidden and builds the tree later on the list's
// place, routes a tree selection to the list and the list's moves back to the tree, stores
// each place, and passes nothing on once it is closed.
#include <gtest/gtest.h>

#include <QList>

#include "browse/folder_tree.h"
#include "browse/panel_keys.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "support/temp_root.h"
#include "ui/panel_controller.h"

namespace {

// Keeps what a controller reports.
class CRecordingObserver : public IPanelControllerObserver {
 public:
  void OnPanelLocation(EPanelId ePanel, const CPanelLocation& location) override {
    locations << location.path;
  }
  void OnPanelStatusText(EPanelId ePanel, const QString& strText) override { texts << strText; }
  void OnPanelOpenFile(EPanelId ePanel, const QString& strFullPath) override {
    files << strFullPath;
  }
  QStringList locations, texts, files;
};

class PanelControllerTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    LoadCurrentProfileName();
    LoadDefaults();
    LoadSettings();
    MakeFolder("\\Docs\\Sub1");
    MakeFile("\\Docs\\a.txt", "text");
    MakeFolder("\\Music");
    MakeFolder("\\Empty");
  }
  CRecordingObserver observer_;
};

TEST_F(PanelControllerTest, AHiddenTreeIsBuiltLaterOnTheFolderTheListOpenedAt) {
  settings.RememberLastOpenedFolder = 1;
  ASSERT_TRUE(browse::StorePanelLocation(ePanel_B, CPanelLocation::FileSystem("\\Docs\\Sub1")));
  CPanelController panel(ePanel_B, &observer_);
  panel.SetTreeShown(false);
  EXPECT_FALSE(panel.Open());  // nothing opens before the start folder is given
  EXPECT_FALSE(panel.List().ShowsListing());

  panel.SetStartFolder("\\");
  ASSERT_TRUE(panel.Open());
  EXPECT_FALSE(panel.Open());
  EXPECT_EQ(panel.List().CurrentPath(), "\\Docs\\Sub1");
  EXPECT_EQ(panel.Location().path, "\\Docs\\Sub1");
  EXPECT_FALSE(panel.IsTreeBuilt());
  EXPECT_EQ(observer_.locations, QStringList({"\\Docs\\Sub1"}));
  EXPECT_EQ(observer_.texts.value(observer_.texts.size() - 1), "Empty folder.");

  // The tree follows the list without sending the list anywhere.
  panel.EnsureTree();
  ASSERT_TRUE(panel.IsTreeBuilt());
  EXPECT_EQ(panel.Folder(EPanelPart::eTree), "\\Docs\\Sub1");
  EXPECT_EQ(panel.List().CurrentPath(), "\\Docs\\Sub1");
  EXPECT_EQ(observer_.locations, QStringList({"\\Docs\\Sub1"}));
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_B).path, "\\Docs\\Sub1");
}

TEST_F(PanelControllerTest, TreeAndListFollowEachOtherUntilClosed) {
  CPanelController panel(ePanel_A, &observer_);
  panel.SetTreeShown(true);
  panel.SetStartFolder("\\");
  ASSERT_TRUE(panel.Open());
  ASSERT_TRUE(panel.IsTreeBuilt());
  EXPECT_EQ(panel.Folder(EPanelPart::eList), "\\");

  ASSERT_TRUE(panel.Tree().SelectFolder("\\Music"));
  EXPECT_EQ(panel.List().CurrentPath(), "\\Music");
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_A).path, "\\Music");
  ASSERT_TRUE(panel.List().LoadFolder("\\Docs", true, true));
  EXPECT_EQ(panel.Folder(EPanelPart::eTree), "\\Docs");
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_A).path, "\\Docs");
  EXPECT_EQ(observer_.locations.value(observer_.locations.size() - 1), "\\Docs");
  ASSERT_TRUE(panel.Back());
  EXPECT_EQ(panel.Folder(EPanelPart::eTree), "\\Music");

  // Closed: what the list does is neither followed, stored nor reported.
  const int nReported = observer_.locations.size();
  panel.Close();
  ASSERT_TRUE(panel.List().LoadFolder("\\Empty", true, true));
  EXPECT_EQ(observer_.locations.size(), nReported);
  EXPECT_EQ(panel.Folder(EPanelPart::eTree), "\\Music");
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_A).path, "\\Music");
}

}  // namespace
