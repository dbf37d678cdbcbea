#pragma once
// Copy and move: the paste of a selection into a folder of the file system. Within one file
// system a move gives each file its new name by a rename that never replaces; the folders are
// made at the target and the emptied source folders removed as for a copy. Across file
// systems (and for a file whose rename is refused) a move is a copy followed by the delete of
// its source once the copy is complete. Runs on the user-interface thread inside a progress window
// (fileops/progress.h) that can cancel it; conflicts are settled through the message box
// service, item by item or once for the rest of the run.
//
// Guarantees:
// - A move deletes a source only after its copy is complete, flushed to stable storage, and
//   every write and the close succeeded. A source that was not copied is kept, and so is
//   every folder that is not empty afterwards.
// - A failed or cancelled copy leaves no partial file. Replacing an existing file writes the
//   new content under a temporary name in the same folder and puts it in place in one step
//   only when it is complete and flushed: a full disk, an error or a cancel leaves the old
//   file exactly as it was.
// - A folder is never copied into itself or anywhere below itself, also not through a
//   symbolic link.
// - Links: a linked file is copied as the content it points to; a linked folder inside a
//   copied folder is not entered and not copied (a move keeps it, and so its folder); a
//   selected linked folder is refused as "not a folder". Nothing is ever written through a
//   link in the destination: an existing linked folder is not merged into, and an existing
//   file or link is only ever replaced by a rename in its folder.
// - A copy keeps its source's attributes and last write time (a folder it makes, its source
//   folder's); a move keeps the creation and last access times too. A file is copied as long
//   as it was when it was opened; the kernel moves the bytes where it can.

#include <QString>

#include "fileops/conflict_policy.h"
#include "fileops/progress.h"
#include "core/selection.h"

namespace fileops {

// Result codes of the copy steps.
enum ECopyResult : int {
  eCopyOK = 0,
  eCopySourceFolderBad = 2,     // source folder empty, missing, not a folder, or a link
  eCopyDestFolderBad = 3,       // destination folder empty, missing or not a folder
  eCopyDeclined = 4,            // the user declined to replace (single-file copy)
  eCopyFolderNotCreated = 5,    // a destination folder could not be created
  eCopySourceNotOpened = 6,     // the source file could not be opened
  eCopyDestNotCreated = 7,      // the destination file could not be created
  eCopyDataFailed = 8,          // a read, write, flush, close or the final rename failed
  eCopySourceFolderKept = 9,    // the source folder of a move could not be removed
  eCopySourceNotDeleted = 10,   // a move's copy is complete but its source could not be deleted
  eCopyCancelled = 12,          // cancelled by the user
  eCopyNoFile = 13,             // the user answered No for this file
  eCopyNoFolder = 14,           // the user answered No for this folder
  eCopyNoToAll = 15,            // skipped because of "No to all"
  eCopySameItem = 16,           // source and destination are one item (reached through a link)
  eCopyIntoItself = 17,         // refused: the destination lies inside the source folder
  eCopyBufferBusy = 18,         // the operation buffer is in use by another operation
};

// The conflict answer of a run (ECopyAnswer) is fileops/conflict_policy.h's.

// The paste of a selection into strDestFolder. An empty selection does nothing; a single file
// goes to CopyOneFile. 0 when every item was copied (or, for a move, lay in the destination
// already), 12 when cancelled, 17 when refused by the same-folder guard, else the first
// failure's or skip's code.
int CopyItems(const CSelection& selection, const QString& strDestFolder, bool bMove);

// One file with the plain Yes/No question for an existing file, in its own progress window.
int CopyOneFile(const QString& strSourcePath, const QString& strDestFolder, bool bMove);

// One file of a run, copied into strDestFolder under strName. *pBytesDone grows by the bytes
// copied; *pAnswer is the run's conflict answer. uFileIndex and uFileTotal are shown on the
// file line.
int CopyFileInRun(const QString& strSourcePath, const QString& strDestFolder,
                  const QString& strName, quint64* pBytesDone, quint64 uBytesTotal, bool bMove,
                  int* pAnswer, IProgressWindow* pProgress, quint64 uFileIndex,
                  quint64 uFileTotal);

// A folder tree of a run, copied into strDestParent under strName. *pFileIndex is the index of
// the last file started and grows with every file. A file that is declined, skipped or fails
// is left out (failures are reported) and the copy goes on with the next item; only a cancel
// ends it.
int CopyFolderInRun(const QString& strSourceFolder, const QString& strDestParent,
                    const QString& strName, quint64* pBytesDone, quint64 uBytesTotal,
                    bool bMove, int* pAnswer, IProgressWindow* pProgress,
                    quint64* pFileIndex, quint64 uFileTotal);

}  // namespace fileops
