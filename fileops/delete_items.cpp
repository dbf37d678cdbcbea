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
#include "fileops/op_run.h"
#include "fileops/plan_walk.h"
#include "fileops/progress.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "core/texts.h"
#include "fileops/op_texts.h"

namespace fileops {
namespace {

using namespace recycle_detail;

QString ErrorDeletingText(const QString& path) { return core::Text(55200).arg(path); }
QString ErrorTitle() { return core::Text(55327); }
QString DeletedCountText(quint64 done, quint64 total) { return CountLine(55334, done, total); }

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
    COpRun::Report({eDeleteFileFailed, 0, strPath, QStringLiteral("Could not delete")},
                   {ErrorDeletingText(strPath), ErrorTitle()});
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
  if (!RemoveFolderOrReport(strFolder, QStringLiteral("folder"))) return eDeleteFolderFailed;
  NotifyFolderRemoved(strFolder);
  return eDeleteOK;
}

int CDeleteRun::DeleteFolderInRun(const QString& strFolder) {
  return WalkRemovingTree(
      strFolder,
      [this](const CWalkItem& file) {
        return DeleteFileInRun(file.strPath, file.IsLink() ? 0 : file.Size());
      },
      [this](const CWalkItem& link) { return RemoveFolder(link.strPath); },
      [this](const CWalkItem& folder) {
        return progress_->IsCancelled() ? int(eDeleteCancelled) : RemoveFolder(folder.strPath);
      },
      eDeleteFolderFailed, DeleteTitle());
}

bool AskDelete(const QString& strText, const QString& strTitle) {
  return MsgQuestion(strText, strTitle, ConfirmDeleteHeader()) == eMsgAnsYes;
}

// The question of a delete that bypasses the recycle bin: it names the delete as permanent.
bool AskDeleteForGood(const CSelection& selection) {
  const CSelItem& first = selection.front();
  const QString strName = browse::LastComponent(first.strPath);
  const QString strText = selection.size() > 1 ? core::Text(900586).arg(selection.size())
                          : first.nKind == eSelFolder ? core::Text(103).arg(strName)
                                                      : core::Text(61221).arg(strName);
  return MsgQuestion(strText, DeleteTitle(), core::Text(61218)) == eMsgAnsYes;
}

// One file deleted for good after its question was answered.
int DeleteFileNow(const QString& strPath);

}  // namespace

int DeleteFileCommand(const QString& strPath) {
  if (strPath.isEmpty()) return eDeleteNothing;
  if (!AskDelete(ConfirmFileText(browse::LastComponent(strPath)), DeleteTitle()))
    return eDeleteCancelled;
  return DeleteFileNow(strPath);
}

namespace {

int DeleteFileNow(const QString& strPath) {
  LogTrace(u"DeleteFileCommand(%s)...", strPath);
  int result = eDeleteOK;
  if (ShredFile(strPath)) {
    NotifyItemRemoved(strPath);
  } else {
    result = eDeleteFileFailed;
    COpRun::Report({result, 0, strPath, QStringLiteral("Could not delete")},
                   {CannotDeleteText(strPath), DeleteTitle()});
  }
  LogTrace(u"DeleteFileCommand(%s)", strPath);
  return result;
}

}  // namespace

int DeleteFolderCommand(const QString& strPath) {
  if (strPath.isEmpty()) return eDeleteNothing;
  if (!AskDelete(ConfirmFolderText(browse::LastComponent(strPath)), DeleteTitle()))
    return eDeleteCancelled;
  return DeleteItemsCommand({CSelItem{eSelFolder, strPath}});
}

int DeleteItemsCommand(const CSelection& selection) {
  if (selection.empty()) return eDeleteNothing;
  COpRun frame(TraceText(QStringLiteral("DeleteItemsCommand"),
                         {QStringLiteral("%1 items").arg(selection.size())}),
               COpRun::eNoBuffer);
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);
  const int nCaption = selection.size() == 1 ? 55276 : 55278;  // one item, several
  IProgressWindow& progress = frame.Open({.kind = eProgressMulti,
                                          .uIcon1 = IDI_PROGRESS_DELETE_1,
                                          .uIcon2 = IDI_PROGRESS_DELETE_2,
                                          .strTitle = DeletingTitle(),
                                          .strCaption = core::Text(nCaption),
                                          .bSizeLabels = true,
                                          .uRange = totals.files,
                                          .strStatus = DeletedCountText(0, totals.files)});
  CDeleteRun run(&progress, totals.files);
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
    ReportNoBin(bin);
    return eDeleteNoBin;
  }
  if (bSingle)
    return first.nKind == eSelFolder ? RecycleFolderCommand(first.strPath)
                                     : RecycleFileCommand(first.strPath);
  if (!AskDelete(ConfirmItemsText(static_cast<qsizetype>(selection.size())), DeletingTitle()))
    return eDeleteCancelled;
  return RecycleItemsCommand(selection);
}

int DeleteForGoodCommand(const CSelection& selection) {
  if (selection.empty()) return eDeleteNothing;
  if (!AskDeleteForGood(selection)) return eDeleteCancelled;
  const CSelItem& first = selection.front();
  if (selection.size() == 1 && first.nKind != eSelFolder) return DeleteFileNow(first.strPath);
  return DeleteItemsCommand(selection);
}

}  // namespace fileops
