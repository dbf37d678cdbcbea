#include "app/cli/cli_selection.h"

#include "platform/device_root.h"
#include "platform/file_system.h"

namespace cli {

int ReadSelection(CCliContext& ctx, const QStringList& args, const char* pszVerb,
                  fileops::CSelection* pSelection, const RefusalRule& fnRefuse) {
  for (const QString& arg : args) {
    QString strPath;
    if (!plat::CDeviceRoot::Canonical(arg, &strPath)) {
      ctx.err << "pinbro-cli: " << arg << " is not a valid device path.\n";
      return kExitUsage;
    }
    const char* pszRefusal = fnRefuse ? fnRefuse(strPath) : nullptr;
    const DWORD dwAttributes = pszRefusal ? INVALID_FILE_ATTRIBUTES
                                          : plat::GetFileAttributes(strPath);
    if (!pszRefusal && dwAttributes == INVALID_FILE_ATTRIBUTES)
      pszRefusal = ": there is no such file or folder.\n";
    if (pszRefusal) {
      ctx.err << "pinbro-cli: Could not " << pszVerb << " " << strPath << pszRefusal;
      return kExitFailed;
    }
    const bool bFolder = (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    pSelection->push_back({bFolder ? fileops::eSelFolder : fileops::eSelFile, strPath});
  }
  return kExitOk;
}

}  // namespace cli
