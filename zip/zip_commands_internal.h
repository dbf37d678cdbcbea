#pragma once
// What the archive operations share.

#include <QString>

#include "platform/wintypes.h"

namespace zip {

// The icon pair of the archive operations' progress windows.
constexpr UINT kIconZip1 = 512;
constexpr UINT kIconZip2 = 511;

// The "Unsupported zip format" box (an archive that cannot be opened, a damaged entry), and the
// log line naming strItem, the archive or the entry.
void ReportDamaged(const QString& strItem);
// The "Encryption not supported" box, and the log line naming the entry.
void ReportEncrypted(const QString& strItem);

}  // namespace zip
