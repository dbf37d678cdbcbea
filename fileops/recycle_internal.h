#pragma once
// The pieces the recycle, restore and delete files share: the texts of the string table, the
// unique names made in the bin, and the runs that recycle and restore items inside one
// progress window.

#include <QString>

#include <functional>
#include <vector>

#include "fileops/plan_walk.h"
#include "fileops/progress.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "platform/file.h"
#include "platform/output_file.h"
#include "platform/wintypes.h"

namespace fileops::recycle_detail {

// Texts of the delete and recycle boxes and progress lines (core/texts.h).
QString ConfirmDeleteHeader();                         // 55283 "Confirm delete operation"
QString DeletingTitle();                               // 55275 "Deleting..."
QString DeletingCaption();                             // 55276 "Deleting files, please wait..."
QString ConfirmFileText(const QString& name);          // 55152
QString ConfirmFolderText(const QString& name);        // 55329
QString ConfirmItemsText(qsizetype count);             // several items at once
QString ErrorDeletingFileTitle();                      // 55328 "Error deleting file"
QString RecycleBinTitle();                             // 61230 "Recycle Bin"
QString MovedBytesText(quint64 done, quint64 total);   // 61223
QString MovedCountText(quint64 done, quint64 total);   // 61231 with "file" / "files"
QString CannotMakeBinText(const QString& path);        // the bin folder cannot be created

// Reports that the bin folder could not be made, so nothing was recycled.
void ReportNoBin(const QString& strBin);
// Reports an item that stays where it was (nResult: why), with the log's strReason.
void ReportNotRecycled(const QString& strPath, int nResult, const QString& strReason);

// Opens the output of a new container "<bin>\pbr<hex>.trb" under a free name; it appears in
// the bin only when it is complete. False when no name could be made or the file not created
// (last error set).
bool CreateContainer(const QString& strBin, plat::COutputFile* pFile, QString* pPath);
// Makes a new directory "<bin>\pbr<hex>" for a recycled folder. False on failure.
bool CreateRecycledFolder(const QString& strBin, QString* pPath);

// The device path that is allowed as a restore target's folder: canonical, inside the root
// also after every link is resolved, and not the bin folder or below it. False for a path
// that must be refused.
bool IsSafeTargetFolder(const QString& strFolder, QString* pCanonical);
// A name that is exactly one component: not empty, not "." or "..", no separators.
bool IsSingleComponent(const QString& strName);

// The clean-up of a bin operation: removes the bin's containers that a killed run left
// incomplete (never listed as items) and the program's temporaries, those from before uSinceMs.
void RemovePartialContainers(const QString& strBin, qint64 uSinceMs);

// Removes a directory of the bin with everything below it (plain deletes, links removed
// themselves). True when it is gone; views are told about every removed item.
bool RemoveBinTree(const QString& strDirectory);

// Outputs that are written completely but not yet on stable storage or in place, each with what
// is to happen once they are. Committing starts the write-back of every file's data at once
// and waits for it once per file system, then puts every output in place, each step checked,
// waits once more for the names, and calls every fnDone with whether its output is durable.
// One wait for the device per batch instead of one per file; the guarantee for each file is
// unchanged: its follow-up step (deleting a source or a container) runs only after its data
// and its name are on stable storage and every step succeeded. When a wait fails, no output
// of the batch counts as durable, and those in place are removed again.
class CFlushBatch {
 public:
  static constexpr size_t kMaxFiles = 128;
  // fnDone returns the file's result; Commit returns the first one that is not 0.
  using FnDone = std::function<int(bool bDurable)>;

  ~CFlushBatch() { Commit(); }
  // True when the batch is full and should be committed.
  bool Add(plat::COutputFile&& file, FnDone fnDone);
  int Commit();
  bool IsEmpty() const { return items_.empty(); }

 private:
  struct CItem {
    plat::COutputFile file;
    FnDone fnDone;
  };
  std::vector<CItem> items_;
};

// A file step's answer when its completion was handed to a CFlushBatch.
constexpr int kStepDeferred = -1;

// What a recycle run and a restore run share: the window, the buffer and the counts.
class CBinRun {
 public:
  quint64 FilesDone() const { return filesDone_; }

 protected:
  CBinRun(IProgressWindow* pProgress, BYTE* buffer, bool bSingle, quint64 uFilesTotal)
      : progress_(pProgress), buffer_(buffer), bSingle_(bSingle), filesTotal_(uFilesTotal) {}

  // A chunk of got bytes of a file moved into or out of the bin, done of its uSize bytes now
  // written: the item's bar, the run's bar (the file's bytes in a single-item window, the
  // run's otherwise) and "Moved %d of %d bytes...". False when Cancel was pressed.
  bool ShowMovedChunk(quint64 done, quint64 got, quint64 uSize);

  IProgressWindow* progress_;
  BYTE* buffer_;
  bool bSingle_;
  quint64 filesTotal_;
  quint64 filesDone_ = 0;
  quint64 bytesDone_ = 0;
  quint64 filesFinished_ = 0;  // done, failed or declined: for the time estimate of a run
  // Counts a finished file of a run for the window's time estimate.
  void NoteFinished() {
    if (!bSingle_) progress_->SetFileCounts(++filesFinished_, filesTotal_);
  }
};

// One recycle run: the window, the buffer and the counters of a selection or of one file.
// With bSingle the window is a single-item window whose bar and status line count the bytes
// of the one file; otherwise the main bar counts the run's bytes, the status line the files,
// and the item bar the current file.
class CRecycleRun : public CBinRun {
 public:
  // strBin is the bin folder of the run: it and everything in it are never recycled.
  CRecycleRun(IProgressWindow* pProgress, BYTE* buffer, bool bSingle, quint64 uFilesTotal,
              const QString& strBin);

