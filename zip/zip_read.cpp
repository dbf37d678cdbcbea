// Reading archives: the central directory at open, entry records, entry data.
#include <libdeflate.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>

#include "platform/file.h"
#include "zip/zip_extra.h"
#include "zip/zip_handle_internal.h"
#include "zip/zip_names.h"
#include "zip/zip_read_internal.h"

namespace zip {
namespace {

constexpr DWORD kFolderAttr = 0x10;
constexpr DWORD kArchiveAttr = 0x20;
constexpr DWORD kUnixHost = 3;
constexpr quint32 kUnixTypeMask = 0170000;
constexpr quint32 kUnixLink = 0120000;
constexpr quint32 kUnixFolder = 0040000;

// The fields of one central directory header that the records are made of.
struct CRawRecord {
  quint32 version = 0;
  quint32 flag = 0;
  quint32 method = 0;
  quint32 dosDate = 0;
  quint32 crc = 0;
  quint64 compSize = 0;
  quint64 uncSize = 0;
  quint32 external = 0;
  QByteArray name;
  QByteArray extra;
};

// Appends the record of one entry to the handle.
void AddRecord(CZipHandle* hz, const CRawRecord& raw, const unz64_file_pos& pos) {
  ZIPENTRY e;
  e.index = int(hz->entries.size());
  e.rawName = DecodeEntryName(raw.name, (raw.flag & 0x800) != 0, raw.extra);
  const QString cleaned = CleanZipName(e.rawName);
  e.refusal = CheckZipName(cleaned);
  e.name = e.refusal == EZipRefusal::eNone ? TidyZipName(cleaned) : cleaned;
  const DWORD host = (raw.version >> 8) & 0xFF;
  const quint32 unixMode = raw.external >> 16;
  e.attr = DWORD(raw.external & 0xFF);
  if (host == kUnixHost && (unixMode & kUnixTypeMask) == kUnixLink) e.refusal = EZipRefusal::eLink;
  if (e.name.endsWith(u'/') || e.name.endsWith(u'\\') ||
      (host == kUnixHost && (unixMode & kUnixTypeMask) == kUnixFolder))
    e.attr |= kFolderAttr;
  if (!(e.attr & kFolderAttr)) e.attr |= kArchiveAttr;
  e.comp_size = raw.compSize;
  e.unc_size = raw.uncSize;
  EntryTimes(raw.extra, raw.dosDate, &e.ctime, &e.atime, &e.mtime);
  hz->entries.push_back(std::move(e));
  hz->positions.push_back(pos);
  hz->encrypted.push_back((raw.flag & 1) != 0);
  hz->unsupported.push_back(raw.method != 0 && raw.method != Z_DEFLATED);
  hz->crcs.push_back(raw.crc);
  hz->deflated.push_back(raw.method == Z_DEFLATED);
}

// The current entry of minizip's walk through the directory, or false.
bool ReadCurrentRecord(unzFile uf, CRawRecord* pRaw, std::vector<char>* pName,
                       std::vector<char>* pExtra) {
  // Names and extra fields hold at most 65,535 bytes each: one call fills them.
  unz_file_info64 info{};
  if (pName->size() < 0x10000) pName->resize(0x10000);
  if (pExtra->size() < 0x10000) pExtra->resize(0x10000);
  if (unzGetCurrentFileInfo64(uf, &info, pName->data(), uLong(pName->size()), pExtra->data(),
                              uLong(pExtra->size()), nullptr, 0) != UNZ_OK)
    return false;
  pRaw->version = quint32(info.version);
  pRaw->flag = quint32(info.flag);
  pRaw->method = quint32(info.compression_method);
  pRaw->dosDate = quint32(info.dosDate);
  pRaw->crc = quint32(info.crc);
  pRaw->compSize = info.compressed_size;
  pRaw->uncSize = info.uncompressed_size;
  pRaw->external = quint32(info.external_fa);
  pRaw->name = QByteArray(pName->data(), qsizetype(info.size_filename));
  pRaw->extra = QByteArray(pExtra->data(), qsizetype(info.size_file_extra));
  return true;
}

quint16 Le16(const char* p) { return quint16(uchar(p[0]) | uchar(p[1]) << 8); }
quint32 Le32(const char* p) { return quint32(Le16(p)) | quint32(Le16(p + 2)) << 16; }
quint64 Le64(const char* p) { return quint64(Le32(p)) | quint64(Le32(p + 4)) << 32; }

// The whole directory parsed in memory, from where minizip found its first header: much
// faster than minizip's walk, which reads each header three times in small pieces. False
// (nothing added) when the directory is not laid out as expected there; the walk then decides.
bool ParseDirectory(CZipHandle* hz, size_t count) {
  unz64_file_pos first{};
  if (unzGoToFirstFile(hz->uf) != UNZ_OK || unzGetFilePos64(hz->uf, &first) != UNZ_OK) return false;
  const quint64 base = first.pos_in_zip_directory;
  if (base >= hz->in.size || hz->in.size - base > (quint64(1) << 31)) return false;
  std::vector<char> dir(size_t(hz->in.size - base));
  DWORD got = 0;
  if (!hz->in.file.Seek(qint64(base), plat::FILE_BEGIN) ||
      !hz->in.file.Read(dir.data(), DWORD(dir.size()), &got) || got != dir.size())
    return false;
  hz->in.bufferUsed = 0;  // the stream's buffer no longer matches the file position
  CRawRecord raw;
  size_t at = 0;
  for (size_t i = 0; i < count; ++i) {
    if (at + 46 > dir.size()) return false;
    const char* h = dir.data() + at;
    if (Le32(h) != 0x02014b50) return false;
    raw.version = Le16(h + 4);
    raw.flag = Le16(h + 8);
    raw.method = Le16(h + 10);
    raw.dosDate = Le32(h + 12);
    raw.crc = Le32(h + 16);
    raw.compSize = Le32(h + 20);
    raw.uncSize = Le32(h + 24);
    const size_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
    raw.external = Le32(h + 38);
    quint64 localOffset = Le32(h + 42);
    if (at + 46 + nameLen + extraLen + commentLen > dir.size()) return false;
    raw.name = QByteArray(h + 46, qsizetype(nameLen));
    raw.extra = QByteArray(h + 46 + nameLen, qsizetype(extraLen));
    // Zip64: the sizes that do not fit 32 bits follow in the 0x0001 field, in this order.
    const bool bZip64Sizes = raw.uncSize == 0xFFFFFFFF || raw.compSize == 0xFFFFFFFF;
    if (raw.uncSize == 0xFFFFFFFF || raw.compSize == 0xFFFFFFFF || localOffset == 0xFFFFFFFF) {
      const QByteArray z64 = FindExtraField(raw.extra, 0x0001);
      qsizetype pos = 0;
      const auto next = [&](quint64* pValue) {
        if (*pValue != 0xFFFFFFFF) return true;
        if (pos + 8 > z64.size()) return false;
        *pValue = Le64(z64.constData() + pos);
        pos += 8;
        return true;
      };
      if (!next(&raw.uncSize) || !next(&raw.compSize) || !next(&localOffset)) return false;
    }
    AddRecord(hz, raw, unz64_file_pos{base + at, i});
    hz->localOffsets.push_back(localOffset);
    hz->zip64Sizes.push_back(bZip64Sizes);
    at += 46 + nameLen + extraLen + commentLen;
  }
  return true;
}

void ClearRecords(CZipHandle* hz) {
  hz->entries.clear();
  hz->positions.clear();
  hz->encrypted.clear();
  hz->unsupported.clear();
  hz->crcs.clear();
  hz->deflated.clear();
  hz->localOffsets.clear();
  hz->zip64Sizes.clear();
}

// minizip does not find an end record at the very start of the file: an archive without
// entries is nothing but that record (and its comment).
bool IsEmptyArchive(CReadStream* in) {
  char record[22];
  DWORD got = 0;
  if (in->size < sizeof record || !in->file.Seek(0, plat::FILE_BEGIN) ||
      !in->file.Read(record, sizeof record, &got) || got != sizeof record)
    return false;
  static const char kEnd[22] = {'P', 'K', 5, 6};
  const quint32 comment = quint32(uchar(record[20])) | quint32(uchar(record[21])) << 8;
  return std::memcmp(record, kEnd, 20) == 0 && in->size == sizeof record + comment;
}

void CloseOpenEntry(CZipHandle* hz) {
  if (hz->openEntry >= 0) unzCloseCurrentFile(hz->uf);
  hz->openEntry = -1;
}

void EndOwnRead(CZipHandle* hz) {
  if (hz->own.bInflating) inflateEnd(&hz->own.z);
  hz->own = CZipHandle::COwnRead{};
}

bool ReadAt(CZipHandle* hz, quint64 pos, char* out, size_t size) {
  DWORD got = 0;
  return hz->in.file.Seek(qint64(pos), plat::FILE_BEGIN) &&
         hz->in.file.Read(out, DWORD(size), &got) && got == size;
}

// Entries whose sizes the directory gives in its zip64 field are read here: minizip's reader
// takes wrong sizes for them when it moves to an entry by its position.
bool NeedsOwnRead(const CZipHandle* hz, size_t i) {
  return !hz->localOffsets.empty() && hz->zip64Sizes[i];
}

// UnzipItemToBuffer for an entry whose sizes need zip64, read and inflated here.
DWORD ReadOwn(CZipHandle* hz, int index, void* buffer, DWORD dwSize, DWORD* pdwRead) {
  CZipHandle::COwnRead& r = hz->own;
  const size_t i = size_t(index);
  if (r.index != index) {
    EndOwnRead(hz);
    CloseOpenEntry(hz);
    char h[30];
    if (!ReadAt(hz, hz->localOffsets[i], h, sizeof h)) return eZipRead;
    if (Le32(h) != 0x04034b50) return eZipCorrupt;
    r.pos = hz->localOffsets[i] + 30 + Le16(h + 26) + Le16(h + 28);
    r.compLeft = hz->entries[i].comp_size;
    r.uncLeft = hz->entries[i].unc_size;
    r.bDeflated = hz->deflated[i];
    if (r.bDeflated) {
      if (inflateInit2(&r.z, -MAX_WBITS) != Z_OK) return eZipNoAlloc;
      r.bInflating = true;
      r.in.resize(256 * 1024);
    }
    r.index = index;
  }
  char* out = static_cast<char*>(buffer);
  DWORD produced = 0;
  if (!r.bDeflated) {
    produced = DWORD(std::min<quint64>(dwSize, r.uncLeft));
    if (!ReadAt(hz, r.pos, out, produced)) {
      EndOwnRead(hz);
      return eZipRead;
    }
    r.pos += produced;
    r.compLeft -= std::min<quint64>(produced, r.compLeft);
  } else {
    r.z.next_out = reinterpret_cast<Bytef*>(out);
    r.z.avail_out = uInt(std::min<quint64>(dwSize, r.uncLeft));
    while (r.z.avail_out > 0) {
      if (r.z.avail_in == 0 && r.compLeft > 0) {
        const size_t part = size_t(std::min<quint64>(r.in.size(), r.compLeft));
        if (!ReadAt(hz, r.pos, r.in.data(), part)) {
          EndOwnRead(hz);
          return eZipRead;
        }
        r.pos += part;
        r.compLeft -= part;
        r.z.next_in = reinterpret_cast<Bytef*>(r.in.data());
        r.z.avail_in = uInt(part);
      }
      const int err = inflate(&r.z, Z_NO_FLUSH);
      if (err == Z_STREAM_END) break;
      if (err != Z_OK) {
        EndOwnRead(hz);
        return eZipCorrupt;
      }
    }
    produced = DWORD(std::min<quint64>(dwSize, r.uncLeft) - r.z.avail_out);
  }
  r.crc = quint32(crc32(r.crc, reinterpret_cast<const Bytef*>(out), uInt(produced)));
  r.uncLeft -= produced;
  *pdwRead = produced;
  if (r.uncLeft > 0) {
    if (produced > 0) return eZipMore;
    EndOwnRead(hz);  // the data ended before its length
    return eZipCorrupt;
  }
  const bool bOk = r.crc == hz->crcs[i];
  EndOwnRead(hz);
  return bOk ? eZipOK : eZipCorrupt;
}

}  // namespace

HZIP OpenZip(const QString& strPath) {
  auto hz = std::make_unique<CZipHandle>(false);
  if (!hz->in.file.Open(strPath, plat::GENERIC_READ, plat::OPEN_EXISTING)) return nullptr;
  if (!hz->in.file.GetSize(&hz->in.size)) return nullptr;
  zlib_filefunc64_def functions = ReadFunctions();
  hz->uf = unzOpen2_64(&hz->in, &functions);
  if (!hz->uf) return IsEmptyArchive(&hz->in) ? hz.release() : nullptr;
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(hz->uf, &global) != UNZ_OK) {
    unzClose(hz->uf);
    return nullptr;
  }
  const size_t count = size_t(global.number_entry);
  hz->entries.reserve(count);
  hz->positions.reserve(count);
  int err = UNZ_END_OF_LIST_OF_FILE;
  if (count && !ParseDirectory(hz.get(), count)) {
    ClearRecords(hz.get());
    std::vector<char> name, extra;
    CRawRecord raw;
    err = unzGoToFirstFile(hz->uf);
    while (err == UNZ_OK && hz->entries.size() < count) {
      unz64_file_pos pos{};
      if (unzGetFilePos64(hz->uf, &pos) != UNZ_OK ||
          !ReadCurrentRecord(hz->uf, &raw, &name, &extra))
        break;
      AddRecord(hz.get(), raw, pos);
      err = unzGoToNextFile(hz->uf);
    }
    if (err == UNZ_OK && hz->entries.size() == count) err = UNZ_END_OF_LIST_OF_FILE;
  }
  // A directory that ends before its count, or cannot be read, is a damaged archive.
  if ((err != UNZ_END_OF_LIST_OF_FILE && err != UNZ_OK) || hz->entries.size() != count ||
      hz->in.failed) {
    unzClose(hz->uf);
    return nullptr;
  }
  return hz.release();
}

