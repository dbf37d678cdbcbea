#pragma once
// The program's one top-level window: the two panels A and B, each a folder tree and a list,
// arranged in four slots by the layout number (ui/frame_layouts.h), with the active view that
// receives commands, the bars (tool, address, header, search, selection and status), and the
// command table of the menus and the tool bar.
//
// Each panel's tree, list and their synchronisation belong to its CPanelController
// (ui/panel_controller.h); the frame routes the commands to the active panel, follows each
// panel's location changes in the address bar, the header bar and the title, and shows the
// active list's status text in the status line.
//
// User-interface thread only.

#include <QHash>
#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "browse/list_panel.h"
#include "browse/panel_keys.h"
#include "core/selection.h"
#include "ui/frame_commands.h"
#include "ui/archive_commands.h"
#include "ui/file_commands.h"
#include "ui/frame_layouts.h"
#include "ui/panel_controller.h"

class CDlg_Profiles;
class CDlg_Sett_Container;
struct CFavorite;
class CSearchBar;
class CSearchView;
class QAbstractItemView;
namespace crypto {
class IPasswordPrompt;
}
class CFolderTree;
class CFolderTreeView;
class CListView;
class QAction;
class QActionGroup;
class QCompleter;
class QLabel;
class QStringListModel;
class QLineEdit;
class QMenu;
class QShortcut;
class QSplitter;
class QToolBar;

