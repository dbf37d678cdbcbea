#pragma once
// The storage cards of the device: the top-level folders of the root that are mounted volumes
// (attributes 0x10 and 0x100 together; on the desktop, mount points directly in the root).

#include <QString>
#include <QStringList>

namespace collect {

class CStorageCards {
 public:
  // Rebuilds the list from the root's entries, by bare name ("Storage Card") in the host's
  // order, and returns the count. A root that cannot be read gives an empty list.
  int RefreshStorageCards();
  int Count() const { return int(names_.size()); }
  // The name of card nIndex (from 0); empty outside the list.
  QString StorageCardName(int nIndex) const;
  // The card a rule means by CARDn (n from 1 to 4): the n-th card of the list when there is
  // one, else the conventional name "Storage Card" (n = 1) or "Storage Card<n>".
  QString CardOfNumber(int n) const;
  // True when the first component of the device path strPath names a card of the list.
  bool HoldsPath(const QString& strPath) const;

 private:
  QStringList names_;
};

}  // namespace collect
