#include "core/favorites.h"

#include "core/entry_types.h"
#include "core/location.h"
#include "core/settings_store.h"
#include "core/texts.h"
#include "platform/find.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "registry/registry_access.h"

QVector<CFavorite> favorites;

namespace {

constexpr DWORD kFavoriteFolder = 2;  // a file-system folder

QString SpecialFolder(int nCsidl) {
  QString path;
  plat::SHGetSpecialFolderPath(nCsidl, &path, false);
  return path;
}

// The handheld names the folder of its system library (coredll.dll), which also holds the
// Start menu. The host's system libraries lie outside the device root; the program's own
// folder, which holds its Start menu, takes that place.
QString SystemLibraryFolder() { return plat::ProgramFolder(); }

bool IsAcceptedType(DWORD dwType) { return dwType == 2 || dwType == 4 || dwType == 11; }

}  // namespace

QVector<CFavorite> DefaultFavorites() {
  const auto folder = [](int nName, const QString& path) {
    return CFavorite{kFavoriteFolder, core::Text(nName), path, 0, 0};
  };
  return {
      folder(55185, SpecialFolder(plat::CSIDL_PERSONAL)),  // "My Documents"
      folder(55187, SpecialFolder(plat::CSIDL_PROGRAMS)),
      folder(55188, SpecialFolder(plat::CSIDL_STARTUP)),
      folder(55189, SystemLibraryFolder()),  // "Windows"
  };
}

namespace {

QVector<CFavorite> ReadStored(bool bOnlyValid) {
  QVector<CFavorite> stored;
  DWORD dwCount = 0;
  ReadProfileDword(QStringLiteral("NumFavorites"), 0, &dwCount);
  if (dwCount > kMaxFavorites) dwCount = 0;
  for (DWORD n = 0; n < dwCount; ++n) {
    CFavorite favorite;
    ReadProfileDword(QStringLiteral("FavT%1").arg(n), 0, &favorite.dwType);
    ReadProfileString(QStringLiteral("FavN%1").arg(n), QString(), &favorite.strName);
    ReadProfileString(QStringLiteral("FavSD%1").arg(n), QString(), &favorite.strPath);
    ReadProfileDword(QStringLiteral("FavD%1").arg(n), 0, &favorite.dwData);
    ReadProfileDword(QStringLiteral("FavCIDxxx%1").arg(n), 0, &favorite.dwCid);
    if (bOnlyValid) {
      if (favorite.strName.isEmpty()) favorite.strName = favorite.strPath;
      if (favorite.strPath.isEmpty() || !IsAcceptedType(favorite.dwType)) continue;
    }
    stored.append(favorite);
  }
  return stored;
}

}  // namespace

void LoadFavorites() {
  favorites.clear();
  DWORD dwDefaults = 1;
  ReadProfileDword(QStringLiteral("FavFS"), 1, &dwDefaults);
  if (dwDefaults == 1) favorites = DefaultFavorites();
  favorites += ReadStored(true);
}

QVector<CFavorite> StoredFavorites() { return ReadStored(false); }

bool SaveFavorites(const QVector<CFavorite>& stored) {
  bool bOk = true;
  for (int n = 0; n < stored.size(); ++n) {
    const CFavorite& favorite = stored[n];
    bOk &= WriteProfileDword(QStringLiteral("FavT%1").arg(n), favorite.dwType);
    bOk &= WriteProfileString(QStringLiteral("FavN%1").arg(n), favorite.strName);
    bOk &= WriteProfileString(QStringLiteral("FavSD%1").arg(n), favorite.strPath);
    bOk &= WriteProfileDword(QStringLiteral("FavD%1").arg(n), favorite.dwData);
    bOk &= WriteProfileDword(QStringLiteral("FavCIDxxx%1").arg(n), favorite.dwCid);
  }
  bOk &= WriteProfileDword(QStringLiteral("NumFavorites"), DWORD(stored.size()));
  LoadFavorites();
  return bOk;
}

bool FavoriteLocation(const CFavorite& favorite, CPanelLocation* pLocation) {
  switch (favorite.dwType) {
    case eEntry_Folder:
      *pLocation = CPanelLocation::FileSystem(favorite.strPath);
      return true;
    case eEntry_File: {
      QString strFolder = favorite.strPath.section(QLatin1Char('\\'), 0, -2);
      if (strFolder.isEmpty()) strFolder = QStringLiteral("\\");
      *pLocation = CPanelLocation::FileSystem(strFolder);
      return true;
    }
    case eEntry_RegKey:
      if (HKEY root = RootFromOrdinal(favorite.dwData)) {
        *pLocation = CPanelLocation::Registry(root, favorite.strPath);
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool FavoriteExists(const CFavorite& favorite) {
  if (favorite.dwType == eEntry_RegKey) {
    const HKEY root = RootFromOrdinal(favorite.dwData);
    return root != 0 && CountSubKeys(root, favorite.strPath) >= 0;
  }
  if (favorite.strPath == QStringLiteral("\\")) return favorite.dwType == eEntry_Folder;
  WIN32_FIND_DATAW data{};
  if (!plat::FindOne(favorite.strPath, &data)) return false;
  const bool bFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return favorite.dwType == eEntry_Folder ? bFolder : !bFolder;
}

bool FavoriteOfLocation(const CPanelLocation& location, const QString& strName,
                        CFavorite* pFavorite) {
  CFavorite favorite;
  if (location.kind == eEntry_Folder) {
    favorite.dwType = eEntry_Folder;
  } else if (location.kind == eEntry_RegKey) {
    favorite.dwType = eEntry_RegKey;
    favorite.dwData = OrdinalFromRoot(location.root);
  } else {
    return false;
  }
  favorite.strPath = location.path;
  favorite.strName = strName;
  *pFavorite = favorite;
  return true;
}
