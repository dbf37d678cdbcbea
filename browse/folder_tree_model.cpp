#include "browse/folder_tree_model.h"

#include "browse/icon_manager.h"
#include "core/path_helpers.h"
#include "browse/shown_text.h"
#include "platform/find.h"
#include "registry/registry_access.h"

namespace {

TreeArchiveFolders& DefaultArchiveFolders() {
  static TreeArchiveFolders lister;
  return lister;
}

}  // namespace

CFolderTreeModel::CFolderTreeModel(QObject* pParent)
    : QAbstractItemModel(pParent), archiveFolders_(DefaultArchiveFolders()) {}

void CFolderTreeModel::SetDefaultArchiveFolders(TreeArchiveFolders lister) {
  DefaultArchiveFolders() = std::move(lister);
}

CFolderTreeModel::~CFolderTreeModel() = default;

CTreeNode* CFolderTreeModel::NodeAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<CTreeNode*>(index.internalPointer());
}

const CTreeNode* CFolderTreeModel::Node(const QModelIndex& index) const { return NodeAt(index); }

QModelIndex CFolderTreeModel::IndexOf(const CTreeNode* pNode) const {
  if (!pNode || pNode == &root_) return {};
  return createIndex(pNode->row, 0, const_cast<CTreeNode*>(pNode));
}

QModelIndex CFolderTreeModel::index(int nRow, int nColumn, const QModelIndex& parent) const {
  const CTreeNode* pParent = parent.isValid() ? NodeAt(parent) : &root_;
  if (!pParent || nColumn != 0 || nRow < 0 || nRow >= int(pParent->children.size())) return {};
  return createIndex(nRow, 0, pParent->children[nRow].get());
}

QModelIndex CFolderTreeModel::parent(const QModelIndex& child) const {
  const CTreeNode* pNode = NodeAt(child);
  if (!pNode || !pNode->parent) return {};
  return IndexOf(pNode->parent);
}

int CFolderTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const CTreeNode* pNode = parent.isValid() ? NodeAt(parent) : &root_;
  return pNode ? int(pNode->children.size()) : 0;
}

int CFolderTreeModel::columnCount(const QModelIndex& parent) const { return 1; }

bool CFolderTreeModel::hasChildren(const QModelIndex& parent) const {
  if (parent.column() > 0) return false;
  const CTreeNode* pNode = parent.isValid() ? NodeAt(parent) : &root_;
  return pNode && (pNode->placeholder || !pNode->children.empty());
}

Qt::ItemFlags CFolderTreeModel::flags(const QModelIndex& index) const {
  if (!NodeAt(index)) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant CFolderTreeModel::data(const QModelIndex& index, int nRole) const {
  const CTreeNode* pNode = NodeAt(index);
  if (!pNode) return {};
  switch (nRole) {
    case Qt::DisplayRole:
      return browse::ShownText(pNode->text);
    case Qt::DecorationRole:
      return IconOf(*pNode);
    case eRole_Kind:
      return uint(pNode->kind);
    case eRole_IconIndex:
      return pNode->icon;
    case eRole_SelectedIconIndex:
      return pNode->selectedIcon;
    case eRole_Path:
      if (pNode->kind == eEntry_File || pNode->kind == eEntry_Zip) return pNode->FullPath();
      return pNode->path;
    case eRole_Root:
      return uint(pNode->root);
    case eRole_Filled:
      return pNode->filled;
    case eRole_Link:
      return pNode->link;
    default:
      return {};
  }
}

QIcon CFolderTreeModel::IconOf(const CTreeNode& node) const {
  CIconManager& icons = AppIconManager();
  if (node.icon == node.selectedIcon) return icons.Icon(node.icon);
  const quint64 uKey = (quint64(quint32(node.icon)) << 32) | quint32(node.selectedIcon);
  auto it = icons_.constFind(uKey);
  if (it != icons_.constEnd()) return *it;
  QIcon icon;
  for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
    const int nImage = mode == QIcon::Normal ? node.icon : node.selectedIcon;
    const QPixmap small = icons.SmallImage(nImage);
    const QPixmap large = icons.LargeImage(nImage);
    if (!small.isNull()) icon.addPixmap(small, mode);
    if (!large.isNull()) icon.addPixmap(large, mode);
  }
  icons_.insert(uKey, icon);
  return icon;
}

