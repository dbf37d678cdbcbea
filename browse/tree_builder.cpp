#include "browse/tree_builder.h"

#include <algorithm>

#include "browse/file_item.h"
#include "browse/icon_manager.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/startup_shell.h"
#include "platform/find.h"
#include "registry/registry_access.h"
#include "core/texts.h"

namespace tree {

namespace {

// The four root keys in the order the tree shows them.
constexpr HKEY kTreeRootOrder[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                   HKEY_USERS};

bool HasAttribute(const WIN32_FIND_DATAW& data, DWORD dwFlag) {
  return (data.dwFileAttributes & dwFlag) != 0;
}

int ExtensionClass(const QString& strName) {
  const qsizetype nDot = strName.lastIndexOf(QLatin1Char('.'));
  if (nDot < 0) return eTreeExt_None;
  return browse::HasZipExtension(strName) ? eTreeExt_Zip : eTreeExt_Other;
}

std::unique_ptr<CTreeNode> MakeFolderNode(const QString& strFolder, const QString& strName) {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_Folder;
  node->text = strName;
  node->name = strName;
  node->path = browse::AppendPathComponent(strFolder, strName);
  node->icon = AppIconManager().FolderIcon(node->path, false);
  node->selectedIcon = AppIconManager().FolderIcon(node->path, true);
  node->placeholder = FolderHasTreeItem(node->path);
  return node;
}

std::unique_ptr<CTreeNode> MakeFileNode(const QString& strFolder, const QString& strName) {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_File;
  node->text = browse::TreeDisplayName(strName);
  node->name = strName;
  node->path = strFolder;
  node->extClass = ExtensionClass(strName);
  node->icon = node->extClass == eTreeExt_None
                   ? int(eIcon_PlainFile)
                   : AppIconManager().IconForFile(browse::AppendPathComponent(strFolder, strName));
  node->selectedIcon = node->icon;
  return node;
}

std::unique_ptr<CTreeNode> MakeArchiveNode(const QString& strFolder, const QString& strName,
                                           bool bArchiveFolders) {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_Zip;
  node->text = browse::TreeDisplayName(strName);
  node->name = strName;
  node->path = strFolder;
  node->extClass = eTreeExt_Zip;
  node->archivePath = browse::AppendPathComponent(strFolder, strName);
  node->icon = node->selectedIcon = eIcon_ZipArchive;
  // Whether the archive holds folders is found out when it is expanded: opening every archive
  // of a folder just to draw its buttons would make the fill slow.
  node->placeholder = bArchiveFolders;
  return node;
}

}  // namespace

bool PassesTreeFilter(const WIN32_FIND_DATAW& data) {
  if (!HasAttribute(data, FILE_ATTRIBUTE_DIRECTORY)) {
    if (settings.MainTreeShowZipFolder == 1 && browse::HasZipExtension(plat::FindName(data)))
      return true;
    if (settings.MainTreeShowFiles == 0) return false;
  }
  if (settings.MainTreeShowSystem == 0 && HasAttribute(data, FILE_ATTRIBUTE_SYSTEM)) return false;
  if (settings.MainTreeShowHidden == 0 && HasAttribute(data, FILE_ATTRIBUTE_HIDDEN)) return false;
  if (settings.MainTreeShowInRom == 0 && HasAttribute(data, FILE_ATTRIBUTE_INROM)) return false;
  if (settings.MainTreeShowRO == 1) return true;
  return !HasAttribute(data, FILE_ATTRIBUTE_READONLY);
}

bool IsTreeItem(const QString& strFolder, const WIN32_FIND_DATAW& data) {
  return browse::IsListedInFolder(strFolder, data) && PassesTreeFilter(data);
}

bool FolderHasTreeItem(const QString& strFolder) {
  plat::CFind find;
  WIN32_FIND_DATAW data;
  bool bMore = find.First(browse::AppendPathComponent(strFolder, QStringLiteral("*.*")), &data);
  for (; bMore; bMore = find.Next(&data)) {
    if (IsTreeItem(strFolder, data)) return true;
  }
  return false;
}

std::unique_ptr<CTreeNode> BuildNode(const QString& strFolder, const WIN32_FIND_DATAW& data,
                                     bool bArchiveFolders) {
  if (!IsTreeItem(strFolder, data)) return nullptr;
  const QString strName = plat::FindName(data);
  std::unique_ptr<CTreeNode> node;
  switch (browse::EntryTypeForFind(data)) {
    case eEntry_Folder:
      node = MakeFolderNode(strFolder, strName);
      break;
    case eEntry_Zip:
      node = MakeArchiveNode(strFolder, strName, bArchiveFolders);
      break;
    default:
      node = MakeFileNode(strFolder, strName);
      break;
  }
  node->link = HasAttribute(data, FILE_ATTRIBUTE_REPARSE_POINT);
  return node;
}

std::unique_ptr<CTreeNode> MakeDeviceRootNode() {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_Folder;
  node->text = DeviceName();
  node->path = QStringLiteral("\\");
  node->name = node->path;
  node->icon = AppIconManager().FolderIcon(node->path, false);
  node->selectedIcon = AppIconManager().FolderIcon(node->path, true);
  return node;
}

std::unique_ptr<CTreeNode> MakeRegistryTopNode() {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_RegTop;
  node->text = DeviceName() + u' ' + core::Text(900101);
  node->icon = node->selectedIcon = eIcon_Registry;
  for (HKEY root : kTreeRootOrder) node->Adopt(MakeRootKeyNode(root));
  node->filled = true;
  return node;
}

std::unique_ptr<CTreeNode> MakeRecycleBinNode() {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_RecycleBin;
  node->text = core::Text(61230);
  node->icon = node->selectedIcon = eIcon_RecycleBin;
  node->filled = true;
  return node;
}

std::unique_ptr<CTreeNode> MakeRootKeyNode(HKEY root) {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_RegRoot;
  node->text = RootName(root);
  node->root = root;
  node->icon = eIcon_RegistryKey;
  node->selectedIcon = eIcon_RegistryKeyOpen;
  node->placeholder = CountSubKeys(root, QString()) > 0;
  return node;
}

std::unique_ptr<CTreeNode> MakeSubKeyNode(HKEY root, const QString& strParentPath,
                                          const QString& strName) {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_RegKey;
  node->text = strName;
  node->name = strName;
  node->root = root;
  node->path = strParentPath.endsWith(QLatin1Char('\\')) ? strParentPath + strName
                                                         : strParentPath + u'\\' + strName;
  node->icon = eIcon_RegistryKey;
  node->selectedIcon = eIcon_RegistryKeyOpen;
  node->placeholder = CountSubKeys(root, node->path) > 0;
  return node;
}

std::unique_ptr<CTreeNode> MakeArchiveFolderNode(const QString& strArchivePath,
                                                 const QString& strParentInner,
                                                 const QString& strName) {
  auto node = std::make_unique<CTreeNode>();
  node->kind = eEntry_ZipFolder;
  node->text = strName;
  node->name = strName;
  node->archivePath = strArchivePath;
  node->path = strParentInner.isEmpty() ? strName : strParentInner + u'\\' + strName;
  node->icon = node->selectedIcon = eIcon_ZipFolder;
  node->placeholder = true;  // decided when expanded, as for the archive itself
  return node;
}

bool NodeLess(const CTreeNode& a, const CTreeNode& b) {
  auto group = [](const CTreeNode& n) {
    return n.kind == eEntry_Folder ? 0 : n.kind == eEntry_ZipFolder ? 1 : 2;
  };
  const int nGroupA = group(a), nGroupB = group(b);
  if (nGroupA != nGroupB) return nGroupA < nGroupB;
  const Qt::CaseSensitivity cs =
      settings.MainTreeIgnoreCase == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
  return a.text.compare(b.text, cs) < 0;
}

void SortChildren(CTreeNode* pNode) {
  std::stable_sort(pNode->children.begin(), pNode->children.end(),
                   [](const std::unique_ptr<CTreeNode>& a, const std::unique_ptr<CTreeNode>& b) {
                     return NodeLess(*a, *b);
                   });
  pNode->Renumber();
}

}  // namespace tree
