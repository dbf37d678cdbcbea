// pinbro-cli reg: single registry values and keys, read and edited through the registry access
// layer. get prints a value; set writes a DWORD, string or multi-string value; new-key,
// delete-key and delete-value create and delete. A path that names no key of a known root is
// refused before anything is touched.
#include <QStringList>
#include <QtEndian>

#include "app/cli/cli_context.h"
#include "app/cli/terminal_message_box.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "platform/errors.h"
#include "registry/registry_access.h"
#include "registry/registry_editor.h"
#include "registry/registry_file.h"
#include "registry/registry_view_source.h"

namespace cli {
namespace {

constexpr char kRegUsage[] =
    "usage: pinbro-cli reg get PATH\\VALUE\n"
    "       pinbro-cli reg set PATH\\VALUE --dword N | --string S | --multi S...\n"
    "       pinbro-cli reg new-key PATH | reg delete-key PATH | reg delete-value PATH\\VALUE\n"
    "       pinbro-cli reg export PATH FILE [--regedit4] | reg import FILE\n"
    "PATH begins with HKLM, HKCU, HKCR or HKU (or their long names); a VALUE left empty\n"
    "(PATH\\) is the key's default value.";

// The handheld's longest key or value name.
constexpr qsizetype kMaxNameChars = 255;

// What a command line path names: a key below a root, and for value commands a value in it.
struct CRegTarget {
  HKEY root = 0;
  QString keyPath;  // the key below the root, without trailing backslash
  QString name;     // the value name (value commands; empty = the default value)
};

// The platform's text for the last error, on one line.
QString LastErrorText() {
  const DWORD error = plat::GetLastError();
  const QString text = plat::SystemMessage(error).trimmed();
  return text.isEmpty() ? QStringLiteral("error %1").arg(error) : text;
}

// Prints a box of the registry editor as the terminal shows boxes: "title: heading: body".
void PrintBox(CCliContext& ctx, const QString& strText, const QString& strTitle,
              const QString& strHeader) {
  ctx.err << CTerminalMessageBox::BoxLine(
                 MakeMsgBoxRequest(eMsgKindError, strText, strTitle, strHeader, 0))
          << "\n";
}

// Splits a path for a value command (bValue) or a key command. False with a message when the
// text is no registry path, its root is unknown, a name in it is empty or too long, or it
// names no key (key commands) or no value part (value commands).
bool ParseTarget(CCliContext& ctx, const QString& strText, bool bValue, CRegTarget* target) {
  QString keyPath, last;
  const bool bParsed = ParseRegistryPath(strText, &target->root, &keyPath, &last);
  const qsizetype rootEnd = strText.indexOf(QLatin1Char('\\'), 1);
  QString why;
  if (!bParsed || rootEnd < 0) {
    why = bValue ? QStringLiteral("it is not of the form ROOT\\KEY\\VALUE")
                 : QStringLiteral("it is not of the form ROOT\\KEY");
  } else if (target->root == 0) {
    why = QStringLiteral("%1 is not a registry root (HKLM, HKCU, HKCR, HKU or their long names)")
              .arg(strText.left(rootEnd));
  } else {
    QString below = strText.mid(rootEnd + 1);
    if (bValue) {
      below.chop(last.size() + (below.size() > last.size() ? 1 : 0));
      target->name = last;
    } else if (below.endsWith(QLatin1Char('\\'))) {
      below.chop(1);
    }
    target->keyPath = below;
    const QStringList names = below.isEmpty() ? QStringList() : below.split(QLatin1Char('\\'));
    if (!bValue && names.isEmpty()) why = QStringLiteral("it names no key below the root");
    for (const QString& name : names)
      if (name.isEmpty()) why = QStringLiteral("it has an empty key name");
    for (const QString& name : names + QStringList{target->name})
      if (name.size() > kMaxNameChars)
        why = QStringLiteral("a name in it is longer than %1 characters").arg(kMaxNameChars);
  }
  if (why.isEmpty()) return true;
  ctx.err << "pinbro-cli: reg: \"" << strText << "\" is not a registry path: " << why << "\n";
  return false;
}

// Decimal (a leading minus wraps around, so -1 is 4294967295) or hexadecimal with "0x".
bool ParseDword(const QString& strText, DWORD* pdwValue) {
  bool bOk = false;
  if (strText.startsWith(u"0x", Qt::CaseInsensitive)) {
    const qulonglong value = strText.mid(2).toULongLong(&bOk, 16);
    *pdwValue = DWORD(value);
    return bOk && value <= 0xFFFFFFFFull;
  }
  const qlonglong value = strText.toLongLong(&bOk, 10);
  *pdwValue = DWORD(value);
  return bOk && value >= -0x80000000ll && value <= 0xFFFFFFFFll;
}

// The value's data as text: numbers in decimal, strings as they are, a multi-string one string
// per line, anything else as hexadecimal bytes.
bool ValueText(const CRegTarget& t, QString* text) {
  ERegValueType type = eRegVT_Unknown;
  QByteArray data;
  if (!ReadValueData(t.root, t.keyPath, t.name, &type, &data)) return false;
  DWORD number = 0;
  QString string;
  QStringList list;
  if (type == eRegVT_Dword && ReadDword(t.root, t.keyPath, t.name, &number)) {
    *text = QString::number(number);
  } else if (type == eRegVT_DwordBigEndian && data.size() == 4) {
    *text = QString::number(qFromBigEndian<quint32>(data.constData()));
  } else if (type == eRegVT_String && ReadString(t.root, t.keyPath, t.name, &string)) {
    *text = string;
  } else if (type == eRegVT_String || type == eRegVT_ExpandString) {
    // Longer than the string reader takes, or expandable: the text up to its terminator.
    const QString all = QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData()),
                                           data.size() / 2);
    *text = all.left(all.indexOf(QChar(0)) < 0 ? all.size() : all.indexOf(QChar(0)));
  } else if (type == eRegVT_MultiString && ReadMultiString(t.root, t.keyPath, t.name, &list)) {
    *text = list.join(QLatin1Char('\n'));
  } else {
    *text = QString::fromLatin1(data.toHex(' '));
  }
  return true;
}

