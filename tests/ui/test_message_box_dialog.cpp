// The desktop message box on the offscreen platform: layouts, default buttons, the remember
// choice, and the answers of clicks and keys.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/message_box.h"
#include "ui/message_box_dialog.h"

namespace {

CMsgBoxRequest Request(int nKind, UINT uMsgNum = 0) {
  return MakeMsgBoxRequest(nKind, "The <b>body</b> text", "The title", "The heading", uMsgNum);
}

// The visible buttons of a dialog, left to right, as answers.
std::vector<int> ShownAnswers(const CMessageBoxDialog& dialog) {
  std::vector<std::pair<int, int>> byX;
  for (int nAnswer : {eMsgAnsOK, eMsgAnsYes, eMsgAnsNo, eMsgAnsYesToAll, eMsgAnsNoToAll,
                      eMsgAnsCancel}) {
    if (QPushButton* b = dialog.Button(nAnswer); b && b->isVisible())
      byX.emplace_back(b->mapTo(&dialog, QPoint(0, 0)).x(), nAnswer);
  }
  std::sort(byX.begin(), byX.end());
  std::vector<int> answers;
  for (const auto& [x, nAnswer] : byX) answers.push_back(nAnswer);
  return answers;
}

struct CLayoutCase {
  int nKind;
  std::vector<int> buttons;
  int nDefault;
};

TEST(MessageBoxDialog, EachLayoutShowsItsButtonsTextsAndDefault) {
  const CLayoutCase cases[] = {
      {eMsgKindNotice, {eMsgAnsOK}, eMsgAnsOK},
      {eMsgKindInfo, {eMsgAnsOK}, eMsgAnsOK},
      {eMsgKindWarning, {eMsgAnsOK}, eMsgAnsOK},
      {eMsgKindError, {eMsgAnsOK}, eMsgAnsOK},
      {eMsgKindQuestion, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsNo},
      {eMsgKindShortcutOffer, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsYes},
      {eMsgKindConfirm, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsNo},
      {eMsgKindConflict,
       {eMsgAnsYes, eMsgAnsNo, eMsgAnsYesToAll, eMsgAnsNoToAll, eMsgAnsCancel},
       eMsgAnsNo},
  };
  for (const CLayoutCase& c : cases) {
    SCOPED_TRACE(c.nKind);
    CMessageBoxDialog dialog(Request(c.nKind), false);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(ShownAnswers(dialog), c.buttons);
    for (int nAnswer : c.buttons) {
      EXPECT_EQ(dialog.Button(nAnswer)->text(), MsgAnswerCaption(nAnswer));
      EXPECT_EQ(dialog.Button(nAnswer)->isDefault(), nAnswer == c.nDefault);
    }
    EXPECT_EQ(dialog.windowTitle(), "The title");
    EXPECT_EQ(dialog.HeadingLabel()->text(), "The heading");
    EXPECT_TRUE(dialog.HeadingLabel()->font().bold());
    EXPECT_EQ(dialog.BodyLabel()->text(), "The <b>body</b> text");
    EXPECT_EQ(dialog.BodyLabel()->textFormat(), Qt::PlainText);  // names never become markup
    EXPECT_FALSE(dialog.IconLabel()->pixmap().isNull());
    EXPECT_EQ(dialog.RememberBox(), nullptr);
  }
}

TEST(MessageBoxDialog, RememberChoiceOnlyWithAMessageNumber) {
  CMessageBoxDialog with(Request(eMsgKindWarning, 3), false);
  ASSERT_NE(with.RememberBox(), nullptr);
  EXPECT_EQ(with.RememberBox()->text(), "Do not ask again");
  EXPECT_FALSE(with.RememberBox()->isChecked());
  CMessageBoxDialog without(Request(eMsgKindWarning, 0), false);
  EXPECT_EQ(without.RememberBox(), nullptr);
}

TEST(MessageBoxDialog, ClickingAButtonAnswersIt) {
  for (int nAnswer : MsgButtonsOfKind(eMsgKindConflict)) {
    SCOPED_TRACE(nAnswer);
    CMessageBoxDialog dialog(Request(eMsgKindConflict), false);
    QTimer::singleShot(0, &dialog, [&] { QTest::mouseClick(dialog.Button(nAnswer), Qt::LeftButton); });
    EXPECT_EQ(dialog.exec(), nAnswer);
    EXPECT_EQ(dialog.Answer(), nAnswer);
  }
}

struct CKeyCase {
  int nKind;
  Qt::Key key;
  int nAnswer;
};

TEST(MessageBoxDialog, EnterPressesTheDefaultAndEscapeTheSafeAnswer) {
  const CKeyCase cases[] = {
      {eMsgKindError, Qt::Key_Return, eMsgAnsOK},
      {eMsgKindError, Qt::Key_Escape, eMsgAnsOK},
      {eMsgKindQuestion, Qt::Key_Return, eMsgAnsNo},
      {eMsgKindQuestion, Qt::Key_Escape, eMsgAnsNo},
      {eMsgKindShortcutOffer, Qt::Key_Return, eMsgAnsYes},
      {eMsgKindShortcutOffer, Qt::Key_Escape, eMsgAnsNo},
      {eMsgKindConfirm, Qt::Key_Return, eMsgAnsNo},
      {eMsgKindConflict, Qt::Key_Return, eMsgAnsNo},
      {eMsgKindConflict, Qt::Key_Escape, eMsgAnsCancel},
  };
  for (const CKeyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nKind << " key " << c.key);
    CMessageBoxDialog dialog(Request(c.nKind), false);
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, c.key); });
    dialog.exec();
    EXPECT_EQ(dialog.Answer(), c.nAnswer);
  }
}

TEST(MessageBoxDialog, DesktopFrontEndReturnsTheAnswerAndTheTick) {
  CDesktopMessageBoxUi ui(false);
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<CMessageBoxDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->RememberBox()->setChecked(true);
    dialog->Button(eMsgAnsYes)->click();
  });
  const CMsgBoxReply reply = ui.ShowMessageBox(Request(eMsgKindQuestion, 17));
  EXPECT_EQ(reply.nAnswer, eMsgAnsYes);
  EXPECT_TRUE(reply.bRemember);

  // Closing the box with the tick set is not a choice to remember.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<CMessageBoxDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->RememberBox()->setChecked(true);
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  const CMsgBoxReply closed = ui.ShowMessageBox(Request(eMsgKindQuestion, 17));
  EXPECT_EQ(closed.nAnswer, eMsgAnsNo);
  EXPECT_FALSE(closed.bRemember);
}

TEST(MessageBoxDialog, HighResolutionDoublesPixelSizes) {
  CMessageBoxDialog normal(Request(eMsgKindConflict), false);
  CMessageBoxDialog high(Request(eMsgKindConflict), true);
  EXPECT_EQ(high.IconLabel()->width(), 2 * normal.IconLabel()->width());
  EXPECT_EQ(high.Button(eMsgAnsYes)->minimumWidth(), 2 * normal.Button(eMsgAnsYes)->minimumWidth());
  EXPECT_EQ(high.layout()->contentsMargins().left(), 2 * normal.layout()->contentsMargins().left());
}

TEST(MessageBoxDialog, EmptyHeadingIsHidden) {
  CMessageBoxDialog dialog(MakeMsgBoxRequest(eMsgKindError, "body", "title", "", 0), false);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_FALSE(dialog.HeadingLabel()->isVisible());
  EXPECT_TRUE(dialog.BodyLabel()->isVisible());
}

}  // namespace
