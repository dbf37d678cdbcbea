// Restoring: one container to its original place, the folder walk over a recycled folder's
// directory, and the runs over a selection of the bin.
#include <memory>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/format.h"
#include "core/message_box.h"
#include "fileops/copy_move_internal.h"
#include "fileops/op_buffer.h"
#include "fileops/op_error.h"
#include "fileops/op_run.h"
#include "fileops/plan_walk.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "platform/output_file.h"
#include "core/texts.h"

namespace fileops::recycle_detail {
namespace {

QString RestoreFileTitle() { return core::Text(57689); }
QString RestoreFolderTitle() { return core::Text(57691); }
QString OverwriteHeader() { return core::Text(61226); }
QString LastModifiedText(const QString& time) { return core::Text(61227).arg(time); }
QString CannotRestoreText(const QString& path) { return core::Text(900207).arg(path); }

// The files a restored folder left in the bin because the bin did not make them; at most
// five names are shown.
QString KeptInBinText(const QStringList& kept) {
  QStringList names;
  for (const QString& path : kept.mid(0, 5)) names << browse::LastComponent(path);
  if (kept.size() > 5) names << QStringLiteral("...");
  return core::Text(900230).arg(names.join(QStringLiteral(", ")));
}

// The last write time of an existing file as the user reads dates.
QString LastWriteText(const QString& strPath) {
  FILETIME write{}, local{};
  SYSTEMTIME st{};
  if (!plat::GetFileTimes(strPath, nullptr, nullptr, &write) ||
      !plat::FileTimeToLocalFileTime(write, &local) || !plat::FileTimeToSystemTime(local, &st))
    return core::Text(55009);
  return core::FormatDateTime(st, false, true);
}

bool IsDescriptorName(const QString& strName) {
  return strName.compare(QString::fromUtf16(kFolderDescriptorName), Qt::CaseInsensitive) == 0;
}

// Sets a restored item's times, then its attributes (a read-only item takes no more changes).
void ApplyRecordedState(const QString& strPath, const WIN32_FIND_DATAW& data) {
  if (!plat::SetFileTimes(strPath, &data.ftCreationTime, &data.ftLastAccessTime,
                          &data.ftLastWriteTime))
    LogFailure(QStringLiteral("Could not set the times of"), strPath, plat::GetLastError());
  const DWORD dwAttributes =
      data.dwFileAttributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
  if (!plat::SetFileAttributes(strPath, dwAttributes))
    LogFailure(QStringLiteral("Could not set the attributes of"), strPath, plat::GetLastError());
}

void CountBinFolder(const QString& strDirectory, CBinTotals* pTotals) {
  class CCountWalk final : public IPlanVisitor {
   public:
    explicit CCountWalk(CBinTotals* pTotals) : totals_(pTotals) {}

   private:
    EWalk File(const CWalkItem& file) override {
      if (IsContainerName(file.Name())) {
        ++totals_->files;
        const quint64 size = file.Size();
        totals_->bytes += size > kRecycleDataOffset ? size - kRecycleDataOffset : 0;
      }
      return EWalk::eGoOn;
    }
    CBinTotals* totals_;
  } walk(pTotals);
  WalkFolder(strDirectory, walk);
}

// Opens a valid container and works out its target: *pFolder (canonical, inside the root) and
// *pTarget. 0, or 3 (invalid or refused path) or 5 (cannot be opened).
int OpenForRestore(const QString& strContainer, plat::CHostFile* pContainer,
                   CRecycleRecord* pRecord, QString* pFolder, QString* pTarget) {
  switch (OpenContainer(strContainer, pContainer, pRecord)) {
    case eContainerOK:
      break;
    case eContainerInvalid:
    case eContainerPartial:
      LogErr(u"%s is not a valid recycled file", strContainer);
      return eRestoreInvalid;
    default:
      LogFailure(QStringLiteral("Could not open"), strContainer, plat::GetLastError());
      return eRestoreNotOpened;
  }
  const QString name = pRecord->Name();
  if (!IsSingleComponent(name) ||
      !IsSafeTargetFolder(browse::FolderPart(pRecord->OriginalPath()), pFolder)) {
    LogErr(u"%s holds a path that is refused: %s", strContainer, pRecord->OriginalPath());
    pContainer->Close();
    return eRestoreInvalid;
  }
  *pTarget = browse::AppendPathComponent(*pFolder, name);
  return eRestoreOK;
}

// Completes a restored file after its data: flushed, put in place (a replaced file through its
// temporary) with its folder's entry flushed before the container may go. On failure the new
// data is removed and an old file is as it was.
int CloseTarget(plat::COutputFile* pOut, int nResult) {
  if (CompleteOutput(pOut, nResult == eRestoreOK, true, true)) return eRestoreOK;
  return nResult != eRestoreOK ? nResult : eRestoreDataFailed;
}

}  // namespace

bool IsSingleComponent(const QString& strName) {
  return !strName.isEmpty() && strName != u"." && strName != u".." &&
         !strName.contains(u'\\') && !strName.contains(u'/') && !strName.contains(QChar(0));
}

namespace {

// The real host path of the nearest folder on the way to strCanonical that exists: it decides
// where a write would land. Empty when none can be resolved.
QByteArray NearestRealPath(const QString& strCanonical) {
  for (QString path = strCanonical; !path.isEmpty(); path = browse::ParentPath(path)) {
    const QByteArray real = copy_detail::RealHostPath(path);
    if (!real.isEmpty()) return real;
    if (path == u"\\") break;
  }
  return {};
}

}  // namespace

bool IsSafeTargetFolder(const QString& strFolder, QString* pCanonical) {
  if (strFolder.contains(QChar(0)) || !plat::CDeviceRoot::Canonical(strFolder, pCanonical))
    return false;
  const QByteArray real = NearestRealPath(*pCanonical);
  if (!copy_detail::IsSameOrBelow(real, copy_detail::RealHostPath(QStringLiteral("\\"))))
    return false;
  // Nothing is restored into the bin: a target there could overwrite or empty a container.
  const QByteArray realBin = copy_detail::RealHostPath(RecycleBinFolder());
  return realBin.isEmpty() || !copy_detail::IsSameOrBelow(real, realBin);
}

bool RemoveBinTree(const QString& strDirectory) {
  // Files go, links go themselves (never what they point to), each folder once it is empty.
  class CRemoveWalk final : public IPlanVisitor {
   public:
    bool bOk = true;

   private:
    EWalk FolderEntered(const CWalkItem&) override {
      frames_.push_back(true);
      return EWalk::eGoOn;
    }
    EWalk File(const CWalkItem& file) override {
      if (ShredFile(file.strPath)) {
        NotifyItemRemoved(file.strPath);
      } else {
        frames_.back() = false;
      }
      return EWalk::eGoOn;
    }
    EWalk LinkNotFollowed(const CWalkItem& link) override {
      const bool bRemoved = plat::RemoveDirectory(link.strPath);
      if (frames_.empty()) {
        bOk = bRemoved;
      } else if (!bRemoved) {
        frames_.back() = false;
      }
      return EWalk::eGoOn;
    }
    EWalk FolderLeft(const CWalkItem& folder) override {
      bool bRemoved = frames_.back();
      frames_.pop_back();
      if (!bRemoved || !plat::RemoveDirectory(folder.strPath)) {
        LogFailure(QStringLiteral("Could not remove"), folder.strPath, plat::GetLastError());
        bRemoved = false;
      } else {
        NotifyFolderRemoved(folder.strPath);
      }
      if (frames_.empty()) {
        bOk = bRemoved;
      } else if (!bRemoved) {
        frames_.back() = false;
      }
      return EWalk::eGoOn;
    }
    std::vector<char> frames_;
  } walk;
  WalkFolder(strDirectory, walk);
  return walk.bOk;
}

CBinTotals CountBinItems(const CSelection& selection) {
  CBinTotals totals;
  for (const CSelItem& item : selection) {
    if (item.nKind == eSelFolder) {
      CountBinFolder(item.strPath, &totals);
      continue;
    }
    ++totals.files;
    WIN32_FIND_DATAW data;
    if (plat::FindOne(item.strPath, &data) && plat::FindSize(data) > kRecycleDataOffset)
      totals.bytes += plat::FindSize(data) - kRecycleDataOffset;
  }
  return totals;
}

int CRestoreRun::CopyFromContainer(plat::CHostFile* pContainer, quint64 uSize,
                                   plat::CHostFile* pTarget) {
  progress_->SetItemRange(0, uSize);
  progress_->SetItemPos(0);
  if (bSingle_) progress_->SetRange(0, uSize);
  const auto fnChunk = [&](quint64 done, quint64 got) { return ShowMovedChunk(done, got, uSize); };
  switch (CopyChunks(pContainer, uSize, pTarget, buffer_, fnChunk)) {
    case EChunkCopy::eDone:
      return eRestoreOK;
    case EChunkCopy::eStopped:
      return eRestoreCancelled;
    default:
      return eRestoreDataFailed;
  }
}

int CRestoreRun::RestoreFileItem(const QString& strContainer, QString* pTarget) {
  return RestoreFileCore(strContainer, pTarget, false);
}

int CRestoreRun::CompleteRestore(const QString& strTarget, const WIN32_FIND_DATAW& data,
                                 bool bDurable) {
  if (!bDurable) return eRestoreDataFailed;  // nothing of it was left
  ApplyRecordedState(strTarget, data);
  NotifyItemAdded(strTarget);
  return eRestoreOK;
}

int CRestoreRun::RestoreFileCore(const QString& strContainer, QString* pTarget, bool bDefer) {
  if (strContainer.isEmpty()) return eRestoreEmptyPath;
  if (progress_->IsCancelled()) return eRestoreCancelled;
  plat::CHostFile container;
  CRecycleRecord record;
  QString folder;
  if (const int refused = OpenForRestore(strContainer, &container, &record, &folder, pTarget))
    return refused;
  const QString target = *pTarget;
  const DWORD dwExisting = plat::GetFileAttributes(target);
  const bool bReplace = dwExisting != INVALID_FILE_ATTRIBUTES;
  if (bReplace && (dwExisting & FILE_ATTRIBUTE_DIRECTORY)) {
    LogErr(u"Could not restore %s: a folder of that name exists", target);
    return eRestoreNotCreated;
  }
  if (bReplace && MsgQuestion(LastModifiedText(LastWriteText(target)), RestoreFileTitle(),
                              OverwriteHeader()) != eMsgAnsYes)
    return eRestoreDeclined;

  // The file appears under its name only when complete; a replaced one through a temporary
  // that takes its place.
  plat::COutputFile out;
  if (!out.Create(target, bReplace)) {
    LogFailure(QStringLiteral("Could not create"), target, plat::GetLastError());
    return eRestoreNotCreated;
  }
  progress_->SetFileLine(record.Name());
  progress_->SetFromLine(RecycleBinTitle());
  progress_->SetToLine(folder);
  int result = CopyFromContainer(&container, record.Size(), &out.File());
  container.Close();
  if (result == eRestoreOK && bDefer && !bReplace) {
    const WIN32_FIND_DATAW data = record.findData;
    const bool bFull = batch_.Add(std::move(out), [this, strContainer, target,
                                                    data](bool bDurable) {
      return FinishFile(strContainer, target, CompleteRestore(target, data, bDurable));
    });
    if (bFull) batch_.Commit();
    return kStepDeferred;
  }
  result = CloseTarget(&out, result);
  if (result != eRestoreOK) return result;
  return CompleteRestore(target, record.findData, true);
}

int CRestoreRun::RestoreAndRemoveFile(const QString& strContainer) {
  QString target;
  const int result = RestoreFileCore(strContainer, &target, !bSingle_);
  if (result == kStepDeferred) return eRestoreOK;  // finished when it is committed
  if (result == eRestoreCancelled) return result;
  return FinishFile(strContainer, target, result);
}

int CRestoreRun::FinishFile(const QString& strContainer, const QString& strTarget,
                            int nResult) {
  int result = nResult;
  if (result != eRestoreCancelled) NoteFinished();
  if (result == eRestoreOK) {
    if (ShredFile(strContainer)) {
      NotifyItemRemoved(strContainer);
    } else {
      result = eRestoreBinNotDeleted;
    }
    ++filesDone_;
    progress_->SetStatus(MovedCountText(filesDone_, filesTotal_));
  }
  if (result != eRestoreOK && result != eRestoreCancelled && result != eRestoreDeclined) {
    COpRun::Report({result, 0, strContainer, QStringLiteral("Could not restore")},
                   {CannotRestoreText(strTarget.isEmpty() ? strContainer : strTarget),
                    RestoreFileTitle()});
  }
  return result;
}

// A failure of a recycled folder itself is shown here, those of its files where they happen.
int FailFolder(const QString& strShown, int nResult) {
  COpRun::Report({nResult, 0, strShown, QStringLiteral("Could not restore the folder")},
                 {CannotRestoreText(strShown), RestoreFolderTitle()});
  return nResult;
}

int CRestoreRun::BeginRestoreFolder(const QString& strDirectory, CRestoredFolder* pFolder) {
  if (!Read(&pFolder->record, strDirectory)) {
    LogErr(u"%s has no valid folder descriptor", strDirectory);
    return FailFolder(strDirectory, eRestoreInvalid);
  }
  QString folder;
  QString& original = pFolder->original;
  if (!plat::CDeviceRoot::Canonical(pFolder->record.OriginalPath(), &original) ||
      original == u"\\" || !IsSafeTargetFolder(original, &folder)) {
    LogErr(u"%s holds a path that is refused: %s", strDirectory, pFolder->record.OriginalPath());
    return FailFolder(strDirectory, eRestoreInvalid);
  }
  pFolder->bCreated = plat::CreateDirectory(original);
  if (pFolder->bCreated) {
    NotifyItemAdded(original);
    return eRestoreOK;
  }
  const DWORD dwAttributes = plat::GetFileAttributes(original);
  if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    LogFailure(QStringLiteral("Could not create"), original, plat::GetLastError());
    return FailFolder(original, eRestoreNotCreated);
  }
  return eRestoreOK;
}

