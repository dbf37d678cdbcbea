// Recycling: files into containers, folder trees into directories with descriptors, the
// confirmed commands and the run over a selection.
#include "fileops/recycle_bin.h"

#include <QRandomGenerator>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/format.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "core/settings.h"
#include "fileops/op_buffer.h"
#include "fileops/op_error.h"
#include "fileops/op_run.h"
#include "fileops/plan_walk.h"
#include "fileops/recycle_internal.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "fileops/op_texts.h"

namespace fileops::recycle_detail {

QString ConfirmDeleteHeader() { return core::Text(55283); }
QString DeletingTitle() { return core::Text(55275); }
QString DeletingCaption() { return core::Text(55276); }
QString ConfirmFileText(const QString& name) { return core::Text(55152).arg(name); }
QString ConfirmFolderText(const QString& name) { return core::Text(55329).arg(name); }
QString ConfirmItemsText(qsizetype count) { return core::Text(900205).arg(count); }
QString ErrorDeletingFileTitle() { return core::Text(55328); }
QString RecycleBinTitle() { return core::Text(61230); }
QString MovedBytesText(quint64 done, quint64 total) { return BytesLine(61223, done, total); }
QString MovedCountText(quint64 done, quint64 total) { return CountLine(61231, done, total); }
QString CannotMakeBinText(const QString& path) { return core::Text(900206).arg(path); }

void ReportNoBin(const QString& strBin) {
  COpRun::Report({eRecycleNoBin, 0, strBin, QStringLiteral("Could not create the recycle bin")},
                 {CannotMakeBinText(strBin), ErrorDeletingFileTitle()});
}

void ReportNotRecycled(const QString& strPath, int nResult, const QString& strReason) {
  // A link whose content cannot be read leads outside the root or to nothing: say so rather
  // than blame another program.
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  const bool bDeadLink = nResult == eRecycleNotReadable &&
                         dwAttributes != INVALID_FILE_ATTRIBUTES &&
                         (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  COpRun::Report({nResult, 0, strPath, strReason},
                 {bDeadLink ? core::Text(900224).arg(strPath) : CannotDeleteText(strPath),
                  ErrorDeletingFileTitle()});
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

// Completes a container: flushed to stable storage and put in place under its name, whose
// entry is flushed too (before its source may go). A container that failed here or before
// (nResult) is removed.
int CloseContainer(plat::COutputFile* pContainer, int nResult) {
  if (CompleteOutput(pContainer, nResult == eRecycleOK, true, true)) return eRecycleOK;
  return nResult != eRecycleOK ? nResult : eRecycleNoContainer;
}

}  // namespace

bool CreateContainer(const QString& strBin, plat::COutputFile* pFile, QString* pPath) {
  return CreateUnique(
      strBin, QString::fromUtf16(kRecycleContainerExt),
      [&](const QString& strPath) {
        // The name is taken when the complete container is put in place; one in use now is
        // passed over.
        if (plat::GetFileAttributes(strPath) != INVALID_FILE_ATTRIBUTES) {
          plat::SetLastError(ERROR_FILE_EXISTS);
          return false;
        }
        return pFile->Create(strPath, false);
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
  plat::COutputFile container;
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
  if (!container.File().Write(head.constData(), kRecycleDataOffset, &written)) {
    LogFailure(QStringLiteral("Could not write"), containerPath, plat::GetLastError());
    result = eRecycleNoContainer;
  }
  if (result == eRecycleOK) result = CopyIntoContainer(&source, size, &container.File());
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
  if (!bDurable) return eRecycleNoContainer;  // nothing of it is left in the bin
  NotifyItemAdded(strContainer);
  if (!DeleteSource(strPath, dwAttributes)) return eRecycleSourceKept;
  NotifyItemRemoved(strPath);
  return eRecycleOK;
}

int CRecycleRun::FinishFile(const QString& strPath, int nResult) {
  if (nResult != eRecycleCancelled) NoteFinished();
  if (nResult == eRecycleOK) {
    ++filesDone_;
    progress_->SetStatus(MovedCountText(filesDone_, filesTotal_));
  } else if (nResult != eRecycleCancelled) {
    ReportNotRecycled(strPath, nResult, QStringLiteral("Could not recycle"));
  }
  return nResult;
}

int CRecycleRun::RecycleAndReportFile(const QString& strPath, const QString& strBin) {
  const int result = RecycleFileItem(strPath, strBin, true);
  if (result == kStepDeferred) return eRecycleOK;  // counted or shown when it is committed
  if (result == eRecycleCancelled) return result;
  return FinishFile(strPath, result);
}

int CRecycleRun::BeginFolder(const QString& strPath, const QString& strBin, QString* pCanonical,
                             QString* pDir) {
  // A failure of the folder itself is shown here; those of its files where they happen.
  const auto fail = [&](int nResult) {
    ReportNotRecycled(strPath, nResult, QStringLiteral("Could not recycle the folder"));
    return nResult;
  };
  CRecycleRecord record = NewRecord();
  QString& canonical = *pCanonical;
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
  if (!CreateRecycledFolder(strBin, pDir)) {
    LogFailure(QStringLiteral("Could not create a folder in"), strBin, plat::GetLastError());
    return fail(eRecycleNoContainer);
  }
  // Without its descriptor the directory could not be restored: the folder is not recycled.
  if (!Write(record, *pDir)) {
    plat::RemoveDirectory(*pDir);
    return fail(eRecycleNoContainer);
  }
  NotifyItemAdded(*pDir);
  return eRecycleOK;
}

int CRecycleRun::EndFolder(const QString& strCanonical, const QString& strDir, bool bMovedAny,
                           int nChildren, const CFolderKeptBy* pKept) {
  if (!bMovedAny && nChildren != eRecycleOK) RemoveBinTree(strDir);  // nothing of it went in
  if (nChildren != eRecycleOK) return nChildren;
  // Everything else of it is in the bin; the folder stays, and the user hears why.
  if (pKept && pKept->because == EFolderKept::eRecycleBin) return eRecycleOK;
  if (pKept) {
    ReportFolderKept(strCanonical, pKept->strName, pKept->because, ErrorDeletingFileTitle());
    return eRecycleSourceKept;
  }
  if (!RemoveFolderOrReport(strCanonical, QStringLiteral("folder"))) return eRecycleSourceKept;
  bytesDone_ += kFolderProgressBytes;
  progress_->SetPos(bytesDone_);
  NotifyFolderRemoved(strCanonical);
  return eRecycleOK;
}

int CRecycleRun::RecycleFolderItem(const QString& strPath, const QString& strBin) {
  // Each folder of the tree becomes a directory of the bin with its descriptor; its files go
  // in, each reported when it fails, and the emptied folder is removed once every container of
  // it is on disk. The bin itself, links to folders and names the device cannot name stay where
  // they are, and so do the folders that hold them, which are reported.
  class CRecycleWalk final : public IPlanVisitor {
   public:
    CRecycleWalk(CRecycleRun* pRun, const QString& strTop, const QString& strBin)
        : run_(pRun), top_(strTop), bin_(strBin) {}
    int result = eRecycleOK;

   private:
    struct CFrame {
      QString canonical, dir;
      int firstFailure = eRecycleOK;
      bool bMovedAny = false;
      std::optional<CFolderKeptBy> kept;
    };
    // The first item that keeps the folder, one that must be reported before the bin.
    void Keep(const QString& strName, EFolderKept because) {
      std::optional<CFolderKeptBy>& kept = frames_.back().kept;
      if (!kept || kept->because == EFolderKept::eRecycleBin)
        kept = CFolderKeptBy{strName, because};
    }
    // A child's result, counted in the folder above (or the walk's result for the top).
    void Deliver(int nResult) {
      if (frames_.empty()) {
        result = nResult;
        return;
      }
      CFrame& frame = frames_.back();
      if (nResult == eRecycleOK) frame.bMovedAny = true;
      if (frame.firstFailure == eRecycleOK) frame.firstFailure = nResult;
    }
    // What is complete goes into the bin, its sources go; a folder of which nothing went in
    // leaves the bin again.
    EWalk Cancel() {
      run_->CommitPending();
      for (; !frames_.empty(); frames_.pop_back())
        if (!frames_.back().bMovedAny) RemoveBinTree(frames_.back().dir);
      result = eRecycleCancelled;
      return EWalk::eStop;
    }
    EWalk Begin(const QString& strPath) {
      CFrame frame;
      const int begun = run_->BeginFolder(strPath, frames_.empty() ? bin_ : frames_.back().dir,
                                          &frame.canonical, &frame.dir);
      if (begun == eRecycleCancelled) return Cancel();
      if (begun != eRecycleOK) {
        Deliver(begun);
        return EWalk::eSkip;
      }
      frames_.push_back(frame);
      return EWalk::eGoOn;
    }
    EWalk FolderEntered(const CWalkItem& folder) override {
      if (frames_.empty()) return Begin(top_);
      if (run_->IsBinOrInside(folder.strPath)) {  // the bin stays, and so does its folder
        Keep(folder.Name(), EFolderKept::eRecycleBin);
        return EWalk::eSkip;
      }
      return Begin(folder.strPath);
    }
    EWalk LinkNotFollowed(const CWalkItem& link) override {
      // A selected link is refused (and said so); one inside stays, and so does its folder.
      if (frames_.empty()) return Begin(top_);
      Keep(link.Name(), EFolderKept::eLinkedFolder);
      return EWalk::eGoOn;
    }
    EWalk Unnamed(const CWalkItem&, const QString& strShownName) override {
      Keep(strShownName, EFolderKept::eUnnamed);
      return EWalk::eGoOn;
    }
    EWalk File(const CWalkItem& file) override {
      const int recycled = run_->RecycleAndReportFile(file.strPath, frames_.back().dir);
      if (recycled == eRecycleCancelled) return Cancel();
      Deliver(recycled);
      return EWalk::eGoOn;
    }
    EWalk FolderLeft(const CWalkItem&) override {
      const CFrame frame = frames_.back();
      frames_.pop_back();
      // Every source of this folder is gone before the folder itself is removed.
      const int committed = run_->CommitPending();
      const int children = frame.firstFailure != eRecycleOK ? frame.firstFailure : committed;
      Deliver(run_->EndFolder(frame.canonical, frame.dir, frame.bMovedAny, children,
                              frame.kept ? &*frame.kept : nullptr));
      return EWalk::eGoOn;
    }

    CRecycleRun* run_;
    QString top_, bin_;
    std::vector<CFrame> frames_;
  };
  QString canonical;
  CRecycleWalk walk(this, strPath, strBin);
  WalkFolder(plat::CDeviceRoot::Canonical(strPath, &canonical) ? canonical : strPath, walk);
  return walk.result;
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
  COpRun run(TraceText(QStringLiteral("RecycleFile"), {strPath, strBin}), COpRun::eWithBuffer);
  if (!run.HasBuffer()) return eRecycleBufferBusy;
  RemovePartialContainers(strBin, run.StartMs());
  IProgressWindow& progress = run.Open(
      {.kind = eProgressSingle,
       .uIcon1 = IDI_PROGRESS_DELETE_1,
       .uIcon2 = IDI_PROGRESS_DELETE_2,
       .strTitle = core::Text(61228),
       .strCaption = core::Text(61229).arg(browse::LastComponent(strPath)),
       .bSizeLabels = true,
       .bSetRange = false});
  CRecycleRun recycle(&progress, run.Buffer(), true, 1, strBin);
  return recycle.RecycleFileItem(strPath, browse::StripTrailingBackslash(strBin), bCheckRom);
}

namespace {

// The multi-item window of a recycle run.
CRunWindow RecycleWindow(const CSelectionTotals& totals) {
  return {.kind = eProgressMulti,
          .uIcon1 = IDI_PROGRESS_DELETE_1,
          .uIcon2 = IDI_PROGRESS_DELETE_2,
          .strTitle = RecycleBinTitle(),
          .strCaption = DeletingCaption(),
          .bSizeLabels = true,
          .uRange = totals.ProgressBytes(),
          .strStatus = MovedCountText(0, totals.files)};
}

}  // namespace

int RecycleFolder(const QString& strPath, const QString& strBin) {
  COpRun run(TraceText(QStringLiteral("RecycleFolder"), {strPath, strBin}), COpRun::eWithBuffer);
  if (!run.HasBuffer()) return eRecycleBufferBusy;
  RemovePartialContainers(strBin, run.StartMs());
  CSelectionTotals totals;
  ComputeSelectionTotals({CSelItem{eSelFolder, strPath}}, &totals);
  IProgressWindow& progress = run.Open(RecycleWindow(totals));
  CRecycleRun recycle(&progress, run.Buffer(), false, totals.files, strBin);
  return recycle.RecycleFolderItem(strPath, browse::StripTrailingBackslash(strBin));
}

int RecycleFileCommand(const QString& strPath) {
  const QString name = browse::LastComponent(strPath);
  if (MsgQuestion(ConfirmFileText(name), DeleteTitle(), ConfirmDeleteHeader()) != eMsgAnsYes)
    return eRecycleCancelled;
  QString bin;
  if (!EnsureRecycleBin(&bin)) {
    ReportNoBin(bin);
    return eRecycleNoBin;
  }
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  bool bCleared = false;
  if (dwAttributes != INVALID_FILE_ATTRIBUTES && !IsLink(dwAttributes) &&
      (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
    if (MsgQuestion(core::Text(61272), DeleteTitle(), core::Text(61273)) == eMsgAnsYes)
      bCleared = plat::SetFileAttributes(strPath, dwAttributes & ~FILE_ATTRIBUTE_READONLY);
  }
  const int result = RecycleFile(strPath, bin, true);
  // A file that is still there is left as it was.
  if (result != eRecycleOK && bCleared) plat::SetFileAttributes(strPath, dwAttributes);
  if (result != eRecycleOK && result != eRecycleCancelled)
    ReportNotRecycled(strPath, result, QStringLiteral("Could not recycle"));
  return result;
}

int RecycleFolderCommand(const QString& strPath) {
  if (MsgQuestion(ConfirmFolderText(browse::LastComponent(strPath)), DeletingTitle(),
                  core::Text(55287)) != eMsgAnsYes)
    return eRecycleCancelled;
  return RecycleItemsCommand({CSelItem{eSelFolder, strPath}});
}

int RecycleItemsCommand(const CSelection& selection) {
  if (selection.empty()) return eRecycleEmptyPath;
  COpRun run(TraceText(QStringLiteral("RecycleItemsCommand"),
                       {QStringLiteral("%1 items").arg(selection.size())}),
             COpRun::eWithBuffer);
  QString bin;
  if (!EnsureRecycleBin(&bin)) {
    ReportNoBin(bin);
    return eRecycleNoBin;
  }
  if (!run.HasBuffer()) return eRecycleBufferBusy;
  RemovePartialContainers(bin, run.StartMs());
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);
  IProgressWindow& progress = run.Open(RecycleWindow(totals));
  CRecycleRun recycle(&progress, run.Buffer(), false, totals.files, bin);
  int firstFailure = RunEachItem(selection, eRecycleCancelled, [&](const CSelItem& item) {
    return item.nKind == eSelFolder ? recycle.RecycleFolderItem(item.strPath, bin)
                                    : recycle.RecycleAndReportFile(item.strPath, bin);
  });
  const int committed = recycle.CommitPending();
  return firstFailure == eRecycleOK ? committed : firstFailure;
}

}  // namespace fileops
