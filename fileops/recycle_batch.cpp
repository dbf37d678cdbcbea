// The flush batch of the recycle and restore runs.
#include <map>

#include "core/app_log.h"
#include "core/path_helpers.h"
#include "fileops/op_run.h"
#include "fileops/recycle_internal.h"
#include "platform/errors.h"
#include "platform/file_system.h"

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
  std::vector<QString> placed(items.size());  // final paths of the outputs put in place
  for (size_t i = 0; i < items.size(); ++i) {
    const QString path = items[i].file.FinalPath();
    if (CompleteOutput(&items[i].file, true, true, false)) placed[i] = path;
  }
  // The names: each folder once, after all of its new entries are made.
  std::map<QString, bool> folders;
  for (const QString& path : placed) {
    if (path.isEmpty()) continue;
    const QString folder = browse::ParentPath(path);
    if (folders.count(folder)) continue;
    const bool bFlushed = plat::FlushFolder(folder);
    if (!bFlushed) LogFailure(QStringLiteral("Could not flush the folder"), folder,
                              plat::GetLastError());
    folders[folder] = bFlushed;
  }
  int firstFailure = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    bool bDurable = !placed[i].isEmpty() && folders[browse::ParentPath(placed[i])];
    // A name that may not survive is taken back, so that nothing of the output is left.
    if (!placed[i].isEmpty() && !bDurable) plat::DeleteFile(placed[i]);
    const int result = items[i].fnDone(bDurable);
    if (firstFailure == 0) firstFailure = result;
  }
  return firstFailure;
}

}  // namespace fileops::recycle_detail
