#pragma once
// What the folder tree shows and how its nodes are made: the tree filter (MainTreeShow*
// options, independent of the list's), the node builder for one find record, the expand-button
// test, the fixed nodes (device root, "Registry" with its root keys, "Recycle Bin") and the
// order of children.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "browse/tree_node.h"
#include "platform/wintypes.h"

// The folders directly inside a folder of an archive (an empty inner path is the archive's
// top), by name. The archive layer supplies it; without one, archives have no children in
// the tree.
using TreeArchiveFolders =
    std::function<QStringList(const QString& strArchivePath, const QString& strInnerPath)>;

namespace tree {

// The tree filter for one find record. A ".zip" file is shown at once when
// MainTreeShowZipFolder is 1 (whatever its attributes); otherwise a file is hidden while
// MainTreeShowFiles is 0. Then system, hidden and in-ROM items are hidden when their option is
// 0, and read-only items when MainTreeShowRO is 0.
bool PassesTreeFilter(const WIN32_FIND_DATAW& data);
// A find record inside strFolder that becomes a node: it passes the filter, is not "." or
// "..", and is not the recycle-bin folder.
bool IsTreeItem(const QString& strFolder, const WIN32_FIND_DATAW& data);
// True when the folder holds at least one tree item; stops at the first one.
bool FolderHasTreeItem(const QString& strFolder);

// The node of one find record inside strFolder, or null when it is not a tree item. Folders
// get an expand button when they hold a tree item; archives get one when archive folders can
// be listed (bArchiveFolders).
std::unique_ptr<CTreeNode> BuildNode(const QString& strFolder, const WIN32_FIND_DATAW& data,
                                     bool bArchiveFolders);

// The fixed nodes. The device root and "Registry" are labelled with the device's name.
std::unique_ptr<CTreeNode> MakeDeviceRootNode();
std::unique_ptr<CTreeNode> MakeRegistryTopNode();  // with its four root keys
std::unique_ptr<CTreeNode> MakeRecycleBinNode();
// A root key, with an expand button when it has a subkey.
std::unique_ptr<CTreeNode> MakeRootKeyNode(HKEY root);
// A subkey below strParentPath, with an expand button when it has a subkey itself.
std::unique_ptr<CTreeNode> MakeSubKeyNode(HKEY root, const QString& strParentPath,
                                          const QString& strName);
// A folder inside an archive.
std::unique_ptr<CTreeNode> MakeArchiveFolderNode(const QString& strArchivePath,
                                                 const QString& strParentInner,
                                                 const QString& strName);

// The order of children: folders first, then folders inside archives, then the rest; each
// group by label, ignoring case when MainTreeIgnoreCase is 1.
bool NodeLess(const CTreeNode& a, const CTreeNode& b);
void SortChildren(CTreeNode* pNode);

}  // namespace tree
