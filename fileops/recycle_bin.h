#pragma once
// The recycle bin: moving files and folders into the bin folder (settings.RecycleBinPath),
// restoring them to where they were, and deleting them from the bin for good. The file
// formats are fileops/recycle_format.h; permanent delete is fileops/delete_items.h.
//
// Everything runs on the user-interface thread inside progress windows (fileops/progress.h),
// asks and reports through the message box service, sends view notifications for every item
// it adds or removes, and moves data through the shared operation buffer.
//
// Guarantees:
// - A source is deleted only after its container is complete: every write and the close
//   succeeded and the container is on stable storage. A failed or cancelled recycle removes
//   its partial container and keeps the source.
// - A restore copies the whole 64-bit size. It writes a new target under its own name (an
//   existing file is replaced only after the user said Yes, through a flushed temporary file),
//   and a failed or cancelled restore leaves no partial target and the old file as it was. A
//   container or folder is removed from the bin only after its restore is on stable storage.
// - A restore never writes outside the device root, whatever path a container holds: paths
//   with "." or ".." components, empty components, NUL characters or a name that is not one
//   component are refused (3), and so is a target folder reached through a link that leads
//   out of the root.
// - Links: a linked file is recycled as the content it points to and the link itself is
//   deleted, its target untouched; a walk never enters a linked folder and leaves it (and so
//   its folder) in place.

#include <QString>

#include "fileops/recycle_format.h"
#include "core/selection.h"

namespace fileops {

// Result codes of recycling.
enum ERecycleResult : int {
  eRecycleOK = 0,
  eRecycleEmptyPath = 1,      // the path is empty
  eRecycleNoFile = 2,         // the file does not exist (its attributes cannot be read)
  eRecycleIsFolder = 3,       // a file was asked for and the path is a folder; for a folder:
                              // it does not exist
  eRecycleInRom = 9,          // the file lies in ROM (0x40) and may not be recycled
  eRecycleNotReadable = 10,   // the file cannot be opened for reading
  eRecycleNoContainer = 11,   // no container or folder could be made in the bin, or writing,
                              // flushing or closing it failed (nothing is left of it)
  eRecycleCancelled = 12,     // cancelled by the user; the source is kept
  eRecycleSourceKept = 13,    // the container is complete but the source could not be deleted
  eRecycleBufferBusy = 14,    // the operation buffer is in use by another operation
  eRecycleNoBin = 15,         // the bin folder is missing and cannot be created
  eRecycleInBin = 16,         // the item is the bin folder or lies in it (never recycled;
                              // a folder walk leaves the bin, and so its folder, in place)
};

// Result codes of restoring.
enum ERestoreResult : int {
  eRestoreOK = 0,
  eRestoreEmptyPath = 1,     // the container path is empty
  eRestoreInvalid = 3,       // not a valid container (or descriptor), or its path is refused
  eRestoreDeclined = 4,      // the user declined to overwrite an existing file
  eRestoreNotOpened = 5,     // the container cannot be opened
  eRestoreNotCreated = 6,    // the target cannot be created
  eRestoreDataFailed = 7,    // a read, write, flush, close or the final replace failed
  eRestoreBinNotDeleted = 8, // restored, but the container or folder stays in the bin
  eRestoreCancelled = 12,    // cancelled by the user; no partial target
  eRestoreBufferBusy = 14,   // the operation buffer is in use by another operation
};

// The bin folder of the settings (RecycleBinPath, without a trailing backslash).
QString RecycleBinFolder();
// Makes sure the bin folder exists, creating it (and missing parents) when needed. True when
// it exists afterwards as a folder; *pBin receives its path.
bool EnsureRecycleBin(QString* pBin);

// --- Recycling ------------------------------------------------------------------------

// Recycles one file into the bin folder strBin inside its own single-item progress window.
// bCheckRom refuses ROM files (9). Tells the views the file was removed. A result code.
int RecycleFile(const QString& strPath, const QString& strBin, bool bCheckRom = true);

// Recycles a folder tree into strBin: one directory with its descriptor per level, one
// container per file, each emptied source folder removed; inside its own multi-item
// progress window. 0, 3 (missing), 11, 12, or the first file's failure; a folder that keeps
// items that could not be recycled stays with them. Each failure is shown as it happens.
int RecycleFolder(const QString& strPath, const QString& strBin);

// The confirmed single-file command: the delete question, the read-only question, then
// RecycleFile into the bin; a failure is shown. A result code (12 when not confirmed).
int RecycleFileCommand(const QString& strPath);
// The confirmed folder command: the folder question, then RecycleItemsCommand on it.
int RecycleFolderCommand(const QString& strPath);
// Recycles a selection without asking (the caller confirmed it) in one multi-item window.
// 0 when every item is in the bin, 12 when cancelled, else the first failure's code.
int RecycleItemsCommand(const CSelection& selection);

// --- Restoring ------------------------------------------------------------------------

// Restores one container to its original path inside its own single-item window, asking
// before it replaces an existing file. The container stays; RestoreItems removes it.
int RestoreFile(const QString& strContainer);

// Restores one recycled folder (a directory of the bin) with its whole tree, merging into
// an existing folder, then removes the directory from the bin. A result code.
int RestoreFolderCommand(const QString& strDirectory);

// Restores a selection of the bin (eSelFile: a container; eSelFolder: a recycled folder's
// directory), removing each restored item from the bin. 0, 12 when cancelled, else the first
// failure's code; failures are shown and the run goes on.
int RestoreItems(const CSelection& selection);

// --- Delete for good ------------------------------------------------------------------

// Asks once ("Are you sure you want to delete file "%s"?" with the original name for one
// container, the folder question for one recycled folder, the count question for several),
// then PurgeBinItems. 12 when not confirmed.
int PurgeBinItemsCommand(const CSelection& selection);
// Deletes containers and recycled folders of the bin for good, without asking, in one
// multi-item window. 0, 12 when cancelled, else the first failure's code.
int PurgeBinItems(const CSelection& selection);

}  // namespace fileops
