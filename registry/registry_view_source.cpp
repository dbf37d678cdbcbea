#include "registry/registry_view_source.h"

#include "registry/registry_view.h"

namespace {

RegistryValueEditor& ValueEditor() {
  static RegistryValueEditor editor;
  return editor;
}

}  // namespace

QList<CListColumn> CRegistryListSource::Columns() const {
  return {
      {QStringLiteral("Name:"), 110, eRegField_Name, false},
      {QStringLiteral("Type:"), 50, eRegField_Type, false},
      {QStringLiteral("Data:"), 80, eRegField_Data, false},
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

void CRegistryListSource::Activate(CListPanel& panel, int nRow) {
  const CListEntry* pEntry = panel.Entries().At(nRow);
  if (!pEntry) return;
  switch (pEntry->type) {
    case eEntry_RegRoot: {
      const CRegItem* pItem = pEntry->ItemAs<CRegItem>();
      if (pItem) ShowRegistryKey(panel, pItem->root, QString());
      break;
    }
    case eEntry_RegKey:
      ShowRegistryKey(panel, root_, regview::SubKeyPath(keyPath_, pEntry->displayName));
      break;
    case eEntry_RegParent:
      Up(panel);
      break;
    case eEntry_RegValue: {
      const CRegItem* pItem = pEntry->ItemAs<CRegItem>();
      const CRegValueRef value{root_, keyPath_, pEntry->displayName, pItem ? pItem->typeCode : 0};
      if (ValueEditor()) ValueEditor()(panel, value);
      break;
    }
    default:
      break;
  }
}

void CRegistryListSource::Up(CListPanel& panel) {
  if (bRoots_) return;
  if (keyPath_.isEmpty())
    ShowRegistryRoots(panel);
  else
    ShowRegistryKey(panel, root_, ParentKeyPath(keyPath_));
}

void CRegistryListSource::Refresh(CListPanel& panel) {
  if (bRoots_)
    ShowRegistryRoots(panel);
  else
    ShowRegistryKey(panel, root_, keyPath_);
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