DWORD GetZipItem(HZIP hz, int index, ZIPENTRY* entry) {
  if (!hz || !entry) return eZipArgs;
  if (hz->writing) return eZipHandleKind;
  if (index == -1) {
    *entry = ZIPENTRY{};
    entry->index = int(hz->entries.size());
    return eZipOK;
  }
  if (index < 0 || size_t(index) >= hz->entries.size()) return eZipArgs;
  *entry = hz->entries[size_t(index)];
  return eZipOK;
}

DWORD UnzipItemToBuffer(HZIP hz, int index, void* buffer, DWORD dwSize, DWORD* pdwRead) {
  if (pdwRead) *pdwRead = 0;
  if (!hz || !buffer || dwSize == 0 || !pdwRead) return eZipArgs;
  if (hz->writing) return eZipHandleKind;
  if (index < 0 || size_t(index) >= hz->entries.size()) return eZipNotFound;
  const size_t i = size_t(index);
  if (hz->entries[i].refusal != EZipRefusal::eNone) return eZipRefused;
  if (hz->encrypted[i]) return eZipPassword;
  if (hz->unsupported[i]) return eZipCorrupt;
  if (hz->entries[i].IsFolder()) return eZipOK;
  if (NeedsOwnRead(hz, i)) return ReadOwn(hz, index, buffer, dwSize, pdwRead);
  if (hz->own.index >= 0) EndOwnRead(hz);
  if (hz->openEntry != index) {
    CloseOpenEntry(hz);
    if (unzGoToFilePos64(hz->uf, &hz->positions[i]) != UNZ_OK ||
        unzOpenCurrentFile(hz->uf) != UNZ_OK)
      return hz->in.failed ? eZipRead : eZipCorrupt;
    hz->openEntry = index;
  }
  const int got = unzReadCurrentFile(hz->uf, buffer, unsigned(dwSize));
  if (got < 0) {
    CloseOpenEntry(hz);
    return hz->in.failed || got == UNZ_ERRNO ? eZipRead : eZipCorrupt;
  }
  *pdwRead = DWORD(got);
  if (unzeof(hz->uf) == 0) {
    if (got > 0) return eZipMore;
    CloseOpenEntry(hz);  // the data ended before its length
    return eZipCorrupt;
  }
  // At the end: the close checks the CRC and the length against the directory's.
  hz->openEntry = -1;
  const int closed = unzCloseCurrentFile(hz->uf);
  if (closed == UNZ_CRCERROR) return eZipCorrupt;
  if (closed != UNZ_OK) return hz->in.failed ? eZipRead : eZipCorrupt;
  return eZipOK;
}

}  // namespace zip

