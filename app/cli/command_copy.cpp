// pinbro-cli copy SRC... DEST and move SRC... DEST: the paste of a selection into the folder
// DEST, through the same copy and move operation as the panels. Questions (replace, merge) take
// --answer; the progress line is the terminal's. Every source must exist: a missing one is
// refused before anything is copied.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "fileops/copy_move.h"
#include "fileops/selection.h"
#include "platform/device_root.h"
#include "platform/file_system.h"

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
  for (const QString& arg : ctx.args.mid(0, ctx.args.size() - 1)) {
    QString path;
    if (!plat::CDeviceRoot::Canonical(arg, &path)) {
      ctx.err << "pinbro-cli: " << arg << " is not a valid device path.\n";
      return kExitUsage;
    }
    const DWORD dwAttributes = plat::GetFileAttributes(path);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
      ctx.err << "pinbro-cli: Could not " << word << " " << path
              << ": there is no such file or folder.\n";
      return kExitFailed;
    }
    const bool bFolder = (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    selection.push_back({bFolder ? fileops::eSelFolder : fileops::eSelFile, path});
  }
  const int result = fileops::CopyItems(selection, dest, bMove);
  return result == fileops::eCopyOK ? kExitOk : kExitFailed;
}

}  // namespace

int RunCopyCommand(CCliContext& ctx) { return RunCopyOrMove(ctx, false); }
int RunMoveCommand(CCliContext& ctx) { return RunCopyOrMove(ctx, true); }

}  // namespace cli
