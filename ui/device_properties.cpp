#include "ui/device_properties.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "collect/storage_cards.h"
#include "core/format.h"
#include "core/texts.h"
#include "device/rom_files.h"
#include "device/storage_totals.h"
#include "platform/file_system.h"

namespace {

// The used share of a volume in thousandths, for its bar.
int UsedPermille(const CDeviceVolume& volume) {
  if (volume.uTotal == 0) return 0;
  const quint64 uUsed = volume.uTotal - qMin(volume.uFree, volume.uTotal);
  return int(uUsed * 1000 / volume.uTotal);
}

}  // namespace

CDlg_Prop_Device::CDlg_Prop_Device(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(core::Text(900810));
  auto* pColumn = new QVBoxLayout(this);

  auto* pMemory = new QGroupBox(core::Text(900811), this);
  auto* pMemoryGrid = new QGridLayout(pMemory);
  AddFigure(pMemoryGrid, core::Text(900812),
            core::Text(900823).arg(device::MemoryLoad()));
  AddFigure(pMemoryGrid, core::Text(900813), core::FormatSize(device::TotalPhysicalMemory()));
  AddFigure(pMemoryGrid, core::Text(900814),
            core::FormatSize(device::AvailablePhysicalMemory()));
  pColumn->addWidget(pMemory);

  auto* pStorage = new QGroupBox(core::Text(900815), this);
  auto* pStorageGrid = new QGridLayout(pStorage);
  volumes_.push_back({core::Text(900816), device::StoreSize(), device::StoreFreeSize()});
  collect::CStorageCards cards;
  cards.RefreshStorageCards();
  for (int i = 0; i < cards.Count(); ++i) {
    CDeviceVolume card;
    card.strName = cards.StorageCardName(i);
    quint64 uFreeToCaller = 0;
    quint64 uTotalFree = 0;
    if (!plat::GetDiskFreeSpaceEx(QStringLiteral("\\") + card.strName, &uFreeToCaller,
                                  &card.uTotal, &uTotalFree))
      continue;
    card.uFree = uFreeToCaller;
    volumes_.push_back(card);
  }
  for (const CDeviceVolume& volume : volumes_) AddVolume(pStorageGrid, volume);
  if (cards.Count() == 0) AddFigure(pStorageGrid, core::Text(900818), core::Text(900821));
  else AddFigure(pStorageGrid, core::Text(900818), core::FormatSize(device::StorageCardsSize()));
  AddFigure(pStorageGrid, core::Text(900817), core::FormatSize(device::RomFilesSize()));
  AddFigure(pStorageGrid, core::Text(900819), core::FormatSize(device::DeviceTotalSize()));
  pColumn->addWidget(pStorage);

  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  pColumn->addWidget(pButtons);
}

void CDlg_Prop_Device::AddFigure(QGridLayout* pGrid, const QString& strLabel,
                                 const QString& strValue) {
  const int nRow = pGrid->rowCount();
  pGrid->addWidget(new QLabel(strLabel, this), nRow, 0);
  auto* pValue = new QLabel(strValue, this);
  pValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  pGrid->addWidget(pValue, nRow, 1);
  figures_.emplace_back(strLabel, strValue);
}

void CDlg_Prop_Device::AddVolume(QGridLayout* pGrid, const CDeviceVolume& volume) {
  const int nRow = pGrid->rowCount();
  const quint64 uUsed = volume.uTotal - qMin(volume.uFree, volume.uTotal);
  pGrid->addWidget(new QLabel(volume.strName, this), nRow, 0);
  auto* pBar = new QProgressBar(this);
  pBar->setRange(0, 1000);
  pBar->setValue(UsedPermille(volume));
  pBar->setTextVisible(false);
  pBar->setMinimumWidth(260);
  pGrid->addWidget(pBar, nRow, 1);
  // The figures under the bar, where they have the room a long text needs.
  const QString strText = core::Text(900820).arg(core::FormatSize(uUsed),
                                                 core::FormatSize(volume.uFree),
                                                 core::FormatSize(volume.uTotal));
  auto* pText = new QLabel(strText, this);
  pText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  pGrid->addWidget(pText, nRow + 1, 1);
  figures_.emplace_back(volume.strName, strText);
}

QString CDlg_Prop_Device::FigureText(const QString& strLabel) const {
  for (const auto& [label, value] : figures_)
    if (label == strLabel) return value;
  return {};
}

void ShowDeviceProperties(QWidget* pParent) {
  CDlg_Prop_Device dialog(pParent);
  dialog.exec();
}
