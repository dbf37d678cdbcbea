#pragma once
// The folder tree of one panel as a Qt item model: three top nodes (the device root, the
// registry and the recycle bin), folder, archive and registry key nodes filled when they are
// first expanded, and folder nodes emptied again when they are collapsed so that the next
// expansion reads the folder afresh.
//
// A node that has not been filled shows its expand button through hasChildren() while it
// has no rows. The view fills it by calling Expand when the user opens it (the tree's
// OnExpanded); the rows then arrive by the usual insert signals. A node found to be empty
// loses its button. Filling is not offered through fetchMore(): a model tester or a view may
// call that while another change is being signalled, and a fill is itself a change.
//
// User-interface thread only.

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <memory>

#include "browse/tree_builder.h"
#include "browse/tree_node.h"

class CFolderTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // Roles beside DisplayRole (the label) and DecorationRole (the images, normal and selected).
  enum ERole {
    eRole_Kind = Qt::UserRole + 1,  // uint: the node kind (EEntryType)
    eRole_IconIndex,                // int: image index when not selected
    eRole_SelectedIconIndex,        // int: image index when selected
    eRole_Path,                     // QString: folder path, file or archive path, key path
    eRole_Root,                     // uint: registry root of a key node
    eRole_Filled,                   // bool: the children have been enumerated
    eRole_Link,                     // bool: the node's item is a symbolic link
  };

  explicit CFolderTreeModel(QObject* pParent = nullptr);
  ~CFolderTreeModel() override;

  // QAbstractItemModel.
  QModelIndex index(int nRow, int nColumn,
                    const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Clears the tree and inserts the device root (filled at once), "Registry" (with the four
  // root keys) and "Recycle Bin", in this order.
  void Build();
  // Fills a node's children once: a folder's sub-folders (and files and archives as the tree
  // filter allows), an archive's folders, a key's subkeys; sorted. Nothing for a filled node.
  void Expand(const QModelIndex& index);
  // A filled folder node drops all its descendants and becomes unfilled with an expand
  // button again. Other nodes keep their children.
  void Collapse(const QModelIndex& index);
  // Collapse, then Expand: a folder node read afresh.
  void Refresh(const QModelIndex& index);
  // The contents of a folder on disk or of a registry key changed (an item was created,
  // removed or renamed in it): a filled node gains and loses just the children that appeared
  // and went away, keeping the others with everything below them; an unfilled one gets or
  // loses its expand button.
  void ContentsChanged(const QModelIndex& index);
  // The node of a folder path, or of a key, among the nodes made so far; invalid when the
  // tree has none.
  QModelIndex FolderIndex(const QString& strPath) const;
  QModelIndex KeyIndex(HKEY root, const QString& strKeyPath) const;

  // Lets archive nodes list their folders (see TreeArchiveFolders). Takes effect for nodes
  // made from now on.
  void SetArchiveFolders(TreeArchiveFolders lister) { archiveFolders_ = std::move(lister); }
  // The lister every model made from now on starts with (the program sets the archive
  // layer's once, where it registers its list sources). User-interface thread.
  static void SetDefaultArchiveFolders(TreeArchiveFolders lister);

  // The node behind an index; null for the invisible root and foreign indices.
  const CTreeNode* Node(const QModelIndex& index) const;
  QModelIndex IndexOf(const CTreeNode* pNode) const;
  QModelIndex DeviceRootIndex() const { return TopIndex(0); }
  QModelIndex RegistryTopIndex() const { return TopIndex(1); }
  QModelIndex RecycleBinIndex() const { return TopIndex(2); }
  // The child of a folder node that is the folder strName, or of a key node that is the
  // subkey strName (names compare ignoring case); invalid when there is none. Does not fill.
  QModelIndex FindChild(const QModelIndex& parent, DWORD dwKind, const QString& strName) const;
  // The root key node of a root; invalid for any other handle.
  QModelIndex RootKeyIndex(HKEY root) const;

 private:
  CTreeNode* NodeAt(const QModelIndex& index) const;
  QModelIndex TopIndex(int nRow) const { return index(nRow, 0); }
  std::vector<std::unique_ptr<CTreeNode>> ReadChildren(const CTreeNode& node) const;
  void InsertChildren(const QModelIndex& index, CTreeNode* pNode,
                      std::vector<std::unique_ptr<CTreeNode>> children);
  void ButtonChanged();
  QIcon IconOf(const CTreeNode& node) const;

  CTreeNode root_;  // the invisible root above the three top nodes
  TreeArchiveFolders archiveFolders_;
  mutable QHash<quint64, QIcon> icons_;  // (normal, selected) image pair -> icon
};
