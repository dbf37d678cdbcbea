#include "core/view_batch.h"

#include <utility>

namespace fileops {

CViewChangeBatch::CViewChangeBatch(std::function<void(const CChanges&)> apply,
                                   std::function<void(const CViewChange&)> at)
    : apply_(std::move(apply)), at_(std::move(at)) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Flush(); });
  AddViewListener(this);
}

CViewChangeBatch::~CViewChangeBatch() { RemoveViewListener(this); }

void CViewChangeBatch::OnViewChange(const CViewChange& change) {
  if (at_) at_(change);
  pending_.push_back(change);
  // The timer runs from the first change after a hand-over, so hand-overs of a run are at
  // least an interval apart.
  if (!timer_.isActive()) timer_.start(ViewRunActive() ? kRunIntervalMs : 0);
}

void CViewChangeBatch::Flush() {
  if (!pending_.empty()) HandOver();
}

void CViewChangeBatch::HandOver() {
  timer_.stop();
  // Applying may run the event loop (a listing, a box); changes that come meanwhile wait
  // for the next hand-over.
  if (flushing_) return;
  flushing_ = true;
  const CChanges changes = std::exchange(pending_, {});
  apply_(changes);
  flushing_ = false;
  if (!pending_.empty()) timer_.start(ViewRunActive() ? kRunIntervalMs : 0);
}

}  // namespace fileops
