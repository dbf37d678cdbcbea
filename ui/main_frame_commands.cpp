// The frame's command table: the actions of the menus and the tool bar, and what they do.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <vector>

#include "browse/folder_tree.h"
#include "core/message_box.h"
#include "core/profiles.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_sheet.h"
#include "core/texts.h"
#include "ui/profiles_dialog.h"
#include "ui/list_view.h"
#include "ui/search_bar.h"
#include "ui/search_view.h"
#include "ui/main_frame.h"
#include "ui/panel_controller.h"
#include "ui/tree_view.h"
#include "platform/shell_open.h"

namespace {

struct CLayoutCommand {
  int id;
  int nText;  // the label's number in the text table
  DWORD layout;
};
constexpr CLayoutCommand kLayoutCommands[] = {
    {eCmd_VerticalBrowser, 900519, 0},
    {eCmd_HorizontalBrowser, 900520, 3},
    {eCmd_SingleTree, 900521, 6},
    {eCmd_SingleList, 900522, 7},
    {eCmd_QuadroHorizontal, 900523, 8},
    {eCmd_QuadroVertical, 900524, 9},
    {eCmd_TwoTrees, 901210, 1},
    {eCmd_TwoLists, 901211, 2},
    {eCmd_TwoTreesStacked, 901212, 4},
    {eCmd_TwoListsStacked, 901213, 5},
};

struct CModeCommand {
  int left, right;
  int nText;
  int mode;
};
constexpr CModeCommand kModeCommands[] = {
    {eCmd_LeftLargeIcons, eCmd_RightLargeIcons, 900535, eListMode_LargeIcons},
    {eCmd_LeftSmallIcons, eCmd_RightSmallIcons, 900536, eListMode_SmallIcons},
    {eCmd_LeftList, eCmd_RightList, 900537, eListMode_List},
    {eCmd_LeftDetails, eCmd_RightDetails, 900538, eListMode_Details},
};

struct CValueCommand {
  int id;
  int nText;
  int value;
};
constexpr CValueCommand kFontCommands[] = {
    {eCmd_FontSmallest, 900540, 0}, {eCmd_FontSmaller, 900541, 1}, {eCmd_FontNormal, 900542, 2},
    {eCmd_FontLarger, 900543, 3},   {eCmd_FontLargest, 900544, 4},
};
// Relative codes 2 (90° clockwise), 1 (90° counter-clockwise), 3 (180°); absolute angles.
constexpr CValueCommand kOrientationCommands[] = {
    {eCmd_Rotate90CW, 900545, 2},   {eCmd_Rotate90CCW, 900546, 1},
    {eCmd_Rotate180, 900547, 3},    {eCmd_Portrait0, 900548, 0},
    {eCmd_Landscape90, 900549, 90}, {eCmd_Portrait180, 900550, 180},
    {eCmd_Landscape270, 900551, 270},
};

}  // namespace

QAction* CMainFrame::AddCommand(int nId, const QString& strLabel, std::function<void()> handler) {
  auto* pAction = new QAction(strLabel, this);
  pAction->setData(nId);
  if (handler) connect(pAction, &QAction::triggered, this, [handler] { handler(); });
  actions_.insert(nId, pAction);
  return pAction;
}

QAction* CMainFrame::AddToggle(int nId, const QString& strLabel, DWORD* pdwOption,
                               std::function<void(bool)> apply) {
  QAction* pAction = AddCommand(nId, strLabel, nullptr);
  pAction->setCheckable(true);
  pAction->setChecked(*pdwOption != 0);
  connect(pAction, &QAction::toggled, this, [pdwOption, apply](bool bOn) {
    *pdwOption = bOn ? 1 : 0;
    apply(bOn);
  });
  return pAction;
}

void CMainFrame::setupActions() {
  AddLayoutCommands();
  AddBarCommands();
  AddListModeCommands(ePanel_A);
  AddListModeCommands(ePanel_B);
  AddFontCommands();
  AddOrientationCommands();
  AddNavigationCommands();
  AddEditCommands();
  AddCommand(eCmd_Exit, core::Text(900575), [this] { close(); });
  const QString strProduct = QString::fromUtf16(kProductName);
  AddCommand(eCmd_About, core::Text(900576).arg(strProduct), [strProduct] {
    MsgInfo(core::Text(900577).arg(strProduct), core::Text(900578), strProduct);
  });
  AddCommand(eCmd_ManageProfiles, core::Text(900579), [this] { ManageProfiles(); });
  archiveCommands_->AddActions([this](int nId, const QString& strLabel,
                                      std::function<void()> handler) {
    return AddCommand(nId, strLabel, std::move(handler));
  });
  AddSettingsCommands();
  AddSearchCommands();
}

