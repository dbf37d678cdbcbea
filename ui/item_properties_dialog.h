#pragma once
// The properties dialog of a file or folder: name, type, location, size (a folder's total
// counted on a thread of its own unless the list already knows it), the three times, the
// attributes with read-only and hidden editable, and a link's target. The figures come from
// fileops/item_properties.h; this is their page.
//
// User-interface thread only.

#include <QDialog>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

#include "fileops/item_properties.h"

class QCheckBox;
class QGridLayout;
class QLabel;

class CDlg_Prop_Item : public QDialog {
  Q_OBJECT

 public:
  // props as fileops::ReadItemProperties gave them. A folder whose size is not known is
  // counted now, in the background.
  CDlg_Prop_Item(const fileops::CItemProperties& props, QWidget* pParent = nullptr);
  ~CDlg_Prop_Item() override;

  // The text of a row by its label ("Size:", ...); empty when the page has no such row.
  QString FigureText(const QString& strLabel) const;
  QCheckBox* ReadOnlyBox() const { return readOnly_; }
  QCheckBox* HiddenBox() const { return hidden_; }
  // True once a folder's count has come back (or none was needed).
  bool TotalsDone() const { return !totals_ || totals_->Finished(); }

  // Writes changed attributes; on failure shows the system's text and answers false.
  bool Apply();

 protected:
  void accept() override;

 private:
  QLabel* AddFigure(QGridLayout* pGrid, const QString& strLabel, const QString& strValue);
  void SetFigure(const QString& strLabel, const QString& strValue);
  void OnTotals(bool bComplete);

  fileops::CItemProperties props_;
  std::vector<std::pair<QString, QLabel*>> figures_;
  QCheckBox* readOnly_ = nullptr;
  QCheckBox* hidden_ = nullptr;
  std::unique_ptr<fileops::CFolderTotalsTask> totals_;
};

// Reads the item and shows its page, modal; a path that cannot be read shows the system's
// text instead. uKnownFolderBytes as for fileops::ReadItemProperties.
void ShowItemProperties(const QString& strPath, quint64 uKnownFolderBytes, QWidget* pParent);
