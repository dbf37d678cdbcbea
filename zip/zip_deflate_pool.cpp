#include <libdeflate.h>

#include <algorithm>

#include "zip/zip_deflate_pool_internal.h"

namespace zip {

CDeflatePool::CDeflatePool(int nLevel) : level_(nLevel) {
  const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 4u));
  for (unsigned i = 0; i < cores; ++i) threads_.emplace_back([this] { Work(); });
}

CDeflatePool::~CDeflatePool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void CDeflatePool::Submit(std::unique_ptr<CDeflateJob> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (job->bFolder) job->bStarted = job->bDone = true;
    pending_ += job->size;
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

std::unique_ptr<CDeflateJob> CDeflatePool::TakeOldest(bool bWait) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (bWait) done_.wait(lock, [this] { return jobs_.empty() || jobs_.front()->bDone; });
  if (jobs_.empty() || !jobs_.front()->bDone) return nullptr;
  std::unique_ptr<CDeflateJob> job = std::move(jobs_.front());
  jobs_.pop_front();
  pending_ -= job->size;
  return job;
}

bool CDeflatePool::Empty() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return jobs_.empty();
}

quint64 CDeflatePool::PendingBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_;
}

void CDeflatePool::Work() {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(level_);
  for (;;) {
    CDeflateJob* job = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] {
        if (ending_) return true;
        for (auto& queued : jobs_)
          if (!queued->bStarted) return true;
        return false;
      });
      if (ending_) break;
      for (auto& queued : jobs_)
        if (!queued->bStarted) {
          job = queued.get();
          job->bStarted = true;
          break;
        }
    }
    // Jobs stay in the queue until taken, and only the oldest is taken, once done: this one
    // is not taken before it is marked done below.
    job->crc = quint32(libdeflate_crc32(0, job->data.data(), job->data.size()));
    job->bDeflated = false;
    if (compressor && !job->data.empty()) {
      job->packed.resize(libdeflate_deflate_compress_bound(compressor, job->data.size()));
      const size_t size = libdeflate_deflate_compress(
          compressor, job->data.data(), job->data.size(), job->packed.data(), job->packed.size());
      // Stored when deflate does not make it smaller.
      job->bDeflated = size != 0 && size < job->data.size();
      job->packed.resize(job->bDeflated ? size : 0);
      job->packed.shrink_to_fit();
      if (job->bDeflated) std::vector<char>().swap(job->data);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job->bDone = true;
    }
    done_.notify_all();
  }
  libdeflate_free_compressor(compressor);
}

}  // namespace zip
