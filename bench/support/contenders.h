#pragma once
// Timing of several contenders on the same data, for the benchmarks that set our operations
// beside the host's tools.

#include <unistd.h>

#include <QElapsedTimer>

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
      if (ok && (c.best < 0 || seconds < c.best)) c.best = seconds;
    }
  }
  for (CContender& c : *pContenders)
    if (c.failed) c.best = -1;
}

}  // namespace bench
