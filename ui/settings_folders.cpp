#include "ui/settings_folders.h"

#include <vector>

#include "collect/storage_cards.h"
#include "platform/find.h"
#include "platform/system.h"

QStringList ProposedFolders(const QString& strCurrent) {
  QStringList folders;
  auto add = [&folders](const QString& strFolder) {
    if (strFolder.isEmpty()) return;
    for (const QString& strHave : folders)
      if (strHave.compare(strFolder, Qt::CaseInsensitive) == 0) return;
    folders << strFolder;
  };
  add(strCurrent);
  add(plat::ProgramFolder());
  // The cards before the other top folders among the top folders: they are where a user moves a big folder to.
  collect::CStorageCards cards;
  for (int n = 0; n < cards.RefreshStorageCards(); ++n)
    add(QStringLiteral("\\") + cards.StorageCardName(n));
  std::vector<WIN32_FIND_DATAW> entries;
  if (plat::ReadFolderEntries(QStringLiteral("\\"), &entries)) {
    QStringList top;
    for (const WIN32_FIND_DATAW& data : entries)
      if (plat::IsWalkableFolder(data) && !(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
        top << QStringLiteral("\\") + plat::FindName(data);
    top.sort(Qt::CaseInsensitive);
    for (const QString& strFolder : top) add(strFolder);
  }
  return folders;
}