int Get(CCliContext& ctx, const QString& strPath) {
  CRegTarget t;
  if (!ParseTarget(ctx, strPath, true, &t)) return kExitFailed;
  QString text;
  if (!ValueText(t, &text)) {
    ctx.err << "pinbro-cli: reg: could not read " << strPath << ": " << LastErrorText() << "\n";
    return kExitFailed;
  }
  ctx.out << text << "\n";
  return kExitOk;
}

int Set(CCliContext& ctx, const QStringList& args) {
  // args: PATH\VALUE, then exactly one of --dword N, --string S, --multi S...
  const QString kind = args.value(1);
  DWORD number = 0;
  const bool bArgsOk = (kind == u"--dword" && args.size() == 3 && ParseDword(args[2], &number)) ||
                       (kind == u"--string" && args.size() == 3) || kind == u"--multi";
  if (!bArgsOk) {
    ctx.err << kRegUsage << "\n";
    return kExitUsage;
  }
  CRegTarget t;
  if (!ParseTarget(ctx, args[0], true, &t)) return kExitFailed;
  // The editor's writes: a failure is told with the platform's text; a multi-string drops
  // empty strings with the editor's notice.
  bool bOk = false;
  if (kind == u"--dword") {
    bOk = regedit::WriteDwordValue(t.root, t.keyPath, t.name, number);
  } else if (kind == u"--string") {
    bOk = regedit::WriteStringValue(t.root, t.keyPath, t.name, args[2]);
  } else {
    bOk = regedit::WriteMultiStringValue(
        t.root, t.keyPath, t.name, regedit::MultiStringOnOk(args.mid(2).join(u"\r\n")));
  }
  return bOk ? kExitOk : kExitFailed;
}

int NewKey(CCliContext& ctx, const QString& strPath) {
  CRegTarget t;
  if (!ParseTarget(ctx, strPath, false, &t)) return kExitFailed;
  const qsizetype lastSlash = t.keyPath.lastIndexOf(QLatin1Char('\\'));
  return regedit::TryCreateKey(t.root, lastSlash < 0 ? QString() : t.keyPath.left(lastSlash),
                               t.keyPath.mid(lastSlash + 1))
             ? kExitOk
             : kExitFailed;
}

// The editor's delete of a key row: its question (answered by --answer), then the delete.
int DeleteKeyCommand(CCliContext& ctx, const QString& strPath) {
  CRegTarget t;
  if (!ParseTarget(ctx, strPath, false, &t)) return kExitFailed;
  const qsizetype lastSlash = t.keyPath.lastIndexOf(QLatin1Char('\\'));
  const QString parent = lastSlash < 0 ? QString() : t.keyPath.left(lastSlash);
  return regedit::DeleteKeyEntry(t.root, parent, eEntry_RegKey, t.keyPath.mid(lastSlash + 1))
             ? kExitOk
             : kExitFailed;
}

int DeleteValueCommand(CCliContext& ctx, const QString& strPath) {
  CRegTarget t;
  if (!ParseTarget(ctx, strPath, true, &t)) return kExitFailed;
  // The default value is the row the list names "<NO NAME>".
  return regedit::DeleteValueEntry(t.root, t.keyPath, eEntry_RegValue,
                                   t.name.isEmpty() ? kRegNoName : t.name)
             ? kExitOk
             : kExitFailed;
}

int Export(CCliContext& ctx, const QStringList& args) {
  HKEY root = 0;
  QString keyPath;
  if (!ParseRegistryListPath(args[0], &root, &keyPath)) {
    ctx.err << "pinbro-cli: reg: \"" << args[0]
            << "\" is not a registry key (it must begin with HKLM, HKCU, HKCR or HKU)\n";
    return kExitFailed;
  }
  QString error;
  const auto format = args.size() == 3 ? regfile::eRegFile_Regedit4 : regfile::eRegFile_Version5;
  if (regfile::ExportToFile(root, keyPath, args[1], format, &error)) return kExitOk;
  PrintBox(ctx, core::Text(900976).arg(args[1], error), core::Text(900923), core::Text(900962));
  return kExitFailed;
}

int Import(CCliContext& ctx, const QString& strFile) {
  QString message;
  if (regfile::ImportFromFile(strFile, &message)) return kExitOk;
  PrintBox(ctx, message, core::Text(900923), core::Text(900961));
  return kExitFailed;
}

}  // namespace

int RunRegCommand(CCliContext& ctx) {
  const QStringList& args = ctx.args;
  const QString sub = args.value(0);
  if (sub == u"set" && args.size() >= 3) return Set(ctx, args.mid(1));
  if (args.size() == 2) {
    if (sub == u"get") return Get(ctx, args[1]);
    if (sub == u"new-key") return NewKey(ctx, args[1]);
    if (sub == u"delete-key") return DeleteKeyCommand(ctx, args[1]);
    if (sub == u"delete-value") return DeleteValueCommand(ctx, args[1]);
    if (sub == u"import") return Import(ctx, args[1]);
  }
  if (sub == u"export" && (args.size() == 3 || (args.size() == 4 && args[3] == u"--regedit4")))
    return Export(ctx, args.mid(1));
  ctx.err << kRegUsage << "\n";
  return kExitUsage;
}

}  // namespace cli
