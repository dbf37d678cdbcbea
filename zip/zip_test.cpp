// Testing an archive: every entry read through the decompressor in index order, the first
// damaged one reported.
#include <vector>

#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "fileops/op_run.h"
#include "fileops/op_texts.h"
#include "zip/zip_archive.h"
#include "zip/zip_commands.h"
#include "zip/zip_commands_internal.h"
#include "zip/zip_read_internal.h"

namespace zip {

bool TestArchive(const QString& strArchive) {
  fileops::COpRun run(fileops::TraceText(QStringLiteral("TestArchive"), {strArchive}),
                      fileops::COpRun::eWithBuffer);
  if (!run.HasBuffer()) return false;
  const QString header = core::Text(61246).arg(browse::LastComponent(strArchive));
  // A fresh handle: the test reads the file as it is now.
  CZipArchive::ForgetCached();
  std::shared_ptr<CZipArchive> archive = CZipArchive::Open(strArchive);
  if (!archive) {
    ReportDamaged(strArchive);
    return false;
  }
  quint64 total = 0, files = 0;
  for (int i = 0; i < archive->Count(); ++i) {
    total += archive->Entry(i).unc_size;
    if (!archive->Entry(i).IsFolder()) ++files;
  }
  fileops::IProgressWindow& progress = run.Open({.kind = fileops::eProgressMulti,
                                                 .uIcon1 = kIconZip1,
                                                 .uIcon2 = kIconZip2,
                                                 .strTitle = core::Text(61245),
                                                 .strCaption = header,
                                                 .uRange = total,
                                                 .strStatus = fileops::CountLine(61248, 0, files)});
  quint64 done = 0, tested = 0;
  std::vector<char> whole;
  for (int i = 0; i < archive->Count(); ++i) {
    const ZIPENTRY& e = archive->Entry(i);
    // A refused entry gives no data: it is never extracted.
    if (e.IsFolder() || e.refusal != EZipRefusal::eNone) continue;
    progress.SetFileLine(e.rawName);
    progress.SetItemRange(0, e.unc_size);
    progress.SetItemPos(0);
    quint64 itemDone = 0;
    DWORD result = eZipMore;
    if (e.unc_size <= kWholeEntryLimit && e.comp_size <= kWholeEntryLimit) {
      result = UnzipItemWhole(archive->Handle(), i, &whole);
      itemDone = whole.size();
      done += whole.size();
      progress.SetItemPos(itemDone);
      progress.SetItemStatus(fileops::BytesLine(61251, itemDone, e.unc_size));
      progress.SetPos(done);
      if (progress.IsCancelled()) return false;
    }
    while (result == eZipMore) {
      DWORD got = 0;
      result = UnzipItemToBuffer(archive->Handle(), i, run.Buffer(), fileops::kOpBufferSize, &got);
      itemDone += got;
      done += got;
      progress.SetItemPos(itemDone);
      progress.SetItemStatus(fileops::BytesLine(61251, itemDone, e.unc_size));
      progress.SetPos(done);
      if (progress.IsCancelled()) return false;
    }
    if (result != eZipOK) {
      run.Close();
      fileops::COpRun::Report({eZipCmdFailed, 0, e.rawName, QStringLiteral("Damaged entry")},
                              {core::Text(61247).arg(e.rawName), core::Text(61245), header});
      return false;
    }
    progress.SetStatus(fileops::CountLine(61248, ++tested, files));
  }
  run.Close();
  MsgInfo(core::Text(61250), core::Text(61249), header);
  return true;
}

}  // namespace zip
