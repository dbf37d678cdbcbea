#pragma once
// The registry editor's desktop dialogs over the editor's logic (registry/registry_editor.h):
// the DWORD dialog with its base list and spin button, the string dialog (plain and
// expandable strings), the multi-string dialog, a byte editor for binary values, and the
// name dialog of a new key and of a rename. CDesktopRegistryDialogs runs them modally and is
// what the desktop program installs as the editor's dialogs.

#include <QByteArray>
#include <QDialog>

#include <functional>

#include "registry/registry_editor.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// The heading lines every registry dialog shows: "Registry editor" and "Type: ...".
class CDlg_RegValueBase : public QDialog {
  Q_OBJECT
 public:
  QLineEdit* NameEdit() const { return name_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 protected:
  CDlg_RegValueBase(const QString& strTitle, const QString& strType, const QString& strName,
                    bool bNewValue, QWidget* pParent);
  // Adds a labelled row under the name.
  void AddRow(const QString& strLabel, QWidget* pField);
  void SetOkEnabled(bool bEnabled);
  // Tab goes from the name through the fields in order, then to the buttons.
  void SetTabChain(std::initializer_list<QWidget*> fields);

 private:
  QLineEdit* name_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  class QFormLayout* form_ = nullptr;
};

class CDlg_RegDword : public CDlg_RegValueBase {
  Q_OBJECT
 public:
  CDlg_RegDword(const regedit::CDwordDialog& state, QWidget* pParent = nullptr);
  regedit::CDwordDialog State() const;
  QLineEdit* ValueEdit() const { return value_; }
  QComboBox* BaseList() const { return base_; }
  QSpinBox* Spin() const { return spin_; }

 private:
  void OnTextEdited(const QString& strText);
  void OnSpin(int nPosition);
  void Show();

  regedit::CDwordField field_;
  QLineEdit* value_ = nullptr;
  QComboBox* base_ = nullptr;
  QSpinBox* spin_ = nullptr;
};

class CDlg_RegString : public CDlg_RegValueBase {
  Q_OBJECT
 public:
  CDlg_RegString(const regedit::CStringDialog& state, QWidget* pParent = nullptr);
  QLineEdit* ValueEdit() const { return value_; }
  regedit::CStringDialog State() const;

 private:
  regedit::CStringDialog state_;
  QLineEdit* value_ = nullptr;
};

class CDlg_RegMultiString : public CDlg_RegValueBase {
  Q_OBJECT
 public:
  CDlg_RegMultiString(const regedit::CMultiStringDialog& state, QWidget* pParent = nullptr);
  QPlainTextEdit* ValueEdit() const { return value_; }
  // The text with its lines joined by "\r\n", as the multi-string rule takes it.
  regedit::CMultiStringDialog State() const;

 private:
  QPlainTextEdit* value_ = nullptr;
};

// Bytes as hexadecimal pairs, sixteen to a line; OK only while the text is whole pairs.
class CDlg_RegBinary : public CDlg_RegValueBase {
  Q_OBJECT
 public:
  CDlg_RegBinary(const regedit::CBinaryDialog& state, QWidget* pParent = nullptr);
  QPlainTextEdit* ValueEdit() const { return value_; }
  regedit::CBinaryDialog State() const;
  // The bytes of a hexadecimal text (blanks between pairs); false when it is not pairs.
  static bool ParseHex(const QString& strText, QByteArray* pBytes);
  static QString HexText(const QByteArray& bytes);

 private:
  QPlainTextEdit* value_ = nullptr;
};

// "New key" or a rename: one name field; OK hands the name to tryName and closes only when
// it is taken.
class CDlg_RegName : public QDialog {
  Q_OBJECT
 public:
  CDlg_RegName(const QString& strTitle, const QString& strHeading, const QString& strLabel,
               const QString& strName, std::function<bool(const QString&)> tryName,
               QWidget* pParent = nullptr);
  QLineEdit* NameEdit() const { return name_; }
  void accept() override;

 private:
  QLineEdit* name_ = nullptr;
  std::function<bool(const QString&)> tryName_;
};

class CDesktopRegistryDialogs : public regedit::IRegistryDialogs {
 public:
  bool EditDword(regedit::CDwordDialog* pState) override;
  bool EditString(regedit::CStringDialog* pState) override;
  bool EditMultiString(regedit::CMultiStringDialog* pState) override;
  bool EditBinary(regedit::CBinaryDialog* pState) override;
  bool NewKeyName(const std::function<bool(const QString&)>& tryName) override;
  bool NewName(bool bKey, const QString& strOldName,
               const std::function<bool(const QString&)>& tryName) override;
  QString ExportFile(const QString& strProposedName, bool* pbRegedit4) override;
  QString ImportFile() override;
};

// Installs the desktop's registry dialogs as the editor's (once, at start).
void InstallDesktopRegistryDialogs();
