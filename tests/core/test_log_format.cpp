// printf-style formatting of log and trace texts.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/log_format.h"
#include "platform/wintypes.h"

namespace {

enum ETestEnum { eTestTwelve = 12 };

struct CFormatCase {
  const char* name;
  QString result;
  QString expected;
};

TEST(PrintfFormat, ConversionsWidthsAndSizes) {
  const QString path = QStringLiteral("\\Docs\\a.txt");
  const DWORD dwAll = 0xFFFFFFFFu;
  const CFormatCase cases[] = {
      {"plain", PrintfFormat(0, u"no conversions"), "no conversions"},
      {"int", PrintfFormat(0, u"x %d", 5), "x 5"},
      {"negative", PrintfFormat(0, u"%d|%i", -42, -7), "-42|-7"},
      {"zero pad", PrintfFormat(0, u"%02d:%02d", 3, 45), "03:45"},
      {"width", PrintfFormat(0, u"[%4d]", 5), "[   5]"},
      {"left", PrintfFormat(0, u"[%-4d]", 5), "[5   ]"},
      {"year", PrintfFormat(0, u"%4d", 2008), "2008"},
      {"unsigned", PrintfFormat(0, u"%u", dwAll), "4294967295"},
      {"32-bit d of DWORD", PrintfFormat(0, u"%d", dwAll), "-1"},
      {"hex", PrintfFormat(0, u"0x%x", 0xABCu), "0xabc"},
      {"HEX padded", PrintfFormat(0, u"%08X", 0xABCu), "00000ABC"},
      {"hex of negative", PrintfFormat(0, u"%x", -1), "ffffffff"},
      {"alternate", PrintfFormat(0, u"%#x", 255), "0xff"},
      {"I64d", PrintfFormat(0, u"%I64d", qint64(-5000000000LL)), "-5000000000"},
      {"I64u", PrintfFormat(0, u"%I64u", quint64(1) << 63), "9223372036854775808"},
      {"lld min", PrintfFormat(0, u"%lld", INT64_MIN), "-9223372036854775808"},
      {"I64 of 32-bit", PrintfFormat(0, u"%I64d", -3), "-3"},
      {"plus", PrintfFormat(0, u"%+d %+d", 4, -4), "+4 -4"},
      {"star width", PrintfFormat(0, u"[%*d]", 3, 7), "[  7]"},
      {"precision", PrintfFormat(0, u"%.3d", 7), "007"},
      {"string", PrintfFormat(0, u"Copy %s...", path), "Copy \\Docs\\a.txt..."},
      {"utf16 literal", PrintfFormat(0, u"%s!", u"hi"), "hi!"},
      {"utf8 literal", PrintfFormat(0, u"%s!", "h\xc3\xa9"), QString::fromUtf8("h\xc3\xa9!")},
      {"null string", PrintfFormat(0, u"%s", static_cast<const char16_t*>(nullptr)), "(null)"},
      {"S as s", PrintfFormat(0, u"%S", path), "\\Docs\\a.txt"},
      {"ls as s", PrintfFormat(0, u"%ls", path), "\\Docs\\a.txt"},
      {"string width", PrintfFormat(0, u"[%6s][%-6s]", u"ab", u"cd"), "[    ab][cd    ]"},
      {"string precision", PrintfFormat(0, u"%.3s", u"abcdef"), "abc"},
      {"char", PrintfFormat(0, u"%c%c%c", u'a', 'b', QChar(u'c')), "abc"},
      {"percent", PrintfFormat(0, u"100%% of %d", 3), "100% of 3"},
      {"float", PrintfFormat(0, u"%.2f", 2.5), "2.50"},
      {"enum", PrintfFormat(0, u"%d", eTestTwelve), "12"},
      {"missing argument", PrintfFormat(0, u"a %d b %s c"), "a  b  c"},
      {"extra argument", PrintfFormat(0, u"a", 1, 2), "a"},
      {"mismatch: text for %d", PrintfFormat(0, u"%d", u"seven"), "seven"},
      {"mismatch: number for %s", PrintfFormat(0, u"%s", 7), "7"},
      {"unknown conversion", PrintfFormat(0, u"%y %d", 1), "%y 1"},
      {"trailing percent", PrintfFormat(0, u"50%"), "50%"},
      {"placeholders stay", PrintfFormat(0, u"%s", u"%1 %d"), "%1 %d"},
  };
  for (const CFormatCase& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
}

TEST(PrintfFormat, LongTextIsCutToTheLimitLessTheTerminator) {
  const QString long3000(3000, QLatin1Char('x'));
  EXPECT_EQ(PrintfFormat(2048, u"%s", long3000).size(), 2047);
  EXPECT_EQ(PrintfFormat(1024, u"ab%s", long3000), QStringLiteral("ab") + QString(1021, 'x'));
  EXPECT_EQ(PrintfFormat(2048, u"%s", QString(2047, 'y')).size(), 2047);
  // A cut never leaves half of a surrogate pair behind.
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
  const QString text = PrintfFormat(6, u"abcd%s", emoji);
  EXPECT_EQ(text, "abcd");
}

}  // namespace
