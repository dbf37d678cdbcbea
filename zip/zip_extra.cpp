#include "zip/zip_extra.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>

#include <algorithm>

#include "platform/filetime.h"

namespace zip {
namespace {

constexpr quint16 kTimestampTag = 0x5455;
constexpr quint16 kNtfsTag = 0x000A;

quint16 Le16(const char* p) { return quint16(uchar(p[0]) | uchar(p[1]) << 8); }
quint32 Le32(const char* p) { return quint32(Le16(p)) | quint32(Le16(p + 2)) << 16; }
quint64 Le64(const char* p) { return quint64(Le32(p)) | quint64(Le32(p + 4)) << 32; }

void Put16(QByteArray* out, quint16 v) {
  out->append(char(v & 0xFF));
  out->append(char(v >> 8));
}
void Put32(QByteArray* out, quint32 v) {
  Put16(out, quint16(v & 0xFFFF));
  Put16(out, quint16(v >> 16));
}

FILETIME FromUnixSeconds(qint32 seconds) { return plat::FileTimeFromUnix(seconds, 0); }

// Unix seconds clamped to what the field's signed 32 bits hold.
quint32 UnixSeconds(const FILETIME& ft) {
  qint64 seconds = 0, nanoseconds = 0;
  plat::FileTimeToUnix(ft, &seconds, &nanoseconds);
  return quint32(qint32(std::clamp<qint64>(seconds, INT32_MIN, INT32_MAX)));
}

}  // namespace

QByteArray FindExtraField(const QByteArray& extra, quint16 tag) {
  qsizetype at = 0;
  while (at + 4 <= extra.size()) {
    const quint16 id = Le16(extra.constData() + at);
    const quint16 size = Le16(extra.constData() + at + 2);
    if (at + 4 + size > extra.size()) return {};
    if (id == tag) return extra.mid(at + 4, size);
    at += 4 + size;
  }
  return {};
}

void EntryTimes(const QByteArray& extra, quint32 dosDate, FILETIME* pCreation, FILETIME* pAccess,
                FILETIME* pWrite) {
  bool bWrite = false, bAccess = false, bCreation = false;
  const QByteArray ntfs = FindExtraField(extra, kNtfsTag);
  // Reserved word, then attributes: tag 1 with the three FILETIMEs.
  qsizetype at = 4;
  while (at + 4 <= ntfs.size()) {
    const quint16 tag = Le16(ntfs.constData() + at);
    const quint16 size = Le16(ntfs.constData() + at + 2);
    if (tag == 1 && size >= 24 && at + 4 + 24 <= ntfs.size()) {
      // A time left 0 is not known.
      const char* p = ntfs.constData() + at + 4;
      const auto take = [](quint64 value, bool* pbHave, FILETIME* pTime) {
        if (value == 0) return;
        *pTime = plat::FileTimeFromU64(value);
        *pbHave = true;
      };
      take(Le64(p), &bWrite, pWrite);
      take(Le64(p + 8), &bAccess, pAccess);
      take(Le64(p + 16), &bCreation, pCreation);
      break;
    }
    at += 4 + size;
  }
  const QByteArray stamp = FindExtraField(extra, kTimestampTag);
  if (!bWrite && !stamp.isEmpty()) {
    // Flags, then the times the flags name, in the order write, access, creation; the central
    // directory's field may carry fewer than its flags say.
    const quint8 flags = quint8(stamp[0]);
    qsizetype pos = 1;
    const auto next = [&](bool bFlag, bool* pbHave, FILETIME* pTime) {
      if (!bFlag) return;
      if (pos + 4 > stamp.size()) return;
      *pTime = FromUnixSeconds(qint32(Le32(stamp.constData() + pos)));
      *pbHave = true;
      pos += 4;
    };
    next(flags & 1, &bWrite, pWrite);
    next(flags & 2, &bAccess, pAccess);
    next(flags & 4, &bCreation, pCreation);
  }
  if (!bWrite) *pWrite = FileTimeOfDosDate(dosDate);
  if (!bAccess) *pAccess = *pWrite;
  if (!bCreation) *pCreation = *pWrite;
}

// The local time zone's offset from UTC (seconds east) at a moment, kept per quarter of an
// hour: asking the time zone each time costs a look at its file for every entry.
int LocalOffset(qint64 utcSeconds) {
  thread_local QHash<qint64, int> cache;
  const qint64 bucket = utcSeconds >= 0 ? utcSeconds / 900 : (utcSeconds - 899) / 900;
  const auto found = cache.constFind(bucket);
  if (found != cache.cend()) return *found;
  const int offset = QDateTime::fromSecsSinceEpoch(bucket * 900).toLocalTime().offsetFromUtc();
  if (cache.size() > 4096) cache.clear();
  cache.insert(bucket, offset);
  return offset;
}

quint32 DosDateOf(const FILETIME& ft) {
  qint64 seconds = 0, nanoseconds = 0;
  plat::FileTimeToUnix(ft, &seconds, &nanoseconds);
  const QDateTime local =
      QDateTime::fromSecsSinceEpoch(seconds + LocalOffset(seconds), QTimeZone::utc());
  const QDate date = local.date();
  const QTime time = local.time();
  if (date.year() < 1980) return (0 << 25) | (1 << 21) | (1 << 16);  // 1980-01-01 00:00
  if (date.year() > 2107)
    return (127u << 25) | (12 << 21) | (31 << 16) | (23 << 11) | (59 << 5) | 29;
  return quint32(date.year() - 1980) << 25 | quint32(date.month()) << 21 |
         quint32(date.day()) << 16 | quint32(time.hour()) << 11 | quint32(time.minute()) << 5 |
         quint32(time.second() / 2);
}

FILETIME FileTimeOfDosDate(quint32 dosDate) {
  const int year = int((dosDate >> 25) & 0x7F) + 1980;
  const int month = std::clamp(int((dosDate >> 21) & 0x0F), 1, 12);
  const int day = std::clamp(int((dosDate >> 16) & 0x1F), 1, 31);
  const int hour = std::min(int((dosDate >> 11) & 0x1F), 23);
  const int minute = std::min(int((dosDate >> 5) & 0x3F), 59);
  const int second = std::min(int(dosDate & 0x1F) * 2, 59);
  QDate date(year, month, 1);
  date = date.addDays(std::min(day, date.daysInMonth()) - 1);
  // The local time read as UTC, then moved by the offset in force at that moment.
  const qint64 asUtc =
      QDateTime(date, QTime(hour, minute, second), QTimeZone::utc()).toSecsSinceEpoch();
  const qint64 utc = asUtc - LocalOffset(asUtc - LocalOffset(asUtc));
  return plat::FileTimeFromUnix(utc, 0);
}

QByteArray LocalTimestampField(const FILETIME& write, const FILETIME& access,
                               const FILETIME& creation) {
  QByteArray out;
  Put16(&out, kTimestampTag);
  Put16(&out, 13);
  out.append(char(7));
  Put32(&out, UnixSeconds(write));
  Put32(&out, UnixSeconds(access));
  Put32(&out, UnixSeconds(creation));
  return out;
}

QByteArray CentralTimestampField(const FILETIME& write) {
  QByteArray out;
  Put16(&out, kTimestampTag);
  Put16(&out, 5);
  out.append(char(7));
  Put32(&out, UnixSeconds(write));
  return out;
}

}  // namespace zip
