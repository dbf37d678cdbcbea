#pragma once
// The zip layer: every access to a zip archive goes through these calls. A handle is open
// either for reading (OpenZip) or for writing (CreateZip), never both. The calls return the
// result codes below, which are bit patterns and compared as such; they show nothing.
//
// Reading: the central directory is read once at OpenZip; GetZipItem gives an entry's record
// with its name cleaned, decoded (UTF-8 when the entry says so, else code page 437) and its
// times as FILETIMEs; UnzipItemToBuffer gives the entry's data one buffer at a time and
// checks its CRC at the end. Entries whose name would leave the folder they are extracted to
// (a climb that survives the cleaning, a NUL) and symbolic-link members carry a refusal and
// give no data.
//
// Writing: the archive is written under a temporary name in its folder and put in place only
// when CloseZip succeeds; an archive that is not closed, or whose close fails, leaves nothing
// (an existing file of that name stays as it was). Names that are not ASCII are stored as
// UTF-8 with the entry's UTF-8 flag; each entry carries its DOS time (local time) and the
// extended timestamp (UTC). Archives of more than 65,535 entries or 4 GiB use zip64.

#include <QString>

#include <functional>
#include <memory>

#include "platform/wintypes.h"

namespace zip {

enum EZipResult : DWORD {
  eZipOK = 0x00000,
  eZipDupHandle = 0x00100,   // a handle could not be duplicated
  eZipNoFile = 0x00200,      // the file could not be created or opened
  eZipNoAlloc = 0x00300,     // memory could not be allocated
  eZipWrite = 0x00400,       // a write to the file failed
  eZipNotFound = 0x00500,    // the entry was not found
  eZipMore = 0x00600,        // more data of the entry remains: call again
  eZipCorrupt = 0x00700,     // the archive is corrupt or not a zip file
  eZipRead = 0x00800,        // a read failed
  eZipStopped = 0x00900,     // the progress callback asked to stop
  eZipRefused = 0x00A00,     // the entry's name or kind is unsafe to extract (see ZIPENTRY)
  eZipPassword = 0x01000,    // the entry is encrypted (a password would be needed)
  eZipArgs = 0x10000,        // faulty arguments
  eZipHandleKind = 0x80000,  // the handle is of the wrong kind (reading versus writing)
};

// Why an entry is not extracted.
enum class EZipRefusal {
  eNone,
  eClimbs,   // the cleaned name still leaves its folder (".." components, a leading "..\")
  eBadName,  // the name holds a NUL, or nothing is left of it
  eLink,     // a symbolic link
};

// One entry of the central directory.
struct ZIPENTRY {
  int index = 0;     // 0-based; for GetZipItem(-1) the number of entries
  QString name;      // cleaned, "/" separated as stored
  DWORD attr = 0;    // file-system attributes; 0x10 marks a folder
  FILETIME ctime{};  // creation, last access, last write (UTC)
  FILETIME atime{};
  FILETIME mtime{};
  quint64 comp_size = 0;
  quint64 unc_size = 0;
  EZipRefusal refusal = EZipRefusal::eNone;
  QString rawName;  // the decoded name before the cleaning (for reports)

  bool IsFolder() const { return (attr & 0x10) != 0; }
};

class CZipHandle;
using HZIP = CZipHandle*;

// ---- Reading ----

// Null when the file cannot be opened or is not a zip archive.
HZIP OpenZip(const QString& strPath);
// index -1: entry->index receives the number of entries.
DWORD GetZipItem(HZIP hz, int index, ZIPENTRY* entry);
// Fills buffer with the next part of the entry's data (*pdwRead bytes); eZipMore while more
// follows, eZipOK with the last part (its CRC checked), eZipPassword for an encrypted entry,
// eZipCorrupt for damaged data, eZipRefused for a refused entry. Asking for another entry (or
// the same one after its end) starts that entry from its beginning.
DWORD UnzipItemToBuffer(HZIP hz, int index, void* buffer, DWORD dwSize, DWORD* pdwRead);

// ---- Writing ----

// Called with the number of bytes just compressed; false asks to stop.
using FnZipProgress = std::function<bool(quint64 uBytes)>;

// Null when the archive's output cannot be created. An existing archive of that name is
// replaced only when CloseZip succeeds.
HZIP CreateZip(const QString& strPath);
// 0 stores, 1-9 deflate levels; eZipArgs above 9.
DWORD SetZipLevel(HZIP hz, int nLevel);
DWORD SetZipProgress(HZIP hz, FnZipProgress fnProgress);
// Adds the file at strSourcePath (a device path) as strName ("\" or "/" separated).
DWORD ZipAddFile(HZIP hz, const QString& strName, const QString& strSourcePath);
// Adds a folder entry (a trailing separator is added when missing).
DWORD ZipAddFolder(HZIP hz, const QString& strName);
// The device path the archive is being written through (its temporary, or its final path),
// so that a walk can leave it out. Empty for a reading handle.
QString ZipWritePath(HZIP hz);

// Closes a handle of either kind. A writing handle: the central directory is written and the
// archive put in place (eZipOK), or, after a failure or a stop, everything written is removed
// and the failure returned.
DWORD CloseZip(HZIP hz);

// Closes the handle when it goes.
struct CZipCloser {
  void operator()(CZipHandle* hz) const { CloseZip(hz); }
};
using CZipPtr = std::unique_ptr<CZipHandle, CZipCloser>;

}  // namespace zip
