#include "ui/registry_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/texts.h"
#include "platform/device_root.h"

namespace {

QWidget* DialogParent() { return QApplication::activeWindow(); }

// The spin button beside the DWORD field: only its arrows show, as its position goes back to
// 0 after every step.
class CSpinArrows : public QSpinBox {
 public:
  CSpinArrows() {
    setRange(-10, 10);
    setValue(0);
    setReadOnly(false);
    setFixedWidth(sizeHint().height());
  }

 protected:
  QString textFromValue(int) const override { return QString(); }
};

QLabel* Heading(const QString& strText, bool bBold) {
  auto* pLabel = new QLabel(strText);
  if (bBold) {
    QFont font = pLabel->font();
    font.setBold(true);
    pLabel->setFont(font);
  }
  return pLabel;
}

}  // namespace

CDlg_RegValueBase::CDlg_RegValueBase(const QString& strTitle, const QString& strType,
                                     const QString& strName, bool bNewValue, QWidget* pParent)
    : QDialog(pParent) {
  setWindowTitle(strTitle);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addWidget(Heading(core::Text(900911), true));
  pLayout->addWidget(Heading(core::Text(900912).arg(strType), false));
  form_ = new QFormLayout;
  pLayout->addLayout(form_);
  name_ = new QLineEdit(strName);
  name_->setReadOnly(!bNewValue);
  form_->addRow(core::Text(900904), name_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  pLayout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CDlg_RegValueBase::AddRow(const QString& strLabel, QWidget* pField) {
  form_->addRow(strLabel, pField);
}

void CDlg_RegValueBase::SetTabChain(std::initializer_list<QWidget*> fields) {
  QWidget* pPrevious = name_;
  for (QWidget* pField : fields) {
    setTabOrder(pPrevious, pField);
    pPrevious = pField;
  }
  setTabOrder(pPrevious, buttons_);
}

void CDlg_RegValueBase::SetOkEnabled(bool bEnabled) {
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(bEnabled);
}

// --- DWORD ---

CDlg_RegDword::CDlg_RegDword(const regedit::CDwordDialog& state, QWidget* pParent)
    : CDlg_RegValueBase(core::Text(900900), core::Text(900913), state.name, state.bNewValue,
                        pParent),
      field_(state.value, state.base) {
  auto* pRow = new QWidget;
  auto* pRowLayout = new QHBoxLayout(pRow);
  pRowLayout->setContentsMargins(0, 0, 0, 0);
  value_ = new QLineEdit;
  spin_ = new CSpinArrows;
  pRowLayout->addWidget(value_, 1);
  pRowLayout->addWidget(spin_);
  AddRow(core::Text(900905), pRow);
  base_ = new QComboBox;
  for (int nText : {900907, 900908, 900909, 900910}) base_->addItem(core::Text(nText));
  base_->setCurrentIndex(int(field_.Base()));
  AddRow(core::Text(900906), base_);
  connect(value_, &QLineEdit::textEdited, this, &CDlg_RegDword::OnTextEdited);
  connect(spin_, qOverload<int>(&QSpinBox::valueChanged), this, &CDlg_RegDword::OnSpin);
  connect(base_, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int nIndex) {
    field_.SetBase(DWORD(nIndex));
    Show();
  });
  SetTabChain({value_, spin_, base_});
  Show();
  (state.bNewValue ? NameEdit() : value_)->setFocus();
  if (state.bNewValue) NameEdit()->selectAll();
}

void CDlg_RegDword::Show() {
  value_->setText(field_.Text());
  SetOkEnabled(field_.OkEnabled());
}

void CDlg_RegDword::OnTextEdited(const QString& strText) {
  int nCaret = value_->cursorPosition();
  field_.TextChanged(strText, &nCaret);
  if (value_->text() != field_.Text()) {
    value_->setText(field_.Text());
    value_->setCursorPosition(nCaret);
  }
  SetOkEnabled(field_.OkEnabled());
}

void CDlg_RegDword::OnSpin(int nPosition) {
  if (nPosition == 0) return;
  field_.Spin(nPosition > 0 ? 1 : -1);
  const QSignalBlocker block(spin_);
  spin_->setValue(0);
  Show();
}

regedit::CDwordDialog CDlg_RegDword::State() const {
  return {NameEdit()->text(), !NameEdit()->isReadOnly(), field_.Value(), field_.Base()};
}

// --- Strings ---

CDlg_RegString::CDlg_RegString(const regedit::CStringDialog& state, QWidget* pParent)
    : CDlg_RegValueBase(core::Text(900901), core::Text(state.bExpandable ? 900939 : 900914),
                        state.name, state.bNewValue, pParent),
      state_(state) {
  value_ = new QLineEdit(state.value);
  value_->setMinimumWidth(240);
  AddRow(core::Text(900905), value_);
  SetTabChain({value_});
  (state.bNewValue ? NameEdit() : value_)->setFocus();
}

regedit::CStringDialog CDlg_RegString::State() const {
  regedit::CStringDialog state = state_;
  if (state.bNewValue) state.name = NameEdit()->text();
  state.value = value_->text();
  return state;
}

CDlg_RegMultiString::CDlg_RegMultiString(const regedit::CMultiStringDialog& state,
                                         QWidget* pParent)
    : CDlg_RegValueBase(core::Text(900902), core::Text(900915), state.name, state.bNewValue,
                        pParent) {
  value_ = new QPlainTextEdit;
  value_->setPlainText(QString(state.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  value_->setMinimumSize(260, 140);
  value_->setTabChangesFocus(true);
  AddRow(core::Text(900905), value_);
  SetTabChain({value_});
  (state.bNewValue ? static_cast<QWidget*>(NameEdit()) : value_)->setFocus();
}

regedit::CMultiStringDialog CDlg_RegMultiString::State() const {
  return {NameEdit()->text(), !NameEdit()->isReadOnly(),
          value_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"))};
}

CDlg_RegBinary::CDlg_RegBinary(const regedit::CBinaryDialog& state, QWidget* pParent)
    : CDlg_RegValueBase(core::Text(900940), core::Text(900941), state.name, false, pParent) {
  value_ = new QPlainTextEdit;
  value_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  value_->setPlainText(HexText(state.data));
  value_->setMinimumSize(420, 160);
  value_->setTabChangesFocus(true);
  AddRow(core::Text(900905), value_);
  connect(value_, &QPlainTextEdit::textChanged, this, [this] {
    QByteArray unused;
    SetOkEnabled(ParseHex(value_->toPlainText(), &unused));
  });
  value_->setFocus();
}

bool CDlg_RegBinary::ParseHex(const QString& strText, QByteArray* pBytes) {
  pBytes->clear();
  for (const QString& word : strText.split(QRegularExpression(QStringLiteral("\\s+")),
                                           Qt::SkipEmptyParts)) {
    if (word.size() % 2) return false;
    for (qsizetype i = 0; i < word.size(); i += 2) {
      bool bOk = false;
      const uint value = word.mid(i, 2).toUInt(&bOk, 16);
      if (!bOk) return false;
      pBytes->append(char(value));
    }
  }
  return true;
}

QString CDlg_RegBinary::HexText(const QByteArray& bytes) {
  QStringList lines;
  for (qsizetype at = 0; at < bytes.size(); at += 16)
    lines << QString::fromLatin1(bytes.mid(at, 16).toHex(' '));
  return lines.join(QLatin1Char('\n'));
}

regedit::CBinaryDialog CDlg_RegBinary::State() const {
  regedit::CBinaryDialog state{NameEdit()->text(), {}};
  ParseHex(value_->toPlainText(), &state.data);
  return state;
}

// --- Names ---

CDlg_RegName::CDlg_RegName(const QString& strTitle, const QString& strHeading,
                           const QString& strLabel, const QString& strName,
                           std::function<bool(const QString&)> tryName, QWidget* pParent)
    : QDialog(pParent), tryName_(std::move(tryName)) {
  setWindowTitle(strTitle);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addWidget(Heading(strHeading, true));
  auto* pForm = new QFormLayout;
  name_ = new QLineEdit(strName);
  name_->setMinimumWidth(220);
  name_->selectAll();
  pForm->addRow(strLabel, name_);
  pLayout->addLayout(pForm);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  pLayout->addWidget(pButtons);
  connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CDlg_RegName::accept() {
  if (tryName_ && !tryName_(name_->text())) {
    name_->setFocus();
    return;  // stays open
  }
  QDialog::accept();
}

// --- The desktop's dialogs ---

bool CDesktopRegistryDialogs::EditDword(regedit::CDwordDialog* pState) {
  CDlg_RegDword dialog(*pState, DialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  *pState = dialog.State();
  return true;
}

bool CDesktopRegistryDialogs::EditString(regedit::CStringDialog* pState) {
  CDlg_RegString dialog(*pState, DialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  *pState = dialog.State();
  return true;
}

bool CDesktopRegistryDialogs::EditMultiString(regedit::CMultiStringDialog* pState) {
  CDlg_RegMultiString dialog(*pState, DialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  *pState = dialog.State();
  return true;
}

bool CDesktopRegistryDialogs::EditBinary(regedit::CBinaryDialog* pState) {
  CDlg_RegBinary dialog(*pState, DialogParent());
  if (dialog.exec() != QDialog::Accepted) return false;
  *pState = dialog.State();
  return true;
}

bool CDesktopRegistryDialogs::NewKeyName(const std::function<bool(const QString&)>& tryName) {
  // The new-key dialog: "New key", headed "New registry key" / "Create a new registry key".
  CDlg_RegName dialog(core::Text(900903), core::Text(900917) + u'\n' + core::Text(900918),
                      core::Text(900916), QString(), tryName, DialogParent());
  return dialog.exec() == QDialog::Accepted;
}

bool CDesktopRegistryDialogs::NewName(bool bKey, const QString& strOldName,
                                      const std::function<bool(const QString&)>& tryName) {
  const QString title = core::Text(bKey ? 900942 : 900943);
  CDlg_RegName dialog(title, title, core::Text(900585), strOldName, tryName, DialogParent());
  return dialog.exec() == QDialog::Accepted;
}

namespace {

// A device path for a host file the user chose inside the device root.
QString DevicePathOf(const QString& strHost) {
  QString device;
  if (strHost.isEmpty() || !plat::CDeviceRoot::ToDevice(strHost, &device)) return {};
  return device;
}

}  // namespace

QString CDesktopRegistryDialogs::ExportFile(const QString& strProposedName, bool* pbRegedit4) {
  const QString version5 = core::Text(900978);
  const QString regedit4 = QStringLiteral("REGEDIT4 (*.reg)");
  QString selected = version5;
  const QString host = QFileDialog::getSaveFileName(
      DialogParent(), core::Text(900962),
      plat::CDeviceRoot::HostDir() + QLatin1Char('/') + strProposedName,
      version5 + QStringLiteral(";;") + regedit4, &selected);
  *pbRegedit4 = selected == regedit4;
  return DevicePathOf(host);
}

QString CDesktopRegistryDialogs::ImportFile() {
  const QString host = QFileDialog::getOpenFileName(DialogParent(), core::Text(900961),
                                                    plat::CDeviceRoot::HostDir(),
                                                    core::Text(900978));
  return DevicePathOf(host);
}

void InstallDesktopRegistryDialogs() {
  static CDesktopRegistryDialogs dialogs;
  regedit::SetRegistryDialogs(&dialogs);
}