namespace zip {

DWORD UnzipItemWhole(HZIP hz, int index, std::vector<char>* pData) {
  if (!hz || !pData) return eZipArgs;
  if (hz->writing) return eZipHandleKind;
  if (index < 0 || size_t(index) >= hz->entries.size()) return eZipNotFound;
  const size_t i = size_t(index);
  const ZIPENTRY& e = hz->entries[i];
  if (e.refusal != EZipRefusal::eNone) return eZipRefused;
  if (hz->encrypted[i]) return eZipPassword;
  if (hz->unsupported[i]) return eZipCorrupt;
  pData->clear();
  if (e.IsFolder()) return eZipOK;
  if (e.unc_size > kWholeEntryLimit || e.comp_size > kWholeEntryLimit) return eZipArgs;
  if (NeedsOwnRead(hz, i)) {
    pData->resize(size_t(e.unc_size));
    size_t at = 0;
    DWORD result = eZipMore;
    while (result == eZipMore) {
      DWORD got = 0;
      const DWORD part = DWORD(std::min<size_t>(pData->size() - at, size_t(1) << 20));
      result = ReadOwn(hz, index, pData->data() + at, part, &got);
      at += got;
    }
    return result;
  }
  CloseOpenEntry(hz);
  int method = 0, level = 0;
  if (unzGoToFilePos64(hz->uf, &hz->positions[i]) != UNZ_OK ||
      unzOpenCurrentFile2(hz->uf, &method, &level, 1) != UNZ_OK)
    return hz->in.failed ? eZipRead : eZipCorrupt;
  std::vector<char> packed(method == 0 ? 0 : size_t(e.comp_size));
  pData->resize(size_t(e.unc_size));
  char* target = method == 0 ? pData->data() : packed.data();
  const size_t want = size_t(e.comp_size);
  size_t got = 0;
  while (got < want) {
    const int n =
        unzReadCurrentFile(hz->uf, target + got, unsigned(std::min<size_t>(want - got, 1u << 30)));
    if (n <= 0) break;
    got += size_t(n);
  }
  unzCloseCurrentFile(hz->uf);
  if (got != want) return hz->in.failed ? eZipRead : eZipCorrupt;
  if (method == 0) {
    if (e.comp_size != e.unc_size) return eZipCorrupt;
  } else {
    thread_local struct CDecompressor {
      libdeflate_decompressor* d = libdeflate_alloc_decompressor();
      ~CDecompressor() { libdeflate_free_decompressor(d); }
    } decompressor;
    size_t actual = 0;
    if (!decompressor.d ||
        libdeflate_deflate_decompress(decompressor.d, packed.data(), packed.size(), pData->data(),
                                      pData->size(), &actual) != LIBDEFLATE_SUCCESS ||
        actual != pData->size())
      return eZipCorrupt;
  }
  if (quint32(libdeflate_crc32(0, pData->data(), pData->size())) != hz->crcs[i]) return eZipCorrupt;
  return eZipOK;
}

}  // namespace zip
