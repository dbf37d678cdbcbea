#pragma once
// The date and time picture engine. A picture is text with format letters (d, M, y, w, q, g, h,
// H, m, s, t) that are replaced by the parts of a SYSTEMTIME; text inside apostrophes is copied
// as it stands. Names and AM/PM texts come from a CLocaleTexts, so tests can pin the locale.

#include <QLocale>
#include <QString>

#include <array>

#include "platform/wintypes.h"

namespace core {

// The locale items that date and time texts need. Day lists start on Sunday, month lists on
// January. The three pictures use the letters of FormatPicture.
struct CLocaleTexts {
  QString strShortDate;
  QString strLongDate;
  QString strTime;
  std::array<QString, 7> astrDayAbbrev;
  std::array<QString, 7> astrDayName;
  std::array<QString, 12> astrMonthAbbrev;
  std::array<QString, 12> astrMonthName;
  QString strAM;
  QString strPM;
};

// The items of a Qt locale, its date and time formats converted to pictures. The time picture
// is the long time format (with seconds) without its time-zone element.
CLocaleTexts LocaleTextsFrom(const QLocale& locale);

// The host's locale (QLocale::system()), read once on first use and never changed afterwards,
// so any thread may read it.
const CLocaleTexts& SystemLocaleTexts();

// A Qt date/time format string as a picture. Elements the picture letters cannot express (the
// time zone, milliseconds) are left out together with the blank or parentheses around them;
// Qt's "h" becomes "H" unless the format shows AM/PM; a literal apostrophe becomes U+2019
// because inside a picture an apostrophe only opens or closes copied text.
QString PictureFromQtFormat(const QString& strQtFormat);

// Fills a picture from a time. A run of one format letter is one element; run lengths without a
// form give "???"; every other character is copied. Never fails.
QString FormatPicture(const SYSTEMTIME& st, const QString& strPicture,
                      const CLocaleTexts& locale = SystemLocaleTexts());

}  // namespace core
