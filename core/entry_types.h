#pragma once
// The entry types of the four sources. The same numbers name list entries, tree nodes and
// location kinds everywhere in the program.

#include "platform/wintypes.h"

enum EEntryType : DWORD {
  eEntry_None = 0,
  eEntry_Folder = 2,          // file-system folder (also a location kind)
  eEntry_Parent = 3,          // ".." of a file-system folder
  eEntry_File = 4,
  eEntry_Zip = 5,             // a file whose extension is ".zip"
  eEntry_ZipParent = 6,       // ".." inside a zip archive
  eEntry_ZipFolder = 7,
  eEntry_ZipFile = 8,
  eEntry_RegTop = 9,          // the node above the registry roots (tree nodes, locations)
  eEntry_RegRoot = 10,        // HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, ...
  eEntry_RegKey = 11,
  eEntry_RegValue = 12,
  eEntry_RegParent = 13,
  eEntry_RecycleBin = 14,     // the recycle bin node
  eEntry_RecycledFolder = 15,
  eEntry_RecycledFile = 16,
  eEntry_NetworkPath = 17,    // a typed path that starts with "\\"
  eEntry_SearchResults = 18,  // the results of the last search (a location kind)
};

// Types 2 to 5: entries whose record is a CFileItem of the file-system listing.
constexpr bool IsFileSystemEntryType(DWORD dwType) {
  return dwType >= eEntry_Folder && dwType <= eEntry_Zip;
}
