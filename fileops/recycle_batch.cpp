// The flush batch of the recycle and restore runs.
#include <fcntl.h>
#include <unistd.h>

#include "core/app_log.h"
#include "fileops/recycle_internal.h"
#include "platform/device_root.h"
#include "platform/errors.h"

namespace fileops::recycle_detail {
namespace {

// Starts the write-back of one file's data without waiting for it. The host layer has no call
// for it; the device path is still mapped by it. Failures only cost speed: the flush decides.
void StartWriteBack(const QString& strDevicePath) {
  QByteArray host;
  if (!plat::CDeviceRoot::ToHost(strDevicePath, &host)) return;
  const int fd = ::open(host.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return;
  ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  ::close(fd);
}

}  // namespace

bool CFlushBatch::Add(plat::CHostFile&& file, FnDone fnDone) {
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
  for (const CItem& item : items) StartWriteBack(item.file.Path());
  int firstFailure = 0;
  for (CItem& item : items) {
    bool bDurable = item.file.Flush();
    if (!bDurable) {
      LogErr(u"Could not flush %s", item.file.Path());
      LogSystemError(plat::GetLastError());
    }
    const QString path = item.file.Path();
    if (!item.file.Close() && bDurable) {
      LogErr(u"Could not close %s", path);
      LogSystemError(plat::GetLastError());
      bDurable = false;
    }
    const int result = item.fnDone(bDurable);
    if (firstFailure == 0) firstFailure = result;
  }
  return firstFailure;
}

}  // namespace fileops::recycle_detail