void CMainFrame::AddLayoutCommands() {
  auto* pGroup = new QActionGroup(this);
  for (const CLayoutCommand& command : kLayoutCommands) {
    const DWORD dwLayout = command.layout;
    QAction* pAction = AddCommand(command.id, core::Text(command.nText),
                                  [this, dwLayout] { SetLayout(dwLayout); });
    pAction->setCheckable(true);
    pGroup->addAction(pAction);
  }
  // The tool bar's four layout buttons, one per layout group; the button of the current
  // group shows pressed. The single-view and quadro buttons toggle between their two layouts.
  const int kGroupLabels[] = {900525, 900526, 900527, 900528};
  auto* pButtons = new QActionGroup(this);
  for (int nGroup = 0; nGroup < 4; ++nGroup) {
    QAction* pAction = AddCommand(eCmd_ToolLayoutGroup0 + nGroup, core::Text(kGroupLabels[nGroup]),
                                  [this, nGroup] { ToolBarLayoutButton(nGroup); });
    pAction->setCheckable(true);
    pButtons->addAction(pAction);
  }
}

void CMainFrame::ToolBarLayoutButton(int nGroup) {
  // A button leads to its group's first layout; pressed again, it steps through the group, so
  // that the layouts without a menu command (two trees, two lists) can be reached too. The
  // single-view group steps between the list and the tree: this build has no fifth view.
  static const std::vector<DWORD> kGroups[] = {{0, 1, 2}, {3, 4, 5}, {7, 6}, {8, 9}};
  const std::vector<DWORD>& group = kGroups[qBound(0, nGroup, 3)];
  const auto current = std::find(group.begin(), group.end(), layout_);
  if (current == group.end() || current + 1 == group.end())
    SetLayout(group.front());
  else
    SetLayout(*(current + 1));
}

void CMainFrame::AddBarCommands() {
  auto apply = [this](bool) { ApplyBars(); };
  AddToggle(eCmd_ToolBar, core::Text(900529), &settings.MainViewToolbar, apply);
  AddToggle(eCmd_HeaderBar, core::Text(900530), &settings.MainViewHeaderbar, apply);
  AddToggle(eCmd_AddressBar, core::Text(900531), &settings.MainViewAddressbar, apply);
  AddToggle(eCmd_SearchBar, core::Text(900532), &settings.MainViewSearchbar, apply);
  AddToggle(eCmd_SelectionBar, core::Text(900533), &settings.MainViewSelectionbar, apply);
  AddToggle(eCmd_StatusBar, core::Text(900534), &settings.MainViewStatusbar, apply);
}

void CMainFrame::ApplyBars() {
  toolBar_->setVisible(settings.MainViewToolbar != 0);
  addressBar_->setVisible(settings.MainViewAddressbar != 0);
  headerBar_->setVisible(settings.MainViewHeaderbar != 0);
  searchBar_->setVisible(settings.MainViewSearchbar != 0);
  selectionBar_->setVisible(settings.MainViewSelectionbar != 0);
  statusBar()->setVisible(settings.MainViewStatusbar != 0);
}

void CMainFrame::AddListModeCommands(EPanelId ePanel) {
  modeGroups_[ePanel] = new QActionGroup(this);
  const DWORD dwMode =
      ePanel == ePanel_A ? settings.MainListModeListViewA : settings.MainListModeListViewB;
  for (const CModeCommand& command : kModeCommands) {
    const int nMode = command.mode;
    QAction* pAction = AddCommand(ePanel == ePanel_A ? command.left : command.right,
                                  core::Text(command.nText),
                                  [this, ePanel, nMode] { SetListMode(ePanel, nMode); });
    pAction->setCheckable(true);
    pAction->setChecked(DWORD(nMode) == dwMode);
    modeGroups_[ePanel]->addAction(pAction);
  }
  DWORD* pdwHeader =
      ePanel == ePanel_A ? &settings.MainListShowHeaderA : &settings.MainListShowHeaderB;
  AddToggle(ePanel == ePanel_A ? eCmd_LeftShowHeader : eCmd_RightShowHeader, core::Text(900539),
            pdwHeader,
            [this, ePanel](bool bOn) { panels_[ePanel]->ListView()->SetHeaderShown(bOn); });
}

