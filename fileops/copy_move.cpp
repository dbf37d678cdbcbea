// The paste of a selection: the same-folder guard, the totals, the run over the items, and the
// folder trees with their conflicts.
#include "fileops/copy_move.h"

#include <memory>
#include <optional>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/texts.h"
#include "fileops/copy_move_internal.h"
#include "fileops/naming.h"
#include "fileops/op_buffer.h"
#include "fileops/op_run.h"
#include "fileops/plan_walk.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace fileops::copy_detail {
namespace {

QString FolderErrorHeader() { return core::Text(55313); }
QString FolderErrorTitle() { return core::Text(55315); }
QString SameFolderText(const QString& folder) { return core::Text(55314).arg(folder); }
QString FolderExistsText(const QString& name) { return core::Text(55166).arg(name); }
QString LinkedFolderReason() { return core::Text(900202); }

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
  COpRun::Report({0, 0, strFolder, QStringLiteral("Could not copy (%1)").arg(strReason)},
                 {core::Text(900201).arg(strFolder, strReason), FolderErrorTitle(),
                  FolderErrorHeader()});
}

int ConflictResult(EConflict conflict, int nNo) {
  switch (conflict) {
    case EConflict::eProceed:
      return eCopyOK;
    case EConflict::eSkip:
      return nNo;
    case EConflict::eSkipAll:
      return eCopyNoToAll;
    case EConflict::eCancel:
      break;
  }
  return eCopyCancelled;
}

int CCopyRun::AskFolderConflict(const QString& strName) {
  return ConflictResult(policy_.Settle(FolderExistsText(strName), core::Text(55165)),
                        eCopyNoFolder);
}

// Merges into an existing folder with the user's consent, or creates the target.
int CCopyRun::MakeTargetFolder(const QString& strTarget, const QString& strName,
                               bool* pCreated) {
  *pCreated = false;
  const DWORD dwAttributes = plat::GetFileAttributes(strTarget);
  if (IsFolder(dwAttributes) && IsLink(dwAttributes)) {
    // Merging would write through the link into a folder somewhere else.
    folderReason_ = core::Text(900203);
    return eCopyFolderNotCreated;
  }
  if (IsFolder(dwAttributes)) return AskFolderConflict(strName);
  if (!plat::CreateDirectory(strTarget)) {
    folderReason_ = SystemErrorText(plat::GetLastError());
    return eCopyFolderNotCreated;
  }
  *pCreated = true;
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
    folderReason_ = core::Text(900204);
    return eCopyIntoItself;
  }
  // The stamp is read before the walk reads the folder or moves anything out of it.
  CKeptStamp kept;
  const bool bStamp = ReadFolderStamp(source, nullptr, bMove_, &kept);
  QString target;
  bool bCreated = false;
  if (const int result = EnterFolder(source, parent, strName, &target, &bCreated)) return result;

  bool bCancelled = false;
  CopyChildren(source, target, &bCancelled);
  if (bCancelled) return eCopyCancelled;
  FolderDone(source, target, bCreated && bStamp ? &kept : nullptr);
  return eCopyOK;
}

