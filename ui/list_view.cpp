#include "ui/list_view.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "browse/list_panel.h"
#include "platform/device_root.h"
#include "core/settings.h"
#include "core/settings_screen.h"
#include "ui/link_overlay.h"

CListView::CListView(CListPanel& panel, int nViewNumber, QWidget* pParent)
    : QWidget(pParent), panel_(panel), viewNumber_(nViewNumber) {
  stack_ = new QStackedWidget(this);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->addWidget(stack_);
  selection_ = new QItemSelectionModel(&panel_, this);
  setupDetails();
  setupIcons();
  connect(&panel_, &QAbstractItemModel::modelAboutToBeReset, this, &CListView::RememberState);
  connect(&panel_, &QAbstractItemModel::modelReset, this, &CListView::OnListingReset);
  connect(&panel_, &CListPanel::folderTotalsDone, this, [this] {
    if (settings.MainListAutoSizeColumn != 0) FitColumnsToContents();
  });
  SetMode(eListMode_Details);
  ApplyListOptions();
}

void CListView::ApplyListOptions() {
  ApplySelectionMode();
  // Stripes are rows of the details table; the icon styles have tiles, not rows.
  details_->setAlternatingRowColors(settings.MainListShowStripes != 0);
  details_->setAllColumnsShowFocus(settings.MainListFullRowSelect != 0);
  details_->setSelectionBehavior(settings.MainListFullRowSelect != 0
                                     ? QAbstractItemView::SelectRows
                                     : QAbstractItemView::SelectItems);
  details_->header()->setSectionsMovable(settings.MainListHeaderDrag != 0);
  SetMode(mode_);  // the picture sizes
  if (settings.MainListAutoSizeColumn != 0) FitColumnsToContents();
}

void CListView::ApplySelectionMode() {
  // The desktop's usual selection (Ctrl and Shift extend it); with MainListMultiSelect every
  // tap adds or removes its entry, as on a device without modifier keys.
  const auto eMode = settings.MainListMultiSelect != 0 ? QAbstractItemView::MultiSelection
                                                       : QAbstractItemView::ExtendedSelection;
  details_->setSelectionMode(eMode);
  icons_->setSelectionMode(eMode);
}

void CListView::setupDetails() {
  details_ = new QTreeView(stack_);
  details_->setModel(&panel_);
  details_->setSelectionModel(selection_);
  details_->setItemDelegate(new CLinkOverlayDelegate(CListPanel::eRole_Link, details_));
  details_->setRootIsDecorated(false);
  details_->setUniformRowHeights(true);
  details_->setItemsExpandable(false);
  details_->setAllColumnsShowFocus(settings.MainListFullRowSelect != 0);
  details_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  details_->setSortingEnabled(false);
  details_->header()->setSectionsClickable(true);
  // Fitting a column to its texts looks at this many rows around the visible ones, so that a
  // folder of 100,000 entries costs no more than a small one.
  details_->header()->setResizeContentsPrecision(256);
  details_->header()->setStretchLastSection(false);
  details_->header()->setSectionsMovable(false);
  details_->installEventFilter(this);
  details_->viewport()->installEventFilter(this);
  // Drops are looked at in the viewports' events; DragAndDrop decides there.
  details_->viewport()->setAcceptDrops(true);
  stack_->addWidget(details_);
  connect(details_->header(), &QHeaderView::sectionClicked, this, [this](int nColumn) {
    panel_.SortBy(nColumn, true);
  });
  connect(details_->header(), &QHeaderView::sectionResized, this,
          [this](int nColumn, int, int nWidth) {
            if (applyingWidths_) return;
            panel_.SetColumnWidth(nColumn, nWidth);
            if (nColumn == details_->header()->count() - 1) lastWanted_ = nWidth;
          });
  connect(details_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &CListView::ReportVisibleRows);
  connect(details_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { OnEntryClicked(index, false); });
  connect(details_, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { OnEntryClicked(index, true); });
}

void CListView::setupIcons() {
  icons_ = new QListView(stack_);
  icons_->setModel(&panel_);
  icons_->setSelectionModel(selection_);
  icons_->setItemDelegate(new CLinkOverlayDelegate(CListPanel::eRole_Link, icons_));
  icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setMovement(QListView::Static);
  icons_->setUniformItemSizes(true);
  icons_->installEventFilter(this);
  icons_->viewport()->installEventFilter(this);
  icons_->viewport()->setAcceptDrops(true);
  stack_->addWidget(icons_);
  connect(icons_->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &CListView::ReportVisibleRows);
  connect(icons_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          &CListView::ReportVisibleRows);
  connect(icons_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { OnEntryClicked(index, false); });
  connect(icons_, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { OnEntryClicked(index, true); });
}

