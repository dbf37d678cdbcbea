#include "ui/settings_sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/settings.h"
#include "core/texts.h"
#include "ui/settings_folders.h"

namespace {

const char kCheckProperty[] = "pinbro_check";  // index of the box in SettChecks()

QComboBox* FolderList(QWidget* pParent, const QString& strCurrent) {
  auto* pList = new QComboBox(pParent);
  pList->setEditable(true);
  pList->setInsertPolicy(QComboBox::NoInsert);
  pList->addItems(ProposedFolders(strCurrent));
  pList->setCurrentText(strCurrent);
  pList->setMinimumContentsLength(32);
  return pList;
}

}  // namespace

CDlg_Sett_Container::CDlg_Sett_Container(QWidget* pParent) : QDialog(pParent) {
  setObjectName(QStringLiteral("CDlg_Sett_Container"));
  setWindowTitle(core::Text(55263));
  auto* pLayout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setUsesScrollButtons(true);
  for (int nPage = 0; nPage < eSettPageCount; ++nPage)
    tabs_->addTab(MakePage(nPage), core::Text(SettPageInfo(nPage).nTabText));
  pLayout->addWidget(tabs_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  pLayout->addWidget(buttons_);
  for (int nPage = 0; nPage < eSettPageCount; ++nPage) LoadPage(nPage);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int nPage) { LoadPage(nPage); });
}

void CDlg_Sett_Container::showEvent(QShowEvent* pEvent) {
  QDialog::showEvent(pEvent);
  if (sized_) return;
  sized_ = true;
  // Wide enough for every tab title where the screen allows (the tab bar scrolls otherwise);
  // the titles are measured once the style has polished the bar.
  QTabBar* pBar = tabs_->tabBar();
  pBar->ensurePolished();
  int nTabs = 0;
  for (int n = 0; n < pBar->count(); ++n) nTabs += pBar->tabRect(n).width();
  const QScreen* pScreen = screen();
  int nAvailable = pScreen ? pScreen->availableGeometry().width() : 1024;
  if (parentWidget()) nAvailable = qMax(nAvailable, parentWidget()->window()->width());
  nAvailable -= 40;
  const int nWanted = nTabs + width() - tabs_->width() + 16;
  if (nWanted > width()) resize(qMin(nWanted, nAvailable), height());
  // Centred again over the parent after the change of size.
  if (parentWidget())
    move(parentWidget()->window()->geometry().center() - rect().center());
}

QWidget* CDlg_Sett_Container::Page(int nPage) const { return tabs_->widget(nPage); }

QCheckBox* CDlg_Sett_Container::CheckOf(const QString& strOption) const {
  for (QCheckBox* pBox : findChildren<QCheckBox*>()) {
    const int n = pBox->property(kCheckProperty).toInt();
    if (QString::fromUtf16(SettChecks()[size_t(n)].optionName) == strOption) return pBox;
  }
  return nullptr;
}

QWidget* CDlg_Sett_Container::MakePage(int nPage) {
  auto* pPage = new QWidget(tabs_);
  pPage->setObjectName(QString::fromLatin1(SettPageInfo(nPage).className));
  auto* pColumn = new QVBoxLayout(pPage);
  auto* pHeading = new QLabel(core::Text(SettPageInfo(nPage).nHeadingText), pPage);
  QFont font = pHeading->font();
  font.setBold(true);
  pHeading->setFont(font);
  pColumn->addWidget(pHeading);
  auto* pLine = new QFrame(pPage);
  pLine->setFrameShape(QFrame::HLine);
  pLine->setFrameShadow(QFrame::Sunken);
  pColumn->addWidget(pLine);
  AddPageControls(nPage, pPage, pColumn);
  pColumn->addStretch(1);
  return pPage;
}

