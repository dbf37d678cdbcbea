#include "core/favorites.h"

#include "core/settings_store.h"
#include "core/texts.h"
#include "platform/shell.h"
#include "platform/system.h"

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
