// The frame's search: the search bar starts a search, the fifth view (layout 10) lists its
// results as they come, Escape or the bar's Stop ends it, and a result's folder opens in the
// panel the search started from.
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QShortcut>
#include <QSplitter>
#include <QTreeView>

#include "browse/list_panel.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/texts.h"
#include "platform/file_system.h"
#include "ui/device_properties.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"
#include "ui/search_bar.h"
#include "ui/search_view.h"

void CMainFrame::setupSearch() {
  searchView_ = new CSearchView(grid_);
  searchView_->setVisible(false);
  searchView_->setFocusProxy(searchView_->ListView());
  CListView* pList = searchView_->ListView();
  connect(pList, &CListView::viewFocused, this, &CMainFrame::OnViewFocused);
  for (QAbstractItemView* pView : {static_cast<QAbstractItemView*>(pList->DetailsView()),
                                   static_cast<QAbstractItemView*>(pList->IconView())}) {
    pView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pView, &QWidget::customContextMenuRequested, this,
            [this, pView](const QPoint& pos) { ShowContextMenu(eView_Fifth, pView, pos); });
  }
  connect(searchBar_, &CSearchBar::searchRequested, this, &CMainFrame::StartSearch);
  connect(searchBar_, &CSearchBar::stopRequested, this, &CMainFrame::StopSearch);
  connect(searchView_, &CSearchView::runningChanged, this, [this](bool bRunning) {
    searchBar_->SetRunning(bRunning);
    stopSearch_->setEnabled(bRunning);
    UpdateCommandStates();
  });
  connect(searchView_, &CSearchView::statusTextChanged, this, [this](const QString& strText) {
    if (activeView_ == eView_Fifth && statusLabel_) statusLabel_->setText(strText);
  });
  connect(searchView_, &CSearchView::openRequested, this, &CMainFrame::OpenSearchResult);
  connect(searchView_, &CSearchView::openRefused, this,
          [this](const QString& strPath, DWORD dwError) {
            OnPanelRefused(ePanel_A, strPath, dwError);
          });
  connect(searchView_, &CSearchView::closeRequested, this, &CMainFrame::CloseSearchResults);
  // Escape ends a running search wherever the keys are; otherwise it is left to the views.
  stopSearch_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  stopSearch_->setContext(Qt::WindowShortcut);
  stopSearch_->setEnabled(false);
  connect(stopSearch_, &QShortcut::activated, this, &CMainFrame::StopSearch);
}

void CMainFrame::AddSearchCommands() {
  AddCommand(eCmd_OpenContainingFolder, core::Text(900804), [this] { OpenContainingFolder(); });
  AddCommand(eCmd_SearchResults, core::Text(900807), [this] { ShowSearchResults(); });
  AddCommand(eCmd_DeviceProperties, core::Text(900822), [this] { ShowDeviceProperties(this); });
}

void CMainFrame::StartSearch(const QString& strText) {
  if (strText.trimmed().isEmpty()) return;
  // The panel the search starts from is the one active now (or the one the results came from).
  if (activeView_ != eView_Fifth) searchPanel_ = ActivePanel();
  QString strStart = QStringLiteral("\\");
  if (settings.SimpleSearchRoot == 0) {
    const QString strFolder = panels_[searchPanel_]->List().CurrentPath();
    if (!strFolder.isEmpty()) strStart = strFolder;
  }
  searchBar_->Remember(strText);
  ShowSearchResults();
  searchView_->Start(strText, strStart);
  UpdateLocationDisplays();
  UpdateCommandStates();
}

void CMainFrame::StopSearch() {
  if (searchView_) searchView_->Stop();
}

bool CMainFrame::IsSearchRunning() const { return searchView_ && searchView_->IsRunning(); }

void CMainFrame::ShowSearchResults() {
  if (layout_ != 10) SetLayout(10);
}

void CMainFrame::CloseSearchResults() {
  if (layout_ != 10) return;
  const EPanelId ePanel = searchPanel_;
  SetLayout(previousLayout_ == 10 ? 7 : previousLayout_);
  SetActiveView(ePanel == ePanel_A ? eView_ListA : eView_ListB);
}

void CMainFrame::OpenContainingFolder() {
  if (activeView_ != eView_Fifth) return;
  CListView* pView = searchView_->ListView();
  const CListPanel& list = searchView_->List();
  const CListEntry* pEntry = list.Entries().At(pView->CurrentRow());
  const QString strPath = pEntry ? list.Source()->FullPath(*pEntry) : QString();
  if (strPath.isEmpty()) return;
  ShowInPanel(searchPanel_, browse::ParentPath(strPath), browse::LastComponent(strPath));
}

void CMainFrame::OpenSearchResult(const QString& strFullPath) {
  const DWORD dwAttributes = plat::GetFileAttributes(strFullPath);
  if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    ShowInPanel(searchPanel_, strFullPath, {});
  else
    commands_->OpenFile(strFullPath);
}

void CMainFrame::ShowInPanel(EPanelId ePanel, const QString& strFolder, const QString& strFocus) {
  CloseSearchResults();
  // The panel's list is shown (a layout without it gives way to the single list of panel A,
  // or the two lists for panel B).
  const int nList = ePanel == ePanel_A ? eView_ListA : eView_ListB;
  if (!IsViewShown(nList)) SetLayout(ePanel == ePanel_A ? 7 : 2);
  SetActiveView(nList);
  CListPanel& list = List(ePanel);
  if (!list.ShowLocation(CPanelLocation::FileSystem(strFolder), true, true)) return;
  if (strFocus.isEmpty()) return;
  CListView* pView = ListView(ePanel);
  for (int nRow = 0; nRow < list.rowCount(); ++nRow) {
    const CListEntry* pEntry = list.Entries().At(nRow);
    if (!pEntry || browse::LastComponent(list.Source()->FullPath(*pEntry))
                           .compare(strFocus, Qt::CaseInsensitive) != 0)
      continue;
    pView->Selection()->setCurrentIndex(list.index(nRow, 0), QItemSelectionModel::ClearAndSelect);
    pView->CurrentView()->scrollTo(list.index(nRow, 0));
    break;
  }
  UpdateCommandStates();
}
