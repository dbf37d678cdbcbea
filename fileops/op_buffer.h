#pragma once
// The shared operation buffer: one 256 KiB block for the whole program, through which copy,
// move, recycle, restore and shred move their data chunks. No data allocation is made per
// file or per chunk.
//
// Only one operation runs at a time. An operation takes the buffer with a COpBufferLease for
// its duration; a lease asked for on another thread while the buffer is in use is refused
// (IsHeld() false, no data pointer) and the operation fails rather than share the bytes. A
// nested lease on the thread that already holds the buffer is granted: an operation that calls
// another (a move's deletes, a recycle's copy) holds no data in the buffer across that call.

#include <functional>

#include "platform/file.h"
#include "platform/wintypes.h"

namespace fileops {

constexpr DWORD kOpBufferSize = 262144;  // 256 KiB

class COpBufferLease {
 public:
  COpBufferLease();
  ~COpBufferLease();
  COpBufferLease(const COpBufferLease&) = delete;
  COpBufferLease& operator=(const COpBufferLease&) = delete;

  bool IsHeld() const { return data_ != nullptr; }
  // kOpBufferSize bytes, aligned to 4096; null when the lease was refused.
  BYTE* Data() const { return data_; }

 private:
  BYTE* data_ = nullptr;
};

// How a chunked copy ended.
enum class EChunkCopy { eDone, eReadFailed, eWriteFailed, eStopped };

// Copies uSize bytes (the source's length when it was opened) from pSource to pDest in chunks
// of up to kOpBufferSize: inside the kernel (plat::CHostFile::CopyFrom), or through buffer,
// the leased operation buffer, from where the kernel refuses on. After each chunk
// fnChunk(done, got), when given, is asked whether to go on; false stops the copy. A source
// that ends early has changed under the copy and fails as a read (ERROR_HANDLE_EOF). A failure
// is logged with the path of the file that failed and leaves the last error set.
EChunkCopy CopyChunks(plat::CHostFile* pSource, quint64 uSize, plat::CHostFile* pDest,
                      BYTE* buffer, const std::function<bool(quint64, quint64)>& fnChunk);

}  // namespace fileops
