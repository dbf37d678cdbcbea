#pragma once
// The state behind a zip handle (zip/zip_layer.h): a reader's central directory and open
// entry, or a writer's output and options.

#include <QString>

#include <memory>
#include <vector>

#include <minizip/unzip.h>
#include <minizip/zip.h>

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
  int openEntry = -1;              // the entry whose data is being read, -1 for none

  // Writing.
  CWriteStream out;
  zipFile zf = nullptr;
  int level = 6;
  FnZipProgress progress;
  bool stopped = false;
  quint64 entryCount = 0;  // entries begun
  std::vector<char> chunk;  // the read buffer of ZipAddFile
  std::unique_ptr<CDeflatePool> pool;  // deflates whole files; made on first use
  int poolLevel = -1;
};

}  // namespace zip
