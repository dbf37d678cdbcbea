// Writing archives: entries added one by one through minizip, the archive put in place by the
// output file only when its central directory is written.
#include <QDateTime>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/filetime.h"
#include "zip/zip_extra.h"
#include "zip/zip_handle_internal.h"
#include "zip/zip_names.h"

namespace zip {
namespace {

constexpr size_t kChunk = 256 * 1024;
constexpr DWORD kFolderAttr = 0x10;
constexpr DWORD kArchiveAttr = 0x20;
// The DOS attributes an entry keeps: read-only, hidden, system, archive.
constexpr DWORD kKeptAttrs = 0x27;
// Version made by: 2.0 on MS-DOS (the attributes are DOS attributes); version 4.5 for zip64.
constexpr uLong kMadeBy = 20;
constexpr uLong kUtf8Flag = 0x800;
constexpr quint64 kZip64Size = 0xFFFFFFFFull;

DWORD WriterCheck(HZIP hz) {
  if (!hz) return eZipArgs;
  if (!hz->writing) return eZipHandleKind;
  if (hz->out.failed) return eZipWrite;
  if (hz->stopped) return eZipStopped;
  return eZipOK;
}

// Files up to this size are read whole and deflated on the pool's threads; larger ones are
// deflated while they are read, on the caller's thread. The pool holds at most
// kPendingLimit bytes of files not yet written.
constexpr quint64 kWholeFileLimit = 128ull << 20;
constexpr quint64 kPendingLimit = 192ull << 20;

// Opens a new entry of the archive; eZipOK or the failure. bRaw: the data written is already
// in its final form (deflated elsewhere, or stored), with its CRC given at the close.
DWORD OpenEntry(HZIP hz, const QString& strName, DWORD dwAttr, const FILETIME& write,
                const FILETIME& access, const FILETIME& creation, int nMethod, int nLevel,
                bool bZip64, bool bRaw = false) {
  bool bUtf8 = false;
  const QByteArray name = StoredZipName(strName, &bUtf8);
  if (name.isEmpty() || name.contains('\0')) return eZipArgs;
  zip_fileinfo info{};
  info.dosDate = DosDateOf(write);
  info.external_fa = dwAttr;
  const QByteArray local = LocalTimestampField(write, access, creation);
  const QByteArray central = CentralTimestampField(write);
  const int err = zipOpenNewFileInZip4_64(
      hz->zf, name.constData(), &info, local.constData(), uInt(local.size()), central.constData(),
      uInt(central.size()), nullptr, nMethod, nLevel, bRaw ? 1 : 0, -MAX_WBITS, DEF_MEM_LEVEL,
      Z_DEFAULT_STRATEGY, nullptr, 0, kMadeBy, bUtf8 ? kUtf8Flag : 0, bZip64 ? 1 : 0);
  if (err != ZIP_OK) return hz->out.failed ? eZipWrite : eZipArgs;
  ++hz->entryCount;
  return eZipOK;
}

// Writes one job of the pool as its entry.
DWORD WriteJob(HZIP hz, const CDeflateJob& job) {
  if (hz->out.failed) return eZipWrite;
  if (job.bFolder) {
    if (const DWORD opened =
            OpenEntry(hz, job.name, job.attr, job.write, job.access, job.creation, 0, 0, false))
      return opened;
    return zipCloseFileInZip(hz->zf) == ZIP_OK && !hz->out.failed ? eZipOK : eZipWrite;
  }
  if (const DWORD opened = OpenEntry(hz, job.name, job.attr, job.write, job.access, job.creation,
                                     job.bDeflated ? Z_DEFLATED : 0, hz->level, false, true))
    return opened;
  const std::vector<char>& bytes = job.bDeflated ? job.packed : job.data;
  constexpr size_t kPiece = 1u << 30;
  for (size_t at = 0; at < bytes.size(); at += kPiece) {
    const unsigned len = unsigned(std::min(kPiece, bytes.size() - at));
    if (zipWriteInFileInZip(hz->zf, bytes.data() + at, len) != ZIP_OK) {
      hz->out.failed = true;
      return eZipWrite;
    }
  }
  return zipCloseFileInZipRaw64(hz->zf, job.size, job.crc) == ZIP_OK && !hz->out.failed ? eZipOK
                                                                                        : eZipWrite;
}

// Writes the pool's done jobs in their order; with bAll, waits for every job.
DWORD WriteDoneJobs(HZIP hz, bool bAll) {
  if (!hz->pool) return hz->out.failed ? eZipWrite : eZipOK;
  while (std::unique_ptr<CDeflateJob> job = hz->pool->TakeOldest(bAll)) {
    if (hz->stopped) continue;  // dropped: the archive is not completed
    if (const DWORD written = WriteJob(hz, *job)) hz->out.failed = true, (void)written;
  }
  return hz->out.failed ? eZipWrite : eZipOK;
}

// Waits until the pool holds no more than uLimit bytes, writing what is done.
DWORD WriteUntilBelow(HZIP hz, quint64 uLimit) {
  while (hz->pool && !hz->pool->Empty() && hz->pool->PendingBytes() > uLimit) {
    std::unique_ptr<CDeflateJob> job = hz->pool->TakeOldest(true);
    if (job && !hz->stopped && WriteJob(hz, *job) != eZipOK) hz->out.failed = true;
  }
  return WriteDoneJobs(hz, false);
}

void Put(QByteArray* out, quint64 value, int nBytes) {
  for (int i = 0; i < nBytes; ++i) out->append(char((value >> (8 * i)) & 0xFF));
}

// minizip writes the zip64 end records only for a directory that starts beyond 4 GiB, and
// for 65,535 entries or more it stores a count of 0xFFFF alone. The end record it wrote (the
// last 22 bytes, no comment) is then replaced by the zip64 end record, its locator and an end
// record that points to them.
bool AddZip64End(CWriteStream* s, quint64 uEntries, quint64 uDirStart) {
  const quint64 dirSize = s->end - 22 - uDirStart;
  const quint64 zip64End = uDirStart + dirSize;
  QByteArray tail;
  Put(&tail, 0x06064b50, 4);
  Put(&tail, 44, 8);
  Put(&tail, 45, 2);
  Put(&tail, 45, 2);
  Put(&tail, 0, 4);
  Put(&tail, 0, 4);
  Put(&tail, uEntries, 8);
  Put(&tail, uEntries, 8);
  Put(&tail, dirSize, 8);
  Put(&tail, uDirStart, 8);
  Put(&tail, 0x07064b50, 4);
  Put(&tail, 0, 4);
  Put(&tail, zip64End, 8);
  Put(&tail, 1, 4);
  Put(&tail, 0x06054b50, 4);
  Put(&tail, 0, 2);
  Put(&tail, 0, 2);
  Put(&tail, 0xFFFF, 2);
  Put(&tail, 0xFFFF, 2);
  Put(&tail, dirSize, 4);
  Put(&tail, uDirStart, 4);
  Put(&tail, 0, 2);
  DWORD written = 0;
  plat::CHostFile& file = s->out.File();
  return file.Seek(qint64(zip64End), plat::FILE_BEGIN) &&
         file.Write(tail.constData(), DWORD(tail.size()), &written) && file.SetEnd();
}

}  // namespace

HZIP CreateZip(const QString& strPath) {
  auto hz = std::make_unique<CZipHandle>(true);
  const bool bExists = plat::GetFileAttributes(strPath) != INVALID_FILE_ATTRIBUTES;
  if (!hz->out.out.Create(strPath, bExists)) return nullptr;
  zlib_filefunc64_def functions = WriteFunctions();
  hz->zf = zipOpen2_64(&hz->out, APPEND_STATUS_CREATE, nullptr, &functions);
  if (!hz->zf) {
    hz->out.out.Discard();
    return nullptr;
  }
  return hz.release();
}

DWORD SetZipLevel(HZIP hz, int nLevel) {
  if (!hz) return eZipArgs;
  if (!hz->writing) return eZipHandleKind;
  if (nLevel < 0 || nLevel > 9) return eZipArgs;
  hz->level = nLevel;
  return eZipOK;
}

DWORD SetZipProgress(HZIP hz, FnZipProgress fnProgress) {
  if (!hz) return eZipArgs;
  if (!hz->writing) return eZipHandleKind;
  hz->progress = std::move(fnProgress);
  return eZipOK;
}

QString ZipWritePath(HZIP hz) { return hz && hz->writing ? hz->out.out.WritePath() : QString(); }

DWORD ZipAddFolder(HZIP hz, const QString& strName) {
  if (const DWORD check = WriterCheck(hz)) return check;
  QString name = strName;
  if (!name.endsWith(u'/') && !name.endsWith(u'\\')) name += u'/';
  const FILETIME now = plat::FileTimeFromUnix(QDateTime::currentSecsSinceEpoch(), 0);
  if (hz->pool && !hz->pool->Empty()) {  // after the files queued before it
    auto job = std::make_unique<CDeflateJob>();
    job->name = name;
    job->attr = kFolderAttr;
    job->write = job->access = job->creation = now;
    job->bFolder = true;
    hz->pool->Submit(std::move(job));
    return WriteDoneJobs(hz, false);
  }
  if (const DWORD opened = OpenEntry(hz, name, kFolderAttr, now, now, now, 0, 0, false))
    return opened;
  return zipCloseFileInZip(hz->zf) == ZIP_OK && !hz->out.failed ? eZipOK : eZipWrite;
}

DWORD ZipAddFile(HZIP hz, const QString& strName, const QString& strSourcePath) {
  if (const DWORD check = WriterCheck(hz)) return check;
  plat::CHostFile source;
  quint64 size = 0;
  if (!source.Open(strSourcePath, plat::GENERIC_READ, plat::OPEN_EXISTING) ||
      !source.GetSize(&size))
    return eZipNoFile;
  FILETIME creation{}, access{}, write{};
  plat::GetFileTimes(strSourcePath, &creation, &access, &write);
  DWORD attr = plat::GetFileAttributes(strSourcePath);
  attr = attr == INVALID_FILE_ATTRIBUTES ? kArchiveAttr : (attr & kKeptAttrs) | kArchiveAttr;

  const bool bStore = hz->level <= 1;
  if (!bStore && size <= kWholeFileLimit) {
    bool bUtf8 = false;
    const QByteArray stored = StoredZipName(strName, &bUtf8);
    if (stored.isEmpty() || stored.contains('\0')) return eZipArgs;
    auto job = std::make_unique<CDeflateJob>();
    job->name = strName;
    job->attr = attr;
    job->write = write;
    job->access = access;
    job->creation = creation;
    job->size = size;
    job->data.resize(size);
    quint64 done = 0;
    while (done < size) {
      DWORD got = 0;
      const DWORD part = DWORD(std::min<quint64>(size - done, kChunk));
      if (!source.Read(job->data.data() + done, part, &got)) return eZipRead;
      if (got == 0) break;
      done += got;
      if (hz->progress && !hz->progress(got)) {
        hz->stopped = true;
        return eZipStopped;
      }
    }
    // A file that shrank meanwhile is taken as far as it goes; one that grew, to its length.
    job->data.resize(done);
    job->size = done;
    if (!hz->pool || hz->poolLevel != hz->level) {
      if (WriteDoneJobs(hz, true) != eZipOK) return eZipWrite;
      hz->pool = std::make_unique<CDeflatePool>(hz->level);
      hz->poolLevel = hz->level;
    }
    hz->pool->Submit(std::move(job));
    return WriteUntilBelow(hz, kPendingLimit);
  }
  // Entries are written in order: what the pool holds goes first.
  if (WriteDoneJobs(hz, true) != eZipOK) return eZipWrite;
  if (const DWORD opened =
          OpenEntry(hz, strName, attr, write, access, creation, bStore ? 0 : Z_DEFLATED,
                    bStore ? 0 : hz->level, size >= kZip64Size))
    return opened;
  hz->chunk.resize(kChunk);
  for (;;) {
    DWORD got = 0;
    if (!source.Read(hz->chunk.data(), DWORD(kChunk), &got)) {
      // The entry is half written and cannot be taken back: the archive cannot be completed.
      hz->out.failed = true;
      return eZipRead;
    }
    if (got == 0) break;
    if (zipWriteInFileInZip(hz->zf, hz->chunk.data(), got) != ZIP_OK) {
      hz->out.failed = true;
      return eZipWrite;
    }
    if (hz->progress && !hz->progress(got)) {
      hz->stopped = true;
      return eZipStopped;
    }
  }
  return zipCloseFileInZip(hz->zf) == ZIP_OK && !hz->out.failed ? eZipOK : eZipWrite;
}

DWORD CloseZip(HZIP hz) {
  if (!hz) return eZipArgs;
  std::unique_ptr<CZipHandle> owned(hz);
  if (!hz->writing) {
    if (hz->openEntry >= 0) unzCloseCurrentFile(hz->uf);
    if (hz->own.bInflating) inflateEnd(&hz->own.z);
    if (hz->uf) unzClose(hz->uf);
    hz->in.file.Close();
    return eZipOK;
  }
  if (!hz->stopped) WriteDoneJobs(hz, true);
  hz->pool.reset();
  const bool bComplete = !hz->out.failed && !hz->stopped;
  const quint64 dirStart = hz->out.position;
  const int closed = zipClose(hz->zf, nullptr);
  bool bOk = bComplete && closed == ZIP_OK && !hz->out.failed;
  if (bOk && hz->entryCount >= 0xFFFF && dirStart < kZip64Size)
    bOk = AddZip64End(&hz->out, hz->entryCount, dirStart);
  if (bOk && hz->out.out.Commit(true, true)) return eZipOK;
  hz->out.out.Discard();
  return hz->stopped && !hz->out.failed ? eZipStopped : eZipWrite;
}

}  // namespace zip
