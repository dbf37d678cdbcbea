#include "fileops/shredder.h"

#include <QRandomGenerator>

#include <cstring>
#include <memory>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/format.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "core/settings.h"
#include "fileops/op_buffer.h"
#include "fileops/op_run.h"
#include "fileops/op_texts.h"
#include "fileops/plan_walk.h"
#include "fileops/progress.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace fileops {
namespace {

// Texts of the shred's boxes and progress lines (core/texts.h).
QString ConfirmHeader() { return core::Text(61218); }
QString ShredTitle() { return core::Text(61217); }
QString ConfirmFileText(const QString& name) { return core::Text(61221).arg(name); }
QString ConfirmFolderText(const QString& name) { return core::Text(103).arg(name); }
QString ShreddedBytesText(quint64 done, quint64 total) { return BytesLine(55378, done, total); }
QString DeletedCountText(quint64 done, quint64 total) { return CountLine(55334, done, total); }

bool IsLink(DWORD dwAttributes) {
  return dwAttributes != INVALID_FILE_ATTRIBUTES &&
         (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Writes uSize bytes of buffer's pattern from offset 0, in chunks of at most the buffer's size,
// then flushes. *pWritten counts over all passes for fnChunk.
int WritePass(plat::CHostFile* pFile, quint64 uSize, const BYTE* buffer, quint64* pWritten,
              const std::function<bool(quint64)>& fnChunk) {
  if (!pFile->Seek(0, plat::FILE_BEGIN)) return eShredWriteFailed;
  for (quint64 left = uSize; left > 0;) {
    const DWORD chunk = static_cast<DWORD>(std::min<quint64>(left, kOpBufferSize));
    DWORD written = 0;
    if (!pFile->Write(buffer, chunk, &written)) return eShredWriteFailed;
    left -= chunk;
    *pWritten += chunk;
    if (fnChunk && !fnChunk(*pWritten)) return eShredCancelled;
  }
  // The pass reaches the disk before the next pass or the delete can overtake it.
  return pFile->Flush() ? eShredOK : eShredWriteFailed;
}

int RunPasses(plat::CHostFile* pFile, quint64 uSize, const CShredOptions& options, BYTE* buffer,
              const std::function<bool(quint64)>& fnChunk) {
  if (uSize == 0) return eShredOK;
  // Only the part of the buffer a chunk can use is filled.
  const size_t fill = static_cast<size_t>(std::min<quint64>(uSize, kOpBufferSize));
  quint64 written = 0;
  if (options.bZeroFillOnly) {
    std::memset(buffer, 0x00, fill);
    return WritePass(pFile, uSize, buffer, &written, fnChunk);
  }
  QRandomGenerator random = QRandomGenerator::securelySeeded();
  for (int pass = 0; pass < options.nPasses; ++pass) {
    for (int sub = 0; sub < 3; ++sub) {
      if (sub == 2) {
        // The random pattern is made once per sub-pass and reused for every chunk.
        random.fillRange(reinterpret_cast<quint32*>(buffer), (fill + 3) / 4);
      } else {
        std::memset(buffer, sub == 0 ? 0x00 : 0xFF, fill);
      }
      if (const int result = WritePass(pFile, uSize, buffer, &written, fnChunk)) return result;
    }
  }
  return eShredOK;
}

// Overwrites (unless the item is a link), renames when asked, and deletes one file.
// *pFinalPath is where the file is left when it is not deleted.
int ShredFileItem(const QString& strPath, DWORD dwAttributes, const CShredOptions& options,
                  BYTE* buffer, const std::function<bool(quint64)>& fnChunk,
                  QString* pFinalPath) {
  *pFinalPath = strPath;
  if (!IsLink(dwAttributes)) {
    if (const int result = OverwriteFile(strPath, options, buffer, fnChunk)) return result;
  }
  if (options.bWipeNames) {
    if (const int result = WipeFileName(pFinalPath)) {
      LogErr(u"Could not rename %s while wiping its name", *pFinalPath);
      return result;
    }
  }
  if (!ShredFile(*pFinalPath)) return eShredDeleteFailed;
  return eShredOK;
}

quint64 SizeOf(const WIN32_FIND_DATAW& data) {
  return IsLink(data.dwFileAttributes) ? 0 : plat::FindSize(data);
}

// One multi-item shred run: the window, the options, the buffer and the counters.
class CShredRun {
 public:
  CShredRun(IProgressWindow* pProgress, const CShredOptions& options, BYTE* buffer,
            quint64 uFilesTotal)
      : progress_(pProgress), options_(options), buffer_(buffer), filesTotal_(uFilesTotal) {}

  int ShredFileInRun(const QString& strPath, DWORD dwAttributes, quint64 uSize);
  int ShredFolderInRun(const QString& strFolder);
  int RemoveLinkedFolder(const QString& strPath);
  int RemoveEmptiedFolder(const QString& strFolder);

 private:
  IProgressWindow* progress_;
  CShredOptions options_;
  BYTE* buffer_;
  quint64 filesTotal_;
  quint64 filesDone_ = 0;
};

int CShredRun::ShredFileInRun(const QString& strPath, DWORD dwAttributes, quint64 uSize) {
  if (progress_->IsCancelled()) return eShredCancelled;
  const quint64 uWrites = IsLink(dwAttributes) ? 0 : options_.BytesWritten(uSize);
  progress_->SetFileLine(browse::LastComponent(strPath));
  progress_->SetFromLine(browse::ParentPath(strPath));
  progress_->SetToLine(core::FormatSize(uSize));
  progress_->SetItemRange(0, uWrites);
  progress_->SetItemPos(0);
  QString finalPath;
  const int result = ShredFileItem(
      strPath, dwAttributes, options_, buffer_,
      [&](quint64 uDone) {
        progress_->SetItemPos(uDone);
        progress_->SetItemStatus(ShreddedBytesText(uDone, uWrites));
        return !progress_->IsCancelled();
      },
      &finalPath);
  if (result == eShredCancelled) return result;
  if (result != eShredOK) {
    COpRun::Report({result, 0, finalPath, QStringLiteral("Could not shred")},
                   {CannotDeleteText(finalPath), DeleteTitle()});
    return result;
  }
  ++filesDone_;
  progress_->AdvancePos(uSize);
  progress_->SetStatus(DeletedCountText(filesDone_, filesTotal_));
  NotifyItemRemoved(strPath);
  return eShredOK;
}

int CShredRun::RemoveLinkedFolder(const QString& strPath) {
  // The link itself goes; the folder it points to is not touched.
  if (!RemoveFolderOrReport(strPath, QStringLiteral("link"))) return eShredFolderFailed;
  NotifyItemRemoved(strPath);
  return eShredOK;
}

int CShredRun::ShredFolderInRun(const QString& strFolder) {
  return WalkRemovingTree(
      strFolder,
      [this](const CWalkItem& file) {
        return ShredFileInRun(file.strPath, file.data.dwFileAttributes, SizeOf(file.data));
      },
      [this](const CWalkItem& link) { return RemoveLinkedFolder(link.strPath); },
      [this](const CWalkItem& folder) { return RemoveEmptiedFolder(folder.strPath); },
      eShredFolderFailed, DeleteTitle());
}

int CShredRun::RemoveEmptiedFolder(const QString& strFolder) {
  if (progress_->IsCancelled()) return eShredCancelled;
  if (!RemoveFolderOrReport(strFolder, QStringLiteral("folder"))) return eShredFolderFailed;
  progress_->AdvancePos(kFolderProgressBytes);
  NotifyFolderRemoved(strFolder);
  return eShredOK;
}

}  // namespace

CShredOptions CShredOptions::FromSettings() {
  CShredOptions options;
  options.bZeroFillOnly = settings.SDelZeroFillOnly != 0;
  options.nPasses = static_cast<int>(settings.SDelNumPasses);
  options.bWipeNames = settings.SDelFileNames != 0;
  return options;
}

quint64 CShredOptions::BytesWritten(quint64 uSize) const {
  if (bZeroFillOnly) return uSize;
  return nPasses > 0 ? static_cast<quint64>(nPasses) * 3 * uSize : 0;
}

bool ShredFile(const QString& strPath) {
  if (plat::DeleteFile(strPath)) return true;
  const DWORD error = plat::GetLastError();
  LogErr(u"Could not delete %s", strPath);
  LogSystemError(error);
  plat::SetLastError(error);
  return false;
}

int OverwriteFile(const QString& strPath, const CShredOptions& options, BYTE* buffer,
                  const std::function<bool(quint64)>& fnChunk) {
  // A read-only file is refused before anything is written, as the handheld refuses to open
  // it for writing (a host user such as root could open it, and then not delete it).
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
    LogErr(u"Could not open %s for shredding: it is read-only", strPath);
    plat::SetLastError(ERROR_ACCESS_DENIED);
    return eShredOpenFailed;
  }
  plat::CHostFile file;
  quint64 size = 0;
  // A link is never followed: a file swapped for one since it was looked at is not overwritten.
  if (!file.Open(strPath, plat::GENERIC_WRITE, plat::OPEN_EXISTING,
                 plat::FILE_FLAG_OPEN_REPARSE_POINT) ||
      !file.GetSize(&size)) {
    LogErr(u"Could not open %s for shredding", strPath);
    LogSystemError(plat::GetLastError());
    return eShredOpenFailed;
  }
  const int result = RunPasses(&file, size, options, buffer, fnChunk);
  if (result != eShredOK) {
    if (result != eShredCancelled) LogSystemError(plat::GetLastError());
    file.Close();
    return result;
  }
  if (!file.Close()) {
    LogSystemError(plat::GetLastError());
    return eShredWriteFailed;
  }
  return eShredOK;
}

int WipeFileName(QString* pPath) {
  const qsizetype slash = pPath->lastIndexOf(u'\\');
  if (slash < 0) return eShredNoBackslash;
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    QString next = *pPath;
    for (qsizetype i = slash + 1; i < next.size(); ++i)
      if (next[i] != u'.') next[i] = QChar(letter);
    // MoveFile never replaces: a sibling that holds the name makes the rename fail.
    if (!plat::MoveFile(*pPath, next)) return eShredRenameFailed;
    *pPath = next;
  }
  return eShredOK;
}