void CMainFrame::SetListMode(EPanelId ePanel, int nMode) {
  (ePanel == ePanel_A ? settings.MainListModeListViewA : settings.MainListModeListViewB) =
      DWORD(nMode);
  panels_[ePanel]->ListView()->SetMode(nMode);
}

void CMainFrame::AddFontCommands() {
  auto* pGroup = new QActionGroup(this);
  for (const CValueCommand& command : kFontCommands) {
    const DWORD dwStep = DWORD(command.value);
    QAction* pAction = AddCommand(command.id, core::Text(command.nText),
                                  [this, dwStep] { SetFontSize(dwStep); });
    pAction->setCheckable(true);
    pAction->setChecked(settings.MainViewFontSize == dwStep);
    pGroup->addAction(pAction);
  }
}

void CMainFrame::SetFontSize(DWORD dwStep) {
  settings.MainViewFontSize = dwStep;
  ApplyFont();
  ApplySplitters();
}

void CMainFrame::ApplyFont() {
  // The font base and the five steps around the desktop's own size (core/settings_sheet.h);
  // the ClearType switch is the font's antialiasing.
  QFont font = QApplication::font();
  const int nDesktop = font.pointSize() > 0 ? font.pointSize() : 9;
  font.setPointSize(ViewFontPoints(settings.MainViewFontBase, settings.MainViewFontSize, nDesktop));
  font.setBold(settings.MainViewFontIsBold != 0);
  font.setItalic(settings.MainViewFontIsItalic != 0);
  font.setStyleStrategy(settings.UseClearType != 0 ? QFont::PreferAntialias : QFont::NoAntialias);
  for (int nView = eView_TreeA; nView <= eView_ListB; ++nView)
    if (QWidget* pView = ViewWidget(nView)) pView->setFont(font);
}

void CMainFrame::AddOrientationCommands() {
  for (const CValueCommand& command : kOrientationCommands) {
    const int nCode = command.value;
    AddCommand(command.id, core::Text(command.nText),
               [this, nCode] { RequestOrientation(nCode); });
  }
}

void CMainFrame::RequestOrientation(int nCode) {
  // A desktop window has no screen orientation of its own: the request changes nothing, as
  // the orientation routine of this build does, and the frame is laid out again.
  Q_UNUSED(nCode);
  ApplySplitters();
}

void CMainFrame::AddNavigationCommands() {
  QAction* pOpen = AddCommand(eCmd_Open, core::Text(900552), [this] { OpenCurrent(); });
  pOpen->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  QAction* pUp = AddCommand(eCmd_Up, core::Text(900553), [this] { Up(); });
  pUp->setShortcut(QKeySequence(Qt::Key_Backspace));
  pUp->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  QAction* pSwitch = AddCommand(eCmd_SwitchPanel, core::Text(900554), [this] { SwitchPanel(); });
  pSwitch->setShortcut(QKeySequence(Qt::Key_Tab));
  // Enter, Backspace and Tab belong to the views; the address and search fields keep them.
  for (QAction* pAction : {pOpen, pUp, pSwitch}) {
    pAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(pAction);
  }
  QAction* pBack = AddCommand(eCmd_Back, core::Text(900555), [this] { Back(); });
  pBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  pBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  QAction* pForward = AddCommand(eCmd_Forward, core::Text(900556), [this] { Forward(); });
  pForward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  pForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  QAction* pRefresh = AddCommand(eCmd_Refresh, core::Text(900557), [this] { Refresh(); });
  // F5 is Copy to the other panel, as in two-panel file managers; Refresh keeps Ctrl+R.
  pRefresh->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  pRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
}

