// The time estimate and its texts, the shared window state, the factory and the scripted
// front-end that the operation tests rely on.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "core/format.h"
#include "fileops/progress.h"
#include "fileops/progress_estimate.h"
#include "fileops/progress_state.h"
#include "support/scripted_progress.h"

namespace {

using fileops::CTimeEstimate;
using fileops::EstimateTimes;

constexpr DWORD kUnknown = 0xFFFFFFFF;

struct EstimateCase {
  const char* pszName;
  DWORD dwStart, dwNow;
  quint64 uMin, uMax, uPos;
  DWORD dwLeft, dwPassed, dwTotal;
};

TEST(ProgressEstimate, Table) {
  const quint64 k4G = 4ULL << 30;
  const EstimateCase cases[] = {
      {"position 0", 1000, 11000, 0, 100, 0, kUnknown, kUnknown, kUnknown},
      {"end of run", 1000, 11000, 0, 100, 100, kUnknown, kUnknown, kUnknown},
      {"past the end", 1000, 11000, 0, 100, 150, kUnknown, kUnknown, kUnknown},
      {"clock behind the start", 5000, 4000, 0, 100, 50, kUnknown, kUnknown, kUnknown},
      {"position at the minimum", 0, 10000, 20, 100, 20, kUnknown, kUnknown, kUnknown},
      {"empty range", 0, 10000, 0, 0, 0, kUnknown, kUnknown, kUnknown},
      {"quarter after 10 s", 1000, 11000, 0, 100, 25, 30000, 10000, 40000},
      {"midpoint with a minimum", 0, 6000, 100, 300, 200, 6000, 6000, 12000},
      {"no time yet", 500, 500, 0, 100, 50, 0, 0, 0},
      // Bytes: 1 MiB of 4 GiB in 1 s. A whole-millisecond rate per byte would be 0.
      {"bytes of a large file", 0, 1000, 0, k4G, 1ULL << 20, 4095000, 1000, 4096000},
      // A total beyond 49 days of milliseconds cannot be shown.
      {"total out of range", 0, 100000, 0, 1000000000, 1, kUnknown, kUnknown, kUnknown},
  };
  for (const EstimateCase& c : cases) {
    SCOPED_TRACE(c.pszName);
    const CTimeEstimate e = EstimateTimes(c.dwStart, c.dwNow, c.uMin, c.uMax, c.uPos);
    EXPECT_EQ(e.dwLeft, c.dwLeft);
    EXPECT_EQ(e.dwPassed, c.dwPassed);
    EXPECT_EQ(e.dwTotal, c.dwTotal);
  }
}

TEST(ProgressEstimate, Texts) {
  EXPECT_EQ(fileops::TimeLeftText(30000), "Left: " + core::FormatDuration(30000));
  EXPECT_EQ(fileops::TimeLeftText(30000), "Left: 30 seconds");
  EXPECT_EQ(fileops::TimePassedText(3'900'000), "Passed: 1 hour, 5 minutes");
  EXPECT_EQ(fileops::TimeTotalText(120000), "Time: 2 minutes");
  // The fixed texts for 0 and unknown are distinct, short, and never the "N/A" of a date.
  const QString strZero = fileops::ProgressTimeZeroText();
  const QString strUnknown = fileops::ProgressTimeUnknownText();
  EXPECT_NE(strZero, strUnknown);
  EXPECT_EQ(fileops::TimeLeftText(0), "Left: " + strZero);
  EXPECT_EQ(fileops::TimePassedText(kUnknown), "Passed: " + strUnknown);
  EXPECT_EQ(fileops::TimeTotalText(kUnknown), "Time: " + strUnknown);
}

TEST(ProgressWindowState, BarsLabelsAndCancel) {
  test::CScriptedProgress progress;
  auto pWindow = fileops::CreateProgressWindow(fileops::eProgressSingle,
                                               fileops::IDI_PROGRESS_COPY_1,
                                               fileops::IDI_PROGRESS_COPY_2);
  auto* pState = dynamic_cast<fileops::CProgressWindowBase*>(pWindow.get());
  ASSERT_NE(pState, nullptr);
  EXPECT_EQ(pState->FileLabel(), "File:");
  EXPECT_EQ(pState->FromLabel(), "From:");
  EXPECT_EQ(pState->ToLabel(), "To:");

  pWindow->SetRange(0, 10ULL << 32);  // 40 GiB: 64-bit ranges stay whole
  pWindow->SetPos(5ULL << 32);
  pWindow->AdvancePos(7);
  EXPECT_EQ(pState->Bar().uMax, 10ULL << 32);
  EXPECT_EQ(pState->Bar().uPos, (5ULL << 32) + 7);
  // A single-item window has no item bar.
  pWindow->SetItemRange(0, 99);
  pWindow->SetItemStatus("x");
  EXPECT_EQ(pState->ItemBar().uMax, 0u);
  EXPECT_TRUE(pState->ItemStatus().isEmpty());

  EXPECT_FALSE(pWindow->IsCancelled());
  pState->RequestCancel();
  pWindow->SetPos(1);
  EXPECT_TRUE(pWindow->IsCancelled());  // never cleared during the run
  pWindow->Close();
  pWindow->SetTitle("after close");
  EXPECT_TRUE(pState->Title().isEmpty());
}

// A run of many small files and one large one on a scripted clock, fed to the window as a
// copy run feeds it: item range after the file is open, item and main bar after each chunk,
// the file counts when the file is finished. Each small file costs 1.9 ms of opening and
// creating and 0.1 ms of data on average; the large one moves 20 MB/s.
class CClockedWindow final : public fileops::CProgressWindowBase {
 public:
  CClockedWindow() : CProgressWindowBase(fileops::eProgressMulti) {}
  double now = 0;  // milliseconds
 protected:
  DWORD Tick() const override { return static_cast<DWORD>(now); }
};

struct CRunScript {
  int nSmall = 10000;
  quint64 uSmallSize = 4096;
  quint64 uLargeSize = 100ull << 20;
  bool bLargeFirst = false;
  quint64 Bytes() const { return nSmall * uSmallSize + uLargeSize; }
  quint64 Files() const { return nSmall + 1; }
};

// Runs the script; at each tick fnCheck(now, real time left) is called after a chunk.
double RunScript(const CRunScript& script, CClockedWindow* w,
                 const std::function<void(double)>& fnAfterChunk) {
  w->now = 0;
  w->SetRange(0, script.Bytes());
  quint64 bytes = 0, files = 0;
  const auto file = [&](quint64 size, double openMs, double msPerChunk, quint64 chunk) {
    w->now += openMs;
    w->SetItemRange(0, size);
    w->SetItemPos(0);
    for (quint64 done = 0; done < size;) {
      const quint64 n = std::min(chunk, size - done);
      w->now += msPerChunk * double(n) / double(chunk);
      done += n;
      bytes += n;
      w->SetItemPos(done);
      w->SetPos(bytes);
      fnAfterChunk(w->now);
    }
    w->SetFileCounts(++files, script.Files());
  };
  const auto large = [&] { file(script.uLargeSize, 0.5, 12.5, 262144); };  // 20 MB/s
  if (script.bLargeFirst) large();
  // Costs vary from file to file (1.4 to 2.4 ms to open, 0.05 to 0.15 ms of data), as on a
  // real disk, so that the millisecond clock is not in step with the files.
  unsigned seed = 1;
  const auto vary = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return double((seed >> 16) % 1001) / 1000.0 - 0.5;
  };
  for (int i = 0; i < script.nSmall; ++i)
    file(script.uSmallSize, 1.9 + vary(), 0.1 + vary() / 10, script.uSmallSize);
  if (!script.bLargeFirst) large();
  return w->now;
}

