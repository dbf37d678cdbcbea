#include "ui/main_frame.h"

#include <QHBoxLayout>
#include <QCompleter>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStringListModel>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "browse/address_completion.h"
#include "browse/folder_tree.h"
#include "browse/selection_summary.h"
#include "core/message_box.h"
#include "platform/errors.h"
#include "browse/list_source_factory.h"
#include "core/settings.h"
#include "core/texts.h"
#include "ui/list_sources.h"
#include "ui/list_view.h"
#include "ui/search_bar.h"
#include "ui/search_view.h"
#include "ui/tree_view.h"

namespace {

constexpr char16_t kFrameTitle[] = u"Pinewood Browser";

}  // namespace

CMainFrame::CMainFrame(const QString& strStartFolder, QWidget* pParent)
    : QMainWindow(pParent) {
  setWindowTitle(QString::fromUtf16(kFrameTitle));
  RegisterDesktopListSources();
  IFileCommandsHost& host = *this;
  commands_ = std::make_unique<CFileCommands>(host, this);
  archiveCommands_ = std::make_unique<CArchiveCommands>(host, *commands_, this);
  setupModels();
  setupViews();
  setupBars();
  setupActions();
  setupMenus();
  setupToolBar();
  setupContextMenus();
  ApplyOptions();
  previousLayout_ = layout_;
  OpenStartLocations(strStartFolder);
  UpdateLocationDisplays();
}

CMainFrame::~CMainFrame() {
  // What the panels report while they go is not shown any more.
  for (const std::unique_ptr<CPanelController>& panel : panels_) panel->Close();
  // The views go first: they hold references to the models of the panels.
  delete takeCentralWidget();
  for (const std::unique_ptr<CPanelController>& panel : panels_) panel->SetViews(nullptr, nullptr);
  headerBar_ = nullptr;
  searchBar_ = nullptr;
  searchView_ = nullptr;
  selectionBar_ = nullptr;
  grid_ = nullptr;
}

// --- Set-up ---

void CMainFrame::setupModels() {
  IPanelControllerObserver* pObserver = this;
  for (EPanelId ePanel : {ePanel_A, ePanel_B})
    panels_[ePanel] = std::make_unique<CPanelController>(ePanel, pObserver);
  TellPanelsTheLayout();
}

void CMainFrame::setupViews() {
  auto* pCentral = new QWidget(this);
  auto* pColumn = new QVBoxLayout(pCentral);
  pColumn->setContentsMargins(0, 0, 0, 0);
  pColumn->setSpacing(0);

  headerBar_ = new QLabel(pCentral);
  headerBar_->setMargin(3);
  headerBar_->setAutoFillBackground(true);
  headerBar_->setBackgroundRole(QPalette::AlternateBase);
  headerBar_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  pColumn->addWidget(headerBar_);

  // The search bar: the search text (with the last ones searched for) and its button.
  searchBar_ = new CSearchBar(pCentral);
  pColumn->addWidget(searchBar_);

  grid_ = new QWidget(pCentral);
  auto* pGridLayout = new QVBoxLayout(grid_);
  pGridLayout->setContentsMargins(0, 0, 0, 0);
  rows_ = new QSplitter(Qt::Vertical, grid_);
  rows_->setChildrenCollapsible(false);
  pGridLayout->addWidget(rows_);
  for (int nRow = 0; nRow < 2; ++nRow) {
    rowSplitters_[nRow] = new QSplitter(Qt::Horizontal, rows_);
    rowSplitters_[nRow]->setChildrenCollapsible(false);
    rows_->addWidget(rowSplitters_[nRow]);
    connect(rowSplitters_[nRow], &QSplitter::splitterMoved, this,
            [this, nRow] { OnSplitterMoved(rowSplitters_[nRow]); });
  }
  connect(rows_, &QSplitter::splitterMoved, this, [this] { OnSplitterMoved(rows_); });
  pColumn->addWidget(grid_, 1);

  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    CPanelController& panel = *panels_[ePanel];
    const int nTreeView = ePanel == ePanel_A ? eView_TreeA : eView_TreeB;
    const int nListView = ePanel == ePanel_A ? eView_ListA : eView_ListB;
    auto* pTreeView = new CFolderTreeView(panel.Tree(), nTreeView, rowSplitters_[0]);
    auto* pListView = new CListView(panel.List(), nListView, rowSplitters_[1]);
    panel.SetViews(pTreeView, pListView);
    connect(pListView->Selection(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::UpdateSelectionSummary);
    // Folder totals arrive later and sizes change with the disk.
    connect(&panel.List(), &QAbstractItemModel::dataChanged, this,
            &CMainFrame::UpdateSelectionSummary);
    connect(pTreeView, &CFolderTreeView::viewFocused, this, &CMainFrame::OnViewFocused);
    connect(pListView, &CListView::viewFocused, this, &CMainFrame::OnViewFocused);
    // Queued: the operation runs after the drag has ended, not inside its event.
    connect(pListView, &CListView::itemsDropped, this, &CMainFrame::DropItems,
            Qt::QueuedConnection);
    const DWORD dwMode = ePanel == ePanel_A ? settings.MainListModeListViewA
                                            : settings.MainListModeListViewB;
    const DWORD dwHeader =
        ePanel == ePanel_A ? settings.MainListShowHeaderA : settings.MainListShowHeaderB;
    pListView->SetMode(int(dwMode));
    pListView->SetHeaderShown(dwHeader != 0);
  }

  setupSearch();

  // The selection bar: the three selection commands of the active list (added in
  // setupToolBar once the actions exist).
  selectionBar_ = new QWidget(pCentral);
  auto* pSelectionRow = new QHBoxLayout(selectionBar_);
  pSelectionRow->setContentsMargins(3, 2, 3, 2);
  pColumn->addWidget(selectionBar_);
  setCentralWidget(pCentral);
}

