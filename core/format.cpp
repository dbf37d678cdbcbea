#include "core/format.h"

namespace core {

namespace {

// String table texts 55284, 55285, 55131-55138 and 55009.
const QString kByte = QStringLiteral(" byte");
const QString kBytes = QStringLiteral(" bytes");
const QString kSecond = QStringLiteral("second");
const QString kSeconds = QStringLiteral("seconds");
const QString kMinute = QStringLiteral("minute");
const QString kMinutes = QStringLiteral("minutes");
const QString kHour = QStringLiteral("hour");
const QString kHours = QStringLiteral("hours");
const QString kDay = QStringLiteral("day");
const QString kDays = QStringLiteral("days");
const QString kNotAvailable = QStringLiteral("N/A");
const QString kGB = QStringLiteral("GB");
const QString kMB = QStringLiteral("MB");
const QString kKB = QStringLiteral("KB");
const QString kListSeparator = QStringLiteral(", ");

constexpr quint64 kKilobyte = 1024;
constexpr quint64 kMegabyte = kKilobyte * 1024;
constexpr quint64 kGigabyte = kMegabyte * 1024;

// "%d %s": the count with the singular word for exactly 1, the plural otherwise.
QString CountText(DWORD dwCount, const QString& strOne, const QString& strMany) {
  return QString::number(dwCount) + u' ' + (dwCount == 1 ? strOne : strMany);
}

}  // namespace

QString FormatSize(quint64 uSize, bool bNoGigabytes, bool bSmallInKilobytes, bool bNoFraction) {
  quint64 uUnit;
  const QString* pstrUnit;
  if (!bNoGigabytes && uSize > kGigabyte) {
    uUnit = kGigabyte;
    pstrUnit = &kGB;
  } else if (uSize > kMegabyte) {
    uUnit = kMegabyte;
    pstrUnit = &kMB;
  } else if (uSize > kKilobyte || bSmallInKilobytes) {
    uUnit = kKilobyte;
    pstrUnit = &kKB;
  } else {
    return QString::number(uSize) + (uSize == 1 ? kByte : kBytes);
  }

  QString strText = QString::number(uSize / uUnit);
  if (bNoFraction) return strText + *pstrUnit;
  // The remainder is below 2^30, so the product cannot overflow 64 bits.
  const unsigned uFraction = unsigned((uSize % uUnit) * 100 / uUnit);
  strText += u'.';
  strText += QChar(u'0' + uFraction / 10);
  strText += QChar(u'0' + uFraction % 10);
  strText += u' ';
  strText += *pstrUnit;
  return strText;
}

QString FormatDuration(DWORD dwMilliseconds) {
  if (dwMilliseconds == kDurationUnknown) return kNotAvailable;
  const DWORD dwSeconds = dwMilliseconds / 1000;
  if (dwSeconds < 60) return CountText(dwSeconds, kSecond, kSeconds);
  if (dwSeconds < 3600) return CountText(dwSeconds / 60, kMinute, kMinutes);
  if (dwSeconds < 86400) {
    return CountText(dwSeconds / 3600, kHour, kHours) + kListSeparator +
           CountText(dwSeconds % 3600 / 60, kMinute, kMinutes);
  }
  const DWORD dwDays = dwSeconds / 86400;
  if (dwDays > 5) return kNotAvailable;
  return CountText(dwDays, kDay, kDays) + kListSeparator +
         CountText(dwSeconds % 86400 / 3600, kHour, kHours);
}

QString FormatDateTime(const SYSTEMTIME& st, bool bDateOnly, bool bShortDate,
                       const CLocaleTexts& locale) {
  if (st.wYear == 0) return kNotAvailable;
  QString strPicture = bShortDate ? locale.strShortDate : locale.strLongDate;
  if (!bDateOnly) strPicture += kListSeparator + locale.strTime;
  return FormatPicture(st, strPicture, locale);
}

}  // namespace core
