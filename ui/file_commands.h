#pragma once
// The file commands of the main frame: each takes the items of the active view (the list's
// selected rows as its source gives them, or the folder selected in a tree), runs its
// operation, which shows its own questions, progress window and error boxes and tells the
// views what changed (core/view_notify.h), and then applies those changes so that the result
// shows before the next key. The commands: a new folder, a rename, the clipboard (cut, copy,
// paste, paste shortcut), copy and move to the other panel, a drop, shred, delete, restore and
// delete for good in the recycle bin, encrypt and decrypt; and opening a file of a list.
//
// The commands learn where they act from their host at each command (the panel of the
// active view, the other panel, which view of the panel is active) and tell it when the
// commands' states are out of date and when the focus goes back to the active view.
//
// User-interface thread only.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "browse/list_source.h"
#include "core/selection.h"
#include "platform/shell_open.h"
#include "ui/panel_controller.h"

class QWidget;
namespace crypto {
class IPasswordPrompt;
}

// Where a command acts.
struct CCommandTarget {
  CPanelController* pActive = nullptr;  // the panel of the active view
  CPanelController* pOther = nullptr;   // the other panel
  EPanelPart part = EPanelPart::eList;  // which view of the active panel is active
  // A list of the frame's own that is no panel's (the search results): when set, the list
  // commands act on it rather than on pActive's list.
  CListPanel* pList = nullptr;
  CListView* pListView = nullptr;

  CListPanel& List() const { return pList ? *pList : pActive->List(); }
  CListView* ListView() const { return pList ? pListView : pActive->ListView(); }
  // The folder the active view shows (a list) or has selected (a tree).
  QString Folder() const { return pList ? pList->CurrentPath() : pActive->Folder(part); }
};

// What the file commands need of the window they serve.
class IFileCommandsHost {
 public:
  virtual ~IFileCommandsHost() = default;
  // Where the commands act now; asked at the start of each command.
  virtual CCommandTarget CommandTarget() const = 0;
  // The commands' enabled states are out of date (the clipboard changed, an operation ran, a
  // panel opened).
  virtual void CommandStatesChanged() = 0;
  // An operation's modal windows are gone: the window and the active view take the keys.
  virtual void FocusActiveView() = 0;
  // The view changes every panel has gathered, applied now (panel A first).
  virtual void ApplyViewChanges() = 0;
};

class CFileCommands {
 public:
  // pDialogParent carries the name dialog and the desktop's password dialogs; not owned.
  CFileCommands(IFileCommandsHost& host, QWidget* pDialogParent);
  ~CFileCommands();

  // A new folder in the folder the active view shows; in a list it becomes the focused entry.
  void NewFolder();
  // Renames the active view's focused item (a list entry its source offers for renaming, or
  // a folder node of a tree other than the device root) to the name the name asker gives.
  void RenameCurrent();
  // Cut and Copy keep the active list's selected file-system items (the focused one when
  // none is selected); Paste copies or moves them into the folder the active view shows, and
  // Paste shortcut makes a shortcut there to each. A move that succeeds empties the clipboard.
  void CopySelection(bool bMove);
  void Paste();
  void PasteShortcuts();
  const fileops::CSelection& ClipboardItems() const { return clipboard_; }
  bool ClipboardMoves() const { return clipboardMoves_; }
  // F5 and F6: the command's items into the folder the other panel's list shows (the other
  // panel is opened first), once the destination asker agreed (it may name another folder).
  // Nothing happens when either side is not a file-system folder.
  void CopyToOtherPanel(bool bMove);
  // The destination of F5 and F6: the proposed folder comes in, the chosen one goes out;
  // false cancels. The default is the small dialog of ui/copy_dest_dialog.h.
  using DestinationAsker =
      std::function<bool(bool bMove, int nItems, const QString& strProposed, QString* pstrFolder)>;
  void SetDestinationAsker(DestinationAsker asker) { destAsker_ = std::move(asker); }
  // F3 and F4: the active list's focused file handed to the desktop's viewer or editor
  // (plat::ShellOpen). Folders, and rows that are no file of the host, are left alone.
  void ViewOrEditCurrent(plat::EShellOpen eHow);
  using ShellOpener = std::function<bool(const QString& strHostPath, plat::EShellOpen eHow)>;
  void SetShellOpener(ShellOpener opener) { shellOpener_ = std::move(opener); }
  // Shift+Delete: the command's items deleted for good, after the question of a delete
  // without the recycle bin (No is its default answer).
  void DeleteSelectionForGood();
  // Items dropped on a list: copied, or moved, into strTargetFolder. Items that already lie
  // in that folder, and paths that are not there, are left out; members of an archive are
  // extracted (Paste and F5 do the same with them).
  void DropItems(const QStringList& devicePaths, const QString& strTargetFolder, bool bMove);
  // Shreds the command's items: one file or one folder with the shredder's own question,
  // several after one question for all of them.
  void ShredSelection();
  // In a folder's list or a tree, the items go to the recycle bin or are deleted for good as
  // UseRecycleBin says; where the list's rows can only be deleted for good (the recycle bin),
  // they are purged.
  void DeleteSelection();
  // The recycle bin's list: its selected items back to where they were, or deleted for good.
  void RestoreSelection();
  void PurgeSelection();
  // Alt+Enter: the properties dialog of the active list's focused item (its source offers
  // eProperties) or of the tree's folder. PropertiesTarget is that item's path, empty when
  // there is none; *pKnownBytes gets a folder total the list already has (else ~0).
  QString PropertiesTarget(quint64* pKnownBytes = nullptr) const;
  void ShowProperties();
  // Encrypts or decrypts the command's items with one password asked through the prompt.
  void EncryptSelection();
  void DecryptSelection();
  // A file opened in a list: an encrypted file is decrypted, any other is handed by its host
  // path to the file opener.
  void OpenFile(const QString& strFullPath);

