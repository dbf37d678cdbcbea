#pragma once
// The folder tree of one panel: the tree model with the tree's selection, its back/forward
// history of folders, the stored location of the panel (written on every selection change),
// and the helpers that walk down to a stored location at start-up.
//
// The view shows Model() with SelectionModel() as its selection model, calls OnExpanded and
// OnCollapsed when the user opens or closes a node, and scrolls to the current node when it
// changes. The desktop's panel controller listens to the signals and routes a selection to the
// list of the same panel. User-interface thread only.

#include <QItemSelectionModel>
#include <QObject>
#include <QHash>
#include <QString>

#include <map>
#include <memory>
#include <vector>

#include "browse/folder_tree_model.h"
#include "browse/history.h"
#include "core/location.h"
#include "core/view_batch.h"
#include "browse/panel_keys.h"
#include "platform/folder_watch.h"

// What a tree node stands for, as the frame and the list need it.
struct CTreeTarget {
  DWORD kind = eEntry_None;  // the node kind
  // Folder, registry top, root key or subkey: the location (kind 2, 9, 10, 11); otherwise
  // empty (kind 0).
  CPanelLocation location;
  // What the list of the panel shows for the node: a folder, the registry, the recycle bin,
  // an archive; 0 for a file node.
  DWORD listSource = 0;
  QString filePath;     // file and archive nodes: the full path of the file
  QString archivePath;  // archive and folder inside an archive: the archive
  QString innerPath;    // folder inside an archive: its path inside the archive
  // What the list of the panel is to show for the node, for the list source factory: the
  // location of a folder or registry node, the recycle bin (kind 14), the archive of an
  // archive node (kind 5 with the archive's path), a folder inside one (kind 7 with
  // "<archive path>\<path inside>"); kind 0 for a file.
  CPanelLocation listLocation;
};

class CFolderTree : public QObject {
  Q_OBJECT

 public:
  explicit CFolderTree(EPanelId ePanel, QObject* pParent = nullptr);
  ~CFolderTree() override;

  EPanelId Panel() const { return panel_; }
  CFolderTreeModel* Model() { return &model_; }
  QItemSelectionModel* SelectionModel() { return &selection_; }

  // Builds the three top nodes and selects the device root. The stored location is not
  // touched by that selection.
  void Build();

  // The user expanded (collapsed) a node in the view. With MainTreeSingleExpand the node
  // becomes the selected one. Collapsing a folder whose descendant is selected selects the
  // folder first, since its descendants go away.
  void OnExpanded(const QModelIndex& index);
  void OnCollapsed(const QModelIndex& index);
  // The selected folder node read afresh (collapse, then expand).
  void RefreshCurrent();
  // A view notification: something was created, removed or renamed inside strFolder. The
  // folder's node (when the tree has made one) follows the disk; when the selected node went
  // away with it, the folder becomes the selected node.
  void OnFolderChanged(const QString& strFolder);
  // The same for a registry key whose subkeys changed (a key was created or deleted in it).
  void OnKeyChanged(HKEY root, const QString& strKeyPath);
  // Follow view notifications (core/view_notify.h): the nodes of the folders and keys where
  // items changed follow at the next pass of the event loop, or once at the end of a run (a
  // run never has a node read again while it goes on).
  void FollowChanges();
  // Applies the notifications gathered so far now, unless a run is going on.
  void ApplyViewChanges();
  // While following changes, the folders of expanded nodes are watched for changes other
  // programs make (platform/folder_watch.h); their nodes follow as they do for view
  // notifications. The folders watched now, lower-case.
  QStringList WatchedFolders() const;

  // Select the node of a location, filling the nodes on the way. When the location no
  // longer exists (or the tree filter hides part of it) the deepest node found is selected
  // and the result is false. A folder path must be absolute ("\a\b"); a key path may be
  // written with or without its leading backslash.
  bool SelectFolder(const QString& strPath);
  bool SelectRegistryTop();
  bool SelectRootKey(HKEY root);
  bool SelectKey(HKEY root, const QString& strKeyPath);
  // The node of a list's location, by its kind (folder, registry top, root key, subkey);
  // false for any other location.
  bool SelectLocation(const CPanelLocation& location);
  // Start-up: with RememberLastOpenedFolder the panel's stored location is selected (by its
  // kind), otherwise strStartFolder. The stored location is kept as it is meanwhile.
  void RestoreLocation(const QString& strStartFolder);

  // The selected node (invalid before Build).
  QModelIndex Current() const { return selection_.currentIndex(); }
  CTreeTarget TargetOf(const QModelIndex& index) const;

  // The folders selected in the tree, recorded while recording is on (from creation).
  const CNavHistory& History() const { return history_; }
  void SetHistoryRecording(bool bOn) { recording_ = bOn; }
  // Back and forward through the tree's history; the folder is selected without being
  // recorded again. False when there is no step or the folder cannot be reached.
  bool Back();
  bool Forward();

  // While synchronised (from creation) every selection is also sent to the panel's list.
  void SetSyncWithList(bool bOn) { sync_ = bOn; }
  bool IsSyncWithList() const { return sync_; }

 signals:
  // The list of this panel should show the node (sent while synchronised).
  void showInList(EPanelId ePanel, const CTreeTarget& target);
  // The selection moved to another node (after the steps above were taken).
  void currentNodeChanged(EPanelId ePanel, const CTreeTarget& target);
  // The view should show the node expanded (a tree without expand buttons opens every
  // folder that is selected).
  void expandRequested(const QModelIndex& index);

 private:
  void OnCurrentChanged(const QModelIndex& current);
  void Select(const QModelIndex& index);
  bool SelectFolderQuietly(const QString& strPath);
  bool IsUnder(const QModelIndex& index, const QModelIndex& ancestor) const;
  void ContentsChanged(const QModelIndex& index);
  void NoteChanges(const std::vector<fileops::CViewChange>& changes);
  // The nodes of the places noted so far read again, unless a run is going on.
  void ApplyChangedPlaces();
  void NotePlace(const QString& strFolder);
  void WatchFolder(const QModelIndex& index);
  void UnwatchFolders(const QModelIndex& index);

  EPanelId panel_;
  CFolderTreeModel model_;
  QItemSelectionModel selection_;
  CNavHistory history_;
  bool recording_ = true;
  bool sync_ = true;
  bool restoring_ = false;  // selection changes leave the stored location alone
  // Places whose items changed, kept until no run goes on: (kind, root, path) by lower-case
  // key.
  QHash<QString, fileops::CViewChange> changedPlaces_;
  std::unique_ptr<fileops::CViewChangeBatch> changes_;  // unsubscribes before the rest goes
  // The expanded folders watched, by lower-case path; they go first.
  std::map<QString, std::unique_ptr<plat::CFolderWatch>> watches_;
};
