// pinbro-cli profile list | add NAME [DETAILS] | switch NAME | delete NAME: the operations of
// the profile management dialog and the profiles menu, with their checks and messages.
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "core/profiles.h"
#include "core/settings.h"
#include "core/settings_io.h"

namespace cli {
namespace {

constexpr char kProfileUsage[] =
    "usage: pinbro-cli profile list | profile add NAME [DETAILS] | profile switch NAME | "
    "profile delete NAME";

// The row of the named profile (without regard to case), or -1 with a message.
int FindRow(CCliContext& ctx, const CProfileManager& manager, const QString& strName) {
  const auto& rows = manager.Rows();
  for (int row = 0; row < rows.size(); ++row)
    if (rows[row].strName.compare(strName, Qt::CaseInsensitive) == 0) return row;
  ctx.err << "pinbro-cli: profile: there is no profile \"" << strName << "\"\n";
  return -1;
}

int List(CCliContext& ctx) {
  const CProfileManager manager;
  const int nCurrent = manager.CurrentRow();
  const auto& rows = manager.Rows();
  for (int row = 0; row < rows.size(); ++row)
    ctx.out << (row == nCurrent ? "* " : "  ") << rows[row].strName << "\t" << rows[row].strDetails
            << "\n";
  return kExitOk;
}

int Add(CCliContext& ctx, const QString& strName, const QString& strDetails) {
  CProfileManager manager;
  const bool bAdded = manager.Add([&](QString* pstrName, QString* pstrDetails) {
    *pstrName = strName;
    *pstrDetails = strDetails;
    return true;
  });
  return bAdded ? kExitOk : kExitFailed;
}

int Switch(CCliContext& ctx, const QString& strName) {
  const CProfileManager manager;
  const int nRow = FindRow(ctx, manager, strName);
  if (nRow < 0) return kExitFailed;
  if (!SwitchProfile(kCmdProfileFirst + UINT(nRow))) return kExitFailed;
  // As the desktop stores the options into the new profile when it exits.
  SaveSettings();
  return kExitOk;
}

int Delete(CCliContext& ctx, const QString& strName) {
  CProfileManager manager;
  const int nRow = FindRow(ctx, manager, strName);
  if (nRow < 0) return kExitFailed;
  if (!manager.Delete(nRow)) return kExitFailed;
  if (manager.CurrentProfileChanged()) {
    // As the desktop loads the now current profile when the dialog closes, and stores it when
    // it exits.
    LoadSettings();
    SaveSettings();
  }
  return kExitOk;
}

}  // namespace

int RunProfileCommand(CCliContext& ctx) {
  const QStringList& args = ctx.args;
  const QString verb = args.value(0);
  if (verb == u"list" && args.size() == 1) return List(ctx);
  if (verb == u"add" && (args.size() == 2 || args.size() == 3))
    return Add(ctx, args[1], args.value(2));
  if (verb == u"switch" && args.size() == 2) return Switch(ctx, args[1]);
  if (verb == u"delete" && args.size() == 2) return Delete(ctx, args[1]);
  ctx.err << kProfileUsage << "\n";
  return kExitUsage;
}

}  // namespace cli
