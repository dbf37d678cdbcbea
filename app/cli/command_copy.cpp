// pinbro-cli copy SRC... DEST and move SRC... DEST: the paste of a selection into the folder
// DEST, through the same copy and move operation as the panels. Questions (replace, merge) take
// --answer; the progress line is the terminal's. Every source must exist: a missing one is
// refused before anything is copied.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "app/cli/cli_selection.h"
#include "fileops/copy_move.h"
#include "core/selection.h"
#include "platform/device_root.h"

namespace cli {
namespace {

int RunCopyOrMove(CCliContext& ctx, bool bMove) {
  const char* word = bMove ? "move" : "copy";
  if (ctx.args.size() < 2 || ctx.args.first().startsWith(QLatin1String("--"))) {
    ctx.err << "usage: pinbro-cli " << word << " SRC... DEST\n";
    return kExitUsage;
  }
  QString dest;
  if (!plat::CDeviceRoot::Canonical(ctx.args.last(), &dest)) {
    ctx.err << "pinbro-cli: " << ctx.args.last() << " is not a valid device path.\n";
    return kExitUsage;
  }
  fileops::CSelection selection;
  const int nRead = ReadSelection(ctx, ctx.args.mid(0, ctx.args.size() - 1), word, &selection);
  if (nRead != kExitOk) return nRead;
  const int result = fileops::CopyItems(selection, dest, bMove);
  return result == fileops::eCopyOK ? kExitOk : kExitFailed;
}

}  // namespace

int RunCopyCommand(CCliContext& ctx) { return RunCopyOrMove(ctx, false); }
int RunMoveCommand(CCliContext& ctx) { return RunCopyOrMove(ctx, true); }

}  // namespace cli