int CRestoreRun::RestoreFolderWalk(const QString& strDirectory, QStringList* pKept) {
  // Each directory of the bin gives back its folder, then its containers; a restored
  // sub-folder leaves the bin. The walk stops at the first result that is not 0, after what
  // is restored completely has left the bin.
  class CRestoreWalk final : public IPlanVisitor {
   public:
    explicit CRestoreWalk(CRestoreRun* pRun) : run_(pRun) {}
    int result = eRestoreOK;
    QStringList kept;  // what stays in the bin

   private:
    EWalk Stop(int nResult) {
      run_->CommitPending();
      result = nResult;
      return EWalk::eStop;
    }
    EWalk FolderEntered(const CWalkItem& folder) override {
      CRestoredFolder restored;
      if (const int begun = run_->BeginRestoreFolder(folder.strPath, &restored))
        return Stop(begun);
      frames_.push_back(restored);
      return EWalk::eGoOn;
    }
    EWalk LinkNotFollowed(const CWalkItem& link) override {
      if (!frames_.empty()) return Keep(link.strPath);  // not the bin's own; left alone
      LogErr(u"%s is a link; it is not restored", link.strPath);
      result = FailFolder(link.strPath, eRestoreInvalid);
      return EWalk::eStop;
    }
    EWalk File(const CWalkItem& file) override {
      if (IsDescriptorName(file.Name())) return EWalk::eGoOn;
      if (!IsContainerName(file.Name())) return Keep(file.strPath);
      const int restored = run_->RestoreAndRemoveFile(file.strPath);
      return restored == eRestoreOK ? EWalk::eGoOn : Stop(restored);
    }
    EWalk FolderLeft(const CWalkItem& folder) override {
      const CRestoredFolder restored = frames_.back();
      frames_.pop_back();
      if (const int committed = run_->CommitPending()) {
        result = committed;
        return EWalk::eStop;
      }
      // A folder made here takes its attributes and times once its contents are in: a
      // read-only folder would refuse them, and every new entry would change its time.
      if (restored.bCreated) ApplyRecordedState(restored.original, restored.record.findData);
      // A folder holding what the bin did not make stays in the bin with its descriptor, and
      // so does every folder above it.
      if (restored.bKeeps) {
        if (!frames_.empty()) frames_.back().bKeeps = true;
        return EWalk::eGoOn;
      }
      // A sub-folder leaves the bin here; the top one is removed by the caller.
      if (!frames_.empty() && !RemoveBinTree(folder.strPath))
        return Stop(FailFolder(folder.strPath, eRestoreBinNotDeleted));
      return EWalk::eGoOn;
    }

    // Files and links the bin did not make are never deleted with the bin's directory.
    EWalk Keep(const QString& strPath) {
      LogErr(u"%s was not made by the recycle bin; it stays there", strPath);
      kept << strPath;
      frames_.back().bKeeps = true;
      return EWalk::eGoOn;
    }

    CRestoreRun* run_;
    std::vector<CRestoredFolder> frames_;
  } walk(this);
  WalkFolder(strDirectory, walk);
  *pKept = walk.kept;
  return walk.result;
}

