// The frame's layouts: which views the slots hold, which are shown, the splitter positions and
// the active view.
#include <QEvent>
#include <QListView>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

#include "browse/folder_tree.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "ui/list_view.h"
#include "ui/search_bar.h"
#include "ui/search_view.h"
#include "ui/main_frame.h"
#include "ui/panel_controller.h"
#include "ui/tree_view.h"
#include "ui/view_marks.h"

QWidget* CMainFrame::ViewWidget(int nView) const {
  switch (nView) {
    case eView_TreeA: return panels_[ePanel_A]->TreeView();
    case eView_TreeB: return panels_[ePanel_B]->TreeView();
    case eView_ListA: return panels_[ePanel_A]->ListView();
    case eView_ListB: return panels_[ePanel_B]->ListView();
    case eView_Fifth: return searchView_;
    default: return nullptr;
  }
}

bool CMainFrame::IsViewShown(int nView) const {
  if (nView < eView_TreeA || nView > eView_Fifth) return false;
  return frame::VisibleViews(layout_)[nView - 1];
}

int CMainFrame::SlotOfView(int nView) const {
  return frame::SlotOfView(frame::Layout(layout_).assignment, nView);
}

void CMainFrame::SetLayout(DWORD dwLayout) {
  if (dwLayout >= kLayoutCount) return;
  if (dwLayout == 10 && layout_ != 10) searchPanel_ = ActivePanel();
  previousLayout_ = layout_;
  layout_ = dwLayout;
  settings.MainViewConfig = dwLayout;
  TellPanelsTheLayout();
  PlaceViews();
  const CFrameLayout layout = frame::Layout(dwLayout);
  int nActive = layout.activeView;
  if (nActive == eView_None) nActive = IsViewShown(activeView_) ? activeView_ : FirstShownView();
  SetActiveView(nActive);
  ApplySplitters();
  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    if (IsPanelShown(ePanel)) OpenPanel(ePanel);
    if (IsViewShown(ePanel == ePanel_A ? eView_TreeA : eView_TreeB)) EnsureTree(ePanel);
  }
  UpdateCommandStates();
}

void CMainFrame::TellPanelsTheLayout() {
  // A panel opened while its tree is hidden lists its folder without the tree.
  panels_[ePanel_A]->SetTreeShown(IsViewShown(eView_TreeA));
  panels_[ePanel_B]->SetTreeShown(IsViewShown(eView_TreeB));
}

void CMainFrame::PlaceViews() {
  placing_ = true;
  const CFrameLayout layout = frame::Layout(layout_);
  // Layout 10: the fifth view alone, in slot 0.
  const bool bFifth = layout_ == 10;
  for (int nSlot = 0; nSlot < kSlotCount; ++nSlot) {
    QWidget* pView = ViewWidget(frame::ViewInSlot(layout.assignment, nSlot));
    // Slots 0 and 1 form the top row, 2 and 3 the bottom row, left to right.
    rowSplitters_[nSlot / 2]->insertWidget(nSlot % 2, pView);
    pView->setVisible(layout.visible[nSlot] && !bFifth);
  }
  // The fifth view sits in the top row only while it is shown, so that the rows' splitters
  // hold the four views alone otherwise.
  if (searchView_ && bFifth) {
    rowSplitters_[0]->insertWidget(0, searchView_);
    searchView_->setVisible(true);
  } else if (searchView_ && searchView_->parentWidget() != grid_) {
    searchView_->setVisible(false);
    searchView_->setParent(grid_);
  }
  for (int nRow = 0; nRow < 2; ++nRow)
    rowSplitters_[nRow]->setVisible(layout.visible[nRow * 2] || layout.visible[nRow * 2 + 1]);
  placing_ = false;
}

int CMainFrame::FirstShownView() const {
  const CFrameLayout layout = frame::Layout(layout_);
  for (int nSlot = 0; nSlot < kSlotCount; ++nSlot)
    if (layout.visible[nSlot]) return frame::ViewInSlot(layout.assignment, nSlot);
  return eView_ListA;
}

