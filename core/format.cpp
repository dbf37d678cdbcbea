#include "core/format.h"

#include "core/texts.h"

namespace core {

namespace {

// Numbers of the unit words and suffixes in the text table (core/texts.h).
constexpr int kByte = 55284, kBytes = 55285;
constexpr int kSecond = 55131, kSeconds = 55132, kMinute = 55133, kMinutes = 55134;
constexpr int kHour = 55135, kHours = 55136, kDay = 55137, kDays = 55138;
constexpr int kNotAvailable = 55009;
constexpr int kListSeparator = 900004;

constexpr quint64 kKilobyte = 1024;
constexpr quint64 kMegabyte = kKilobyte * 1024;
constexpr quint64 kGigabyte = kMegabyte * 1024;

// "%d %s": the count with the singular word for exactly 1, the plural otherwise.
QString CountText(DWORD dwCount, int nOne, int nMany) {
  return QString::number(dwCount) + u' ' + Text(dwCount == 1 ? nOne : nMany);
}

// A unit: its size, and the numbers of its suffix with the fraction (".%1 MB") and without it.
struct CSizeUnit {
  quint64 uSize;
  int nWithFraction;
  int nBare;
};
constexpr CSizeUnit kGigabytes = {kGigabyte, 55006, 900001};
constexpr CSizeUnit kMegabytes = {kMegabyte, 55007, 900002};
constexpr CSizeUnit kKilobytes = {kKilobyte, 55008, 900003};

}  // namespace

QString FormatSize(quint64 uSize, bool bNoGigabytes, bool bSmallInKilobytes, bool bNoFraction) {
  const CSizeUnit* pUnit;
  if (!bNoGigabytes && uSize > kGigabyte) {
    pUnit = &kGigabytes;
  } else if (uSize > kMegabyte) {
    pUnit = &kMegabytes;
  } else if (uSize > kKilobyte || bSmallInKilobytes) {
    pUnit = &kKilobytes;
  } else {
    return QString::number(uSize) + Text(uSize == 1 ? kByte : kBytes);
  }

  const QString strWhole = QString::number(uSize / pUnit->uSize);
  if (bNoFraction) return strWhole + Text(pUnit->nBare);
  // The remainder is below 2^30, so the product cannot overflow 64 bits.
  const unsigned uFraction = unsigned((uSize % pUnit->uSize) * 100 / pUnit->uSize);
  return strWhole + Text(pUnit->nWithFraction).arg(uFraction, 2, 10, QLatin1Char('0'));
}

QString FormatDuration(DWORD dwMilliseconds) {
  if (dwMilliseconds == kDurationUnknown) return Text(kNotAvailable);
  const DWORD dwSeconds = dwMilliseconds / 1000;
  if (dwSeconds < 60) return CountText(dwSeconds, kSecond, kSeconds);
  if (dwSeconds < 3600) return CountText(dwSeconds / 60, kMinute, kMinutes);
  if (dwSeconds < 86400) {
    return CountText(dwSeconds / 3600, kHour, kHours) + Text(kListSeparator) +
           CountText(dwSeconds % 3600 / 60, kMinute, kMinutes);
  }
  const DWORD dwDays = dwSeconds / 86400;
  if (dwDays > 5) return Text(kNotAvailable);
  return CountText(dwDays, kDay, kDays) + Text(kListSeparator) +
         CountText(dwSeconds % 86400 / 3600, kHour, kHours);
}

QString FormatDateTime(const SYSTEMTIME& st, bool bDateOnly, bool bShortDate,
                       const CLocaleTexts& locale) {
  if (st.wYear == 0) return Text(kNotAvailable);
  QString strPicture = bShortDate ? locale.strShortDate : locale.strLongDate;
  if (!bDateOnly) strPicture += Text(kListSeparator) + locale.strTime;
  return FormatPicture(st, strPicture, locale);
}

}  // namespace core
