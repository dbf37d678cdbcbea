#include "registry/registry_editor.h"

#include <limits>

#include "core/message_box.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "registry/registry_view.h"

namespace regedit {
namespace {

using fileops::EViewChange;
using fileops::NotifyRegistryChange;

IRegistryDialogs*& Dialogs() {
  static IRegistryDialogs* pDialogs = nullptr;
  return pDialogs;
}

int& NewValueCounter() {
  static int nCounter = 1;
  return nCounter;
}

// The platform's text for the last error, on one line.
QString LastErrorText() {
  const DWORD error = plat::GetLastError();
  const QString text = plat::SystemMessage(error).trimmed();
  return text.isEmpty() ? QStringLiteral("Error %1").arg(error) : text;
}

QString ValuePath(const QString& strKeyPath, const QString& strName) {
  return regview::SubKeyPath(strKeyPath, strName);
}

// The name a dialog shows for a value: "(Default)" for the default value.
QString ShownName(const QString& strListedName) {
  return strListedName == kRegNoName || strListedName == QLatin1String("Default")
             ? core::Text(900936)
             : strListedName;
}

bool Reported(bool bOk, const QString& strName) {
  if (!bOk)
    MsgError(core::Text(900937).arg(strName, LastErrorText()), core::Text(900923),
             core::Text(900938));
  return bOk;
}

bool WriteNotified(HKEY root, const QString& strKeyPath, const QString& strName, bool bWritten) {
  if (!Reported(bWritten, strName)) return false;
  NotifyRegistryChange(EViewChange::eItemAdded, root, ValuePath(strKeyPath, strName));
  return true;
}

bool IsDigitOfBase(QChar c, DWORD base) {
  switch (base) {
    case 0: return c == u'0' || c == u'1';
    case 1: return c >= u'0' && c <= u'7';
    case 3: return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    default: return c >= u'0' && c <= u'9';
  }
}

// The digits as the dialog's scanf would read them: binary counts the 1s of the last 32
// places; the others read as a long (saturated) of which the low 32 bits are kept.
DWORD ParseDigits(const QString& strDigits, DWORD base) {
  if (base == 0) {
    DWORD value = 0;
    const qsizetype n = strDigits.size();
    for (qsizetype i = 0; i < n && i < 32; ++i)
      if (strDigits[n - 1 - i] == u'1') value |= DWORD(1) << i;
    return value;
  }
  const unsigned radix = base == 1 ? 8 : base == 3 ? 16 : 10;
  const quint64 limit = base == 2 ? quint64(std::numeric_limits<qint64>::max())
                                  : std::numeric_limits<quint64>::max();
  quint64 value = 0;
  for (QChar c : strDigits) {
    const unsigned digit = c.isDigit() ? unsigned(c.unicode() - u'0')
                                       : unsigned(c.toLower().unicode() - u'a' + 10);
    if (value > (limit - digit) / radix) return DWORD(limit);  // saturates, as strtol does
    value = value * radix + digit;
  }
  return DWORD(value);
}

bool ParentAndName(const QString& strPath, QString* pstrParent, QString* pstrName) {
  QString path = strPath;
  while (path.endsWith(u'\\')) path.chop(1);
  const qsizetype cut = path.lastIndexOf(u'\\');
  *pstrName = path.mid(cut + 1);
  *pstrParent = cut <= 0 ? QString() : path.left(cut);
  return !pstrName->isEmpty();
}

}  // namespace

void SetRegistryDialogs(IRegistryDialogs* pDialogs) { Dialogs() = pDialogs; }
IRegistryDialogs* RegistryDialogs() { return Dialogs(); }

QString ProposeNewValueName() { return core::Text(900919).arg(NewValueCounter()++); }
void NewValueCancelled() { --NewValueCounter(); }
void ResetNewValueCounter() { NewValueCounter() = 1; }

CDwordField::CDwordField(DWORD value, DWORD base) : value_(value) { SetBase(base); }

void CDwordField::SetBase(DWORD base) {
  base_ = base <= 3 ? base : 2;
  text_ = regview::DwordText(value_, base_);
  bOk_ = true;
}

void CDwordField::TextChanged(const QString& strText, int* pnCaret) {
  static const QString kBlanks = QStringLiteral(" \t\r\n");
  qsizetype begin = 0, end = strText.size();
  while (begin < end && kBlanks.contains(strText[begin])) ++begin;
  while (end > begin && kBlanks.contains(strText[end - 1])) --end;
  if (begin == end) {
    value_ = 0;
    text_ = strText;
    bOk_ = false;
    return;
  }
  QString kept;
  int nCaret = pnCaret ? *pnCaret : int(strText.size());
  int nNewCaret = 0;
  for (qsizetype i = 0; i < strText.size(); ++i) {
    if (IsDigitOfBase(strText[i], base_)) {
      kept += strText[i];
      if (i < nCaret) ++nNewCaret;
    }
  }
  if (pnCaret) *pnCaret = nNewCaret;
  text_ = kept;
  value_ = ParseDigits(kept, base_);
  bOk_ = !kept.isEmpty();
}

void CDwordField::Spin(int nDelta) {
  value_ += DWORD(nDelta);
  text_ = regview::DwordText(value_, base_);
  bOk_ = true;
}

QStringList MultiStringFromText(const QString& strText, int* pnEmpty) {
  QStringList strings;
  int nEmpty = 0;
  for (QString piece : strText.split(QStringLiteral("\r\n"))) {
    while (!piece.isEmpty() && (piece.front() == u'\r' || piece.front() == u'\n')) piece.remove(0, 1);
    while (!piece.isEmpty() && (piece.back() == u'\r' || piece.back() == u'\n')) piece.chop(1);
    if (piece.isEmpty())
      ++nEmpty;
    else
      strings << piece;
  }
  if (pnEmpty) *pnEmpty = nEmpty;
  return strings;
}

QStringList MultiStringOnOk(const QString& strText) {
  int nEmpty = 0;
  const QStringList strings = MultiStringFromText(strText, &nEmpty);
  if (nEmpty > 0)
    MsgWarning(core::Text(nEmpty == 1 ? 900920 : 900921), core::Text(900902), QString());
  return strings;
}

QString StoredValueName(const QString& strListedName) {
  return strListedName == kRegNoName ? QString() : strListedName;
}

bool WriteDwordValue(HKEY root, const QString& strKeyPath, const QString& strName, DWORD dwValue) {
  return WriteNotified(root, strKeyPath, strName,
                       WriteDword(root, strKeyPath, StoredValueName(strName), dwValue));
}

bool WriteStringValue(HKEY root, const QString& strKeyPath, const QString& strName,
                      const QString& strValue, bool bExpandable) {
  const QString stored = StoredValueName(strName);
  QByteArray data(reinterpret_cast<const char*>(strValue.utf16()), strValue.size() * 2);
  data += QByteArray(2, '\0');
  const bool bOk = bExpandable ? WriteRawValue(root, strKeyPath, stored, REG_EXPAND_SZ, data)
                               : WriteString(root, strKeyPath, stored, strValue);
  return WriteNotified(root, strKeyPath, strName, bOk);
}

bool WriteMultiStringValue(HKEY root, const QString& strKeyPath, const QString& strName,
                           const QStringList& list) {
  return WriteNotified(root, strKeyPath, strName,
                       WriteMultiString(root, strKeyPath, StoredValueName(strName), list));
}

bool WriteBinaryValue(HKEY root, const QString& strKeyPath, const QString& strName,
                      const QByteArray& data) {
  return WriteNotified(
      root, strKeyPath, strName,
      WriteRawValue(root, strKeyPath, StoredValueName(strName), REG_BINARY, data));
}

bool TryCreateKey(HKEY root, const QString& strKeyPath, const QString& strName) {
  const QString name = strName.trimmed();
  if (name.isEmpty()) {
    MsgError(core::Text(900922), core::Text(900923), core::Text(900924));
    return false;
  }
  const QString path = ValuePath(strKeyPath, name);
  // A backslash would make a path of several keys out of one name.
  const ECreateKeyResult result =
      name.contains(u'\\') ? eCreateKey_Failed : CreateKey(root, path);
  if (result == eCreateKey_Existed) {
    MsgError(core::Text(900925), core::Text(900923), core::Text(900926));
    return false;
  }
  if (result == eCreateKey_Failed) {
    if (name.contains(u'\\')) plat::SetLastError(ERROR_INVALID_NAME);
    MsgError(core::Text(900949).arg(name, LastErrorText()), core::Text(900923),
             core::Text(900950));
    return false;
  }
  NotifyRegistryChange(EViewChange::eFolderCreated, root, path);
  return true;
}

bool NewKey(HKEY root, const QString& strKeyPath) {
  if (root == 0 || !Dialogs()) return false;
  return Dialogs()->NewKeyName(
      [&](const QString& strName) { return TryCreateKey(root, strKeyPath, strName); });
}

bool NewDwordValue(HKEY root, const QString& strKeyPath) {
  if (root == 0 || !Dialogs()) return false;
  CDwordDialog state{ProposeNewValueName(), true, 0, 2};
  if (!Dialogs()->EditDword(&state)) {
    NewValueCancelled();
    return false;
  }
  return WriteDwordValue(root, strKeyPath, state.name, state.value);
}

bool NewStringValue(HKEY root, const QString& strKeyPath) {
  if (root == 0 || !Dialogs()) return false;
  CStringDialog state{ProposeNewValueName(), true, false, QString()};
  if (!Dialogs()->EditString(&state)) {
    NewValueCancelled();
    return false;
  }
  return WriteStringValue(root, strKeyPath, state.name, state.value);
}

bool NewMultiStringValue(HKEY root, const QString& strKeyPath) {
  if (root == 0 || !Dialogs()) return false;
  CMultiStringDialog state{ProposeNewValueName(), true, QString()};
  if (!Dialogs()->EditMultiString(&state)) {
    NewValueCancelled();
    return false;
  }
  return WriteMultiStringValue(root, strKeyPath, state.name, MultiStringOnOk(state.text));
}

bool ModifyValue(HKEY root, const QString& strKeyPath, const QString& strName, DWORD dwTypeCode) {
  if (root == 0 || !Dialogs()) return false;
  const QString stored = StoredValueName(strName);
  switch (dwTypeCode) {
    case eRegVT_Dword: {
      CDwordDialog state{strName, false, 0, 2};
      if (!ReadDword(root, strKeyPath, stored, &state.value)) return false;
      if (!Dialogs()->EditDword(&state)) return false;
      return WriteDwordValue(root, strKeyPath, strName, state.value);
    }
    case eRegVT_String:
    case eRegVT_ExpandString: {
      CStringDialog state{ShownName(strName), false, dwTypeCode == eRegVT_ExpandString, {}};
      DWORD type = 0;
      QByteArray data;
      if (state.bExpandable) {
        if (!ReadRawValue(root, strKeyPath, stored, &type, &data) || type != REG_EXPAND_SZ)
          return false;
        const QString all = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(data.constData()), data.size() / 2);
        state.value = all.left(all.indexOf(QChar(0)) < 0 ? all.size() : all.indexOf(QChar(0)));
      } else if (!ReadString(root, strKeyPath, stored, &state.value)) {
        return false;
      }
      if (!Dialogs()->EditString(&state)) return false;
      return WriteStringValue(root, strKeyPath, strName, state.value, state.bExpandable);
    }
    case eRegVT_MultiString: {
      QStringList list;
      if (!ReadMultiString(root, strKeyPath, stored, &list)) return false;
      CMultiStringDialog state{strName, false, list.join(QStringLiteral("\r\n"))};
      if (!Dialogs()->EditMultiString(&state)) return false;
      return WriteMultiStringValue(root, strKeyPath, strName, MultiStringOnOk(state.text));
    }
    case eRegVT_Binary: {
      CBinaryDialog state{strName, {}};
      DWORD type = 0;
      if (!ReadRawValue(root, strKeyPath, stored, &type, &state.data) || type != REG_BINARY)
        return false;
      if (!Dialogs()->EditBinary(&state)) return false;
      return WriteBinaryValue(root, strKeyPath, strName, state.data);
    }
    default:
      return false;  // big-endian DWORDs, resource lists and unknown types are not edited
  }
}

