#pragma once
// The calling thread's last error and the system texts of error codes.

#include <QString>

#include "platform/wintypes.h"

namespace plat {

// The last error of the calling thread, as every failing host call sets it.
DWORD GetLastError();
void SetLastError(DWORD error);

// Maps a host errno value to the handheld's error code (ENOSPC → ERROR_DISK_FULL, EIO →
// ERROR_IO_DEVICE, EACCES/EPERM/EROFS → ERROR_ACCESS_DENIED, ...).
DWORD ErrorFromErrno(int err);

// The system's description of an error code as the handheld's FormatMessageW gives it:
// one sentence ending in "\r\n" ("The system cannot find the file specified.\r\n").
// An unknown code gives an empty string.
QString SystemMessage(DWORD error);

}  // namespace plat
