// The file commands the frame runs itself: a new folder, a rename, the clipboard, copy and
// move to the other panel, and shred. The operations show their own questions, progress
// windows and error boxes, and tell the views what changed (fileops/view_notify.h).
#include <QAbstractItemView>
#include <QInputDialog>

#include <QItemSelectionModel>

#include <algorithm>

#include "browse/file_item.h"
#include "browse/folder_tree.h"
#include "core/path_helpers.h"
#include "fileops/copy_move.h"
#include "core/message_box.h"
#include "fileops/rename.h"
#include "fileops/shredder.h"
#include "platform/file_system.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"

namespace {

bool AskNameWithDialog(QWidget* pParent, const QString& strOldName, QString* pstrNewName) {
  bool bOk = false;
  const QString strName = QInputDialog::getText(pParent, QStringLiteral("Rename"),
                                                QStringLiteral("New name:"), QLineEdit::Normal,
                                                strOldName, &bOk);
  if (!bOk) return false;
  *pstrNewName = strName;
  return true;
}

}  // namespace

QString CMainFrame::ActiveFolder() const {
  const CPanelController& parts = *panels_[ActivePanel()];
  if (activeView_ == eView_TreeA || activeView_ == eView_TreeB) {
    return parts.Tree().TargetOf(parts.Tree().Current()).location.FolderPath();
  }
  return parts.List().CurrentPath();
}

void CMainFrame::NewFolder() {
  const QString strFolder = ActiveFolder();
  if (strFolder.isEmpty()) return;
  QString strNewPath;
  if (!fileops::CreateNewFolder(strFolder, &strNewPath)) return;
  ApplyViewChanges();
  // The new folder becomes the focused entry of the list that shows it.
  CPanelController& parts = *panels_[ActivePanel()];
  if (activeView_ != eView_ListA && activeView_ != eView_ListB) return;
  const QString strName = browse::LastComponent(strNewPath);
  for (int nRow = 0; nRow < parts.List().rowCount(); ++nRow) {
    if (parts.List().Entries().At(nRow)->displayName.compare(strName, Qt::CaseInsensitive) != 0)
      continue;
    parts.ListView()->Selection()->setCurrentIndex(parts.List().index(nRow, 0),
                                                 QItemSelectionModel::ClearAndSelect);
    parts.ListView()->CurrentView()->scrollTo(parts.List().index(nRow, 0));
    break;
  }
}

void CMainFrame::RenameCurrent() {
  CPanelController& parts = *panels_[ActivePanel()];
  QString strOldPath;
  bool bFolder = false;
  if (activeView_ == eView_TreeA || activeView_ == eView_TreeB) {
    strOldPath = parts.Tree().TargetOf(parts.Tree().Current()).location.FolderPath();
    // The device root has no name of its own to change.
    if (strOldPath == QStringLiteral("\\")) return;
    bFolder = true;
  } else {
    const IListSource& source = *parts.List().Source();
    if (!source.Offers(EListCommand::eRename)) return;
    const fileops::CSelection item =
        source.Selection(parts.List().Entries(), {parts.ListView()->CurrentRow()});
    if (item.empty()) return;
    strOldPath = item.front().strPath;
    bFolder = item.front().nKind == fileops::eSelFolder;
  }
  if (strOldPath.isEmpty()) return;
  const QString strOldName = browse::LastComponent(strOldPath);
  QString strNewName;
  const bool bAsked = nameAsker_ ? nameAsker_(strOldName, &strNewName)
                                 : AskNameWithDialog(this, strOldName, &strNewName);
  if (!bAsked || strNewName == strOldName) return;
  const QString strNewPath =
      browse::AppendPathComponent(browse::ParentPath(strOldPath), strNewName);
  const bool bOk = bFolder ? fileops::RenameFolder(strOldPath, strNewPath)
                           : fileops::RenameFile(strOldPath, strNewPath);
  if (bOk) ApplyViewChanges();
}

QList<int> CMainFrame::ActiveListRows() const {
  QList<int> rows;
  if (activeView_ != eView_ListA && activeView_ != eView_ListB) return rows;
  const CPanelController& parts = *panels_[ActivePanel()];
  for (const QModelIndex& index : parts.ListView()->Selection()->selectedRows()) rows << index.row();
  if (rows.isEmpty() && parts.ListView()->CurrentRow() >= 0) rows << parts.ListView()->CurrentRow();
  std::sort(rows.begin(), rows.end());
  return rows;
}

