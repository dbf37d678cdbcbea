#include "ui/message_box_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/texts.h"
#include "ui/button_options.h"

namespace {

// Pixel sizes of the normal screen; a high-resolution screen doubles each.
constexpr int kIconSize = 32;
constexpr int kMargin = 10;
constexpr int kSpacing = 8;
constexpr int kButtonMinWidth = 72;
constexpr int kTextMinWidth = 220;

QStyle::StandardPixmap IconOfKind(int nKind) {
  switch (nKind) {
    case eMsgKindWarning: return QStyle::SP_MessageBoxWarning;
    case eMsgKindError: return QStyle::SP_MessageBoxCritical;
    case eMsgKindNotice:
    case eMsgKindInfo: return QStyle::SP_MessageBoxInformation;
    default:
      return MsgLayoutOfKind(nKind) == eMsgLayoutOk ? QStyle::SP_MessageBoxInformation
                                                    : QStyle::SP_MessageBoxQuestion;
  }
}

QString ButtonObjectName(int nAnswer) {
  switch (nAnswer) {
    case eMsgAnsOK: return QStringLiteral("btnOK");
    case eMsgAnsYes: return QStringLiteral("btnYes");
    case eMsgAnsNo: return QStringLiteral("btnNo");
    case eMsgAnsYesToAll: return QStringLiteral("btnYesToAll");
    case eMsgAnsNoToAll: return QStringLiteral("btnNoToAll");
    case eMsgAnsCancel: return QStringLiteral("btnCancel");
    default: return QStringLiteral("btn%1").arg(nAnswer);
  }
}

// A label that shows its text as it stands: file names never turn into markup.
QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

CMessageBoxDialog::CMessageBoxDialog(const CMsgBoxRequest& request, bool bHighRes,
                                     QWidget* parent)
    : QDialog(parent), answer_(request.nEscapeAnswer), escapeAnswer_(request.nEscapeAnswer) {
  const int scale = bHighRes ? 2 : 1;
  setWindowTitle(request.strTitle);
  setModal(true);
  setObjectName(QStringLiteral("MessageBox"));
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(kMargin * scale, kMargin * scale, kMargin * scale, kMargin * scale);
  root->setSpacing(kSpacing * scale);
  SetupTexts(request, scale);
  SetupButtons(request, scale);
  PlayBoxSound(request.nKind);
}

void CMessageBoxDialog::SetupTexts(const CMsgBoxRequest& request, int scale) {
  auto* row = new QHBoxLayout;
  row->setSpacing(kSpacing * scale);
  icon_ = new QLabel(this);
  icon_->setObjectName(QStringLiteral("icon"));
  const int iconSize = kIconSize * scale;
  icon_->setPixmap(style()->standardIcon(IconOfKind(request.nKind)).pixmap(iconSize, iconSize));
  icon_->setFixedSize(iconSize, iconSize);
  row->addWidget(icon_, 0, Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(kSpacing * scale / 2);
  heading_ = PlainLabel(request.strHeader, this);
  heading_->setObjectName(QStringLiteral("heading"));
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  heading_->setVisible(!request.strHeader.isEmpty());
  body_ = PlainLabel(request.strText, this);
  body_->setObjectName(QStringLiteral("body"));
  body_->setMinimumWidth(kTextMinWidth * scale);
  texts->addWidget(heading_);
  texts->addWidget(body_);
  texts->addStretch(1);
  row->addLayout(texts, 1);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);

  if (request.bOfferRemember) {
    remember_ = new QCheckBox(core::Text(900506), this);
    remember_->setObjectName(QStringLiteral("remember"));
    layout()->addWidget(remember_);
  }
}

void CMessageBoxDialog::SetupButtons(const CMsgBoxRequest& request, int scale) {
  auto* row = new QHBoxLayout;
  row->setSpacing(kSpacing * scale / 2);
  row->addStretch(1);
  QPushButton* defaultButton = nullptr;
  for (int nAnswer : request.buttons) {
    auto* button = new QPushButton(MsgAnswerCaption(nAnswer), this);
    button->setObjectName(ButtonObjectName(nAnswer));
    button->setMinimumWidth(kButtonMinWidth * scale);
    // Only the default button reacts to Enter, whichever button has the focus.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, nAnswer] { Finish(nAnswer); });
    buttons_[nAnswer] = button;
    row->addWidget(button);
    if (nAnswer == request.nDefaultAnswer) defaultButton = button;
  }
  if (defaultButton) {
    defaultButton->setDefault(true);
    defaultButton->setFocus();
  }
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

bool CMessageBoxDialog::Remember() const {
  return pressed_ && remember_ && remember_->isChecked();
}

QPushButton* CMessageBoxDialog::Button(int nAnswer) const {
  const auto it = buttons_.find(nAnswer);
  return it == buttons_.end() ? nullptr : it->second;
}

void CMessageBoxDialog::reject() {
  answer_ = escapeAnswer_;
  pressed_ = false;
  QDialog::reject();
}

void CMessageBoxDialog::Finish(int nAnswer) {
  answer_ = nAnswer;
  pressed_ = true;
  done(nAnswer);
}

CMsgBoxReply CDesktopMessageBoxUi::ShowMessageBox(const CMsgBoxRequest& request) {
  CMessageBoxDialog dialog(request, highRes_, QApplication::activeWindow());
  dialog.exec();
  return {dialog.Answer(), dialog.Remember()};
}
