#include "fileops/op_buffer.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <cstdlib>

#include "core/app_log.h"
#include "fileops/op_error.h"
#include "platform/errors.h"

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

EChunkCopy CopyChunks(plat::CHostFile* pSource, quint64 uSize, plat::CHostFile* pDest,
                      BYTE* buffer, const std::function<bool(quint64, quint64)>& fnChunk) {
  quint64 done = 0;
  // A source with holes keeps them: its holes are skipped on both sides, so the copy has them
  // too and reads back the same bytes.
  const bool bSparse = pSource->IsSparse();
  bool bEndsInHole = false;
  bool bKernel = true;  // the kernel copies until it refuses once
  while (done < uSize) {
    if (bSparse) {
      // SeekData leaves the source at the data; the destination follows it.
      const quint64 data = std::min(pSource->SeekData(done), uSize);
      if (data > done) {
        if (!pDest->Seek(static_cast<qint64>(data - done), plat::FILE_CURRENT)) {
          LogFailure(QStringLiteral("Could not seek in"), pDest->Path(), plat::GetLastError());
          return EChunkCopy::eWriteFailed;
        }
        const quint64 hole = data - done;
        done = data;
        bEndsInHole = true;
        if (fnChunk && !fnChunk(done, hole)) return EChunkCopy::eStopped;
        continue;
      }
      bEndsInHole = false;
    }
    DWORD want = static_cast<DWORD>(std::min<quint64>(uSize - done, kOpBufferSize));
    DWORD got = 0;
    if (bKernel) {
      // The kernel moves the step's bytes; where it refuses, the rest of the file goes
      // through the buffer, whose read or write then names the side that failed.
      DWORD copied = 0;
      switch (pDest->CopyFrom(pSource, want, &copied)) {
        case plat::ECopyRange::eCopied:
          if (copied == 0) {
            LogErr(u"%s became shorter while it was copied", pSource->Path());
            plat::SetLastError(ERROR_HANDLE_EOF);
            return EChunkCopy::eReadFailed;
          }
          done += copied;
          if (fnChunk && !fnChunk(done, copied)) return EChunkCopy::eStopped;
          continue;
        case plat::ECopyRange::eReadFailed:
          LogFailure(QStringLiteral("Could not read"), pSource->Path(), plat::GetLastError());
          return EChunkCopy::eReadFailed;
        case plat::ECopyRange::eWriteFailed:
          LogFailure(QStringLiteral("Could not write"), pDest->Path(), plat::GetLastError());
          return EChunkCopy::eWriteFailed;
        case plat::ECopyRange::eRefused:
          bKernel = false;
          done += copied;
          if (copied > 0 && fnChunk && !fnChunk(done, copied)) return EChunkCopy::eStopped;
          want -= copied;
          if (want == 0) continue;
          break;
      }
    }
    if (!pSource->Read(buffer, want, &got)) {
      LogFailure(QStringLiteral("Could not read"), pSource->Path(), plat::GetLastError());
      return EChunkCopy::eReadFailed;
    }
    if (got == 0) {
      LogErr(u"%s became shorter while it was copied", pSource->Path());
      plat::SetLastError(ERROR_HANDLE_EOF);
      return EChunkCopy::eReadFailed;
    }
    DWORD written = 0;
    if (!pDest->Write(buffer, got, &written)) {
      LogFailure(QStringLiteral("Could not write"), pDest->Path(), plat::GetLastError());
      return EChunkCopy::eWriteFailed;
    }
    done += got;
    if (fnChunk && !fnChunk(done, got)) return EChunkCopy::eStopped;
  }
  // A hole at the end gives the copy its length.
  if (bEndsInHole && !pDest->SetEnd()) {
    LogFailure(QStringLiteral("Could not write"), pDest->Path(), plat::GetLastError());
    return EChunkCopy::eWriteFailed;
  }
  return EChunkCopy::eDone;
}

}  // namespace fileops
