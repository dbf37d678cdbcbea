#pragma once
// The space taken by files in ROM. Computing it walks the whole device, so it is computed
// once and kept in the settings store as the process-wide value "ROMFileSize" (a 32-bit
// number; -1 or missing means not known yet). Deleting that value, or setting it to -1, makes
// the next program run walk again. On the desktop no file is in ROM, so the walk finds 0.

#include <QtGlobal>

#include "platform/wintypes.h"

namespace device {

// The settings value that keeps the figure.
inline constexpr char16_t kRomFileSizeValue[] = u"ROMFileSize";

// The bytes of the files in ROM: the figure kept for the process, else the stored value, else
// a walk of the device from "\" (storage cards are not walked) whose low 32 bits are stored.
// Called on the user-interface thread only.
quint64 RomFilesSize();
// True for a find record that counts as a file in ROM: not a folder, and any of the bits
// 0x3040 (in ROM, ROM module, 0x1000).
bool IsRomFile(DWORD dwAttributes);
// Forgets the figure kept for the process, so that the next RomFilesSize reads the stored
// value again (for tests, and after the value was changed from outside).
void ForgetRomFilesSize();

}  // namespace device
