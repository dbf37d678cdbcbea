#pragma once
// A list panel (browse/list_panel.h) shows what one source lists: a folder of the file system,
// a registry key, the recycle bin or a folder inside a zip archive. The panel owns the entries,
// the model, the history and the worker; a source builds the entries of one listing and
// describes everything that depends on its kind: the columns, the texts and images of a row,
// the sort comparison, the selection of given rows, the commands it offers, whether it takes
// a drop, and what opening an entry, going up or listing again should do. A source never
// touches the panel: it answers with a CListAction, which the panel carries out.
//
// Sources are made by the factory (browse/list_source_factory.h) from a location; each
// feature registers the location kinds it lists there. A source is shown by a location:
//
//   panel.ShowLocation(location, /*bForce=*/true, /*bRecord=*/true);
//
// or, when the caller has made the source itself, by handing it to the panel
// (user-interface thread):
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

#include <QList>
#include <QString>

#include <memory>

#include "core/list_entry.h"
#include "core/location.h"
#include "core/selection.h"

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

// What should happen after an entry was opened, or on Up or Refresh: the source says, the
// panel does it.
struct CListAction {
  enum EKind {
    eNone,          // nothing
    eShowLocation,  // list location in the panel (through the factory)
    eOpenFile,      // hand strPath to the panel's observer, which opens the file
    eEditValue,     // open the value strName (type dwType) of location for editing
    eRefuse,        // strPath cannot be opened (dwError, a system error): the observer says
                    // so and the panel stays
  };
  EKind kind = eNone;
  CPanelLocation location;
  bool bForce = false;     // eShowLocation: list again even when the panel already shows it
  bool bRecord = false;    // eShowLocation: record the new location in the history
  bool bKeepSort = false;  // eShowLocation: keep the panel's sort field rather than taking
                           // the new source's InitialSortField
  QString strPath;         // eOpenFile
  QString strName;         // eEditValue
  DWORD dwType = 0;        // eEditValue
  DWORD dwError = 0;       // eRefuse

  static CListAction Show(const CPanelLocation& where, bool bForce, bool bRecord) {
    CListAction action;
    action.kind = eShowLocation;
    action.location = where;
    action.bForce = bForce;
    action.bRecord = bRecord;
    return action;
  }
  static CListAction OpenFile(const QString& strFullPath) {
    CListAction action;
    action.kind = eOpenFile;
    action.strPath = strFullPath;
    return action;
  }
  static CListAction Refuse(const QString& strFullPath, DWORD dwSystemError) {
    CListAction action;
    action.kind = eRefuse;
    action.strPath = strFullPath;
    action.dwError = dwSystemError;
    return action;
  }
  static CListAction EditValue(const CPanelLocation& key, const QString& strValue,
                               DWORD dwValueType) {
    CListAction action;
    action.kind = eEditValue;
    action.location = key;
    action.strName = strValue;
    action.dwType = dwValueType;
    return action;
  }
};

// The commands a listing can offer on its rows, for the menus, the tool bar and the context
// menu. The frame maps each to its own command; a source names only what it offers.
enum class EListCommand {
  eSeparator,  // in a context menu: a line between groups
  eOpen,
  eCut,
  eCopy,           // copy out: the rows are file-system items that can leave the listing
  ePaste,          // paste into: the listing is a folder that takes items
  ePasteShortcut,
  eCopyToOther,
  eMoveToOther,
  eDelete,         // delete or recycle, as UseRecycleBin says
  eShred,
  eEncrypt,
  eDecrypt,
  eRename,
  eNewFolder,
  eSelectAll,
  eRefresh,
  eRestore,        // back to where the rows came from
  eDeleteForGood,  // the rows can only be deleted for good; Delete does that here
  eExtractHere,    // the archive's entries (the selected ones inside it) into its folder
  eExtractTo,      // the same into a folder the user picks
  eTestArchive,    // every entry of the archive read through the decompressor
  eCompress,       // the rows' files and folders packed into a new archive
  eOpenContainingFolder,  // the folder of the focused row's item, in a panel, the item focused
  eProperties,     // the properties dialog of the focused row's item
  // Commands a listing carries out itself (RunCommand): the registry editor's.
  eNewKey,
  eNewDwordValue,
  eNewStringValue,
  eNewMultiStringValue,
  eModify,
  eExport,
  eImport,
};

// How a change to an item (a view notification) concerns a listing.
enum class EChangeFit {
  eNone,    // the listing does not show the item's place
  eRows,    // the item is, or would be, a row of the listing: that row alone is updated
  eRelist,  // the rows depend on it in a way only a new listing shows (the recycle bin lists
            // its bin folder's containers): listed again, after the run when one is going on
};

