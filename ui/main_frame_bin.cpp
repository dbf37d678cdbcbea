// The frame's commands of the recycle bin and of encryption: Delete by UseRecycleBin, Restore
// and delete for good in the bin's list, Encrypt and Decrypt; and the context menus, which
// offer the commands that fit what a view shows.
#include <QAbstractItemView>
#include <QMenu>

#include "browse/folder_tree.h"
#include "crypto/enc_commands.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "ui/enc_dialogs.h"
#include "ui/list_sources.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"
#include "ui/tree_view.h"

bool CMainFrame::ActiveListOffers(EListCommand command) const {
  if (activeView_ != eView_ListA && activeView_ != eView_ListB) return false;
  return panels_[ActivePanel()]->List().Source()->Offers(command);
}

fileops::CSelection CMainFrame::ActiveListItems(EListCommand command) const {
  if (!ActiveListOffers(command)) return {};
  const CListPanel& list = panels_[ActivePanel()]->List();
  return list.Source()->Selection(list.Entries(), ActiveListRows());
}

void CMainFrame::DeleteSelection() {
  // Where the rows can only be deleted for good (the recycle bin), Delete does that.
  if (ActiveListOffers(EListCommand::eDeleteForGood)) {
    PurgeSelection();
    return;
  }
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  fileops::DeleteCommand(selection);
  AfterOperation();
}

void CMainFrame::RestoreSelection() {
  const fileops::CSelection selection = ActiveListItems(EListCommand::eRestore);
  if (selection.empty()) return;
  fileops::RestoreItems(selection);
  AfterOperation();
}

void CMainFrame::PurgeSelection() {
  const fileops::CSelection selection = ActiveListItems(EListCommand::eDeleteForGood);
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
  return ListMenuActions(panels_[ePanel]->List().Source()->ContextMenu());
}

QList<QAction*> CMainFrame::ListMenuActions(const QList<EListCommand>& commands) const {
  // One list of actions per distinct menu, made once: a menu keeps the same separators.
  std::vector<int> key;
  for (EListCommand command : commands) key.push_back(int(command));
  auto found = listMenus_.find(key);
  if (found != listMenus_.end()) return found->second;
  QList<QAction*> actions;
  for (EListCommand command : commands) {
    if (command == EListCommand::eSeparator) {
      auto* pSeparator = new QAction(const_cast<CMainFrame*>(this));
      pSeparator->setSeparator(true);
      actions << pSeparator;
    } else if (QAction* pAction = Action(CommandOfListCommand(command))) {
      actions << pAction;
    }
  }
  listMenus_.emplace(std::move(key), actions);
  return actions;
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
