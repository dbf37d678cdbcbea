#pragma once
// Where a panel is: a folder of the file system, the top of the registry, a registry root key
// or a registry subkey; and, as a place a list source is made for (browse/list_source_factory.h),
// the recycle bin (kind 14, its path the bin folder or empty) and a zip archive (kind 5, the
// archive's path). Copied by value; two locations are equal when kind, root and path are
// equal, the path compared case-sensitively (the back/forward history relies on that).

#include <QString>

#include "core/entry_types.h"
#include "platform/registry_hive.h"

struct CPanelLocation {
  DWORD kind = 0;  // an entry type: eEntry_Folder, eEntry_RegTop, eEntry_RegRoot, eEntry_RegKey
  HKEY root = 0;   // the registry root for eEntry_RegRoot and eEntry_RegKey; 0 otherwise
  QString path;    // folder path without trailing backslash ("\" for the root), or the subkey
                   // path below the root; empty for the registry top and a root key

  CPanelLocation() = default;  // kind 0, root 0, empty path
  CPanelLocation(DWORD dwKind, HKEY hRoot, const QString& strPath)
      : kind(dwKind), root(hRoot), path(strPath) {}

  // Kind 2, root 0, the path as given.
  static CPanelLocation FileSystem(const QString& strPath);
  // Kind 11 below the root when the subkey path is non-empty, else kind 10 (the root itself).
  static CPanelLocation Registry(HKEY hRoot, const QString& strSubKey);
  // Kind 9: the registry node above the root keys.
  static CPanelLocation RegistryTop();

  bool IsFileSystem() const { return kind == eEntry_Folder; }
  // The path of a file-system folder; empty for every other place.
  QString FolderPath() const { return IsFileSystem() ? path : QString(); }
  bool operator==(const CPanelLocation& other) const = default;
};

// What a list panel currently shows; each source has its own columns and handlers.
enum EPanelSource : DWORD {
  ePanelSrc_Empty = 1,       // the initial state: one Name column
  ePanelSrc_FileSystem = 2,
  ePanelSrc_Registry = 3,
  ePanelSrc_RecycleBin = 4,
  ePanelSrc_Zip = 5,
  ePanelSrc_Search = 6,      // the search results
};

namespace browse {

// Up is possible only in the file-system source, and not at the root "\" (nor with no path).
bool CanGoUp(DWORD dwSource, const QString& strCurrentPath);

}  // namespace browse
