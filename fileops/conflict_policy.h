#pragma once
// The conflict answer of a run: one place that asks the five-button question (Yes, No, "Yes to
// all", "No to all", Cancel) and remembers a "to all" answer or a cancel for every later
// conflict of the same run, files and folders alike.

#include <QString>

namespace fileops {

// The answer a run remembers, shared by all its files and folders.
enum ECopyAnswer : int {
  eCopyAnswerAsk = 0,        // ask at the next conflict
  eCopyAnswerYesToAll = 3,   // replace or merge without asking
  eCopyAnswerNoToAll = 5,    // skip every further conflict without asking
  eCopyAnswerCancelled = 6,  // the user cancelled at a conflict prompt
};

// What one conflict comes to.
enum class EConflict {
  eProceed,   // Yes, "Yes to all", or "Yes to all" earlier: replace or merge
  eSkip,      // No: this item only
  eSkipAll,   // "No to all", now or earlier
  eCancel,    // Cancel: the run ends
};

class CConflictPolicy {
 public:
  // pAnswer holds the run's answer (an ECopyAnswer); it may be shared with callers that keep
  // the answer between calls.
  explicit CConflictPolicy(int* pAnswer) : answer_(pAnswer) {}

  // Settles one conflict: by the remembered answer, or by asking with strText and strTitle
  // (empty header). A cancel is remembered too, so that the run ends.
  EConflict Settle(const QString& strText, const QString& strTitle);
  bool IsCancelled() const { return *answer_ == eCopyAnswerCancelled; }

 private:
  int* answer_;
};

}  // namespace fileops
