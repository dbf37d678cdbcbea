// The frame's settings and favorites: the Settings command and what the frame does when the
// sheet closes, the Favorites menus, "Add to favorites" and "Organize favorites".
#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

#include "browse/folder_tree.h"
#include "core/app_log.h"
#include "core/favorites.h"
#include "core/settings.h"
#include "core/texts.h"
#include "platform/find.h"
#include "registry/registry_access.h"
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
      if (panel->IsTreeBuilt()) {
        const CPanelLocation location = panel->Location();
        panel->Tree().Build();
        panel->Tree().SelectLocation(location);
      }
      panel->List().Refresh();
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
    QAction* pAction = pMenu->addAction(favorite.strName);
    pAction->setToolTip(favorite.strPath);
    pAction->setEnabled(FavoriteExists(favorite));
    connect(pAction, &QAction::triggered, this, [this, favorite] { OpenFavorite(favorite); });
  }
}

bool CMainFrame::FavoriteExists(const CFavorite& favorite) {
  if (favorite.dwType == eEntry_RegKey)
    return RootFromOrdinal(favorite.dwData) != 0 &&
           CountSubKeys(RootFromOrdinal(favorite.dwData), favorite.strPath) >= 0;
  WIN32_FIND_DATAW data{};
  if (favorite.strPath == QStringLiteral("\\")) return favorite.dwType == eEntry_Folder;
  if (!plat::FindOne(favorite.strPath, &data)) return false;
  const bool bFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return favorite.dwType == eEntry_Folder ? bFolder : !bFolder;
}

bool CMainFrame::OpenFavorite(const CFavorite& favorite) {
  CListPanel& list = List(ActivePanel());
  bool bShown = false;
  switch (favorite.dwType) {
    case eEntry_Folder:
      bShown = list.ShowLocation(CPanelLocation::FileSystem(favorite.strPath), false, true);
      break;
    case eEntry_File:  // a file: its folder
    {
      QString strFolder = favorite.strPath.section(QLatin1Char('\\'), 0, -2);
      if (strFolder.isEmpty()) strFolder = QStringLiteral("\\");
      bShown = list.ShowLocation(CPanelLocation::FileSystem(strFolder), false, true);
    }
      break;
    case eEntry_RegKey:  // FavD%d holds the key's root (1 HKCR, 2 HKLM, 3 HKCU, 4 HKU)
      if (HKEY root = RootFromOrdinal(favorite.dwData))
        bShown = list.ShowLocation(CPanelLocation::Registry(root, favorite.strPath), false, true);
      break;
    default:
      break;
  }
  if (bShown) {
    FocusActiveView();
    UpdateCommandStates();
  }
  return bShown;
}

bool CMainFrame::AddToFavorites() {
  const CPanelLocation location = panels_[ActivePanel()]->Location();
  CFavorite favorite;
  if (location.kind == eEntry_Folder) {
    favorite.dwType = eEntry_Folder;
  } else if (location.kind == eEntry_RegKey) {
    favorite.dwType = eEntry_RegKey;
    favorite.dwData = OrdinalFromRoot(location.root);
  } else {
    return false;  // only folders and registry keys are places a favorite can name
  }
  favorite.strPath = location.path;
  QString strName = location.path.section(QLatin1Char('\\'), -1);
  if (strName.isEmpty()) strName = location.path;
  const bool bOk = favoriteAsker_ ? favoriteAsker_(&strName) : [&] {
    bool bAccepted = false;
    strName = QInputDialog::getText(this, core::Text(901131), core::Text(901138),
                                    QLineEdit::Normal, strName, &bAccepted);
    return bAccepted;
  }();
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
