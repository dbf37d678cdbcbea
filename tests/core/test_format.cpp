// Size, duration and date texts, the picture engine, and the conversion of Qt locale formats.

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include "core/date_picture.h"
#include "core/format.h"

namespace {

using core::CLocaleTexts;

SYSTEMTIME MakeTime(WORD wYear, WORD wMonth, WORD wDay, WORD wHour = 0, WORD wMinute = 0,
                    WORD wSecond = 0, WORD wDayOfWeek = 0) {
  return SYSTEMTIME{wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, 0};
}

const CLocaleTexts& UsTexts() {
  static const CLocaleTexts texts =
      core::LocaleTextsFrom(QLocale(QLocale::English, QLocale::UnitedStates));
  return texts;
}

const CLocaleTexts& CTexts() {
  static const CLocaleTexts texts = core::LocaleTextsFrom(QLocale::c());
  return texts;
}

TEST(FormatSize, UnitsFractionsAndFlags) {
  struct Case {
    quint64 uSize;
    bool bNoGigabytes, bSmallInKilobytes, bNoFraction;
    const char* pszExpected;
  };
  const Case cases[] = {
      {0, false, true, false, "0.00 KB"},
      {0, false, false, false, "0 bytes"},
      {1, false, false, false, "1 byte"},
      {2, false, false, false, "2 bytes"},
      {500, false, true, false, "0.48 KB"},
      {500, false, false, false, "500 bytes"},
      {1024, false, false, false, "1024 bytes"},
      {1024, false, true, false, "1.00 KB"},
      {1025, false, false, false, "1.00 KB"},
      {1023, false, false, true, "1023 bytes"},
      {1536, false, true, true, "1KB"},
      {1048575, false, true, false, "1023.99 KB"},
      {1048576, false, true, false, "1024.00 KB"},
      {1572864, false, true, false, "1.50 MB"},
      {1073741824, false, true, false, "1024.00 MB"},
      {1073741825, false, true, false, "1.00 GB"},
      {2147483647, false, true, false, "1.99 GB"},  // never rounded up
      {3221225472, false, true, true, "3GB"},
      // Sizes of 4 GB and more keep all their bits.
      {4294967295ULL, false, true, false, "3.99 GB"},
      {4294967296ULL, false, true, false, "4.00 GB"},
      {4831838208ULL, false, true, false, "4.50 GB"},
      {5368709120ULL, true, true, false, "5120.00 MB"},
      {5368709120ULL, true, true, true, "5120MB"},
      {1099511627776ULL, false, true, false, "1024.00 GB"},
      {18446744073709551615ULL, false, true, false, "17179869183.99 GB"},
      {18446744073709551615ULL, true, true, false, "17592186044415.99 MB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::FormatSize(c.uSize, c.bNoGigabytes, c.bSmallInKilobytes, c.bNoFraction)
                  .toStdString(),
              c.pszExpected)
        << "size " << c.uSize << " noGB " << c.bNoGigabytes << " smallKB "
        << c.bSmallInKilobytes << " noFraction " << c.bNoFraction;
  }
  EXPECT_EQ(core::FormatSize(500).toStdString(), "0.48 KB") << "the usual call is the default";
}

TEST(FormatDuration, TwoLargestUnitsAndUnknown) {
  struct Case {
    DWORD dwMilliseconds;
    const char* pszExpected;
  };
  const Case cases[] = {
      {0, "0 seconds"},
      {999, "0 seconds"},
      {1000, "1 second"},
      {59999, "59 seconds"},
      {60000, "1 minute"},
      {119999, "1 minute"},
      {120000, "2 minutes"},
      {3599000, "59 minutes"},
      {3600000, "1 hour, 0 minutes"},
      {3660000, "1 hour, 1 minute"},
      {7322000, "2 hours, 2 minutes"},
      {86399999, "23 hours, 59 minutes"},
      {86400000, "1 day, 0 hours"},
      {90000000, "1 day, 1 hour"},
      {518399999, "5 days, 23 hours"},
      {518400000, "N/A"},  // six days
      {0xFFFFFFFE, "N/A"},
      {core::kDurationUnknown, "N/A"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(core::FormatDuration(c.dwMilliseconds).toStdString(), c.pszExpected)
        << c.dwMilliseconds << " ms";
}

TEST(FormatPicture, ElementsRunsAndLiterals) {
  const SYSTEMTIME wed = MakeTime(2008, 3, 5, 13, 7, 9, 3);  // Wednesday, 5 March 2008 13:07:09
  struct Case {
    SYSTEMTIME st;
    const char* pszPicture;
    const char* pszExpected;
  };
  const Case cases[] = {
      {wed, "dd'.'MM'.'yyyy", "05.03.2008"},
      {wed, "h:mm tt", "1:07 PM"},
      {wed, "h:mm t", "1:07 P"},
      {wed, "d/M/y", "5/3/2008"},
      {wed, "yy|yyy|yyyyy", "08|???|???"},
      {wed, "ddd, dddd|ddddd", "Wed, Wednesday|???"},
      {wed, "MMM MMMM|MMMMM", "Mar March|???"},
      {wed, "HH:mm:ss|H:m:s|hh", "13:07:09|13:7:9|01"},
      {wed, "HHH|hhh|mmm|sss|ttt", "???|???|???|???|???"},
      {wed, "q|qq", "1|???"},
      {wed, "w ww|www", "10 10|???"},
      {wed, "gg yyyy", " 2008"},
      {wed, "'dd MM' [x] - ,", "dd MM [x] - ,"},
      {wed, "'it''s'", "its"},
      {wed, "yyyy 'open to the end", "2008 open to the end"},
      {MakeTime(2008, 3, 5, 11, 59), "h:mm tt", "11:59 AM"},
      {MakeTime(2008, 3, 5, 12, 0), "h:mm tt", "12:00 PM"},
      {MakeTime(2008, 3, 5, 0, 5), "h:mm tt|hh", "0:05 AM|00"},  // hour 0 stays 0
      {MakeTime(2008, 12, 1), "q", "4"},
      {MakeTime(5, 1, 1), "yyyy|yy|y", "0005|05|5"},
      // Weeks start on Sunday; week 1 holds 1 January.
      {MakeTime(2022, 1, 1), "w", "1"},    // Saturday
      {MakeTime(2022, 1, 2), "w", "2"},    // Sunday
      {MakeTime(2023, 1, 7), "w", "1"},    // Saturday, the year began on a Sunday
      {MakeTime(2023, 1, 8), "w", "2"},
      {MakeTime(2008, 12, 31), "ww", "53"},
      // The weekday comes from the date, not from a hand-filled field.
      {MakeTime(2008, 3, 5, 0, 0, 0, 0), "ddd dddd", "Wed Wednesday"},
      {MakeTime(2008, 13, 5, 0, 0, 0, 2), "MMM|MMMM|dddd|w|M", "???|???|Tuesday|???|13"},
      {MakeTime(2008, 13, 5, 0, 0, 0, 9), "dddd", "???"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::FormatPicture(c.st, QString::fromUtf8(c.pszPicture), UsTexts()).toStdString(),
              c.pszExpected)
        << c.pszPicture << " on " << c.st.wYear << "-" << c.st.wMonth << "-" << c.st.wDay;
  }
}

TEST(FormatDateTime, LocalePicturesAndUnknownYear) {
  const SYSTEMTIME wed = MakeTime(2008, 3, 5, 13, 7, 9, 3);
  const CLocaleTexts germanTexts = core::LocaleTextsFrom(QLocale(QLocale::German, QLocale::Germany));
  struct Case {
    const CLocaleTexts* pLocale;
    SYSTEMTIME st;
    bool bDateOnly, bShortDate;
    const char* pszExpected;
  };
  const Case cases[] = {
      {&UsTexts(), wed, false, true, "3/5/08, 1:07:09 PM"},
      {&UsTexts(), wed, true, true, "3/5/08"},
      {&UsTexts(), wed, true, false, "Wednesday, March 5, 2008"},
      {&UsTexts(), wed, false, false, "Wednesday, March 5, 2008, 1:07:09 PM"},
      {&CTexts(), wed, true, true, "5 Mar 2008"},
      {&CTexts(), wed, false, false, "Wednesday, 5 March 2008, 13:07:09"},
      {&germanTexts, wed, false, true, "05.03.08, 13:07:09"},
      {&germanTexts, wed, true, false, "Mittwoch, 5. M\u00e4rz 2008"},
      {&UsTexts(), MakeTime(0, 3, 5, 13, 7, 9), false, true, "N/A"},
      {&UsTexts(), MakeTime(0, 0, 0), true, false, "N/A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::FormatDateTime(c.st, c.bDateOnly, c.bShortDate, *c.pLocale).toStdString(),
              c.pszExpected);
  }
  EXPECT_EQ(core::FormatDateTime(wed, false, true),
            core::FormatDateTime(wed, false, true, core::LocaleTextsFrom(QLocale::system())))
      << "the default locale is the host's";
}

TEST(PictureFromQtFormat, ConvertsElementsAndQuotesLetters) {
  struct Case {
    const char* pszQtFormat;
    const char* pszPicture;
  };
  const Case cases[] = {
      {"M/d/yy", "M/d/yy"},
      {"dd.MM.yyyy", "dd.MM.yyyy"},
      {"h:mm:ss AP t", "h:mm:ss tt"},
      {"h:mm ap", "h:mm tt"},
      {"HH:mm:ss t", "HH:mm:ss"},
      {"h:mm", "H:mm"},  // Qt's h is a 24-hour hour without AM/PM
      {"dddd, d MMMM 'de' yyyy", "dddd, d MMMM 'de' yyyy"},
      {"AP 'ga' h:mm", "tt 'ga' h:mm"},
      {"'Klock' H.mm:ss (t)", "Klock H.mm:ss"},
      {"t HH:mm", "HH:mm"},
      {"H\u6642mm\u5206ss\u79d2 t", "H\u6642mm\u5206ss\u79d2"},
      {"'it''s' HH", "'it\u2019s' HH"},
      {"ddddd", "dddd''d"},
      {"yyyyy", "yyyy'y'"},
      {"week w", "'week' 'w'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(core::PictureFromQtFormat(QString::fromUtf8(c.pszQtFormat)).toStdString(),
              c.pszPicture)
        << c.pszQtFormat;
  }
}

// Every Qt locale's date and time formats, converted and filled by the picture engine, read
// as Qt itself writes them. Formats with a time zone or milliseconds are left out (pictures
// drop those), and so are locales with digits other than 0-9 (pictures write ASCII digits).
TEST(PictureFromQtFormat, MatchesQtForEveryLocale) {
  const QDateTime times[] = {QDateTime(QDate(2008, 3, 5), QTime(13, 7, 9)),
                             QDateTime(QDate(2011, 11, 27), QTime(9, 45, 30))};
  int nCompared = 0;
  const QList<QLocale> locales =
      QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
  for (const QLocale& locale : locales) {
    if (locale.zeroDigit() != u"0") continue;
    const CLocaleTexts texts = core::LocaleTextsFrom(locale);
    const QString formats[] = {locale.dateFormat(QLocale::ShortFormat),
                               locale.dateFormat(QLocale::LongFormat),
                               locale.timeFormat(QLocale::ShortFormat),
                               locale.timeFormat(QLocale::LongFormat)};
    for (const QString& strFormat : formats) {
      QString strUnquoted = strFormat;
      strUnquoted.remove(QRegularExpression(QStringLiteral("'[^']*'")));
      if (strUnquoted.contains(u't') || strUnquoted.contains(u'z')) continue;
      const bool bAmPm = strUnquoted.contains(u'a', Qt::CaseInsensitive);
      const QString strPicture = core::PictureFromQtFormat(strFormat);
      for (const QDateTime& time : times) {
        const QDate date = time.date();
        const SYSTEMTIME st = MakeTime(date.year(), date.month(), date.day(), time.time().hour(),
                                       time.time().minute(), time.time().second());
        const QString strOurs = core::FormatPicture(st, strPicture, texts);
        const QString strQt = locale.toString(time, strFormat);
        // Qt changes the case of AM/PM texts; pictures show them as the locale has them.
        EXPECT_EQ(strOurs.compare(strQt, bAmPm ? Qt::CaseInsensitive : Qt::CaseSensitive), 0)
            << locale.name().toStdString() << " format " << strFormat.toStdString()
            << " picture " << strPicture.toStdString() << ": " << strOurs.toStdString()
            << " != " << strQt.toStdString();
        ++nCompared;
      }
    }
  }
  EXPECT_GT(nCompared, 1000);
}

}  // namespace
