#include "ui/panel_controller.h"

#include "browse/folder_tree.h"
#include "core/settings.h"
#include "platform/file_system.h"
#include "ui/list_view.h"
#include "ui/tree_view.h"

CPanelController::CPanelController(EPanelId ePanel, IPanelControllerObserver* pObserver)
    : panel_(ePanel), observer_(pObserver) {
  tree_ = std::make_unique<CFolderTree>(ePanel);
  tree_->FollowChanges();
  CListPanelOptions options;
  options.bFollowChanges = true;
  IListPanelObserver* pListObserver = this;
  list_ = std::make_unique<CListPanel>(ePanel, pListObserver, options);
  QObject::connect(tree_.get(), &CFolderTree::showInList, tree_.get(),
                   [this](EPanelId, const CTreeTarget& target) { ShowTreeTargetInList(target); });
}

CPanelController::~CPanelController() {
  closing_ = true;  // what the list and the tree report while they go is dropped
}

void CPanelController::SetViews(CFolderTreeView* pTreeView, CListView* pListView) {
  treeView_ = pTreeView;
  listView_ = pListView;
}

void CPanelController::Close() {
  closing_ = true;
  if (opened_) list_->SaveColumnWidthsNow();
}

// --- Opening ---

void CPanelController::SetStartFolder(const QString& strStartFolder) {
  startFolder_ = strStartFolder;
  started_ = true;
}

bool CPanelController::Open() {
  if (!started_ || opened_) return false;
  opened_ = true;
  list_->SetViewReady();
  // The stored location must survive until it has been read.
  startingPanel_ = true;
  if (treeShown_ || !OpenListAlone()) {
    BuildTree();
    tree_->RestoreLocation(startFolder_);
    if (!list_->ShowsListing()) list_->LoadFolder(startFolder_, true, true);
  }
  startingPanel_ = false;
  browse::StorePanelLocation(panel_, location_);
  return true;
}

bool CPanelController::OpenListAlone() {
  // A hidden tree is built later (EnsureTree); the list opens at the stored folder directly
  // when it is a folder that is there. Other places go through the tree, which knows how to
  // fall back to what is left of them.
  QString strPath = startFolder_;
  if (settings.RememberLastOpenedFolder == 1) {
    const CPanelLocation stored = browse::StoredPanelLocation(panel_);
    if (!stored.IsFileSystem()) return false;
    if (!stored.path.isEmpty()) strPath = stored.path;
  }
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  return list_->LoadFolder(strPath, true, true);
}

void CPanelController::BuildTree() {
  if (treeBuilt_) return;
  treeBuilt_ = true;
  // The device root that Build selects is not a place the list goes to.
  tree_->SetSyncWithList(false);
  tree_->Build();
  tree_->SetSyncWithList(true);
}

void CPanelController::EnsureTree() {
  if (!opened_ || treeBuilt_) return;
  BuildTree();
  FollowInTree(location_);
}

// --- Between the tree and the list ---

void CPanelController::ShowTreeTargetInList(const CTreeTarget& target) {
  if (closing_ || followingList_) return;
  // A file node lists nothing (its list location has kind 0, which no source lists).
  list_->ShowLocation(target.listLocation, false, true);
}

void CPanelController::FollowInTree(const CPanelLocation& location) {
  // The tree moves to the list's place without sending it back to the list: a folder the
  // tree filter hides would otherwise turn into its nearest shown parent.
  const bool bSync = tree_->IsSyncWithList();
  tree_->SetSyncWithList(false);
  followingList_ = true;
  tree_->SelectLocation(location);
  followingList_ = false;
  tree_->SetSyncWithList(bSync);
}

void CPanelController::OnPanelLocation(EPanelId, const CPanelLocation& location) {
  if (closing_) return;
  location_ = location;
  if (!startingPanel_) browse::StorePanelLocation(panel_, location);
  if (!followingList_ && treeBuilt_) {
    const CTreeTarget current = tree_->TargetOf(tree_->Current());
    if (!(current.location == location)) FollowInTree(location);
  }
  if (observer_) observer_->OnPanelLocation(panel_, location);
}

void CPanelController::OnPanelStatusText(EPanelId, const QString& strText) {
  if (!closing_ && observer_) observer_->OnPanelStatusText(panel_, strText);
}

void CPanelController::OnPanelOpenFile(EPanelId, const QString& strFullPath) {
  if (!closing_ && observer_) observer_->OnPanelOpenFile(panel_, strFullPath);
}

void CPanelController::OnPanelRefused(EPanelId, const QString& strFullPath, DWORD dwError) {
  if (!closing_ && observer_) observer_->OnPanelRefused(panel_, strFullPath, dwError);
}

// --- Navigation ---

bool CPanelController::Back() { return list_->Back(); }

bool CPanelController::Forward() { return list_->Forward(); }

void CPanelController::Up() { list_->Up(); }

void CPanelController::Refresh(EPanelPart part) {
  if (part == EPanelPart::eTree)
    tree_->RefreshCurrent();
  else
    list_->Refresh();
}

void CPanelController::OpenCurrent(EPanelPart part) {
  if (part == EPanelPart::eList) {
    if (listView_) listView_->OpenCurrent();
    return;
  }
  // In a tree, Enter opens or closes the selected node.
  const QModelIndex current = tree_->Current();
  if (current.isValid() && treeView_)
    treeView_->setExpanded(current, !treeView_->isExpanded(current));
}

QString CPanelController::Folder(EPanelPart part) const {
  if (part == EPanelPart::eTree) return tree_->TargetOf(tree_->Current()).location.FolderPath();
  return list_->CurrentPath();
}

void CPanelController::ApplyViewChanges() {
  tree_->ApplyViewChanges();
  list_->ApplyViewChanges();
}