void CFolderTreeModel::Build() {
  beginResetModel();
  root_.children.clear();
  icons_.clear();
  CTreeNode* pDevice = root_.Adopt(tree::MakeDeviceRootNode());
  std::vector<std::unique_ptr<CTreeNode>> children = ReadChildren(*pDevice);
  for (auto& child : children) pDevice->Adopt(std::move(child));
  pDevice->filled = true;
  root_.Adopt(tree::MakeRegistryTopNode());
  root_.Adopt(tree::MakeRecycleBinNode());
  endResetModel();
}

std::vector<std::unique_ptr<CTreeNode>> CFolderTreeModel::ReadChildren(
    const CTreeNode& node) const {
  std::vector<std::unique_ptr<CTreeNode>> children;
  CTreeNode holder;  // sorts the new children before they are shown
  switch (node.kind) {
    case eEntry_Folder: {
      plat::CFind find;
      WIN32_FIND_DATAW data;
      const bool bArchives = bool(archiveFolders_);
      bool bMore = find.First(browse::AppendPathComponent(node.path, QStringLiteral("*")), &data);
      for (; bMore; bMore = find.Next(&data)) {
        if (auto child = tree::BuildNode(node.path, data, bArchives))
          holder.Adopt(std::move(child));
      }
      break;
    }
    case eEntry_RegRoot:
    case eEntry_RegKey: {
      class CKeySink : public CRegEnumSink {
       public:
        CKeySink(CTreeNode* pHolder, const CTreeNode& parent) : holder_(pHolder), parent_(parent) {}
        bool OnKey(const CRegEnumItem& item) override {
          holder_->Adopt(tree::MakeSubKeyNode(parent_.root, parent_.path, item.name));
          return true;
        }

       private:
        CTreeNode* holder_;
        const CTreeNode& parent_;
      } sink(&holder, node);
      EnumSubKeys(node.root, node.path, &sink);
      break;
    }
    case eEntry_Zip:
    case eEntry_ZipFolder: {
      if (!archiveFolders_) break;
      const QString strInner = node.kind == eEntry_Zip ? QString() : node.path;
      for (const QString& strName : archiveFolders_(node.archivePath, strInner))
        holder.Adopt(tree::MakeArchiveFolderNode(node.archivePath, strInner, strName));
      break;
    }
    default:
      break;
  }
  tree::SortChildren(&holder);
  children = std::move(holder.children);
  return children;
}

void CFolderTreeModel::InsertChildren(const QModelIndex& index, CTreeNode* pNode,
                                      std::vector<std::unique_ptr<CTreeNode>> children) {
  if (children.empty()) return;
  beginInsertRows(index, 0, int(children.size()) - 1);
  for (auto& child : children) pNode->Adopt(std::move(child));
  endInsertRows();
}

