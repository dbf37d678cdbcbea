// The held-back steps of a move: committed in batches, so that the file system writes its
// cache once for many files before each copy is flushed and its source deleted.
#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/view_notify.h"
#include "fileops/copy_move_internal.h"
#include "fileops/op_run.h"
#include "fileops/shredder.h"
#include "platform/dir_walk.h"
#include "platform/errors.h"
#include "platform/file_system.h"

namespace fileops::copy_detail {

namespace {

// Flushes one copy and puts it in place, each step checked; on failure the copy goes and its
// source stays.
int CommitCopy(CPendingMoveStep* pStep, bool bFoldersOnDisk) {
  if (!CompleteOutput(&pStep->copy, bFoldersOnDisk, true, true)) return eCopyDataFailed;
  KeepAttributes(pStep->kept, pStep->strPath);
  NotifyItemAdded(pStep->strPath);
  if (!ShredFile(pStep->strSource)) return eCopySourceNotDeleted;
  NotifyItemRemoved(pStep->strSource);
  return eCopyOK;
}

}  // namespace

void CCopyRun::CommitMoves() {
  if (pending_.empty()) return;
  std::vector<CPendingMoveStep> steps = std::move(pending_);
  pending_.clear();
  pendingFiles_ = 0;
  // One write-back for the whole batch; the flushes below then find little left to write.
  // Files moved by a rename have no data to write.
  for (const CPendingMoveStep& step : steps) {
    if (step.kind != CPendingMoveStep::eFileCopied) continue;
    plat::FlushFileSystem(browse::ParentPath(step.strPath));
    break;
  }
  // A created folder whose entry cannot be made durable could vanish with its contents: no
  // source after it in the batch is deleted.
  bool bFoldersOnDisk = true;
  for (CPendingMoveStep& step : steps) {
    switch (step.kind) {
      case CPendingMoveStep::eFolderCreated:
        if (bFoldersOnDisk && !plat::FlushFolder(browse::ParentPath(step.strPath))) {
          LogErr(u"Could not flush the folder that holds %s", step.strPath);
          LogSystemError(plat::GetLastError());
          bFoldersOnDisk = false;
        }
        break;
      case CPendingMoveStep::eFileCopied: {
        const int result = CommitCopy(&step, bFoldersOnDisk);
        FileFinished(result, 0, *bytesDone_);
        if (result != eCopyOK) ReportFileResult(step.strSource, result);
        break;
      }
      case CPendingMoveStep::eFileRenamed:
        // The renamed file is in one place or the other whatever happens; its new entry is
        // made durable, and a failure to do so loses nothing.
        if (!plat::FlushFolder(step.strPath)) {
          LogErr(u"Could not flush the folder %s", step.strPath);
          LogSystemError(plat::GetLastError());
        }
        break;
      case CPendingMoveStep::eSourceFolderDone:
        if (step.bStamp) KeepFolderStamp(step.kept, step.strSource);
        // Whatever was not moved is still in it, and then it stays.
        if (!plat::RemoveDirectory(step.strPath)) {
          LogNotice(u"  Kept the folder %s", step.strPath);
          NoteFailure(eCopySourceFolderKept);
        } else {
          NotifyFolderRemoved(step.strPath);
        }
        break;
    }
  }
}

}  // namespace fileops::copy_detail