bool DeleteKeyEntry(HKEY root, const QString& strKeyPath, DWORD dwEntryType,
                    const QString& strName) {
  if (root == 0 || dwEntryType != eEntry_RegKey || strName.isEmpty()) return false;
  if (MsgQuestion(core::Text(900927).arg(strName), core::Text(900928), core::Text(900929)) !=
      eMsgAnsYes)
    return false;
  if (!DeleteKey(root, strKeyPath, strName)) {
    MsgError(core::Text(900930).arg(strName, LastErrorText()), core::Text(900923),
             core::Text(900931));
    return false;
  }
  NotifyRegistryChange(EViewChange::eFolderRemoved, root, ValuePath(strKeyPath, strName));
  return true;
}

bool DeleteValueEntry(HKEY root, const QString& strKeyPath, DWORD dwEntryType,
                      const QString& strName) {
  if (root == 0 || dwEntryType != eEntry_RegValue) return false;
  if (MsgQuestion(core::Text(900932).arg(strName), core::Text(900933), core::Text(900929)) !=
      eMsgAnsYes)
    return false;
  // The unnamed value is listed as "<NO NAME>"; a value named "Default" is a value like any
  // other and is deleted by its own name.
  const bool bOk = strName == kRegNoName ? DeleteDefaultValue(root, strKeyPath)
                                         : DeleteValue(root, strKeyPath, strName);
  if (!bOk) {
    MsgError(core::Text(900934).arg(strName, LastErrorText()), core::Text(900923),
             core::Text(900935));
    return false;
  }
  NotifyRegistryChange(EViewChange::eItemRemoved, root, ValuePath(strKeyPath, strName));
  return true;
}

