#pragma once
// What the archive operations share.

#include "platform/wintypes.h"

namespace zip {

// The icon pair of the archive operations' progress windows.
constexpr UINT kIconZip1 = 512;
constexpr UINT kIconZip2 = 511;

// The "Unsupported zip format" box (an archive that cannot be opened, a damaged entry).
void ReportDamaged();
// The "Encryption not supported" box.
void ReportEncrypted();

}  // namespace zip
