#include "ui/search_bar.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "core/settings.h"
#include "core/texts.h"

namespace {

constexpr int kRemembered = 10;  // "SimpleSearchString 0" to "SimpleSearchString 9"

}  // namespace

CSearchBar::CSearchBar(QWidget* pParent) : QWidget(pParent) {
  auto* pRow = new QHBoxLayout(this);
  pRow->setContentsMargins(3, 2, 3, 2);
  edit_ = new QComboBox(this);
  edit_->setEditable(true);
  edit_->setInsertPolicy(QComboBox::NoInsert);
  edit_->setMaxCount(kRemembered);
  edit_->lineEdit()->setPlaceholderText(core::Text(900808));
  edit_->lineEdit()->installEventFilter(this);
  edit_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  button_ = new QPushButton(core::Text(900583), this);
  pRow->addWidget(edit_, 1);
  pRow->addWidget(button_);
  FillDropDown();
  edit_->setCurrentIndex(-1);
  edit_->setEditText({});
  connect(edit_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    if (!running_) OnButton();
  });
  connect(button_, &QPushButton::clicked, this, &CSearchBar::OnButton);
}

QString CSearchBar::Text() const { return edit_->currentText(); }

void CSearchBar::SetText(const QString& strText) { edit_->setEditText(strText); }

void CSearchBar::SetRunning(bool bRunning) {
  running_ = bRunning;
  button_->setText(core::Text(bRunning ? 900805 : 900583));
}

void CSearchBar::Remember(const QString& strText) {
  QStringList& texts = settings.SimpleSearchStrings;
  texts.removeAll(strText);
  texts.prepend(strText);
  while (texts.size() > kRemembered) texts.removeLast();
  FillDropDown();
  edit_->setEditText(strText);
}

void CSearchBar::FillDropDown() {
  const QString strText = edit_->currentText();
  edit_->clear();
  edit_->addItems(settings.SimpleSearchStrings);
  edit_->setEditText(strText);
}

void CSearchBar::OnButton() {
  if (running_) {
    emit stopRequested();
    return;
  }
  const QString strText = Text().trimmed();
  if (!strText.isEmpty()) emit searchRequested(strText);
}

bool CSearchBar::eventFilter(QObject* pWatched, QEvent* pEvent) {
  if (pEvent->type() == QEvent::KeyPress && running_ &&
      static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape) {
    emit stopRequested();
    return true;
  }
  return QWidget::eventFilter(pWatched, pEvent);
}