void CCopyRun::FolderDone(const QString& strSource, const QString& strTarget,
                          const CKeptStamp* pKept) {
  if (!bMove_) {
    if (pKept) KeepFolderStamp(*pKept, strTarget);
    return;
  }
  // A move removes the source folder once the deletes of its contents are committed.
  CPendingMoveStep step{CPendingMoveStep::eSourceFolderDone, strSource, strTarget, {}};
  if (pKept) {
    step.kept = *pKept;
    step.bStamp = true;
  }
  pending_.push_back(std::move(step));
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

// Copies every item below strSource into strTarget (made already). An item that is declined,
// skipped or fails is left out and the copy goes on; only a cancel ends it.
void CCopyRun::CopyChildren(const QString& strSource, const QString& strTarget,
                            bool* pCancelled) {
  class CCopyWalk final : public IPlanVisitor {
   public:
    CCopyWalk(CCopyRun* pRun, const QString& strTarget, bool* pCancelled)
        : run_(pRun), cancelled_(pCancelled), targets_{strTarget} {}

   private:
    // False (and the walk ends) once the run is cancelled.
    bool GoesOn() {
      if (run_->progress_->IsCancelled() || run_->policy_.IsCancelled()) *cancelled_ = true;
      return !*cancelled_;
    }
    EWalk Result(int nResult) {
      if (nResult == eCopyCancelled) *cancelled_ = true;
      return *cancelled_ ? EWalk::eStop : EWalk::eGoOn;
    }
    EWalk FolderEntered(const CWalkItem& folder) override {
      if (++depth_ == 1) return EWalk::eGoOn;  // the top: its target is made
      if (!GoesOn()) return EWalk::eStop;
      QString target;
      bool bCreated = false;
      CKeptStamp kept;
      // The record the parent's listing gave: read before this folder was.
      ReadFolderStamp(folder.strPath, &folder.Record(), run_->bMove_, &kept);
      const int result =
          run_->EnterFolder(folder.strPath, targets_.back(), folder.Name(), &target, &bCreated);
      if (result == eCopyOK) {
        targets_.push_back(target);
        stamps_.push_back(bCreated ? std::optional<CKeptStamp>(kept) : std::nullopt);
        return EWalk::eGoOn;
      }
      --depth_;
      if (result != eCopyCancelled) run_->FolderFailed(folder.strPath, result);
      return Result(result) == EWalk::eStop ? EWalk::eStop : EWalk::eSkip;
    }
    EWalk FolderLeft(const CWalkItem& folder) override {
      if (depth_ > 1) {
        run_->FolderDone(folder.strPath, targets_.back(),
                         stamps_.back() ? &*stamps_.back() : nullptr);
        stamps_.pop_back();
      }
      if (--depth_ > 0) targets_.pop_back();
      return EWalk::eGoOn;
    }
    EWalk File(const CWalkItem& file) override {
      if (!GoesOn()) return EWalk::eStop;
      return Result(run_->CopyAndReportFile(file.strPath, targets_.back(), file.Name(), file.Size()));
    }
    EWalk LinkNotFollowed(const CWalkItem& link) override {
      if (!GoesOn()) return EWalk::eStop;
      // A linked folder is not entered; a move keeps it, and so its folder, and says so.
      LogNotice(u"  Skipped the link to a folder %s", link.strPath);
      if (run_->bMove_)
        ReportFolderKept(browse::ParentPath(link.strPath), link.Name(),
                         EFolderKept::eLinkedFolder, FolderErrorTitle());
      return EWalk::eGoOn;
    }
    EWalk Unnamed(const CWalkItem& folder, const QString& strShownName) override {
      run_->NoteFailure(eCopySourceFolderBad);
      ReportFolderFailure(browse::AppendPathComponent(folder.strPath, strShownName),
                          core::Text(900222));
      return EWalk::eGoOn;
    }
    EWalk Refused(const CWalkItem& folder, DWORD dwError) override {
      run_->NoteFailure(eCopySourceFolderBad);
      ReportFolderFailure(folder.strPath, SystemErrorText(dwError));
      return EWalk::eGoOn;
    }

    CCopyRun* run_;
    bool* cancelled_;
    std::vector<QString> targets_;
    std::vector<std::optional<CKeptStamp>> stamps_;  // of the folders below the top
    int depth_ = 0;
  } walk(this, strTarget, pCancelled);
  WalkFolder(strSource, walk);
}

// A sub-folder of a copied tree: its target made (or merged into), announced and counted.
int CCopyRun::EnterFolder(const QString& strSource, const QString& strParent,
                          const QString& strName, QString* pTarget, bool* pCreated) {
  *pTarget = browse::AppendPathComponent(strParent, strName);
  if (const int result = MakeTargetFolder(*pTarget, strName, pCreated)) return result;
  NotifyItemAdded(*pTarget);
  *bytesDone_ += kFolderProgressBytes;
  progress_->SetPos(*bytesDone_);
  return eCopyOK;
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
  COpRun run(TraceText(QStringLiteral("CopyItems"),
                       {QStringLiteral("%1 items").arg(selection.size()), strDestFolder,
                        QString::number(bMove ? 1 : 0)}),
             COpRun::eWithBuffer);
  const QString dest = StripAllTrailingBackslashes(strDestFolder);
  for (const CSelItem& item : selection) {
    if (item.nKind == eSelFolder && IsInsideFolder(dest, item.strPath)) {
      COpRun::Report({eCopyIntoItself, 0, item.strPath, QStringLiteral("Cannot copy into itself")},
                     {SameFolderText(item.strPath), FolderErrorTitle(), FolderErrorHeader()});
      return eCopyIntoItself;
    }
  }
  if (!run.HasBuffer()) return eCopyBufferBusy;
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);
  IProgressWindow& progress = run.Open(
      {.kind = eProgressMulti,
       .uIcon1 = IDI_PROGRESS_COPY_1,
       .uIcon2 = IDI_PROGRESS_COPY_2,
       .strTitle = core::Text(selection.size() == 1 ? 55165 : 55167),
       .strCaption = core::Text(selection.size() == 1 ? 55181 : 55182),
       .uRange = totals.ProgressBytes(),
       .strStatus = CopiedCountText(0, totals.files)});

  quint64 bytesDone = 0, fileIndex = 0;
  int answer = eCopyAnswerAsk;
  CCopyRun copy(&progress, run.Buffer(), bMove, &bytesDone, totals.ProgressBytes(), &answer,
                &fileIndex, totals.files);
  bool bCancelled = false;
  for (const CSelItem& item : selection) {
    QString name = browse::LastComponent(item.strPath);
    if (LiesInFolder(item.strPath, dest)) {
      if (bMove) continue;  // already where it is to go
      name = MakeCopyName(name, dest);
    }
    int result = eCopyOK;
    if (item.nKind == eSelFolder) {
      result = copy.CopyFolder(item.strPath, dest, name);
      if (result != eCopyOK && result != eCopyCancelled) copy.FolderFailed(item.strPath, result);
    } else {
      WIN32_FIND_DATAW data{};
      const quint64 size = plat::FindOne(item.strPath, &data) ? plat::FindSize(data) : 0;
      result = copy.CopyAndReportFile(item.strPath, dest, name, size);
    }
    if (result == eCopyCancelled) {
      bCancelled = true;
      break;
    }
  }
  copy.CommitMoves();
  return bCancelled ? eCopyCancelled : copy.FirstFailure();
}

}  // namespace fileops
