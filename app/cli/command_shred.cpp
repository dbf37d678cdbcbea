// pinbro-cli shred PATH...: the shredder with the configured passes (SDelZeroFillOnly,
// SDelNumPasses, SDelFileNames of the current profile). Each item is confirmed as the program
// asks for one file or one folder (--answer yes confirms all); the confirmed items are then
// shredded in one run. Every path must exist: a missing one is refused before anything is
// touched.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "app/cli/cli_selection.h"
#include "core/selection.h"
#include "fileops/shredder.h"

namespace cli {

int RunShredCommand(CCliContext& ctx) {
  if (ctx.args.isEmpty() || ctx.args.first().startsWith(QLatin1String("--"))) {
    ctx.err << "usage: pinbro-cli shred PATH...\n";
    return kExitUsage;
  }
  fileops::CSelection selection;
  const int nRead = ReadSelection(ctx, ctx.args, "shred", &selection, [](const QString& strPath) {
    return strPath == u"\\" ? ": the root cannot be shredded.\n" : nullptr;
  });
  if (nRead != kExitOk) return nRead;
  int result = fileops::eShredOK;
  if (selection.size() == 1) {
    const fileops::CSelItem& item = selection.front();
    result = item.nKind == fileops::eSelFolder ? fileops::ShredFolder(item.strPath)
                                               : fileops::ShredOneFile(item.strPath);
  } else {
    fileops::CSelection confirmed;
    for (const fileops::CSelItem& item : selection) {
      if (fileops::ConfirmShred(item)) confirmed.push_back(item);
    }
    if (!confirmed.empty()) result = fileops::ShredSelectionRun(confirmed);
    if (result == fileops::eShredOK && confirmed.size() < selection.size())
      result = fileops::eShredCancelled;  // declined items count as not done
  }
  return result == fileops::eShredOK ? kExitOk : kExitFailed;
}

}  // namespace cli