class CMainFrame : public QMainWindow,
                   private IPanelControllerObserver,
                   private IFileCommandsHost {
  Q_OBJECT

 public:
  // Builds the views, bars and menus, takes the layout and the active view from the option
  // set and opens each panel at its stored location (RememberLastOpenedFolder) or at
  // strStartFolder.
  explicit CMainFrame(const QString& strStartFolder = QStringLiteral("\\"),
                      QWidget* pParent = nullptr);
  ~CMainFrame() override;

  // --- Layout and views ---
  // Switches to a layout (0..10; 10 shows the fifth view, the search results).
  void SetLayout(DWORD dwLayout);
  DWORD Layout() const { return layout_; }
  DWORD PreviousLayout() const { return previousLayout_; }
  // Makes a shown view (1..4) the active one and gives it the focus. False for a hidden view.
  bool SetActiveView(int nView);
  int ActiveView() const { return activeView_; }
  EPanelId ActivePanel() const;
  // The widget of a view (1..5), whether the layout shows it, and the slot it sits in.
  QWidget* ViewWidget(int nView) const;
  bool IsViewShown(int nView) const;
  int SlotOfView(int nView) const;
  // Re-lays out the slots by MainViewSplitterPercentX and -Y.
  void ApplySplitters();

  // A panel that is not open yet, or a tree not built yet, is made ready by these two (see
  // OpenPanel and EnsureTree).
  CListPanel& List(EPanelId ePanel) {
    OpenPanel(ePanel);
    return panels_[ePanel]->List();
  }
  CFolderTree& Tree(EPanelId ePanel) {
    EnsureTree(ePanel);
    return panels_[ePanel]->Tree();
  }
  CListView* ListView(EPanelId ePanel) const { return panels_[ePanel]->ListView(); }
  CFolderTreeView* TreeView(EPanelId ePanel) const { return panels_[ePanel]->TreeView(); }

  // --- Commands ---
  // The action of a command id (ui/frame_commands.h); null for an unknown id.
  QAction* Action(int nCommandId) const { return actions_.value(nCommandId); }
  void Back();
  void Forward();
  void Up();
  void Refresh();
  void OpenCurrent();
  // Tab: the same view of the other panel when it is shown, else its other view, else the
  // next shown view.
  void SwitchPanel();
  // A Profiles-menu command (42160 "Default", 42161 + n the user profiles): saves the
  // options into the current profile, loads the chosen one and applies it to the frame.
  // False when the command names no profile.
  bool SwitchToProfile(UINT uCommand);
  // Applies the option set to the frame: layout, active view, bars, list styles, headers,
  // font and the tree options.
  void ApplyOptions();
  // "Manage": the profile management dialog. When it closes after the current profile
  // changed (an Activate, or the active profile deleted), the frame loads and applies the
  // options of the new current profile.
  void ManageProfiles();
  // The management dialog runs through this function (the default: modal exec); tests drive
  // the dialog from it.
  using ProfilesDialogRunner = std::function<void(CDlg_Profiles& dialog)>;
  void SetProfilesDialogRunner(ProfilesDialogRunner runner) { profilesRunner_ = std::move(runner); }

  // --- Settings and favorites (ui/main_frame_settings.cpp) ---
  // The settings sheet; when it closes the frame follows the options (ShowSettings).
  void OpenSettings();
  using SettingsDialogRunner = std::function<void(CDlg_Sett_Container& sheet)>;
  void SetSettingsDialogRunner(SettingsDialogRunner runner) { settingsRunner_ = std::move(runner); }
  // The menu bar built again from the command table.
  void RebuildMenus();
  // Lists a favorite's place in the active panel. False when it cannot be shown.
  bool OpenFavorite(const CFavorite& favorite);
  // "Add to favorites": the active panel's folder or registry key, under a name the asker
  // gives (the default: a small input dialog; false cancels).
  using FavoriteNameAsker = std::function<bool(QString* pstrName)>;
  void SetFavoriteNameAsker(FavoriteNameAsker asker) { favoriteAsker_ = std::move(asker); }
  bool AddToFavorites();
  void OrganizeFavorites();
  // The Favorites menu of the menu bar (filled each time it opens).
  QMenu* FavoritesMenu() const { return favoritesMenu_; }
  void FillFavoritesMenu(QMenu* pMenu);

  // --- What the bars show ---
  QString AddressText() const;
  // The status bar's selection part ("Selected: 2 (3.00 KB)"); empty without a selection.
  QString SelectionSummaryLine() const;
  // The address bar's completer, whose candidates follow the typed text.
  QCompleter* AddressCompleter() const;
  QString StatusLineText() const;
  QString HeaderText() const;

  // The file commands of the active view (ui/file_commands.h), with the functions they ask
  // through: the file opener (the default hands a host path to the desktop's application),
  // the name asker of Rename (the default is a small input dialog) and the password prompt of
  // encryption (null puts back the desktop's dialogs; not owned).
  using FileOpener = CFileCommands::FileOpener;
  void SetFileOpener(FileOpener opener) { commands_->SetFileOpener(std::move(opener)); }
  using NameAsker = CFileCommands::NameAsker;
  void SetNameAsker(NameAsker asker) { commands_->SetNameAsker(std::move(asker)); }
  // F5 and F6 ask their destination through this (the default: the small dialog); F3 and F4
  // hand a host file to this (the default: the desktop's viewer and editor).
  using DestinationAsker = CFileCommands::DestinationAsker;
  void SetDestinationAsker(DestinationAsker asker) { commands_->SetDestinationAsker(std::move(asker)); }
  using ShellOpener = CFileCommands::ShellOpener;
  void SetShellOpener(ShellOpener opener) { commands_->SetShellOpener(std::move(opener)); }
  void SetPasswordPrompt(crypto::IPasswordPrompt* pPrompt) { commands_->SetPasswordPrompt(pPrompt); }
  void NewFolder() { commands_->NewFolder(); }
  void RenameCurrent() { commands_->RenameCurrent(); }
  void CopySelection(bool bMove) { commands_->CopySelection(bMove); }
  void Paste() { commands_->Paste(); }
  void PasteShortcuts() { commands_->PasteShortcuts(); }
  const fileops::CSelection& ClipboardItems() const { return commands_->ClipboardItems(); }
  bool ClipboardMoves() const { return commands_->ClipboardMoves(); }
  void CopyToOtherPanel(bool bMove) { commands_->CopyToOtherPanel(bMove); }
  // Items dropped on a list: copied (Qt::CopyAction) or moved (Qt::MoveAction) into
  // strTargetFolder.
  void DropItems(const QStringList& devicePaths, const QString& strTargetFolder,
                 Qt::DropAction action) {
    commands_->DropItems(devicePaths, strTargetFolder, action == Qt::MoveAction);
  }
  void ShredSelection() { commands_->ShredSelection(); }
  void DeleteSelection() { commands_->DeleteSelection(); }
  void RestoreSelection() { commands_->RestoreSelection(); }
  void PurgeSelection() { commands_->PurgeSelection(); }
  void EncryptSelection() { commands_->EncryptSelection(); }
  void DecryptSelection() { commands_->DecryptSelection(); }
  fileops::CSelection CommandSelection() const { return commands_->CommandSelection(); }
  // The archive commands: extract here and to a folder, test, compress (ui/archive_commands.h).
  CArchiveCommands& ArchiveCommands() { return *archiveCommands_; }

  // --- Search (main_frame_search.cpp) ---
  // Searches for the text from SimpleSearchRoot ("\" when 1, else the active panel's
  // folder) on a thread of its own; the results fill the fifth view (layout 10) as they come.
  void StartSearch(const QString& strText);
  // Ends a running search; its results stay.
  void StopSearch();
  bool IsSearchRunning() const;
  // The fifth view: shown (layout 10), and closed again (the layout before comes back).
  void ShowSearchResults();
  void CloseSearchResults();
  // The folder of the focused result in the panel the search started from, the item focused.
  void OpenContainingFolder();
  CSearchBar* SearchBar() const { return searchBar_; }
  CSearchView* SearchView() const { return searchView_; }

  // The context menu of a view (1..5): the commands that fit what it shows (files and
  // folders, the recycle bin, a tree, the search results).
  QList<QAction*> ContextMenuActions(int nView) const;

  // The panels and trees follow view notifications themselves; this applies what they have
  // gathered now (after a command, so that its result shows before the next key).
  void ApplyViewChanges() override;

 protected:
  void resizeEvent(QResizeEvent* pEvent) override;
  void showEvent(QShowEvent* pEvent) override;
  bool event(QEvent* pEvent) override;

 private:
  // IPanelControllerObserver: what the panels report.
  void OnPanelLocation(EPanelId ePanel, const CPanelLocation& location) override;
  void OnPanelStatusText(EPanelId ePanel, const QString& strText) override;
  void OnPanelOpenFile(EPanelId ePanel, const QString& strFullPath) override;
  void OnPanelRefused(EPanelId ePanel, const QString& strFullPath, DWORD dwError) override;
  // IFileCommandsHost: where the file commands act, and what they ask of the frame.
  CCommandTarget CommandTarget() const override;
  void CommandStatesChanged() override { UpdateCommandStates(); }
  void FocusActiveView() override;

  // Set-up steps (main_frame.cpp, main_frame_commands.cpp, main_frame_context_menus.cpp).
  void setupModels();
  void setupViews();
  void setupBars();
  void setupActions();
  void setupMenus();
  void setupToolBar();
  void setupContextMenus();
  void FillProfilesMenu(QMenu* pMenu);
  void OpenStartLocations(const QString& strStartFolder);
  // Opens a panel at its stored location (or the start folder) the first time it is needed:
  // when the layout shows it, when a command or a caller asks for it, or right after the
  // window's first paint. Nothing before OpenStartLocations.
  void OpenPanel(EPanelId ePanel);
  // Opens a panel and builds its tree once. A tree the layout hides is built after the first
  // paint or when it is shown.
  void EnsureTree(EPanelId ePanel);
  bool IsPanelShown(EPanelId ePanel) const;
  void OpenHiddenPanels();

  // Commands (main_frame_commands.cpp).
  QAction* AddCommand(int nId, const QString& strLabel, std::function<void()> handler);
  QAction* AddToggle(int nId, const QString& strLabel, DWORD* pdwOption,
                     std::function<void(bool)> apply);
  void AddLayoutCommands();
  void AddBarCommands();
  void AddListModeCommands(EPanelId ePanel);
  void AddFontCommands();
  void AddOrientationCommands();
  void AddNavigationCommands();
  void AddEditCommands();
  void AddDesktopKeyCommands();
  // Ctrl+H: the trees' and lists' hidden items shown or not, the open panels listed again.
  void ShowHiddenItems(bool bShow);
  // The active panel's views framed, the other panel's selection drawn as inactive.
  void MarkActivePanel();
  void SetListMode(EPanelId ePanel, int nMode);
  void SetFontSize(DWORD dwStep);
  void RequestOrientation(int nCode);
  void UpdateCommandStates();
  void ApplyBars();
  void ApplyFont();
  void ToolBarLayoutButton(int nGroup);

  // Layout (main_frame_layout.cpp).
  // Tells each panel whether the layout shows its tree.
  void TellPanelsTheLayout();
  void PlaceViews();
  void OnSplitterMoved(QSplitter* pMoved);
  int FirstShownView() const;

  // Search (main_frame_search.cpp).
  void setupSearch();
  void AddSearchCommands();
  // A result opened in the fifth view: a folder is shown in the panel, a file opened.
  void OpenSearchResult(const QString& strFullPath);
  // Shows a file-system folder in the list of a panel, the item strFocus focused.
  void ShowInPanel(EPanelId ePanel, const QString& strFolder, const QString& strFocus);

  // Routing.
  // The list the active view shows: a panel's, or the fifth view's.
  CListPanel& ActiveList() const;
  // Which view of the active panel is the active view.
  EPanelPart ActivePart() const;
  void StepHistory(bool bForward);
  // The actions of a list's context menu as its source describes it.
  QList<QAction*> ListMenuActions(const QList<EListCommand>& commands) const;
  void ShowContextMenu(int nView, QAbstractItemView* pView, const QPoint& pos);
  void OnViewFocused(int nView);
  void UpdateLocationDisplays();
  void NavigateToAddress();
  void UpdateSelectionSummary();

  std::array<std::unique_ptr<CPanelController>, 2> panels_;
  DWORD layout_ = 7;
  DWORD previousLayout_ = 7;
  int activeView_ = eView_ListA;
  bool placing_ = false;  // focus changes while views are moved are not the user's

  // The slot grid: a vertical splitter of two rows, each a horizontal splitter of two slots.
  QSplitter* rows_ = nullptr;
  std::array<QSplitter*, 2> rowSplitters_{};
  QWidget* grid_ = nullptr;  // the widget that holds the views (keyboard commands act here)

  QToolBar* toolBar_ = nullptr;
  QToolBar* addressBar_ = nullptr;
  QLineEdit* addressEdit_ = nullptr;
  QLabel* headerBar_ = nullptr;
  CSearchBar* searchBar_ = nullptr;
  CSearchView* searchView_ = nullptr;
  QShortcut* stopSearch_ = nullptr;  // Escape while a search runs
  EPanelId searchPanel_ = ePanel_A;  // the panel active when the fifth view was shown
  QWidget* selectionBar_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QLabel* selectionLabel_ = nullptr;  // the active list's selection: count and size
  QStringListModel* addressCompletions_ = nullptr;

  QHash<int, QAction*> actions_;
  std::array<QActionGroup*, 2> modeGroups_{};
  bool openAfterPaint_ = false;  // the hidden panels open after the next paint
  ProfilesDialogRunner profilesRunner_;
  SettingsDialogRunner settingsRunner_;
  FavoriteNameAsker favoriteAsker_;
  QMenu* favoritesMenu_ = nullptr;
  QMenu* treeFavorites_ = nullptr;  // the trees' context submenu
  void AddSettingsCommands();
  QMenu* TreeFavoritesMenu();
  friend class CFrameSettingsRefresh;
  std::unique_ptr<CFileCommands> commands_;
  std::unique_ptr<CArchiveCommands> archiveCommands_;
  // The context menu of a tree, and those of the lists by the commands their sources list.
  QList<QAction*> treeMenu_;
  QList<QAction*> treeDeviceMenu_;  // added for the device node
  mutable std::map<std::vector<int>, QList<QAction*>> listMenus_;
};
