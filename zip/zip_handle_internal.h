#pragma once
// The state behind a zip handle (zip/zip_layer.h): a reader's central directory and open
// entry, or a writer's output and options.

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <QString>

#include <memory>
#include <vector>

#include "zip/zip_deflate_pool_internal.h"
#include "zip/zip_io_internal.h"
#include "zip/zip_layer.h"

namespace zip {

class CZipHandle {
 public:
  explicit CZipHandle(bool bWrite) : writing(bWrite) {}
  const bool writing;

  // Reading.
  CReadStream in;
  unzFile uf = nullptr;
  std::vector<ZIPENTRY> entries;
  std::vector<unz64_file_pos> positions;
  std::vector<bool> encrypted;
  std::vector<bool> unsupported;  // a method other than stored and deflate
  std::vector<quint32> crcs;
  std::vector<bool> deflated;
  std::vector<bool> zip64Sizes;       // the directory gives the sizes in its zip64 field
  std::vector<quint64> localOffsets;  // from the parsed directory; empty after minizip's walk
  // An entry whose sizes need zip64, read by this layer itself (minizip's reader takes wrong
  // sizes for them when it moves to an entry by its position).
  struct COwnRead {
    int index = -1;
    quint64 pos = 0;  // where its next compressed bytes lie
    quint64 compLeft = 0;
    quint64 uncLeft = 0;
    quint32 crc = 0;
    bool bDeflated = false;
    bool bInflating = false;  // z holds an inflate state
    z_stream z{};
    std::vector<char> in;
  } own;
  int openEntry = -1;  // the entry whose data is being read, -1 for none

  // Writing.
  CWriteStream out;
  zipFile zf = nullptr;
  int level = 6;
  FnZipProgress progress;
  bool stopped = false;
  quint64 entryCount = 0;              // entries begun
  std::vector<char> chunk;             // the read buffer of ZipAddFile
  std::unique_ptr<CDeflatePool> pool;  // deflates whole files; made on first use
  int poolLevel = -1;
};

}  // namespace zip
