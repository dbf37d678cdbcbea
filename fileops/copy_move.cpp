// The paste of a selection: the same-folder guard, the totals, the run over the items, and the
// folder trees with their conflicts.
#include "fileops/copy_move.h"

#include <memory>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/message_box.h"
#include "fileops/copy_move_internal.h"
#include "fileops/naming.h"
#include "fileops/op_buffer.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace fileops::copy_detail {
namespace {

QString FolderErrorHeader() { return QStringLiteral("Error copying the folder"); }  // 55313
QString FolderErrorTitle() { return QStringLiteral("Error copying folder"); }       // 55315
QString SameFolderText(const QString& folder) {                                     // 55314
  return QStringLiteral("Cannot copy %1 : The destination folder is the same as the source "
                        "folder")
      .arg(folder);
}
QString FolderExistsText(const QString& name) {  // 55166
  return QStringLiteral(
             "This folder already contains a folder named \"%1\".\r\n\r\nIf the files in the "
             "existing folder have the same name as files in the folder you are moving or "
             "copying, they will be replaced. Do you still want to move or copy the folder?")
      .arg(name);
}
QString LinkedFolderReason() {
  return QStringLiteral("It is a link to a folder; links to folders are not copied.");
}

bool IsFolder(DWORD dwAttributes) {
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsLink(DWORD dwAttributes) {
  return dwAttributes != INVALID_FILE_ATTRIBUTES &&
         (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Every trailing backslash off, but "\" stays.
QString StripAllTrailingBackslashes(QString strPath) {
  while (strPath.size() > 1 && strPath.endsWith(u'\\')) strPath.chop(1);
  return strPath;
}

// The same-folder guard: true when strDest is strFolder or lies anywhere below it, by its
// path text (ignoring case; every destination lies below the root) or on the host, where
// links are resolved.
bool IsInsideFolder(const QString& strDest, const QString& strFolder) {
  QString dest, folder;
  if (!plat::CDeviceRoot::Canonical(strDest, &dest) ||
      !plat::CDeviceRoot::Canonical(strFolder, &folder))
    return false;
  if (folder == u"\\" || dest.compare(folder, Qt::CaseInsensitive) == 0 ||
      dest.startsWith(folder + u'\\', Qt::CaseInsensitive))
    return true;
  return IsSameOrBelow(RealHostPath(dest), RealHostPath(folder));
}

}  // namespace

void ReportFolderFailure(const QString& strFolder, const QString& strReason) {
  LogErr(u"Could not copy the folder %s: %s", strFolder, strReason);
  MsgError(QStringLiteral("Cannot copy %1 : %2").arg(strFolder, strReason), FolderErrorTitle(),
           FolderErrorHeader());
}

int CCopyRun::AskFolderConflict(const QString& strName) {
  if (*answer_ == eCopyAnswerNoToAll) return eCopyNoToAll;
  if (*answer_ == eCopyAnswerYesToAll) return eCopyOK;
  switch (MsgConflict(FolderExistsText(strName), QStringLiteral("File copy"), QString())) {
    case eMsgAnsYes:
      return eCopyOK;
    case eMsgAnsYesToAll:
      *answer_ = eCopyAnswerYesToAll;
      return eCopyOK;
    case eMsgAnsNoToAll:
      *answer_ = eCopyAnswerNoToAll;
      return eCopyNoToAll;
    case eMsgAnsCancel:
      *answer_ = eCopyAnswerCancelled;
      return eCopyCancelled;
    default:
      return eCopyNoFolder;
  }
}

// Merges into an existing folder with the user's consent, or creates the target.
int CCopyRun::MakeTargetFolder(const QString& strTarget, const QString& strName) {
  const DWORD dwAttributes = plat::GetFileAttributes(strTarget);
  if (IsFolder(dwAttributes) && IsLink(dwAttributes)) {
    // Merging would write through the link into a folder somewhere else.
    folderReason_ = QStringLiteral("The destination holds a link to a folder by that name.");
    return eCopyFolderNotCreated;
  }
  if (IsFolder(dwAttributes)) return AskFolderConflict(strName);
  if (!plat::CreateDirectory(strTarget)) {
    folderReason_ = SystemErrorText(plat::GetLastError());
    return eCopyFolderNotCreated;
  }
  // For a move the new folder's entry reaches the disk before any source below it is deleted.
  if (bMove_) pending_.push_back({CPendingMoveStep::eFolderCreated, strTarget, {}, {}});
  return eCopyOK;
}

int CCopyRun::CopyFolder(const QString& strSource, const QString& strDestParent,
                         const QString& strName) {
  if (strSource.isEmpty()) return eCopySourceFolderBad;
  if (strDestParent.isEmpty()) return eCopyDestFolderBad;
  const QString source = StripAllTrailingBackslashes(strSource);
  const QString parent = StripAllTrailingBackslashes(strDestParent);
  const DWORD dwSource = plat::GetFileAttributes(source);
  if (!IsFolder(dwSource) || IsLink(dwSource)) {
    folderReason_ = IsLink(dwSource) ? LinkedFolderReason()
                                     : SystemErrorText(dwSource == INVALID_FILE_ATTRIBUTES
                                                           ? plat::GetLastError()
                                                           : ERROR_DIRECTORY);
    return eCopySourceFolderBad;
  }
  if (!IsFolder(plat::GetFileAttributes(parent))) {
    folderReason_ = SystemErrorText(ERROR_PATH_NOT_FOUND);
    return eCopyDestFolderBad;
  }
  // Never into itself: the copy would find its own new folders and never end.
  if (IsInsideFolder(parent, source)) {
    folderReason_ = QStringLiteral("The destination folder lies inside the source folder.");
    return eCopyIntoItself;
  }
  const QString target = browse::AppendPathComponent(parent, strName);
  if (const int result = MakeTargetFolder(target, strName)) return result;
  NotifyItemAdded(target);
  *bytesDone_ += kFolderProgressBytes;
  progress_->SetPos(*bytesDone_);

  bool bCancelled = false;
  CopyChildren(source, target, &bCancelled);
  if (bCancelled) return eCopyCancelled;
  // A move removes the source folder once the deletes of its contents are committed.
  if (bMove_) pending_.push_back({CPendingMoveStep::eSourceFolderDone, source, {}, {}});
  return eCopyOK;
}

int CCopyRun::CopyAndReportFile(const QString& strSource, const QString& strDestFolder,
                                const QString& strName, quint64 uSize) {
  const quint64 before = *bytesDone_;
  const int result = CopyFile(strSource, strDestFolder, strName, ++*fileIndex_);
  if (result == kCopyDeferred) {
    if (pendingFiles_ >= kMaxPendingFiles) CommitMoves();
    return eCopyOK;
  }
  if (result == eCopyCancelled) return result;
  FileFinished(result, uSize, before);
  if (result != eCopyOK) ReportFileResult(strSource, result);
  return result;
}

void CCopyRun::FolderFailed(const QString& strFolder, int nResult) {
  NoteFailure(nResult);
  switch (nResult) {
    case eCopySourceFolderBad:
    case eCopyDestFolderBad:
    case eCopyFolderNotCreated:
    case eCopyIntoItself:
      ReportFolderFailure(strFolder, folderReason_);
      break;
    default:  // declined, skipped, or a moved folder kept because something in it stayed
      break;
  }
}

// Copies every item of strSource into strTarget. An item that is declined, skipped or fails
// is left out and the copy goes on; only a cancel ends it.
void CCopyRun::CopyChildren(const QString& strSource, const QString& strTarget,
                            bool* pCancelled) {
  std::vector<WIN32_FIND_DATAW> entries;
  if (!plat::ReadFolderEntries(strSource, &entries)) {
    const DWORD error = plat::GetLastError();
    NoteFailure(eCopySourceFolderBad);
    ReportFolderFailure(strSource, SystemErrorText(error));
  }
  for (const WIN32_FIND_DATAW& entry : entries) {
    if (progress_->IsCancelled() || *answer_ == eCopyAnswerCancelled) {
      *pCancelled = true;
      return;
    }
    const QString name = plat::FindName(entry);
    const QString path = browse::AppendPathComponent(strSource, name);
    int result = eCopyOK;
    if (plat::IsWalkableFolder(entry)) {
      result = CopyFolder(path, strTarget, name);
      if (result != eCopyOK && result != eCopyCancelled) FolderFailed(path, result);
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A linked folder is not entered; a move keeps it, and so its folder.
      LogNotice(u"  Skipped the link to a folder %s", path);
    } else {
      result = CopyAndReportFile(path, strTarget, name, plat::FindSize(entry));
    }
    if (result == eCopyCancelled) {
      *pCancelled = true;
      return;
    }
  }
}

}  // namespace fileops::copy_detail

namespace fileops {

using namespace copy_detail;

int CopyFolderInRun(const QString& strSourceFolder, const QString& strDestParent,
                    const QString& strName, quint64* pBytesDone, quint64 uBytesTotal,
                    bool bMove, int* pAnswer, IProgressWindow* pProgress,
                    quint64* pFileIndex, quint64 uFileTotal) {
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eCopyBufferBusy;
  CCopyRun run(pProgress, buffer.Data(), bMove, pBytesDone, uBytesTotal, pAnswer, pFileIndex,
               uFileTotal);
  const int result = run.CopyFolder(strSourceFolder, strDestParent, strName);
  run.CommitMoves();
  // Whether a moved folder had to stay is only known once the held-back deletes are done.
  if (result == eCopyOK && bMove &&
      plat::GetFileAttributes(StripAllTrailingBackslashes(strSourceFolder)) !=
          INVALID_FILE_ATTRIBUTES)
    return eCopySourceFolderKept;
  return result;
}

int CopyItems(const CSelection& selection, const QString& strDestFolder, bool bMove) {
  if (selection.empty()) return eCopyOK;
  if (selection.size() == 1 && selection.front().nKind == eSelFile)
    return CopyOneFile(selection.front().strPath, strDestFolder, bMove);
  LogTrace(u"CopyItems(%d items, %s, %d)...", static_cast<int>(selection.size()),
           strDestFolder, bMove ? 1 : 0);
  const QString dest = StripAllTrailingBackslashes(strDestFolder);
  for (const CSelItem& item : selection) {
    if (item.nKind == eSelFolder && IsInsideFolder(dest, item.strPath)) {
      MsgError(SameFolderText(item.strPath), FolderErrorTitle(), FolderErrorHeader());
      return eCopyIntoItself;
    }
  }
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eCopyBufferBusy;
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);

  const bool bOne = selection.size() == 1;
  std::unique_ptr<IProgressWindow> progress =
      CreateProgressWindow(eProgressMulti, IDI_PROGRESS_COPY_1, IDI_PROGRESS_COPY_2);
  progress->Show();
  progress->SetTitle(QStringLiteral("File copy"));  // 55165 for one item, 55167 for several
  progress->SetCaption(bOne ? QStringLiteral("Recursive folder copy in progress")  // 55181
                            : QStringLiteral("Recursive multiple item copy in progress"));
  progress->SetRange(0, totals.ProgressBytes());
  progress->SetPos(0);
  progress->SetStatus(CopiedCountText(0, totals.files));
  progress->ShowCancel(true);

  quint64 bytesDone = 0, fileIndex = 0;
  int answer = eCopyAnswerAsk;
  CCopyRun run(progress.get(), buffer.Data(), bMove, &bytesDone, totals.ProgressBytes(),
               &answer, &fileIndex, totals.files);
  bool bCancelled = false;
  for (const CSelItem& item : selection) {
    QString name = browse::LastComponent(item.strPath);
    if (LiesInFolder(item.strPath, dest)) {
      if (bMove) continue;  // already where it is to go
      name = MakeCopyName(name, dest);
    }
    int result = eCopyOK;
    if (item.nKind == eSelFolder) {
      result = run.CopyFolder(item.strPath, dest, name);
      if (result != eCopyOK && result != eCopyCancelled) run.FolderFailed(item.strPath, result);
    } else {
      WIN32_FIND_DATAW data{};
      const quint64 size = plat::FindOne(item.strPath, &data) ? plat::FindSize(data) : 0;
      result = run.CopyAndReportFile(item.strPath, dest, name, size);
    }
    if (result == eCopyCancelled) {
      bCancelled = true;
      break;
    }
  }
  run.CommitMoves();
  progress->Close();
  LogTrace(u"CopyItems(%d items, %s, %d)", static_cast<int>(selection.size()), strDestFolder,
           bMove ? 1 : 0);
  return bCancelled ? eCopyCancelled : run.FirstFailure();
}

}  // namespace fileops