void CMainFrame::setupBars() {
  toolBar_ = addToolBar(core::Text(900580));
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  toolBar_->setMovable(false);
  toolBar_->toggleViewAction()->setVisible(false);

  addToolBarBreak();
  addressBar_ = addToolBar(core::Text(900581));
  addressBar_->setObjectName(QStringLiteral("addressBar"));
  addressBar_->setMovable(false);
  addressBar_->toggleViewAction()->setVisible(false);
  addressEdit_ = new QLineEdit(addressBar_);
  addressBar_->addWidget(addressEdit_);
  connect(addressEdit_, &QLineEdit::returnPressed, this, &CMainFrame::NavigateToAddress);
  // Folder names complete as they are typed.
  addressCompletions_ = new QStringListModel(this);
  auto* pCompleter = new QCompleter(addressCompletions_, this);
  pCompleter->setCaseSensitivity(Qt::CaseInsensitive);
  addressEdit_->setCompleter(pCompleter);
  connect(addressEdit_, &QLineEdit::textEdited, this, [this](const QString& strText) {
    addressCompletions_->setStringList(browse::FolderCompletions(strText.trimmed()));
  });

  statusLabel_ = new QLabel(this);
  statusBar()->addWidget(statusLabel_, 1);
  selectionLabel_ = new QLabel(this);
  statusBar()->addPermanentWidget(selectionLabel_);
}

void CMainFrame::OpenStartLocations(const QString& strStartFolder) {
  for (const std::unique_ptr<CPanelController>& panel : panels_)
    panel->SetStartFolder(strStartFolder);
  // A panel the layout hides is opened once the window has been painted (showEvent), or
  // earlier when a layout shows it or a command needs it: the first paint waits for the
  // listings on screen only.
  for (EPanelId ePanel : {ePanel_A, ePanel_B})
    if (IsPanelShown(ePanel)) OpenPanel(ePanel);
}

bool CMainFrame::IsPanelShown(EPanelId ePanel) const {
  return ePanel == ePanel_A ? IsViewShown(eView_TreeA) || IsViewShown(eView_ListA)
                            : IsViewShown(eView_TreeB) || IsViewShown(eView_ListB);
}

void CMainFrame::OpenPanel(EPanelId ePanel) {
  if (panels_[ePanel]->Open()) UpdateCommandStates();
}

void CMainFrame::EnsureTree(EPanelId ePanel) {
  OpenPanel(ePanel);
  panels_[ePanel]->EnsureTree();
}

// --- Routing ---

EPanelId CMainFrame::ActivePanel() const {
  if (activeView_ == eView_Fifth) return searchPanel_;
  return activeView_ == eView_TreeB || activeView_ == eView_ListB ? ePanel_B : ePanel_A;
}

CListPanel& CMainFrame::ActiveList() const {
  if (activeView_ == eView_Fifth && searchView_) return searchView_->List();
  return panels_[ActivePanel()]->List();
}

EPanelPart CMainFrame::ActivePart() const {
  return activeView_ == eView_TreeA || activeView_ == eView_TreeB ? EPanelPart::eTree
                                                                  : EPanelPart::eList;
}

void CMainFrame::OnPanelLocation(EPanelId ePanel, const CPanelLocation& location) {
  UpdateLocationDisplays();
  UpdateCommandStates();
}

