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
#include "fileops/recycle_bin.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"

namespace fileops::recycle_detail {
namespace {

QString RestoreFileTitle() { return QStringLiteral("Restore file"); }  // 57689
QString RestoreCaption() { return QStringLiteral("Restore the selected items"); }
QString OverwriteHeader() {  // 61226
  return QStringLiteral("Are you sure you want to overwrite the existing file?");
}
QString LastModifiedText(const QString& time) {  // 61227
  return QStringLiteral("The last modification time is: %1").arg(time);
}
QString CannotRestoreText(const QString& path) {
  return QStringLiteral("Can not restore \"%1\".").arg(path);
}

void LogFailure(const QString& strWhat, const QString& strPath, DWORD dwError) {
  LogErr(u"%s %s", strWhat, strPath);
  LogSystemError(dwError);
}

// The last write time of an existing file as the user reads dates.
QString LastWriteText(const QString& strPath) {
  FILETIME write{}, local{};
  SYSTEMTIME st{};
  if (!plat::GetFileTimes(strPath, nullptr, nullptr, &write) ||
      !plat::FileTimeToLocalFileTime(write, &local) || !plat::FileTimeToSystemTime(local, &st))
    return QStringLiteral("N/A");
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

// Opens a new temporary file in strFolder for content that will replace a file.
bool OpenTemporary(const QString& strFolder, plat::CHostFile* pFile, QString* pPath) {
  if (plat::GetTempFileName(strFolder, QString::fromUtf16(kRecycleNamePrefix), 0, pPath) == 0)
    return false;
  if (pFile->Open(*pPath, plat::GENERIC_WRITE, plat::OPEN_EXISTING)) return true;
  const DWORD error = plat::GetLastError();
  ShredFile(*pPath);
  plat::SetLastError(error);
  return false;
}

void CountBinFolder(const QString& strDirectory, CBinTotals* pTotals) {
  std::vector<WIN32_FIND_DATAW> entries;
  plat::ReadFolderEntries(strDirectory, &entries);
  for (const WIN32_FIND_DATAW& entry : entries) {
    const QString name = plat::FindName(entry);
    if (plat::IsWalkableFolder(entry)) {
      CountBinFolder(browse::AppendPathComponent(strDirectory, name), pTotals);
    } else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsContainerName(name)) {
      ++pTotals->files;
      const quint64 size = plat::FindSize(entry);
      pTotals->bytes += size > kRecycleDataOffset ? size - kRecycleDataOffset : 0;
    }
  }
}

// Opens a valid container and works out its target: *pFolder (canonical, inside the root) and
// *pTarget. 0, or 3 (invalid or refused path) or 5 (cannot be opened).
int OpenForRestore(const QString& strContainer, plat::CHostFile* pContainer,
                   CRecycleRecord* pRecord, QString* pFolder, QString* pTarget) {
  switch (OpenContainer(strContainer, pContainer, pRecord)) {
    case eContainerOK:
      break;
    case eContainerInvalid:
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

// Completes a restored file after its data: flushed and closed, both checked, and a temporary
// put in place of the old file, whose new name is flushed too before the container may go.
// On failure the new data is removed and an old file is as it was.
int CloseTarget(plat::CHostFile* pOut, const QString& strTarget, bool bReplace, int nResult) {
  const QString writePath = pOut->Path();
  if (nResult == eRestoreOK && !pOut->Flush()) {
    LogFailure(QStringLiteral("Could not flush"), writePath, plat::GetLastError());
    nResult = eRestoreDataFailed;
  }
  const bool bClosed = pOut->Close();
  if (nResult == eRestoreOK && !bClosed) {
    LogFailure(QStringLiteral("Could not close"), writePath, plat::GetLastError());
    nResult = eRestoreDataFailed;
  }
  if (nResult == eRestoreOK && bReplace && !plat::ReplaceFile(strTarget, writePath)) {
    LogFailure(QStringLiteral("Could not replace"), strTarget, plat::GetLastError());
    nResult = eRestoreDataFailed;
  }
  if (nResult != eRestoreOK) {
    ShredFile(writePath);
    return nResult;
  }
  const QString folder = browse::ParentPath(strTarget);
  if (bReplace && !FlushFolder(folder)) {
    LogFailure(QStringLiteral("Could not flush the folder"), folder, plat::GetLastError());
    return eRestoreDataFailed;
  }
  return eRestoreOK;
}

}  // namespace

bool IsSingleComponent(const QString& strName) {
  return !strName.isEmpty() && strName != u"." && strName != u".." &&
         !strName.contains(u'\\') && !strName.contains(u'/') && !strName.contains(QChar(0));
}

bool IsSafeTargetFolder(const QString& strFolder, QString* pCanonical) {
  if (strFolder.contains(QChar(0)) || !plat::CDeviceRoot::Canonical(strFolder, pCanonical))
    return false;
  const QByteArray realRoot = copy_detail::RealHostPath(QStringLiteral("\\"));
  // The nearest folder on the way that exists decides where a write would land.
  for (QString path = *pCanonical; !path.isEmpty(); path = browse::ParentPath(path)) {
    const QByteArray real = copy_detail::RealHostPath(path);
    if (!real.isEmpty()) return copy_detail::IsSameOrBelow(real, realRoot);
    if (path == u"\\") break;
  }
  return false;
}

bool RemoveBinTree(const QString& strDirectory) {
  std::vector<WIN32_FIND_DATAW> entries;
  plat::ReadFolderEntries(strDirectory, &entries);
  bool bOk = true;
  for (const WIN32_FIND_DATAW& entry : entries) {
    const QString path = browse::AppendPathComponent(strDirectory, plat::FindName(entry));
    if (plat::IsWalkableFolder(entry)) {
      bOk = RemoveBinTree(path) && bOk;
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      bOk = plat::RemoveDirectory(path) && bOk;  // a link, removed itself
    } else if (ShredFile(path)) {
      NotifyItemRemoved(path);
    } else {
      bOk = false;
    }
  }
  if (!bOk || !plat::RemoveDirectory(strDirectory)) {
    LogFailure(QStringLiteral("Could not remove"), strDirectory, plat::GetLastError());
    return false;
  }
  NotifyFolderRemoved(strDirectory);
  return true;
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
  if (!bDurable) {
    ShredFile(strTarget);
    return eRestoreDataFailed;
  }
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

  // A new file under its own name; a replaced one through a temporary that takes its place.
  plat::CHostFile out;
  QString writePath = target;
  const bool bOpened = bReplace ? OpenTemporary(folder, &out, &writePath)
                                : out.Open(target, plat::GENERIC_WRITE, plat::CREATE_NEW);
  if (!bOpened) {
    LogFailure(QStringLiteral("Could not create"), writePath, plat::GetLastError());
    return eRestoreNotCreated;
  }
  progress_->SetFileLine(record.Name());
  progress_->SetFromLine(RecycleBinTitle());
  progress_->SetToLine(folder);
  int result = CopyFromContainer(&container, record.Size(), &out);
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
  result = CloseTarget(&out, target, bReplace, result);
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
    LogErr(u"Could not restore %s (%d)", strContainer, result);
    MsgError(CannotRestoreText(strTarget.isEmpty() ? strContainer : strTarget),
             RestoreFileTitle(), QString());
  }
  return result;
}

int CRestoreRun::RestoreFolderWalk(const QString& strDirectory) {
  // A failure of the folder itself is shown here, those of its files where they happen.
  const auto fail = [](const QString& strShown, int nResult) {
    MsgError(CannotRestoreText(strShown), QStringLiteral("Restore folder"), QString());
    return nResult;
  };
  CRecycleRecord record;
  if (!Read(&record, strDirectory)) {
    LogErr(u"%s has no valid folder descriptor", strDirectory);
    return fail(strDirectory, eRestoreInvalid);
  }
  QString original, folder;
  if (!plat::CDeviceRoot::Canonical(record.OriginalPath(), &original) || original == u"\\" ||
      !IsSafeTargetFolder(browse::ParentPath(original), &folder)) {
    LogErr(u"%s holds a path that is refused: %s", strDirectory, record.OriginalPath());
    return fail(strDirectory, eRestoreInvalid);
  }
  const bool bCreated = plat::CreateDirectory(original);
  if (bCreated) {
    NotifyItemAdded(original);
  } else {
    const DWORD dwAttributes = plat::GetFileAttributes(original);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      LogFailure(QStringLiteral("Could not create"), original, plat::GetLastError());
      return fail(original, eRestoreNotCreated);
    }
  }
  std::vector<WIN32_FIND_DATAW> entries;
  plat::ReadFolderEntries(strDirectory, &entries);
  for (const WIN32_FIND_DATAW& entry : entries) {
    const QString name = plat::FindName(entry);
    const QString path = browse::AppendPathComponent(strDirectory, name);
    int result = eRestoreOK;
    if (plat::IsWalkableFolder(entry)) {
      result = RestoreFolderWalk(path);
      if (result == eRestoreOK && !RemoveBinTree(path))
        result = fail(path, eRestoreBinNotDeleted);
    } else if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDescriptorName(name) &&
               IsContainerName(name)) {
      result = RestoreAndRemoveFile(path);
    }
    if (result != eRestoreOK) {
      CommitPending();  // what is restored completely leaves the bin
      return result;
    }
  }
  if (const int committed = CommitPending()) return committed;
  // A folder made here takes its attributes and times once its contents are in: a read-only
  // folder would refuse them, and every new entry would change its time.
  if (bCreated) ApplyRecordedState(original, record.findData);
  return eRestoreOK;
}

