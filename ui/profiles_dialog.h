#pragma once
// The profile management dialog of the Profiles menu: the list of profiles (the built-in
// "Default" first, the current one marked) with Add, Edit, Delete and Activate, and the edit
// sub-dialog with the name and the details. The dialog only shows and asks; the operations and
// their error boxes are CProfileManager's (core/profiles.h).
//
// User-interface thread only.

#include <QDialog>

#include "core/profiles.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

// The edit sub-dialog: "Edit profile" with "Name:" and "Details:".
class CDlg_ProfileEdit : public QDialog {
  Q_OBJECT

 public:
  CDlg_ProfileEdit(const QString& strName, const QString& strDetails, QWidget* pParent = nullptr);

  QString Name() const;
  QString Details() const;
  QLineEdit* NameEdit() const { return name_; }
  QLineEdit* DetailsEdit() const { return details_; }

 private:
  QLineEdit* name_ = nullptr;
  QLineEdit* details_ = nullptr;
};

class CDlg_Profiles : public QDialog {
  Q_OBJECT

 public:
  explicit CDlg_Profiles(QWidget* pParent = nullptr);

  // The edit sub-dialog runs through this function (the default shows CDlg_ProfileEdit); tests
  // put a scripted one in its place.
  void SetEditor(CProfileManager::EditFn editor) { editor_ = std::move(editor); }

  CProfileManager& Manager() { return manager_; }
  QTreeWidget* List() const { return list_; }
  // The selected row (0 the built-in profile); -1 when none is selected.
  int SelectedRow() const;
  void SelectRow(int nRow);

  void Add();
  void Edit();
  void Delete();
  void Activate();

  QPushButton* AddButton() const { return add_; }
  QPushButton* EditButton() const { return edit_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* ActivateButton() const { return activate_; }

 private:
  bool RunEditor(QString* pstrName, QString* pstrDetails);
  // Shows the manager's rows again, keeping the selection on nSelect when it still exists.
  void FillList(int nSelect);

  CProfileManager manager_;
  CProfileManager::EditFn editor_;
  QTreeWidget* list_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* activate_ = nullptr;
};
