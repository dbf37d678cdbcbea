// Permanent delete: one file, a folder tree, a selection in one window; and the Delete command
// that chooses between deleting and recycling.
#include "fileops/delete_items.h"

#include <memory>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/format.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "fileops/progress.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace fileops {
namespace {

using namespace recycle_detail;

QString ErrorDeletingText(const QString& path) {  // 55200
  return QStringLiteral("Error deleting file \"%1\".").arg(path);
}
QString ErrorTitle() { return QStringLiteral("Error"); }  // 55327
QString CannotRemoveFolderText(const QString& path, DWORD dwError) {
  return QStringLiteral("Can not delete folder \"%1\". %2").arg(path, SystemErrorText(dwError));
}
QString DeletedCountText(quint64 done, quint64 total) {  // 55334 with "file" / "files"
  return QStringLiteral("Deleted %1 %2 from %3 total.")
      .arg(done)
      .arg(done == 1 ? QStringLiteral("file") : QStringLiteral("files"))
      .arg(total);
}

bool IsLink(DWORD dwAttributes) {
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// One multi-item delete run: the window and the file counter.
class CDeleteRun {
 public:
  CDeleteRun(IProgressWindow* pProgress, quint64 uFilesTotal)
      : progress_(pProgress), filesTotal_(uFilesTotal) {}

  int DeleteFileInRun(const QString& strPath, quint64 uSize);
  int DeleteFolderInRun(const QString& strFolder);
  int RemoveFolder(const QString& strFolder);

 private:
  IProgressWindow* progress_;
  quint64 filesTotal_;
  quint64 filesDone_ = 0;
};

int CDeleteRun::DeleteFileInRun(const QString& strPath, quint64 uSize) {
  if (progress_->IsCancelled()) return eDeleteCancelled;
  progress_->SetFileLine(browse::LastComponent(strPath));
  progress_->SetFromLine(browse::ParentPath(strPath));
  progress_->SetToLine(core::FormatSize(uSize));
  if (!ShredFile(strPath)) {
    MsgError(ErrorDeletingText(strPath), ErrorTitle(), QString());
    progress_->AdvancePos(1);  // the bar counts every file, deleted or not
    return eDeleteFileFailed;
  }
  ++filesDone_;
  progress_->AdvancePos(1);
  progress_->SetStatus(DeletedCountText(filesDone_, filesTotal_));
  NotifyItemRemoved(strPath);
  return eDeleteOK;
}

int CDeleteRun::RemoveFolder(const QString& strFolder) {
  // A linked folder is removed itself; what it points to is not touched.
  if (!plat::RemoveDirectory(strFolder)) {
    const DWORD error = plat::GetLastError();
    LogErr(u"Could not remove the folder %s", strFolder);
    LogSystemError(error);
    MsgError(CannotRemoveFolderText(strFolder, error), DeleteTitle(), QString());
    return eDeleteFolderFailed;
  }
  NotifyFolderRemoved(strFolder);
  return eDeleteOK;
}

int CDeleteRun::DeleteFolderInRun(const QString& strFolder) {
  std::vector<WIN32_FIND_DATAW> entries;
  {
    plat::CFind find;
    WIN32_FIND_DATAW data;
    if (find.First(browse::AppendPathComponent(strFolder, QStringLiteral("*.*")), &data)) {
      do {
        entries.push_back(data);
      } while (find.Next(&data));
    }
  }
  for (const WIN32_FIND_DATAW& entry : entries) {
    const QString path = browse::AppendPathComponent(strFolder, plat::FindName(entry));
    int result = eDeleteOK;
    if (plat::IsWalkableFolder(entry)) {
      result = DeleteFolderInRun(path);
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      result = RemoveFolder(path);
    } else {
      const quint64 size = IsLink(entry.dwFileAttributes) ? 0 : plat::FindSize(entry);
      result = DeleteFileInRun(path, size);
    }
    // The first failure ends this folder's walk: the folder cannot be removed anyway.
    if (result != eDeleteOK) return result;
  }
  if (progress_->IsCancelled()) return eDeleteCancelled;
  return RemoveFolder(strFolder);
}

bool AskDelete(const QString& strText, const QString& strTitle) {
  return MsgQuestion(strText, strTitle, ConfirmDeleteHeader()) == eMsgAnsYes;
}

}  // namespace

int DeleteFileCommand(const QString& strPath) {
  if (strPath.isEmpty()) return eDeleteNothing;
  if (!AskDelete(ConfirmFileText(browse::LastComponent(strPath)), DeleteTitle()))
    return eDeleteCancelled;
  LogTrace(u"DeleteFileCommand(%s)...", strPath);
  int result = eDeleteOK;
  if (ShredFile(strPath)) {
    NotifyItemRemoved(strPath);
  } else {
    MsgError(CannotDeleteText(strPath), DeleteTitle(), QString());
    result = eDeleteFileFailed;
  }
  LogTrace(u"DeleteFileCommand(%s)", strPath);
  return result;
}

int DeleteFolderCommand(const QString& strPath) {
  if (strPath.isEmpty()) return eDeleteNothing;
  if (!AskDelete(ConfirmFolderText(browse::LastComponent(strPath)), DeleteTitle()))
    return eDeleteCancelled;
  return DeleteItemsCommand({CSelItem{eSelFolder, strPath}});
}

int DeleteItemsCommand(const CSelection& selection) {
  if (selection.empty()) return eDeleteNothing;
  LogTrace(u"DeleteItemsCommand(%d items)...", static_cast<int>(selection.size()));
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);
  std::unique_ptr<IProgressWindow> progress =
      CreateProgressWindow(eProgressMulti, IDI_PROGRESS_DELETE_1, IDI_PROGRESS_DELETE_2);
  progress->Show();
  progress->SetTitle(DeletingTitle());
  progress->SetCaption(DeletingCaption());
  progress->SetLineLabels(ProgressLabelFile(), ProgressLabelFrom(), ProgressLabelSize());
  progress->SetRange(0, totals.files);
  progress->SetPos(0);
  progress->SetStatus(DeletedCountText(0, totals.files));
  progress->ShowCancel(true);

