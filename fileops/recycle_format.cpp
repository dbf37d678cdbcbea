#include "fileops/recycle_format.h"

#include <QtEndian>

#include <cstring>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "fileops/shredder.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/find.h"

namespace fileops {
namespace {

constexpr char16_t kMagic[] = u"PBRBF";

// Field-by-field little-endian writer and reader over a fixed byte array.
class CByteWriter {
 public:
  explicit CByteWriter(QByteArray* pBytes) : bytes_(pBytes) {}
  void U16(WORD value) {
    bytes_->append(2, '\0');
    qToLittleEndian(value, bytes_->data() + bytes_->size() - 2);
  }
  void U32(DWORD value) {
    bytes_->append(4, '\0');
    qToLittleEndian(value, bytes_->data() + bytes_->size() - 4);
  }
  void Time(const FILETIME& ft) {
    U32(ft.dwLowDateTime);
    U32(ft.dwHighDateTime);
  }
  void Chars(const WCHAR* text, int count) {
    for (int i = 0; i < count; ++i) U16(text[i]);
  }

 private:
  QByteArray* bytes_;
};

class CByteReader {
 public:
  explicit CByteReader(const QByteArray& bytes) : data_(bytes.constData()) {}
  WORD U16() {
    const WORD value = qFromLittleEndian<WORD>(data_ + pos_);
    pos_ += 2;
    return value;
  }
  DWORD U32() {
    const DWORD value = qFromLittleEndian<DWORD>(data_ + pos_);
    pos_ += 4;
    return value;
  }
  FILETIME Time() {
    FILETIME ft;
    ft.dwLowDateTime = U32();
    ft.dwHighDateTime = U32();
    return ft;
  }
  void Chars(WCHAR* text, int count) {
    for (int i = 0; i < count; ++i) text[i] = U16();
  }

