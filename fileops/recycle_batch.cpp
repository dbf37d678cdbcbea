// The flush batch of the recycle and restore runs.
#include <algorithm>
#include <map>
#include <vector>

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

namespace {

// One folder of each file system the paths lie on.
std::vector<QString> OneFolderPerFileSystem(const std::vector<QString>& paths) {
  std::map<QString, bool> seenFolders;
  std::map<quint64, QString> byDevice;
  for (const QString& path : paths) {
    const QString folder = browse::ParentPath(path);
    if (seenFolders.count(folder)) continue;
    seenFolders[folder] = true;
    quint64 device = 0, inode = 0;
    if (!plat::GetItemIdentity(folder, &device, &inode)) device = ~0ull - seenFolders.size();
    byDevice.emplace(device, folder);
  }
  std::vector<QString> folders;
  for (const auto& [device, folder] : byDevice) folders.push_back(folder);
  return folders;
}

// Sends everything written to each file system to stable storage; false when one failed.
bool FlushFileSystems(const std::vector<QString>& folders) {
  bool bOk = true;
  for (const QString& folder : folders) {
    if (plat::FlushFileSystem(folder)) continue;
    LogFailure(QStringLiteral("Could not flush the file system of"), folder,
               plat::GetLastError());
    bOk = false;
  }
  return bOk;
}

}  // namespace

int CFlushBatch::Commit() {
  if (items_.empty()) return 0;
  std::vector<CItem> items;
  items.swap(items_);  // a follow-up step may add to a new batch
  std::vector<QString> finals;
  for (CItem& item : items) finals.push_back(item.file.FinalPath());
  const std::vector<QString> fileSystems = OneFolderPerFileSystem(finals);
  // The data of every output is on its way at once; then one wait per file system covers
  // all of it (a flush of each file would wait for the device once per file). The outputs
  // have no final name yet, so a crash meanwhile leaves none with part of its data.
  for (CItem& item : items) item.file.StartWriteBack();
  const bool bDataOnDisk = FlushFileSystems(fileSystems);
  std::vector<char> placed(items.size(), 0);
  for (size_t i = 0; i < items.size(); ++i)
    placed[i] = CompleteOutput(&items[i].file, bDataOnDisk, false, false);
  // The names, once for the whole batch.
  const bool bNamesOnDisk =
      std::find(placed.begin(), placed.end(), 1) != placed.end() && FlushFileSystems(fileSystems);
  int firstFailure = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const bool bDurable = placed[i] && bNamesOnDisk;
    // A name that may not survive is taken back, so that nothing of the output is left.
    if (placed[i] && !bDurable) plat::DeleteFile(finals[i]);
    const int result = items[i].fnDone(bDurable);
    if (firstFailure == 0) firstFailure = result;
  }
  return firstFailure;
}

}  // namespace fileops::recycle_detail