namespace {

const struct {
  int id;
  EListCommand command;
  int nText;
} kListingCommands[] = {
    {eCmd_Modify, EListCommand::eModify, 900955},
    {eCmd_NewKey, EListCommand::eNewKey, 900951},
    {eCmd_NewDwordValue, EListCommand::eNewDwordValue, 900952},
    {eCmd_NewStringValue, EListCommand::eNewStringValue, 900953},
    {eCmd_NewMultiStringValue, EListCommand::eNewMultiStringValue, 900954},
    {eCmd_Export, EListCommand::eExport, 900956},
    {eCmd_Import, EListCommand::eImport, 900957},
};

}  // namespace

void CMainFrame::AddEditCommands() {
  QAction* pDelete = AddCommand(eCmd_Delete, core::Text(900558), [this] { DeleteSelection(); });
  pDelete->setShortcuts({QKeySequence(QKeySequence::Delete), QKeySequence(Qt::Key_F8)});
  const struct {
    int id;
    int nText;
    QKeySequence key;
    std::function<void()> run;
  } kClipboard[] = {
      {eCmd_Cut, 900559, QKeySequence::Cut, [this] { CopySelection(true); }},
      {eCmd_Copy, 900560, QKeySequence::Copy, [this] { CopySelection(false); }},
      {eCmd_Paste, 900561, QKeySequence::Paste, [this] { Paste(); }},
      {eCmd_PasteShortcut, 900562, QKeySequence(), [this] { PasteShortcuts(); }},
  };
  for (const auto& command : kClipboard) {
    QAction* pAction = AddCommand(command.id, core::Text(command.nText), command.run);
    pAction->setShortcut(command.key);
    // The address and search fields keep their own Ctrl+X, Ctrl+C and Ctrl+V.
    pAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(pAction);
  }
  // The file commands of the function keys. They act on the views only: in the address and
  // search fields the keys keep their meaning.
  const struct {
    int id;
    int nText;
    QKeySequence key;
    std::function<void()> run;
  } kFileCommands[] = {
      {eCmd_Rename, 900563, QKeySequence(Qt::Key_F2), [this] { RenameCurrent(); }},
      {eCmd_CopyToOther, 900564, QKeySequence(Qt::Key_F5), [this] { CopyToOtherPanel(false); }},
      {eCmd_MoveToOther, 900565, QKeySequence(Qt::Key_F6), [this] { CopyToOtherPanel(true); }},
      {eCmd_NewFolder, 900566, QKeySequence(Qt::Key_F7), [this] { NewFolder(); }},
      {eCmd_Shred, 900567, QKeySequence(), [this] { ShredSelection(); }},
      {eCmd_Encrypt, 900568, QKeySequence(), [this] { EncryptSelection(); }},
      {eCmd_Decrypt, 900569, QKeySequence(), [this] { DecryptSelection(); }},
      {eCmd_Restore, 900570, QKeySequence(), [this] { RestoreSelection(); }},
      {eCmd_DeleteForGood, 900571, QKeySequence(), [this] { PurgeSelection(); }},
  };
  for (const auto& command : kFileCommands) {
    QAction* pAction = AddCommand(command.id, core::Text(command.nText), command.run);
    pAction->setShortcut(command.key);
    pAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(pAction);
  }
  pDelete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  grid_->addAction(pDelete);
  AddDesktopKeyCommands();
  QAction* pProperties = AddCommand(eCmd_Properties, core::Text(901310),
                                    [this] { commands_->ShowProperties(); });
  pProperties->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Return),
                             QKeySequence(Qt::ALT | Qt::Key_Enter)});
  pProperties->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  grid_->addAction(pProperties);
  // The commands a listing carries out itself, on its rows or on a tree node's place.
  for (const auto& [id, command, nText] : kListingCommands)
    AddCommand(id, core::Text(nText), [this, command = command] {
      commands_->RunListingCommand(command);
    });
  auto activeList = [this]() -> CListView* {
    if (activeView_ == eView_ListA) return panels_[ePanel_A]->ListView();
    if (activeView_ == eView_ListB) return panels_[ePanel_B]->ListView();
    if (activeView_ == eView_Fifth && searchView_) return searchView_->ListView();
    return nullptr;
  };
  AddCommand(eCmd_SelectAll, core::Text(900572), [activeList] {
    if (CListView* pList = activeList()) pList->SelectAll();
  });
  AddCommand(eCmd_UnselectAll, core::Text(900573), [activeList] {
    if (CListView* pList = activeList()) pList->UnselectAll();
  });
  AddCommand(eCmd_InvertSelection, core::Text(900574), [activeList] {
    if (CListView* pList = activeList()) pList->InvertSelection();
  });
}

