#pragma once
// The registry editor: the commands of a registry list on its current key and its rows (new
// key, new DWORD, string and multi-string values, modify, delete, rename) and the writes
// behind them. Questions and failures go through the message box service; the dialogs are
// reached through IRegistryDialogs, which the desktop implements and tests script. Every
// change ends with view notifications naming the changed key or value, so every list and
// tree that shows it follows.
//
// Key paths are as navigation holds them ("\Software\Tarvish"; empty at a root). A value
// listed as "<NO NAME>" is the key's unnamed (default) value.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

#include "registry/registry_access.h"

namespace regedit {

// The state of the DWORD dialog.
struct CDwordDialog {
  QString name;
  bool bNewValue = false;  // the name is editable and was proposed
  DWORD value = 0;
  DWORD base = 2;          // 0 binary, 1 octal, 2 decimal, 3 hexadecimal
};

// The state of the string dialog (plain and expandable strings).
struct CStringDialog {
  QString name;            // as shown: "(Default)" for the default value
  bool bNewValue = false;
  bool bExpandable = false;  // the value is a REG_EXPAND_SZ and stays one
  QString value;
};

// The state of the multi-string dialog: one string per line, lines joined by "\r\n".
struct CMultiStringDialog {
  QString name;
  bool bNewValue = false;
  QString text;
};

// The state of the binary value dialog.
struct CBinaryDialog {
  QString name;
  QByteArray data;
};

// The editor's dialogs. Each returns true for OK with the state changed as the user left it,
// false for Cancel. The name dialogs call tryName with the typed text on every OK and close
// only when it returns true.
class IRegistryDialogs {
 public:
  virtual ~IRegistryDialogs() = default;
  virtual bool EditDword(CDwordDialog* pState) = 0;
  virtual bool EditString(CStringDialog* pState) = 0;
  virtual bool EditMultiString(CMultiStringDialog* pState) = 0;
  virtual bool EditBinary(CBinaryDialog* pState) = 0;
  virtual bool NewKeyName(const std::function<bool(const QString&)>& tryName) = 0;
  virtual bool NewName(bool bKey, const QString& strOldName,
                       const std::function<bool(const QString&)>& tryName) = 0;
  // A registry file to write or read, as a device path; empty when the user cancelled.
  // *pbRegedit4: the user chose the 8-bit REGEDIT4 format.
  virtual QString ExportFile(const QString& strProposedName, bool* pbRegedit4) = 0;
  virtual QString ImportFile() = 0;
};

// The process's dialogs; null (every dialog cancelled) until the desktop installs its own.
void SetRegistryDialogs(IRegistryDialogs* pDialogs);
IRegistryDialogs* RegistryDialogs();

// --- The new-value counter ----------------------------------------------------------------

// "New Value %d" with the counter, which then counts up; one counter for the three dialogs,
// 1 at start.
QString ProposeNewValueName();
// A dialog opened with a proposed name was cancelled: the counter goes back one.
void NewValueCancelled();
void ResetNewValueCounter();

// --- The DWORD dialog's rules -----------------------------------------------------------

// The value field of the DWORD dialog: its number, text and base, and whether OK is enabled.
class CDwordField {
 public:
  CDwordField(DWORD value, DWORD base);
  DWORD Value() const { return value_; }
  DWORD Base() const { return base_; }
  QString Text() const { return text_; }
  bool OkEnabled() const { return bOk_; }
  // A base chosen from the list: the number shown in it.
  void SetBase(DWORD base);
  // The user changed the field to strText with the caret at *pnCaret: the text keeps only
  // the digits of the base, the number is parsed from them, and the caret moves with them.
  void TextChanged(const QString& strText, int* pnCaret = nullptr);
  // One step of the spin button (+1 or -1), modulo 2^32.
  void Spin(int nDelta);

 private:
  DWORD value_ = 0;
  DWORD base_ = 2;
  QString text_;
  bool bOk_ = true;
};

// --- The multi-string rule ----------------------------------------------------------------

// The strings of a multi-string dialog's text: cut at every "\r\n", each piece trimmed of CR
// and LF, empty pieces dropped and counted in *pnEmpty.
QStringList MultiStringFromText(const QString& strText, int* pnEmpty);
// The rule on OK: the strings, after telling the user when empty ones were dropped.
QStringList MultiStringOnOk(const QString& strText);

// --- Writes (every one reports its failure with the platform's text and notifies) -------

// The value name behind a listed name: the unnamed value for "<NO NAME>".
QString StoredValueName(const QString& strListedName);

bool WriteDwordValue(HKEY root, const QString& strKeyPath, const QString& strName, DWORD dwValue);
bool WriteStringValue(HKEY root, const QString& strKeyPath, const QString& strName,
                      const QString& strValue, bool bExpandable = false);
bool WriteMultiStringValue(HKEY root, const QString& strKeyPath, const QString& strName,
                           const QStringList& list);
bool WriteBinaryValue(HKEY root, const QString& strKeyPath, const QString& strName,
                      const QByteArray& data);

// The new-key check on OK: the name trimmed; empty, existing and failing names are told and
// refused (false: the dialog stays open); true once the key was created.
bool TryCreateKey(HKEY root, const QString& strKeyPath, const QString& strName);

// --- Commands -------------------------------------------------------------------------------

bool NewKey(HKEY root, const QString& strKeyPath);
bool NewDwordValue(HKEY root, const QString& strKeyPath);
bool NewStringValue(HKEY root, const QString& strKeyPath);
bool NewMultiStringValue(HKEY root, const QString& strKeyPath);
// Modify and activation of a value: the dialog of its type code (1 DWORD, 5 and 6 string,
// 7 multi-string, 3 binary); nothing for the others or when the value cannot be read.
bool ModifyValue(HKEY root, const QString& strKeyPath, const QString& strName, DWORD dwTypeCode);
// Delete of a row: asks the question, deletes, reports a failure. Only subkey rows (type 11)
// for keys and value rows (type 12) for values; others do nothing.
bool DeleteKeyEntry(HKEY root, const QString& strKeyPath, DWORD dwEntryType,
                    const QString& strName);
bool DeleteValueEntry(HKEY root, const QString& strKeyPath, DWORD dwEntryType,
                      const QString& strName);
// Rename (F2): the key or value keeps every value and subkey; a name in use is refused.
bool RenameKey(HKEY root, const QString& strKeyPath, const QString& strName);
bool RenameValue(HKEY root, const QString& strKeyPath, const QString& strName);
// The renames themselves, as one transaction; false when the new name is taken or a write
// failed (nothing changed then).
bool MoveKey(HKEY root, const QString& strKeyPath, const QString& strName,
             const QString& strNewName);
bool MoveValue(HKEY root, const QString& strKeyPath, const QString& strName,
               const QString& strNewName);

}  // namespace regedit
