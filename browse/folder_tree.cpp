#include "browse/folder_tree.h"

#include <QScopedValueRollback>

#include <utility>

#include "core/path_helpers.h"
#include "core/settings.h"

namespace {

QStringList PathParts(const QString& strPath) {
  return strPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool IsStorableKind(DWORD dwKind) {
  return dwKind == eEntry_Folder || dwKind == eEntry_RegTop || dwKind == eEntry_RegRoot ||
         dwKind == eEntry_RegKey;
}

}  // namespace

CFolderTree::CFolderTree(EPanelId ePanel, QObject* pParent)
    : QObject(pParent), panel_(ePanel), selection_(&model_) {
  connect(&selection_, &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) { OnCurrentChanged(current); });
}

CFolderTree::~CFolderTree() = default;

void CFolderTree::Build() {
  QScopedValueRollback<bool> restoring(restoring_, true);
  model_.Build();
  Select(model_.DeviceRootIndex());
}

CTreeTarget CFolderTree::TargetOf(const QModelIndex& index) const {
  CTreeTarget target;
  const CTreeNode* pNode = model_.Node(index);
  if (!pNode) return target;
  target.kind = pNode->kind;
  switch (pNode->kind) {
    case eEntry_Folder:
      target.location = CPanelLocation::FileSystem(pNode->path);
      target.listSource = ePanelSrc_FileSystem;
      break;
    case eEntry_RegTop:
      target.location = CPanelLocation::RegistryTop();
      target.listSource = ePanelSrc_Registry;
      break;
    case eEntry_RegRoot:
    case eEntry_RegKey:
      target.location = CPanelLocation::Registry(pNode->root, pNode->path);
      target.listSource = ePanelSrc_Registry;
      break;
    case eEntry_RecycleBin:
      target.listSource = ePanelSrc_RecycleBin;
      break;
    case eEntry_File:
      target.filePath = pNode->FullPath();
      break;
    case eEntry_Zip:
      target.filePath = pNode->archivePath;
      target.archivePath = pNode->archivePath;
      target.listSource = ePanelSrc_Zip;
      break;
    case eEntry_ZipFolder:
      target.archivePath = pNode->archivePath;
      target.innerPath = pNode->path;
      target.listSource = ePanelSrc_Zip;
      break;
    default:
      break;
  }
  switch (target.listSource) {
    case ePanelSrc_FileSystem:
    case ePanelSrc_Registry:
      target.listLocation = target.location;
      break;
    case ePanelSrc_RecycleBin:
      target.listLocation = CPanelLocation(eEntry_RecycleBin, 0, QString());
      break;
    case ePanelSrc_Zip:
      // The archive's top (kind 5, the archive's path) or a folder inside it (kind 7,
      // "<archive path>\<path inside>"), as the archive source reads its locations.
      target.listLocation =
          target.innerPath.isEmpty()
              ? CPanelLocation(eEntry_Zip, 0, target.archivePath)
              : CPanelLocation(eEntry_ZipFolder, 0, target.archivePath + u'\\' + target.innerPath);
      break;
    default:
      break;
  }
  return target;
}

bool CFolderTree::SelectLocation(const CPanelLocation& location) {
  switch (location.kind) {
    case eEntry_Folder:
      return SelectFolder(location.path);
    case eEntry_RegTop:
      return SelectRegistryTop();
    case eEntry_RegRoot:
      return SelectRootKey(location.root);
    case eEntry_RegKey:
      return SelectKey(location.root, location.path);
    default:
      return false;
  }
}

// The steps of a selection change, in order: the tree's history, the list, the stored
// location, the expansion of a tree without buttons, and last the frame.
void CFolderTree::OnCurrentChanged(const QModelIndex& current) {
  const CTreeNode* pNode = model_.Node(current);
  if (!pNode) return;
  const CTreeTarget target = TargetOf(current);
  if (pNode->kind == eEntry_Folder && recording_) history_.Record(target.location);
  if (sync_) emit showInList(panel_, target);
  if (!restoring_ && IsStorableKind(target.location.kind))
    browse::StorePanelLocation(panel_, target.location);
  if (settings.MainTreeHasButtons == 0 && pNode->kind == eEntry_Folder) {
    model_.Expand(current);
    emit expandRequested(current);
  }
  emit currentNodeChanged(panel_, target);
}