bool CMainFrame::SetActiveView(int nView) {
  if (!IsViewShown(nView)) return false;
  activeView_ = nView;
  settings.MainViewActive = DWORD(nView);
  placing_ = true;
  if (QWidget* pView = ViewWidget(nView)) pView->setFocus(Qt::OtherFocusReason);
  placing_ = false;
  MarkActivePanel();
  UpdateLocationDisplays();
  UpdateCommandStates();
  return true;
}

void CMainFrame::MarkActivePanel() {
  const bool bFifth = activeView_ == eView_Fifth;
  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    const bool bActive = !bFifth && ActivePanel() == ePanel;
    if (CListView* pList = ListView(ePanel)) {
      MarkViewActive(pList->DetailsView(), bActive);
      MarkViewActive(pList->IconView(), bActive);
    }
    MarkViewActive(TreeView(ePanel), bActive);
  }
}

void CMainFrame::ApplySplitters() {
  // Percent of the client area: X is the share of the left column, Y that of the top row.
  const int nX = int(qBound<DWORD>(5, settings.MainViewSplitterPercentX, 95));
  const int nY = int(qBound<DWORD>(5, settings.MainViewSplitterPercentY, 95));
  // A splitter spreads its space by the relative weight of the sizes it is given.
  for (QSplitter* pRow : rowSplitters_) pRow->setSizes({nX * 100, (100 - nX) * 100});
  rows_->setSizes({nY * 100, (100 - nY) * 100});
}

void CMainFrame::OnSplitterMoved(QSplitter* pMoved) {
  const QList<int> sizes = pMoved->sizes();
  if (sizes.size() != 2 || sizes[0] + sizes[1] <= 0) return;
  // Only a split between two shown slots is a position the user chose.
  if (sizes[0] == 0 || sizes[1] == 0) return;
  const DWORD dwPercent = DWORD(sizes[0] * 100 / (sizes[0] + sizes[1]));
  if (pMoved == rows_) {
    settings.MainViewSplitterPercentY = dwPercent;
  } else {
    settings.MainViewSplitterPercentX = dwPercent;
    // Both rows share one column split.
    for (QSplitter* pRow : rowSplitters_)
      if (pRow != pMoved) pRow->setSizes(sizes);
  }
  SaveSplitter();
}

void CMainFrame::resizeEvent(QResizeEvent* pEvent) {
  QMainWindow::resizeEvent(pEvent);
  ApplySplitters();
}

void CMainFrame::showEvent(QShowEvent* pEvent) {
  QMainWindow::showEvent(pEvent);
  ApplySplitters();
  if (QWidget* pView = ViewWidget(activeView_)) pView->setFocus(Qt::OtherFocusReason);
  // The panels the layout hides are opened once the window has been painted (event()); a
  // window that is never painted opens them a second later.
  openAfterPaint_ = true;
  QTimer::singleShot(1000, this, [this] { OpenHiddenPanels(); });
}

bool CMainFrame::event(QEvent* pEvent) {
  if (pEvent->type() == QEvent::Paint && openAfterPaint_) {
    openAfterPaint_ = false;
    // After the rest of the window has been painted in this pass.
    QTimer::singleShot(0, this, [this] { OpenHiddenPanels(); });
  }
  return QMainWindow::event(pEvent);
}

void CMainFrame::OpenHiddenPanels() {
  openAfterPaint_ = false;
  EnsureTree(ePanel_A);
  EnsureTree(ePanel_B);
}

void CMainFrame::SwitchPanel() {
  const bool bList = activeView_ == eView_ListA || activeView_ == eView_ListB;
  const bool bOnA = ActivePanel() == ePanel_A;
  const int nSame = bList ? (bOnA ? eView_ListB : eView_ListA) : (bOnA ? eView_TreeB : eView_TreeA);
  const int nOther = bList ? (bOnA ? eView_TreeB : eView_TreeA) : (bOnA ? eView_ListB : eView_ListA);
  if (SetActiveView(nSame) || SetActiveView(nOther)) return;
  // Only one panel is shown: move to its next shown view.
  const CFrameLayout layout = frame::Layout(layout_);
  const int nSlot = SlotOfView(activeView_);
  for (int i = 1; i < kSlotCount; ++i) {
    const int nNext = (nSlot + i) % kSlotCount;
    if (layout.visible[nNext] && SetActiveView(frame::ViewInSlot(layout.assignment, nNext))) return;
  }
}
