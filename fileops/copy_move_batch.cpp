// The held-back steps of a move: committed in batches, so that the file system writes its
// cache once for many files, and each folder's new names once, before each copy's source is
// deleted.
#include <map>

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

void CCopyRun::CommitMoves() {
  if (pending_.empty()) return;
  std::vector<CPendingMoveStep> steps = std::move(pending_);
  pending_.clear();
  pendingFiles_ = 0;
  // One write-back for the whole batch; the flushes below then find little left to write.
  // Files moved by a rename have no data to write. A file system that reports a failed
  // write-back may have lost any of the copies: none of them counts as durable.
  bool bFoldersOnDisk = true;
  for (const CPendingMoveStep& step : steps) {
    if (step.kind != CPendingMoveStep::eFileCopied) continue;
    if (!plat::FlushFileSystem(browse::ParentPath(step.strPath))) {
      LogErr(u"Could not flush the file system that holds %s", step.strPath);
      LogSystemError(plat::GetLastError());
      bFoldersOnDisk = false;
    }
    break;
  }
  // First every copy is flushed and put in place, in order. A created folder whose entry
  // cannot be made durable could vanish with its contents: no copy after it in the batch
  // counts as durable.
  std::vector<char> placed(steps.size(), 0);
  for (size_t i = 0; i < steps.size(); ++i) {
    CPendingMoveStep& step = steps[i];
    if (step.kind == CPendingMoveStep::eFolderCreated) {
      if (bFoldersOnDisk && !plat::FlushFolder(browse::ParentPath(step.strPath))) {
        LogErr(u"Could not flush the folder that holds %s", step.strPath);
        LogSystemError(plat::GetLastError());
        bFoldersOnDisk = false;
      }
    } else if (step.kind == CPendingMoveStep::eFileCopied) {
      placed[i] = CompleteOutput(&step.copy, bFoldersOnDisk, true, false);
    }
  }
  // Then the names: each folder that received a copy or a renamed file, once.
  std::map<QString, bool> folders;
  for (size_t i = 0; i < steps.size(); ++i) {
    const CPendingMoveStep& step = steps[i];
    QString folder;
    if (step.kind == CPendingMoveStep::eFileCopied && placed[i])
      folder = browse::ParentPath(step.strPath);
    else if (step.kind == CPendingMoveStep::eFileRenamed)
      folder = step.strPath;
    if (folder.isEmpty() || folders.count(folder)) continue;
    const bool bFlushed = plat::FlushFolder(folder);
    if (!bFlushed) {
      // A renamed file is in one place or the other whatever happens; a copy whose name may
      // not survive keeps its source.
      LogErr(u"Could not flush the folder %s", folder);
      LogSystemError(plat::GetLastError());
    }
    folders[folder] = bFlushed;
  }
  // Only then the sources go, and the emptied source folders, in order.
  for (size_t i = 0; i < steps.size(); ++i) {
    CPendingMoveStep& step = steps[i];
    switch (step.kind) {
      case CPendingMoveStep::eFolderCreated:
      case CPendingMoveStep::eFileRenamed:
        break;
      case CPendingMoveStep::eFileCopied: {
        int result = eCopyDataFailed;
        if (placed[i] && !folders[browse::ParentPath(step.strPath)]) {
          plat::DeleteFile(step.strPath);  // nothing of the copy is left
        } else if (placed[i]) {
          KeepAttributes(step.kept, step.strPath);
          NotifyItemAdded(step.strPath);
          result = ShredFile(step.strSource) ? eCopyOK : eCopySourceNotDeleted;
          if (result == eCopyOK) NotifyItemRemoved(step.strSource);
        }
        FileFinished(result, 0, *bytesDone_);
        if (result != eCopyOK) ReportFileResult(step.strSource, result);
        break;
      }
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
