// Extraction: the entries of a selection (or of the whole archive) written beneath the
// destination folder, one output file each.
#include <vector>

#include "core/app_log.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "fileops/conflict_policy.h"
#include "fileops/op_run.h"
#include "fileops/op_texts.h"
#include "fileops/replace_question.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "zip/zip_archive.h"
#include "zip/zip_commands.h"
#include "zip/zip_commands_internal.h"
#include "zip/zip_names.h"
#include "zip/zip_read_internal.h"

namespace zip {
namespace {

// One entry to extract and the name it gets below the destination.
struct CExtractStep {
  int index = 0;
  QString relName;
};

class CExtraction {
 public:
  CExtraction(const CZipArchive& archive, const QString& strDest, fileops::COpRun& run)
      : archive_(archive), dest_(strDest), run_(run) {}

  int Run(const std::vector<CExtractStep>& steps) {
    quint64 total = 0;
    for (const CExtractStep& step : steps) {
      const ZIPENTRY& e = archive_.Entry(step.index);
      if (e.refusal == EZipRefusal::eNone && !e.IsFolder()) total += e.unc_size;
    }
    total_ = total;
    progress_ = &run_.Open({.kind = fileops::eProgressMulti,
                            .uIcon1 = kIconZip1,
                            .uIcon2 = kIconZip2,
                            .strTitle = core::Text(61255),
                            .strCaption = core::Text(61256),
                            .uRange = total,
                            .strStatus = fileops::BytesLine(61257, 0, total)});
    int result = eZipCmdOK;
    for (const CExtractStep& step : steps) {
      const int stepResult = Extract(step);
      if (stepResult == eZipCmdCancelled) return eZipCmdCancelled;
      if (stepResult == eZipCmdFailed) {
        result = eZipCmdFailed;
        if (!lastWasRefusal_) break;  // refusals are per entry; any other failure ends the run
      }
    }
    return result;
  }

 private:
  int Extract(const CExtractStep& step) {
    lastWasRefusal_ = false;
    const ZIPENTRY& e = archive_.Entry(step.index);
    // ItemStart.
    progress_->SetFileLine(step.relName);
    progress_->SetItemRange(0, e.unc_size);
    progress_->SetItemPos(0);
    if (progress_->IsCancelled()) return eZipCmdCancelled;
    if (e.refusal != EZipRefusal::eNone) {
      lastWasRefusal_ = true;
      ReportRefusal(e);
      return eZipCmdFailed;
    }
    QString out;
    if (!OutputPath(step.relName, &out)) {
      lastWasRefusal_ = true;
      ReportRefusal(e);
      return eZipCmdFailed;
    }
    if (e.IsFolder()) {
      const bool bNew = plat::GetFileAttributes(out) == INVALID_FILE_ATTRIBUTES;
      if (!MakeFolders(out)) return ItemError(out);
      if (bNew) fileops::NotifyFolderCreated(out);
      return eZipCmdOK;
    }
    if (!MakeFolders(browse::ParentPath(out))) return ItemError(out);
    const bool bExists = plat::GetFileAttributes(out) != INVALID_FILE_ATTRIBUTES;
    // A file of the user's is replaced only when the user agrees, as copy asks.
    if (bExists) {
      switch (conflicts_.Settle(
          fileops::ReplaceText(browse::ParentPath(out), browse::LastComponent(out)),
          fileops::ReplaceTitle())) {
        case fileops::EConflict::eProceed:
          break;
        case fileops::EConflict::eCancel:
          return eZipCmdCancelled;
        default:
          return eZipCmdOK;  // kept as it is; the next entry follows
      }
    }
    plat::COutputFile file;
    if (!file.Create(out, bExists)) return ItemError(out);
    quint64 itemDone = 0;
    DWORD result = eZipMore;
    if (e.unc_size <= kWholeEntryLimit && e.comp_size <= kWholeEntryLimit) {
      result = UnzipItemWhole(archive_.Handle(), step.index, &whole_);
      DWORD written = 0;
      if (result == eZipOK && !whole_.empty() &&
          !file.File().Write(whole_.data(), DWORD(whole_.size()), &written))
        return ItemError(out);
      if (result == eZipOK) Advance(whole_.size(), &itemDone, e.unc_size);
    }
    while (result == eZipMore) {
      DWORD got = 0;
      result = UnzipItemToBuffer(archive_.Handle(), step.index, run_.Buffer(),
                                 fileops::kOpBufferSize, &got);
      if (result != eZipMore && result != eZipOK) break;
      DWORD written = 0;
      if (got && !file.File().Write(run_.Buffer(), got, &written)) return ItemError(out);
      Advance(got, &itemDone, e.unc_size);
      if (result == eZipMore && progress_->IsCancelled()) return eZipCmdCancelled;
    }
    if (result == eZipPassword) {
      ReportEncrypted(e.rawName);
      return eZipCmdFailed;
    }
    if (result != eZipOK) {
      ReportDamaged(e.rawName);
      return eZipCmdFailed;
    }
    file.File().SetTimes(&e.ctime, &e.atime, &e.mtime);
    if (!fileops::CompleteOutput(&file, true, false, false)) return ItemError(out);
    fileops::NotifyItemAdded(out);
    return eZipCmdOK;
  }

  void Advance(quint64 uBytes, quint64* pItemDone, quint64 uItemSize) {
    *pItemDone += uBytes;
    done_ += uBytes;
    progress_->SetItemPos(*pItemDone);
    progress_->SetItemStatus(fileops::BytesLine(61258, *pItemDone, uItemSize));
    progress_->SetPos(done_);
    progress_->SetStatus(fileops::BytesLine(61257, done_, total_));
  }

