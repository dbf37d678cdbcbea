#pragma once
// The list of one panel as a Qt table model: the entries of the current listing, the source
// that made them (browse/list_source.h), the sort state, the back/forward history and the
// panel's CListWorker, which fills in icons of the visible rows and folder totals in the
// background. The desktop list view shows this model; the command line prints it.
//
// Everything here runs on the user-interface thread. The worker never touches the entries: it
// works on copies of (row, full path) taken when an operation is queued, and each result comes
// back through a blocking queued call whose handler checks the listing generation, the row,
// the source and the entry type before it changes a record.

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

#include "browse/history.h"
#include "browse/list_columns.h"
#include "core/list_entry.h"
#include "browse/list_item_sink.h"
#include "browse/list_source.h"
#include "browse/list_worker.h"
#include "core/location.h"
#include "core/view_batch.h"
#include "browse/panel_keys.h"
#include "platform/folder_watch.h"

// What a list panel tells its owner (the desktop's panel controller, a test).
class IListPanelObserver {
 public:
  virtual ~IListPanelObserver() = default;
  // The panel now shows another place.
  virtual void OnPanelLocation(EPanelId ePanel, const CPanelLocation& location) = 0;
  // The status line of the panel's listing ("Folders: 3, Files: 5", "Empty folder."); empty
  // for sources without one.
  virtual void OnPanelStatusText(EPanelId ePanel, const QString& strText) = 0;
  // A file was opened in the list; the frame hands it to the desktop.
  virtual void OnPanelOpenFile(EPanelId ePanel, const QString& strFullPath) = 0;
  // An entry could not be opened (a link whose target is outside the root or gone): the
  // panel stays where it is; the frame shows the system's text for dwError.
  virtual void OnPanelRefused(EPanelId ePanel, const QString& strFullPath, DWORD dwError) {}
};

struct CListPanelOptions {
  // Run a CListWorker thread for icons and folder totals. Without one, icons are computed
  // when a row is first shown and folder totals stay unknown (the command line's choice).
  bool bWorker = true;
  // Follow view notifications (core/view_notify.h): rows of items that are added, removed or
  // renamed in the listed place are updated, a few times a second during a run and once at
  // its end; a listing that shows a folder which goes away leaves it at once. The folder
  // shown is also watched for changes other programs make (platform/folder_watch.h), which
  // take the same way.
  bool bFollowChanges = false;
};

class CListPanel : public QAbstractTableModel, public IFoundItemSink {
  Q_OBJECT

 public:
  // Roles beside DisplayRole (column text) and DecorationRole (the row's icon in column 0).
  enum ERole {
    eRole_IconIndex = Qt::UserRole + 1,  // int: image index of the row (column 0)
    eRole_EntryType,                     // uint: EEntryType of the row
    eRole_FullPath,                      // QString: device path of the row's item, or empty
    eRole_Link,                          // bool: the row's item is a symbolic link
  };

  // Starts in the empty source (kind 1, one Name column). The worker thread, when wanted,
  // starts at low priority and sleeps until the first folder load.
  explicit CListPanel(EPanelId ePanel, IListPanelObserver* pObserver = nullptr,
                      const CListPanelOptions& options = {}, QObject* pParent = nullptr);
  // Ends the worker thread first: the running operation is abandoned and its undelivered
  // results dropped, so no operation runs once the panel is gone.
  ~CListPanel() override;

  // QAbstractItemModel.
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
  QVariant headerData(int nSection, Qt::Orientation orientation,
                      int nRole = Qt::DisplayRole) const override;

  // --- Listings ---
  // Shows the listing of a source (see list_source.h for the steps).
  void ShowListing(std::unique_ptr<IListSource> source, const CListingRequest& request);
  // Loads a file-system folder. An empty path, or one the device root refuses (".."
  // components, NUL characters), changes nothing and gives false. With bForce false nothing
  // happens while the panel already shows that folder (compared ignoring case). A folder that
  // cannot be read lists as "Empty folder.". bRecord adds the folder to the history.
  bool LoadFolder(const QString& strPath, bool bForce, bool bRecord);
  // LoadFolder(path, force, record) once the view exists (SetViewReady); before that the
  // path is kept as the pending location.
  void Navigate(const QString& strPath);
  // The view exists: a pending location is loaded now.
  void SetViewReady();
  // Lists a location through the factory (browse/list_source_factory.h): false when no
  // registered kind lists it or its maker refuses it. With bForce false nothing happens while
  // the current listing already shows it (IListSource::Shows). bRecord adds it to the
  // history. The new listing is sorted by the source's InitialSortField.
  bool ShowLocation(const CPanelLocation& location, bool bForce, bool bRecord);
  // Carries out what a source answered: a location listed, a file handed to the observer, a
  // value handed to the editor its kind registered. False when nothing was done.
  bool Perform(const CListAction& action);
  // Activation of the entry at a row: whatever the source answers (a folder is loaded, ".."
  // goes up, a file is handed to the observer, an archive is listed when a source of
  // archives is registered).
  void Open(int nRow);
  bool CanGoUp() const;
  void Up();
  void Refresh();
  // Back and forward through the history; the location reached is listed again, without
  // being recorded.
  bool Back();
  bool Forward();
  // True while a step back or forward lists its place (a view restores what it showed there).
  bool ListingFromHistory() const { return steppingHistory_; }

  // Sorting. The field becomes the column's field with the direction flag set when it
  // differs from the current one; for the same field bToggle flips the flag.
  void SortBy(int nColumn, bool bToggle);
  // Sets the direction flag and sorts again (true: A to Z, largest and newest first).
  void SetSortAscending(bool bAscending);
  int SortField() const { return sortField_; }
  bool SortAscending() const { return ascending_; }

