// A recycled folder's descriptor (".fldrdescr.dat") from the input, in a directory of the bin:
// the descriptor is read only when whole, and the bin's listing shows the folder only then.
#include <cstdint>

#include "fileops/recycle_format.h"
#include "bin_listing.h"
#include "fuzz_support.h"

namespace {

const QString kFolder = fuzz::kBin + QStringLiteral("\\pbr00002");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  const QByteArray input = fuzz::Bytes(data, size);
  fuzz::WriteFile(kFolder + u'\\' + QString::fromUtf16(fileops::kFolderDescriptorName), input);

  fileops::CRecycleRecord record;
  const bool bRead = fileops::Read(&record, kFolder);
  FUZZ_CHECK(bRead == (input.size() >= fileops::kRecycleRecordSize));
  if (bRead) {
    fileops::CRecycleRecord decoded;
    FUZZ_CHECK(fileops::DecodeRecord(input.left(fileops::kRecycleRecordSize), &decoded));
    FUZZ_CHECK(fileops::EncodeRecord(decoded) == input.left(fileops::kRecycleRecordSize));
    FUZZ_CHECK(decoded.OriginalPath() == record.OriginalPath() && decoded.Name() == record.Name());
  }

  fuzz::ListBin();
  fuzz::EmptyFolder(fuzz::kBin);
  return 0;
}