void CMainFrame::AddDesktopKeyCommands() {
  // The keys of the views; the address and search fields keep theirs.
  const struct {
    int id;
    int nText;
    QList<QKeySequence> keys;
    std::function<void()> run;
  } kKeys[] = {
      {eCmd_DeletePermanently, 901220, {QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
       [this] { commands_->DeleteSelectionForGood(); }},
      {eCmd_ToggleSelect, 901223,
       {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_Space)},
       [this] {
         if (activeView_ == eView_ListA || activeView_ == eView_ListB)
           ListView(ActivePanel())->ToggleCurrentAndMoveOn();
         else if (activeView_ == eView_Fifth)
           searchView_->ListView()->ToggleCurrentAndMoveOn();
       }},
      {eCmd_ViewFile, 901224, {QKeySequence(Qt::Key_F3)},
       [this] { commands_->ViewOrEditCurrent(plat::EShellOpen::eView); }},
      {eCmd_EditFile, 901225, {QKeySequence(Qt::Key_F4)},
       [this] { commands_->ViewOrEditCurrent(plat::EShellOpen::eEdit); }},
  };
  for (const auto& command : kKeys) {
    QAction* pAction = AddCommand(command.id, core::Text(command.nText), command.run);
    pAction->setShortcuts(command.keys);
    pAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(pAction);
  }
  // Ctrl+H and Ctrl+L work from anywhere in the window.
  QAction* pHidden = AddCommand(eCmd_ShowHidden, core::Text(901221), nullptr);
  pHidden->setCheckable(true);
  pHidden->setChecked(settings.MainListShowHidden != 0);
  pHidden->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  connect(pHidden, &QAction::triggered, this, [this](bool bOn) { ShowHiddenItems(bOn); });
  addAction(pHidden);
  QAction* pAddress = AddCommand(eCmd_FocusAddress, core::Text(901222), [this] {
    if (settings.MainViewAddressbar == 0) Action(eCmd_AddressBar)->setChecked(true);
    addressEdit_->setFocus(Qt::ShortcutFocusReason);
    addressEdit_->selectAll();
  });
  pAddress->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  addAction(pAddress);
}

