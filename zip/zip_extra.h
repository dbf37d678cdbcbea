#pragma once
// Extra fields of entries and the times they carry: the extended timestamp (0x5455, Unix
// seconds, UTC) and the NTFS times (0x000A, FILETIMEs); the DOS time of an entry is local time.

#include <QByteArray>

#include "platform/wintypes.h"

namespace zip {

// The data of the first extra field with the tag; empty when there is none (or it is cut).
QByteArray FindExtraField(const QByteArray& extra, quint16 tag);

// The times of an entry. Each pointer receives a time the extra fields give; the last write
// time falls back to the DOS time, the other two to the last write time.
void EntryTimes(const QByteArray& extra, quint32 dosDate, FILETIME* pCreation, FILETIME* pAccess,
                FILETIME* pWrite);

// The DOS date and time (local time) of a FILETIME, clamped to 1980..2107.
quint32 DosDateOf(const FILETIME& ft);
FILETIME FileTimeOfDosDate(quint32 dosDate);

// The extended timestamp fields of a new entry: the local header's carries all three times,
// the central directory's the last write time.
QByteArray LocalTimestampField(const FILETIME& write, const FILETIME& access,
                               const FILETIME& creation);
QByteArray CentralTimestampField(const FILETIME& write);

}  // namespace zip