bool ConfirmShred(const CSelItem& item) {
  const QString name = browse::LastComponent(item.strPath);
  const QString text = item.nKind == eSelFolder ? ConfirmFolderText(name) : ConfirmFileText(name);
  return MsgQuestion(text, ShredTitle(), ConfirmHeader()) == eMsgAnsYes;
}

int ShredOneFile(const QString& strPath) {
  COpRun run(TraceText(QStringLiteral("ShredOneFile"), {strPath}), COpRun::eNoBuffer);
  const QString name = browse::LastComponent(strPath);
  if (!ConfirmShred({eSelFile, strPath})) return eShredCancelled;
  COpBufferLease buffer;
  if (!buffer.IsHeld()) return eShredBufferBusy;
  const CShredOptions options = CShredOptions::FromSettings();
  WIN32_FIND_DATAW data{};
  const bool bFound = plat::FindOne(strPath, &data);
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  const quint64 size = bFound ? SizeOf(data) : 0;
  const quint64 writes = IsLink(dwAttributes) ? 0 : options.BytesWritten(size);

  IProgressWindow& progress =
      run.Open({.kind = eProgressSingle,
                .uIcon1 = IDI_PROGRESS_DELETE_1,
                .uIcon2 = IDI_PROGRESS_DELETE_2,
                .strTitle = core::Text(55376),
                .strCaption = core::Text(55377),
                .bSizeLabels = true,
                .uRange = writes,
                .strFile = name,
                .strFrom = browse::ParentPath(strPath),
                .strTo = core::FormatSize(size)});
  int result = eShredOK;
  QString finalPath = strPath;
  if (!IsLink(dwAttributes)) {
    result = OverwriteFile(strPath, options, buffer.Data(), [&](quint64 uDone) {
      progress.SetPos(uDone);
      progress.SetStatus(ShreddedBytesText(uDone, writes));
      return !progress.IsCancelled();
    });
  }
  run.Close();
  if (result == eShredOK && options.bWipeNames) result = WipeFileName(&finalPath);
  if (result == eShredOK && !ShredFile(finalPath)) result = eShredDeleteFailed;

  if (result == eShredOK) {
    NotifyItemRemoved(strPath);
  } else if (result != eShredCancelled) {
    COpRun::Report({result, 0, finalPath, QStringLiteral("Could not shred")},
                   {CannotDeleteText(finalPath), DeleteTitle()});
  }
  return result;
}

