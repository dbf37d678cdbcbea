#pragma once
// Favorites: named shortcuts to locations that the main frame offers for quick navigation.
// The list is built at start from the current profile, and again when the user adds or
// organizes favorites (SaveFavorites). While FavFS is 1 the four default favorites head the
// list; they are never stored.

#include <QString>
#include <QVector>

#include "platform/wintypes.h"

struct CFavorite {
  DWORD dwType = 0;  // location kind: 2, 4 or 11
  QString strName;   // the label
  QString strPath;   // the location's path
  DWORD dwData = 0;  // FavD%d, handed to the navigation code unchanged
  DWORD dwCid = 0;   // FavCIDxxx%d, handed to the navigation code unchanged
};

// A stored NumFavorites above this is damaged input and reads as 0.
constexpr DWORD kMaxFavorites = 1000;

// The program's favorites list (user-interface thread only).
extern QVector<CFavorite> favorites;

// The four defaults, in order: "My Documents", "Programs", "Startup", "Windows" (type 2).
QVector<CFavorite> DefaultFavorites();

// Rebuilds `favorites` from the current profile: the defaults when FavFS is 1, then every
// stored favorite n < NumFavorites whose path is not empty and whose type is 2, 4 or 11 (an
// empty name shows the path).
void LoadFavorites();

// The favorites the user stored (NumFavorites, FavT%d, ...) as they are stored: the defaults
// are not among them, the names as written (an empty one stays empty). Damaged counts read as
// none.
QVector<CFavorite> StoredFavorites();
// Writes the user's favorites: FavT%d, FavN%d, FavSD%d, FavD%d, FavCIDxxx%d for each, then
// NumFavorites, so that a failure part way leaves the old count naming complete records.
// Values of numbers at or beyond the new count are left in the registry, unused. Then the
// list is built again (LoadFavorites). True when every write succeeded.
bool SaveFavorites(const QVector<CFavorite>& stored);

struct CPanelLocation;
// Where a favorite leads: a folder (type 2) itself, a file (type 4) its folder, a registry key
// (type 11) the key below the root that FavD%d names (1 HKEY_CLASSES_ROOT, 2
// HKEY_LOCAL_MACHINE, 3 HKEY_CURRENT_USER, 4 HKEY_USERS). False for any other record.
bool FavoriteLocation(const CFavorite& favorite, CPanelLocation* pLocation);
// Whether the favorite's folder, file or key exists now.
bool FavoriteExists(const CFavorite& favorite);
// The favorite of a place a list shows (a folder or a registry key), named strName; false for
// any other place.
bool FavoriteOfLocation(const CPanelLocation& location, const QString& strName,
                        CFavorite* pFavorite);
