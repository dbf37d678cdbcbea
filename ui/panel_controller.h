#pragma once
// One panel of the main frame (A or B): its folder tree and its list, the two views that show
// them, and the place the list shows now.
//
// The controller opens the panel at its start location the first time it is needed, routes a
// selection in the tree to the list, keeps the tree on the place the list shows (without
// routing that back), writes each new location of the list into the settings, and steps the
// panel back, forward, up and through a refresh. It tells the frame what happened through
// IPanelControllerObserver; the frame only updates its bars and command states.
//
// The views are the frame's: it makes them, places them in its slots and says whether the
// layout shows the tree (SetTreeShown). A controller without views or an observer still
// opens, routes and follows, which is how its tests drive it.
//
// User-interface thread only.

#include <QString>

#include <memory>

#include "browse/list_panel.h"
#include "browse/panel_keys.h"
#include "core/location.h"

class CFolderTree;
class CFolderTreeView;
class CListView;
struct CTreeTarget;

// The two views of a panel.
enum class EPanelPart { eTree, eList };

// What a panel controller tells the frame.
class IPanelControllerObserver {
 public:
  virtual ~IPanelControllerObserver() = default;
  // The list shows another place; the tree has followed it.
  virtual void OnPanelLocation(EPanelId ePanel, const CPanelLocation& location) = 0;
  // The status line of the list's listing ("Folders: 3, Files: 5"); empty for sources
  // without one.
  virtual void OnPanelStatusText(EPanelId ePanel, const QString& strText) = 0;
  // A file was opened in the list.
  virtual void OnPanelOpenFile(EPanelId ePanel, const QString& strFullPath) = 0;
  // A row could not be opened (dwError, a system error); the list stays where it is.
  virtual void OnPanelRefused(EPanelId ePanel, const QString& strFullPath, DWORD dwError) {}
};

class CPanelController : private IListPanelObserver {
 public:
  // Makes the tree and the list of the panel, both following view notifications. Nothing is
  // listed before SetStartFolder and Open. pObserver may be null; it is not owned.
  explicit CPanelController(EPanelId ePanel, IPanelControllerObserver* pObserver = nullptr);
  ~CPanelController() override;

  EPanelId Panel() const { return panel_; }
  CListPanel& List() { return *list_; }
  const CListPanel& List() const { return *list_; }
  CFolderTree& Tree() { return *tree_; }
  const CFolderTree& Tree() const { return *tree_; }
  // The views of the tree and the list; null until the frame has set them, and again once it
  // has deleted them.
  void SetViews(CFolderTreeView* pTreeView, CListView* pListView);
  CFolderTreeView* TreeView() const { return treeView_; }
  CListView* ListView() const { return listView_; }
  // What the list shows now, as it last reported it.
  const CPanelLocation& Location() const { return location_; }

  // --- Opening ---
  // The folder the panel opens at when no stored location is restored
  // (RememberLastOpenedFolder); Open does nothing before it has been given.
  void SetStartFolder(const QString& strStartFolder);
  // Whether the layout shows the tree now. A panel opened while its tree is hidden lists its
  // stored folder directly and builds the tree later (EnsureTree).
  void SetTreeShown(bool bShown) { treeShown_ = bShown; }
  // Opens the panel at its stored location (or the start folder) the first time: the tree is
  // built and restores the place when it is shown or the place needs it, and the location
  // reached is stored. True when the panel opened now.
  bool Open();
  bool IsOpen() const { return opened_; }
  // Builds the tree of an open panel once and selects the place its list shows.
  void EnsureTree();
  bool IsTreeBuilt() const { return treeBuilt_; }

  // --- Navigation ---
  // Back and forward through the list's history; false when there is nothing to go to.
  bool Back();
  bool Forward();
  void Up();
  // Lists the current place again: the tree's selected node or the list.
  void Refresh(EPanelPart part);
  // Enter: opens the list's focused entry, or opens or closes the tree's selected node.
  void OpenCurrent(EPanelPart part);
  // The file-system folder the list shows, or the folder node the tree has selected; empty
  // for every other place.
  QString Folder(EPanelPart part) const;
  // Applies the view changes the tree and the list have gathered now.
  void ApplyViewChanges();

  // The frame is going: the list's column widths are saved now, and nothing the panel
  // reports from here on is stored or passed on.
  void Close();

 private:
  // IListPanelObserver: what the list reports.
  void OnPanelLocation(EPanelId ePanel, const CPanelLocation& location) override;
  void OnPanelStatusText(EPanelId ePanel, const QString& strText) override;
  void OnPanelOpenFile(EPanelId ePanel, const QString& strFullPath) override;
  void OnPanelRefused(EPanelId ePanel, const QString& strFullPath, DWORD dwError) override;

  // The list opened at the stored folder without the tree; false when the place needs the
  // tree's restore.
  bool OpenListAlone();
  // Builds the tree once; the device root it selects is not sent to the list.
  void BuildTree();
  void ShowTreeTargetInList(const CTreeTarget& target);
  // Moves the tree to the list's place without sending it back to the list.
  void FollowInTree(const CPanelLocation& location);

  EPanelId panel_;
  IPanelControllerObserver* observer_;
  bool closing_ = false;  // before the models, so that it outlives what they report
  std::unique_ptr<CFolderTree> tree_;
  std::unique_ptr<CListPanel> list_;
  CFolderTreeView* treeView_ = nullptr;
  CListView* listView_ = nullptr;
  CPanelLocation location_;  // what the list shows now
  QString startFolder_;
  bool started_ = false;    // SetStartFolder has been called
  bool treeShown_ = false;  // the frame's layout shows the tree
  bool opened_ = false;
  bool treeBuilt_ = false;
  bool followingList_ = false;  // the tree is moved to the list's place; do not route back
  bool startingPanel_ = false;  // the panel is being opened at its start location
};
