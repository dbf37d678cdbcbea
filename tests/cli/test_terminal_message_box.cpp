// pinbro-cli's message boxes: the box line on standard error, the --answer mapping, and the
// questions asked on a terminal.
#include <QString>
#include <QTextStream>

#include <gtest/gtest.h>

#include "app/cli/terminal_message_box.h"
#include "core/message_box.h"

namespace {

struct CWordCase {
  const char* word;
  int nKind;
  int nAnswer;
};

TEST(TerminalMessageBox, AnswerWordsMapToTheKindsButtons) {
  const CWordCase cases[] = {
      {"yes", eMsgKindConflict, eMsgAnsYes},
      {"no", eMsgKindConflict, eMsgAnsNo},
      {"yes-all", eMsgKindConflict, eMsgAnsYesToAll},
      {"no-all", eMsgKindConflict, eMsgAnsNoToAll},
      {"cancel", eMsgKindConflict, eMsgAnsCancel},
      {"yes", eMsgKindQuestion, eMsgAnsYes},
      {"no", eMsgKindConfirm, eMsgAnsNo},
      {"yes-all", eMsgKindConfirm, eMsgAnsYes},
      {"no-all", eMsgKindQuestion, eMsgAnsNo},
      {"cancel", eMsgKindShortcutOffer, eMsgAnsNo},
      {"yes", eMsgKindError, eMsgAnsOK},
      {"cancel", eMsgKindNotice, eMsgAnsOK},
      {"bogus", eMsgKindConflict, eMsgAnsCancel},
      {"bogus", eMsgKindQuestion, eMsgAnsNo},
  };
  for (const CWordCase& c : cases) {
    EXPECT_EQ(cli::CTerminalMessageBox::AnswerForWord(c.word, MsgButtonsOfKind(c.nKind),
                                                      MsgEscapeAnswerOfKind(c.nKind)),
              c.nAnswer)
        << c.word << " on kind " << c.nKind;
  }
}

class TerminalBoxTest : public ::testing::Test {
 protected:
  // Runs one box through a service with a terminal front-end; returns its answer.
  int Ask(const QString& answer, int nKind, const QString& text, const QString& title,
          const QString& heading, const QString& typed = {}, bool bTerminal = false) {
    QTextStream err(&errText);
    QString input = typed;
    QTextStream in(&input);
    cli::CTerminalMessageBox box(answer, err);
    box.SetInput(&in, bTerminal);
    CMessageBoxService service(&box, nullptr);
    CScopedMessageBoxService install(&service);
    return MsgBox(nKind, text, title, heading);
  }
  QString errText;
};

TEST_F(TerminalBoxTest, EveryBoxIsPrintedAsTitleHeadingBodyWithoutEmptyParts) {
  EXPECT_EQ(Ask("", eMsgKindError, "Error creating folder \\a", "Create folder",
                "Create new folder"),
            eMsgAnsOK);
  Ask("", eMsgKindInfo, "Test finished.", "Zip", "");
  Ask("", eMsgKindInfo, "only body", "", "");
  Ask("", eMsgKindInfo, "", "", "");
  EXPECT_EQ(errText,
            "Create folder: Create new folder: Error creating folder \\a\n"
            "Zip: Test finished.\n"
            "only body\n"
            "\n");
}

TEST_F(TerminalBoxTest, AnswerOptionAnswersEveryQuestionWithoutPrompt) {
  EXPECT_EQ(Ask("yes-all", eMsgKindConflict, "b", "t", "h"), eMsgAnsYesToAll);
  EXPECT_EQ(Ask("yes-all", eMsgKindQuestion, "b", "t", "h"), eMsgAnsYes);
  EXPECT_EQ(Ask("cancel", eMsgKindConfirm, "b", "t", "h"), eMsgAnsNo);
  EXPECT_EQ(errText, "t: h: b\nt: h: b\nt: h: b\n");
}

TEST_F(TerminalBoxTest, WithoutAnswerAndWithoutTerminalTheSafeAnswerIsTaken) {
  EXPECT_EQ(Ask("", eMsgKindQuestion, "Delete read-only file?", "Delete", "", "yes\n"),
            eMsgAnsNo);
  EXPECT_EQ(Ask("", eMsgKindConflict, "Replace?", "Copy", "", "yes\n"), eMsgAnsCancel);
  EXPECT_EQ(Ask("", eMsgKindShortcutOffer, "Create?", "", "", "yes\n"), eMsgAnsNo);
  EXPECT_FALSE(errText.contains("Answer"));
}

struct CTypedCase {
  int nKind;
  const char* typed;
  int nAnswer;
};

TEST_F(TerminalBoxTest, OnATerminalTheQuestionIsAskedUntilAnswered) {
  const CTypedCase cases[] = {
      {eMsgKindQuestion, "y\n", eMsgAnsYes},
      {eMsgKindQuestion, "NO\n", eMsgAnsNo},
      {eMsgKindQuestion, "maybe\nyes\n", eMsgAnsYes},
      {eMsgKindQuestion, "\n", eMsgAnsNo},          // Enter takes the default: No
      {eMsgKindShortcutOffer, "\n", eMsgAnsYes},    // ... which is Yes for the offer
      {eMsgKindConflict, "yes-all\n", eMsgAnsYesToAll},
      {eMsgKindConflict, "no-all\n", eMsgAnsNoToAll},
      {eMsgKindConflict, "c\n", eMsgAnsCancel},
      {eMsgKindConflict, "yes-all?\n", eMsgAnsCancel},  // then the input ends: Cancel
      {eMsgKindQuestion, "", eMsgAnsNo},                // no input at all
      {eMsgKindQuestion, "yes-all\n", eMsgAnsNo},       // not offered here, then the end
  };
  for (const CTypedCase& c : cases) {
    errText.clear();
    EXPECT_EQ(Ask("", c.nKind, "b", "t", "", c.typed, true), c.nAnswer)
        << c.typed << " on kind " << c.nKind;
  }
  errText.clear();
  Ask("", eMsgKindConflict, "a.txt exists", "Copy", "", "x\nno\n", true);
  EXPECT_EQ(errText,
            "Copy: a.txt exists\n"
            "Answer yes/no/yes-all/no-all/cancel [no]: "
            "Please answer yes, no, yes-all, no-all, cancel.\n"
            "Answer yes/no/yes-all/no-all/cancel [no]: ");
}

TEST_F(TerminalBoxTest, OneButtonBoxesNeverAsk) {
  EXPECT_EQ(Ask("", eMsgKindWarning, "w", "Warning!", "", "no\n", true), eMsgAnsOK);
  EXPECT_EQ(errText, "Warning!: w\n");
}

}  // namespace
