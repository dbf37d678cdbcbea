#include "browse/history.h"

void CNavHistory::Record(const CPanelLocation& location) {
  if (entries_.isEmpty() || position_ >= Count()) {
    entries_.append(location);
    position_ = Count();
    return;
  }
  if (!(entries_[position_] == location)) {
    entries_[position_] = location;
    entries_.resize(position_ + 1);
  }
  ++position_;
}

bool CNavHistory::Back(CPanelLocation* pLocation) {
  if (!CanGoBack()) return false;
  --position_;
  if (pLocation) *pLocation = entries_[position_ - 1];
  return true;
}

bool CNavHistory::Forward(CPanelLocation* pLocation) {
  if (!CanGoForward()) return false;
  ++position_;
  if (pLocation) *pLocation = entries_[position_ - 1];
  return true;
}

CPanelLocation CNavHistory::At(int nIndex) const {
  return nIndex >= 0 && nIndex < Count() ? entries_[nIndex] : CPanelLocation();
}

void CNavHistory::Clear() {
  entries_.clear();
  position_ = 0;
}