void CDlg_Sett_Container::AddPageControls(int nPage, QWidget* pPage, QVBoxLayout* pColumn) {
  QWidget* pBoxParent = pPage;
  QVBoxLayout* pBoxes = pColumn;
  // The folder lists take the page's width; the short number lists keep their own.
  auto addLabelled = [](QVBoxLayout* pInto, QWidget* pParent, int nLabel, QComboBox* pField) {
    auto* pForm = new QFormLayout();
    if (!pField->isEditable()) pForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    auto* pLabel = new QLabel(core::Text(nLabel), pParent);
    pLabel->setBuddy(pField);
    pForm->addRow(pLabel, pField);
    pInto->addLayout(pForm);
  };
  if (nPage == eSettPage_Debug) {
    logFolder_ = FolderList(pPage, settings.AppLog_Folder);
    addLabelled(pColumn, pPage, 901010, logFolder_);
    connect(logFolder_, &QComboBox::currentTextChanged, this, [this](const QString& strText) {
      if (!loading_) LogFolderEdited(strText);
    });
  }
  if (nPage == eSettPage_Fonts) {
    auto* pGroup = new QGroupBox(core::Text(901040), pPage);
    auto* pGroupColumn = new QVBoxLayout(pGroup);
    fontBase_ = new QComboBox(pGroup);
    for (int p = 0; p < kFontBaseEntries; ++p)
      fontBase_->addItem(core::Text(55204).arg(p + kFontBaseOffset));
    fontSize_ = new QComboBox(pGroup);
    auto* pForm = new QFormLayout();
    pForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    pForm->addRow(core::Text(901041), fontBase_);
    pForm->addRow(core::Text(901042), fontSize_);
    pGroupColumn->addLayout(pForm);
    connect(fontBase_, &QComboBox::currentIndexChanged, this, [this](int nPosition) {
      if (loading_) return;
      FontBaseChosen(nPosition);
      LoadPage(eSettPage_Fonts);  // the sizes are labelled in points of the new base
    });
    connect(fontSize_, &QComboBox::currentIndexChanged, this, [this](int nPosition) {
      if (!loading_) FontSizeChosen(nPosition);
    });
    pColumn->addWidget(pGroup);
    pBoxParent = pGroup;
    pBoxes = pGroupColumn;
  }
  const std::vector<CSettCheck>& checks = SettChecks();
  for (size_t n = 0; n < checks.size(); ++n) {
    if (checks[n].nPage != nPage) continue;
    auto* pBox = new QCheckBox(core::Text(checks[n].nLabelText), pBoxParent);
    pBox->setObjectName(QString::fromUtf16(checks[n].optionName));
    pBox->setProperty(kCheckProperty, int(n));
    connect(pBox, &QCheckBox::toggled, this, [this, n](bool bChecked) {
      if (loading_) return;
      SettCheckChanged(SettChecks()[n], bChecked);
      if (SettChecks()[n].nPage == eSettPage_RecycleBin) UpdateRecycleBinControls();
    });
    pBoxes->addWidget(pBox);
  }
  if (nPage == eSettPage_RecycleBin) {
    binFolder_ = FolderList(pPage, settings.RecycleBinPath);
    addLabelled(pColumn, pPage, 901032, binFolder_);
    connect(binFolder_, &QComboBox::currentTextChanged, this, [this](const QString& strText) {
      if (!loading_) RecycleBinFolderEdited(strText);
    });
  }
  if (nPage == eSettPage_FileShred) {
    passes_ = new QComboBox(pPage);
    for (int n = 1; n <= kMaxShredPasses; ++n) passes_->addItem(QString::number(n));
    addLabelled(pColumn, pPage, 901112, passes_);
    connect(passes_, &QComboBox::currentIndexChanged, this, [this](int nPosition) {
      if (!loading_) ShredPassesChosen(nPosition);
    });
  }
}

void CDlg_Sett_Container::LoadPage(int nPage) {
  loading_ = true;
  QWidget* pPage = Page(nPage);
  for (QCheckBox* pBox : pPage->findChildren<QCheckBox*>())
    pBox->setChecked(SettCheckState(SettChecks()[size_t(pBox->property(kCheckProperty).toInt())]));
  if (nPage == eSettPage_Fonts) {
    fontBase_->setCurrentIndex(FontBasePosition());
    // The sizes in points: the step around the desktop's size with the chosen base.
    const int nDesktop = font().pointSize() > 0 ? font().pointSize() : 9;
    fontSize_->clear();
    for (int nStep = 0; nStep < kFontSizeEntries; ++nStep)
      fontSize_->addItem(core::Text(55204).arg(
          ViewFontPoints(settings.MainViewFontBase, DWORD(nStep), nDesktop)));
    fontSize_->setCurrentIndex(int(qMin<DWORD>(settings.MainViewFontSize, kFontSizeEntries - 1)));
  }
  if (nPage == eSettPage_FileShred) passes_->setCurrentIndex(ShredPassesPosition());
  if (nPage == eSettPage_Debug) logFolder_->setCurrentText(settings.AppLog_Folder);
  if (nPage == eSettPage_RecycleBin) {
    binFolder_->setCurrentText(settings.RecycleBinPath);
    UpdateRecycleBinControls();
  }
  loading_ = false;
}

void CDlg_Sett_Container::UpdateRecycleBinControls() {
  const bool bInUse = settings.UseRecycleBin != 0;
  if (QCheckBox* pCompress = CheckOf(QStringLiteral("RecycleBinCompress")))
    pCompress->setEnabled(bInUse);
  binFolder_->setEnabled(bInUse);
}

void ShowSettings(ISettingsRefresh& refresh, QWidget* pParent, const SettingsSheetRunner& runner) {
  SettingsChangeFlags() = 0;
  bool bOk = false;
  {
    CDlg_Sett_Container sheet(pParent);
    if (runner)
      runner(sheet);
    else
      sheet.exec();
    bOk = sheet.result() == QDialog::Accepted;
  }
  ApplySettingsClose(bOk, SettingsChangeFlags(), refresh);
}
