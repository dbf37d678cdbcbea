// pinbro-cli info: the device storage totals of the device property page, one figure per
// line: its name, a tab, the exact number (per cent for the memory load, bytes otherwise),
// and for sizes a tab and the size as the program shows it.
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "core/format.h"
#include "device/rom_files.h"
#include "device/storage_totals.h"

namespace cli {
namespace {

void PrintSize(CCliContext& ctx, const char* name, quint64 uBytes) {
  ctx.out << name << "\t" << uBytes << "\t" << core::FormatSize(uBytes) << "\n";
}

}  // namespace

int RunInfoCommand(CCliContext& ctx) {
  if (!ctx.args.isEmpty()) {
    ctx.err << "usage: pinbro-cli info\n";
    return kExitUsage;
  }
  ctx.out << "MemoryLoad\t" << device::MemoryLoad() << "\n";
  PrintSize(ctx, "TotalPhysicalMemory", device::TotalPhysicalMemory());
  PrintSize(ctx, "AvailablePhysicalMemory", device::AvailablePhysicalMemory());
  PrintSize(ctx, "StoreSize", device::StoreSize());
  PrintSize(ctx, "StoreFreeSize", device::StoreFreeSize());
  PrintSize(ctx, "RomFilesSize", device::RomFilesSize());
  PrintSize(ctx, "StorageCardsSize", device::StorageCardsSize());
  PrintSize(ctx, "DeviceTotalSize", device::DeviceTotalSize());
  return kExitOk;
}

}  // namespace cli
