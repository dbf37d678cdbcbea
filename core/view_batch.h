#pragma once
// Gathers view notifications for one view and hands them over together: during a run
// (CViewRun) at most every 200 ms and once when the run ends, otherwise at the next pass of
// the event loop. A view that follows many changes thus updates its rows a few times per
// second instead of once per file, and never in the middle of a single file's step.
//
// The batch subscribes itself while it exists. User-interface thread only (it owns a timer).

#include <QTimer>

#include <functional>
#include <vector>

#include "core/view_notify.h"

namespace fileops {

class CViewChangeBatch : public IViewListener {
 public:
  using CChanges = std::vector<CViewChange>;
  static constexpr int kRunIntervalMs = 200;

  // apply receives the gathered changes in the order they came; at (optional) sees each change
  // as it comes, for what cannot wait (a view leaving a folder that is gone).
  explicit CViewChangeBatch(std::function<void(const CChanges&)> apply,
                            std::function<void(const CViewChange&)> at = {});
  ~CViewChangeBatch() override;
  CViewChangeBatch(const CViewChangeBatch&) = delete;
  CViewChangeBatch& operator=(const CViewChangeBatch&) = delete;

  // Hands over what is gathered now (nothing when nothing is).
  void Flush();
  bool Pending() const { return !pending_.empty(); }

  void OnViewChange(const CViewChange& change) override;
  // Hands over at the end of a run even when nothing is gathered: a view may have kept work
  // for the run's end.
  void OnViewRunEnded() override { HandOver(); }

 private:
  void HandOver();

  std::function<void(const CChanges&)> apply_;
  std::function<void(const CViewChange&)> at_;
  CChanges pending_;
  QTimer timer_;
  bool flushing_ = false;
};

}  // namespace fileops