int CRestoreRun::RestoreFolderItem(const QString& strDirectory) {
  int result = RestoreFolderWalk(strDirectory);
  if (result == eRestoreOK && !RemoveBinTree(strDirectory)) {
    MsgError(CannotRestoreText(strDirectory), QStringLiteral("Restore folder"), QString());
    result = eRestoreBinNotDeleted;
  }
  if (result != eRestoreOK) LogErr(u"Could not restore the folder %s (%d)", strDirectory, result);
  return result;
}

}  // namespace fileops::recycle_detail

namespace fileops {

using namespace recycle_detail;

namespace {

std::unique_ptr<IProgressWindow> OpenRestoreWindow(const QString& strTitle,
                                                   const CBinTotals& totals) {
  std::unique_ptr<IProgressWindow> progress =
      CreateProgressWindow(eProgressMulti, IDI_PROGRESS_DELETE_1, IDI_PROGRESS_DELETE_2);
  progress->Show();
  progress->SetTitle(strTitle);
  progress->SetCaption(RestoreCaption());
  progress->SetFromLine(RecycleBinTitle());
  progress->SetRange(0, totals.bytes);
  progress->SetPos(0);
  progress->SetStatus(MovedCountText(0, totals.files));
  progress->ShowCancel(true);
  return progress;
}

}  // namespace

int RestoreFile(const QString& strContainer) {
  LogTrace(u"RestoreFile(%s)...", strContainer);
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eRestoreBufferBusy;
  std::unique_ptr<IProgressWindow> progress =
      CreateProgressWindow(eProgressSingle, IDI_PROGRESS_DELETE_1, IDI_PROGRESS_DELETE_2);
  progress->Show();
  progress->SetTitle(RestoreFileTitle());
  progress->SetCaption(RestoreCaption());
  progress->SetPos(0);
  progress->ShowCancel(true);
  CRestoreRun run(progress.get(), buffer.Data(), true, 1);
  QString target;
  const int result = run.RestoreFileItem(strContainer, &target);
  progress->Close();
  LogTrace(u"RestoreFile(%s)", strContainer);
  return result;
}

int RestoreFolderCommand(const QString& strDirectory) {
  LogTrace(u"RestoreFolderCommand(%s)...", strDirectory);
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eRestoreBufferBusy;
  const CBinTotals totals = CountBinItems({CSelItem{eSelFolder, strDirectory}});
  std::unique_ptr<IProgressWindow> progress =
      OpenRestoreWindow(QStringLiteral("Restore folder"), totals);  // 57691
  CRestoreRun run(progress.get(), buffer.Data(), false, totals.files);
  const int result = run.RestoreFolderItem(strDirectory);
  progress->Close();
  LogTrace(u"RestoreFolderCommand(%s)", strDirectory);
  return result;
}

int RestoreItems(const CSelection& selection) {
  if (selection.empty()) return eRestoreEmptyPath;
  LogTrace(u"RestoreItems(%d items)...", static_cast<int>(selection.size()));
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eRestoreBufferBusy;
  const CBinTotals totals = CountBinItems(selection);
  std::unique_ptr<IProgressWindow> progress =
      OpenRestoreWindow(QStringLiteral("Restore selection"), totals);  // 57693
  CRestoreRun run(progress.get(), buffer.Data(), false, totals.files);
  int firstFailure = RunEachItem(selection, eRestoreCancelled, [&](const CSelItem& item) {
    return item.nKind == eSelFolder ? run.RestoreFolderItem(item.strPath)
                                    : run.RestoreAndRemoveFile(item.strPath);
  });
  const int committed = run.CommitPending();
  if (firstFailure == eRestoreOK) firstFailure = committed;
  progress->Close();
  LogTrace(u"RestoreItems(%d items)", static_cast<int>(selection.size()));
  return firstFailure;
}

}  // namespace fileops
