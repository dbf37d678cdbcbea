#pragma once
// An open file of the device, with the handheld's create modes and write-all-or-fail writes.

#include <QString>

#include "platform/wintypes.h"

namespace plat {

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;

// Creation dispositions.
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

// With the attributes of Open: a last component that is a symbolic link is refused
// (ERROR_CANT_RESOLVE_FILENAME) instead of followed, for callers that act on the item itself
// and must never reach what a link points to (a shred, a walk that met a file).
constexpr DWORD FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000;

// Seek origins.
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

// How a copy between two open files inside the host ended (CHostFile::CopyFrom).
enum class ECopyRange {
  eCopied,       // *copied bytes were copied; fewer than asked only at the source's end
  eRefused,      // the host copied *copied bytes and then would not go on (it cannot copy
                 // between these files, or failed without saying on which side): the rest
                 // is to be copied through a buffer, whose read or write then tells
  eReadFailed,   // the read of the source failed, nothing was copied (last error set)
  eWriteFailed,  // the write of this file failed, nothing was copied (last error set)
};

// What a file is besides its bytes.
struct CFileStamp {
  DWORD dwAttributes = 0;
  FILETIME creation{};
  FILETIME lastAccess{};
  FILETIME lastWrite{};
};

// Every failing call returns false and sets the last error (plat::GetLastError).
// Move-only; the destructor closes a file still open (call Close to learn whether that worked).
class CHostFile {
 public:
  CHostFile() = default;
  ~CHostFile();
  CHostFile(CHostFile&& other) noexcept;
  CHostFile& operator=(CHostFile&& other) noexcept;
  CHostFile(const CHostFile&) = delete;
  CHostFile& operator=(const CHostFile&) = delete;

  // access: GENERIC_READ and/or GENERIC_WRITE. attributes: applied when a file is created
  // (read-only, hidden, ...), and FILE_FLAG_OPEN_REPARSE_POINT. The path is resolved beneath
  // the device root: a link on the way (or an existing file that is a link) is followed only
  // while it stays inside the root; one that leads outside gives ERROR_ACCESS_DENIED. CREATE_NEW fails with ERROR_FILE_EXISTS when the name exists;
  // CREATE_ALWAYS and OPEN_ALWAYS on an existing file succeed and set ERROR_ALREADY_EXISTS.
  // A folder cannot be opened (ERROR_ACCESS_DENIED).
  bool Open(const QString& devicePath, DWORD access, DWORD creation, DWORD attributes = 0);
  bool IsOpen() const { return fd_ >= 0; }
  const QString& Path() const { return path_; }
  // Host layer only (platform/output_file.h): takes an open regular file's descriptor as this
  // file, reported under devicePath, and gives the descriptor to calls this class has not.
  void Adopt(int fd, const QString& devicePath);
  int Descriptor() const { return fd_; }

  // Reads up to `count` bytes; *read is 0 at the end of the file.
  bool Read(void* buffer, DWORD count, DWORD* read);
  // Writes all `count` bytes or fails; *written tells how many reached the file.
  bool Write(const void* buffer, DWORD count, DWORD* written);
  bool Seek(qint64 distance, DWORD origin, qint64* newPosition = nullptr);
  bool GetSize(quint64* size) const;
  // Cuts or extends the file at the current position.
  bool SetEnd();
  // True when the file's allocated blocks cover less than its length: it has holes.
  bool IsSparse() const;
  // Where the data at or after uOffset starts, and the file position is moved there; the
  // file's length when only a hole follows. uOffset itself (position unchanged) when the host
  // cannot tell.
  quint64 SeekData(quint64 uOffset);
  // Copies up to count bytes from the source's position to this file's position without
  // passing them through the program (both positions advance); file systems that can share
  // extents share them. Seen by the fault seam as the source's read and this file's write.
  ECopyRange CopyFrom(CHostFile* pSource, DWORD count, DWORD* copied);
  // Sends everything written so far to stable storage.
  bool Flush();
  // Starts writing the file's data back without waiting for it: a later Flush then waits
  // less. Failures only cost speed, so nothing is reported.
  void StartWriteBack();
  // The attributes and the three times of the open file, as GetFileAttributes and
  // GetFileTimes report them for its path.
  bool GetStamp(CFileStamp* stamp) const;
  // Null pointers leave that time as it is.
  bool SetTimes(const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);
  // False when the host reports an error on close; the file is closed either way.
  bool Close();

 private:
  int fd_ = -1;
  QString path_;
  bool created_ = false;  // made by Open and not flushed yet: Flush syncs its folder too
};

}  // namespace plat