  // The password prompt of encrypt, decrypt and opening an encrypted file; null puts back the
  // desktop's dialogs. Not owned.
  void SetPasswordPrompt(crypto::IPasswordPrompt* pPrompt);
  // Rename asks the new name through this function (the old name comes in, the new one goes
  // out; false when the user cancels); null puts back a small input dialog.
  using NameAsker = std::function<bool(const QString& strOldName, QString* pstrNewName)>;
  void SetNameAsker(NameAsker asker) { nameAsker_ = std::move(asker); }
  // Opening a file hands its host path to this function; the default hands it to the
  // desktop's default application.
  using FileOpener = std::function<bool(const QString& strHostPath)>;
  void SetFileOpener(FileOpener opener) { fileOpener_ = std::move(opener); }

  // --- What the commands would act on (also for their enabled states) ---
  // The items of a command: the active list's selected file-system items (the focused one
  // when none is selected), or the folder selected in the active tree (not the root).
  fileops::CSelection CommandSelection() const;
  // The file-system folder the active view shows (list) or has selected (tree); empty when it
  // shows another place.
  QString ActiveFolder() const;
  // The file-system folder the other panel's list shows; empty otherwise.
  QString OtherPanelFolder() const;
  // True when the active view is a list whose source offers the command.
  bool ActiveListOffers(EListCommand command) const;

  // --- Commands a listing carries out itself (ui/listing_commands.cpp) ---
  // The command on the active list's rows, or on the place of the active tree's node, when
  // the listing there handles it (the registry editor's commands); false otherwise.
  bool RunListingCommand(EListCommand command);
  // Whether the active view offers such a command: the list's source, or the menu of the
  // tree node's place.
  bool ActiveViewOffersOwn(EListCommand command) const;
  // The menu of the active tree node's place; empty when the tree's own menu applies.
  QList<EListCommand> TreePlaceMenu() const;

 private:
  // Delete and Shift+Delete: the command's items through fnDelete, where the list has no
  // delete of its own.
  void DeleteSelectionBy(int (*fnDelete)(const fileops::CSelection&));
  // The selected rows of the active list (the focused one when none is selected), in order;
  // empty when a tree is active.
  QList<int> ActiveListRows() const;
  // The active list's selected rows as its source gives them, when it offers the command.
  fileops::CSelection ActiveListItems(EListCommand command) const;
  // After an operation: the gathered view changes applied, the commands' states and the
  // focus of the active view restored.
  void AfterOperation();
  bool AskName(const QString& strOldName, QString* pstrNewName);
  bool AskDestination(bool bMove, int nItems, const QString& strProposed, QString* pstrFolder);

  IFileCommandsHost& host_;
  QWidget* dialogParent_;
  NameAsker nameAsker_;
  FileOpener fileOpener_;
  DestinationAsker destAsker_;
  ShellOpener shellOpener_;
  std::unique_ptr<crypto::IPasswordPrompt> desktopPrompt_;
  crypto::IPasswordPrompt* prompt_ = nullptr;  // desktopPrompt_ unless a test set another
  fileops::CSelection clipboard_;
  bool clipboardMoves_ = false;
};
