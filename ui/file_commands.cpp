#include "ui/file_commands.h"

#include <QAbstractItemView>
#include <QDesktopServices>
#include <QFile>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QUrl>

#include <algorithm>

#include "browse/file_item.h"
#include "browse/folder_tree.h"
#include "browse/list_source_factory.h"
#include "core/app_log.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "crypto/enc_commands.h"
#include "fileops/copy_move.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "fileops/rename.h"
#include "fileops/shredder.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "ui/copy_dest_dialog.h"
#include "ui/enc_dialogs.h"
#include "ui/list_view.h"

namespace {

bool OpenWithDesktop(const QString& strHostPath) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(strHostPath));
}

// Items copied or moved into a folder: items that are not files of the file system (members
// of an archive) leave through the kind that names them, the rest through the file operations.
int CopyInto(const fileops::CSelection& items, const QString& strFolder, bool bMove) {
  if (ListSources().CopyOut(items, strFolder)) return fileops::eCopyOK;
  return fileops::CopyItems(items, strFolder, bMove);
}

}  // namespace

CFileCommands::CFileCommands(IFileCommandsHost& host, QWidget* pDialogParent)
    : host_(host),
      dialogParent_(pDialogParent),
      fileOpener_(OpenWithDesktop),
      shellOpener_(plat::ShellOpen) {
  SetPasswordPrompt(nullptr);
}

CFileCommands::~CFileCommands() = default;

void CFileCommands::SetPasswordPrompt(crypto::IPasswordPrompt* pPrompt) {
  if (!desktopPrompt_) desktopPrompt_ = std::make_unique<CDesktopPasswordPrompt>(dialogParent_);
  prompt_ = pPrompt ? pPrompt : desktopPrompt_.get();
}

// --- What the commands act on ---

QString CFileCommands::ActiveFolder() const {
  const CCommandTarget target = host_.CommandTarget();
  return target.Folder();
}

QString CFileCommands::OtherPanelFolder() const {
  return host_.CommandTarget().pOther->Folder(EPanelPart::eList);
}

bool CFileCommands::ActiveListOffers(EListCommand command) const {
  const CCommandTarget target = host_.CommandTarget();
  if (target.part != EPanelPart::eList) return false;
  return target.List().Source()->Offers(command);
}

QList<int> CFileCommands::ActiveListRows() const {
  QList<int> rows;
  const CCommandTarget target = host_.CommandTarget();
  if (target.part != EPanelPart::eList) return rows;
  const CListView* pView = target.ListView();
  for (const QModelIndex& index : pView->Selection()->selectedRows()) rows << index.row();
  if (rows.isEmpty() && pView->CurrentRow() >= 0) rows << pView->CurrentRow();
  std::sort(rows.begin(), rows.end());
  return rows;
}

fileops::CSelection CFileCommands::ActiveListItems(EListCommand command) const {
  if (!ActiveListOffers(command)) return {};
  const CListPanel& list = host_.CommandTarget().List();
  return list.Source()->Selection(list.Entries(), ActiveListRows());
}

fileops::CSelection CFileCommands::CommandSelection() const {
  const CCommandTarget target = host_.CommandTarget();
  // The items of the file commands in a list: rows of a listing whose items can be copied out.
  if (target.part == EPanelPart::eList) return ActiveListItems(EListCommand::eCopy);
  const QString strFolder = target.pActive->Folder(EPanelPart::eTree);
  // The device root itself is never an item of a command.
  if (strFolder.isEmpty() || strFolder == QStringLiteral("\\")) return {};
  return {{fileops::eSelFolder, strFolder}};
}

// --- A new folder and a rename ---

void CFileCommands::NewFolder() {
  const QString strFolder = ActiveFolder();
  if (strFolder.isEmpty()) return;
  QString strNewPath;
  if (!fileops::CreateNewFolder(strFolder, &strNewPath)) return;
  host_.ApplyViewChanges();
  // The new folder becomes the focused entry of the list that shows it.
  const CCommandTarget target = host_.CommandTarget();
  if (target.part != EPanelPart::eList) return;
  CListPanel& list = target.List();
  CListView* pView = target.ListView();
  const QString strName = browse::LastComponent(strNewPath);
  for (int nRow = 0; nRow < list.rowCount(); ++nRow) {
    if (list.Entries().At(nRow)->displayName.compare(strName, Qt::CaseInsensitive) != 0)
      continue;
    pView->Selection()->setCurrentIndex(list.index(nRow, 0), QItemSelectionModel::ClearAndSelect);
    pView->CurrentView()->scrollTo(list.index(nRow, 0));
    break;
  }
}

