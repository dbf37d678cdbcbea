// The frame tells the truth about where it is and what is selected: a typed address that
// cannot be opened is refused with the system's text while the panel stays put, folder
// names complete as they are typed, the status bar counts the selection, and a file another
// program creates appears in the list by itself.
#include <QCompleter>
#include <QFile>
#include <QLineEdit>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QToolBar>

#include "core/format.h"
#include "main_frame_fixture.h"
#include "platform/errors.h"
#include "support/scripted_message_box.h"

namespace {

class MainFrameFeedbackTest : public MainFrameTest {
 protected:
  QLineEdit* Address() {
    return frame_->findChild<QToolBar*>("addressBar")->findChild<QLineEdit*>();
  }
  void Type(const QString& strText) {
    QLineEdit* pEdit = Address();
    pEdit->setFocus();
    pEdit->selectAll();
    QTest::keyClicks(pEdit, strText);
  }
};

TEST_F(MainFrameFeedbackTest, AnAddressThatCannotBeOpenedKeepsTheLocationAndShowsTheSystemsText) {
  QTemporaryDir outside;
  ASSERT_TRUE(QFile::link(outside.path(), Host("\\Out")));
  settings.MainViewConfig = 7;
  StartFrame();
  test::CScriptedMessageBox box;
  ASSERT_TRUE(frame_->List(ePanel_A).LoadFolder("\\Docs", true, true));
  struct {
    const char* typed;
    DWORD error;
  } const cases[] = {
      {"\\Nope\\Deeper", ERROR_PATH_NOT_FOUND},
      {"\\Docs\\a.txt", ERROR_DIRECTORY},
      {"\\Out", ERROR_ACCESS_DENIED},  // a link whose target lies outside the root
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    const size_t nBefore = box.Calls().size();
    Type(c.typed);
    QTest::keyClick(Address(), Qt::Key_Return);
    EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Docs");
    EXPECT_EQ(frame_->AddressText(), "\\Docs");
    ASSERT_EQ(box.Calls().size(), nBefore + 1);
    EXPECT_EQ(box.Calls().back().strText, plat::SystemMessage(c.error).trimmed());
    EXPECT_EQ(box.Calls().back().strHeader, QString("Cannot open %1").arg(c.typed));
  }
  // A folder that is there is gone to, without a box.
  const size_t nBefore = box.Calls().size();
  Type("\\Music");
  QTest::keyClick(Address(), Qt::Key_Return);
  EXPECT_EQ(frame_->List(ePanel_A).CurrentPath(), "\\Music");
  EXPECT_EQ(box.Calls().size(), nBefore);
}

TEST_F(MainFrameFeedbackTest, TheAddressBarCompletesFolderNamesAsTheyAreTyped) {
  settings.MainViewConfig = 7;
  StartFrame();
  Type("\\Docs\\s");
  auto* pModel = qobject_cast<QStringListModel*>(frame_->AddressCompleter()->model());
  ASSERT_NE(pModel, nullptr);
  EXPECT_EQ(pModel->stringList(), QStringList({"\\Docs\\Sub1", "\\Docs\\Sub2"}));
  settings.MainListShowHidden = 0;  // the program's own dot folder is left out as the list does
  Type("\\");
  EXPECT_EQ(pModel->stringList(), QStringList({"\\Docs", "\\Empty", "\\Music"}));  // no files
}

TEST_F(MainFrameFeedbackTest, TheStatusBarCountsAndSizesTheSelection) {
  settings.MainViewConfig = 7;
  StartFrame();
  ASSERT_TRUE(frame_->List(ePanel_A).LoadFolder("\\Docs", true, true));
  EXPECT_EQ(frame_->SelectionSummaryLine(), "");
  CListView* pView = frame_->ListView(ePanel_A);
  for (const char* name : {"a.txt", "b.zip"})
    pView->Selection()->select(frame_->List(ePanel_A).index(RowOf(ePanel_A, name), 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(frame_->SelectionSummaryLine(),
            QString("Selected: 2 (%1)").arg(core::FormatSize(4 + 21)));
  EXPECT_EQ(frame_->StatusLineText(), "Folders: 2, Files: 2");  // beside the listing's text
  pView->Selection()->clearSelection();
  EXPECT_EQ(frame_->SelectionSummaryLine(), "");
}

TEST_F(MainFrameFeedbackTest, AFileAnotherProgramCreatesAppearsInTheListWithinASecond) {
  settings.MainViewConfig = 7;
  StartFrame();
  ASSERT_TRUE(frame_->List(ePanel_A).LoadFolder("\\Docs", true, true));
  ASSERT_LT(RowOf(ePanel_A, "new.txt"), 0);
  MakeFile("\\Docs\\new.txt", "hello");
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(ePanel_A, "new.txt") >= 0; }, 1000));
  EXPECT_EQ(frame_->StatusLineText(), "Folders: 2, Files: 3");
}

}  // namespace
