#include <algorithm>
#include <cstring>

#include "zip/zip_io_internal.h"

namespace zip {
namespace {

constexpr size_t kReadBuffer = 64 * 1024;

// minizip opens the "file" it was given: the stream, already open.
voidpf ZCALLBACK OpenStream(voidpf, const void* stream, int) { return const_cast<void*>(stream); }

uLong ZCALLBACK ReadStream(voidpf, voidpf stream, void* buf, uLong size) {
  auto* s = static_cast<CReadStream*>(stream);
  char* out = static_cast<char*>(buf);
  uLong done = 0;
  while (done < size && !s->failed) {
    // From the buffer where it holds the position.
    if (s->position >= s->bufferStart && s->position < s->bufferStart + s->bufferUsed) {
      const size_t at = size_t(s->position - s->bufferStart);
      const size_t take = std::min<size_t>(s->bufferUsed - at, size - done);
      std::memcpy(out + done, s->buffer.data() + at, take);
      done += take;
      s->position += take;
      continue;
    }
    // Beyond the end (minizip looks for records before the start of a short file): nothing.
    if (s->position >= s->size) break;
    if (!s->file.Seek(qint64(s->position), plat::FILE_BEGIN)) {
      s->failed = true;
      break;
    }
    const uLong left = size - done;
    DWORD got = 0;
    if (left >= kReadBuffer) {  // large reads go straight to the caller
      if (!s->file.Read(out + done, DWORD(left), &got)) s->failed = true;
      done += got;
      s->position += got;
      if (got == 0) break;
      continue;
    }
    s->buffer.resize(kReadBuffer);
    if (!s->file.Read(s->buffer.data(), DWORD(kReadBuffer), &got)) s->failed = true;
    s->bufferStart = s->position;
    s->bufferUsed = got;
    if (got == 0) break;
  }
  return done;
}

ZPOS64_T ZCALLBACK TellRead(voidpf, voidpf stream) {
  return static_cast<CReadStream*>(stream)->position;
}

long ZCALLBACK SeekRead(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<CReadStream*>(stream);
  quint64 base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR)
    base = s->position;
  else if (origin == ZLIB_FILEFUNC_SEEK_END)
    base = s->size;
  s->position = base + offset;
  return 0;
}

// The stream is closed by its owner.
int ZCALLBACK CloseStream(voidpf, voidpf) { return 0; }

int ZCALLBACK ReadError(voidpf, voidpf stream) {
  return static_cast<CReadStream*>(stream)->failed ? 1 : 0;
}

uLong ZCALLBACK NoWrite(voidpf, voidpf, const void*, uLong) { return 0; }
uLong ZCALLBACK NoRead(voidpf, voidpf, void*, uLong) { return 0; }

uLong ZCALLBACK WriteStream(voidpf, voidpf stream, const void* buf, uLong size) {
  auto* s = static_cast<CWriteStream*>(stream);
  if (s->failed) return 0;
  DWORD written = 0;
  if (!s->out.File().Write(buf, DWORD(size), &written)) {
    s->failed = true;
    return written;
  }
  s->position += size;
  s->end = std::max(s->end, s->position);
  return size;
}

ZPOS64_T ZCALLBACK TellWrite(voidpf, voidpf stream) {
  return static_cast<CWriteStream*>(stream)->position;
}

long ZCALLBACK SeekWrite(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<CWriteStream*>(stream);
  quint64 base = 0;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR)
    base = s->position;
  else if (origin == ZLIB_FILEFUNC_SEEK_END)
    base = s->end;
  if (s->failed || !s->out.File().Seek(qint64(base + offset), plat::FILE_BEGIN)) {
    s->failed = true;
    return -1;
  }
  s->position = base + offset;
  return 0;
}

int ZCALLBACK WriteError(voidpf, voidpf stream) {
  return static_cast<CWriteStream*>(stream)->failed ? 1 : 0;
}

}  // namespace

zlib_filefunc64_def ReadFunctions() {
  zlib_filefunc64_def f{};
  f.zopen64_file = &OpenStream;
  f.zread_file = &ReadStream;
  f.zwrite_file = &NoWrite;
  f.ztell64_file = &TellRead;
  f.zseek64_file = &SeekRead;
  f.zclose_file = &CloseStream;
  f.zerror_file = &ReadError;
  return f;
}

zlib_filefunc64_def WriteFunctions() {
  zlib_filefunc64_def f{};
  f.zopen64_file = &OpenStream;
  f.zread_file = &NoRead;
  f.zwrite_file = &WriteStream;
  f.ztell64_file = &TellWrite;
  f.zseek64_file = &SeekWrite;
  f.zclose_file = &CloseStream;
  f.zerror_file = &WriteError;
  return f;
}

}  // namespace zip
