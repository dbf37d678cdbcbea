// View notifications: after an operation creates, removes or renames an item, the trees and
// lists that show its folder follow the disk. Changes are gathered and applied together a
// moment later, so an operation over many files reloads each folder once per pass of the
// event loop, not once per file.
#include <QTimer>

#include "browse/folder_tree.h"
#include "fileops/list_source_bin.h"
#include "core/path_helpers.h"
#include "ui/main_frame.h"

namespace {

constexpr int kNotifyDelayMs = 100;

// True when strPath is strFolder or lies below it (ignoring case).
bool IsAtOrUnder(const QString& strPath, const QString& strFolder) {
  if (strPath.compare(strFolder, Qt::CaseInsensitive) == 0) return true;
  const QString strPrefix = strFolder.endsWith('\\') ? strFolder : strFolder + '\\';
  return strPath.startsWith(strPrefix, Qt::CaseInsensitive);
}

}  // namespace

void CMainFrame::setupNotifications() {
  notifyTimer_ = new QTimer(this);
  notifyTimer_->setSingleShot(true);
  notifyTimer_->setInterval(kNotifyDelayMs);
  connect(notifyTimer_, &QTimer::timeout, this, &CMainFrame::ApplyViewChanges);
  fileops::AddViewListener(this);
}

void CMainFrame::OnViewChange(const fileops::CViewChange& change) {
  if (destroying_) return;
  changedFolders_.insert(browse::ParentPath(change.strPath).toLower(),
                         browse::ParentPath(change.strPath));
  const bool bFolderGone = change.change == fileops::EViewChange::eFolderRemoved ||
                           change.change == fileops::EViewChange::eFolderRenamed ||
                           change.change == fileops::EViewChange::eItemRemoved;
  if (!change.strNewPath.isEmpty())
    changedFolders_.insert(browse::ParentPath(change.strNewPath).toLower(),
                           browse::ParentPath(change.strNewPath));
  // A list showing a folder that went away (or one inside it) moves out of it at once: a
  // renamed folder is followed to its new name, a removed one left for its parent.
  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    CListPanel& list = *panels_[ePanel].list;
    const QString strShown = list.CurrentPath();
    if (!bFolderGone || strShown.isEmpty() || !IsAtOrUnder(strShown, change.strPath)) continue;
    QString strTarget = browse::ParentPath(change.strPath);
    if (change.change == fileops::EViewChange::eFolderRenamed && !change.strNewPath.isEmpty())
      strTarget = change.strNewPath + strShown.mid(change.strPath.size());
    if (!strTarget.isEmpty()) list.LoadFolder(strTarget, true, false);
  }
  notifyTimer_->start();
}

void CMainFrame::ApplyViewChanges() {
  const QHash<QString, QString> folders = std::exchange(changedFolders_, {});
  for (const QString& strFolder : folders) {
    if (strFolder.isEmpty()) continue;
    for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
      panels_[ePanel].tree->OnFolderChanged(strFolder);
      CListPanel& list = *panels_[ePanel].list;
      if (list.CurrentPath().compare(strFolder, Qt::CaseInsensitive) == 0)
        list.LoadFolder(strFolder, true, false);
      else if (browse::ListsRecycleBinFolder(list, strFolder))
        list.Refresh();
    }
  }
}