  // The output path of a name below the destination; false when it would not lie beneath it.
  bool OutputPath(const QString& strRel, QString* pOut) const {
    if (strRel.isEmpty()) return false;
    QString canonical;
    if (!plat::CDeviceRoot::Canonical(browse::AppendPathComponent(dest_, strRel), &canonical))
      return false;
    const QString prefix = dest_ == u"\\" ? dest_ : dest_ + u'\\';
    if (!canonical.startsWith(prefix, Qt::CaseInsensitive) || canonical.size() <= prefix.size())
      return false;
    *pOut = canonical;
    return true;
  }

  bool MakeFolders(const QString& strFolder) {
    const DWORD attr = plat::GetFileAttributes(strFolder);
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Each missing folder on the way is told to the views.
    const QString parent = browse::ParentPath(strFolder);
    if (parent != strFolder && !MakeFolders(parent)) return false;
    if (!plat::CreateDirectory(strFolder)) return false;
    fileops::NotifyFolderCreated(strFolder);
    return true;
  }

  int ItemError(const QString& strPath) {
    fileops::COpRun::Report(fileops::COpError::FromLastError(
                                eZipCmdFailed, QStringLiteral("Could not extract"), strPath),
                            {core::Text(61259).arg(strPath), core::Text(61255), core::Text(61256)});
    return eZipCmdFailed;
  }

  void ReportRefusal(const ZIPENTRY& e) {
    const int text = e.refusal == EZipRefusal::eLink     ? 900701
                     : e.refusal == EZipRefusal::eClimbs ? 900700
                                                         : 900702;
    QString shown = e.rawName;
    shown.replace(QChar(u'\0'), u'?');
    fileops::COpRun::Report({0, 0, shown, QStringLiteral("Refused the archive entry")},
                            {core::Text(text).arg(shown), core::Text(61255), core::Text(61256)});
  }

  const CZipArchive& archive_;
  QString dest_;
  fileops::COpRun& run_;
  fileops::IProgressWindow* progress_ = nullptr;
  quint64 total_ = 0;
  quint64 done_ = 0;
  bool lastWasRefusal_ = false;
  std::vector<char> whole_;  // the data of an entry read whole
  int answer_ = fileops::eCopyAnswerAsk;  // the run's answer to replacing files
  fileops::CConflictPolicy conflicts_{&answer_};
};

// The archive opened for a run, or null after the unsupported-format box.
std::shared_ptr<CZipArchive> OpenForRun(const QString& strArchive) {
  std::shared_ptr<CZipArchive> archive = CZipArchive::Open(strArchive);
  if (!archive) ReportDamaged(strArchive);
  return archive;
}

int RunExtraction(const QString& strTrace, const CZipArchive& archive,
                  const std::vector<CExtractStep>& steps, const QString& strDest) {
  QString dest;
  if (!plat::CDeviceRoot::Canonical(strDest, &dest)) {
    fileops::COpRun::Report({eZipCmdFailed, 0, strDest, QStringLiteral("Cannot extract into")},
                            {core::Text(61259).arg(strDest), core::Text(61255), core::Text(61256)});
    return eZipCmdFailed;
  }
  fileops::COpRun run(strTrace, fileops::COpRun::eWithBuffer);
  if (!run.HasBuffer()) return eZipCmdFailed;
  CExtraction extraction(archive, dest, run);
  return extraction.Run(steps);
}

}  // namespace

void ReportDamaged(const QString& strItem) {
  fileops::COpRun::Report({0, 0, strItem, QStringLiteral("Not a zip archive it can read:")},
                          {core::Text(61262), core::Text(61263), core::Text(61264)});
}

void ReportEncrypted(const QString& strItem) {
  fileops::COpRun::Report({0, 0, strItem, QStringLiteral("Encrypted entries in")},
                          {core::Text(61265).arg(QStringLiteral("Pinewood Browser")),
                           core::Text(61266), core::Text(61267)});
}

int ExtractItems(const QString& strArchive, const fileops::CSelection& selection,
                 const QString& strDest) {
  std::shared_ptr<CZipArchive> archive = OpenForRun(strArchive);
  if (!archive) return eZipCmdFailed;
  const QString prefix = archive->Path() + u'\\';
  std::vector<CExtractStep> steps;
  for (const fileops::CSelItem& item : selection) {
    if (!item.strPath.startsWith(prefix, Qt::CaseInsensitive)) continue;
    const QString inner = item.strPath.mid(prefix.size());
    const qsizetype cut = inner.lastIndexOf(u'\\');
    const qsizetype strip = cut < 0 ? 0 : cut + 1;  // the folder the item lies in
    for (int index : archive->EntriesBelow(inner)) {
      const ZIPENTRY& e = archive->Entry(index);
      const QString name =
          e.refusal == EZipRefusal::eNone ? archive->Normalised(index) : NormaliseZipName(e.name);
      steps.push_back({index, name.mid(strip)});
    }
  }
  return RunExtraction(fileops::TraceText(QStringLiteral("ExtractItems"),
                                          {strArchive, QString::number(selection.size()), strDest}),
                       *archive, steps, strDest);
}

int ExtractAll(const QString& strArchive, const QString& strDest) {
  std::shared_ptr<CZipArchive> archive = OpenForRun(strArchive);
  if (!archive) return eZipCmdFailed;
  std::vector<CExtractStep> steps;
  for (int index = 0; index < archive->Count(); ++index) {
    const ZIPENTRY& e = archive->Entry(index);
    steps.push_back({index, e.refusal == EZipRefusal::eNone ? archive->Normalised(index)
                                                            : NormaliseZipName(e.name)});
  }
  return RunExtraction(fileops::TraceText(QStringLiteral("ExtractAll"), {strArchive, strDest}),
                       *archive, steps, strDest);
}

}  // namespace zip
