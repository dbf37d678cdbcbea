// A recycle-bin container (".trb") from the input, beside one made by the program: the
// container readers agree with each other and the bin's listing shows only what they accept.
#include <cstdint>

#include "fileops/recycle_format.h"
#include "bin_listing.h"
#include "fuzz_support.h"
#include "platform/file.h"

namespace {

const QString kContainer = fuzz::kBin + QStringLiteral("\\pbr00001.trb");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  const QByteArray input = fuzz::Bytes(data, size);
  fuzz::WriteFile(kContainer, input);

  fileops::CRecycleRecord listed;
  const int nRead = fileops::ReadContainer(kContainer, &listed);
  plat::CHostFile file;
  fileops::CRecycleRecord opened;
  const int nOpened = fileops::OpenContainer(kContainer, &file, &opened);
  FUZZ_CHECK(nRead == nOpened);
  if (nOpened == fileops::eContainerOK) {
    FUZZ_CHECK(fileops::IsRestorableRecord(opened));
    FUZZ_CHECK(quint64(input.size() - fileops::kRecycleDataOffset) >= opened.Size());
    FUZZ_CHECK(listed.OriginalPath() == opened.OriginalPath() && listed.Name() == opened.Name());
    // The record decodes to what was stored and encodes back to the same bytes.
    FUZZ_CHECK(fileops::EncodeRecord(opened) ==
               input.mid(fileops::kRecycleHeaderSize, fileops::kRecycleRecordSize));
  }
  file.Close();

  fuzz::ListBin();
  fuzz::EmptyFolder(fuzz::kBin);
  return 0;
}
