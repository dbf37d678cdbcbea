#pragma once
// The archive commands of the main frame: "Extract here", "Extract to...", "Test archive"
// and "Compress files...". Where they act comes from the active view, as the file commands
// (ui/file_commands.h) learn it from their host:
//
// - the archive: what the active list's source names for its selected rows (the archive a
//   listing inside one shows, or an archive file among the rows; IListSource::ArchivePath),
//   or the archive of the node selected in the active tree;
// - what is extracted: the selected rows that lie inside that archive (a folder with all
//   below it), the folder node inside the archive in a tree, otherwise the whole archive;
//   "here" is the folder that holds the archive, "Extract to..." asks for a folder with the
//   other panel's folder proposed;
// - what is compressed: the command's file-system items (CFileCommands::CommandSelection)
//   where the list offers compression, or the folder selected in a tree; the options dialog
//   proposes the archive (zip::ProposedArchivePath) and chooses the level.
//
// User-interface thread only.

#include <QString>

#include <functional>

#include "core/selection.h"

class CDlg_Compress;
class CFileCommands;
class IFileCommandsHost;
class QAction;
class QWidget;

class CArchiveCommands {
 public:
  // pDialogParent carries the dialogs; nothing is owned.
  CArchiveCommands(IFileCommandsHost& host, CFileCommands& files, QWidget* pDialogParent);

  // Adds the four commands to the frame's command table through add (id, label, handler).
  using AddCommand = std::function<QAction*(int nId, const QString& strLabel,
                                            std::function<void()> handler)>;
  void AddActions(const AddCommand& add);
  // Enables each command when it has something to act on.
  void UpdateStates();

  void ExtractHere();
  void ExtractTo();
  void TestArchive();
  void Compress();

  // --- What the commands act on ---
  // The archive of the active view; empty when it shows none.
  QString CommandArchive() const;
  // The entries to extract, each "<archive>\<name inside>"; empty for the whole archive.
  fileops::CSelection ExtractSelection(const QString& strArchive) const;
  // The file-system items to compress; empty when the view offers none.
  fileops::CSelection CompressSelection() const;

  // "Extract to..." asks its folder (a device path) through this function, the proposed one
  // coming in; false when the user cancels. The default is the desktop's folder dialog.
  using FolderAsker = std::function<bool(const QString& strProposed, QString* pstrFolder)>;
  void SetFolderAsker(FolderAsker asker) { folderAsker_ = std::move(asker); }
  // The options dialog of "Compress files..." runs through this function, which returns the
  // dialog's result; the default is a modal exec. Tests fill the dialog from it.
  using CompressDialogRunner = std::function<int(CDlg_Compress& dialog)>;
  void SetCompressDialogRunner(CompressDialogRunner runner) { compressRunner_ = std::move(runner); }

 private:
  void Extract(const QString& strArchive, const QString& strDest);
  bool AskFolder(const QString& strProposed, QString* pstrFolder);
  void AfterOperation();

  IFileCommandsHost& host_;
  CFileCommands& files_;
  QWidget* dialogParent_;
  FolderAsker folderAsker_;
  CompressDialogRunner compressRunner_;
  QAction* extractHere_ = nullptr;
  QAction* extractTo_ = nullptr;
  QAction* test_ = nullptr;
  QAction* compress_ = nullptr;
};