void CListView::SetMode(int nMode) {
  if (nMode < eListMode_LargeIcons || nMode > eListMode_List) nMode = eListMode_Details;
  mode_ = nMode;
  // MainListUseBigIconsA/B: the small-picture styles (details, small icons, list) use the
  // large pictures too, as a high-resolution screen does by default.
  const DWORD dwBig = panel_.Panel() == ePanel_A ? settings.MainListUseBigIconsA : settings.MainListUseBigIconsB;
  // Pixel sizes double on a high-resolution screen, as every pixel constant of the program.
  const int nScale = IsHighResolutionScreen() ? 2 : 1;
  const int nLarge = 32 * nScale;
  const int nSmall = dwBig != 0 ? nLarge : 16 * nScale;
  details_->setIconSize(QSize(nSmall, nSmall));
  switch (nMode) {
    case eListMode_LargeIcons:
      icons_->setViewMode(QListView::IconMode);
      icons_->setFlow(QListView::LeftToRight);
      icons_->setWrapping(true);
      icons_->setIconSize(QSize(nLarge, nLarge));
      icons_->setGridSize(QSize(96 * nScale, 72 * nScale));
      icons_->setWordWrap(true);
      break;
    case eListMode_SmallIcons:
      icons_->setViewMode(QListView::ListMode);
      icons_->setFlow(QListView::LeftToRight);
      icons_->setWrapping(true);
      icons_->setIconSize(QSize(nSmall, nSmall));
      icons_->setGridSize(QSize(160 * nScale, nSmall + 6 * nScale));
      icons_->setWordWrap(false);
      break;
    case eListMode_List:
      icons_->setViewMode(QListView::ListMode);
      icons_->setFlow(QListView::TopToBottom);
      icons_->setWrapping(true);
      icons_->setIconSize(QSize(nSmall, nSmall));
      icons_->setGridSize(QSize(200 * nScale, nSmall + 6 * nScale));
      icons_->setWordWrap(false);
      break;
    default:
      break;
  }
  QWidget* pShown = nMode == eListMode_Details ? static_cast<QWidget*>(details_) : icons_;
  const bool bHadFocus = stack_->currentWidget() && stack_->currentWidget()->hasFocus();
  stack_->setCurrentWidget(pShown);
  setFocusProxy(pShown);
  if (bHadFocus) pShown->setFocus();
  ReportVisibleRows();
}

void CListView::SetHeaderShown(bool bShown) { details_->setHeaderHidden(!bShown); }

bool CListView::HeaderShown() const { return !details_->isHeaderHidden(); }

QAbstractItemView* CListView::CurrentView() const {
  return mode_ == eListMode_Details ? static_cast<QAbstractItemView*>(details_) : icons_;
}

