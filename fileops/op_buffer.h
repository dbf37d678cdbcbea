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

}  // namespace fileops