TEST(ProgressEstimate, ARunOfManySmallFilesAndALargeOneIsEstimatedByBytesAndFiles) {
  for (const bool bLargeFirst : {false, true}) {
    SCOPED_TRACE(bLargeFirst ? "large file first" : "small files first");
    CRunScript script;
    script.bLargeFirst = bLargeFirst;
    CClockedWindow dry;
    const double total = RunScript(script, &dry, [](double) {});
    ASSERT_GT(total, 20000);
    // With the large file first nothing tells the cost of a file until files are done.
    const double from = total * (bLargeFirst ? 0.3 : 0.1);
    CClockedWindow w;
    int checked = 0;
    double next = from;
    bool bBytesOnlyFarOff = false;
    RunScript(script, &w, [&](double now) {
      if (now < next || now > total * 0.95) return;
      next += total * 0.05;
      ++checked;
      const double real = total - now;
      const CTimeEstimate e = w.Estimate(static_cast<DWORD>(now));
      ASSERT_NE(e.dwLeft, kUnknown) << now;
      EXPECT_GE(e.dwLeft, real / 2) << "at " << now << " ms of " << total;
      EXPECT_LE(e.dwLeft, real * 2) << "at " << now << " ms of " << total;
      EXPECT_EQ(e.dwPassed, static_cast<DWORD>(now));
      EXPECT_EQ(e.dwTotal, e.dwPassed + e.dwLeft);
      const CTimeEstimate bytesOnly =
          EstimateTimes(0, static_cast<DWORD>(now), 0, script.Bytes(), w.Bar().uPos);
      if (bytesOnly.dwLeft == kUnknown || bytesOnly.dwLeft > real * 10) bBytesOnlyFarOff = true;
    });
    EXPECT_GE(checked, 10);
    if (!bLargeFirst) {
      EXPECT_TRUE(bBytesOnlyFarOff);  // the fixture shows the fault it mends
    }
    // At the end the times are unknown, as by bytes alone.
    EXPECT_EQ(w.Estimate(static_cast<DWORD>(total)).dwLeft, kUnknown);
  }
}

