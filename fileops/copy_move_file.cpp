// One file of a copy or move: the byte copy through the shared buffer, the conflict with an
// existing file, the replace through a temporary name, the delete of a moved source; and the
// single-file copy with its own window.
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "fileops/copy_move_internal.h"
#include "fileops/naming.h"
#include "fileops/op_error.h"
#include "fileops/op_run.h"
#include "fileops/op_texts.h"
#include "fileops/op_buffer.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "platform/output_file.h"

namespace fileops::copy_detail {

QString ErrorCopyingFileHeader() { return core::Text(55178); }
QString ErrorTitle() { return core::Text(55177); }
QString ErrorCopyingFileText(const QString& path) { return core::Text(55168).arg(path); }
QString CopiedBytesText(quint64 done, quint64 total) { return BytesLine(55150, done, total); }
QString CopiedCountText(quint64 done, quint64 total) { return CountLine(55169, done, total); }

QByteArray RealHostPath(const QString& strDevicePath) {
  QByteArray host;
  if (!plat::CDeviceRoot::ToHost(strDevicePath, &host)) return {};
  char* real = ::realpath(host.constData(), nullptr);
  if (!real) return {};
  QByteArray result(real);
  ::free(real);
  return result;
}

bool IsSameOrBelow(const QByteArray& inner, const QByteArray& outer) {
  if (inner.isEmpty() || outer.isEmpty()) return false;
  if (inner == outer || outer == "/") return true;
  return inner.startsWith(outer) && inner.at(outer.size()) == '/';
}

bool LiesInFolder(const QString& strPath, const QString& strFolder) {
  if (IsSameFolder(strPath, strFolder)) return true;
  const QByteArray realFolder = RealHostPath(strFolder);
  return !realFolder.isEmpty() && RealHostPath(browse::ParentPath(strPath)) == realFolder;
}

bool IsSameHostItem(const QString& a, const QString& b) {
  quint64 deviceA = 0, inodeA = 0, deviceB = 0, inodeB = 0;
  return plat::GetItemIdentity(a, &deviceA, &inodeA) &&
         plat::GetItemIdentity(b, &deviceB, &inodeB) && deviceA == deviceB && inodeA == inodeB;
}

void ReportFileResult(const QString& strSource, int nResult) {
  if (nResult == eCopySourceNotDeleted) {
    COpRun::Report({nResult, 0, strSource, QStringLiteral("Could not delete the moved")},
                   {CannotDeleteText(strSource), DeleteTitle()});
    return;
  }
  COpRun::Report({nResult, 0, strSource, QStringLiteral("Could not copy")},
                 {ErrorCopyingFileText(strSource), ErrorTitle(), ErrorCopyingFileHeader()});
}

namespace {

// The attributes a new file does not have by itself.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY |
                                  FILE_ATTRIBUTE_COMPRESSED;

}  // namespace

// A copy whose stamp could not be set is still a complete copy: the failure is logged only.
void KeepTimes(const CKeptStamp& kept, plat::CHostFile* pCopy) {
  const plat::CFileStamp& stamp = kept.stamp;
  if (!pCopy->SetTimes(kept.bAllTimes ? &stamp.creation : nullptr,
                       kept.bAllTimes ? &stamp.lastAccess : nullptr, &stamp.lastWrite))
    LogFailure(QStringLiteral("Could not keep the times of"), pCopy->Path(),
               plat::GetLastError());
}

void KeepAttributes(const CKeptStamp& kept, const QString& strPath) {
  const DWORD dwKept = kept.stamp.dwAttributes & kKeptAttributes;
  if (dwKept == 0) return;
  if (!plat::SetFileAttributes(strPath, dwKept))
    LogFailure(QStringLiteral("Could not keep the attributes of"), strPath,
               plat::GetLastError());
}

bool ReadFolderStamp(const QString& strFolder, const WIN32_FIND_DATAW* pRecord, bool bMove,
                     CKeptStamp* pKept) {
  pKept->bAllTimes = bMove;
  plat::CFileStamp& stamp = pKept->stamp;
  if (pRecord) {
    stamp = {pRecord->dwFileAttributes, pRecord->ftCreationTime, pRecord->ftLastAccessTime,
             pRecord->ftLastWriteTime};
    return true;
  }
  stamp.dwAttributes = plat::GetFileAttributes(strFolder);
  return stamp.dwAttributes != INVALID_FILE_ATTRIBUTES &&
         plat::GetFileTimes(strFolder, &stamp.creation, &stamp.lastAccess, &stamp.lastWrite);
}

void KeepFolderStamp(const CKeptStamp& kept, const QString& strFolder) {
  const plat::CFileStamp& stamp = kept.stamp;
  // The attributes first: setting them touches no time a folder reports.
  KeepAttributes(kept, strFolder);
  if (!plat::SetFileTimes(strFolder, kept.bAllTimes ? &stamp.creation : nullptr,
                          kept.bAllTimes ? &stamp.lastAccess : nullptr, &stamp.lastWrite))
    LogFailure(QStringLiteral("Could not keep the times of"), strFolder, plat::GetLastError());
}

namespace {

// MoveByRename's answer when the file is to be copied instead.
constexpr int kNotRenamed = -2;

// A move within one file system: the file is given its new name in one step that never
// replaces, so its data, times and attributes stay as they are. A source that is a link or
// read-only (whose delete the move would refuse) is left to the copy, and so is every rename
// that fails (a name that exists, another file system, a missing folder, a host error): the
// source is still where it was, and the copy asks, copies or reports as always.
int MoveByRename(const CFileCopyJob& job, const QString& strDestPath, quint64* pSize) {
  WIN32_FIND_DATAW data{};
  if (!plat::FindOne(job.strSource, &data) ||
      (data.dwFileAttributes &
       (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
    return kNotRenamed;
  if (!plat::MoveFile(job.strSource, strDestPath)) {
    const DWORD error = plat::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_NOT_SAME_DEVICE)
      LogFailure(QStringLiteral("Could not rename, copying instead"), job.strSource, error);
    return kNotRenamed;
  }
  *pSize = plat::FindSize(data);
  if (job.fnStart) job.fnStart(*pSize);
  // The file is moved whatever the answer; a cancel ends the run before the next file.
  if (job.fnChunk) job.fnChunk(*pSize, *pSize);
  NotifyItemAdded(strDestPath);
  NotifyItemRemoved(job.strSource);
  if (job.fnRenamed) job.fnRenamed(strDestPath);
  return eCopyOK;
}

// Copies the source's uSize bytes (its length when it was opened) in buffer-sized chunks.
int CopyData(plat::CHostFile* pSource, quint64 uSize, plat::CHostFile* pDest, BYTE* buffer,
             const std::function<bool(quint64, quint64)>& fnChunk) {
  switch (CopyChunks(pSource, uSize, pDest, buffer, fnChunk)) {
    case EChunkCopy::eDone:
      return eCopyOK;
    case EChunkCopy::eStopped:
      return eCopyCancelled;
    default:
      return eCopyDataFailed;
  }
}

void ShowCreateError(const QString& strPath, DWORD dwError) {
  COpRun::Report({0, dwError, strPath, QStringLiteral("Could not create")},
                 {core::Text(55170), ErrorTitle(), ErrorCopyingFileHeader()});
}

// Opens the destination's output: a new file, or after the caller's consent the content that
// will replace the existing one. 0, 7, 16 or the conflict's answer.
int OpenDestination(const CFileCopyJob& job, const QString& strDestPath,
                    plat::COutputFile* pDest) {
  const DWORD dwAttributes = plat::GetFileAttributes(strDestPath);
  const bool bExists = dwAttributes != INVALID_FILE_ATTRIBUTES;
  if (bExists && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ShowCreateError(strDestPath, ERROR_FILE_EXISTS);
    return eCopyDestNotCreated;
  }
  if (bExists && IsSameHostItem(job.strSource, strDestPath)) {
    LogErr(u"%s and %s are the same file", job.strSource, strDestPath);
    return eCopySameItem;
  }
  if (bExists) {
    if (const int answer = job.fnConflict ? job.fnConflict() : eCopyDeclined) return answer;
  }
  if (!pDest->Create(strDestPath, bExists)) {
    ShowCreateError(bExists ? job.strDestFolder : strDestPath, plat::GetLastError());
    return eCopyDestNotCreated;
  }
  return eCopyOK;
}

// Puts the destination in place after the data: flushed when a source will be deleted or a
// file replaced, and for a move its folder's entries too. On failure the new data is removed
// and an old file is as it was.
int FinishDestination(const CFileCopyJob& job, plat::COutputFile* pDest, int nResult) {
  const bool bReplace = pDest->WritePath() != pDest->FinalPath();
  if (CompleteOutput(pDest, nResult == eCopyOK, job.bMove || bReplace, job.bMove)) return eCopyOK;
  return nResult != eCopyOK ? nResult : eCopyDataFailed;
}

}  // namespace

int RunFileCopy(const CFileCopyJob& job, BYTE* buffer, QString* pDestPath, quint64* pSize) {
  const QString destPath = browse::AppendPathComponent(job.strDestFolder, job.strName);
  *pDestPath = destPath;
  *pSize = 0;
  if (job.bMove) {
    const int moved = MoveByRename(job, destPath, pSize);
    if (moved != kNotRenamed) return moved;
  }
  plat::CHostFile source;
  CKeptStamp kept;
  kept.bAllTimes = job.bMove;
  // The stamp is read before the data, whose reading may change the last access time.
  if (!source.Open(job.strSource, plat::GENERIC_READ, plat::OPEN_EXISTING) ||
      !source.GetSize(pSize) || !source.GetStamp(&kept.stamp)) {
    LogFailure(QStringLiteral("Could not open"), job.strSource, plat::GetLastError());
    return eCopySourceNotOpened;
  }
  plat::COutputFile dest;
  if (const int result = OpenDestination(job, destPath, &dest)) return result;
  if (job.fnStart) job.fnStart(*pSize);
  int result = CopyData(&source, *pSize, &dest.File(), buffer, job.fnChunk);
  source.Close();
  if (result == eCopyOK) KeepTimes(kept, &dest.File());
  if (result == eCopyOK && job.bMove && dest.WritePath() == destPath && job.fnDeferMove) {
    job.fnDeferMove(std::move(dest), kept);
    return kCopyDeferred;
  }
  result = FinishDestination(job, &dest, result);
  if (result != eCopyOK) return result;
  KeepAttributes(kept, destPath);
  NotifyItemAdded(destPath);
  if (job.bMove) {
    if (!ShredFile(job.strSource)) return eCopySourceNotDeleted;
    NotifyItemRemoved(job.strSource);
  }
  return eCopyOK;
}

int CCopyRun::CopyFile(const QString& strSource, const QString& strDestFolder,
                       const QString& strName, quint64 uFileIndex) {
  if (progress_->IsCancelled() || policy_.IsCancelled()) return eCopyCancelled;
  quint64 size = 0;
  CFileCopyJob job(strSource, strDestFolder, strName, bMove_);
  job.fnConflict = [&]() -> int {
    return ConflictResult(policy_.Settle(ReplaceText(strDestFolder, strName), ReplaceTitle()),
                          eCopyNoFile);
  };
  job.fnStart = [&](quint64 uSize) {
    size = uSize;
    progress_->SetFileLine(strName + core::Text(55221).arg(uFileIndex).arg(fileTotal_));
    progress_->SetFromLine(browse::ParentPath(strSource));
    progress_->SetToLine(strDestFolder);
    progress_->SetItemRange(0, uSize);
    progress_->SetItemPos(0);
  };
  job.fnChunk = [&](quint64 uDone, quint64 uChunk) {
    *bytesDone_ += uChunk;
    progress_->SetItemPos(uDone);
    progress_->SetItemStatus(CopiedBytesText(uDone, size));
    progress_->SetPos(*bytesDone_);
    return !progress_->IsCancelled();
  };
  if (bMove_) {
    job.fnDeferMove = [&](plat::COutputFile&& copy, const CKeptStamp& kept) {
      const QString copyPath = copy.FinalPath();
      pending_.push_back(
          {CPendingMoveStep::eFileCopied, copyPath, strSource, std::move(copy), kept});
      ++pendingFiles_;
    };
    job.fnRenamed = [&](const QString&) {
      // The folder's new entries are flushed once when the batch is committed.
      if (pending_.empty() || pending_.back().kind != CPendingMoveStep::eFileRenamed ||
          pending_.back().strPath != strDestFolder)
        pending_.push_back({CPendingMoveStep::eFileRenamed, strDestFolder, {}, {}});
    };
  }
  QString destPath;
  quint64 sourceSize = 0;
  return RunFileCopy(job, buffer_, &destPath, &sourceSize);
}

void CCopyRun::FileFinished(int nResult, quint64 uSize, quint64 uBytesBefore) {
  progress_->SetFileCounts(++filesFinished_, fileTotal_);
  if (nResult == eCopyOK) {
    ++filesDone_;
    progress_->SetStatus(CopiedCountText(filesDone_, fileTotal_));
    return;
  }
  NoteFailure(nResult);
  // The bar moves past a file that was left out, so that it still ends full.
  *bytesDone_ = uBytesBefore + uSize;
  progress_->SetPos(*bytesDone_);
}

void CCopyRun::NoteFailure(int nResult) {
  if (firstFailure_ == eCopyOK) firstFailure_ = nResult;
}

}  // namespace fileops::copy_detail

namespace fileops {

using namespace copy_detail;

int CopyOneFile(const QString& strSourcePath, const QString& strDestFolder, bool bMove) {
  COpRun run(TraceText(QStringLiteral("CopyOneFile"),
                       {strSourcePath, strDestFolder, QString::number(bMove ? 1 : 0)}),
             COpRun::eWithBuffer);
  const QString dest = browse::StripTrailingBackslash(strDestFolder);
  QString name = browse::LastComponent(strSourcePath);
  if (LiesInFolder(strSourcePath, dest)) {
    if (bMove) return eCopyOK;
    name = MakeCopyName(name, dest);
  }
  if (!run.HasBuffer()) return eCopyBufferBusy;

  IProgressWindow* progress = nullptr;
  quint64 size = 0;
  CFileCopyJob job(strSourcePath, dest, name, bMove);
  job.fnConflict = [&]() -> int {
    return MsgQuestion(ReplaceText(dest, name), ReplaceTitle(), QString()) == eMsgAnsYes
               ? eCopyOK
               : eCopyDeclined;
  };
  job.fnStart = [&](quint64 uSize) {
    size = uSize;
    progress = &run.Open({.kind = eProgressSingle,
                          .uIcon1 = IDI_PROGRESS_COPY_1,
                          .uIcon2 = IDI_PROGRESS_COPY_2,
                          .strTitle = core::Text(55149),
                          .strCaption = core::Text(55179),
                          .uRange = uSize,
                          .strFile = name,
                          .strFrom = browse::ParentPath(strSourcePath),
                          .strTo = dest});
  };
  job.fnChunk = [&](quint64 uDone, quint64) {
    progress->SetPos(uDone);
    progress->SetStatus(CopiedBytesText(uDone, size));
    return !progress->IsCancelled();
  };
  QString destPath;
  quint64 sourceSize = 0;
  const int result = RunFileCopy(job, run.Buffer(), &destPath, &sourceSize);
  run.Close();
  // A declined replace and a cancel are answers, not errors; a failed create was shown.
  if (result != eCopyOK && result != eCopyDeclined && result != eCopyCancelled &&
      result != eCopyDestNotCreated)
    ReportFileResult(strSourcePath, result);
  return result;
}

int CopyFileInRun(const QString& strSourcePath, const QString& strDestFolder,
                  const QString& strName, quint64* pBytesDone, quint64 uBytesTotal, bool bMove,
                  int* pAnswer, IProgressWindow* pProgress, quint64 uFileIndex,
                  quint64 uFileTotal) {
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eCopyBufferBusy;
  quint64 fileIndex = uFileIndex;
  CCopyRun run(pProgress, buffer.Data(), bMove, pBytesDone, uBytesTotal, pAnswer, &fileIndex,
               uFileTotal);
  const int result = run.CopyFile(strSourcePath, browse::StripTrailingBackslash(strDestFolder),
                                  strName, uFileIndex);
  if (result != kCopyDeferred) return result;
  // The one held-back step is completed here, and its outcome is the file's result.
  run.CommitMoves();
  return run.FirstFailure();
}

}  // namespace fileops