void CFileCommands::RenameCurrent() {
  if (RunListingCommand(EListCommand::eRename)) return;
  const CCommandTarget target = host_.CommandTarget();
  QString strOldPath;
  bool bFolder = false;
  if (target.part == EPanelPart::eTree) {
    strOldPath = target.pActive->Folder(EPanelPart::eTree);
    // The device root has no name of its own to change.
    if (strOldPath == QStringLiteral("\\")) return;
    bFolder = true;
  } else {
    const CListPanel& list = target.List();
    const IListSource& source = *list.Source();
    if (!source.Offers(EListCommand::eRename)) return;
    const fileops::CSelection item =
        source.Selection(list.Entries(), {target.ListView()->CurrentRow()});
    if (item.empty()) return;
    strOldPath = item.front().strPath;
    bFolder = item.front().nKind == fileops::eSelFolder;
  }
  if (strOldPath.isEmpty()) return;
  const QString strOldName = browse::LastComponent(strOldPath);
  QString strNewName;
  if (!AskName(strOldName, &strNewName) || strNewName == strOldName) return;
  const QString strNewPath =
      browse::AppendPathComponent(browse::ParentPath(strOldPath), strNewName);
  const bool bOk = bFolder ? fileops::RenameFolder(strOldPath, strNewPath)
                           : fileops::RenameFile(strOldPath, strNewPath);
  if (bOk) host_.ApplyViewChanges();
}

bool CFileCommands::AskName(const QString& strOldName, QString* pstrNewName) {
  if (nameAsker_) return nameAsker_(strOldName, pstrNewName);
  bool bOk = false;
  const QString strName = QInputDialog::getText(dialogParent_, core::Text(900584),
                                                core::Text(900585), QLineEdit::Normal, strOldName,
                                                &bOk);
  if (!bOk) return false;
  *pstrNewName = strName;
  return true;
}

// --- The clipboard, the other panel and drops ---

void CFileCommands::CopySelection(bool bMove) {
  fileops::CSelection selection = ActiveListItems(EListCommand::eCopy);
  if (selection.empty()) return;
  clipboard_ = std::move(selection);
  clipboardMoves_ = bMove;
  host_.CommandStatesChanged();
}

void CFileCommands::Paste() {
  const QString strFolder = ActiveFolder();
  if (strFolder.isEmpty() || clipboard_.empty()) return;
  const int nResult = CopyInto(clipboard_, strFolder, clipboardMoves_);
  // Moved items are gone from where they were kept; a cancelled or failed move keeps the
  // list so the user can try again.
  if (clipboardMoves_ && nResult == fileops::eCopyOK) clipboard_.clear();
  AfterOperation();
}

void CFileCommands::PasteShortcuts() {
  const QString strFolder = ActiveFolder();
  if (strFolder.isEmpty()) return;
  for (const fileops::CSelItem& item : clipboard_) fileops::PasteShortcut(item.strPath, strFolder);
  host_.ApplyViewChanges();
}

void CFileCommands::CopyToOtherPanel(bool bMove) {
  if (host_.CommandTarget().pOther->Open()) host_.CommandStatesChanged();
  const fileops::CSelection selection = CommandSelection();
  const QString strProposed = OtherPanelFolder();
  if (selection.empty() || strProposed.isEmpty()) return;
  QString strDest;
  const int nItems = static_cast<int>(selection.size());
  const bool bGo = destAsker_ ? destAsker_(bMove, nItems, strProposed, &strDest)
                              : AskDestination(bMove, nItems, strProposed, &strDest);
  if (!bGo || strDest.isEmpty()) {
    host_.FocusActiveView();
    return;
  }
  CopyInto(selection, strDest, bMove);
  AfterOperation();
}

