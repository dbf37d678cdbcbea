#include "platform/filetime.h"

#include <ctime>

#include "platform/errors.h"

namespace plat {
namespace {

constexpr qint64 kTicksPerSecond = 10000000;
constexpr qint64 kTicksPerMs = 10000;
constexpr qint64 kSecondsPerDay = 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr qint64 kDaysToUnixEpoch = 134774;
// The handheld refuses FILETIMEs with the top bit set and years past 30827.
constexpr quint64 kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

// Days since 1970-01-01 of a civil date (proleptic Gregorian), and back.
qint64 DaysFromCivil(qint64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  const qint64 era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<qint64>(doe) - 719468;
}

void CivilFromDays(qint64 z, qint64* y, unsigned* m, unsigned* d) {
  z += 719468;
  const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<qint64>(yoe) + era * 400 + (*m <= 2);
}

bool IsLeapYear(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(unsigned y, unsigned m) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// The local time zone's offset from UTC, in seconds, at the given UTC instant.
qint64 LocalOffsetAt(qint64 unixSeconds) {
  const time_t t = static_cast<time_t>(unixSeconds);
  struct tm local;
  if (!localtime_r(&t, &local)) return 0;
  return local.tm_gmtoff;
}

FILETIME Now() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

}  // namespace

quint64 FileTimeToU64(const FILETIME& ft) {
  return (static_cast<quint64>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME FileTimeFromU64(quint64 value) {
  return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

FILETIME FileTimeFromUnix(qint64 seconds, qint64 nanoseconds) {
  // Times before 1601 cannot be expressed; they become 0.
  const qint64 minSeconds = -static_cast<qint64>(kFileTimeUnixEpoch / kTicksPerSecond);
  if (seconds < minSeconds) return FileTimeFromU64(0);
  const qint64 ticks = seconds * kTicksPerSecond + nanoseconds / 100;
  const qint64 value = ticks + static_cast<qint64>(kFileTimeUnixEpoch);
  return FileTimeFromU64(value < 0 ? 0 : static_cast<quint64>(value));
}

void FileTimeToUnix(const FILETIME& ft, qint64* seconds, qint64* nanoseconds) {
  const qint64 ticks =
      static_cast<qint64>(FileTimeToU64(ft) & kMaxFileTime) - static_cast<qint64>(kFileTimeUnixEpoch);
  qint64 s = ticks / kTicksPerSecond;
  qint64 rest = ticks % kTicksPerSecond;
  if (rest < 0) {
    rest += kTicksPerSecond;
    --s;
  }
  *seconds = s;
  *nanoseconds = rest * 100;
}

int CompareFileTime(const FILETIME& a, const FILETIME& b) {
  const quint64 x = FileTimeToU64(a);
  const quint64 y = FileTimeToU64(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME* st) {
  const quint64 value = FileTimeToU64(ft);
  if (value > kMaxFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const qint64 totalMs = static_cast<qint64>(value / kTicksPerMs);
  const qint64 days = totalMs / (kSecondsPerDay * 1000);
  qint64 msOfDay = totalMs % (kSecondsPerDay * 1000);
  qint64 year;
  unsigned month, day;
  CivilFromDays(days - kDaysToUnixEpoch, &year, &month, &day);
  st->wYear = static_cast<WORD>(year);
  st->wMonth = static_cast<WORD>(month);
  st->wDay = static_cast<WORD>(day);
  // 1601-01-01 was a Monday (1).
  st->wDayOfWeek = static_cast<WORD>((days + 1) % 7);
  st->wHour = static_cast<WORD>(msOfDay / 3600000);
  msOfDay %= 3600000;
  st->wMinute = static_cast<WORD>(msOfDay / 60000);
  msOfDay %= 60000;
  st->wSecond = static_cast<WORD>(msOfDay / 1000);
  st->wMilliseconds = static_cast<WORD>(msOfDay % 1000);
  return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME* ft) {
  const bool valid = st.wYear >= 1601 && st.wYear <= 30827 && st.wMonth >= 1 &&
                     st.wMonth <= 12 && st.wDay >= 1 &&
                     st.wDay <= DaysInMonth(st.wYear, st.wMonth) && st.wHour < 24 &&
                     st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
  if (!valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const qint64 days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) + kDaysToUnixEpoch;
  const qint64 ms = ((days * 24 + st.wHour) * 60 + st.wMinute) * 60000 +
                    static_cast<qint64>(st.wSecond) * 1000 + st.wMilliseconds;
  *ft = FileTimeFromU64(static_cast<quint64>(ms) * kTicksPerMs);
  return true;
}

// The offset used is the one in force at that instant (summer or winter time of that date),
// as a desktop user expects to see a file's time.
bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME* local) {
  qint64 s, ns;
  FileTimeToUnix(utc, &s, &ns);
  const qint64 value =
      static_cast<qint64>(FileTimeToU64(utc)) + LocalOffsetAt(s) * kTicksPerSecond;
  if (value < 0 || static_cast<quint64>(value) > kMaxFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  *local = FileTimeFromU64(static_cast<quint64>(value));
  return true;
}

bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME* utc) {
  qint64 s, ns;
  FileTimeToUnix(local, &s, &ns);
  // The offset belongs to the UTC instant being sought; two steps settle it except inside a
  // clock change, where either reading is acceptable.
  qint64 offset = LocalOffsetAt(s);
  offset = LocalOffsetAt(s - offset);
  const qint64 value = static_cast<qint64>(FileTimeToU64(local)) - offset * kTicksPerSecond;
  if (value < 0 || static_cast<quint64>(value) > kMaxFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  *utc = FileTimeFromU64(static_cast<quint64>(value));
  return true;
}

void GetSystemTime(SYSTEMTIME* st) { FileTimeToSystemTime(Now(), st); }

void GetLocalTime(SYSTEMTIME* st) {
  FILETIME local;
  if (!FileTimeToLocalFileTime(Now(), &local)) local = Now();
  FileTimeToSystemTime(local, st);
}

DWORD GetTickCount() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const quint64 ms = static_cast<quint64>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  return static_cast<DWORD>(ms);
}

}  // namespace plat
