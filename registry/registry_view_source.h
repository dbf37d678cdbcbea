#pragma once
// The registry as a list panel source (kind 3): the roots list, or the contents of one key,
// with the columns "Name:", "Type:" and "Data:", the registry sort, and navigation between
// keys. The building blocks are registry/registry_view.h.

#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "browse/list_panel.h"
#include "browse/list_source_factory.h"
#include "browse/list_source.h"
#include "registry/registry_access.h"

class CRegistryListSource : public IListSource {
 public:
  // The four root keys.
  CRegistryListSource() = default;
  // The contents of one key. An empty key path lists the root key itself.
  CRegistryListSource(HKEY root, const QString& strKeyPath)
      : bRoots_(false), root_(root), keyPath_(strKeyPath) {}

  bool ShowsRoots() const { return bRoots_; }
  HKEY Root() const { return root_; }           // 0 while the roots are listed
  QString KeyPath() const { return keyPath_; }  // "\Software\Tarvish"; empty at a root

  DWORD Kind() const override { return ePanelSrc_Registry; }
  QList<CListColumn> Columns() const override;
  void Fill(CListEntries* pEntries) override;
  // The top of the registry while the roots are listed; the root key (kind 10) or the subkey
  // (kind 11) otherwise.
  CPanelLocation Location() const override;
  QString Text(CListEntry& entry, int nField) override;
  int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) override;
  // The registry sort, whatever the field. The roots list keeps its own order when it is
  // first shown; only a sort the user asks for orders the roots by name.
  void PrepareSort(CListEntries* pEntries, int nField) override;
  int Compare(const CListEntry& a, const CListEntry& b, int nField, bool bAscending) const override;
  // A root key or subkey is listed, ".." goes up, a value goes to the value editor.
  CListAction Activate(const CListEntry& entry) const override;
  bool CanGoUp() const override { return !bRoots_; }
  // The parent key; from a root key, the roots list.
  CListAction Up() const override;
  CListAction Refresh() const override;
  // "Registry" for the roots list, the root's name ("HKEY_LOCAL_MACHINE"), or the root's
  // name followed by the key path ("HKEY_LOCAL_MACHINE\Software").
  QString LocationText() const override;

  // Changes to the listed key, to its subkeys and values, or to a key it lies in list it
  // again.
  EChangeFit ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const override;
  // The registry editor's commands: at a key the new key and new value commands, Modify,
  // Delete, Rename, Export and Import; on the roots list only Export of a root and Import.
  bool Offers(EListCommand command) const override;
  QList<EListCommand> ContextMenu() const override;
  QList<EListCommand> PlaceMenu() const override;
  bool RunCommand(EListCommand command, const CListEntries& entries,
                  const QList<int>& anRows) override;

 private:
  bool bRoots_ = true;
  int sortCount_ = 0;  // sorts of this listing so far; the first is the one that shows it
  HKEY root_ = 0;
  QString keyPath_;
};

// A registry key typed as text: a root name, long or short and matched case-sensitively,
// alone or followed by a backslash and the subkeys ("HKLM", "HKEY_CURRENT_USER\Software\").
// Gives the root and the key path as navigation holds it ("\Software"; empty for the root
// itself). False when the text does not begin with a root name.
bool ParseRegistryListPath(const QString& strText, HKEY* pRoot, QString* pstrKeyPath);

// Shows the roots list in a panel.
void ShowRegistryRoots(CListPanel& panel);
// Shows one key in a panel (a key that cannot be opened lists as empty).
void ShowRegistryKey(CListPanel& panel, HKEY root, const QString& strKeyPath);

// The value being opened: where it lives, its name as listed and its type code.
struct CRegValueRef {
  HKEY root = 0;
  QString keyPath;
  QString name;
  DWORD typeCode = 0;
};
// Registers the registry listings (location kinds 9, 10 and 11) and the registry addresses
// typed as text ("HKEY_LOCAL_MACHINE\Software", "HKLM\Software") with the factory
// (browse/list_source_factory.h); opening a value there goes to the value editor below.
void RegisterRegistryListSource();

// Opens a value for editing; installed once by the program that has an editor. Without one,
// opening a value does nothing.
using RegistryValueEditor = std::function<void(CListPanel& panel, const CRegValueRef& value)>;
void SetRegistryValueEditor(RegistryValueEditor editor);
