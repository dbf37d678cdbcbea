#pragma once
// The source of a panel that shows nothing yet (kind 1): one Name column, no entries, no
// location.

#include "browse/list_source.h"

class CEmptyListSource : public IListSource {
 public:
  DWORD Kind() const override { return ePanelSrc_Empty; }
  QList<CListColumn> Columns() const override;
  void Fill(CListEntries*) override {}
  CPanelLocation Location() const override { return {}; }
  QString Text(CListEntry& entry, int) override { return entry.displayName; }
  int IconIndex(CListEntry&, bool) override { return -1; }
  int Compare(const CListEntry&, const CListEntry&, int, bool) const override { return 0; }
  CListAction Activate(const CListEntry&) const override { return {}; }
  CListAction Refresh() const override { return {}; }
};
