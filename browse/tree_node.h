#pragma once
// One node of a panel's folder tree: its kind (an entry type), label, images, whether its
// children have been enumerated, the promise of children that shows the expand button before
// they are, and what it stands for (a folder, a file, an archive, a registry key).

#include <QString>

#include <memory>
#include <vector>

#include "core/entry_types.h"
#include "browse/icon_indices.h"
#include "platform/registry_hive.h"

// How a file node's name ends.
enum ETreeExtClass : int {
  eTreeExt_None = 0,   // no extension
  eTreeExt_Other = 1,  // any other extension
  eTreeExt_Zip = 2,    // ".zip"
};

struct CTreeNode {
  DWORD kind = eEntry_None;  // eEntry_Folder, _File, _Zip, _ZipFolder, _RegTop, _RegRoot,
                             // _RegKey or _RecycleBin
  int icon = eIcon_PlainFile;          // image when not selected
  int selectedIcon = eIcon_PlainFile;  // image when selected
  QString text;                        // the label
  bool filled = false;       // the children have been enumerated
  bool placeholder = false;  // unfilled, and shows an expand button: it may have children

  // What the node stands for.
  QString path;         // folder: its full path ("\" for the device root); file and archive:
                        // the folder that holds it; registry key: the subkey path below the
                        // root ("\Software\Tarvish"); folder inside an archive: the path
                        // inside the archive
  QString name;         // folder, file, archive: the item's full name
  HKEY root = 0;        // registry root key and subkey
  int extClass = eTreeExt_None;  // file nodes
  bool link = false;    // folder, file, archive: the item is a symbolic link
  QString archivePath;  // archive and folder inside an archive: the archive's full path

  CTreeNode* parent = nullptr;
  int row = 0;  // index among the parent's children
  std::vector<std::unique_ptr<CTreeNode>> children;

  // The full device path of a folder, file or archive node.
  QString FullPath() const;
  // Takes a child at the end and sets its parent and row.
  CTreeNode* Adopt(std::unique_ptr<CTreeNode> child);
  // Gives the children their rows again after they were reordered.
  void Renumber();
};
