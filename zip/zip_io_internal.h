#pragma once
// The file access minizip is given: reads through a buffered CHostFile (the central directory
// is read in many small pieces), writes through a plat::COutputFile, every path resolved
// beneath the device root by the host layer.

#include <minizip/ioapi.h>

#include <QString>

#include <vector>

#include "platform/file.h"
#include "platform/output_file.h"

namespace zip {

// An archive being read.
struct CReadStream {
  plat::CHostFile file;
  std::vector<char> buffer;  // the bytes at bufferStart..bufferStart+bufferUsed
  quint64 bufferStart = 0;
  size_t bufferUsed = 0;
  quint64 position = 0;  // where minizip reads next
  quint64 size = 0;
  bool failed = false;
};

// An archive being written.
struct CWriteStream {
  plat::COutputFile out;
  quint64 position = 0;
  quint64 end = 0;
  bool failed = false;  // a write, seek or create failed: the archive cannot be completed
};

// The functions for unzOpen2_64 and zipOpen2_64; the "path" handed to minizip is the stream.
zlib_filefunc64_def ReadFunctions();
zlib_filefunc64_def WriteFunctions();

}  // namespace zip
