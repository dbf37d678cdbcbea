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

// The estimate of a run over many files, whose time goes partly by bytes and partly by files
// (opening, creating and putting each file in place): ten thousand tiny files cost far more
// than their bytes say. The cost of a byte is measured while file data moves (from the start
// of a file's data to each advance of its item bar); the cost of a file is what is left of
// the elapsed time, shared out over the files done. The time left is the bytes left at the one
// cost and the files left at the other. All ticks are GetTickCount milliseconds.
class CRunEstimate {
 public:
  // The run's clock starts (the main bar's range was set).
  void Start(DWORD dwTick);
  // A file's data starts (its item range was set) and its item bar moved to uItemPos.
  void ItemStarted(DWORD dwTick);
  void ItemMoved(DWORD dwTick, quint64 uItemPos);
  // Files finished so far (copied, skipped or failed) of the run's total.
  void SetFiles(quint64 uDone, quint64 uTotal);
  bool HasFiles() const { return filesTotal_ > 0; }

  // As EstimateTimes for the main bar (range uMin..uMax of bytes, at uPos). Without file
  // counts, or before the first file is done, it is EstimateTimes' own estimate.
  CTimeEstimate Estimate(DWORD dwNowTick, quint64 uMin, quint64 uMax, quint64 uPos) const;

 private:
  DWORD dwStart_ = 0;
  DWORD dwItemTick_ = 0;
  quint64 uItemPos_ = 0;
  bool bInItem_ = false;
  quint64 dataMs_ = 0;     // time spent moving file data
  quint64 dataBytes_ = 0;  // bytes moved in that time
  quint64 filesDone_ = 0;
  quint64 filesTotal_ = 0;
};

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
