#pragma once
// The list of one panel on screen, in the four list styles of MainListModeListViewA/B:
// 0 large icons, 1 details (a table with its header), 2 small icons, 3 list. The details
// style is a QTreeView, the other three a QListView; both show the panel's CListPanel and share
// one selection. The view tells the panel which rows are on screen (so the worker computes
// their icons first), sorts on a header click, keeps the column widths the user sets, and
// opens an entry by a single or a double click as DoubleClickActivation says (a click with
// Ctrl or Shift only selects). With
// DragAndDrop set, selected file-system entries can be dragged out of the list, and items
// dropped on it are offered to the frame (itemsDropped), which copies or moves them.

#include <QHash>
#include <QPoint>
#include <QStringList>
#include <QWidget>

class CListPanel;
class QMimeData;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedWidget;
class QTreeView;

enum EListMode : int {
  eListMode_LargeIcons = 0,
  eListMode_Details = 1,
  eListMode_SmallIcons = 2,
  eListMode_List = 3,
};

class CListView : public QWidget {
  Q_OBJECT

 public:
  CListView(CListPanel& panel, int nViewNumber, QWidget* pParent = nullptr);

  CListPanel& Panel() { return panel_; }
  int ViewNumber() const { return viewNumber_; }

  void SetMode(int nMode);
  int Mode() const { return mode_; }
  void SetHeaderShown(bool bShown);
  // Extended selection, or a tap toggling its entry with MainListMultiSelect.
  void ApplySelectionMode();
  // The list options: stripes, full-row selection, header drag, big icons, auto-size columns,
  // the selection mode.
  void ApplyListOptions();
  bool HeaderShown() const;

  // The view that shows the list in the current style, and the selection both share.
  QAbstractItemView* CurrentView() const;
  QTreeView* DetailsView() const { return details_; }
  QListView* IconView() const { return icons_; }
  QItemSelectionModel* Selection() const { return selection_; }
  // The row of the focused entry; -1 when there is none.
  int CurrentRow() const;
  // Opens the focused entry (Enter).
  void OpenCurrent();

  void SelectAll();
  void UnselectAll();
  void InvertSelection();
  // Insert and Ctrl+Space: the focused row's selection toggled, the focus moved to the next row.
  void ToggleCurrentAndMoveOn();

  // --- Drag and drop ---
  // The device paths of the selected file-system entries, in row order ("..": never).
  QStringList SelectedPaths() const;
  // What a drag carries: the device paths for this program, and the host files as URLs for
  // other programs. Null for no paths.
  static QMimeData* ItemsMimeData(const QStringList& devicePaths);
  // The device paths a drag brings: this program's own list, or files of other programs that
  // lie inside the device root. Empty when it brings none.
  static QStringList ItemsOfMimeData(const QMimeData* pMime);
  // Where a drop at a point of the current view's viewport goes: the folder entry under it,
  // else the folder the list shows; empty outside the file system.
  QString DropTargetFolder(const QPoint& viewportPos) const;

 signals:
  void viewFocused(int nViewNumber);
  // Items were dropped on the list: to be copied (Qt::CopyAction) or moved (Qt::MoveAction)
  // into strTargetFolder.
  void itemsDropped(const QStringList& devicePaths, const QString& strTargetFolder,
                    Qt::DropAction action);

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

 private:
  void setupDetails();
  void setupIcons();
  void OnListingReset();
  // What the view showed of a place, kept when the listing changes: brought back when the
  // place is listed again by Back, Forward or a refresh; a place left for its parent is
  // focused there.
  struct CViewState {
    QStringList selected;  // full paths of the selected rows
    QString current;       // full path of the focused row
    int nScrollX = 0;
    int nScrollY = 0;
  };
  void RememberState();
  void RestoreState();
  QString RowPath(int nRow) const;
  void ApplyColumnWidths();
  void FitFirstColumn();
  void FitColumnsToContents();
  void ReportVisibleRows();
  void OnEntryClicked(const QModelIndex& index, bool bDouble);
  // The viewport events of drag and drop; true when the event was used.
  bool HandleDragEvent(QWidget* pViewport, QEvent* pEvent);
  void StartDrag();

  CListPanel& panel_;
  int viewNumber_;
  int mode_ = eListMode_Details;
  QStackedWidget* stack_ = nullptr;
  QTreeView* details_ = nullptr;
  QListView* icons_ = nullptr;
  QItemSelectionModel* selection_ = nullptr;
  bool applyingWidths_ = false;  // widths set by the view itself are not the user's
  int lastWanted_ = 0;  // the last column's width before it is cut to fit the view
  static constexpr int kNameFloor = 100;  // pixels a name column gives way down to
  QPoint dragStart_;              // where the left button went down on an entry
  bool dragArmed_ = false;        // a move far enough from dragStart_ starts a drag
  QHash<QString, CViewState> states_;  // by the place's address text
  QString leftPlaceKey_;   // the place listed before the listing changed
  QString leftPlacePath_;  // its folder path, focused in the new listing when it is a row
  Qt::KeyboardModifiers clickModifiers_;  // of the last press or release on an entry
};
