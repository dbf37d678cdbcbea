#pragma once
// Texts that several file operations show, from the text table (core/texts.h).

#include <QString>

namespace fileops {

// "Delete" (55151), the title of delete, shred and move failures.
QString DeleteTitle();
// "Can not delete file "%1". It is used or locked by another program." (55153).
QString CannotDeleteText(const QString& strPath);
// A bytes line of a progress window, nId one of "Copied %1 of %2 bytes..." (55150),
// "Moved %1 of %2 bytes..." (61223), "Shredded %1 of %2 bytes..." (55378).
QString BytesLine(int nId, quint64 done, quint64 total);
// A count line, nId one of "Copied %1 %2 from %3 total." (55169), "Moved ..." (61231),
// "Deleted ..." (55334), with "file" (55301) for exactly one and "files" (55302) otherwise.
QString CountLine(int nId, quint64 done, quint64 total);

}  // namespace fileops
