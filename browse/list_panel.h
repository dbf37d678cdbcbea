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
#include <QList>
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
#include "browse/panel_keys.h"

// What a panel tells the main frame.
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
};

struct CListPanelOptions {
  // Run a CListWorker thread for icons and folder totals. Without one, icons are computed
  // when a row is first shown and folder totals stay unknown (the command line's choice).
  bool bWorker = true;
};

class CListPanel : public QAbstractTableModel, public IFoundItemSink {
  Q_OBJECT

 public:
  // Roles beside DisplayRole (column text) and DecorationRole (the row's icon in column 0).
  enum ERole {
    eRole_IconIndex = Qt::UserRole + 1,  // int: image index of the row (column 0)
    eRole_EntryType,                     // uint: EEntryType of the row
    eRole_FullPath,                      // QString: device path of the row's item, or empty
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
  // Activation of the entry at a row, by its type (folder: load it; "..": up; file: hand it
  // to the observer; zip archive: the archive opener, when one is installed).
  void Open(int nRow);
  bool CanGoUp() const;
  void Up();
  void Refresh();
  // Back and forward through the history; only file-system locations are loaded again.
  bool Back();
  bool Forward();

  // Sorting. The field becomes the column's field with the direction flag set when it
  // differs from the current one; for the same field bToggle flips the flag.
  void SortBy(int nColumn, bool bToggle);
  // Sets the direction flag and sorts again (true: A to Z, largest and newest first).
  void SetSortAscending(bool bAscending);
  int SortField() const { return sortField_; }
  bool SortAscending() const { return ascending_; }

  // Reads one file-system row again from disk (attributes, size, times, attribute text).
  void RefreshRow(int nRow);

  // The filtered item sink: an item found in some folder is added to the listing unless the
  // list's filters (MainListShowFolders, -ShowSystem, -ShowHidden, -ShowInRom, -ShowRO) or
  // the recycle-bin rule leave it out.
  bool OnFoundItem(const WIN32_FIND_DATAW& data, const QString& strFolder) override;

  // The rows the view shows now (its first and last visible row). Called by the view on
  // scrolling: the worker's queue is replaced by the icons of these rows.
  void SetVisibleRows(int nFirst, int nLast);

  // Hands a file to the observer, which opens it (file activation).
  void OpenFile(const QString& strFullPath);
  // Opens zip archives (entry type 5) from the file-system listing: given the archive's full
  // path, shows it in the panel and answers true, or false when it is not a valid archive
  // (then nothing happens). Without an opener, archives are not opened.
  using ArchiveOpener = std::function<bool(CListPanel& panel, const QString& strArchivePath)>;
  void SetArchiveOpener(ArchiveOpener opener) { archiveOpener_ = std::move(opener); }
  bool OpenArchive(const QString& strArchivePath);

  // --- State ---
  EPanelId Panel() const { return panel_; }
  IListPanelObserver* Observer() const { return observer_; }
  DWORD SourceKind() const;
  IListSource* Source() const { return source_.get(); }
  // The file-system folder shown; empty while another source is shown.
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
  // Calls into the current source, which may replace itself meanwhile (see retired_).
  template <class Call>
  void CallSource(Call call);
  void ReportLocation(const CPanelLocation& location);
  void SetStatusText(const QString& strText);
  void SortEntries();
  void SortAndRelayout();
  void BumpGeneration();
  // The worker's queue for a new row order: pause, clear, the folder totals still unknown
  // (when wanted and ShowFolderTotalSizes is 1), then the visible rows' icons, so that the
  // icons, added last, are taken first; un-pause.
  void QueueWork(bool bFolderTotals);
  CListWorker::CRowJobs IconJobs(int nFirst, int nLast) const;
  CListWorker::CRowJobs FolderJobs() const;
  bool IsFileSystemListing() const { return SourceKind() == ePanelSrc_FileSystem; }

  EPanelId panel_;
  IListPanelObserver* observer_;
  std::unique_ptr<IListSource> source_;
  // Sources replaced while a call into a source was running: kept until that call returns,
  // so that a source may start new listings from inside its own Activate, Up or Refresh.
  std::vector<std::unique_ptr<IListSource>> retired_;
  int sourceCallDepth_ = 0;
  CListEntries entries_;
  QList<CListColumn> columns_;
  QVector<int> widths_;
  bool widthsChanged_ = false;
  int viewWidth_ = 0;
  int sortField_ = 0;
  bool ascending_ = true;  // the sort direction flag
  QString statusText_;
  CNavHistory history_;
  quint64 generation_ = 0;
  int firstVisible_ = 0;
  int visibleCount_ = 0;  // rows per page as the view last said; 0 before it did
  bool viewReady_ = false;
  QString pendingPath_;
  bool closing_ = false;
  ArchiveOpener archiveOpener_;
  std::unique_ptr<CListWorker> worker_;
};