void CMainFrame::setupMenus() {
  QMenu* pFile = menuBar()->addMenu(core::Text(900507));
  for (int nId : {int(eCmd_Open), int(eCmd_NewFolder), int(eCmd_Rename)})
    pFile->addAction(Action(nId));
  pFile->addSeparator();
  for (int nId : {int(eCmd_ViewFile), int(eCmd_EditFile)}) pFile->addAction(Action(nId));
  pFile->addSeparator();
  for (int nId : {int(eCmd_CopyToOther), int(eCmd_MoveToOther), int(eCmd_Delete),
                  int(eCmd_DeletePermanently), int(eCmd_Shred)})
    pFile->addAction(Action(nId));
  pFile->addSeparator();
  for (int nId : {int(eCmd_Encrypt), int(eCmd_Decrypt)}) pFile->addAction(Action(nId));
  pFile->addSeparator();
  for (int nId : {int(eCmd_ExtractHere), int(eCmd_ExtractTo), int(eCmd_TestArchive),
                  int(eCmd_Compress)})
    pFile->addAction(Action(nId));
  pFile->addSeparator();
  // What the file commands act on follows the selection: their states are read when it opens.
  connect(pFile, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
  for (int nId : {int(eCmd_Restore), int(eCmd_DeleteForGood)}) pFile->addAction(Action(nId));
  pFile->addSeparator();
  pFile->addAction(Action(eCmd_Properties));
  pFile->addSeparator();
  pFile->addAction(Action(eCmd_Exit));

  QMenu* pEdit = menuBar()->addMenu(core::Text(900508));
  for (int nId : {int(eCmd_Cut), int(eCmd_Copy), int(eCmd_Paste), int(eCmd_PasteShortcut)})
    pEdit->addAction(Action(nId));
  pEdit->addSeparator();
  for (int nId : {int(eCmd_SelectAll), int(eCmd_UnselectAll), int(eCmd_InvertSelection),
                  int(eCmd_ToggleSelect)})
    pEdit->addAction(Action(nId));
  pEdit->addSeparator();
  for (const auto& command : kListingCommands) {
    if (command.id == eCmd_Export) pEdit->addSeparator();
    pEdit->addAction(Action(command.id));
  }

  QMenu* pView = menuBar()->addMenu(core::Text(900509));
  QMenu* pLayouts = pView->addMenu(core::Text(900513));
  for (const CLayoutCommand& command : kLayoutCommands) pLayouts->addAction(Action(command.id));
  QMenu* pBars = pView->addMenu(core::Text(900514));
  for (int nId : {int(eCmd_ToolBar), int(eCmd_HeaderBar), int(eCmd_AddressBar),
                  int(eCmd_SearchBar), int(eCmd_SelectionBar), int(eCmd_StatusBar)})
    pBars->addAction(Action(nId));
  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    QMenu* pPane = pView->addMenu(core::Text(ePanel == ePanel_A ? 900515 : 900516));
    for (const CModeCommand& command : kModeCommands)
      pPane->addAction(Action(ePanel == ePanel_A ? command.left : command.right));
    pPane->addSeparator();
    pPane->addAction(Action(ePanel == ePanel_A ? eCmd_LeftShowHeader : eCmd_RightShowHeader));
  }
  QMenu* pFont = pView->addMenu(core::Text(900517));
  for (const CValueCommand& command : kFontCommands) pFont->addAction(Action(command.id));
  QMenu* pScreen = pView->addMenu(core::Text(900518));
  for (const CValueCommand& command : kOrientationCommands) pScreen->addAction(Action(command.id));
  pView->addSeparator();
  pView->addAction(Action(eCmd_ShowHidden));
  pView->addAction(Action(eCmd_SearchResults));
  pView->addAction(Action(eCmd_Refresh));
  pView->addSeparator();
  pView->addAction(Action(eCmd_Settings));

  QMenu* pGo = menuBar()->addMenu(core::Text(900510));
  for (int nId : {int(eCmd_Back), int(eCmd_Forward), int(eCmd_Up), int(eCmd_SwitchPanel),
                  int(eCmd_FocusAddress)})
    pGo->addAction(Action(nId));

  favoritesMenu_ = menuBar()->addMenu(core::Text(901130));
  connect(favoritesMenu_, &QMenu::aboutToShow, this, [this] { FillFavoritesMenu(favoritesMenu_); });
  FillFavoritesMenu(favoritesMenu_);
  // The profile entries are read afresh each time the menu opens.
  QMenu* pProfiles = menuBar()->addMenu(core::Text(900511));
  connect(pProfiles, &QMenu::aboutToShow, this, [this, pProfiles] { FillProfilesMenu(pProfiles); });
  FillProfilesMenu(pProfiles);
  QMenu* pHelp = menuBar()->addMenu(core::Text(900512));
  pHelp->addAction(Action(eCmd_DeviceProperties));
  pHelp->addAction(Action(eCmd_About));
}

void CMainFrame::FillProfilesMenu(QMenu* pMenu) {
  pMenu->clear();
  pMenu->addAction(Action(eCmd_ManageProfiles));
  pMenu->addSeparator();
  for (const CProfileMenuItem& item : ProfileMenu()) {
    QAction* pAction = pMenu->addAction(item.strLabel);
    pAction->setCheckable(true);
    pAction->setChecked(item.bChecked);
    pAction->setData(int(item.uCommand));
    const UINT uCommand = item.uCommand;
    connect(pAction, &QAction::triggered, this, [this, uCommand] { SwitchToProfile(uCommand); });
  }
}

void CMainFrame::ManageProfiles() {
  CDlg_Profiles dialog(this);
  if (profilesRunner_)
    profilesRunner_(dialog);
  else
    dialog.exec();
  // The manager saved the options of the profile it left; those of the new one are loaded.
  // Adding a profile leaves the current one as it is, so its options in memory stay too.
  if (dialog.Manager().CurrentProfileChanged()) {
    LoadSettings();
    ApplyOptions();
  }
}

