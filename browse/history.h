#pragma once
// The back/forward history of a panel (and, with the same rules, of a tree): the locations
// visited, and the 1-based position of the current one (0 while empty). Locations compare
// exactly (case-sensitive paths).

#include <QList>

#include "core/location.h"

class CNavHistory {
 public:
  // Empty, or at/after the last entry: appends and moves onto it. Otherwise looks at the entry
  // just after the current one: the same location is moved onto (later entries are kept);
  // another one takes its place, every later entry is dropped, and the position moves onto it.
  void Record(const CPanelLocation& location);

  bool CanGoBack() const { return position_ > 1; }
  bool CanGoForward() const { return position_ < Count(); }

  // Moves one step back (forward) and gives the location now current, which the caller loads
  // without recording it again; the panel reloads only file-system locations. False, with
  // nothing changed, when there is no step to take.
  bool Back(CPanelLocation* pLocation);
  bool Forward(CPanelLocation* pLocation);

  int Position() const { return position_; }  // 1-based; 0 when empty
  int Count() const { return static_cast<int>(entries_.size()); }
  // The entry at a 0-based index; an empty location outside 0..Count()-1.
  CPanelLocation At(int nIndex) const;
  void Clear();

 private:
  QList<CPanelLocation> entries_;
  int position_ = 0;
};
