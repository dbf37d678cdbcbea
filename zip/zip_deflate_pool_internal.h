#pragma once
// Whole entries deflated on worker threads while the caller reads the next files: the jobs are
// written to the archive in the order they were given, each as soon as it and every job before
// it are done.

#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/wintypes.h"

namespace zip {

struct CDeflateJob {
  QString name;
  DWORD attr = 0;
  FILETIME write{}, access{}, creation{};
  bool bFolder = false;
  quint64 size = 0;          // the file's length
  std::vector<char> data;    // the file's bytes (released once deflated)
  std::vector<char> packed;  // deflated, when that made them smaller
  quint32 crc = 0;
  bool bDeflated = false;
  bool bStarted = false;
  bool bDone = false;
};

class CDeflatePool {
 public:
  explicit CDeflatePool(int nLevel);
  ~CDeflatePool();
  CDeflatePool(const CDeflatePool&) = delete;
  CDeflatePool& operator=(const CDeflatePool&) = delete;

  // Queues a job (a folder is done at once).
  void Submit(std::unique_ptr<CDeflateJob> job);
  // The oldest job when it is done; with bWait it is waited for. Null when there is none (or,
  // without bWait, it is not done yet).
  std::unique_ptr<CDeflateJob> TakeOldest(bool bWait);
  bool Empty() const;
  // The bytes of the jobs not taken yet.
  quint64 PendingBytes() const;

 private:
  void Work();

  int level_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;  // a job was queued, or the pool ends
  std::condition_variable done_;  // a job is done
  std::deque<std::unique_ptr<CDeflateJob>> jobs_;
  quint64 pending_ = 0;
  bool ending_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace zip
