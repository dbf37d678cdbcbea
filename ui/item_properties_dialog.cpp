#include "ui/item_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/message_box.h"
#include "core/texts.h"
#include "platform/errors.h"

CDlg_Prop_Item::CDlg_Prop_Item(const fileops::CItemProperties& props, QWidget* pParent)
    : QDialog(pParent), props_(props) {
  setWindowTitle(core::Text(901311).arg(props.strName));
  auto* pColumn = new QVBoxLayout(this);

  auto* pGeneral = new QGroupBox(this);
  auto* pGrid = new QGridLayout(pGeneral);
  AddFigure(pGrid, core::Text(901312), props.strName);
  AddFigure(pGrid, core::Text(901313), props.strType);
  if (!props.strLocation.isEmpty()) AddFigure(pGrid, core::Text(901314), props.strLocation);
  if (props.bLink) AddFigure(pGrid, core::Text(901323), props.strLinkTarget);
  AddFigure(pGrid, core::Text(901315),
            props.bSizeKnown ? fileops::SizeText(props.uSize) : core::Text(901326));
  if (props.bFolder) AddFigure(pGrid, core::Text(901316), core::Text(901326));
  pColumn->addWidget(pGeneral);

  auto* pTimes = new QGroupBox(this);
  auto* pTimesGrid = new QGridLayout(pTimes);
  AddFigure(pTimesGrid, core::Text(901317), fileops::TimeText(props.creation));
  AddFigure(pTimesGrid, core::Text(901318), fileops::TimeText(props.lastWrite));
  AddFigure(pTimesGrid, core::Text(901319), fileops::TimeText(props.lastAccess));
  pColumn->addWidget(pTimes);

  auto* pAttributes = new QGroupBox(core::Text(901320), this);
  auto* pAttrRow = new QHBoxLayout(pAttributes);
  readOnly_ = new QCheckBox(core::Text(901321), pAttributes);
  readOnly_->setChecked(props.dwAttributes & FILE_ATTRIBUTE_READONLY);
  hidden_ = new QCheckBox(core::Text(901322), pAttributes);
  hidden_->setChecked(props.dwAttributes & FILE_ATTRIBUTE_HIDDEN);
  // A name that begins with a dot is hidden by its name: the bit cannot be cleared.
  hidden_->setEnabled(!props.strName.startsWith(u'.'));
  pAttrRow->addWidget(readOnly_);
  pAttrRow->addWidget(hidden_);
  pAttrRow->addStretch(1);
  // The device root's attributes are not the user's to change.
  pAttributes->setEnabled(props.strPath != QStringLiteral("\\"));
  pColumn->addWidget(pAttributes);

  auto* pButtons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(pButtons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
          [this] { Apply(); });
  pColumn->addWidget(pButtons);

  if (props.bFolder) {
    totals_ = std::make_unique<fileops::CFolderTotalsTask>(props.strPath);
    connect(totals_.get(), &fileops::CFolderTotalsTask::finished, this,
            &CDlg_Prop_Item::OnTotals);
  }
}

CDlg_Prop_Item::~CDlg_Prop_Item() = default;

QLabel* CDlg_Prop_Item::AddFigure(QGridLayout* pGrid, const QString& strLabel,
                                  const QString& strValue) {
  const int nRow = pGrid->rowCount();
  pGrid->addWidget(new QLabel(strLabel, this), nRow, 0);
  auto* pValue = new QLabel(strValue, this);
  pValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pGrid->addWidget(pValue, nRow, 1);
  pGrid->setColumnStretch(1, 1);
  figures_.emplace_back(strLabel, pValue);
  return pValue;
}

void CDlg_Prop_Item::SetFigure(const QString& strLabel, const QString& strValue) {
  for (auto& [label, pValue] : figures_)
    if (label == strLabel) pValue->setText(strValue);
}

QString CDlg_Prop_Item::FigureText(const QString& strLabel) const {
  for (const auto& [label, pValue] : figures_)
    if (label == strLabel) return pValue->text();
  return {};
}

void CDlg_Prop_Item::OnTotals(bool bComplete) {
  if (!bComplete) {
    // A folder that could not be walked: its size stays unknown.
    SetFigure(core::Text(901316), core::Text(55009));
    if (!props_.bSizeKnown) SetFigure(core::Text(901315), core::Text(55009));
    return;
  }
  const CFolderTotals& totals = totals_->Totals();
  SetFigure(core::Text(901315), fileops::SizeText(totals.bytes));
  SetFigure(core::Text(901316), fileops::ContentsText(totals));
}

bool CDlg_Prop_Item::Apply() {
  if (props_.strPath == QStringLiteral("\\")) return true;
  const DWORD dwError =
      fileops::ApplyAttributes(props_.strPath, readOnly_->isChecked(), hidden_->isChecked());
  if (dwError == 0) return true;
  MsgError(plat::SystemMessage(dwError).trimmed(), core::Text(901310),
           core::Text(901327).arg(props_.strPath));
  // The boxes show what the disk holds now.
  fileops::CItemProperties now;
  if (fileops::ReadItemProperties(props_.strPath, &now) == 0) {
    readOnly_->setChecked(now.dwAttributes & FILE_ATTRIBUTE_READONLY);
    hidden_->setChecked(now.dwAttributes & FILE_ATTRIBUTE_HIDDEN);
  }
  return false;
}

void CDlg_Prop_Item::accept() {
  if (Apply()) QDialog::accept();
}

void ShowItemProperties(const QString& strPath, quint64 uKnownFolderBytes, QWidget* pParent) {
  fileops::CItemProperties props;
  if (const DWORD dwError = fileops::ReadItemProperties(strPath, &props, uKnownFolderBytes)) {
    MsgError(plat::SystemMessage(dwError).trimmed(), core::Text(901310),
             core::Text(901301).arg(strPath));
    return;
  }
  CDlg_Prop_Item dialog(props, pParent);
  dialog.exec();
}
