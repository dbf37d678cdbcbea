#include "core/location.h"

CPanelLocation CPanelLocation::FileSystem(const QString& strPath) {
  return CPanelLocation(eEntry_Folder, 0, strPath);
}

CPanelLocation CPanelLocation::Registry(HKEY hRoot, const QString& strSubKey) {
  return CPanelLocation(strSubKey.isEmpty() ? eEntry_RegRoot : eEntry_RegKey, hRoot, strSubKey);
}

CPanelLocation CPanelLocation::RegistryTop() { return CPanelLocation(eEntry_RegTop, 0, {}); }

namespace browse {

bool CanGoUp(DWORD dwSource, const QString& strCurrentPath) {
  return dwSource == ePanelSrc_FileSystem && !strCurrentPath.isEmpty() &&
         strCurrentPath.compare(u"\\", Qt::CaseInsensitive) != 0;
}

}  // namespace browse
