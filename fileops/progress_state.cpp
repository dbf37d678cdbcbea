#include "fileops/progress_state.h"

#include "platform/filetime.h"

namespace fileops {

CProgressWindowBase::CProgressWindowBase(EProgressKind kind)
    : kind_(kind),
      strFileLabel_(ProgressLabelFile()),
      strFromLabel_(ProgressLabelFrom()),
      strToLabel_(ProgressLabelTo()) {
  bar_.dwStartTick = plat::GetTickCount();
  itemBar_.dwStartTick = bar_.dwStartTick;
  run_.Start(bar_.dwStartTick);
}

DWORD CProgressWindowBase::Tick() const { return plat::GetTickCount(); }

void CProgressWindowBase::Show() {
  if (bClosed_ || bShown_) return;
  bShown_ = true;
  OnChanged(eProgressChangeShown);
}

void CProgressWindowBase::Close() {
  if (bClosed_) return;
  bClosed_ = true;
  OnChanged(eProgressChangeClosed);
}

#define PROGRESS_SET_TEXT(member, value) \
  do {                                   \
    if (bClosed_) return;                \
    member = value;                      \
    OnChanged(eProgressChangeTexts);     \
  } while (false)

void CProgressWindowBase::SetTitle(const QString& strTitle) {
  PROGRESS_SET_TEXT(strTitle_, strTitle);
}

void CProgressWindowBase::SetCaption(const QString& strCaption) {
  PROGRESS_SET_TEXT(strCaption_, strCaption);
}

void CProgressWindowBase::SetFileLine(const QString& strFile) {
  PROGRESS_SET_TEXT(strFile_, strFile);
}

void CProgressWindowBase::SetFromLine(const QString& strFrom) {
  PROGRESS_SET_TEXT(strFrom_, strFrom);
}

void CProgressWindowBase::SetToLine(const QString& strTo) { PROGRESS_SET_TEXT(strTo_, strTo); }

void CProgressWindowBase::SetStatus(const QString& strStatus) {
  PROGRESS_SET_TEXT(strStatus_, strStatus);
}

void CProgressWindowBase::SetItemStatus(const QString& strStatus) {
  if (kind_ != eProgressMulti) return;
  PROGRESS_SET_TEXT(strItemStatus_, strStatus);
}

void CProgressWindowBase::ShowCancel(bool bShow) { PROGRESS_SET_TEXT(bCancelShown_, bShow); }

#undef PROGRESS_SET_TEXT

void CProgressWindowBase::SetLineLabels(const QString& strFileLabel,
                                        const QString& strFromLabel,
                                        const QString& strToLabel) {
  if (bClosed_) return;
  strFileLabel_ = strFileLabel;
  strFromLabel_ = strFromLabel;
  strToLabel_ = strToLabel;
  OnChanged(eProgressChangeTexts);
}

void CProgressWindowBase::SetRange(quint64 uMin, quint64 uMax) {
  if (bClosed_) return;
  bar_.uMin = uMin;
  bar_.uMax = uMax;
  bar_.dwStartTick = Tick();
  run_.Start(bar_.dwStartTick);
  OnChanged(eProgressChangeBar);
}

void CProgressWindowBase::SetPos(quint64 uPos) {
  if (bClosed_) return;
  bar_.uPos = uPos;
  OnChanged(eProgressChangeBar);
}

void CProgressWindowBase::AdvancePos(quint64 uDelta) {
  if (bClosed_) return;
  bar_.uPos += uDelta;
  OnChanged(eProgressChangeBar);
}

void CProgressWindowBase::SetItemRange(quint64 uMin, quint64 uMax) {
  if (bClosed_ || kind_ != eProgressMulti) return;
  itemBar_.uMin = uMin;
  itemBar_.uMax = uMax;
  itemBar_.dwStartTick = Tick();
  run_.ItemStarted(itemBar_.dwStartTick);
  OnChanged(eProgressChangeBar);
}

void CProgressWindowBase::SetItemPos(quint64 uPos) {
  if (bClosed_ || kind_ != eProgressMulti) return;
  itemBar_.uPos = uPos;
  run_.ItemMoved(Tick(), uPos);
  OnChanged(eProgressChangeBar);
}

void CProgressWindowBase::SetFileCounts(quint64 uDone, quint64 uTotal) {
  if (bClosed_) return;
  run_.SetFiles(uDone, uTotal);
}

CTimeEstimate CProgressWindowBase::Estimate(DWORD dwNowTick) const {
  return run_.Estimate(dwNowTick, bar_.uMin, bar_.uMax, bar_.uPos);
}

}  // namespace fileops