int CListView::CurrentRow() const {
  const QModelIndex current = selection_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void CListView::OpenCurrent() {
  const int nRow = CurrentRow();
  if (nRow >= 0) panel_.Open(nRow);
}

void CListView::SelectAll() {
  const int nRows = panel_.rowCount();
  const int nColumns = panel_.columnCount();
  if (nRows == 0 || nColumns == 0) return;
  selection_->select(QItemSelection(panel_.index(0, 0), panel_.index(nRows - 1, nColumns - 1)),
                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CListView::UnselectAll() { selection_->clearSelection(); }

void CListView::InvertSelection() {
  const int nRows = panel_.rowCount();
  const int nColumns = panel_.columnCount();
  if (nRows == 0 || nColumns == 0) return;
  QItemSelection all(panel_.index(0, 0), panel_.index(nRows - 1, nColumns - 1));
  selection_->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
}

void CListView::OnEntryClicked(const QModelIndex& index, bool bDouble) {
  if (!index.isValid()) return;
  // Ctrl and Shift make a click a selection gesture (toggle, extend): it never opens.
  if (clickModifiers_ & (Qt::ControlModifier | Qt::ShiftModifier)) return;
  // One tap opens unless DoubleClickActivation asks for two; a double tap always opens once.
  const bool bWantDouble = settings.DoubleClickActivation != 0;
  if (bDouble != bWantDouble) return;
  panel_.Open(index.row());
}

void CListView::FitColumnsToContents() {
  // MainListAutoSizeColumn: every column as wide as its widest text; these widths are the
  // view's, not the user's, so they are not stored.
  applyingWidths_ = true;
  for (int i = 0; i < panel_.columnCount(); ++i) details_->resizeColumnToContents(i);
  applyingWidths_ = false;
}

void CListView::OnListingReset() {
  ApplyColumnWidths();
  if (settings.MainListAutoSizeColumn != 0) FitColumnsToContents();
  details_->header()->setSortIndicatorShown(true);
  details_->header()->setSortIndicator(
      panel_.SortField(), panel_.SortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
  RestoreState();
  ReportVisibleRows();
}

QString CListView::RowPath(int nRow) const {
  const CListEntry* pEntry = panel_.Entries().At(nRow);
  return pEntry ? panel_.Source()->FullPath(*pEntry) : QString();
}

void CListView::RememberState() {
  leftPlaceKey_.clear();
  leftPlacePath_.clear();
  if (!panel_.Source() || !panel_.ShowsListing()) return;
  leftPlaceKey_ = panel_.Source()->LocationText();
  leftPlacePath_ = panel_.CurrentPath();
  if (leftPlaceKey_.isEmpty()) return;
  CViewState state;
  for (const QModelIndex& index : selection_->selectedRows()) state.selected << RowPath(index.row());
  state.current = CurrentRow() >= 0 ? RowPath(CurrentRow()) : QString();
  state.nScrollX = CurrentView()->horizontalScrollBar()->value();
  state.nScrollY = CurrentView()->verticalScrollBar()->value();
  // The places of one session's history; a long walk forgets the oldest at once.
  if (states_.size() > 256) states_.clear();
  states_.insert(leftPlaceKey_, state);
}

void CListView::RestoreState() {
  if (panel_.rowCount() == 0) return;
  const QString strKey = panel_.Source()->LocationText();
  const bool bSamePlace = !strKey.isEmpty() && strKey == leftPlaceKey_;
  const auto found = states_.constFind(strKey);
  if ((panel_.ListingFromHistory() || bSamePlace) && found != states_.constEnd()) {
    const CViewState& state = *found;
    QItemSelection rows;
    int nCurrent = -1;
    for (int nRow = 0; nRow < panel_.rowCount(); ++nRow) {
      const QString strPath = RowPath(nRow);
      if (state.selected.contains(strPath))
        rows.select(panel_.index(nRow, 0), panel_.index(nRow, panel_.columnCount() - 1));
      if (nCurrent < 0 && strPath == state.current) nCurrent = nRow;
    }
    selection_->setCurrentIndex(panel_.index(qMax(nCurrent, 0), 0), QItemSelectionModel::NoUpdate);
    selection_->select(rows, QItemSelectionModel::ClearAndSelect);
    // The scroll range is known once the rows are laid out.
    QAbstractItemView* pView = CurrentView();
    pView->doItemsLayout();
    pView->horizontalScrollBar()->setValue(state.nScrollX);
    pView->verticalScrollBar()->setValue(state.nScrollY);
    return;
  }
  // Up (or any step to the parent): the place just left is focused and selected.
  if (!leftPlacePath_.isEmpty() && !bSamePlace) {
    for (int nRow = 0; nRow < panel_.rowCount(); ++nRow) {
      if (RowPath(nRow) != leftPlacePath_) continue;
      selection_->setCurrentIndex(panel_.index(nRow, 0), QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
      CurrentView()->scrollTo(panel_.index(nRow, 0));
      return;
    }
  }
  selection_->setCurrentIndex(panel_.index(0, 0), QItemSelectionModel::NoUpdate);
}

void CListView::ToggleCurrentAndMoveOn() {
  const int nRow = CurrentRow();
  if (nRow < 0) return;
  selection_->select(panel_.index(nRow, 0),
                     QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
  if (nRow + 1 < panel_.rowCount()) {
    selection_->setCurrentIndex(panel_.index(nRow + 1, 0), QItemSelectionModel::NoUpdate);
    CurrentView()->scrollTo(panel_.index(nRow + 1, 0));
  }
}

void CListView::ApplyColumnWidths() {
  applyingWidths_ = true;
  panel_.SetViewWidth(details_->viewport()->width());
  const QVector<int> widths = panel_.ColumnWidths();
  const QList<CListColumn> columns = panel_.Columns();
  for (int i = 0; i < widths.size(); ++i) {
    int nWidth = widths[i];
    // A column the user never sized is at least as wide as its header and the texts on
    // screen: the default widths were made for a handheld's small font, and a date cut short
    // says nothing. The name column takes the rest below.
    if (i > 0 && i < columns.size() && nWidth == columns[i].defaultWidth)
      nWidth = std::max({nWidth, static_cast<QAbstractItemView*>(details_)->sizeHintForColumn(i),
                         details_->header()->sectionSizeHint(i)});
    if (nWidth > 0) details_->header()->resizeSection(i, nWidth);
    if (i == widths.size() - 1) lastWanted_ = nWidth;
  }
  applyingWidths_ = false;
  FitFirstColumn();
}

void CListView::FitFirstColumn() {
  // The first column takes up the room the others leave. Where there is too little, a first
  // column the user never sized gives way down to its header's width, then the last column is
  // cut to the room left, so that the columns fit without scrolling sideways while they can.
  QHeaderView* pHeader = details_->header();
  const QVector<int> widths = panel_.ColumnWidths();
  const QList<CListColumn> columns = panel_.Columns();
  const int nCount = pHeader->count();
  if (nCount == 0 || widths.isEmpty()) return;
  const int nLast = nCount - 1;
  const int nLastWanted = nLast > 0 && lastWanted_ > 0 ? lastWanted_ : pHeader->sectionSize(nLast);
  int nOthers = 0;
  for (int i = 1; i < nCount; ++i) nOthers += i == nLast ? nLastWanted : pHeader->sectionSize(i);
  const bool bNameSized = columns.isEmpty() || widths[0] != columns[0].defaultWidth;
  const int nNameFloor =
      bNameSized ? widths[0] : qMin(widths[0], qMax(pHeader->sectionSizeHint(0), kNameFloor));
  const int nView = details_->viewport()->width();
  const int nFill = qMax(nNameFloor, nView - nOthers);
  applyingWidths_ = true;
  pHeader->resizeSection(0, nFill);
  if (nLast > 0) {
    const int nRoom = nView - nFill - (nOthers - nLastWanted);
    const int nLastFloor = qMin(nLastWanted, pHeader->sectionSizeHint(nLast));
    pHeader->resizeSection(nLast, qBound(nLastFloor, nRoom, nLastWanted));
  }
  applyingWidths_ = false;
}

void CListView::ReportVisibleRows() {
  QAbstractItemView* pView = CurrentView();
  if (!pView || panel_.rowCount() == 0) return;
  const QRect area = pView->viewport()->rect();
  const QModelIndex first = pView->indexAt(area.topLeft() + QPoint(1, 1));
  QModelIndex last = pView->indexAt(area.bottomRight() - QPoint(1, 1));
  if (!last.isValid()) last = pView->indexAt(area.bottomLeft() + QPoint(1, -1));
  const int nFirst = first.isValid() ? first.row() : 0;
  const int nLast = last.isValid() ? last.row() : panel_.rowCount() - 1;
  panel_.SetVisibleRows(nFirst, qMax(nFirst, nLast));
}

bool CListView::eventFilter(QObject* pWatched, QEvent* pEvent) {
  if (pEvent->type() == QEvent::FocusIn) emit viewFocused(viewNumber_);
  // Both views exist once the constructor is through; events come earlier.
  const bool bViewport = (details_ && pWatched == details_->viewport()) ||
                         (icons_ && pWatched == icons_->viewport());
  if (bViewport && HandleDragEvent(static_cast<QWidget*>(pWatched), pEvent)) return true;
  if (pEvent->type() == QEvent::Resize && pWatched == details_->viewport()) {
    if (settings.MainListAutoSizeColumn == 0) FitFirstColumn();
    ReportVisibleRows();
  }
  return QWidget::eventFilter(pWatched, pEvent);
}

// --- Drag and drop ---

namespace {

// This program's own drag format: the device paths, one per line, UTF-8.
constexpr char kItemsMimeType[] = "application/x-pinewood-browser-items";

}  // namespace

QStringList CListView::SelectedPaths() const {
  // Rows leave the list by drag only where the source lets them be copied out.
  QStringList paths;
  if (!panel_.Source()->Offers(EListCommand::eCopy)) return paths;
  QList<int> rows;
  for (const QModelIndex& index : selection_->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  for (const fileops::CSelItem& item : panel_.Source()->Selection(panel_.Entries(), rows))
    paths << item.strPath;
  return paths;
}

QMimeData* CListView::ItemsMimeData(const QStringList& devicePaths) {
  if (devicePaths.isEmpty()) return nullptr;
  auto* pMime = new QMimeData;
  pMime->setData(QString::fromLatin1(kItemsMimeType), devicePaths.join('\n').toUtf8());
  QList<QUrl> urls;
  for (const QString& strPath : devicePaths) {
    QByteArray host;
    // Only items that are files on the host (not members of an archive) go to other programs.
    if (plat::CDeviceRoot::ToHost(strPath, &host) && QFile::exists(QFile::decodeName(host)))
      urls << QUrl::fromLocalFile(QFile::decodeName(host));
  }
  pMime->setUrls(urls);
  return pMime;
}

QStringList CListView::ItemsOfMimeData(const QMimeData* pMime) {
  QStringList paths;
  if (!pMime) return paths;
  if (pMime->hasFormat(QString::fromLatin1(kItemsMimeType))) {
    const QString strList = QString::fromUtf8(pMime->data(QString::fromLatin1(kItemsMimeType)));
    for (const QString& strPath : strList.split('\n', Qt::SkipEmptyParts)) {
      // Only paths the device root accepts, in their canonical form.
      QString strCanonical;
      if (plat::CDeviceRoot::Canonical(strPath, &strCanonical)) paths << strCanonical;
    }
    return paths;
  }
  // Files from other programs count when they lie inside the device root.
  for (const QUrl& url : pMime->urls()) {
    QString strDevice;
    if (url.isLocalFile() && plat::CDeviceRoot::ToDevice(url.toLocalFile(), &strDevice))
      paths << strDevice;
  }
  return paths;
}

QString CListView::DropTargetFolder(const QPoint& viewportPos) const {
  const QModelIndex index = CurrentView()->indexAt(viewportPos);
  return panel_.Source()->DropFolder(index.isValid() ? panel_.Entries().At(index.row()) : nullptr);
}

bool CListView::HandleDragEvent(QWidget* pViewport, QEvent* pEvent) {
  const bool bEnabled = settings.DragAndDrop != 0;
  switch (pEvent->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* pMouse = static_cast<QMouseEvent*>(pEvent);
      clickModifiers_ = pMouse->modifiers();
      if (pEvent->type() == QEvent::MouseButtonDblClick) return false;
      // A press on an entry may become a drag; a press on empty space selects with a band.
      dragArmed_ = bEnabled && pMouse->button() == Qt::LeftButton &&
                   CurrentView()->indexAt(pMouse->position().toPoint()).isValid();
      dragStart_ = pMouse->position().toPoint();
      return false;
    }
    case QEvent::MouseMove: {
      auto* pMouse = static_cast<QMouseEvent*>(pEvent);
      if (!dragArmed_ || !(pMouse->buttons() & Qt::LeftButton)) return false;
      if ((pMouse->position().toPoint() - dragStart_).manhattanLength() <
          QApplication::startDragDistance())
        return true;  // not a drag yet, and not a band selection either
      dragArmed_ = false;
      StartDrag();
      return true;
    }
    case QEvent::MouseButtonRelease:
      dragArmed_ = false;
      clickModifiers_ = static_cast<QMouseEvent*>(pEvent)->modifiers();
      return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* pDrag = static_cast<QDragMoveEvent*>(pEvent);
      const bool bTake = bEnabled && !ItemsOfMimeData(pDrag->mimeData()).isEmpty() &&
                         !DropTargetFolder(pDrag->position().toPoint()).isEmpty();
      if (bTake)
        pDrag->acceptProposedAction();
      else
        pDrag->ignore();
      return true;
    }
    case QEvent::Drop: {
      auto* pDrop = static_cast<QDropEvent*>(pEvent);
      const QStringList paths = ItemsOfMimeData(pDrop->mimeData());
      const QString strTarget = DropTargetFolder(pDrop->position().toPoint());
      if (!bEnabled || paths.isEmpty() || strTarget.isEmpty()) {
        pDrop->ignore();
        return true;
      }
      // Shift asks for a move, as the desktop proposes it; anything else copies.
      const Qt::DropAction action =
          pDrop->proposedAction() == Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction;
      pDrop->setDropAction(action);
      pDrop->accept();
      emit itemsDropped(paths, strTarget, action);
      return true;
    }
    default:
      Q_UNUSED(pViewport);
      return false;
  }
}

void CListView::StartDrag() {
  QMimeData* pMime = ItemsMimeData(SelectedPaths());
  if (!pMime) return;
  auto* pDrag = new QDrag(this);
  pDrag->setMimeData(pMime);
  // The copy or move itself is done by the view that takes the drop.
  pDrag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}
