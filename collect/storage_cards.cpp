#include "collect/storage_cards.h"

#include "platform/find.h"

namespace collect {

int CStorageCards::RefreshStorageCards() {
  names_.clear();
  constexpr DWORD kCard = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
  plat::ForEachFolderEntry(QStringLiteral("\\"), [this](const WIN32_FIND_DATAW& data) {
    if ((data.dwFileAttributes & kCard) == kCard) names_.append(plat::FindName(data));
  });
  return Count();
}

QString CStorageCards::StorageCardName(int nIndex) const {
  return nIndex >= 0 && nIndex < names_.size() ? names_[nIndex] : QString();
}

QString CStorageCards::CardOfNumber(int n) const {
  if (n >= 1 && n <= names_.size()) return names_[n - 1];
  return n == 1 ? QStringLiteral("Storage Card") : QStringLiteral("Storage Card%1").arg(n);
}

bool CStorageCards::HoldsPath(const QString& strPath) const {
  if (names_.isEmpty() || !strPath.startsWith(u'\\')) return false;
  const qsizetype end = strPath.indexOf(u'\\', 1);
  const QStringView first = QStringView(strPath).mid(1, end < 0 ? -1 : end - 1);
  for (const QString& name : names_)
    if (first.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

}  // namespace collect
