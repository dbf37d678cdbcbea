#pragma once
// The device property page: physical memory, the device store, the files in ROM, the
// storage cards and the device's total capacity, sizes formatted as every list formats them,
// and each volume (the device store and every storage card) drawn as a used/free bar.
//
// User-interface thread only.

#include <QDialog>
#include <QString>

#include <vector>

class QGridLayout;

// One volume of the page.
struct CDeviceVolume {
  QString strName;
  quint64 uTotal = 0;
  quint64 uFree = 0;
};

class CDlg_Prop_Device : public QDialog {
  Q_OBJECT

 public:
  // Reads the figures now (the ROM figure from its cache, walking the device once).
  explicit CDlg_Prop_Device(QWidget* pParent = nullptr);

  // The volumes shown: the device store first, then each storage card.
  const std::vector<CDeviceVolume>& Volumes() const { return volumes_; }
  // The text of a figure's row by its label ("Total physical memory", ...); empty when none.
  QString FigureText(const QString& strLabel) const;

 private:
  void AddFigure(QGridLayout* pGrid, const QString& strLabel, const QString& strValue);
  void AddVolume(QGridLayout* pGrid, const CDeviceVolume& volume);

  std::vector<CDeviceVolume> volumes_;
  std::vector<std::pair<QString, QString>> figures_;
};

// Shows the page, modal.
void ShowDeviceProperties(QWidget* pParent);
