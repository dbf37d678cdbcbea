#pragma once
// The settings a panel keeps: its last location (restored at start when
// RememberLastOpenedFolder is 1) and the widths of its list columns.

#include <QString>

#include "core/location.h"

enum EPanelId : int {
  ePanel_A = 0,
  ePanel_B = 1,
};

namespace browse {

// The stored location of a panel from the option set: MainTree{A,B}CacheType,
// MainTree{A,B}CacheStr1 and MainTree{A,B}HKey (a root ordinal, turned into the root key). A
// kind other than 2, 9, 10 or 11 is read as 2 with the stored path kept.
CPanelLocation StoredPanelLocation(EPanelId ePanel);
// Puts the location into the option set and writes the three values into the current
// profile at once. Kinds 9 and 10 store an empty path; only kinds 10 and 11 store a root.
// True when every write succeeded.
bool StorePanelLocation(EPanelId ePanel, const CPanelLocation& location);

// The key part of a source in its column-width names: "_FS_" for the file system and the
// recycle bin, "_REG_" for the registry, "ZIP_" for zip archives, nothing for the empty panel.
QString ColumnKeyPart(DWORD dwSource);
// "PanelListA" or "PanelListB" followed by the source's key part: the tag the settings store
// keeps a list's column widths under ("PanelListA_FS_").
QString ColumnWidthTag(EPanelId ePanel, DWORD dwSource);
// The tag followed by the column index ("PanelListA_FS_0").
QString ColumnWidthKey(EPanelId ePanel, DWORD dwSource, int nColumn);

}  // namespace browse