int CRestoreRun::RestoreFolderItem(const QString& strDirectory) {
  QStringList kept;
  int result = RestoreFolderWalk(strDirectory, &kept);
  if (result == eRestoreOK && !kept.isEmpty()) {
    result = eRestoreBinNotDeleted;
    COpRun::Report({result, 0, strDirectory, QStringLiteral("Could not restore the folder")},
                   {KeptInBinText(kept), RestoreFolderTitle()});
  } else if (result == eRestoreOK && !RemoveBinTree(strDirectory)) {
    result = FailFolder(strDirectory, eRestoreBinNotDeleted);
  } else if (result != eRestoreOK) {
    // The walk reported its failure where it happened.
    LogErr(u"Could not restore the folder %s (%d)", strDirectory, result);
  }
  return result;
}

}  // namespace fileops::recycle_detail

namespace fileops {

using namespace recycle_detail;

namespace {

// The multi-item window of a restore, by the numbers of its title and caption.
CRunWindow RestoreWindow(int nTitle, int nCaption, const CBinTotals& totals) {
  return {.kind = eProgressMulti,
          .uIcon1 = IDI_PROGRESS_DELETE_1,
          .uIcon2 = IDI_PROGRESS_DELETE_2,
          .strTitle = core::Text(nTitle),
          .strCaption = core::Text(nCaption),
          .uRange = totals.bytes,
          .strFrom = RecycleBinTitle(),
          .strStatus = MovedCountText(0, totals.files)};
}

}  // namespace

int RestoreFile(const QString& strContainer) {
  COpRun run(TraceText(QStringLiteral("RestoreFile"), {strContainer}), COpRun::eWithBuffer);
  if (!run.HasBuffer()) return eRestoreBufferBusy;
  IProgressWindow& progress = run.Open({.kind = eProgressSingle,
                                        .uIcon1 = IDI_PROGRESS_DELETE_1,
                                        .uIcon2 = IDI_PROGRESS_DELETE_2,
                                        .strTitle = RestoreFileTitle(),
                                        .strCaption = core::Text(57690),
                                        .bSetRange = false});
  CRestoreRun restore(&progress, run.Buffer(), true, 1);
  QString target;
  return restore.RestoreFileItem(strContainer, &target);
}

int RestoreFolderCommand(const QString& strDirectory) {
  COpRun run(TraceText(QStringLiteral("RestoreFolderCommand"), {strDirectory}),
             COpRun::eWithBuffer);
  if (!run.HasBuffer()) return eRestoreBufferBusy;
  const CBinTotals totals = CountBinItems({CSelItem{eSelFolder, strDirectory}});
  IProgressWindow& progress =
      run.Open(RestoreWindow(57691, 57692, totals));
  CRestoreRun restore(&progress, run.Buffer(), false, totals.files);
  return restore.RestoreFolderItem(strDirectory);
}

int RestoreItems(const CSelection& selection) {
  if (selection.empty()) return eRestoreEmptyPath;
  COpRun run(TraceText(QStringLiteral("RestoreItems"),
                       {QStringLiteral("%1 items").arg(selection.size())}),
             COpRun::eWithBuffer);
  if (!run.HasBuffer()) return eRestoreBufferBusy;
  const CBinTotals totals = CountBinItems(selection);
  IProgressWindow& progress =
      run.Open(RestoreWindow(57693, 57694, totals));
  CRestoreRun restore(&progress, run.Buffer(), false, totals.files);
  int firstFailure = RunEachItem(selection, eRestoreCancelled, [&](const CSelItem& item) {
    return item.nKind == eSelFolder ? restore.RestoreFolderItem(item.strPath)
                                    : restore.RestoreAndRemoveFile(item.strPath);
  });
  const int committed = restore.CommitPending();
  return firstFailure == eRestoreOK ? committed : firstFailure;
}

}  // namespace fileops
