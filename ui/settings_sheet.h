#pragma once
// The settings sheet: twelve tabbed pages (core/settings_sheet.h says what each control
// edits). Every control writes its option the moment it changes; closing the sheet saves or
// reloads the options and refreshes the views (ApplySettingsClose).

#include <QDialog>
#include <functional>

#include "core/settings_sheet.h"

class QCheckBox;
class QComboBox;
class QTabWidget;
class QDialogButtonBox;

class CDlg_Sett_Container : public QDialog {
  Q_OBJECT

 public:
  explicit CDlg_Sett_Container(QWidget* pParent = nullptr);

  QTabWidget* Tabs() const { return tabs_; }
  QWidget* Page(int nPage) const;
  // The box that edits an option (by the registry name of its first option); null for none.
  QCheckBox* CheckOf(const QString& strOption) const;
  QComboBox* FontBaseList() const { return fontBase_; }
  QComboBox* FontSizeList() const { return fontSize_; }
  QComboBox* PassesList() const { return passes_; }
  QComboBox* LogFolderList() const { return logFolder_; }
  QComboBox* RecycleBinList() const { return binFolder_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 protected:
  void showEvent(QShowEvent* pEvent) override;

 private:
  QWidget* MakePage(int nPage);
  void AddPageControls(int nPage, QWidget* pPage, class QVBoxLayout* pColumn);
  // Sets a page's controls from the option set, without touching the change flags.
  void LoadPage(int nPage);
  void UpdateRecycleBinControls();

  QTabWidget* tabs_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  QComboBox* fontBase_ = nullptr;
  QComboBox* fontSize_ = nullptr;
  QComboBox* passes_ = nullptr;
  QComboBox* logFolder_ = nullptr;
  QComboBox* binFolder_ = nullptr;
  bool sized_ = false;
  bool loading_ = false;  // controls set by LoadPage are not the user's changes
};

// Runs the sheet: clears the change flags, builds the sheet and its pages, runs it through
// runner (the default: modal exec), then ApplySettingsClose with what the flags say.
using SettingsSheetRunner = std::function<void(CDlg_Sett_Container& sheet)>;
void ShowSettings(ISettingsRefresh& refresh, QWidget* pParent,
                  const SettingsSheetRunner& runner = {});
