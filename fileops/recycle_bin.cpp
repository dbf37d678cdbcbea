// Recycling: files into containers, folder trees into directories with descriptors, the
// confirmed commands and the run over a selection.
#include "fileops/recycle_bin.h"

#include <QRandomGenerator>

#include <functional>
#include <memory>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/format.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "fileops/op_buffer.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace fileops::recycle_detail {

QString ConfirmDeleteHeader() { return QStringLiteral("Confirm delete operation"); }
QString DeleteTitle() { return QStringLiteral("Delete"); }
QString DeletingTitle() { return QStringLiteral("Deleting..."); }
QString DeletingCaption() { return QStringLiteral("Deleting files, please wait..."); }
QString ConfirmFileText(const QString& name) {
  return QStringLiteral("Are you sure you want to delete file \"%1\"?").arg(name);
}
QString ConfirmFolderText(const QString& name) {
  return QStringLiteral("Are you sure you want to delete folder \"%1\" and all its contents?")
      .arg(name);
}
QString ConfirmItemsText(qsizetype count) {
  return QStringLiteral("Are you sure you want to delete these %1 items?").arg(count);
}
QString CannotDeleteText(const QString& path) {
  return QStringLiteral("Can not delete file \"%1\". It is used or locked by another program.")
      .arg(path);
}
QString ErrorDeletingFileTitle() { return QStringLiteral("Error deleting file"); }
QString RecycleBinTitle() { return QStringLiteral("Recycle Bin"); }
QString MovedBytesText(quint64 done, quint64 total) {
  return QStringLiteral("Moved %1 of %2 bytes...").arg(done).arg(total);
}
QString MovedCountText(quint64 done, quint64 total) {
  return QStringLiteral("Moved %1 %2 from %3 total.")
      .arg(done)
      .arg(done == 1 ? QStringLiteral("file") : QStringLiteral("files"))
      .arg(total);
}
QString CannotMakeBinText(const QString& path) {
  return QStringLiteral("Can not create the recycle bin folder \"%1\". Nothing was deleted.")
      .arg(path);
}