// A node's expand button appeared or went away without a change of rows: views ask
// hasChildren() again on a new layout.
void CFolderTreeModel::ButtonChanged() {
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

void CFolderTreeModel::Expand(const QModelIndex& index) {
  CTreeNode* pNode = NodeAt(index);
  if (!pNode || pNode->filled) return;
  std::vector<std::unique_ptr<CTreeNode>> children = ReadChildren(*pNode);
  const bool bHadButton = pNode->placeholder;
  pNode->placeholder = false;
  pNode->filled = true;
  if (children.empty()) {
    if (bHadButton) ButtonChanged();
    return;
  }
  InsertChildren(index, pNode, std::move(children));
}

void CFolderTreeModel::Collapse(const QModelIndex& index) {
  CTreeNode* pNode = NodeAt(index);
  if (!pNode || pNode->kind != eEntry_Folder || !pNode->filled) return;
  if (!pNode->children.empty()) {
    beginRemoveRows(index, 0, int(pNode->children.size()) - 1);
    pNode->children.clear();
    pNode->filled = false;
    pNode->placeholder = true;
    endRemoveRows();
  } else {
    pNode->filled = false;
    pNode->placeholder = true;
    ButtonChanged();
  }
}

void CFolderTreeModel::Refresh(const QModelIndex& index) {
  Collapse(index);
  Expand(index);
}

namespace {

bool SameItem(const CTreeNode& a, const CTreeNode& b) {
  return a.kind == b.kind && a.name == b.name;
}

bool Contains(const std::vector<std::unique_ptr<CTreeNode>>& nodes, const CTreeNode& node) {
  for (const auto& other : nodes)
    if (SameItem(*other, node)) return true;
  return false;
}

}  // namespace

void CFolderTreeModel::ContentsChanged(const QModelIndex& index) {
  CTreeNode* pNode = NodeAt(index);
  if (!pNode) return;
  const bool bFolder = pNode->kind == eEntry_Folder;
  const bool bKey = pNode->kind == eEntry_RegRoot || pNode->kind == eEntry_RegKey;
  if (!bFolder && !bKey) return;
  if (!pNode->filled) {
    const bool bButton = bFolder ? tree::FolderHasTreeItem(pNode->path)
                                 : CountSubKeys(pNode->root, pNode->path) > 0;
    if (bButton != pNode->placeholder) {
      pNode->placeholder = bButton;
      ButtonChanged();
    }
    return;
  }
  std::vector<std::unique_ptr<CTreeNode>> fresh = ReadChildren(*pNode);
  for (int i = int(pNode->children.size()) - 1; i >= 0; --i) {
    if (Contains(fresh, *pNode->children[i])) continue;
    beginRemoveRows(index, i, i);
    pNode->children.erase(pNode->children.begin() + i);
    pNode->Renumber();
    endRemoveRows();
  }
  for (auto& child : fresh) {
    if (Contains(pNode->children, *child)) continue;
    int nRow = 0;
    while (nRow < int(pNode->children.size()) && !tree::NodeLess(*child, *pNode->children[nRow]))
      ++nRow;
    beginInsertRows(index, nRow, nRow);
    pNode->children.insert(pNode->children.begin() + nRow, std::move(child));
    pNode->Renumber();
    endInsertRows();
  }
}

QModelIndex CFolderTreeModel::FolderIndex(const QString& strPath) const {
  QModelIndex index = DeviceRootIndex();
  if (!strPath.startsWith(QLatin1Char('\\'))) return {};
  for (const QString& strPart : strPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
    index = FindChild(index, eEntry_Folder, strPart);
    if (!index.isValid()) return {};
  }
  return index;
}

QModelIndex CFolderTreeModel::KeyIndex(HKEY root, const QString& strKeyPath) const {
  QModelIndex index = RootKeyIndex(root);
  for (const QString& strPart : strKeyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
    if (!index.isValid()) break;
    index = FindChild(index, eEntry_RegKey, strPart);
  }
  return index;
}

QModelIndex CFolderTreeModel::FindChild(const QModelIndex& parent, DWORD dwKind,
                                        const QString& strName) const {
  const CTreeNode* pParent = NodeAt(parent);
  if (!pParent) return {};
  for (const auto& child : pParent->children) {
    if (child->kind == dwKind && child->name.compare(strName, Qt::CaseInsensitive) == 0)
      return IndexOf(child.get());
  }
  return {};
}

QModelIndex CFolderTreeModel::RootKeyIndex(HKEY root) const {
  const CTreeNode* pTop = NodeAt(RegistryTopIndex());
  if (!pTop || root == 0) return {};
  for (const auto& child : pTop->children) {
    if (child->kind == eEntry_RegRoot && child->root == root) return IndexOf(child.get());
  }
  return {};
}
