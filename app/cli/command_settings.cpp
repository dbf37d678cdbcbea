// pinbro-cli settings get NAME / settings set NAME VALUE: one per-profile option of the current
// profile, read as the program loads it and written only when its rules accept the value.
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_options.h"
#include "core/settings_store.h"
#include "fileops/recycle_bin_folder.h"

namespace cli {
namespace {

constexpr char kSettingsUsage[] = "usage: pinbro-cli settings get NAME | settings set NAME VALUE";

// Decimal (a leading minus wraps around, so -1 is 4294967295) or hexadecimal with "0x".
bool ParseDword(const QString& text, DWORD* pdwValue) {
  bool bOk = false;
  if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
    const qulonglong value = text.mid(2).toULongLong(&bOk, 16);
    *pdwValue = DWORD(value);
    return bOk && value <= 0xFFFFFFFFull;
  }
  const qlonglong value = text.toLongLong(&bOk, 10);
  *pdwValue = DWORD(value);
  return bOk && value >= -0x80000000ll && value <= 0xFFFFFFFFll;
}

int Get(CCliContext& ctx, const QString& strName) {
  COptionSpec spec;
  if (!FindOptionSpec(strName, &spec)) {
    ctx.err << "pinbro-cli: settings: there is no per-profile option \"" << strName << "\"\n";
    return kExitFailed;
  }
  if (const COption* option = FindOption(strName)) {
    if (option->type == EOptType::eDword)
      ctx.out << settings.*option->dwField << "\n";
    else
      ctx.out << settings.*option->strField << "\n";
    return kExitOk;
  }
  if (spec.type == EOptType::eDword) {
    DWORD dwValue = spec.dwDefault;
    ReadProfileDword(strName, spec.dwDefault, &dwValue);
    ctx.out << dwValue << "\n";
  } else {
    QString value;
    ReadProfileString(strName, spec.strDefault, &value);
    ctx.out << value << "\n";
  }
  return kExitOk;
}

int Set(CCliContext& ctx, const QString& strName, const QString& strValue) {
  COptionSpec spec;
  if (!FindOptionSpec(strName, &spec)) {
    ctx.err << "pinbro-cli: settings: there is no per-profile option \"" << strName << "\"\n";
    return kExitFailed;
  }
  DWORD dwValue = 0;
  if (spec.type == EOptType::eDword) {
    if (!ParseDword(strValue, &dwValue)) {
      ctx.err << "pinbro-cli: settings: " << strName << " takes a number, not \"" << strValue
              << "\"\n";
      return kExitFailed;
    }
    if (!spec.rule.Accepts(dwValue)) {
      ctx.err << "pinbro-cli: settings: " << dwValue << " is not a valid value of " << strName
              << "; valid values are " << spec.rule.Describe() << "\n";
      return kExitFailed;
    }
  } else if (strValue.size() > kMaxOptionStringChars) {
    ctx.err << "pinbro-cli: settings: the text for " << strName << " is longer than "
            << kMaxOptionStringChars << " characters\n";
    return kExitFailed;
  }
  if (strName == u"RecycleBinPath") {
    const QString strProblem = fileops::RecycleBinFolderProblem(strValue);
    if (!strProblem.isEmpty()) {
      // A name may hold a line break: it must not break the message's one line.
      ctx.err << "pinbro-cli: settings: " << EscapedCell(strValue)
              << " cannot be the recycle bin: " << EscapedCell(strProblem) << "\n";
      return kExitFailed;
    }
  }
  bool bOk = false;
  if (const COption* option = FindOption(strName)) {
    if (option->type == EOptType::eDword)
      settings.*option->dwField = dwValue;
    else
      settings.*option->strField = strValue;
    bOk = SaveOption(strName);
  } else {
    bOk = spec.type == EOptType::eDword ? WriteProfileDword(strName, dwValue)
                                        : WriteProfileString(strName, strValue);
  }
  if (!bOk) {
    ctx.err << "pinbro-cli: settings: could not write " << strName << " into "
            << CurrentProfileKeyPath() << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int RunSettingsCommand(CCliContext& ctx) {
  const QStringList& args = ctx.args;
  if (args.size() == 2 && args[0] == u"get") return Get(ctx, args[1]);
  if (args.size() == 3 && args[0] == u"set") return Set(ctx, args[1], args[2]);
  ctx.err << kSettingsUsage << "\n";
  return kExitUsage;
}

}  // namespace cli
