#include "ui/enc_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/message_box.h"

CDlg_FilePassword::CDlg_FilePassword(crypto::ECryptDirection direction, QWidget* parent)
    : QDialog(parent), direction_(direction) {
  const bool bEncrypt = direction == crypto::ECryptDirection::eEncrypt;
  setObjectName(crypto::PasswordDialogCaption(direction));  // "Encrypt File", "Decrypt File"
  setWindowTitle(crypto::CryptTitle(direction));
  setModal(true);
  auto* root = new QVBoxLayout(this);

  heading_ = new QLabel(crypto::PasswordDialogHeading(direction), this);
  heading_->setTextFormat(Qt::PlainText);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  root->addWidget(heading_);

  form_ = new QFormLayout;
  root->addLayout(form_);
  password_ = AddPasswordField(crypto::PasswordFieldLabel(), QStringLiteral("password"));
  if (bEncrypt) confirm_ = AddPasswordField(crypto::ConfirmFieldLabel(), QStringLiteral("confirm"));

  delete_ = new QCheckBox(crypto::DeleteSourceLabel(direction), this);
  delete_->setObjectName(QStringLiteral("deleteSource"));
  delete_->setChecked(crypto::DeleteSourceDefault());
  root->addWidget(delete_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(MsgBoxString(IDS_MSGBOX_OK));
  buttons->button(QDialogButtonBox::Cancel)->setText(MsgBoxString(IDS_MSGBOX_CANCEL));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlg_FilePassword::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDlg_FilePassword::reject);
  root->addWidget(buttons);
  password_->setFocus();
}

QLineEdit* CDlg_FilePassword::AddPasswordField(const QString& strLabel, const QString& strName) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(strName);
  edit->setEchoMode(QLineEdit::Password);
  form_->addRow(strLabel, edit);
  return edit;
}

crypto::CPasswordChoice CDlg_FilePassword::Choice() const {
  return {password_->text(), delete_->isChecked()};
}

void CDlg_FilePassword::accept() {
  const QString confirm = confirm_ ? confirm_->text() : QString();
  if (!crypto::AcceptPasswordEntries(direction_, password_->text(), confirm)) {
    password_->clear();
    if (confirm_) confirm_->clear();
    password_->setFocus();
    return;
  }
  QDialog::accept();
}

bool CDesktopPasswordPrompt::AskPassword(crypto::ECryptDirection direction,
                                         crypto::CPasswordChoice* pChoice) {
  CDlg_FilePassword dialog(direction, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  *pChoice = dialog.Choice();
  crypto::SetDeleteSourceDefault(pChoice->bDeleteSource);
  return true;
}
