#include "ui/favorites_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/texts.h"

CDlg_Favorites::CDlg_Favorites(const QVector<CFavorite>& stored, QWidget* pParent)
    : QDialog(pParent), favorites_(stored) {
  setWindowTitle(core::Text(901133));
  auto* pColumns = new QHBoxLayout();
  list_ = new QListWidget(this);
  pColumns->addWidget(list_, 1);
  auto* pButtons = new QVBoxLayout();
  const struct {
    int nText;
    std::function<void(int)> run;
  } kButtons[] = {
      {901134,
       [this](int nRow) {
         QString strName = favorites_[nRow].strName;
         if (AskFavoriteName(this, 901133, &strName)) Rename(nRow, strName);
       }},
      {901135, [this](int nRow) { Remove(nRow); }},
      {901136, [this](int nRow) { Move(nRow, -1); }},
      {901137, [this](int nRow) { Move(nRow, 1); }},
  };
  for (const auto& button : kButtons) {
    auto* pButton = new QPushButton(core::Text(button.nText), this);
    auto run = button.run;
    connect(pButton, &QPushButton::clicked, this, [this, run] {
      const int nRow = list_->currentRow();
      if (nRow >= 0 && nRow < favorites_.size()) run(nRow);
    });
    pButtons->addWidget(pButton);
  }
  pButtons->addStretch(1);
  pColumns->addLayout(pButtons);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addLayout(pColumns);
  auto* pBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(pBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(pBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
  pLayout->addWidget(pBox);
  Fill(0);
}

void CDlg_Favorites::Fill(int nCurrent) {
  list_->clear();
  for (const CFavorite& favorite : favorites_)
    list_->addItem(QStringLiteral("%1\t%2").arg(
        favorite.strName.isEmpty() ? favorite.strPath : favorite.strName, favorite.strPath));
  if (!favorites_.isEmpty()) list_->setCurrentRow(qBound(0, nCurrent, int(favorites_.size()) - 1));
}

void CDlg_Favorites::Remove(int nRow) {
  if (nRow < 0 || nRow >= favorites_.size()) return;
  favorites_.removeAt(nRow);
  Fill(nRow);
}

void CDlg_Favorites::Move(int nRow, int nBy) {
  const int nTo = nRow + nBy;
  if (nRow < 0 || nRow >= favorites_.size() || nTo < 0 || nTo >= favorites_.size()) return;
  favorites_.swapItemsAt(nRow, nTo);
  Fill(nTo);
}

void CDlg_Favorites::Rename(int nRow, const QString& strName) {
  if (nRow < 0 || nRow >= favorites_.size()) return;
  favorites_[nRow].strName = strName.trimmed();
  Fill(nRow);
}

bool AskFavoriteName(QWidget* pParent, int nTitleText, QString* pstrName) {
  QDialog dialog(pParent);
  dialog.setWindowTitle(core::Text(nTitleText));
  auto* pLayout = new QVBoxLayout(&dialog);
  pLayout->addWidget(new QLabel(core::Text(901138), &dialog));
  auto* pEdit = new QLineEdit(*pstrName, &dialog);
  pEdit->selectAll();
  pLayout->addWidget(pEdit);
  auto* pBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(pBox, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(pBox, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  pLayout->addWidget(pBox);
  dialog.resize(qMax(420, dialog.sizeHint().width()), dialog.sizeHint().height());
  pEdit->setFocus();
  if (dialog.exec() != QDialog::Accepted) return false;
  *pstrName = pEdit->text();
  return true;
}
