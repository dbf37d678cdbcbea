// The flush batch of the recycle and restore runs.
#include "core/app_log.h"
#include "fileops/op_run.h"
#include "fileops/recycle_internal.h"
#include "platform/errors.h"

namespace fileops::recycle_detail {

bool CFlushBatch::Add(plat::COutputFile&& file, FnDone fnDone) {
  items_.push_back({std::move(file), std::move(fnDone)});
  return items_.size() >= kMaxFiles;
}

int CFlushBatch::Commit() {
  if (items_.empty()) return 0;
  std::vector<CItem> items;
  items.swap(items_);  // a follow-up step may add to a new batch
  // Only speeds up the flushes below (the data of all files is on its way before the first
  // wait, and one journal commit covers many of them); each file is still flushed and
  // checked on its own. Unlike a write-back of the whole file system, it never waits for
  // other programs' data.
  for (CItem& item : items) item.file.StartWriteBack();
  int firstFailure = 0;
  for (CItem& item : items) {
    const bool bDurable = CompleteOutput(&item.file, true, true, true);
    const int result = item.fnDone(bDurable);
    if (firstFailure == 0) firstFailure = result;
  }
  return firstFailure;
}

}  // namespace fileops::recycle_detail