int ShredFolder(const QString& strPath) {
  if (!ConfirmShred({eSelFolder, strPath})) return eShredCancelled;
  return ShredItems({CSelItem{eSelFolder, strPath}});
}

int ShredItems(const CSelection& selection) {
  if (selection.size() == 1 && selection.front().nKind == eSelFile)
    return ShredOneFile(selection.front().strPath);
  return ShredSelectionRun(selection);
}

int ShredSelectionRun(const CSelection& selection) {
  if (selection.empty()) return eShredNothing;
  COpRun frame(TraceText(QStringLiteral("ShredItems"),
                         {QStringLiteral("%1 items").arg(selection.size())}),
               COpRun::eWithBuffer);
  if (!frame.HasBuffer()) return eShredBufferBusy;
  CSelectionTotals totals;
  ComputeSelectionTotals(selection, &totals);
  IProgressWindow& progress =
      frame.Open({.kind = eProgressMulti,
                  .uIcon1 = IDI_PROGRESS_DELETE_1,
                  .uIcon2 = IDI_PROGRESS_DELETE_2,
                  .strTitle = core::Text(61219),
                  .strCaption = core::Text(61220),
                  .bSizeLabels = true,
                  .uRange = totals.ProgressBytes(),
                  .strStatus = DeletedCountText(0, totals.files)});

  CShredRun run(&progress, CShredOptions::FromSettings(), frame.Buffer(), totals.files);
  int firstFailure = eShredOK;
  for (const CSelItem& item : selection) {
    const DWORD dwAttributes = plat::GetFileAttributes(item.strPath);
    int result = eShredOK;
    if (item.nKind == eSelFolder && IsLink(dwAttributes)) {
      result = run.RemoveLinkedFolder(item.strPath);
    } else if (item.nKind == eSelFolder) {
      result = run.ShredFolderInRun(item.strPath);
    } else {
      WIN32_FIND_DATAW data{};
      const quint64 size = plat::FindOne(item.strPath, &data) ? SizeOf(data) : 0;
      result = run.ShredFileInRun(item.strPath, dwAttributes, size);
    }
    if (result == eShredCancelled) {
      firstFailure = eShredCancelled;
      break;
    }
    if (firstFailure == eShredOK) firstFailure = result;
  }
  return firstFailure;
}

}  // namespace fileops
