#pragma once
// Time estimate of a progress bar and the three time texts of the progress window.
//
// A bar remembers the tick count at which its range was set. From that start, the current
// tick and the bar's range and position the estimate gives the elapsed time, the estimated
// total and the time left, all in milliseconds. Pure functions.

#include <QString>

#include "platform/wintypes.h"

namespace fileops {

// Each value is kDurationUnknown (0xFFFFFFFF) when it cannot be estimated.
struct CTimeEstimate {
  DWORD dwLeft = 0xFFFFFFFF;
  DWORD dwPassed = 0xFFFFFFFF;
  DWORD dwTotal = 0xFFFFFFFF;
};

// All three are unknown when the clock is behind the start, when nothing is done yet
// (position 0 or not above the minimum) and when the bar is full (position at or past the
// maximum). Otherwise passed = now - start, total = passed scaled from the part done to the
// whole range, left = total - passed; a total beyond the 32-bit millisecond range is unknown.
CTimeEstimate EstimateTimes(DWORD dwStartTick, DWORD dwNowTick, quint64 uMin, quint64 uMax,
                            quint64 uPos);

// The fixed texts shown instead of a duration of 0 and an unknown duration.
QString ProgressTimeZeroText();
QString ProgressTimeUnknownText();
// The duration text (core::FormatDuration), or one of the fixed texts above.
QString ProgressDurationText(DWORD dwMilliseconds);

constexpr UINT IDS_PROGRESS_TIME_LEFT = 55139;
constexpr UINT IDS_PROGRESS_TIME_PASSED = 55140;
constexpr UINT IDS_PROGRESS_TIME_TOTAL = 55141;
QString TimeLeftText(DWORD dwMilliseconds);    // "Left: %s"
QString TimePassedText(DWORD dwMilliseconds);  // "Passed: %s"
QString TimeTotalText(DWORD dwMilliseconds);   // "Time: %s"; shown when PrgCtrl_Show_Total_Time

}  // namespace fileops