bool CMainFrame::SwitchToProfile(UINT uCommand) {
  if (!SwitchProfile(uCommand)) return false;
  ApplyOptions();
  return true;
}

void CMainFrame::ApplyOptions() {
  const DWORD dwActive = settings.MainViewActive;
  // Checking a switch's action writes the same value back and shows or hides its bar.
  const std::pair<int, DWORD> bars[] = {
      {eCmd_ToolBar, settings.MainViewToolbar},     {eCmd_HeaderBar, settings.MainViewHeaderbar},
      {eCmd_AddressBar, settings.MainViewAddressbar}, {eCmd_SearchBar, settings.MainViewSearchbar},
      {eCmd_SelectionBar, settings.MainViewSelectionbar},
      {eCmd_StatusBar, settings.MainViewStatusbar}};
  for (const auto& [nId, dwOn] : bars) Action(nId)->setChecked(dwOn != 0);
  ApplyBars();
  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    const DWORD dwMode =
        ePanel == ePanel_A ? settings.MainListModeListViewA : settings.MainListModeListViewB;
    const DWORD dwHeader =
        ePanel == ePanel_A ? settings.MainListShowHeaderA : settings.MainListShowHeaderB;
    for (const CModeCommand& command : kModeCommands)
      Action(ePanel == ePanel_A ? command.left : command.right)
          ->setChecked(DWORD(command.mode) == dwMode);
    panels_[ePanel]->ListView()->SetMode(int(dwMode));
    Action(ePanel == ePanel_A ? eCmd_LeftShowHeader : eCmd_RightShowHeader)
        ->setChecked(dwHeader != 0);
    panels_[ePanel]->ListView()->SetHeaderShown(dwHeader != 0);
    panels_[ePanel]->ListView()->ApplySelectionMode();
    panels_[ePanel]->TreeView()->ApplyOptions();
  }
  for (const CValueCommand& command : kFontCommands)
    Action(command.id)->setChecked(DWORD(command.value) == settings.MainViewFontSize);
  Action(eCmd_ShowHidden)->setChecked(settings.MainListShowHidden != 0);
  ApplyFont();
  SetLayout(settings.MainViewConfig < kRestorableLayouts ? settings.MainViewConfig : 7);
  if (!frame::IsSingleViewLayout(layout_) && dwActive >= 1 && dwActive <= 4)
    SetActiveView(int(dwActive));
}

void CMainFrame::setupToolBar() {
  for (int nId : {int(eCmd_Back), int(eCmd_Forward), int(eCmd_Up)}) toolBar_->addAction(Action(nId));
  toolBar_->addSeparator();
  for (int nGroup = 0; nGroup < 4; ++nGroup) toolBar_->addAction(Action(eCmd_ToolLayoutGroup0 + nGroup));
  toolBar_->addSeparator();
  for (int nId : {int(eCmd_Cut), int(eCmd_Copy), int(eCmd_Paste)}) toolBar_->addAction(Action(nId));
  toolBar_->addSeparator();
  toolBar_->addAction(Action(eCmd_Refresh));
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

  auto* pRow = static_cast<QHBoxLayout*>(selectionBar_->layout());
  for (int nId : {int(eCmd_SelectAll), int(eCmd_UnselectAll), int(eCmd_InvertSelection)}) {
    auto* pButton = new QToolButton(selectionBar_);
    pButton->setDefaultAction(Action(nId));
    pRow->addWidget(pButton);
  }
  pRow->addStretch(1);
}

