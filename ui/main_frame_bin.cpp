// The frame's commands of the recycle bin and of encryption: Delete by UseRecycleBin, Restore
// and delete for good in the bin's list, Encrypt and Decrypt; and the context menus, which
// offer the commands that fit what a view shows.
#include <QAbstractItemView>
#include <QMenu>

#include "browse/folder_tree.h"
#include "fileops/list_source_bin.h"
#include "crypto/enc_commands.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "ui/enc_dialogs.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"
#include "ui/tree_view.h"

bool CMainFrame::ActiveListIsBin() const {
  if (activeView_ != eView_ListA && activeView_ != eView_ListB) return false;
  return panels_[ActivePanel()].list->SourceKind() == ePanelSrc_RecycleBin;
}

void CMainFrame::DeleteSelection() {
  if (ActiveListIsBin()) {
    PurgeSelection();
    return;
  }
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  fileops::DeleteCommand(selection);
  AfterOperation();
}

void CMainFrame::RestoreSelection() {
  if (!ActiveListIsBin()) return;
  const fileops::CSelection selection =
      browse::BinSelection(*panels_[ActivePanel()].list, ActiveListRows());
  if (selection.empty()) return;
  fileops::RestoreItems(selection);
  AfterOperation();
}

void CMainFrame::PurgeSelection() {
  if (!ActiveListIsBin()) return;
  const fileops::CSelection selection =
      browse::BinSelection(*panels_[ActivePanel()].list, ActiveListRows());
  if (selection.empty()) return;
  fileops::PurgeBinItemsCommand(selection);
  AfterOperation();
}

void CMainFrame::EncryptSelection() {
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  crypto::EncryptItemsCommand(selection, *prompt_);
  AfterOperation();
}

void CMainFrame::DecryptSelection() {
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  crypto::DecryptItemsCommand(selection, *prompt_);
  AfterOperation();
}

void CMainFrame::SetPasswordPrompt(crypto::IPasswordPrompt* pPrompt) {
  if (!desktopPrompt_) desktopPrompt_ = std::make_unique<CDesktopPasswordPrompt>(this);
  prompt_ = pPrompt ? pPrompt : desktopPrompt_.get();
}

QList<QAction*> CMainFrame::ContextMenuActions(int nView) const {
  if (nView == eView_TreeA || nView == eView_TreeB) return treeMenu_;
  const EPanelId ePanel = nView == eView_ListB ? ePanel_B : ePanel_A;
  return panels_[ePanel].list->SourceKind() == ePanelSrc_RecycleBin ? binMenu_ : listMenu_;
}

void CMainFrame::ShowContextMenu(int nView, QAbstractItemView* pView, const QPoint& pos) {
  // The press that opened the menu has made the view the active one; its commands' states
  // are brought up to date before they are shown.
  OnViewFocused(nView);
  UpdateCommandStates();
  QMenu menu(this);
  menu.addActions(ContextMenuActions(nView));
  menu.exec(pView->viewport()->mapToGlobal(pos));
}
