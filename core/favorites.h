#pragma once
// Favorites: named shortcuts to locations that the main frame offers for quick navigation.
// The list is built once at start from the current profile; the program never writes it
// back. While FavFS is 1 the four default favorites head the list.

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