bool MoveKey(HKEY root, const QString& strKeyPath, const QString& strName,
             const QString& strNewName) {
  const QString from = ValuePath(strKeyPath, strName);
  const QString to = ValuePath(strKeyPath, strNewName);
  const bool bCaseOnly = strName.compare(strNewName, Qt::CaseInsensitive) == 0;
  if (strNewName.isEmpty() || strNewName.contains(u'\\') || (!bCaseOnly && KeyExists(root, to))) {
    plat::SetLastError(ERROR_ALREADY_EXISTS);
    return false;
  }
  CRegBatch batch;
  if (!batch.Begun()) return false;
  if (bCaseOnly) {
    // Names ignore case: a change of case goes through a name of its own first.
    QString temp;
    for (int n = 1; temp.isEmpty() || KeyExists(root, temp); ++n)
      temp = ValuePath(strKeyPath, QStringLiteral("%1.rename%2").arg(strName).arg(n));
    QString unused, tempName;
    ParentAndName(temp, &unused, &tempName);
    if (!CopyKeyTree(root, from, temp) || !DeleteKey(root, strKeyPath, strName) ||
        !CopyKeyTree(root, temp, to) || !DeleteKey(root, strKeyPath, tempName))
      return false;
  } else if (!CopyKeyTree(root, from, to) || !DeleteKey(root, strKeyPath, strName)) {
    return false;
  }
  return batch.Commit();
}

