// Compressing a selection into a new archive: the plan of folders and files is made first,
// then each is added; the archive is put in place when all went in.
#include <algorithm>
#include <vector>

#include "core/app_log.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "core/view_notify.h"
#include "fileops/op_run.h"
#include "fileops/op_texts.h"
#include "fileops/plan_walk.h"
#include "fileops/replace_question.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "zip/zip_commands.h"
#include "zip/zip_commands_internal.h"
#include "zip/zip_layer.h"

namespace zip {
namespace {

struct CAddStep {
  QString strPath;  // the device path of the file or folder
  QString strName;  // its name in the archive, "\" separated
  quint64 uSize = 0;
  bool bFolder = false;
};

struct CAddPlan {
  std::vector<CAddStep> steps;
  quint64 files = 0;
  quint64 bytes = 0;
};

bool SamePath(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// A selected folder and everything below it; links to folders are not entered, and the
// archive being written is left out.
class CAddWalk final : public fileops::IPlanVisitor {
 public:
  CAddWalk(const QString& strBase, const QString& strArchive, CAddPlan* pPlan)
      : base_(strBase), archive_(strArchive), plan_(pPlan) {}

 private:
  using CWalkItem = fileops::CWalkItem;
  using EWalk = fileops::EWalk;

  QString NameOf(const QString& strPath) const { return strPath.mid(base_.size()); }
  EWalk FolderEntered(const CWalkItem& folder) override {
    plan_->steps.push_back({folder.strPath, NameOf(folder.strPath) + u'\\', 0, true});
    return EWalk::eGoOn;
  }
  EWalk File(const CWalkItem& file) override {
    if (SamePath(file.strPath, archive_)) return EWalk::eGoOn;
    plan_->steps.push_back({file.strPath, NameOf(file.strPath), file.Size(), false});
    ++plan_->files;
    plan_->bytes += file.Size();
    return EWalk::eGoOn;
  }
  EWalk LinkNotFollowed(const CWalkItem& link) override {
    LogNotice(u"  Skipped the link to a folder %s", link.strPath);
    return EWalk::eGoOn;
  }
  EWalk Unnamed(const CWalkItem& folder, const QString& strShownName) override {
    LogNotice(u"  Skipped %s in %s: the device cannot name it", strShownName, folder.strPath);
    return EWalk::eGoOn;
  }

  QString base_;  // the folder of the selected item, with its trailing "\"
  QString archive_;
  CAddPlan* plan_;
};

CAddPlan MakePlan(const fileops::CSelection& selection, const QString& strArchive) {
  CAddPlan plan;
  for (const fileops::CSelItem& item : selection) {
    const QString path = browse::StripTrailingBackslash(item.strPath);
    QString base = browse::ParentPath(path);
    if (!base.endsWith(u'\\')) base += u'\\';
    if (item.nKind == fileops::eSelFolder) {
      CAddWalk walk(base, strArchive, &plan);
      fileops::WalkFolder(path, walk);
    } else if (!SamePath(path, strArchive)) {
      WIN32_FIND_DATAW data{};
      const quint64 size = plat::FindOne(path, &data) ? plat::FindSize(data) : 0;
      plan.steps.push_back({path, browse::LastComponent(path), size, false});
      ++plan.files;
      plan.bytes += size;
    }
  }
  return plan;
}

}  // namespace

QString ProposedArchivePath(const fileops::CSelection& selection) {
  if (selection.empty()) return {};
  const QString path = browse::StripTrailingBackslash(selection.front().strPath);
  QString name = browse::LastComponent(path);
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot > 0) name.truncate(dot);
  return browse::AppendPathComponent(browse::ParentPath(path), name + QStringLiteral(".zip"));
}

int CompressItems(const fileops::CSelection& selection, const QString& strArchivePath, int nLevel) {
  const QString name = browse::LastComponent(strArchivePath);
  const auto createFailed = [&](const QString& strPath) {
    fileops::COpRun::Report(
        fileops::COpError::FromLastError(eZipCmdFailed, QStringLiteral("Could not create"), strPath),
        {core::Text(61254).arg(strPath), core::Text(61252), core::Text(61253).arg(name)});
    return eZipCmdFailed;
  };
  QString archivePath;
  if (!plat::CDeviceRoot::Canonical(strArchivePath, &archivePath))
    return createFailed(strArchivePath);
  // An existing archive of that name is replaced (not updated), so only when the user agrees.
  if (plat::GetFileAttributes(archivePath) != INVALID_FILE_ATTRIBUTES &&
      !fileops::ConfirmReplaceFile(browse::ParentPath(archivePath), name))
    return eZipCmdCancelled;
  fileops::COpRun run(fileops::TraceText(QStringLiteral("CompressItems"),
                                         {QString::number(selection.size()), archivePath}),
                      fileops::COpRun::eNoBuffer);
  const CAddPlan plan = MakePlan(selection, archivePath);
  CZipPtr hz(CreateZip(archivePath));
  if (!hz) return createFailed(archivePath);
  SetZipLevel(hz.get(), std::clamp(nLevel, 0, 9));

  fileops::IProgressWindow& progress =
      run.Open({.kind = fileops::eProgressMulti,
                .uIcon1 = kIconZip1,
                .uIcon2 = kIconZip2,
                .strTitle = core::Text(61252),
                .uRange = plan.bytes,
                .strFrom = browse::ParentPath(archivePath),
                .strTo = name,
                .strStatus = fileops::CountLine(61260, 0, plan.files)});
  quint64 done = 0, itemDone = 0, itemSize = 0, filesDone = 0;
  SetZipProgress(hz.get(), [&](quint64 uBytes) {
    itemDone += uBytes;
    done += uBytes;
    progress.SetItemPos(itemDone);
    progress.SetPos(done);
    progress.SetItemStatus(fileops::BytesLine(61261, itemDone, itemSize));
    return !progress.IsCancelled();
  });

  int result = eZipCmdOK;
  DWORD written = eZipOK;
  for (const CAddStep& step : plan.steps) {
    if (progress.IsCancelled()) break;
    if (step.bFolder) {
      written = ZipAddFolder(hz.get(), step.strName);
    } else {
      progress.SetFileLine(step.strName);
      progress.SetItemRange(0, step.uSize);
      progress.SetItemPos(0);
      itemDone = 0;
      itemSize = step.uSize;
      const quint64 doneBefore = done;
      written = ZipAddFile(hz.get(), step.strName, step.strPath);
      done = doneBefore + step.uSize;  // the bar moves past the file whatever became of it
      progress.SetPos(done);
      if (written == eZipNoFile || written == eZipRead) {
        // Left out of the archive (or, when half read, the archive cannot be completed).
        const DWORD error = plat::GetLastError();
        fileops::COpRun::Report({eZipCmdFailed, error, step.strPath, QStringLiteral("Could not add")},
                                {core::Text(900703).arg(step.strPath, SystemErrorText(error)),
                                 core::Text(61252), core::Text(61253).arg(name)});
        result = eZipCmdFailed;
        if (written == eZipRead) break;
        continue;
      }
      if (written == eZipOK) progress.SetStatus(fileops::CountLine(61260, ++filesDone, plan.files));
    }
    if (written == eZipStopped || written == eZipWrite) break;
  }
  const bool bCancelled = progress.IsCancelled() || written == eZipStopped;
  const DWORD error = plat::GetLastError();
  const DWORD closed = CloseZip(hz.release());
  run.Close();
  if (closed == eZipOK && !bCancelled) {
    fileops::NotifyItemAdded(archivePath);
    return result;
  }
  if (bCancelled) return eZipCmdCancelled;
  const DWORD why = written == eZipWrite ? error : plat::GetLastError();
  fileops::COpRun::Report(
      {eZipCmdFailed, why, archivePath, QStringLiteral("Could not write the archive")},
      {core::Text(900704).arg(archivePath, SystemErrorText(why)), core::Text(61252),
       core::Text(61253).arg(name)});
  return eZipCmdFailed;
}

}  // namespace zip
