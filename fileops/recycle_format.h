#pragma once
// The files of the recycle bin, byte for byte.
//
// A recycled file is one container in the bin folder, named "<unique>.trb":
//
//   offset  size  field
//   0       10    magic: the five UTF-16LE characters "PBRBF"
//   10      1     kind: 1 for a file (2 marks a folder and is never restored from a container)
//   11      1     0
//   12      1112  the recycled-item record (below)
//   1124    size  the file's bytes, unchanged (the size is the record's 64-bit find-data size)
//
// A recycled folder is a directory of the bin named like a container without its extension.
// It holds the folder descriptor ".fldrdescr.dat" (the same 1112-byte record, nothing else),
// one container per file of the folder and one such directory per sub-folder.
//
// The recycled-item record, 1112 bytes, little-endian, no padding:
//
//   0    4    u32, always 1
//   4    12   three u32, always 0
//   16   560  WIN32_FIND_DATAW of the item when it was recycled: attributes, creation, last
//             access and last write FILETIMEs, size high and low, object id, 260 UTF-16 name
//             characters (NUL-terminated and NUL-padded)
//   576  16   SYSTEMTIME (UTC) of the moment the record was made
//   592  520  the item's original full device path, 260 UTF-16 characters, NUL-terminated and
//             NUL-padded
//
// Encoding and decoding go field by field, so the files are the same on any host.

#include <QByteArray>
#include <QString>

#include "platform/file.h"
#include "platform/wintypes.h"

namespace fileops {

// The container's extension and the descriptor's name.
inline constexpr char16_t kRecycleContainerExt[] = u".trb";
inline constexpr char16_t kFolderDescriptorName[] = u".fldrdescr.dat";
// Prefix of the unique names made in the bin (container files and folder directories).
inline constexpr char16_t kRecycleNamePrefix[] = u"pbr";

constexpr DWORD kRecycleMagicSize = 10;
constexpr DWORD kRecycleHeaderSize = 12;
constexpr DWORD kRecycleRecordSize = 1112;
constexpr DWORD kRecycleDataOffset = kRecycleHeaderSize + kRecycleRecordSize;  // 1124
constexpr BYTE kRecycleKindFile = 1;
constexpr BYTE kRecycleKindFolder = 2;

// Result codes of reading a container (the restore codes of the same meaning).
enum EContainerRead : int {
  eContainerOK = 0,
  eContainerInvalid = 3,    // not a valid container: magic, kind, record or data length
  eContainerPartial = 4,    // a container never completed: its data (or its header) is cut
  eContainerNotOpened = 5,  // the container cannot be opened or read
};

// The recycled-item record.
struct CRecycleRecord {
  DWORD dwVersion = 1;        // offset 0, always written as 1
  DWORD dwReserved[3] = {};   // offsets 4, 8, 12, always written as 0
  WIN32_FIND_DATAW findData{};
  SYSTEMTIME stRecycled{};    // UTC
  WCHAR szOriginalPath[MAX_PATH] = {};

  // The original path up to its terminator.
  QString OriginalPath() const;
  // Stores strPath NUL-padded; false (and nothing stored) when it does not fit with its
  // terminator (more than 259 characters).
  bool SetOriginalPath(const QString& strPath);
  // The name from the find data up to its terminator.
  QString Name() const;
  // The 64-bit size from the find data (high and low words).
  quint64 Size() const;
};

// A record with the words 1, 0, 0, 0, zeroed find data and path, and the current UTC time.
CRecycleRecord NewRecord();

// The 1112 bytes of a record, and back. Decode needs exactly kRecycleRecordSize bytes.
QByteArray EncodeRecord(const CRecycleRecord& record);
bool DecodeRecord(const QByteArray& bytes, CRecycleRecord* pRecord);

// The 12-byte container header of a kind.
QByteArray EncodeContainerHeader(BYTE kind);

// The checks a container's record must pass before it is restored: the words at 8 and 12
// are 0 and the original path has at least 2 characters.
bool IsRestorableRecord(const CRecycleRecord& record);

// Writes the descriptor directory + "\.fldrdescr.dat" (created or truncated) and flushes it
// to stable storage. False when it cannot be created, written, flushed or closed; a failed
// write leaves no descriptor.
bool Write(const CRecycleRecord& record, const QString& strDirectory);
// Reads the descriptor of a directory. True only when 1112 bytes were read; false when it is
// missing, shorter or unreadable.
bool Read(CRecycleRecord* pRecord, const QString& strDirectory);

// Opens a container, checks its header, record and length, and leaves *pFile open and
// positioned at the first data byte. A container is valid when the magic is "PBRBF", the
// kind is 1, the record is whole and passes IsRestorableRecord, and the file holds at least
// the record's size in data bytes.
// eContainerOK, eContainerInvalid, eContainerPartial or eContainerNotOpened.
int OpenContainer(const QString& strContainer, plat::CHostFile* pFile, CRecycleRecord* pRecord);
// The same checks without keeping the file open: what the bin's listing reads.
int ReadContainer(const QString& strContainer, CRecycleRecord* pRecord);

// True for a name the bin holds its containers under ("*.trb", ignoring case).
bool IsContainerName(const QString& strName);

}  // namespace fileops
