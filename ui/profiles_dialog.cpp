#include "ui/profiles_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/message_box.h"
#include "core/texts.h"

namespace {

// The bold heading line under the title that the program's dialogs carry.
QLabel* Subtitle(const QString& strText, QWidget* pParent) {
  auto* pLabel = new QLabel(strText, pParent);
  QFont bold = pLabel->font();
  bold.setBold(true);
  pLabel->setFont(bold);
  return pLabel;
}

}  // namespace

CDlg_ProfileEdit::CDlg_ProfileEdit(const QString& strName, const QString& strDetails,
                                   QWidget* pParent)
    : QDialog(pParent) {
  setWindowTitle(core::Text(55228));
  auto* pBox = new QVBoxLayout(this);
  pBox->addWidget(Subtitle(core::Text(55229), this));
  auto* pForm = new QFormLayout;
  name_ = new QLineEdit(strName, this);
  details_ = new QLineEdit(strDetails, this);
  pForm->addRow(core::Text(55224), name_);
  pForm->addRow(core::Text(55225), details_);
  pBox->addLayout(pForm);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  pButtons->button(QDialogButtonBox::Ok)->setText(MsgBoxString(IDS_MSGBOX_OK));
  pButtons->button(QDialogButtonBox::Cancel)->setText(MsgBoxString(IDS_MSGBOX_CANCEL));
  connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  pBox->addWidget(pButtons);
  name_->setFocus();
}

QString CDlg_ProfileEdit::Name() const { return name_->text(); }

QString CDlg_ProfileEdit::Details() const { return details_->text(); }

CDlg_Profiles::CDlg_Profiles(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(core::Text(55222));
  auto* pBox = new QVBoxLayout(this);
  pBox->addWidget(Subtitle(core::Text(55223), this));

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setColumnCount(2);
  list_->setHeaderLabels({core::Text(900500), core::Text(900501)});
  list_->header()->setStretchLastSection(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { Activate(); });
  pBox->addWidget(list_, 1);

  auto* pRow = new QHBoxLayout;
  add_ = new QPushButton(core::Text(900502), this);
  edit_ = new QPushButton(core::Text(900503), this);
  delete_ = new QPushButton(core::Text(900504), this);
  activate_ = new QPushButton(core::Text(900505), this);
  connect(add_, &QPushButton::clicked, this, &CDlg_Profiles::Add);
  connect(edit_, &QPushButton::clicked, this, &CDlg_Profiles::Edit);
  connect(delete_, &QPushButton::clicked, this, &CDlg_Profiles::Delete);
  connect(activate_, &QPushButton::clicked, this, &CDlg_Profiles::Activate);
  for (QPushButton* pButton : {add_, edit_, delete_, activate_}) {
    pButton->setAutoDefault(false);
    pRow->addWidget(pButton);
  }
  pRow->addStretch(1);
  pBox->addLayout(pRow);

  auto* pClose = new QDialogButtonBox(QDialogButtonBox::Close, this);
  pClose->button(QDialogButtonBox::Close)->setText(MsgBoxString(IDS_MSGBOX_CLOSE));
  connect(pClose, &QDialogButtonBox::rejected, this, &QDialog::accept);
  pBox->addWidget(pClose);

  editor_ = [this](QString* pstrName, QString* pstrDetails) {
    return RunEditor(pstrName, pstrDetails);
  };
  FillList(manager_.CurrentRow());
  resize(420, 320);
}

bool CDlg_Profiles::RunEditor(QString* pstrName, QString* pstrDetails) {
  CDlg_ProfileEdit dialog(*pstrName, *pstrDetails, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  *pstrName = dialog.Name();
  *pstrDetails = dialog.Details();
  return true;
}

void CDlg_Profiles::FillList(int nSelect) {
  list_->clear();
  const int nCurrent = manager_.CurrentRow();
  const QVector<CProfileManager::CRow>& rows = manager_.Rows();
  for (int nRow = 0; nRow < rows.size(); ++nRow) {
    auto* pItem = new QTreeWidgetItem(list_, {rows[nRow].strName, rows[nRow].strDetails});
    if (nRow != nCurrent) continue;
    // The current profile is marked.
    QFont bold = pItem->font(0);
    bold.setBold(true);
    pItem->setFont(0, bold);
    pItem->setFont(1, bold);
    pItem->setIcon(0, style()->standardIcon(QStyle::SP_DialogApplyButton));
  }
  if (nSelect >= 0 && nSelect < rows.size()) SelectRow(nSelect);
}

int CDlg_Profiles::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.front());
}

void CDlg_Profiles::SelectRow(int nRow) {
  list_->clearSelection();
  if (QTreeWidgetItem* pItem = list_->topLevelItem(nRow)) {
    pItem->setSelected(true);
    list_->setCurrentItem(pItem);
  }
}

void CDlg_Profiles::Add() {
  if (manager_.Add(editor_)) FillList(int(manager_.Rows().size()) - 1);
}

void CDlg_Profiles::Edit() {
  const int nRow = SelectedRow();
  if (manager_.Edit(nRow, editor_)) FillList(nRow);
}

void CDlg_Profiles::Delete() {
  const int nRow = SelectedRow();
  if (manager_.Delete(nRow)) FillList(qMin(nRow, int(manager_.Rows().size()) - 1));
}

void CDlg_Profiles::Activate() {
  const int nRow = SelectedRow();
  if (manager_.Activate(nRow)) FillList(nRow);
}
