#include "fileops/progress_estimate.h"

#include <algorithm>

#include "core/format.h"
#include "core/texts.h"

namespace fileops {

CTimeEstimate EstimateTimes(DWORD dwStartTick, DWORD dwNowTick, quint64 uMin, quint64 uMax,
                            quint64 uPos) {
  CTimeEstimate estimate;
  if (dwNowTick < dwStartTick) return estimate;
  if (uPos == 0 || uPos >= uMax || uPos <= uMin) return estimate;
  const quint64 uDone = uPos - uMin;
  const quint64 uRange = uMax - uMin;
  const quint64 uElapsed = dwNowTick - dwStartTick;
  // Scale the elapsed time by range / done in 128 bits. A rate in whole milliseconds per
  // unit would truncate to 0 for byte-sized units and give nonsense for any file above a
  // few hundred kilobytes per second.
  const unsigned __int128 uTotal =
      static_cast<unsigned __int128>(uElapsed) * uRange / uDone;
  if (uTotal >= core::kDurationUnknown) return estimate;
  estimate.dwPassed = static_cast<DWORD>(uElapsed);
  estimate.dwTotal = static_cast<DWORD>(uTotal);
  estimate.dwLeft = static_cast<DWORD>(uTotal - uElapsed);  // total >= elapsed: done < range
  return estimate;
}

void CRunEstimate::Start(DWORD dwTick) {
  *this = CRunEstimate{};
  dwStart_ = dwTick;
}

void CRunEstimate::ItemStarted(DWORD dwTick) {
  dwItemTick_ = dwTick;
  uItemPos_ = 0;
  bInItem_ = true;
}

void CRunEstimate::ItemMoved(DWORD dwTick, quint64 uItemPos) {
  if (!bInItem_ || uItemPos <= uItemPos_ || dwTick < dwItemTick_) return;
  dataMs_ += dwTick - dwItemTick_;
  dataBytes_ += uItemPos - uItemPos_;
  dwItemTick_ = dwTick;
  uItemPos_ = uItemPos;
}

void CRunEstimate::SetFiles(quint64 uDone, quint64 uTotal) {
  filesDone_ = uDone;
  filesTotal_ = uTotal;
  bInItem_ = false;  // the time until the next file's data is the file's own cost
}

CTimeEstimate CRunEstimate::Estimate(DWORD dwNowTick, quint64 uMin, quint64 uMax,
                                     quint64 uPos) const {
  if (filesTotal_ == 0 || filesDone_ == 0) return EstimateTimes(dwStart_, dwNowTick, uMin, uMax, uPos);
  CTimeEstimate estimate;
  if (dwNowTick < dwStart_ || uPos >= uMax || uPos < uMin) return estimate;
  const double elapsed = dwNowTick - dwStart_;
  const double perByte = dataBytes_ > 0 ? double(dataMs_) / double(dataBytes_) : 0.0;
  const double bytesDone = double(uPos - uMin);
  const double perFile = std::max(0.0, elapsed - perByte * bytesDone) / double(filesDone_);
  const double filesLeft = filesTotal_ > filesDone_ ? double(filesTotal_ - filesDone_) : 0.0;
  const double left = perByte * double(uMax - uPos) + perFile * filesLeft;
  if (elapsed + left >= double(core::kDurationUnknown)) return estimate;
  estimate.dwPassed = static_cast<DWORD>(elapsed);
  estimate.dwLeft = static_cast<DWORD>(left);
  estimate.dwTotal = estimate.dwPassed + estimate.dwLeft;
  return estimate;
}

QString ProgressTimeZeroText() { return core::FormatDuration(0); }

QString ProgressTimeUnknownText() { return core::Text(900209); }

QString ProgressDurationText(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) return ProgressTimeZeroText();
  if (dwMilliseconds == core::kDurationUnknown) return ProgressTimeUnknownText();
  return core::FormatDuration(dwMilliseconds);
}

QString TimeLeftText(DWORD dwMilliseconds) {
  return core::Text(IDS_PROGRESS_TIME_LEFT).arg(ProgressDurationText(dwMilliseconds));
}

QString TimePassedText(DWORD dwMilliseconds) {
  return core::Text(IDS_PROGRESS_TIME_PASSED).arg(ProgressDurationText(dwMilliseconds));
}

QString TimeTotalText(DWORD dwMilliseconds) {
  return core::Text(IDS_PROGRESS_TIME_TOTAL).arg(ProgressDurationText(dwMilliseconds));
}

}  // namespace fileops
