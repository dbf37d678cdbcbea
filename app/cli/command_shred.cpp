// pinbro-cli shred PATH...: the shredder with the configured passes (SDelZeroFillOnly,
// SDelNumPasses, SDelFileNames of the current profile). Each item is confirmed as the program
// asks for one file or one folder (--answer yes confirms all); the confirmed items are then
// shredded in one run. Every path must exist: a missing one is refused before anything is
// touched.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "fileops/selection.h"
#include "fileops/shredder.h"
#include "platform/device_root.h"
#include "platform/file_system.h"

namespace cli {

int RunShredCommand(CCliContext& ctx) {
  if (ctx.args.isEmpty() || ctx.args.first().startsWith(QLatin1String("--"))) {
    ctx.err << "usage: pinbro-cli shred PATH...\n";
    return kExitUsage;
  }
  fileops::CSelection selection;
  for (const QString& arg : ctx.args) {
    QString path;
    if (!plat::CDeviceRoot::Canonical(arg, &path)) {
      ctx.err << "pinbro-cli: " << arg << " is not a valid device path.\n";
      return kExitUsage;
    }
    const DWORD dwAttributes = plat::GetFileAttributes(path);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || path == QLatin1String("\\")) {
      ctx.err << "pinbro-cli: Could not shred " << path
              << (path == QLatin1String("\\") ? ": the root cannot be shredded.\n"
                                              : ": there is no such file or folder.\n");
      return kExitFailed;
    }
    const bool bFolder = (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    selection.push_back({bFolder ? fileops::eSelFolder : fileops::eSelFile, path});
  }
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
