#pragma once
// A seam in the host file layer for tests: make the Nth call of an operation fail with a chosen
// error (disk full, I/O error, access denied), and observe every call. Production code never
// arms it; when nothing is armed the cost is one relaxed atomic load per call.

#include <functional>

#include <QString>

#include "platform/wintypes.h"

namespace plat {

enum class EFaultOp {
  eFaultCreate,      // CHostFile::Open, CreateDirectory, GetTempFileName's exclusive create
  eFaultRead,        // CHostFile::Read
  eFaultWrite,       // CHostFile::Write, SetEnd
  eFaultFlush,       // CHostFile::Flush
  eFaultClose,       // CHostFile::Close
  eFaultRename,      // MoveFile, ReplaceFile
  eFaultDelete,      // DeleteFile, RemoveDirectory
  eFaultAttributes,  // SetFileAttributes, SetFileTimes, CHostFile::SetTimes
  eFaultFlushFolder, // FlushFolder: a folder's entries sent to stable storage
  eFaultFlushFileSystem,  // FlushFileSystem: everything written to a file system sent there
};

// One observed call: the operation, the device path, and for reads and writes the file
// position before the call and the byte count asked for.
struct CFileOpEvent {
  EFaultOp op;
  QString path;
  qint64 position = 0;
  qint64 bytes = 0;
};

class CFaultInjector {
 public:
  // The nth call of `op` from now on (1-based) fails with `error`; with `sticky` every later
  // call fails as well (a disk that stays full). A write that fails this way writes nothing.
  static void FailNth(EFaultOp op, int nth, DWORD error, bool sticky = false);
  // Every call of `op` on an item in the device folder strFolder or below it (by the path the
  // call reports) fails with `error` until Reset: a part of the tree that behaves apart, such
  // as another file system (ERROR_NOT_SAME_DEVICE on MoveFile).
  static void FailUnder(EFaultOp op, const QString& strFolder, DWORD error);
  // Disarms every fault and removes the observer.
  static void Reset();
  // Called for every operation, failing or not, on the calling thread.
  static void SetObserver(std::function<void(const CFileOpEvent&)> observer);

  // Used by the host layer before each operation: reports the call to the observer and
  // returns true (with the error to set) when this call must fail.
  static bool Intercept(const CFileOpEvent& event, DWORD* error);
  // True while a fault or an observer is set; lets a caller skip building the event.
  static bool IsArmed();
};

// Reports an operation on a path to the injector; true, with the last error set, when this
// call must fail. The host layer's calls that carry no file position use it.
bool InjectedFault(EFaultOp op, const QString& path);

}  // namespace plat
