// pinbro-cli delete PATH...: the Delete command of the panels, which recycles the items or
// deletes them for good as UseRecycleBin of the current profile says, with the program's own
// questions (--answer yes confirms them). Every path must exist: a missing one is refused
// before anything is touched. The root, the bin folder and what lies inside it are refused
// too: items of the bin are deleted for good with `bin purge`.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "app/cli/cli_selection.h"
#include "app/cli/commands.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "core/selection.h"

namespace cli {
namespace {

// True when strPath is the bin folder or lies inside it (compared ignoring case).
bool IsInRecycleBin(const QString& strPath) {
  const QString strBin = fileops::RecycleBinFolder();
  if (strBin.isEmpty()) return false;
  if (strBin == u"\\") return true;
  return strPath.compare(strBin, Qt::CaseInsensitive) == 0 ||
         strPath.startsWith(strBin + u'\\', Qt::CaseInsensitive);
}

}  // namespace

int RunDeleteCommand(CCliContext& ctx) {
  if (ctx.args.isEmpty() || ctx.args.first().startsWith(QLatin1String("--"))) {
    ctx.err << "usage: pinbro-cli delete PATH...\n";
    return kExitUsage;
  }
  fileops::CSelection selection;
  const int nRead = ReadSelection(ctx, ctx.args, "delete", &selection, [](const QString& strPath) {
    if (strPath == u"\\") return ": the root cannot be deleted.\n";
    if (IsInRecycleBin(strPath)) return ": it is the recycle bin or lies in it; use bin purge.\n";
    return static_cast<const char*>(nullptr);
  });
  if (nRead != kExitOk) return nRead;
  return fileops::DeleteCommand(selection) == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
