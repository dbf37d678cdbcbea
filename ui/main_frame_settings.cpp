// The frame's settings and favorites: the Settings command and what the frame does when the
// sheet closes, the Favorites menus, "Add to favorites" and "Organize favorites".
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "browse/folder_tree.h"
#include "core/app_log.h"
#include "core/favorites.h"
#include "core/settings.h"
#include "core/texts.h"
#include "ui/button_options.h"
#include "ui/favorites_dialog.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"
#include "ui/panel_controller.h"
#include "ui/settings_sheet.h"
#include "ui/tree_view.h"

// What the frame does for the settings sheet's change flags.
class CFrameSettingsRefresh : public ISettingsRefresh {
 public:
  explicit CFrameSettingsRefresh(CMainFrame& frame) : frame_(frame) {}
  void RetargetLog() override { ::RetargetLog(settings.AppLog_Folder); }
  void ReloadSounds() override { ReloadSoundSettings(); }
  void RecreateFonts() override { frame_.ApplyFont(); }
  void Relayout() override {
    frame_.ApplyFont();
    frame_.ApplySplitters();
  }
  void ShowClearTypeNotice() override { ::ShowClearTypeNotice(); }
  void RefreshLists() override {
    for (auto& panel : frame_.panels_)
      if (panel->ListView()) panel->ListView()->ApplyListOptions();
  }
  void RefreshTrees() override {
    for (auto& panel : frame_.panels_)
      if (panel->IsTreeBuilt()) panel->Refresh(EPanelPart::eTree);
  }
  void RefreshContents() override {
    for (auto& panel : frame_.panels_) {
      if (!panel->IsOpen()) continue;
      // The tree is built again (every node read afresh) at the place the list shows.
      // Neither the list nor either history takes it as a move of the user's.
      if (panel->IsTreeBuilt()) {
        CFolderTree& tree = panel->Tree();
        const CPanelLocation location = panel->Location();
        const bool bSync = tree.IsSyncWithList();
        tree.SetSyncWithList(false);
        tree.SetHistoryRecording(false);
        tree.Build();
        tree.SelectLocation(location);
        tree.SetHistoryRecording(true);
        tree.SetSyncWithList(bSync);
      }
      panel->List().ShowLocation(panel->Location(), true, false);
    }
  }
  void ApplyTreeStyles() override {
    for (auto& panel : frame_.panels_)
      if (panel->TreeView()) panel->TreeView()->ApplyOptions();
  }
  void RebuildMenus() override { frame_.RebuildMenus(); }

 private:
  CMainFrame& frame_;
};

void CMainFrame::AddSettingsCommands() {
  InstallButtonOptions();
  QAction* pSettings = AddCommand(eCmd_Settings, core::Text(901120), [this] { OpenSettings(); });
  pSettings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
  pSettings->setMenuRole(QAction::PreferencesRole);
  AddCommand(eCmd_AddFavorite, core::Text(901131), [this] { AddToFavorites(); });
  AddCommand(eCmd_OrganizeFavorites, core::Text(901132), [this] { OrganizeFavorites(); });
}

void CMainFrame::OpenSettings() {
  CFrameSettingsRefresh refresh(*this);
  ShowSettings(refresh, this, settingsRunner_);
}

void CMainFrame::ShowHiddenItems(bool bShow) {
  // The "hidden" row of the File browser options: the trees and the lists together, every
  // node of the trees read afresh.
  settings.MainTreeShowHidden = bShow ? 1 : 0;
  settings.MainListShowHidden = bShow ? 1 : 0;
  Action(eCmd_ShowHidden)->setChecked(bShow);
  CFrameSettingsRefresh refresh(*this);
  refresh.RefreshContents();
  UpdateCommandStates();
}

void CMainFrame::RebuildMenus() {
  // The old menus may be the ones whose command opened the sheet: they go once it returned.
  const QList<QMenu*> old = menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
  menuBar()->clear();
  for (QMenu* pMenu : old) pMenu->deleteLater();
  setupMenus();
}

QMenu* CMainFrame::TreeFavoritesMenu() {
  if (!treeFavorites_) {
    treeFavorites_ = new QMenu(core::Text(901130), this);
    connect(treeFavorites_, &QMenu::aboutToShow, this,
            [this] { FillFavoritesMenu(treeFavorites_); });
  }
  return treeFavorites_;
}

void CMainFrame::FillFavoritesMenu(QMenu* pMenu) {
  // Read afresh each time, so a profile switch or another program's change shows.
  LoadFavorites();
  pMenu->clear();
  pMenu->addAction(Action(eCmd_AddFavorite));
  pMenu->addAction(Action(eCmd_OrganizeFavorites));
  pMenu->addSeparator();
  for (const CFavorite& favorite : favorites) {
    // A '&' of the name is shown, not taken for a shortcut mark.
    QAction* pAction = pMenu->addAction(QString(favorite.strName).replace(QLatin1Char('&'), QStringLiteral("&&")));
    pAction->setToolTip(favorite.strPath);
    pAction->setEnabled(FavoriteExists(favorite));
    connect(pAction, &QAction::triggered, this, [this, favorite] { OpenFavorite(favorite); });
  }
}

bool CMainFrame::OpenFavorite(const CFavorite& favorite) {
  CPanelLocation location;
  if (!FavoriteLocation(favorite, &location)) return false;
  if (!List(ActivePanel()).ShowLocation(location, false, true)) return false;
  FocusActiveView();
  UpdateCommandStates();
  return true;
}

bool CMainFrame::AddToFavorites() {
  const CPanelLocation location = panels_[ActivePanel()]->Location();
  CFavorite favorite;
  // Only folders and registry keys are places a favorite can name.
  if (!FavoriteOfLocation(location, QString(), &favorite)) return false;
  QString strName = location.path.section(QLatin1Char('\\'), -1);
  if (strName.isEmpty()) strName = location.path;
  const bool bOk =
      favoriteAsker_ ? favoriteAsker_(&strName) : AskFavoriteName(this, 901131, &strName);
  if (!bOk) return false;
  favorite.strName = strName.trimmed();
  QVector<CFavorite> stored = StoredFavorites();
  stored.append(favorite);
  return SaveFavorites(stored);
}

void CMainFrame::OrganizeFavorites() {
  CDlg_Favorites dialog(StoredFavorites(), this);
  if (dialog.exec() == QDialog::Accepted) SaveFavorites(dialog.Favorites());
}