  // Recycles one file into strBin: a result code of ERecycleResult, or in a multi-item run
  // kStepDeferred when the complete container waits in the batch (its result is then
  // counted and shown by FinishFile when the batch is committed). Shows nothing itself.
  int RecycleFileItem(const QString& strPath, const QString& strBin, bool bCheckRom);
  // Completes every container still waiting; the first failure among them.
  int CommitPending() { return batch_.Commit(); }
  // Recycles a folder tree into strBin, removing every emptied source folder (the top one
  // too). Reports each file that could not be recycled and goes on; a cancel ends it.
  int RecycleFolderItem(const QString& strPath, const QString& strBin);
  // A file of a multi-item run: recycled, counted, and reported when it failed.
  int RecycleAndReportFile(const QString& strPath, const QString& strBin);

 private:
  // The checks of a file to recycle, its source opened for reading and its record filled.
  // eRecycleOK or the refusal.
  int OpenSource(const QString& strPath, bool bCheckRom, plat::CHostFile* pSource,
                 CRecycleRecord* pRecord, DWORD* pAttributes);
  int CopyIntoContainer(plat::CHostFile* pSource, quint64 uSize, plat::CHostFile* pContainer);
  // The steps of a folder of the tree around its contents: checked, its directory and
  // descriptor made in strBin; then, once its contents are done (nChildren their first
  // failure), removed, or its directory dropped when nothing of it went in.
  int BeginFolder(const QString& strPath, const QString& strBin, QString* pCanonical,
                  QString* pDir);
  // pKept: an item found in the folder that keeps it in place (reported here).
  int EndFolder(const QString& strCanonical, const QString& strDir, bool bMovedAny,
                int nChildren, const CFolderKeptBy* pKept);
  // The step after a container is on disk: the source goes.
  static int CompleteRecycle(const QString& strPath, DWORD dwAttributes,
                             const QString& strContainer, bool bDurable);
  // Counts or reports a file's final result (multi-item runs).
  int FinishFile(const QString& strPath, int nResult);
  // True for the run's bin folder and anything below it (by the canonical path text).
  bool IsBinOrInside(const QString& strCanonical) const;

  QString binRoot_;    // canonical; empty when the bin's path is not valid
  CFlushBatch batch_;  // declared last: committed before the other members go
};

// Runs fnItem(item) on each item of a selection in order and gives the first result that is
// not 0; the result nCancelled ends the run at once.
template <class FnItem>
int RunEachItem(const CSelection& selection, int nCancelled, FnItem fnItem) {
  int firstFailure = 0;
  for (const CSelItem& item : selection) {
    const int result = fnItem(item);
    if (result == nCancelled) return result;
    if (firstFailure == 0) firstFailure = result;
  }
  return firstFailure;
}

// One restore run, as CRecycleRun for the other direction.
class CRestoreRun : public CBinRun {
 public:
  CRestoreRun(IProgressWindow* pProgress, BYTE* buffer, bool bSingle, quint64 uFilesTotal)
      : CBinRun(pProgress, buffer, bSingle, uFilesTotal) {}

  // Restores one container to its original place (asking before it replaces a file). The
  // container stays. *pTarget receives the target path once it is known.
  int RestoreFileItem(const QString& strContainer, QString* pTarget);
  // RestoreFileItem, then the container is deleted once the restored file is on disk (in a
  // multi-item run that may wait in the batch: the result is then kStepDeferred and a failure
  // comes from CommitPending). Reports a failure other than a cancel or a declined overwrite.
  int RestoreAndRemoveFile(const QString& strContainer);
  int CommitPending() { return batch_.Commit(); }
  // The folder walk: restores a recycled folder's tree from its directory, removing each
  // container once it is restored; on success the directory is removed from the bin. The
  // walk stops at the first result that is not 0.
  int RestoreFolderItem(const QString& strDirectory);

 private:
  // A recycled folder being restored: its record, its original path, whether it was made.
  struct CRestoredFolder {
    CRecycleRecord record;
    QString original;
    bool bCreated = false;
    bool bKeeps = false;  // holds files the bin did not make: stays in the bin
  };
  // Restores a recycled folder's tree; *pKept names what stays in the bin.
  int RestoreFolderWalk(const QString& strDirectory, QStringList* pKept);
  // A directory of the bin: its descriptor read and its folder made (or found).
  int BeginRestoreFolder(const QString& strDirectory, CRestoredFolder* pFolder);
  // RestoreFileItem; with bDefer a new file's completion may wait in the batch.
  int RestoreFileCore(const QString& strContainer, QString* pTarget, bool bDefer);
  // The step after a restored file is on disk: its recorded times and attributes.
  static int CompleteRestore(const QString& strTarget, const WIN32_FIND_DATAW& data,
                             bool bDurable);
  int CopyFromContainer(plat::CHostFile* pContainer, quint64 uSize, plat::CHostFile* pTarget);
  // Counts the file, removes its container and reports a failure (all but 12 and 4).
  int FinishFile(const QString& strContainer, const QString& strTarget, int nResult);

  CFlushBatch batch_;  // declared last: committed before the other members go
};

// Files and data bytes a restore of the bin items will write: the containers below (their
// data after the header) and the recycled folders' descriptors are not counted.
struct CBinTotals {
  quint64 files = 0;
  quint64 bytes = 0;
};
CBinTotals CountBinItems(const CSelection& selection);

}  // namespace fileops::recycle_detail
