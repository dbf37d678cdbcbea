#include "fileops/progress_estimate.h"

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