// Without file counts a window estimates by its bar alone.
TEST(ProgressEstimate, AWindowWithoutFileCountsEstimatesByItsBar) {
  CClockedWindow w;
  w.now = 1000;
  w.SetRange(0, 100);
  w.SetPos(0);
  EXPECT_EQ(w.Estimate(1000).dwLeft, kUnknown);
  w.now = 11000;
  w.SetItemRange(0, 10);
  w.SetItemPos(5);
  w.SetPos(25);
  const CTimeEstimate e = w.Estimate(11000);
  EXPECT_EQ(e.dwTotal, 40000u);
  EXPECT_EQ(e.dwLeft, 30000u);
  EXPECT_EQ(e.dwPassed, 10000u);
}

TEST(ProgressFactory, WithoutFrontEndAWindowIsSilentAndNeverCancelled) {
  fileops::CScopedProgressFactory none(nullptr);
  auto pWindow = fileops::CreateProgressWindow(fileops::eProgressMulti, 1, 2);
  ASSERT_NE(pWindow, nullptr);
  EXPECT_EQ(pWindow->Kind(), fileops::eProgressMulti);
  pWindow->Show();
  pWindow->SetRange(0, 100);
  for (int i = 0; i <= 100; ++i) pWindow->SetPos(i);
  EXPECT_FALSE(pWindow->IsCancelled());
}

TEST(ScriptedProgress, RecordsCallsAndCancelsAfterNUpdates) {
  test::CScriptedProgress progress;
  {
    fileops::CScopedProgressFactory inner(nullptr);  // a scope may override the factory ...
    fileops::CreateProgressWindow(fileops::eProgressSingle, 1, 2);
  }
  EXPECT_TRUE(progress.Windows().empty());  // ... and puts the scripted one back after it

  progress.CancelAfterPositionUpdates(3);
  auto pWindow = fileops::CreateProgressWindow(fileops::eProgressMulti, 476, 477);
  pWindow->Show();
  pWindow->SetTitle("Shredding...");
  pWindow->SetRange(0, 10);
  pWindow->SetItemRange(0, 5);
  int nChunks = 0;
  while (!pWindow->IsCancelled() && nChunks < 10) {
    pWindow->SetItemPos(1);
    pWindow->SetStatus(QStringLiteral("chunk %1").arg(++nChunks));
  }
  pWindow.reset();

  ASSERT_EQ(progress.Windows().size(), 1u);
  const test::CProgressRecord& r = progress.Windows()[0];
  EXPECT_EQ(nChunks, 3);
  EXPECT_EQ(r.kind, fileops::eProgressMulti);
  EXPECT_EQ(r.uIcon1, 476u);
  EXPECT_EQ(r.uIcon2, 477u);
  EXPECT_EQ(r.strTitle, "Shredding...");
  EXPECT_EQ(r.TextsOf("SetStatus"), QStringList({"chunk 1", "chunk 2", "chunk 3"}));
  EXPECT_EQ(r.itemBar.uMax, 5u);
  EXPECT_TRUE(r.bShown);
  EXPECT_TRUE(r.bCancelled);
  EXPECT_TRUE(r.bDestroyed);
  EXPECT_TRUE(r.bClosed);
  EXPECT_TRUE(r.CallsOf("Close").empty());  // destroyed, never closed explicitly
}

}  // namespace