  // Rows added to the listing shown now (a source that lists as it finds, the search
  // results): put where the sort wants them. The status text is taken again, also for an
  // empty batch (the source's counts changed).
  void AppendEntries(CListEntries* pFresh);

  // Reads one file-system row again from disk (attributes, size, times, attribute text).
  void RefreshRow(int nRow);
  // Applies the view notifications gathered so far now (bFollowChanges).
  void ApplyViewChanges();
  // Reads the listing again and updates only the rows that differ (added, gone, changed), so
  // that the selection and the scroll position stay where they are.
  void Resync();
  // The watch of the folder shown (bFollowChanges and a file-system listing), or null.
  const plat::CFolderWatch* FolderWatch() const { return watch_.get(); }

  // The filtered item sink: an item found in some folder is added to the listing unless the
  // list's filters (MainListShowFolders, -ShowSystem, -ShowHidden, -ShowInRom, -ShowRO) or
  // the recycle-bin rule leave it out.
  bool OnFoundItem(const WIN32_FIND_DATAW& data, const QString& strFolder) override;

  // The rows the view shows now (its first and last visible row). Called by the view on
  // scrolling: the worker's queue is replaced by the icons of these rows.
  void SetVisibleRows(int nFirst, int nLast);

  // Hands a file to the observer, which opens it (file activation).
  void OpenFile(const QString& strFullPath);

  // --- State ---
  EPanelId Panel() const { return panel_; }
  IListPanelObserver* Observer() const { return observer_; }
  DWORD SourceKind() const;
  IListSource* Source() const { return source_.get(); }
  // False while the panel shows nothing yet (before its first listing).
  bool ShowsListing() const;
  // The file-system folder shown (IListSource::FolderPath); empty while another source is
  // shown.
  QString CurrentPath() const;
  const CListEntries& Entries() const { return entries_; }
  QString StatusText() const { return statusText_; }
  const CNavHistory& History() const { return history_; }
  CListWorker* Worker() const { return worker_.get(); }
  // Changes whenever the rows change meaning (a listing, a sort); results of older work are
  // dropped.
  quint64 Generation() const { return generation_; }
  // The text of a row in a column, as the view shows it.
  QString CellText(int nRow, int nColumn) const;

  // --- Columns ---
  QList<CListColumn> Columns() const { return columns_; }
  QVector<int> ColumnWidths() const { return widths_; }
  // A width the user set; saved under the source's key when the source kind changes.
  void SetColumnWidth(int nColumn, int nWidth);
  // The view's width, which the first column fills up when widths are read back.
  void SetViewWidth(int nWidth) { viewWidth_ = nWidth; }
  // Saves the widths of the current columns now (at exit).
  void SaveColumnWidthsNow();

 signals:
  // The status text changed (the observer hears it too).
  void statusTextChanged(const QString& strText);
  // The worker has given every folder total of the listing: a view that fits its columns
  // (MainListAutoSizeColumn) fits them again.
  void folderTotalsDone();

 private slots:
  // Worker results, delivered on the user-interface thread while the worker waits.
  void OnIconReady(quint64 uGeneration, int nRow, int nIcon);
  void OnFolderSizeReady(quint64 uGeneration, int nRow, quint64 uSize);

 private:
  // Rows assumed on screen until the view tells the panel (SetVisibleRows).
  static constexpr int kDefaultPageRows = 20;

  void StartWorker();
  void SwitchColumns(const IListSource& source);
  void ReportLocation(const CPanelLocation& location);
  void SetStatusText(const QString& strText);
  void SortEntries();
  // nSortedFrom >= 0: the rows before it and those from it on are each in sort order, and
  // are merged rather than sorted anew.
  void SortAndRelayout(int nSortedFrom = -1);
  void BumpGeneration();
  // The worker's queue for a new row order: pause, clear, the folder totals still unknown
  // (when wanted and ShowFolderTotalSizes is 1), then the visible rows' icons, so that the
  // icons, added last, are taken first; un-pause.
  void QueueWork(bool bFolderTotals);
  CListWorker::CRowJobs IconJobs(int nFirst, int nLast) const;
  CListWorker::CRowJobs FolderJobs() const;
  bool IsFileSystemListing() const { return SourceKind() == ePanelSrc_FileSystem; }
  // View notifications (list_panel_changes.cpp).
  void FollowChanges();
  void LeaveGoneFolder(const fileops::CViewChange& change);
  void ApplyChanges(const std::vector<fileops::CViewChange>& changes);
  void UpdateRows(const QHash<QString, std::pair<QString, bool>>& items,
                  const QStringList& order);
  void InsertRows(CListEntries* pFresh);
  void WatchShownFolder();
  void OnFolderEvents(const plat::CFolderWatch::CEvents& events);

  EPanelId panel_;
  IListPanelObserver* observer_;
  std::unique_ptr<IListSource> source_;
  CListEntries entries_;
  QList<CListColumn> columns_;
  QVector<int> widths_;
  bool widthsChanged_ = false;
  int viewWidth_ = 0;
  int sortField_ = 0;
  bool ascending_ = true;  // the sort direction flag
  QString statusText_;
  CNavHistory history_;
  bool steppingHistory_ = false;
  quint64 generation_ = 0;
  int firstVisible_ = 0;
  int visibleCount_ = 0;  // rows per page as the view last said; 0 before it did
  bool viewReady_ = false;
  QString pendingPath_;
  bool closing_ = false;
  std::unique_ptr<CListWorker> worker_;
  // Last, so that it unsubscribes first.
  bool relistAfterRun_ = false;  // a change asked for a new listing during a run
  std::unique_ptr<fileops::CViewChangeBatch> changes_;
  std::unique_ptr<plat::CFolderWatch> watch_;  // goes before the batch it feeds
};
