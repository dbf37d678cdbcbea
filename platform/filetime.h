#pragma once
// Times: FILETIMEs (100 ns since 1601-01-01 UTC), the clock, and their conversions.

#include <QtGlobal>

#include "platform/wintypes.h"

namespace plat {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr quint64 kFileTimeUnixEpoch = 116444736000000000ULL;

quint64 FileTimeToU64(const FILETIME& ft);
FILETIME FileTimeFromU64(quint64 value);
// Host nanosecond time (seconds and nanoseconds since 1970, UTC) to a FILETIME and back.
FILETIME FileTimeFromUnix(qint64 seconds, qint64 nanoseconds);
void FileTimeToUnix(const FILETIME& ft, qint64* seconds, qint64* nanoseconds);

// -1, 0 or 1, as the handheld's CompareFileTime.
int CompareFileTime(const FILETIME& a, const FILETIME& b);
bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME* st);
bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME* ft);
// UTC to the host's local time zone and back.
bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME* local);
bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME* utc);

void GetSystemTime(SYSTEMTIME* st);  // now, UTC
void GetLocalTime(SYSTEMTIME* st);   // now, local time
DWORD GetTickCount();                // milliseconds since an arbitrary start, wraps at 2^32

}  // namespace plat
