// pinbro-cli mkdir FOLDER, rename OLD NEW and shortcut TARGET FOLDER: the new-folder, rename
// and paste-shortcut operations, with their boxes printed on standard error.
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "core/path_helpers.h"
#include "core/app_log.h"
#include "fileops/naming.h"
#include "fileops/rename.h"
#include "platform/errors.h"
#include "platform/file_system.h"

namespace cli {
namespace {

int Usage(CCliContext& ctx, const char* pszUsage) {
  ctx.err << "usage: pinbro-cli " << pszUsage << "\n";
  return kExitUsage;
}

}  // namespace

int RunMkdirCommand(CCliContext& ctx) {
  if (ctx.args.size() != 1) return Usage(ctx, "mkdir FOLDER");
  QString strPath;
  if (!fileops::CreateNewFolder(ctx.args[0], &strPath)) return kExitFailed;
  ctx.out << fileops::PathNamePart(strPath) << "\n";
  return kExitOk;
}

// NEW is the new name, or a full path in OLD's folder. Anything else is refused as a name
// with the invalid-name box, so a rename never moves the item elsewhere.
int RunRenameCommand(CCliContext& ctx) {
  if (ctx.args.size() != 2) return Usage(ctx, "rename OLD NEW");
  const QString& strOld = ctx.args[0];
  const QString strFolder = fileops::PathFolderPart(strOld);
  QString strName = ctx.args[1];
  if (strName.startsWith(u'\\') && fileops::IsSameFolder(strName, strFolder))
    strName = fileops::PathNamePart(strName);
  if (!fileops::CheckTypedName(strName)) return kExitFailed;
  // OLD without a folder (not a device path) gives no new path: the rename refuses it.
  const QString strNew =
      strFolder.isEmpty() ? QString() : browse::AppendPathComponent(strFolder, strName);
  const DWORD dwAttributes = plat::GetFileAttributes(strOld);
  const bool bFolder =
      dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
  const bool bRenamed = bFolder ? fileops::RenameFolder(strOld, strNew)
                                : fileops::RenameFile(strOld, strNew);
  return bRenamed ? kExitOk : kExitFailed;
}

int RunShortcutCommand(CCliContext& ctx) {
  if (ctx.args.size() != 2) return Usage(ctx, "shortcut TARGET FOLDER");
  const QString& strTarget = ctx.args[0];
  const QString& strFolder = ctx.args[1];
  if (!fileops::ItemExists(strTarget)) {
    ctx.err << "pinbro-cli: shortcut: " << strTarget << " does not exist\n";
    return kExitFailed;
  }
  QString strPath;
  if (!fileops::PasteShortcut(strTarget, strFolder, &strPath)) {
    ctx.err << "pinbro-cli: shortcut: could not create a shortcut in " << strFolder << ": "
            << SystemErrorText(plat::GetLastError()) << "\n";
    return kExitFailed;
  }
  ctx.out << fileops::PathNamePart(strPath) << "\n";
  return kExitOk;
}

}  // namespace cli