bool CFileCommands::AskDestination(bool bMove, int nItems, const QString& strProposed,
                                   QString* pstrFolder) {
  CDlg_CopyDest dialog(bMove, nItems, strProposed, dialogParent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  *pstrFolder = dialog.Folder();
  return true;
}

void CFileCommands::ViewOrEditCurrent(plat::EShellOpen eHow) {
  const CCommandTarget target = host_.CommandTarget();
  if (target.part != EPanelPart::eList || !target.ListView()) return;
  const CListPanel& list = target.List();
  const CListEntry* pEntry = list.Entries().At(target.ListView()->CurrentRow());
  if (!pEntry) return;
  const QString strPath = list.Source()->FullPath(*pEntry);
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  if (strPath.isEmpty() || dwAttributes == INVALID_FILE_ATTRIBUTES ||
      (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return;
  QByteArray hostPath;
  if (!plat::CDeviceRoot::ToHost(strPath, &hostPath)) return;
  if (!shellOpener_ || !shellOpener_(QFile::decodeName(hostPath), eHow))
    LogErr(u"Could not hand %s to the desktop's viewer or editor", strPath);
}

void CFileCommands::DropItems(const QStringList& devicePaths, const QString& strTargetFolder,
                              bool bMove) {
  fileops::CSelection selection, others;
  for (const QString& strPath : devicePaths) {
    if (browse::ParentPath(strPath).compare(strTargetFolder, Qt::CaseInsensitive) == 0) continue;
    const DWORD dwAttributes = plat::GetFileAttributes(strPath);
    // Not a file: perhaps a member of an archive, copied out by its kind.
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
      others.push_back({fileops::eSelFile, strPath});
      continue;
    }
    selection.push_back({(dwAttributes & FILE_ATTRIBUTE_DIRECTORY) ? fileops::eSelFolder
                                                                    : fileops::eSelFile,
                         strPath});
  }
  const bool bOthers = ListSources().CopyOut(others, strTargetFolder);
  if (selection.empty() && !bOthers) return;
  if (!selection.empty()) fileops::CopyItems(selection, strTargetFolder, bMove);
  AfterOperation();
}

// --- Shred, delete, the recycle bin and encryption ---

void CFileCommands::ShredSelection() {
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
    const QString strText = core::Text(900586).arg(selection.size());
    if (MsgQuestion(strText, core::Text(61217), core::Text(61218)) != eMsgAnsYes) return;
    fileops::ShredSelectionRun(selection);
  }
  AfterOperation();
}

void CFileCommands::DeleteSelection() { DeleteSelectionBy(&fileops::DeleteCommand); }

void CFileCommands::DeleteSelectionForGood() {
  DeleteSelectionBy(&fileops::DeleteForGoodCommand);
}

void CFileCommands::DeleteSelectionBy(int (*fnDelete)(const fileops::CSelection&)) {
  // A listing with a delete of its own (registry keys and values) does it, with its question.
  if (RunListingCommand(EListCommand::eDelete)) return;
  // Where the rows can only be deleted for good (the recycle bin), that is done.
  if (ActiveListOffers(EListCommand::eDeleteForGood)) {
    PurgeSelection();
    return;
  }
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  fnDelete(selection);
  AfterOperation();
}

void CFileCommands::RestoreSelection() {
  const fileops::CSelection selection = ActiveListItems(EListCommand::eRestore);
  if (selection.empty()) return;
  fileops::RestoreItems(selection);
  AfterOperation();
}

void CFileCommands::PurgeSelection() {
  const fileops::CSelection selection = ActiveListItems(EListCommand::eDeleteForGood);
  if (selection.empty()) return;
  fileops::PurgeBinItemsCommand(selection);
  AfterOperation();
}

void CFileCommands::EncryptSelection() {
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  crypto::EncryptItemsCommand(selection, *prompt_);
  AfterOperation();
}

void CFileCommands::DecryptSelection() {
  const fileops::CSelection selection = CommandSelection();
  if (selection.empty()) return;
  crypto::DecryptItemsCommand(selection, *prompt_);
  AfterOperation();
}

void CFileCommands::OpenFile(const QString& strFullPath) {
  // An encrypted file is decrypted; the views learn of the new file through the
  // notifications, applied a moment later, as the list is still inside its activation here.
  if (crypto::OpenEncryptedFile(strFullPath, *prompt_)) return;
  QByteArray hostPath;
  if (!plat::CDeviceRoot::ToHost(strFullPath, &hostPath)) return;
  const QString strHost = QString::fromLocal8Bit(hostPath);
  if (!fileOpener_ || !fileOpener_(strHost))
    LogErr(u"Could not open %s with the desktop's application", strFullPath);
}

// --- After an operation ---

void CFileCommands::AfterOperation() {
  host_.ApplyViewChanges();
  host_.CommandStatesChanged();
  // The operation's modal windows are gone: the keys go to the view the command came from.
  host_.FocusActiveView();
}

