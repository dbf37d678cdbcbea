#include "ui/archive_commands.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>

#include <algorithm>

#include "browse/folder_tree.h"
#include "browse/list_source.h"
#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "platform/device_root.h"
#include "ui/file_commands.h"
#include "ui/frame_commands.h"
#include "ui/list_view.h"
#include "ui/zip_dialogs.h"
#include "zip/zip_commands.h"

namespace {

// The selected rows of a panel's list (the focused one when none is selected), in order.
QList<int> ListRows(const CPanelController& panel) {
  QList<int> rows;
  const CListView* pView = panel.ListView();
  if (!pView) return rows;
  for (const QModelIndex& index : pView->Selection()->selectedRows()) rows << index.row();
  if (rows.isEmpty() && pView->CurrentRow() >= 0) rows << pView->CurrentRow();
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

CArchiveCommands::CArchiveCommands(IFileCommandsHost& host, CFileCommands& files,
                                   QWidget* pDialogParent)
    : host_(host), files_(files), dialogParent_(pDialogParent) {}

void CArchiveCommands::AddActions(const AddCommand& add) {
  extractHere_ = add(eCmd_ExtractHere, core::Text(900710), [this] { ExtractHere(); });
  extractTo_ = add(eCmd_ExtractTo, core::Text(900711), [this] { ExtractTo(); });
  test_ = add(eCmd_TestArchive, core::Text(900712), [this] { TestArchive(); });
  compress_ = add(eCmd_Compress, core::Text(900713), [this] { Compress(); });
}

void CArchiveCommands::UpdateStates() {
  if (!extractHere_) return;
  const bool bArchive = !CommandArchive().isEmpty();
  for (QAction* pAction : {extractHere_, extractTo_, test_}) pAction->setEnabled(bArchive);
  compress_->setEnabled(!CompressSelection().empty());
}

// --- What the commands act on ---

QString CArchiveCommands::CommandArchive() const {
  const CCommandTarget target = host_.CommandTarget();
  if (target.part == EPanelPart::eTree) {
    const CFolderTree& tree = target.pActive->Tree();
    return tree.TargetOf(tree.Current()).archivePath;
  }
  const CListPanel& list = target.pActive->List();
  if (!list.Source()->Offers(EListCommand::eTestArchive)) return {};
  return list.Source()->ArchivePath(list.Entries(), ListRows(*target.pActive));
}

fileops::CSelection CArchiveCommands::ExtractSelection(const QString& strArchive) const {
  const CCommandTarget target = host_.CommandTarget();
  const QString prefix = strArchive + u'\\';
  if (target.part == EPanelPart::eTree) {
    const CFolderTree& tree = target.pActive->Tree();
    const CTreeTarget node = tree.TargetOf(tree.Current());
    if (node.innerPath.isEmpty()) return {};
    return {{fileops::eSelFolder, prefix + node.innerPath}};
  }
  // Rows that lie inside the archive; an archive file's own row means all of it.
  fileops::CSelection inside;
  for (const fileops::CSelItem& item : files_.CommandSelection())
    if (item.strPath.startsWith(prefix, Qt::CaseInsensitive)) inside.push_back(item);
  return inside;
}

fileops::CSelection CArchiveCommands::CompressSelection() const {
  const CCommandTarget target = host_.CommandTarget();
  if (target.part == EPanelPart::eList &&
      !target.pActive->List().Source()->Offers(EListCommand::eCompress))
    return {};
  return files_.CommandSelection();
}

// --- The commands ---

void CArchiveCommands::ExtractHere() {
  const QString strArchive = CommandArchive();
  if (strArchive.isEmpty()) return;
  Extract(strArchive, browse::ParentPath(strArchive));
}

void CArchiveCommands::ExtractTo() {
  const QString strArchive = CommandArchive();
  if (strArchive.isEmpty()) return;
  QString strProposed = files_.OtherPanelFolder();
  if (strProposed.isEmpty()) strProposed = browse::ParentPath(strArchive);
  QString strFolder;
  if (!AskFolder(strProposed, &strFolder)) return;
  Extract(strArchive, strFolder);
}

void CArchiveCommands::Extract(const QString& strArchive, const QString& strDest) {
  const fileops::CSelection selection = ExtractSelection(strArchive);
  if (selection.empty())
    zip::ExtractAll(strArchive, strDest);
  else
    zip::ExtractItems(strArchive, selection, strDest);
  AfterOperation();
}

void CArchiveCommands::TestArchive() {
  const QString strArchive = CommandArchive();
  if (strArchive.isEmpty()) return;
  zip::TestArchive(strArchive);
  AfterOperation();
}

void CArchiveCommands::Compress() {
  const fileops::CSelection selection = CompressSelection();
  if (selection.empty()) return;
  CDlg_Compress dialog(zip::ProposedArchivePath(selection), dialogParent_);
  const int nResult = compressRunner_ ? compressRunner_(dialog) : dialog.exec();
  if (nResult != QDialog::Accepted) return;
  zip::CompressItems(selection, dialog.ArchivePath(), dialog.Level());
  AfterOperation();
}

bool CArchiveCommands::AskFolder(const QString& strProposed, QString* pstrFolder) {
  if (folderAsker_) return folderAsker_(strProposed, pstrFolder);
  QByteArray host;
  QString strStart;
  if (plat::CDeviceRoot::ToHost(strProposed, &host)) strStart = QFile::decodeName(host);
  const QString strChosen =
      QFileDialog::getExistingDirectory(dialogParent_, core::Text(900718), strStart);
  if (strChosen.isEmpty()) return false;
  if (!plat::CDeviceRoot::ToDevice(strChosen, pstrFolder)) {
    MsgError(core::Text(900719).arg(strChosen), core::Text(61263), core::Text(900718));
    return false;
  }
  return true;
}

void CArchiveCommands::AfterOperation() {
  host_.ApplyViewChanges();
  host_.CommandStatesChanged();
  host_.FocusActiveView();
}