void CFolderTree::Select(const QModelIndex& index) {
  if (!index.isValid()) return;
  selection_.setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void CFolderTree::OnExpanded(const QModelIndex& index) {
  model_.Expand(index);
  WatchFolder(index);
  if (settings.MainTreeSingleExpand == 1) Select(index);
}

bool CFolderTree::IsUnder(const QModelIndex& index, const QModelIndex& ancestor) const {
  for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
    if (up == ancestor) return true;
  }
  return false;
}

void CFolderTree::OnCollapsed(const QModelIndex& index) {
  // The selected node must not go away with the children: the collapsed node takes over.
  if (IsUnder(Current(), index) || settings.MainTreeSingleExpand == 1) Select(index);
  UnwatchFolders(index);
  model_.Collapse(index);
}

void CFolderTree::RefreshCurrent() {
  const QModelIndex current = Current();
  const CTreeNode* pNode = model_.Node(current);
  if (!pNode || pNode->kind != eEntry_Folder) return;
  model_.Refresh(current);
}

void CFolderTree::OnFolderChanged(const QString& strFolder) {
  ContentsChanged(model_.FolderIndex(browse::StripTrailingBackslash(strFolder)));
}

void CFolderTree::OnKeyChanged(HKEY root, const QString& strKeyPath) {
  ContentsChanged(model_.KeyIndex(root, strKeyPath));
}

void CFolderTree::FollowChanges() {
  changes_ = std::make_unique<fileops::CViewChangeBatch>(
      [this](const fileops::CViewChangeBatch::CChanges& changes) { NoteChanges(changes); });
}

void CFolderTree::ApplyViewChanges() {
  if (changes_) changes_->Flush();
  ApplyChangedPlaces();
}

void CFolderTree::ApplyChangedPlaces() {
  if (fileops::ViewRunActive()) return;
  const QHash<QString, fileops::CViewChange> places = std::exchange(changedPlaces_, {});
  for (const fileops::CViewChange& place : places) {
    if (place.IsFileSystem())
      OnFolderChanged(place.strPath);
    else if (place.kind == eEntry_RegKey)
      OnKeyChanged(place.root, place.strPath);
  }
}

void CFolderTree::NoteChanges(const std::vector<fileops::CViewChange>& changes) {
  const auto note = [this](const fileops::CViewChange& change, const QString& strPath) {
    if (strPath.isEmpty()) return;
    fileops::CViewChange place = change;
    place.strPath = browse::ParentPath(strPath);
    place.strNewPath.clear();
    // A key right below its root has the root key as its place.
    if (place.strPath.isEmpty() && change.IsFileSystem()) return;
    changedPlaces_.insert(QString::number(place.kind) + u'|' +
                              QString::number(quintptr(place.root)) + u'|' +
                              place.strPath.toLower(),
                          place);
  };
  for (const fileops::CViewChange& change : changes) {
    note(change, change.strPath);
    note(change, change.strNewPath);
  }
  ApplyChangedPlaces();
}

void CFolderTree::NotePlace(const QString& strFolder) {
  fileops::CViewChange place;
  place.strPath = strFolder;
  changedPlaces_.insert(QString::number(place.kind) + QStringLiteral("|0|") + strFolder.toLower(), place);
}

void CFolderTree::WatchFolder(const QModelIndex& index) {
  const CTreeNode* pNode = model_.Node(index);
  if (!changes_ || !pNode || pNode->kind != eEntry_Folder) return;
  const QString strFolder = browse::StripTrailingBackslash(pNode->FullPath());
  if (strFolder.isEmpty()) return;
  auto& watch = watches_[strFolder.toLower()];
  if (watch) return;
  watch = std::make_unique<plat::CFolderWatch>(
      strFolder, [this, strFolder](const plat::CFolderWatch::CEvents& events) {
        bool bChanged = false;
        for (const plat::CFolderEvent& event : events) {
          if (event.kind == plat::CFolderEvent::eGone) {
            // Its parent's node drops it; the watch goes with the node.
            const QString strParent = browse::ParentPath(strFolder);
            if (!strParent.isEmpty()) NotePlace(strParent);
            watches_.erase(strFolder.toLower());
            ApplyChangedPlaces();
            return;
          }
          // A file written to changes no node.
          if (event.kind != plat::CFolderEvent::eChanged) bChanged = true;
        }
        if (!bChanged) return;
        NotePlace(strFolder);
        ApplyChangedPlaces();
      });
}

