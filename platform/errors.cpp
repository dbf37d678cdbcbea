#include "platform/errors.h"

#include <cerrno>

namespace plat {
namespace {

thread_local DWORD g_lastError = ERROR_SUCCESS;

struct CErrnoMapping {
  int err;
  DWORD code;
};

// ENOENT and ENOTDIR get their final code from the caller when it knows whether the parent
// folder exists (PathErrorFromErrno in host_stat.h); this table gives the plain answer.
constexpr CErrnoMapping kErrnoTable[] = {
    {0, ERROR_SUCCESS},
    {EPERM, ERROR_ACCESS_DENIED},
    {EACCES, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EEXIST, ERROR_ALREADY_EXISTS},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_DISK_FULL},
    {EIO, ERROR_IO_DEVICE},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EBUSY, ERROR_BUSY},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {ESPIPE, ERROR_INVALID_PARAMETER},
    {EBADF, ERROR_INVALID_HANDLE},
    {EILSEQ, ERROR_INVALID_NAME},
    {ENOTSUP, ERROR_NOT_SUPPORTED},
    {ENOSYS, ERROR_NOT_SUPPORTED},
    {ENXIO, ERROR_NOT_READY},
    {ENODEV, ERROR_NOT_READY},
    {ENOMEDIUM, ERROR_NOT_READY},
    {EAGAIN, ERROR_LOCK_VIOLATION},
    {EPIPE, ERROR_BROKEN_PIPE},
};

struct CMessage {
  DWORD code;
  const char* text;
};

// The handheld's English system texts, as FormatMessageW gives them (without the "\r\n",
// which SystemMessage adds).
constexpr CMessage kMessages[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough storage is available to process this command."},
    {13, "The data is invalid."},
    {14, "Not enough storage is available to complete this operation."},
    {15, "The system cannot find the drive specified."},
    {16, "The directory cannot be removed."},
    {17, "The system cannot move the file to a different disk drive."},
    {18, "There are no more files."},
    {19, "The media is write protected."},
    {21, "The device is not ready."},
    {23, "Data error (cyclic redundancy check)."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {31, "A device attached to the system is not functioning."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33,
     "The process cannot access the file because another process has locked a portion of the "
     "file."},
    {38, "Reached the end of the file."},
    {39, "The disk is full."},
    {50, "The request is not supported."},
    {80, "The file exists."},
    {82, "The directory or file cannot be created."},
    {87, "The parameter is incorrect."},
    {109, "The pipe has been ended."},
    {111, "The file name is too long."},
    {112, "There is not enough space on the disk."},
    {120, "This function is not supported on this system."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {131, "An attempt was made to move the file pointer before the beginning of the file."},
    {145, "The directory is not empty."},
    {161, "The specified path is invalid."},
    {170, "The requested resource is in use."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {267, "The directory name is invalid."},
    {998, "Invalid access to memory location."},
    {1009, "The configuration registry database is corrupt."},
    {1010, "The configuration registry key is invalid."},
    {1011, "The configuration registry key could not be opened."},
    {1012, "The configuration registry key could not be read."},
    {1013, "The configuration registry key could not be written."},
    {1014,
     "One of the files in the registry database had to be recovered by use of a log or "
     "alternate copy. The recovery was successful."},
    {1015,
     "The registry is corrupted. The structure of one of the files containing registry data is "
     "corrupted, or the system's memory image of the file is corrupted, or the file could not "
     "be recovered because the alternate copy or log was absent or corrupted."},
    {1016,
     "An I/O operation initiated by the registry failed unrecoverably. The registry could not "
     "read in, or write out, or flush, one of the files that contain the system's image of the "
     "registry."},
    {1017,
     "The system has attempted to load or restore a file into the registry, but the specified "
     "file is not in a registry file format."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
    {1117, "The request could not be performed because of an I/O device error."},
    {1223, "The operation was canceled by the user."},
    {1392, "The file or directory is corrupted and unreadable."},
    {1921, "The name of the file cannot be resolved by the system."},
};

}  // namespace

DWORD GetLastError() { return g_lastError; }

void SetLastError(DWORD error) { g_lastError = error; }

DWORD ErrorFromErrno(int err) {
  for (const CErrnoMapping& m : kErrnoTable)
    if (m.err == err) return m.code;
  return ERROR_GEN_FAILURE;
}

QString SystemMessage(DWORD error) {
  for (const CMessage& m : kMessages)
    if (m.code == error) return QString::fromLatin1(m.text) + QStringLiteral("\r\n");
  return {};
}

}  // namespace plat
