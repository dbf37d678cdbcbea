// The frame's context menus: a tree's fixed menu, and a list's as its source describes it
// (IListSource::ContextMenu), each entry one of the frame's actions.
#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "ui/list_sources.h"
#include "ui/list_view.h"
#include "ui/search_bar.h"
#include "ui/search_view.h"
#include "ui/main_frame.h"
#include "ui/tree_view.h"

void CMainFrame::setupContextMenus() {
  auto separator = [this] {
    auto* pSeparator = new QAction(this);
    pSeparator->setSeparator(true);
    return pSeparator;
  };
  auto actions = [this, &separator](std::initializer_list<int> ids) {
    QList<QAction*> list;
    for (int nId : ids) list << (nId == 0 ? separator() : Action(nId));
    return list;
  };
  // 0 marks a separator. A list's menu is the one its source describes (ContextMenuActions).
  treeMenu_ = actions({eCmd_Open, 0, eCmd_CopyToOther, eCmd_MoveToOther, eCmd_NewFolder,
                       eCmd_Rename, eCmd_Delete, eCmd_Shred, eCmd_Encrypt, eCmd_Decrypt, 0,
                       eCmd_ExtractHere, eCmd_ExtractTo, eCmd_TestArchive, eCmd_Compress, 0,
                       eCmd_Refresh, 0, eCmd_Properties});
  treeMenu_ << separator() << TreeFavoritesMenu()->menuAction() << Action(eCmd_AddFavorite);
  treeDeviceMenu_ = actions({0, eCmd_DeviceProperties});
  for (const std::unique_ptr<CPanelController>& panel : panels_) {
    CListView* pList = panel->ListView();
    const int nList = pList->ViewNumber();
    for (QAbstractItemView* pView : {static_cast<QAbstractItemView*>(pList->DetailsView()),
                                     static_cast<QAbstractItemView*>(pList->IconView())}) {
      pView->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(pView, &QWidget::customContextMenuRequested, this,
              [this, nList, pView](const QPoint& pos) { ShowContextMenu(nList, pView, pos); });
    }
    QAbstractItemView* pTree = panel->TreeView();
    const int nTree = panel->TreeView()->ViewNumber();
    pTree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pTree, &QWidget::customContextMenuRequested, this,
            [this, nTree, pTree](const QPoint& pos) { ShowContextMenu(nTree, pTree, pos); });
  }
}

QList<QAction*> CMainFrame::ContextMenuActions(int nView) const {
  if (nView == eView_TreeA || nView == eView_TreeB) {
    // A node whose place has a menu of its own (a registry key) shows that one; the device
    // node (the root) also leads to the device property page.
    const QList<EListCommand> place = commands_->TreePlaceMenu();
    if (!place.isEmpty()) return ListMenuActions(place);
    const EPanelId eTree = nView == eView_TreeB ? ePanel_B : ePanel_A;
    if (panels_[eTree]->Folder(EPanelPart::eTree) != QStringLiteral("\\")) return treeMenu_;
    return treeMenu_ + treeDeviceMenu_;
  }
  if (nView == eView_Fifth) return ListMenuActions(searchView_->List().Source()->ContextMenu());
  const EPanelId ePanel = nView == eView_ListB ? ePanel_B : ePanel_A;
  // The menu over the selected rows (the focused one when none is selected).
  const CListView* pView = panels_[ePanel]->ListView();
  QList<int> rows;
  for (const QModelIndex& index : pView->Selection()->selectedRows()) rows << index.row();
  if (rows.isEmpty() && pView->CurrentRow() >= 0) rows << pView->CurrentRow();
  const CListPanel& list = panels_[ePanel]->List();
  return ListMenuActions(list.Source()->ContextMenuFor(list.Entries(), rows));
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
