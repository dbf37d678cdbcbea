#pragma once
// A failure of an operation as a value: the operation's result code, the system error, the
// item and what failed. Steps return it; the run reports it in one place (fileops/op_run.h).

#include <QString>

#include "platform/wintypes.h"

namespace fileops {

struct COpError {
  int nCode = 0;             // the operation's result code; 0 is no failure
  DWORD dwSystem = 0;        // the system error behind it, ERROR_SUCCESS when none
  QString strPath;           // the item concerned
  QString strReason;         // what failed, as the log says it ("Could not flush")

  bool IsFailure() const { return nCode != 0; }
  // A failure with the system error now set (plat::GetLastError).
  static COpError FromLastError(int nCode, const QString& strReason, const QString& strPath);
};

// Writes the failure to the log: "<reason> <path>", then the system error's line.
void LogFailure(const COpError& error);
// The same for a reason, a path and a system error.
void LogFailure(const QString& strReason, const QString& strPath, DWORD dwError);

}  // namespace fileops
