#include "fileops/op_run.h"

#include "core/app_log.h"
#include "core/message_box.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "core/texts.h"
#include "fileops/op_texts.h"

namespace fileops {

COpError COpError::FromLastError(int nCode, const QString& strReason, const QString& strPath) {
  return COpError{nCode, plat::GetLastError(), strPath, strReason};
}

void LogFailure(const QString& strReason, const QString& strPath, DWORD dwError) {
  LogErr(u"%s %s", strReason, strPath);
  LogSystemError(dwError);
}

void LogFailure(const COpError& error) {
  LogFailure(error.strReason, error.strPath, error.dwSystem);
}

QString TraceText(const QString& strName, const QStringList& args) {
  return strName + u'(' + args.join(QStringLiteral(", ")) + u')';
}

COpRun::COpRun(const QString& strTrace, EBuffer buffer) : trace_(strTrace) {
  if (!trace_.isEmpty()) LogTrace(u"%s...", trace_);
  if (buffer == eWithBuffer) lease_ = std::make_unique<COpBufferLease>();
}

COpRun::~COpRun() {
  Close();
  if (!trace_.isEmpty()) LogTrace(u"%s", trace_);
}

IProgressWindow& COpRun::Open(const CRunWindow& window) {
  progress_ = CreateProgressWindow(window.kind, window.uIcon1, window.uIcon2);
  IProgressWindow& p = *progress_;
  p.Show();
  p.SetTitle(window.strTitle);
  p.SetCaption(window.strCaption);
  if (window.bSizeLabels)
    p.SetLineLabels(ProgressLabelFile(), ProgressLabelFrom(), ProgressLabelSize());
  if (!window.strFile.isEmpty()) p.SetFileLine(window.strFile);
  if (!window.strFrom.isEmpty()) p.SetFromLine(window.strFrom);
  if (!window.strTo.isEmpty()) p.SetToLine(window.strTo);
  if (window.bSetRange) p.SetRange(0, window.uRange);
  if (window.bSetPos) p.SetPos(0);
  if (!window.strStatus.isEmpty()) p.SetStatus(window.strStatus);
  p.ShowCancel(true);
  return p;
}

int COpRun::NoteResult(int nResult) {
  if (firstFailure_ == 0) firstFailure_ = nResult;
  return nResult;
}

void COpRun::Close() {
  if (progress_) progress_->Close();
}

void COpRun::Report(const COpError& error, const CFailureBox& box) {
  if (error.nCode != 0)
    LogErr(u"%s %s (%d)", error.strReason, error.strPath, error.nCode);
  else
    LogErr(u"%s %s", error.strReason, error.strPath);
  if (error.dwSystem != ERROR_SUCCESS) LogSystemError(error.dwSystem);
  if (!box.strText.isEmpty()) MsgError(box.strText, box.strTitle, box.strHeader);
}

bool CompleteOutput(plat::COutputFile* pOut, bool bWritten, bool bFlush, bool bFlushFolder) {
  if (!bWritten) {
    pOut->Discard();
    return false;
  }
  const QString path = pOut->FinalPath();
  if (pOut->Commit(bFlush, bFlushFolder)) return true;
  LogFailure(QStringLiteral("Could not complete"), path, plat::GetLastError());
  return false;
}

bool RemoveFolderOrReport(const QString& strPath, const QString& strWhat) {
  if (plat::RemoveDirectory(strPath)) return true;
  const DWORD error = plat::GetLastError();
  COpRun::Report({0, error, strPath, QStringLiteral("Could not remove the %1").arg(strWhat)},
                 {core::Text(900208).arg(strPath, SystemErrorText(error)), DeleteTitle()});
  return false;
}

}  // namespace fileops