bool MoveValue(HKEY root, const QString& strKeyPath, const QString& strName,
               const QString& strNewName) {
  const QString from = StoredValueName(strName);
  const QString to = StoredValueName(strNewName);
  if (from.compare(to, Qt::CaseInsensitive) != 0 && ValueExists(root, strKeyPath, to)) {
    plat::SetLastError(ERROR_ALREADY_EXISTS);
    return false;
  }
  DWORD type = 0;
  QByteArray data;
  CRegBatch batch;
  if (!batch.Begun() || !ReadRawValue(root, strKeyPath, from, &type, &data) ||
      !DeleteValue(root, strKeyPath, from) || !WriteRawValue(root, strKeyPath, to, type, data))
    return false;
  return batch.Commit();
}

bool RenameKey(HKEY root, const QString& strKeyPath, const QString& strName) {
  if (root == 0 || strName.isEmpty() || !Dialogs()) return false;
  return Dialogs()->NewName(true, strName, [&](const QString& strTyped) {
    const QString name = strTyped.trimmed();
    if (name.isEmpty()) {
      MsgError(core::Text(900922), core::Text(900923), core::Text(900924));
      return false;
    }
    if (name == strName) return true;
    if (name.compare(strName, Qt::CaseInsensitive) != 0 &&
        KeyExists(root, ValuePath(strKeyPath, name))) {
      MsgError(core::Text(900925), core::Text(900923), core::Text(900926));
      return false;
    }
    if (!MoveKey(root, strKeyPath, strName, name)) {
      MsgError(core::Text(900947).arg(strName, LastErrorText()), core::Text(900923),
               core::Text(900948));
      return false;
    }
    NotifyRegistryChange(EViewChange::eFolderRenamed, root, ValuePath(strKeyPath, strName),
                         ValuePath(strKeyPath, name));
    return true;
  });
}

bool RenameValue(HKEY root, const QString& strKeyPath, const QString& strName) {
  if (root == 0 || !Dialogs()) return false;
  return Dialogs()->NewName(false, strName, [&](const QString& strTyped) {
    const QString name = strTyped.trimmed();
    if (name.isEmpty() || name == strName) return name == strName;
    if (StoredValueName(name).compare(StoredValueName(strName), Qt::CaseInsensitive) != 0 &&
        ValueExists(root, strKeyPath, StoredValueName(name))) {
      MsgError(core::Text(900945), core::Text(900923), core::Text(900946));
      return false;
    }
    if (!MoveValue(root, strKeyPath, strName, name)) {
      MsgError(core::Text(900947).arg(strName, LastErrorText()), core::Text(900923),
               core::Text(900948));
      return false;
    }
    NotifyRegistryChange(EViewChange::eFileRenamed, root, ValuePath(strKeyPath, strName),
                         ValuePath(strKeyPath, name));
    return true;
  });
}

}  // namespace regedit
