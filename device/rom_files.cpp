#include "device/rom_files.h"

#include "core/app_log.h"
#include "core/settings_store.h"
#include "fileops/plan_walk.h"

namespace device {
namespace {

constexpr quint64 kUnknown = ~quint64(0);
constexpr DWORD kRomBits = 0x3040;

// Written and read on the user-interface thread only.
quint64 romFilesSize = kUnknown;

// Adds the files in ROM; storage cards (folders with the temporary bit) are not entered.
class CRomWalk final : public fileops::IPlanVisitor {
 public:
  quint64 bytes = 0;

 private:
  fileops::EWalk FolderEntered(const fileops::CWalkItem& folder) override {
    return folder.data.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY ? fileops::EWalk::eSkip
                                                                   : fileops::EWalk::eGoOn;
  }
  fileops::EWalk File(const fileops::CWalkItem& file) override {
    if (IsRomFile(file.data.dwFileAttributes)) bytes += file.Size();
    return fileops::EWalk::eGoOn;
  }
};

}  // namespace

bool IsRomFile(DWORD dwAttributes) {
  return !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY) && (dwAttributes & kRomBits) != 0;
}

quint64 RomFilesSize() {
  if (romFilesSize != kUnknown) return romFilesSize;
  DWORD dwStored = 0xFFFFFFFF;
  ReadGlobalDword(QString::fromUtf16(kRomFileSizeValue), 0xFFFFFFFF, &dwStored);
  if (dwStored != 0xFFFFFFFF) {
    romFilesSize = dwStored;
    return romFilesSize;
  }
  LogTrace(u"RomFilesSize()...");
  CRomWalk walk;
  fileops::WalkFolder(QStringLiteral("\\"), walk);
  romFilesSize = walk.bytes;
  WriteGlobalDword(QString::fromUtf16(kRomFileSizeValue), DWORD(walk.bytes));
  LogNotice(u"  ROM files: %I64u bytes", walk.bytes);
  LogTrace(u"RomFilesSize()");
  return romFilesSize;
}

void ForgetRomFilesSize() { romFilesSize = kUnknown; }

}  // namespace device