void CMainFrame::UpdateCommandStates() {
  if (actions_.isEmpty()) return;
  for (const CLayoutCommand& command : kLayoutCommands)
    Action(command.id)->setChecked(command.layout == layout_);
  Action(eCmd_ToolLayoutGroup0 + frame::LayoutGroup(layout_))->setChecked(true);
  const CListPanel& list = ActiveList();
  Action(eCmd_Back)->setEnabled(list.History().CanGoBack());
  Action(eCmd_Forward)->setEnabled(list.History().CanGoForward());
  Action(eCmd_Up)->setEnabled(list.CanGoUp());
  const bool bListActive =
      activeView_ == eView_ListA || activeView_ == eView_ListB || activeView_ == eView_Fifth;
  for (int nId : {int(eCmd_SelectAll), int(eCmd_UnselectAll), int(eCmd_InvertSelection)})
    Action(nId)->setEnabled(bListActive);
  const CFileCommands& files = *commands_;
  const QString strActiveFolder = files.ActiveFolder();
  const bool bInFolder = !strActiveFolder.isEmpty();
  Action(eCmd_NewFolder)->setEnabled(bInFolder);
  Action(eCmd_Rename)->setEnabled(bInFolder || files.ActiveViewOffersOwn(EListCommand::eRename));
  for (const auto& command : kListingCommands)
    Action(command.id)->setEnabled(files.ActiveViewOffersOwn(command.command));
  Action(eCmd_Cut)->setEnabled(files.ActiveListOffers(EListCommand::eCut));
  Action(eCmd_Copy)->setEnabled(files.ActiveListOffers(EListCommand::eCopy));
  // Items of the file system: what the active list offers them for, or a folder in a tree.
  const bool bTreeItem = !bListActive && bInFolder && strActiveFolder != QStringLiteral("\\");
  auto offers = [&](EListCommand command) {
    return bListActive ? files.ActiveListOffers(command) : bTreeItem;
  };
  Action(eCmd_Shred)->setEnabled(offers(EListCommand::eShred));
  Action(eCmd_Encrypt)->setEnabled(offers(EListCommand::eEncrypt));
  Action(eCmd_Decrypt)->setEnabled(offers(EListCommand::eDecrypt));
  const bool bRows = list.rowCount() > 0;
  const bool bPurge = files.ActiveListOffers(EListCommand::eDeleteForGood) && bRows;
  Action(eCmd_Delete)->setEnabled(offers(EListCommand::eDelete) || bPurge ||
                                  files.ActiveViewOffersOwn(EListCommand::eDelete));
  Action(eCmd_DeletePermanently)->setEnabled(offers(EListCommand::eDelete) || bPurge);
  Action(eCmd_ShowHidden)->setChecked(settings.MainListShowHidden != 0);
  Action(eCmd_Restore)->setEnabled(files.ActiveListOffers(EListCommand::eRestore) && bRows);
  Action(eCmd_DeleteForGood)->setEnabled(bPurge);
  const bool bOtherFolder = !files.OtherPanelFolder().isEmpty();
  Action(eCmd_CopyToOther)->setEnabled(offers(EListCommand::eCopyToOther) && bOtherFolder);
  Action(eCmd_MoveToOther)->setEnabled(offers(EListCommand::eMoveToOther) && bOtherFolder);
  Action(eCmd_Paste)->setEnabled(bInFolder && !files.ClipboardItems().empty());
  Action(eCmd_PasteShortcut)->setEnabled(bInFolder && !files.ClipboardItems().empty());
  archiveCommands_->UpdateStates();
  Action(eCmd_OpenContainingFolder)
      ->setEnabled(files.ActiveListOffers(EListCommand::eOpenContainingFolder) && bRows);
  Action(eCmd_SearchResults)->setEnabled(layout_ != 10);
  // As the other file commands, by what the view offers, not by its current row.
  Action(eCmd_Properties)
      ->setEnabled(activeView_ != eView_Fifth &&
                   (bListActive ? files.ActiveListOffers(EListCommand::eProperties) : bInFolder));
}

// --- Navigation ---

void CMainFrame::Back() { StepHistory(false); }

void CMainFrame::Forward() { StepHistory(true); }

void CMainFrame::StepHistory(bool bForward) {
  // The panel lists the place of the history again itself, whatever its kind.
  CPanelController& panel = *panels_[ActivePanel()];
  if (!(bForward ? panel.Forward() : panel.Back())) return;
  UpdateCommandStates();
}

void CMainFrame::Up() { panels_[ActivePanel()]->Up(); }

void CMainFrame::Refresh() {
  if (activeView_ == eView_Fifth) return ActiveList().Refresh();
  panels_[ActivePanel()]->Refresh(ActivePart());
}

void CMainFrame::OpenCurrent() {
  if (activeView_ == eView_Fifth) return searchView_->ListView()->OpenCurrent();
  panels_[ActivePanel()]->OpenCurrent(ActivePart());
}
