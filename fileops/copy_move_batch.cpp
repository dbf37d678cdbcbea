// The held-back steps of a move: committed in batches, so that the file system writes its
// cache once for many files before each copy is flushed and its source deleted.
#include <fcntl.h>
#include <unistd.h>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "fileops/copy_move_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"

namespace fileops::copy_detail {

bool FlushFileSystemOf(const QString& strDevicePath) {
  QByteArray host;
  if (!plat::CDeviceRoot::ToHost(strDevicePath, &host)) return false;
  const int fd = ::open(host.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool bOk = ::syncfs(fd) == 0;
  ::close(fd);
  return bOk;
}

namespace {

// Flushes and closes one copy, both checked; on failure the copy goes and its source stays.
int CommitCopy(CPendingMoveStep* pStep, bool bFoldersOnDisk) {
  bool bOk = bFoldersOnDisk;
  if (bOk && !pStep->copy.Flush()) {
    LogErr(u"Could not flush %s", pStep->strPath);
    LogSystemError(plat::GetLastError());
    bOk = false;
  }
  if (!pStep->copy.Close() && bOk) {
    LogErr(u"Could not close %s", pStep->strPath);
    LogSystemError(plat::GetLastError());
    bOk = false;
  }
  if (!bOk) {
    ShredFile(pStep->strPath);
    return eCopyDataFailed;
  }
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
  FlushFileSystemOf(browse::ParentPath(steps.front().strPath));
  // A created folder whose entry cannot be made durable could vanish with its contents: no
  // source after it in the batch is deleted.
  bool bFoldersOnDisk = true;
  for (CPendingMoveStep& step : steps) {
    switch (step.kind) {
      case CPendingMoveStep::eFolderCreated:
        if (bFoldersOnDisk && !FlushFolder(browse::ParentPath(step.strPath))) {
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
      case CPendingMoveStep::eSourceFolderDone:
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
