#pragma once
// A list panel (browse/list_panel.h) shows what one source lists: a folder of the file system,
// a registry key, the recycle bin or a folder inside a zip archive. The panel owns the entries,
// the model, the history and the worker; a source builds the entries of one listing and
// answers everything that depends on its kind: the columns, the texts and images of a row,
// the sort comparison, what opening an entry does and where "up" leads.
//
// A source is shown by handing it to the panel (user-interface thread):
//
//   CListingRequest request;                 // record = false, keep the sort field
//   panel.ShowListing(std::make_unique<CMyListSource>(...), request);
//
// ShowListing then, in this order:
//   1. when the new source's Kind() differs from the current one: saves the old kind's column
//      widths under its key (browse/panel_keys.h), takes the new source's Columns() and their
//      stored widths, and sets the sort direction flag (ascending);
//   2. discards the previous entries with their records and drops the worker's pending work;
//   3. calls Fill() on an empty entry array;
//   4. sorts by the request's sort field (or the current one): PrepareSort(), then Sort(),
//      by default a stable sort with Compare();
//   5. takes StatusText(), records Location() in the history when the request asks for it,
//      and reports the location and the status text to the panel's observer;
//   6. for the file-system source only, queues the visible rows' icons and the folder totals
//      on the worker.
//
// The panel keeps the previous source alive until the next ShowListing, so a source may call
// panel.ShowListing (or LoadFolder) from its own Activate, Up or Refresh.

#include <QList>
#include <QString>

#include "core/list_entry.h"
#include "core/location.h"

class CListPanel;

// One column of a source.
struct CListColumn {
  QString header;        // the header text
  int defaultWidth = 0;  // pixels before the view's display scaling; a stored width wins
  int field = 0;         // what the column shows, in the source's own field numbers; a click
                         // on the header sorts by this field
  bool alignRight = false;
};

// How a listing is shown.
struct CListingRequest {
  bool bRecord = false;  // add Location() to the panel's back/forward history
  int nSortField = -1;   // sort by this field (and make it the current one); -1 keeps the
                         // panel's current sort field
};

class IListSource {
 public:
  virtual ~IListSource() = default;

  // The panel source kind (EPanelSource). Listings of the same kind share the columns, their
  // stored widths and the sort state.
  virtual DWORD Kind() const = 0;
  // The columns in display order; asked when the panel switches to this kind.
  virtual QList<CListColumn> Columns() const = 0;

  // Builds the entries of the listing into pEntries, which is empty. A place that cannot be
  // read lists as empty; nothing is shown to the user. User-interface thread.
  virtual void Fill(CListEntries* pEntries) = 0;
  // Where the panel is once this listing shows (reported to the observer, recorded in the
  // history on request). Kind 0 reports nothing.
  virtual CPanelLocation Location() const = 0;
  // The status line after Fill ("Folders: 3, Files: 5"); empty when the source has none.
  virtual QString StatusText(const CListEntries& entries) const { return {}; }

  // The text of a row in one of the source's fields. A source may fill a record's text on
  // first request and keep it there (the type text of a file).
  virtual QString Text(CListEntry& entry, int nField) = 0;
  // The image index of a row (browse/icon_indices.h and the icon manager's lists).
  // bWorkerFillsIcons: the panel's worker computes slow icons later, so a placeholder may be
  // answered now.
  virtual int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) = 0;

  // The sort: negative when a comes before b, positive when after it, 0 when their order is
  // kept (the panel sorts stably). bAscending is the panel's sort direction flag.
  virtual int Compare(const CListEntry& a, const CListEntry& b, int nField,
                      bool bAscending) const = 0;
  // Called before each sort by nField: fills in what Compare needs that a listing leaves for
  // the first display (the type texts of files).
  virtual void PrepareSort(CListEntries* pEntries, int nField) {}
  // Orders the entries: a stable sort by Compare. A source may sort faster its own way as
  // long as the order is exactly that one.
  virtual void Sort(CListEntries* pEntries, int nField, bool bAscending) {
    pEntries->StableSort([&](const CListEntry& a, const CListEntry& b) {
      return Compare(a, b, nField, bAscending) < 0;
    });
  }

  // Opens the entry at a row (tap, double tap or Enter): loads another listing into the
  // panel, hands a file to the panel's observer, or does nothing.
  virtual void Activate(CListPanel& panel, int nRow) = 0;
  // One level up; nothing when there is none (CanGoUp false).
  virtual bool CanGoUp() const { return false; }
  virtual void Up(CListPanel& panel) {}
  // The same place listed again.
  virtual void Refresh(CListPanel& panel) = 0;

  // The device path of a row's item for file operations; empty when the row has none (a
  // registry value, "..").
  virtual QString FullPath(const CListEntry& entry) const { return {}; }
};
