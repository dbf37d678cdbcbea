// The password dialogs on the offscreen platform: texts and masked fields, the rules with
// their boxes and emptied fields, the delete check box and its program-wide flag, and the
// desktop prompt driving a real modal dialog.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "crypto/password_prompt.h"
#include "support/scripted_message_box.h"
#include "ui/enc_dialogs.h"

namespace {

using crypto::ECryptDirection;

class EncDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { crypto::SetDeleteSourceDefault(true); }
  void TearDown() override { crypto::SetDeleteSourceDefault(true); }

  // Types the entries and presses Enter (OK).
  static void Confirm(CDlg_FilePassword& dialog, const QString& password, const QString& confirm) {
    dialog.PasswordEdit()->setText(password);
    if (dialog.ConfirmEdit()) dialog.ConfirmEdit()->setText(confirm);
    QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Return);
  }

  test::CScriptedMessageBox box_;
};

TEST_F(EncDialogsTest, TextsAndMaskedFields) {
  CDlg_FilePassword encrypt(ECryptDirection::eEncrypt);
  EXPECT_EQ(encrypt.objectName(), "Encrypt File");
  EXPECT_EQ(encrypt.windowTitle(), "File encryption");
  EXPECT_EQ(encrypt.HeadingLabel()->text(), "File encryption password");
  ASSERT_NE(encrypt.ConfirmEdit(), nullptr);
  EXPECT_EQ(encrypt.PasswordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(encrypt.ConfirmEdit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(encrypt.DeleteBox()->text(), "Delete source file after encryption");
  EXPECT_TRUE(encrypt.DeleteBox()->isChecked());

  CDlg_FilePassword decrypt(ECryptDirection::eDecrypt);
  EXPECT_EQ(decrypt.objectName(), "Decrypt File");
  EXPECT_EQ(decrypt.windowTitle(), "File decryption");
  EXPECT_EQ(decrypt.HeadingLabel()->text(), "File decryption password");
  EXPECT_EQ(decrypt.ConfirmEdit(), nullptr);
  EXPECT_EQ(decrypt.PasswordEdit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(decrypt.DeleteBox()->text(), "Delete after decryption");
  EXPECT_TRUE(decrypt.DeleteBox()->isChecked());
}

TEST_F(EncDialogsTest, BrokenRulesShowTheirBoxEmptyTheFieldsAndKeepTheDialogOpen) {
  struct Case {
    ECryptDirection direction;
    QString password, confirm, message;
  };
  const Case cases[] = {
      {ECryptDirection::eEncrypt, "abcdefg", "abcdefG", "The passwords you entered do not match."},
      {ECryptDirection::eEncrypt, "abcde", "abcde", "Password is too short. Enter minimum 6 symbols."},
      {ECryptDirection::eEncrypt, QString(41, 'x'), QString(41, 'x'),
       "Password is too long. Enter maximum 40 symbols."},
      {ECryptDirection::eDecrypt, "abcde", "", "Password is too short. Enter minimum 6 symbols."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.toStdString());
    CDlg_FilePassword dialog(c.direction);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const size_t before = box_.Calls().size();
    Confirm(dialog, c.password, c.confirm);
    const auto calls = box_.Calls();
    ASSERT_EQ(calls.size(), before + 1);
    EXPECT_EQ(calls.back().nKind, eMsgKindWarning);
    EXPECT_EQ(calls.back().strTitle, "Passwords");
    EXPECT_EQ(calls.back().strText, c.message);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.PasswordEdit()->text().isEmpty());
    if (dialog.ConfirmEdit()) {
      EXPECT_TRUE(dialog.ConfirmEdit()->text().isEmpty());
    }

    // Valid entries are then taken.
    Confirm(dialog, "good password", "good password");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice().strPassword, "good password");
    EXPECT_EQ(box_.Calls().size(), before + 1);
  }
}

// The prompt runs the dialog modally; the user's delete choice becomes where the next dialog
// starts.
TEST_F(EncDialogsTest, DesktopPromptReturnsTheChoiceAndKeepsTheDeleteFlag) {
  QWidget parent;
  CDesktopPasswordPrompt prompt(&parent);
  auto answerWith = [](const QString& password, bool bDelete, bool bCancel) {
    QTimer::singleShot(0, [=] {
      auto* dialog = qobject_cast<CDlg_FilePassword*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      if (bCancel) {
        dialog->reject();
        return;
      }
      dialog->DeleteBox()->setChecked(bDelete);
      Confirm(*dialog, password, password);
    });
  };
  crypto::CPasswordChoice choice;
  answerWith("first password", false, false);
  ASSERT_TRUE(prompt.AskPassword(ECryptDirection::eEncrypt, &choice));
  EXPECT_EQ(choice.strPassword, "first password");
  EXPECT_FALSE(choice.bDeleteSource);
  EXPECT_FALSE(crypto::DeleteSourceDefault());
  EXPECT_FALSE(CDlg_FilePassword(ECryptDirection::eDecrypt).DeleteBox()->isChecked());

  answerWith("", true, true);
  EXPECT_FALSE(prompt.AskPassword(ECryptDirection::eDecrypt, &choice));
  EXPECT_FALSE(crypto::DeleteSourceDefault());  // a cancelled dialog changes nothing

  answerWith("second password", true, false);
  ASSERT_TRUE(prompt.AskPassword(ECryptDirection::eDecrypt, &choice));
  EXPECT_EQ(choice.strPassword, "second password");
  EXPECT_TRUE(choice.bDeleteSource);
  EXPECT_TRUE(crypto::DeleteSourceDefault());
}

}  // namespace
