#include "browse/panel_keys.h"

#include "core/settings.h"
#include "core/settings_io.h"
#include "registry/registry_access.h"

namespace browse {

namespace {

struct CPanelFields {
  DWORD* pdwKind;
  QString* pstrPath;
  DWORD* pdwRootOrdinal;
  const char16_t* kindName;
  const char16_t* pathName;
  const char16_t* rootName;
};

CPanelFields FieldsOf(EPanelId ePanel) {
  if (ePanel == ePanel_B) {
    return {&settings.MainTreeBCacheType, &settings.MainTreeBCacheStr1, &settings.MainTreeBHKey,
            u"MainTreeBCacheType", u"MainTreeBCacheStr1", u"MainTreeBHKey"};
  }
  return {&settings.MainTreeACacheType, &settings.MainTreeACacheStr1, &settings.MainTreeAHKey,
          u"MainTreeACacheType", u"MainTreeACacheStr1", u"MainTreeAHKey"};
}

bool IsStorableKind(DWORD dwKind) {
  return dwKind == eEntry_Folder || dwKind == eEntry_RegTop || dwKind == eEntry_RegRoot ||
         dwKind == eEntry_RegKey;
}

}  // namespace

CPanelLocation StoredPanelLocation(EPanelId ePanel) {
  const CPanelFields fields = FieldsOf(ePanel);
  const DWORD dwKind = IsStorableKind(*fields.pdwKind) ? *fields.pdwKind : DWORD(eEntry_Folder);
  const HKEY hRoot = RootFromOrdinal(*fields.pdwRootOrdinal);
  return CPanelLocation(dwKind, hRoot, *fields.pstrPath);
}

bool StorePanelLocation(EPanelId ePanel, const CPanelLocation& location) {
  const CPanelFields fields = FieldsOf(ePanel);
  const bool bRegistry = location.kind == eEntry_RegRoot || location.kind == eEntry_RegKey;
  const bool bPath = location.kind == eEntry_Folder || location.kind == eEntry_RegKey;
  *fields.pdwKind = location.kind;
  *fields.pstrPath = bPath ? location.path : QString();
  *fields.pdwRootOrdinal = bRegistry ? OrdinalFromRoot(location.root) : 0;
  bool bOk = SaveOption(QString::fromUtf16(fields.kindName));
  bOk = SaveOption(QString::fromUtf16(fields.pathName)) && bOk;
  bOk = SaveOption(QString::fromUtf16(fields.rootName)) && bOk;
  return bOk;
}

QString ColumnKeyPart(DWORD dwSource) {
  switch (dwSource) {
    case ePanelSrc_FileSystem:
    case ePanelSrc_RecycleBin:
      return QStringLiteral("_FS_");
    case ePanelSrc_Registry:
      return QStringLiteral("_REG_");
    case ePanelSrc_Zip:
      return QStringLiteral("ZIP_");
    case ePanelSrc_Search:
      return QStringLiteral("_SRCH_");
    default:
      return {};
  }
}

QString ColumnWidthTag(EPanelId ePanel, DWORD dwSource) {
  return (ePanel == ePanel_B ? QStringLiteral("PanelListB") : QStringLiteral("PanelListA")) +
         ColumnKeyPart(dwSource);
}

QString ColumnWidthKey(EPanelId ePanel, DWORD dwSource, int nColumn) {
  return ColumnWidthTag(ePanel, dwSource) + QString::number(nColumn);
}

}  // namespace browse