 private:
  const char* data_;
  qsizetype pos_ = 0;
};

QString TextOf(const WCHAR* text, int capacity) {
  int length = 0;
  while (length < capacity && text[length] != 0) ++length;
  return QString(reinterpret_cast<const QChar*>(text), length);
}

QString DescriptorPath(const QString& strDirectory) {
  return browse::AppendPathComponent(strDirectory, QString::fromUtf16(kFolderDescriptorName));
}

// Reads exactly count bytes unless the file ends first; false on a read error.
bool ReadFull(plat::CHostFile* pFile, char* buffer, DWORD count, DWORD* pRead) {
  *pRead = 0;
  while (*pRead < count) {
    DWORD got = 0;
    if (!pFile->Read(buffer + *pRead, count - *pRead, &got)) return false;
    if (got == 0) break;
    *pRead += got;
  }
  return true;
}

}  // namespace

QString CRecycleRecord::OriginalPath() const { return TextOf(szOriginalPath, MAX_PATH); }

bool CRecycleRecord::SetOriginalPath(const QString& strPath) {
  if (strPath.size() >= MAX_PATH) return false;
  std::memset(szOriginalPath, 0, sizeof(szOriginalPath));
  std::memcpy(szOriginalPath, strPath.utf16(), strPath.size() * sizeof(WCHAR));
  return true;
}

QString CRecycleRecord::Name() const { return TextOf(findData.cFileName, MAX_PATH); }

quint64 CRecycleRecord::Size() const { return plat::FindSize(findData); }

CRecycleRecord NewRecord() {
  CRecycleRecord record;
  plat::GetSystemTime(&record.stRecycled);
  return record;
}

QByteArray EncodeRecord(const CRecycleRecord& record) {
  QByteArray bytes;
  bytes.reserve(kRecycleRecordSize);
  CByteWriter out(&bytes);
  out.U32(record.dwVersion);
  for (DWORD word : record.dwReserved) out.U32(word);
  const WIN32_FIND_DATAW& fd = record.findData;
  out.U32(fd.dwFileAttributes);
  out.Time(fd.ftCreationTime);
  out.Time(fd.ftLastAccessTime);
  out.Time(fd.ftLastWriteTime);
  out.U32(fd.nFileSizeHigh);
  out.U32(fd.nFileSizeLow);
  out.U32(fd.dwOID);
  out.Chars(fd.cFileName, MAX_PATH);
  const SYSTEMTIME& st = record.stRecycled;
  for (WORD word : {st.wYear, st.wMonth, st.wDayOfWeek, st.wDay, st.wHour, st.wMinute,
                    st.wSecond, st.wMilliseconds})
    out.U16(word);
  out.Chars(record.szOriginalPath, MAX_PATH);
  Q_ASSERT(bytes.size() == kRecycleRecordSize);
  return bytes;
}

bool DecodeRecord(const QByteArray& bytes, CRecycleRecord* pRecord) {
  if (bytes.size() != kRecycleRecordSize) return false;
  CByteReader in(bytes);
  CRecycleRecord record;
  record.dwVersion = in.U32();
  for (DWORD& word : record.dwReserved) word = in.U32();
  WIN32_FIND_DATAW& fd = record.findData;
  fd.dwFileAttributes = in.U32();
  fd.ftCreationTime = in.Time();
  fd.ftLastAccessTime = in.Time();
  fd.ftLastWriteTime = in.Time();
  fd.nFileSizeHigh = in.U32();
  fd.nFileSizeLow = in.U32();
  fd.dwOID = in.U32();
  in.Chars(fd.cFileName, MAX_PATH);
  SYSTEMTIME& st = record.stRecycled;
  for (WORD* word : {&st.wYear, &st.wMonth, &st.wDayOfWeek, &st.wDay, &st.wHour, &st.wMinute,
                     &st.wSecond, &st.wMilliseconds})
    *word = in.U16();
  in.Chars(record.szOriginalPath, MAX_PATH);
  *pRecord = record;
  return true;
}

QByteArray EncodeContainerHeader(BYTE kind) {
  QByteArray bytes;
  bytes.reserve(kRecycleHeaderSize);
  CByteWriter out(&bytes);
  out.Chars(reinterpret_cast<const WCHAR*>(kMagic), 5);
  bytes.append(static_cast<char>(kind));
  bytes.append('\0');
  return bytes;
}

bool IsRestorableRecord(const CRecycleRecord& record) {
  return record.dwReserved[1] == 0 && record.dwReserved[2] == 0 &&
         record.OriginalPath().size() >= 2;
}

bool Write(const CRecycleRecord& record, const QString& strDirectory) {
  const QString path = DescriptorPath(strDirectory);
  const QByteArray bytes = EncodeRecord(record);
  plat::CHostFile file;
  if (!file.Open(path, plat::GENERIC_WRITE, plat::CREATE_ALWAYS)) {
    LogErr(u"Could not create %s", path);
    LogSystemError(plat::GetLastError());
    return false;
  }
  DWORD written = 0;
  bool bOk = file.Write(bytes.constData(), kRecycleRecordSize, &written) && file.Flush();
  const DWORD error = plat::GetLastError();
  bOk = file.Close() && bOk;
  if (!bOk) {
    LogErr(u"Could not write %s", path);
    LogSystemError(error);
    ShredFile(path);  // a partial descriptor would read as garbage
    plat::SetLastError(error);
  }
  return bOk;
}

bool Read(CRecycleRecord* pRecord, const QString& strDirectory) {
  plat::CHostFile file;
  if (!file.Open(DescriptorPath(strDirectory), plat::GENERIC_READ, plat::OPEN_EXISTING))
    return false;
  QByteArray bytes(kRecycleRecordSize, '\0');
  DWORD read = 0;
  if (!ReadFull(&file, bytes.data(), kRecycleRecordSize, &read) || read != kRecycleRecordSize)
    return false;
  return DecodeRecord(bytes, pRecord);
}

int OpenContainer(const QString& strContainer, plat::CHostFile* pFile,
                  CRecycleRecord* pRecord) {
  if (!pFile->Open(strContainer, plat::GENERIC_READ, plat::OPEN_EXISTING))
    return eContainerNotOpened;
  QByteArray bytes(kRecycleDataOffset, '\0');
  DWORD read = 0;
  quint64 fileSize = 0;
  if (!ReadFull(pFile, bytes.data(), kRecycleDataOffset, &read) || !pFile->GetSize(&fileSize)) {
    pFile->Close();
    return eContainerNotOpened;
  }
  const QByteArray magic = EncodeContainerHeader(kRecycleKindFile).left(kRecycleMagicSize);
  CRecycleRecord record;
  const bool bHead = read == kRecycleDataOffset && bytes.startsWith(magic) &&
                     static_cast<BYTE>(bytes.at(kRecycleMagicSize)) == kRecycleKindFile &&
                     DecodeRecord(bytes.mid(kRecycleHeaderSize), &record) &&
                     IsRestorableRecord(record);
  const bool bValid = bHead && fileSize - kRecycleDataOffset >= record.Size();
  if (!bValid) {
    pFile->Close();
    // A whole header whose data is short, or a file cut inside its header: a container that
    // was never completed.
    const bool bCut = bHead || (read < kRecycleDataOffset && bytes.startsWith(magic));
    return bCut ? eContainerPartial : eContainerInvalid;
  }
  *pRecord = record;
  return eContainerOK;
}

int ReadContainer(const QString& strContainer, CRecycleRecord* pRecord) {
  plat::CHostFile file;
  return OpenContainer(strContainer, &file, pRecord);
}

bool IsContainerName(const QString& strName) {
  return strName.endsWith(QString::fromUtf16(kRecycleContainerExt), Qt::CaseInsensitive);
}

}  // namespace fileops