void CMainFrame::OnPanelStatusText(EPanelId ePanel, const QString& strText) {
  if (activeView_ == eView_Fifth) return;  // the fifth view's list has the status line
  if (ePanel == ActivePanel() && statusLabel_) statusLabel_->setText(strText);
}

void CMainFrame::OnPanelOpenFile(EPanelId ePanel, const QString& strFullPath) {
  commands_->OpenFile(strFullPath);
}

void CMainFrame::OnPanelRefused(EPanelId, const QString& strFullPath, DWORD dwError) {
  MsgError(plat::SystemMessage(dwError).trimmed(), core::Text(900552),
           core::Text(901301).arg(strFullPath));
}

CCommandTarget CMainFrame::CommandTarget() const {
  const EPanelId eActive = ActivePanel();
  CCommandTarget target{panels_[eActive].get(),
                        panels_[eActive == ePanel_A ? ePanel_B : ePanel_A].get(), ActivePart()};
  if (activeView_ == eView_Fifth && searchView_) {
    target.pList = &searchView_->List();
    target.pListView = searchView_->ListView();
  }
  return target;
}

void CMainFrame::FocusActiveView() {
  activateWindow();
  if (QWidget* pView = ViewWidget(activeView_)) pView->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::ApplyViewChanges() {
  for (const std::unique_ptr<CPanelController>& panel : panels_) panel->ApplyViewChanges();
}

void CMainFrame::UpdateLocationDisplays() {
  const EPanelId ePanel = ActivePanel();
  const CListPanel& list = ActiveList();
  const QString strText = list.Source()->LocationText();
  if (addressEdit_) addressEdit_->setText(strText);
  if (headerBar_) {
    const QString strPanel = activeView_ == eView_Fifth ? QString()
                             : ePanel == ePanel_A       ? QStringLiteral("A: ")
                                                        : QStringLiteral("B: ");
    headerBar_->setText(strPanel + strText);
  }
  setWindowTitle(strText.isEmpty() ? QString::fromUtf16(kFrameTitle)
                                   : strText + QStringLiteral(" - ") +
                                         QString::fromUtf16(kFrameTitle));
  if (statusLabel_) statusLabel_->setText(list.StatusText());
  UpdateSelectionSummary();
}

void CMainFrame::UpdateSelectionSummary() {
  if (!selectionLabel_) return;
  QString strText;
  if (ActivePart() == EPanelPart::eList && activeView_ != eView_Fifth) {
    const CListView* pView = ListView(ActivePanel());
    if (pView && pView->Selection()) {
      QList<int> rows;
      for (const QModelIndex& index : pView->Selection()->selectedRows()) rows << index.row();
      strText = browse::SelectionSummaryText(browse::SummarizeRows(ActiveList(), rows));
    }
  }
  selectionLabel_->setText(strText);
}

QString CMainFrame::SelectionSummaryLine() const {
  return selectionLabel_ ? selectionLabel_->text() : QString();
}

void CMainFrame::NavigateToAddress() {
  const QString strText = addressEdit_->text().trimmed();
  CPanelLocation location;
  CListPanel& list = panels_[ActivePanel()]->List();
  const auto refuse = [&](DWORD dwError) {
    // The panel stays where it is, and so does what the address bar says of it.
    addressEdit_->setText(list.Source()->LocationText());
    MsgError(plat::SystemMessage(dwError).trimmed(), core::Text(901300),
             core::Text(901301).arg(strText));
  };
  if (!ListSources().ParseAddress(strText, &location)) {
    refuse(ERROR_INVALID_NAME);
    return;
  }
  const std::unique_ptr<IListSource> probe = ListSources().Make(location);
  if (!probe) {
    refuse(ERROR_PATH_NOT_FOUND);
    return;
  }
  if (const DWORD dwError = probe->OpenError()) {
    refuse(dwError);
    return;
  }
  list.ShowLocation(location, true, true);
}

QString CMainFrame::AddressText() const { return addressEdit_ ? addressEdit_->text() : QString(); }

QString CMainFrame::StatusLineText() const {
  return statusLabel_ ? statusLabel_->text() : QString();
}

QString CMainFrame::HeaderText() const { return headerBar_ ? headerBar_->text() : QString(); }

void CMainFrame::OnViewFocused(int nView) {
  if (placing_ || nView == activeView_) return;
  if (!IsViewShown(nView)) return;
  activeView_ = nView;
  settings.MainViewActive = DWORD(nView);
  MarkActivePanel();
  UpdateLocationDisplays();
  UpdateCommandStates();
}

QCompleter* CMainFrame::AddressCompleter() const {
  return addressEdit_ ? addressEdit_->completer() : nullptr;
}
