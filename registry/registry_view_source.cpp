#include "registry/registry_view_source.h"

#include "registry/registry_view.h"
#include "core/texts.h"

namespace {

RegistryValueEditor& ValueEditor() {
  static RegistryValueEditor editor;
  return editor;
}

}  // namespace

QList<CListColumn> CRegistryListSource::Columns() const {
  return {
      {core::Text(900405), 110, eRegField_Name, false},
      {core::Text(900406), 50, eRegField_Type, false},
      {core::Text(900407), 80, eRegField_Data, false},
  };
}

void CRegistryListSource::Fill(CListEntries* pEntries) {
  if (bRoots_)
    regview::FillRoots(pEntries);
  else
    regview::FillKey(root_, keyPath_, pEntries);
}

CPanelLocation CRegistryListSource::Location() const {
  return bRoots_ ? CPanelLocation::RegistryTop() : CPanelLocation::Registry(root_, keyPath_);
}

QString CRegistryListSource::Text(CListEntry& entry, int nField) {
  return regview::RowText(entry, nField);
}

int CRegistryListSource::IconIndex(CListEntry& entry, bool bWorkerFillsIcons) {
  return regview::RowIcon(entry);
}

void CRegistryListSource::PrepareSort(CListEntries* pEntries, int nField) { ++sortCount_; }

int CRegistryListSource::Compare(const CListEntry& a, const CListEntry& b, int nField,
                                 bool bAscending) const {
  if (bRoots_ && sortCount_ <= 1) return 0;
  return regview::CompareEntries(a, b, bAscending);
}

CListAction CRegistryListSource::Activate(const CListEntry& entry) const {
  // Registry places are listed again each time and not recorded in the history.
  switch (entry.type) {
    case eEntry_RegRoot: {
      const CRegItem* pItem = entry.ItemAs<CRegItem>();
      if (!pItem) return {};
      return CListAction::Show(CPanelLocation::Registry(pItem->root, QString()), true, false);
    }
    case eEntry_RegKey:
      return CListAction::Show(
          CPanelLocation::Registry(root_, regview::SubKeyPath(keyPath_, entry.displayName)), true,
          false);
    case eEntry_RegParent:
      return Up();
    case eEntry_RegValue: {
      const CRegItem* pItem = entry.ItemAs<CRegItem>();
      return CListAction::EditValue(CPanelLocation(eEntry_RegKey, root_, keyPath_),
                                    entry.displayName, pItem ? pItem->typeCode : 0);
    }
    default:
      return {};
  }
}

CListAction CRegistryListSource::Up() const {
  if (bRoots_) return {};
  if (keyPath_.isEmpty()) return CListAction::Show(CPanelLocation::RegistryTop(), true, false);
  return CListAction::Show(CPanelLocation::Registry(root_, ParentKeyPath(keyPath_)), true, false);
}

CListAction CRegistryListSource::Refresh() const {
  return CListAction::Show(Location(), true, false);
}

QString CRegistryListSource::LocationText() const {
  if (bRoots_) return core::Text(900101);
  if (keyPath_.isEmpty()) return RootName(root_);
  return RootName(root_) + (keyPath_.startsWith(u'\\') ? keyPath_ : u'\\' + keyPath_);
}

bool ParseRegistryListPath(const QString& strText, HKEY* pRoot, QString* pstrKeyPath) {
  const qsizetype nRootEnd = strText.indexOf(QLatin1Char('\\'));
  const QString strRootPart = nRootEnd < 0 ? strText : strText.left(nRootEnd);
  QString strUnusedKey, strUnusedLast;
  if (!ParseRegistryPath(strRootPart + QLatin1Char('\\'), pRoot, &strUnusedKey, &strUnusedLast) ||
      *pRoot == 0)
    return false;
  const QStringList parts =
      nRootEnd < 0 ? QStringList()
                   : strText.mid(nRootEnd + 1).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
  pstrKeyPath->clear();
  for (const QString& strPart : parts) *pstrKeyPath += QLatin1Char('\\') + strPart;
  return true;
}

void ShowRegistryRoots(CListPanel& panel) {
  panel.ShowListing(std::make_unique<CRegistryListSource>(), CListingRequest());
}

void ShowRegistryKey(CListPanel& panel, HKEY root, const QString& strKeyPath) {
  panel.ShowListing(std::make_unique<CRegistryListSource>(root, strKeyPath), CListingRequest());
}

void SetRegistryValueEditor(RegistryValueEditor editor) { ValueEditor() = std::move(editor); }

namespace {

// A registry address as the address bar takes it: a root name and a key path.
bool ParseRegistryAddress(const QString& strText, CPanelLocation* pLocation) {
  HKEY root = 0;
  QString strKeyPath, strLast;
  if (!ParseRegistryPath(strText, &root, &strKeyPath, &strLast) || root == 0) return false;
  QString strFull = strKeyPath.isEmpty() ? strLast : strKeyPath + u'\\' + strLast;
  if (!strFull.isEmpty() && !strFull.startsWith(u'\\')) strFull.prepend(u'\\');
  *pLocation = CPanelLocation::Registry(root, strFull);
  return true;
}

}  // namespace

void RegisterRegistryListSource() {
  CListSourceKind sources;
  sources.make = [](const CPanelLocation& location) -> std::unique_ptr<IListSource> {
    if (location.kind == eEntry_RegTop) return std::make_unique<CRegistryListSource>();
    return std::make_unique<CRegistryListSource>(location.root, location.path);
  };
  sources.parseAddress = ParseRegistryAddress;
  sources.edit = [](CListPanel& panel, const CListAction& action) {
    const CRegValueRef value{action.location.root, action.location.path, action.strName,
                             action.dwType};
    if (ValueEditor()) ValueEditor()(panel, value);
  };
  ListSources().Register({eEntry_RegTop, eEntry_RegRoot, eEntry_RegKey}, sources);
}