void CFolderTree::UnwatchFolders(const QModelIndex& index) {
  const CTreeNode* pNode = model_.Node(index);
  if (!pNode || pNode->kind != eEntry_Folder) return;
  const QString strFolder = browse::StripTrailingBackslash(pNode->FullPath()).toLower();
  const QString strPrefix = strFolder.endsWith(u'\\') ? strFolder : strFolder + u'\\';
  for (auto it = watches_.begin(); it != watches_.end();) {
    if (it->first == strFolder || it->first.startsWith(strPrefix))
      it = watches_.erase(it);
    else
      ++it;
  }
}

QStringList CFolderTree::WatchedFolders() const {
  QStringList folders;
  for (const auto& [strKey, watch] : watches_) folders << strKey;
  return folders;
}

void CFolderTree::ContentsChanged(const QModelIndex& index) {
  if (!index.isValid()) return;
  const bool bHadCurrent = Current().isValid();
  model_.ContentsChanged(index);
  if (bHadCurrent && !Current().isValid()) Select(index);
}

bool CFolderTree::SelectFolder(const QString& strPath) {
  QModelIndex index = model_.DeviceRootIndex();
  if (!index.isValid()) return false;
  bool bFound = strPath.startsWith(QLatin1Char('\\'));
  if (bFound) {
    for (const QString& strPart : PathParts(strPath)) {
      model_.Expand(index);
      const QModelIndex child = model_.FindChild(index, eEntry_Folder, strPart);
      if (!child.isValid()) {
        bFound = false;
        break;
      }
      index = child;
    }
  }
  Select(index);
  return bFound;
}

bool CFolderTree::SelectRegistryTop() {
  const QModelIndex top = model_.RegistryTopIndex();
  Select(top);
  return top.isValid();
}

bool CFolderTree::SelectRootKey(HKEY root) { return SelectKey(root, QString()); }

bool CFolderTree::SelectKey(HKEY root, const QString& strKeyPath) {
  QModelIndex index = model_.RootKeyIndex(root);
  if (!index.isValid()) {
    SelectRegistryTop();
    return false;
  }
  bool bFound = true;
  for (const QString& strPart : PathParts(strKeyPath)) {
    model_.Expand(index);
    const QModelIndex child = model_.FindChild(index, eEntry_RegKey, strPart);
    if (!child.isValid()) {
      bFound = false;
      break;
    }
    index = child;
  }
  Select(index);
  return bFound;
}

void CFolderTree::RestoreLocation(const QString& strStartFolder) {
  QScopedValueRollback<bool> restoring(restoring_, true);
  if (settings.RememberLastOpenedFolder != 1) {
    SelectFolder(strStartFolder);
    return;
  }
  const CPanelLocation stored = browse::StoredPanelLocation(panel_);
  switch (stored.kind) {
    case eEntry_RegTop:
      SelectRegistryTop();
      break;
    case eEntry_RegRoot:
      SelectRootKey(stored.root);
      break;
    case eEntry_RegKey:
      SelectKey(stored.root, stored.path);
      break;
    default:
      SelectFolder(stored.path.isEmpty() ? strStartFolder : stored.path);
      break;
  }
}

bool CFolderTree::SelectFolderQuietly(const QString& strPath) {
  QScopedValueRollback<bool> recording(recording_, false);
  return SelectFolder(strPath);
}

bool CFolderTree::Back() {
  CPanelLocation location;
  if (!history_.Back(&location)) return false;
  return location.IsFileSystem() && SelectFolderQuietly(location.path);
}

bool CFolderTree::Forward() {
  CPanelLocation location;
  if (!history_.Forward(&location)) return false;
  return location.IsFileSystem() && SelectFolderQuietly(location.path);
}
