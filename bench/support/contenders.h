#pragma once
// Timing of several contenders on the same data, for the benchmarks that set our operations
// beside the host's tools.

#include <unistd.h>

#include <QElapsedTimer>

#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

// One contender: how its run is prepared (not timed), the timed run, and the clean-up.
struct CContender {
  const char* name;
  std::function<bool()> fnPrepare;
  std::function<bool()> fnRun;
  std::function<void()> fnCleanUp;
  double best = -1;  // seconds; negative when a run failed or was skipped
  bool failed = false;
  std::vector<double> times;  // every timed run, in order
};

// Runs every contender once per round, in turn, so that the state of the file system (its
// cache, the inodes just freed by the previous clean-up) does not favour one of them; keeps
// each one's best time. A sync before each timed run keeps earlier write-back out of it.
inline void TimeAll(int nRounds, std::vector<CContender>* pContenders) {
  for (int round = 0; round < nRounds; ++round) {
    for (CContender& c : *pContenders) {
      if (c.failed) continue;
      if (c.fnPrepare && !c.fnPrepare()) {
        c.failed = true;
        continue;
      }
      ::sync();
      QElapsedTimer timer;
      timer.start();
      const bool ok = c.fnRun();
      const double seconds = timer.nsecsElapsed() / 1e9;
      c.fnCleanUp();
      ::sync();
      if (!ok) c.failed = true;
      c.times.push_back(ok ? seconds : -1);
      if (ok && (c.best < 0 || seconds < c.best)) c.best = seconds;
    }
  }
  // Every run's time, so that the noise of a shared machine can be seen.
  std::printf("%-34s %s\n", "runs (s), in the order they ran", "");
  for (CContender& c : *pContenders) {
    if (c.failed) c.best = -1;
    std::printf("  %-32s", c.name);
    for (const double t : c.times) std::printf(" %8.3f", t);
    std::printf("\n");
  }
  std::printf("\n");
}

}  // namespace bench