namespace {

// Prefixes tried in turn when one is crowded in a folder (65,535 numbers each).
constexpr const char16_t* kNamePrefixes[] = {kRecycleNamePrefix, u"pbs", u"pbt", u"pbu"};
constexpr int kTriesPerPrefix = 64;

// Makes a new item "<folder>\<prefix><hex><strExtension>" with fnCreate, which must fail when
// the name exists (exclusive creation): so two callers never get the same name, and no
// placeholder file has to be made and deleted for each name. Numbers are drawn at random, so a
// bin full of earlier names is not probed one by one.
bool CreateUnique(const QString& strFolder, const QString& strExtension,
                  const std::function<bool(const QString&)>& fnCreate, QString* pPath) {
  for (const char16_t* prefix : kNamePrefixes) {
    for (int tries = 0; tries < kTriesPerPrefix; ++tries) {
      const UINT number = QRandomGenerator::global()->bounded(1u, 0x10000u);
      QString formed;  // "<folder>\<prefix><hex>.tmp", only formed, nothing is created
      if (plat::GetTempFileName(strFolder, QString::fromUtf16(prefix), number, &formed) == 0)
        return false;
      *pPath = formed.chopped(4) + strExtension;
      if (fnCreate(*pPath)) return true;
      const DWORD error = plat::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
  }
  plat::SetLastError(ERROR_FILE_EXISTS);
  return false;
}

bool IsLink(DWORD dwAttributes) {
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The bits of a find record that describe the item itself, not how the host reached it.
void KeepOwnAttributes(WIN32_FIND_DATAW* pData) {
  pData->dwFileAttributes &= ~FILE_ATTRIBUTE_REPARSE_POINT;
}

// Deletes a recycled source. A read-only file is deleted too: its attribute is already kept in
// the container. The attribute comes back when the delete fails.
bool DeleteSource(const QString& strPath, DWORD dwAttributes) {
  const bool bReadOnly = !IsLink(dwAttributes) && (dwAttributes & FILE_ATTRIBUTE_READONLY);
  if (bReadOnly) plat::SetFileAttributes(strPath, dwAttributes & ~FILE_ATTRIBUTE_READONLY);
  if (ShredFile(strPath)) return true;
  const DWORD error = plat::GetLastError();
  if (bReadOnly) plat::SetFileAttributes(strPath, dwAttributes);
  plat::SetLastError(error);
  return false;
}

void LogFailure(const QString& strWhat, const QString& strPath, DWORD dwError) {
  LogErr(u"%s %s", strWhat, strPath);
  LogSystemError(dwError);
}

// Completes a container: flushed to stable storage (before its source may go) and closed, both
// checked. A container that failed here or before (nResult) is removed.
int CloseContainer(plat::CHostFile* pContainer, int nResult) {
  const QString path = pContainer->Path();
  if (nResult == eRecycleOK && !pContainer->Flush()) {
    LogFailure(QStringLiteral("Could not flush"), path, plat::GetLastError());
    nResult = eRecycleNoContainer;
  }
  const bool bClosed = pContainer->Close();
  if (nResult == eRecycleOK && !bClosed) {
    LogFailure(QStringLiteral("Could not close"), path, plat::GetLastError());
    nResult = eRecycleNoContainer;
  }
  if (nResult != eRecycleOK) ShredFile(path);
  return nResult;
}

}  // namespace

bool CreateContainer(const QString& strBin, plat::CHostFile* pFile, QString* pPath) {
  return CreateUnique(
      strBin, QString::fromUtf16(kRecycleContainerExt),
      [&](const QString& strPath) {
        return pFile->Open(strPath, plat::GENERIC_WRITE, plat::CREATE_NEW);
      },
      pPath);
}

bool CreateRecycledFolder(const QString& strBin, QString* pPath) {
  return CreateUnique(strBin, QString(), &plat::CreateDirectory, pPath);
}

CRecycleRun::CRecycleRun(IProgressWindow* pProgress, BYTE* buffer, bool bSingle,
                         quint64 uFilesTotal, const QString& strBin)
    : CBinRun(pProgress, buffer, bSingle, uFilesTotal) {
  if (!plat::CDeviceRoot::Canonical(strBin, &binRoot_)) binRoot_.clear();
}

bool CBinRun::ShowMovedChunk(quint64 done, quint64 got, quint64 uSize) {
  bytesDone_ += got;
  progress_->SetItemPos(done);
  progress_->SetPos(bSingle_ ? done : bytesDone_);
  if (bSingle_)
    progress_->SetStatus(MovedBytesText(done, uSize));
  else
    progress_->SetItemStatus(MovedBytesText(done, uSize));
  return !progress_->IsCancelled();
}

bool CRecycleRun::IsBinOrInside(const QString& strCanonical) const {
  if (binRoot_.isEmpty()) return false;
  if (binRoot_ == u"\\") return true;  // a bin at the top of the root holds everything
  return strCanonical.compare(binRoot_, Qt::CaseInsensitive) == 0 ||
         strCanonical.startsWith(binRoot_ + u'\\', Qt::CaseInsensitive);
}

int CRecycleRun::CopyIntoContainer(plat::CHostFile* pSource, quint64 uSize,
                                   plat::CHostFile* pContainer) {
  const auto fnChunk = [&](quint64 done, quint64 got) { return ShowMovedChunk(done, got, uSize); };
  switch (CopyChunks(pSource, uSize, pContainer, buffer_, fnChunk)) {
    case EChunkCopy::eDone:
      return eRecycleOK;
    case EChunkCopy::eReadFailed:
      return eRecycleNotReadable;
    case EChunkCopy::eWriteFailed:
      return eRecycleNoContainer;
    case EChunkCopy::eStopped:
      break;
  }
  return eRecycleCancelled;
}

int CRecycleRun::OpenSource(const QString& strPath, bool bCheckRom, plat::CHostFile* pSource,
                            CRecycleRecord* pRecord, DWORD* pAttributes) {
  if (strPath.isEmpty()) return eRecycleEmptyPath;
  *pAttributes = plat::GetFileAttributes(strPath);
  if (*pAttributes == INVALID_FILE_ATTRIBUTES) return eRecycleNoFile;
  if (*pAttributes & FILE_ATTRIBUTE_DIRECTORY) return eRecycleIsFolder;
  if (bCheckRom && (*pAttributes & FILE_ATTRIBUTE_INROM)) return eRecycleInRom;
  if (progress_->IsCancelled()) return eRecycleCancelled;
  QString canonical;
  const bool bValid = plat::CDeviceRoot::Canonical(strPath, &canonical);
  if (bValid && IsBinOrInside(canonical)) {
    LogErr(u"%s lies in the recycle bin; it is not recycled", strPath);
    return eRecycleInBin;
  }
  *pRecord = NewRecord();
  quint64 size = 0;
  if (!bValid || !plat::FindOne(canonical, &pRecord->findData) ||
      !pSource->Open(canonical, plat::GENERIC_READ, plat::OPEN_EXISTING) ||
      !pSource->GetSize(&size)) {
    LogFailure(QStringLiteral("Could not open"), strPath, plat::GetLastError());
    return eRecycleNotReadable;
  }
  KeepOwnAttributes(&pRecord->findData);
  // The size of the bytes that are copied, which the open file decides.
  pRecord->findData.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  pRecord->findData.nFileSizeLow = static_cast<DWORD>(size);
  if (!pRecord->SetOriginalPath(canonical)) {
    LogErr(u"Could not recycle %s: its path does not fit the container", strPath);
    return eRecycleNoContainer;
  }
  return eRecycleOK;
}

int CRecycleRun::RecycleFileItem(const QString& strPath, const QString& strBin,
                                 bool bCheckRom) {
  plat::CHostFile source;
  CRecycleRecord record;
  DWORD dwAttributes = 0;
  if (const int refused = OpenSource(strPath, bCheckRom, &source, &record, &dwAttributes))
    return refused;
  plat::CHostFile container;
  QString containerPath;
  if (!CreateContainer(strBin, &container, &containerPath)) {
    LogFailure(QStringLiteral("Could not create a container in"), strBin, plat::GetLastError());
    return eRecycleNoContainer;
  }
  const quint64 size = record.Size();
  const QString original = record.OriginalPath();
  progress_->SetFileLine(browse::LastComponent(original));
  progress_->SetFromLine(browse::ParentPath(original));
  progress_->SetToLine(core::FormatSize(size));
  progress_->SetItemRange(0, size);
  progress_->SetItemPos(0);
  if (bSingle_) progress_->SetRange(0, size);

  const QByteArray head = EncodeContainerHeader(kRecycleKindFile) + EncodeRecord(record);
  DWORD written = 0;
  int result = eRecycleOK;
  if (!container.Write(head.constData(), kRecycleDataOffset, &written)) {
    LogFailure(QStringLiteral("Could not write"), containerPath, plat::GetLastError());
    result = eRecycleNoContainer;
  }
  if (result == eRecycleOK) result = CopyIntoContainer(&source, size, &container);
  source.Close();
  if (result == eRecycleOK && !bSingle_) {
    const bool bFull = batch_.Add(
        std::move(container), [this, strPath, dwAttributes, containerPath](bool bDurable) {
          return FinishFile(strPath,
                            CompleteRecycle(strPath, dwAttributes, containerPath, bDurable));
        });
    if (bFull) batch_.Commit();
    return kStepDeferred;
  }
  result = CloseContainer(&container, result);
  if (result != eRecycleOK) return result;
  return CompleteRecycle(strPath, dwAttributes, containerPath, true);
}

int CRecycleRun::CompleteRecycle(const QString& strPath, DWORD dwAttributes,
                                 const QString& strContainer, bool bDurable) {
  if (!bDurable) {
    ShredFile(strContainer);
    return eRecycleNoContainer;
  }
  NotifyItemAdded(strContainer);
  if (!DeleteSource(strPath, dwAttributes)) return eRecycleSourceKept;
  NotifyItemRemoved(strPath);
  return eRecycleOK;
}

int CRecycleRun::FinishFile(const QString& strPath, int nResult) {
  if (nResult == eRecycleOK) {
    ++filesDone_;
    progress_->SetStatus(MovedCountText(filesDone_, filesTotal_));
  } else if (nResult != eRecycleCancelled) {
    LogErr(u"Could not recycle %s (%d)", strPath, nResult);
    MsgError(CannotDeleteText(strPath), ErrorDeletingFileTitle(), QString());
  }
  return nResult;
}

int CRecycleRun::RecycleAndReportFile(const QString& strPath, const QString& strBin) {
  const int result = RecycleFileItem(strPath, strBin, true);
  if (result == kStepDeferred) return eRecycleOK;  // counted or shown when it is committed
  if (result == eRecycleCancelled) return result;
  return FinishFile(strPath, result);
}

int CRecycleRun::RecycleChildren(const QString& strFolder, const QString& strDir,
                                 bool* pMovedAny) {
  std::vector<WIN32_FIND_DATAW> entries;
  // An unreadable folder stays, as it cannot be removed.
  plat::ReadFolderEntries(strFolder, &entries);
  int firstFailure = eRecycleOK;
  for (const WIN32_FIND_DATAW& entry : entries) {
    const QString path = browse::AppendPathComponent(strFolder, plat::FindName(entry));
    int result = eRecycleOK;
    if (plat::IsWalkableFolder(entry) && IsBinOrInside(path)) {
      continue;  // the bin stays where it is, and so does the folder that holds it
    } else if (plat::IsWalkableFolder(entry)) {
      result = RecycleFolderItem(path, strDir);
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      continue;  // a linked folder is not entered; it stays, and so does its folder
    } else {
      result = RecycleAndReportFile(path, strDir);
    }
    if (result == eRecycleOK) *pMovedAny = true;
    if (result == eRecycleCancelled) {
      CommitPending();  // what is complete goes into the bin, its sources go
      return result;
    }
    if (firstFailure == eRecycleOK) firstFailure = result;
  }
  // Every source of this folder is gone before the folder itself is removed.
  const int committed = CommitPending();
  return firstFailure != eRecycleOK ? firstFailure : committed;
}

int CRecycleRun::RecycleFolderItem(const QString& strPath, const QString& strBin) {
  // A failure of the folder itself is shown here; those of its files where they happen.
  const auto fail = [&](int nResult) {
    LogErr(u"Could not recycle the folder %s (%d)", strPath, nResult);
    MsgError(CannotDeleteText(strPath), ErrorDeletingFileTitle(), QString());
    return nResult;
  };
  CRecycleRecord record = NewRecord();
  QString canonical;
  const bool bValid = plat::CDeviceRoot::Canonical(strPath, &canonical);
  if (bValid && IsBinOrInside(canonical)) {
    LogErr(u"%s is or lies in the recycle bin; it is not recycled", canonical);
    return fail(eRecycleInBin);
  }
  if (!bValid || !plat::FindOne(canonical, &record.findData) ||
      !(record.findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return fail(eRecycleIsFolder);
  if (!plat::IsWalkableFolder(record.findData)) {
    LogErr(u"%s is a link to a folder; links to folders are not recycled", canonical);
    return fail(eRecycleNotReadable);
  }
  if (!record.SetOriginalPath(canonical)) {
    LogErr(u"The path of %s does not fit the descriptor", canonical);
    return fail(eRecycleNoContainer);
  }
  if (progress_->IsCancelled()) return eRecycleCancelled;
  QString dir;
  if (!CreateRecycledFolder(strBin, &dir)) {
    LogFailure(QStringLiteral("Could not create a folder in"), strBin, plat::GetLastError());
    return fail(eRecycleNoContainer);
  }
  // Without its descriptor the directory could not be restored: the folder is not recycled.
  if (!Write(record, dir)) {
    plat::RemoveDirectory(dir);
    return fail(eRecycleNoContainer);
  }
  NotifyItemAdded(dir);
  bool bMovedAny = false;
  const int result = RecycleChildren(canonical, dir, &bMovedAny);
  if (!bMovedAny && result != eRecycleOK) RemoveBinTree(dir);  // nothing of it went in
  if (result != eRecycleOK) return result;
  if (!plat::RemoveDirectory(canonical)) {
    // A linked folder inside keeps it; everything else of it is in the bin.
    LogFailure(QStringLiteral("Could not remove the folder"), canonical, plat::GetLastError());
    return eRecycleOK;
  }
  bytesDone_ += kFolderProgressBytes;
  progress_->SetPos(bytesDone_);
  NotifyFolderRemoved(canonical);
  return eRecycleOK;
}

}  // namespace fileops::recycle_detail

namespace fileops {

using namespace recycle_detail;

QString RecycleBinFolder() { return browse::StripTrailingBackslash(settings.RecycleBinPath); }

bool EnsureRecycleBin(QString* pBin) {
  *pBin = RecycleBinFolder();
  QString canonical;
  // The root cannot be the bin: everything would lie in it.
  if (pBin->isEmpty() || !plat::CDeviceRoot::Canonical(*pBin, &canonical) || canonical == u"\\")
    return false;
  const DWORD dwAttributes = plat::GetFileAttributes(canonical);
  if (dwAttributes != INVALID_FILE_ATTRIBUTES) return (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // Every missing folder on the way, from the top down.
  QStringList missing;
  for (QString path = canonical; path.size() > 1 && plat::GetFileAttributes(path) ==
                                                        INVALID_FILE_ATTRIBUTES;
       path = browse::ParentPath(path))
    missing.prepend(path);
  for (const QString& path : missing) {
    if (!plat::CreateDirectory(path) && plat::GetLastError() != ERROR_ALREADY_EXISTS) {
      LogFailure(QStringLiteral("Could not create the recycle bin"), path, plat::GetLastError());
      return false;
    }
    NotifyFolderCreated(path);
  }
  const DWORD dwMade = plat::GetFileAttributes(canonical);
  return dwMade != INVALID_FILE_ATTRIBUTES && (dwMade & FILE_ATTRIBUTE_DIRECTORY);
}

int RecycleFile(const QString& strPath, const QString& strBin, bool bCheckRom) {
  LogTrace(u"RecycleFile(%s, %s)...", strPath, strBin);
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eRecycleBufferBusy;
  std::unique_ptr<IProgressWindow> progress =
      CreateProgressWindow(eProgressSingle, IDI_PROGRESS_DELETE_1, IDI_PROGRESS_DELETE_2);
  progress->Show();
  progress->SetTitle(QStringLiteral("Moving..."));  // 61228
  progress->SetCaption(
      QStringLiteral("Moving file %1 to recycle bin...").arg(browse::LastComponent(strPath)));
  progress->SetLineLabels(ProgressLabelFile(), ProgressLabelFrom(), ProgressLabelSize());
  progress->SetPos(0);
  progress->ShowCancel(true);
  CRecycleRun run(progress.get(), buffer.Data(), true, 1, strBin);
  const int result = run.RecycleFileItem(strPath, browse::StripTrailingBackslash(strBin),
                                         bCheckRom);
  progress->Close();
  LogTrace(u"RecycleFile(%s, %s)", strPath, strBin);
  return result;
}

namespace {

// The multi-item window of a recycle run.
std::unique_ptr<IProgressWindow> OpenRecycleWindow(const CSelectionTotals& totals) {
  std::unique_ptr<IProgressWindow> progress =
      CreateProgressWindow(eProgressMulti, IDI_PROGRESS_DELETE_1, IDI_PROGRESS_DELETE_2);
  progress->Show();
  progress->SetTitle(RecycleBinTitle());
  progress->SetCaption(DeletingCaption());
  progress->SetLineLabels(ProgressLabelFile(), ProgressLabelFrom(), ProgressLabelSize());
  progress->SetRange(0, totals.ProgressBytes());
  progress->SetPos(0);
  progress->SetStatus(MovedCountText(0, totals.files));
  progress->ShowCancel(true);
  return progress;
}

}  // namespace

int RecycleFolder(const QString& strPath, const QString& strBin) {
  LogTrace(u"RecycleFolder(%s, %s)...", strPath, strBin);
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eRecycleBufferBusy;
  CSelectionTotals totals;
  ComputeSelectionTotals({CSelItem{eSelFolder, strPath}}, &totals);
  std::unique_ptr<IProgressWindow> progress = OpenRecycleWindow(totals);
  CRecycleRun run(progress.get(), buffer.Data(), false, totals.files, strBin);
  const int result = run.RecycleFolderItem(strPath, browse::StripTrailingBackslash(strBin));
  progress->Close();
  LogTrace(u"RecycleFolder(%s, %s)", strPath, strBin);
  return result;
}

int RecycleFileCommand(const QString& strPath) {
  const QString name = browse::LastComponent(strPath);
  if (MsgQuestion(ConfirmFileText(name), DeleteTitle(), ConfirmDeleteHeader()) != eMsgAnsYes)
    return eRecycleCancelled;
  QString bin;
  if (!EnsureRecycleBin(&bin)) {
    MsgError(CannotMakeBinText(bin), ErrorDeletingFileTitle(), QString());
    return eRecycleNoBin;
  }
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  bool bCleared = false;
  if (dwAttributes != INVALID_FILE_ATTRIBUTES && !IsLink(dwAttributes) &&
      (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
    if (MsgQuestion(QStringLiteral("The file is Read-only. Are you sure you want to delete it?"),
                    DeleteTitle(), QStringLiteral("Delete Read-only file")) == eMsgAnsYes)
      bCleared = plat::SetFileAttributes(strPath, dwAttributes & ~FILE_ATTRIBUTE_READONLY);
  }
  const int result = RecycleFile(strPath, bin, true);
  // A file that is still there is left as it was.
  if (result != eRecycleOK && bCleared) plat::SetFileAttributes(strPath, dwAttributes);
  if (result != eRecycleOK && result != eRecycleCancelled)
    MsgError(CannotDeleteText(strPath), ErrorDeletingFileTitle(), QString());
  return result;
}

int RecycleFolderCommand(const QString& strPath) {
  if (MsgQuestion(ConfirmFolderText(browse::LastComponent(strPath)), DeletingTitle(),
                  ConfirmDeleteHeader()) != eMsgAnsYes)
    return eRecycleCancelled;
  return RecycleItemsCommand({CSelItem{eSelFolder, strPath}});
}

int RecycleItemsCommand(const CSelection& selection) {
  if (selection.empty()) return eRecycleEmptyPath;
  LogTrace(u"RecycleItemsCommand(%d items)...", static_cast<int>(selection.size()));
  QString bin;
  if (!EnsureRecycleBin(&bin)) {
    MsgError(CannotMakeBinText(bin), ErrorDeletingFileTitle(), QString());
    return eRecycleNoBin;
  }
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eRecycleBufferBusy;
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);
  std::unique_ptr<IProgressWindow> progress = OpenRecycleWindow(totals);
  CRecycleRun run(progress.get(), buffer.Data(), false, totals.files, bin);
  int firstFailure = RunEachItem(selection, eRecycleCancelled, [&](const CSelItem& item) {
    return item.nKind == eSelFolder ? run.RecycleFolderItem(item.strPath, bin)
                                    : run.RecycleAndReportFile(item.strPath, bin);
  });
  const int committed = run.CommitPending();
  if (firstFailure == eRecycleOK) firstFailure = committed;
  progress->Close();
  LogTrace(u"RecycleItemsCommand(%d items)", static_cast<int>(selection.size()));
  return firstFailure;
}

}  // namespace fileops