  CDeleteRun run(progress.get(), totals.files);
  int firstFailure = eDeleteOK;
  for (const CSelItem& item : selection) {
    const DWORD dwAttributes = plat::GetFileAttributes(item.strPath);
    int result = eDeleteOK;
    if (item.nKind == eSelFolder) {
      result = IsLink(dwAttributes) ? run.RemoveFolder(item.strPath)
                                    : run.DeleteFolderInRun(item.strPath);
    } else {
      WIN32_FIND_DATAW data{};
      const quint64 size =
          plat::FindOne(item.strPath, &data) && !IsLink(dwAttributes) ? plat::FindSize(data) : 0;
      result = run.DeleteFileInRun(item.strPath, size);
    }
    if (result == eDeleteCancelled) {
      firstFailure = result;
      break;
    }
    if (firstFailure == eDeleteOK) firstFailure = result;
  }
  progress->Close();
  LogTrace(u"DeleteItemsCommand(%d items)", static_cast<int>(selection.size()));
  return firstFailure;
}

int DeleteCommand(const CSelection& selection) {
  if (selection.empty()) return eDeleteNothing;
  const bool bSingle = selection.size() == 1;
  const CSelItem& first = selection.front();
  if (settings.UseRecycleBin == 0) {
    if (bSingle)
      return first.nKind == eSelFolder ? DeleteFolderCommand(first.strPath)
                                       : DeleteFileCommand(first.strPath);
    if (!AskDelete(ConfirmItemsText(static_cast<qsizetype>(selection.size())), DeleteTitle()))
      return eDeleteCancelled;
    return DeleteItemsCommand(selection);
  }
  // Nothing is deleted unless the bin can take it.
  QString bin;
  if (!EnsureRecycleBin(&bin)) {
    LogErr(u"Could not create the recycle bin %s", bin);
    MsgError(CannotMakeBinText(bin), ErrorDeletingFileTitle(), QString());
    return eDeleteNoBin;
  }
  if (bSingle)
    return first.nKind == eSelFolder ? RecycleFolderCommand(first.strPath)
                                     : RecycleFileCommand(first.strPath);
  if (!AskDelete(ConfirmItemsText(static_cast<qsizetype>(selection.size())), DeletingTitle()))
    return eDeleteCancelled;
  return RecycleItemsCommand(selection);
}

}  // namespace fileops
