// pinbro-cli delete PATH...: the Delete command of the panels, which recycles the items or
// deletes them for good as UseRecycleBin of the current profile says, with the program's own
// questions (--answer yes confirms them). Every path must exist: a missing one is refused
// before anything is touched. The root, the bin folder and what lies inside it are refused
// too: items of the bin are deleted for good with `bin purge`.
#include <QStringList>

#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "fileops/selection.h"
#include "platform/device_root.h"
#include "platform/file_system.h"

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
  for (const QString& arg : ctx.args) {
    QString strPath;
    if (!plat::CDeviceRoot::Canonical(arg, &strPath)) {
      ctx.err << "pinbro-cli: " << arg << " is not a valid device path.\n";
      return kExitUsage;
    }
    const DWORD dwAttributes = plat::GetFileAttributes(strPath);
    const char* pszRefusal = nullptr;
    if (strPath == u"\\")
      pszRefusal = ": the root cannot be deleted.\n";
    else if (IsInRecycleBin(strPath))
      pszRefusal = ": it is the recycle bin or lies in it; use bin purge.\n";
    else if (dwAttributes == INVALID_FILE_ATTRIBUTES)
      pszRefusal = ": there is no such file or folder.\n";
    if (pszRefusal) {
      ctx.err << "pinbro-cli: Could not delete " << strPath << pszRefusal;
      return kExitFailed;
    }
    const bool bFolder = (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    selection.push_back({bFolder ? fileops::eSelFolder : fileops::eSelFile, strPath});
  }
  return fileops::DeleteCommand(selection) == 0 ? kExitOk : kExitFailed;
}

}  // namespace cli