// The context menu of the list of files and folders, which is also what a listing without
// commands of its own shows (every entry then disabled).
QList<EListCommand> FileListContextMenu();

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
  // True when this listing already shows the location (a load without force then does
  // nothing). By default no location counts as shown: every load lists again.
  virtual bool Shows(const CPanelLocation& location) const { return false; }
  // The sort field a new listing of this source starts with; -1 keeps the panel's.
  virtual int InitialSortField() const { return -1; }
  // The status line after Fill ("Folders: 3, Files: 5"); empty when the source has none.
  virtual QString StatusText(const CListEntries& entries) const { return {}; }
  // How the place reads in the address bar, the header bar and the title ("\Docs",
  // "HKEY_LOCAL_MACHINE\Software", "Recycle Bin"); empty for a panel that shows nothing.
  virtual QString LocationText() const { return {}; }
  // The system error a listing of this place meets (ERROR_PATH_NOT_FOUND for a folder that is
  // not there, ERROR_ACCESS_DENIED, ...), 0 when it can be read. A typed address that meets
  // one is refused before anything is listed.
  virtual DWORD OpenError() const { return 0; }
  // The file-system folder the listing shows: where pasted items and new folders go, and the
  // folder whose changes reload it. Empty for every other place.
  virtual QString FolderPath() const { return {}; }
  // True when a change to an item of strFolder changes the rows although the listing is not
  // that folder's (the recycle bin lists its bin folder's containers): the panel is listed
  // again.
  virtual bool WatchesFolder(const QString& strFolder) const { return false; }
  // How a change to the item at strPath concerns the listing: dwKind and root say where the
  // item lies, as the notification gives them (core/view_notify.h). By default a change in a
  // watched folder lists again and any other touches nothing.
  virtual EChangeFit ChangeFit(DWORD dwKind, HKEY root, const QString& strPath) const;
  // For a change that fits eRows: the row of the item at strPath read afresh, or null when
  // the item is gone or the listing leaves it out.
  virtual std::unique_ptr<CListEntry> EntryForItem(const QString& strPath) const {
    return nullptr;
  }

  // The text of a row in one of the source's fields. A source may fill a record's text on
  // first request and keep it there (the type text of a file).
  virtual QString Text(CListEntry& entry, int nField) = 0;
  // The image index of a row (browse/icon_indices.h and the icon manager's lists).
  // bWorkerFillsIcons: the panel's worker computes slow icons later, so a placeholder may be
  // answered now.
  virtual int IconIndex(CListEntry& entry, bool bWorkerFillsIcons) = 0;
  // True when the row's item is a symbolic link: the views mark its icon.
  virtual bool IsLink(const CListEntry& entry) const { return false; }

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

  // What opening an entry does (tap, double tap or Enter): another listing, a file handed to
  // the observer, a value to edit, or nothing.
  virtual CListAction Activate(const CListEntry& entry) const = 0;
  // One level up; eNone when there is none (CanGoUp false).
  virtual bool CanGoUp() const { return false; }
  virtual CListAction Up() const { return {}; }
  // The same place listed again.
  virtual CListAction Refresh() const = 0;

  // The device path of a row's item for file operations; empty when the row has none (a
  // registry value, "..").
  virtual QString FullPath(const CListEntry& entry) const { return {}; }
  // The items the commands act on for the given rows, in the order of anRows; rows without
  // an item are left out.
  virtual fileops::CSelection Selection(const CListEntries& entries,
                                        const QList<int>& anRows) const {
    return {};
  }

  // Whether the listing offers a command on its rows, and its context menu.
  virtual bool Offers(EListCommand command) const { return false; }
  virtual QList<EListCommand> ContextMenu() const { return FileListContextMenu(); }
  // The context menu over the given rows (the selected ones, or the focused one): by default
  // ContextMenu(); a source adds what fits only some rows (the archive commands on an archive).
  virtual QList<EListCommand> ContextMenuFor(const CListEntries& entries,
                                             const QList<int>& anRows) const {
    return ContextMenu();
  }
  // The archive the archive commands (eExtractHere, eExtractTo, eTestArchive) act on for the
  // given rows: the archive a listing inside one shows, or the first archive file among the
  // rows; empty when there is none.
  virtual QString ArchivePath(const CListEntries& entries, const QList<int>& anRows) const {
    return {};
  }
  // The menu of the listed place itself, as a tree node shows it; empty for the tree's own.
  virtual QList<EListCommand> PlaceMenu() const { return {}; }
  // Carries out a command the listing handles itself on the given rows, or on the listed
  // place when anRows is empty (a tree node's menu). False when the command is not one of its
  // own, so the frame carries it out. Changes reach the views as view notifications.
  virtual bool RunCommand(EListCommand command, const CListEntries& entries,
                          const QList<int>& anRows) {
    return false;
  }
  // The folder items dropped on the listing go into: pTarget is the row under the drop (null
  // for empty space). Empty when the listing takes no drop there.
  virtual QString DropFolder(const CListEntry* pTarget) const { return {}; }
};