fileops::CSelection CMainFrame::ActiveListSelection() const {
  // The items of the file commands: rows of a listing whose items can be copied out.
  const CListPanel& list = panels_[ActivePanel()]->List();
  if (!list.Source()->Offers(EListCommand::eCopy)) return {};
  return list.Source()->Selection(list.Entries(), ActiveListRows());
}

void CMainFrame::CopySelection(bool bMove) {
  fileops::CSelection selection = ActiveListSelection();
  if (selection.empty()) return;
  clipboard_ = std::move(selection);
  clipboardMoves_ = bMove;
  UpdateCommandStates();
}

void CMainFrame::Paste() {
  const QString strFolder = ActiveFolder();
  if (strFolder.isEmpty() || clipboard_.empty()) return;
  const int nResult = fileops::CopyItems(clipboard_, strFolder, clipboardMoves_);
  // Moved items are gone from where they were kept; a cancelled or failed move keeps the
  // list so the user can try again.
  if (clipboardMoves_ && nResult == fileops::eCopyOK) clipboard_.clear();
  AfterOperation();
}

void CMainFrame::PasteShortcuts() {
  const QString strFolder = ActiveFolder();
  if (strFolder.isEmpty()) return;
  for (const fileops::CSelItem& item : clipboard_) fileops::PasteShortcut(item.strPath, strFolder);
  ApplyViewChanges();
}

fileops::CSelection CMainFrame::CommandSelection() const {
  if (activeView_ == eView_ListA || activeView_ == eView_ListB) return ActiveListSelection();
  const CPanelController& parts = *panels_[ActivePanel()];
  const QString strFolder = parts.Tree().TargetOf(parts.Tree().Current()).location.FolderPath();
  // The device root itself is never an item of a command.
  if (strFolder.isEmpty() || strFolder == QStringLiteral("\\")) return {};
  return {{fileops::eSelFolder, strFolder}};
}

QString CMainFrame::OtherPanelFolder() const {
  return panels_[ActivePanel() == ePanel_A ? ePanel_B : ePanel_A]->List().CurrentPath();
}

void CMainFrame::CopyToOtherPanel(bool bMove) {
  OpenPanel(ActivePanel() == ePanel_A ? ePanel_B : ePanel_A);
  const fileops::CSelection selection = CommandSelection();
  const QString strDest = OtherPanelFolder();
  if (selection.empty() || strDest.isEmpty()) return;
  fileops::CopyItems(selection, strDest, bMove);
  AfterOperation();
}

void CMainFrame::DropItems(const QStringList& devicePaths, const QString& strTargetFolder,
                           Qt::DropAction action) {
  fileops::CSelection selection;
  for (const QString& strPath : devicePaths) {
    if (browse::ParentPath(strPath).compare(strTargetFolder, Qt::CaseInsensitive) == 0) continue;
    const DWORD dwAttributes = plat::GetFileAttributes(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) continue;
    selection.push_back({(dwAttributes & FILE_ATTRIBUTE_DIRECTORY) ? fileops::eSelFolder
                                                                    : fileops::eSelFile,
                         strPath});
  }
  if (selection.empty()) return;
  fileops::CopyItems(selection, strTargetFolder, action == Qt::MoveAction);
  AfterOperation();
}

void CMainFrame::ShredSelection() {
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  if (selection.size() == 1) {
    const fileops::CSelItem& item = selection.front();
    if (item.nKind == fileops::eSelFolder)
      fileops::ShredFolder(item.strPath);
    else
      fileops::ShredOneFile(item.strPath);
  } else {
    // The shredder asks about one item at a time; several are confirmed here, once, in the
    // shredder's own box.
    const QString strText =
        QStringLiteral("Are you sure you want to permanently delete these %1 items?")
            .arg(selection.size());
    if (MsgQuestion(strText, QStringLiteral("Shred"),
                    QStringLiteral("Confirm permanently delete operation")) != eMsgAnsYes)
      return;
    fileops::ShredSelectionRun(selection);
  }
  AfterOperation();
}

void CMainFrame::AfterOperation() {
  ApplyViewChanges();
  UpdateCommandStates();
  // The operation's modal windows are gone: the keys go to the view the command came from.
  activateWindow();
  if (QWidget* pView = ViewWidget(activeView_)) pView->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::ApplyViewChanges() {
  for (EPanelId ePanel : {ePanel_A, ePanel_B}) {
    panels_[ePanel]->Tree().ApplyViewChanges();
    panels_[ePanel]->List().ApplyViewChanges();
  }
}
