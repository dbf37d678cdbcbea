#pragma once
// The desktop's password dialogs of the encrypt and decrypt commands ("Encrypt File": password,
// confirmation and "Delete source file after encryption"; "Decrypt File": password and "Delete
// after decryption"), and the password prompt that shows them.
//
// OK checks the entries with crypto::AcceptPasswordEntries: a broken rule shows its warning,
// empties both fields and keeps the dialog open. The delete check box starts from the
// program-wide flag (checked at start-up) and a confirmed dialog stores its choice there.

#include <QDialog>

#include "crypto/password_prompt.h"

class QCheckBox;
class QLabel;
class QLineEdit;

class CDlg_FilePassword : public QDialog {
  Q_OBJECT

 public:
  explicit CDlg_FilePassword(crypto::ECryptDirection direction, QWidget* parent = nullptr);

  // The entries as confirmed; meaningful once the dialog was accepted.
  crypto::CPasswordChoice Choice() const;

  QLabel* HeadingLabel() const { return heading_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QLineEdit* ConfirmEdit() const { return confirm_; }  // null in the decrypt dialog
  QCheckBox* DeleteBox() const { return delete_; }

 public slots:
  // Closes the dialog only when the entries pass the rules.
  void accept() override;

 private:
  QLineEdit* AddPasswordField(const QString& strLabel, const QString& strName);

  crypto::ECryptDirection direction_;
  QLabel* heading_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLineEdit* confirm_ = nullptr;
  QCheckBox* delete_ = nullptr;
  class QFormLayout* form_ = nullptr;
};

// The password prompt of the desktop: the dialog above, modal to pParent.
class CDesktopPasswordPrompt : public crypto::IPasswordPrompt {
 public:
  explicit CDesktopPasswordPrompt(QWidget* pParent) : parent_(pParent) {}
  bool AskPassword(crypto::ECryptDirection direction, crypto::CPasswordChoice* pChoice) override;

 private:
  QWidget* parent_;
};
