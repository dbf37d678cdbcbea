// Symbolic links in the frame's lists and trees: their rows and nodes say they are links and
// the views put a mark on their icons; opening a link row follows it only when its target
// lies inside the device root, and otherwise shows the system's text and stays.
#include <QFile>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTreeView>

#include "browse/folder_tree.h"
#include "browse/folder_tree_model.h"
#include "main_frame_fixture.h"
#include "platform/errors.h"
#include "support/scripted_message_box.h"
#include "ui/link_overlay.h"
#include "ui/tree_view.h"

namespace {

class MainFrameLinksTest : public MainFrameTest {
 protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    ASSERT_TRUE(outside_.isValid());
    MakeOutsideFile();
    // Relative and absolute links inside the root, and links that leave it or lead nowhere.
    ASSERT_TRUE(QFile::link("Docs", Host("\\LinkIn")));
    ASSERT_TRUE(QFile::link(Host("\\readme.txt"), Host("\\LinkFile")));
    ASSERT_TRUE(QFile::link(outside_.path(), Host("\\linkOutside")));
    ASSERT_TRUE(QFile::link(outside_.filePath("secret.txt"), Host("\\linkOutsideFile")));
    ASSERT_TRUE(QFile::link("gone", Host("\\linkDangling")));
  }
  void MakeOutsideFile() {
    QFile file(outside_.filePath("secret.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("outside");
  }
  QModelIndex TreeNode(const QString& strName) {
    CFolderTreeModel* pModel = frame_->Tree(ePanel_A).Model();
    const QModelIndex root = pModel->index(0, 0);
    for (int i = 0; i < pModel->rowCount(root); ++i) {
      const QModelIndex child = pModel->index(i, 0, root);
      if (child.data(CFolderTreeModel::eRole_Path).toString() == "\\" + strName) return child;
    }
    return {};
  }

  QTemporaryDir outside_;
};

TEST_F(MainFrameLinksTest, LinkRowsAndNodesAreMarkedOnTheirIcons) {
  settings.MainViewConfig = 0;  // tree A and list A
  StartFrame();
  CListPanel& list = frame_->List(ePanel_A);
  ASSERT_TRUE(list.LoadFolder("\\", true, true));
  auto* pDelegate = qobject_cast<CLinkOverlayDelegate*>(
      frame_->ListView(ePanel_A)->DetailsView()->itemDelegate());
  ASSERT_NE(pDelegate, nullptr);
  struct {
    const char* name;
    bool link;
  } const rows[] = {{"LinkIn", true},       {"LinkFile", true}, {"linkOutside", true},
                    {"linkDangling", true}, {"Docs", false},    {"readme.txt", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int nRow = RowOf(ePanel_A, row.name);
    ASSERT_GE(nRow, 0);
    const QModelIndex index = list.index(nRow, 0);
    EXPECT_EQ(index.data(CListPanel::eRole_Link).toBool(), row.link);
    // The view puts the mark where the row's icon is drawn, and only on links.
    QStyleOptionViewItem option;
    option.initFrom(frame_->ListView(ePanel_A)->DetailsView());
    option.rect = frame_->ListView(ePanel_A)->DetailsView()->visualRect(index);
    option.decorationSize = frame_->ListView(ePanel_A)->DetailsView()->iconSize();
    option.features |= QStyleOptionViewItem::HasDecoration;
    const QRect mark = pDelegate->OverlayRect(option, index);
    EXPECT_EQ(!mark.isEmpty(), row.link);
    if (row.link) {
      EXPECT_TRUE(option.rect.contains(mark));
    }
  }
  // The tree's folder node of a link inside the root is marked; a plain folder is not.
  auto* pTreeDelegate =
      qobject_cast<CLinkOverlayDelegate*>(frame_->TreeView(ePanel_A)->itemDelegate());
  ASSERT_NE(pTreeDelegate, nullptr);
  const QModelIndex linkNode = TreeNode("LinkIn");
  const QModelIndex plainNode = TreeNode("Docs");
  ASSERT_TRUE(linkNode.isValid());
  ASSERT_TRUE(plainNode.isValid());
  EXPECT_TRUE(linkNode.data(CFolderTreeModel::eRole_Link).toBool());
  EXPECT_FALSE(plainNode.data(CFolderTreeModel::eRole_Link).toBool());
}

TEST_F(MainFrameLinksTest, OpeningALinkRowFollowsItOnlyInsideTheRoot) {
  settings.MainViewConfig = 7;
  StartFrame();
  test::CScriptedMessageBox box;
  CListPanel& list = frame_->List(ePanel_A);
  struct {
    const char* name;
    DWORD error;
  } const refused[] = {
      {"linkOutside", ERROR_ACCESS_DENIED},
      {"linkOutsideFile", ERROR_ACCESS_DENIED},
      {"linkDangling", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(list.LoadFolder("\\", true, true));
    const size_t nBefore = box.Calls().size();
    FocusRow(ePanel_A, c.name);
    QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
    EXPECT_EQ(list.CurrentPath(), "\\");
    EXPECT_GE(RowOf(ePanel_A, "Docs"), 0);  // still the root's listing
    ASSERT_EQ(box.Calls().size(), nBefore + 1);
    EXPECT_EQ(box.Calls().back().strText, plat::SystemMessage(c.error).trimmed());
    EXPECT_EQ(box.Calls().back().strHeader, QString("Cannot open \\%1").arg(c.name));
  }
  EXPECT_TRUE(opened_.isEmpty());  // nothing was handed to the desktop

  // Inside the root a folder link is listed and a file link is opened.
  const size_t nBefore = box.Calls().size();
  ASSERT_TRUE(list.LoadFolder("\\", true, true));
  FocusRow(ePanel_A, "LinkFile");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  EXPECT_EQ(opened_.size(), 1);
  FocusRow(ePanel_A, "LinkIn");
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  EXPECT_EQ(list.CurrentPath(), "\\LinkIn");
  EXPECT_GE(RowOf(ePanel_A, "a.txt"), 0);
  EXPECT_EQ(box.Calls().size(), nBefore);
}

}  // namespace
