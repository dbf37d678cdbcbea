#include "registry/registry_view_source.h"

#include "core/texts.h"
#include "registry/registry_editor.h"
#include "registry/registry_file.h"
#include "registry/registry_view.h"

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

namespace {

// Key paths compare ignoring case and the leading backslash of navigation.
QString KeyOf(const QString& strPath) {
  QString path = strPath;
  while (path.startsWith(u'\\')) path.remove(0, 1);
  while (path.endsWith(u'\\')) path.chop(1);
  return path.toLower();
}

}  // namespace

EChangeFit CRegistryListSource::ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const {
  if (dwKind != eEntry_RegKey || bRoots_ || root != root_) return EChangeFit::eNone;
  const QString changed = KeyOf(strPath);
  const QString shown = KeyOf(keyPath_);
  const qsizetype cut = changed.lastIndexOf(u'\\');
  const QString parent = cut < 0 ? QString() : changed.left(cut);
  if (changed == shown || parent == shown || shown.startsWith(changed + u'\\'))
    return EChangeFit::eRelist;
  return EChangeFit::eNone;
}

bool CRegistryListSource::Offers(EListCommand command) const {
  using C = EListCommand;
  switch (command) {
    case C::eNewKey:
    case C::eNewDwordValue:
    case C::eNewStringValue:
    case C::eNewMultiStringValue:
    case C::eModify:
    case C::eDelete:
    case C::eRename:
      return !bRoots_;
    case C::eExport:
    case C::eImport:
    case C::eSelectAll:
    case C::eRefresh:
    case C::eOpen:
      return true;
    default:
      return false;
  }
}

QList<EListCommand> CRegistryListSource::ContextMenu() const {
  using C = EListCommand;
  if (bRoots_) return {C::eOpen, C::eSeparator, C::eExport, C::eImport, C::eSeparator, C::eRefresh};
  return {C::eOpen,        C::eModify,          C::eSeparator, C::eNewKey,
          C::eNewDwordValue, C::eNewStringValue, C::eNewMultiStringValue, C::eSeparator,
          C::eRename,      C::eDelete,          C::eSeparator, C::eExport,
          C::eImport,      C::eSeparator,       C::eSelectAll, C::eRefresh};
}

QList<EListCommand> CRegistryListSource::PlaceMenu() const {
  using C = EListCommand;
  if (bRoots_) return {C::eImport};
  QList<EListCommand> menu = {C::eNewKey, C::eNewDwordValue, C::eNewStringValue,
                              C::eNewMultiStringValue, C::eSeparator};
  if (!keyPath_.isEmpty()) menu << C::eRename << C::eDelete << C::eSeparator;
  return menu << C::eExport << C::eImport;
}

bool CRegistryListSource::RunCommand(EListCommand command, const CListEntries& entries,
                                     const QList<int>& anRows) {
  using C = EListCommand;
  const CListEntry* pFirst = anRows.isEmpty() ? nullptr : entries.At(anRows.first());
  // The listed key seen from its parent, for the commands on the place itself.
  const QString parent = ParentKeyPath(keyPath_);
  QString self = keyPath_;
  while (self.endsWith(u'\\')) self.chop(1);
  self = self.mid(self.lastIndexOf(u'\\') + 1);
  switch (command) {
    case C::eNewKey:
      return !bRoots_ && (regedit::NewKey(root_, keyPath_), true);
    case C::eNewDwordValue:
      return !bRoots_ && (regedit::NewDwordValue(root_, keyPath_), true);
    case C::eNewStringValue:
      return !bRoots_ && (regedit::NewStringValue(root_, keyPath_), true);
    case C::eNewMultiStringValue:
      return !bRoots_ && (regedit::NewMultiStringValue(root_, keyPath_), true);
    case C::eModify:
      if (pFirst && pFirst->type == eEntry_RegValue) {
        const CRegItem* pItem = pFirst->ItemAs<CRegItem>();
        regedit::ModifyValue(root_, keyPath_, pFirst->displayName, pItem ? pItem->typeCode : 0);
      }
      return true;
    case C::eDelete:
      if (bRoots_) return true;
      if (anRows.isEmpty()) {
        if (!keyPath_.isEmpty()) regedit::DeleteKeyEntry(root_, parent, eEntry_RegKey, self);
        return true;
      }
      // Each row asks its own question; root keys and ".." are not deleted.
      for (int nRow : anRows) {
        const CListEntry* pEntry = entries.At(nRow);
        if (!pEntry) continue;
        if (pEntry->type == eEntry_RegKey)
          regedit::DeleteKeyEntry(root_, keyPath_, pEntry->type, pEntry->displayName);
        else if (pEntry->type == eEntry_RegValue)
          regedit::DeleteValueEntry(root_, keyPath_, pEntry->type, pEntry->displayName);
      }
      return true;
    case C::eRename:
      if (bRoots_) return true;
      if (!pFirst) {
        if (!keyPath_.isEmpty()) regedit::RenameKey(root_, parent, self);
      } else if (pFirst->type == eEntry_RegKey) {
        regedit::RenameKey(root_, keyPath_, pFirst->displayName);
      } else if (pFirst->type == eEntry_RegValue) {
        regedit::RenameValue(root_, keyPath_, pFirst->displayName);
      }
      return true;
    case C::eExport:
      if (pFirst && pFirst->type == eEntry_RegKey) {
        regfile::ExportCommand(root_, regview::SubKeyPath(keyPath_, pFirst->displayName));
      } else if (pFirst && pFirst->type == eEntry_RegRoot) {
        if (const CRegItem* pItem = pFirst->ItemAs<CRegItem>())
          regfile::ExportCommand(pItem->root, QString());
      } else if (!bRoots_) {
        regfile::ExportCommand(root_, keyPath_);
      }
      return true;
    case C::eImport:
      regfile::ImportCommand();
      return true;
    default:
      return false;
  }
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
    if (ValueEditor())
      ValueEditor()(panel, value);
    else
      regedit::ModifyValue(value.root, value.keyPath, value.name, value.typeCode);
  };
  ListSources().Register({eEntry_RegTop, eEntry_RegRoot, eEntry_RegKey}, sources);
}
