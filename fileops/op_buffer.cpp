#include "fileops/op_buffer.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <cstdlib>

namespace fileops {
namespace {

QMutex& LeaseMutex() {
  static QMutex mutex;
  return mutex;
}

// Guarded by LeaseMutex(): the thread that holds the buffer and how many leases it holds.
Qt::HANDLE owner = nullptr;
int depth = 0;

// Allocated on first use and kept for the life of the process.
BYTE* Buffer() {
  static BYTE* const buffer = static_cast<BYTE*>(std::aligned_alloc(4096, kOpBufferSize));
  return buffer;
}

}  // namespace

COpBufferLease::COpBufferLease() {
  QMutexLocker lock(&LeaseMutex());
  const Qt::HANDLE self = QThread::currentThreadId();
  if (depth > 0 && owner != self) return;
  BYTE* buffer = Buffer();
  if (!buffer) return;
  owner = self;
  ++depth;
  data_ = buffer;
}

COpBufferLease::~COpBufferLease() {
  if (!data_) return;
  QMutexLocker lock(&LeaseMutex());
  if (--depth == 0) owner = nullptr;
}

}  // namespace fileops
