#pragma once
// The texts that lists, property pages, progress windows and information pages show for byte
// sizes, elapsed or remaining times, and dates with times. Pure functions; they never fail and
// answer "N/A" where the input cannot be shown.

#include <QString>

#include "core/date_picture.h"
#include "platform/wintypes.h"

namespace core {

// A byte count in binary units (KB = 1024): "1.50 MB", "0.48 KB", "500 bytes", "3GB". The
// fraction is two truncated digits. Units change only above a full unit, so 1 048 576 bytes
// is "1024.00 KB". bNoGigabytes stops at megabytes; bSmallInKilobytes shows 1024 bytes and
// less in kilobytes too; bNoFraction drops the fraction and the blank before the unit. The
// defaults are the call the user interface makes everywhere. Touches no locale: it runs for
// every row of every list.
QString FormatSize(quint64 uSize, bool bNoGigabytes = false, bool bSmallInKilobytes = true,
                   bool bNoFraction = false);

// An elapsed or remaining time in its two largest units: "59 seconds", "3 minutes",
// "1 hour, 5 minutes", "2 days, 3 hours". 0xFFFFFFFF (unknown) and six days or more give
// "N/A".
constexpr DWORD kDurationUnknown = 0xFFFFFFFF;
QString FormatDuration(DWORD dwMilliseconds);

// A date, with ", " and the time unless bDateOnly, in the locale's short or long date picture
// and its time picture. A time whose year is 0 gives "N/A".
QString FormatDateTime(const SYSTEMTIME& st, bool bDateOnly, bool bShortDate,
                       const CLocaleTexts& locale = SystemLocaleTexts());

}  // namespace core
