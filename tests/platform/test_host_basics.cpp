// Error codes and texts, FILETIME conversions, version and ANSI text of the host layer.
#include <cerrno>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/system.h"

namespace {

TEST(Errors, ErrnoMapsToTheHandheldsCodes) {
  struct Case {
    int err;
    DWORD code;
  } cases[] = {
      {ENOENT, ERROR_FILE_NOT_FOUND},      {EACCES, ERROR_ACCESS_DENIED},
      {EPERM, ERROR_ACCESS_DENIED},        {EROFS, ERROR_ACCESS_DENIED},
      {EEXIST, ERROR_ALREADY_EXISTS},      {ENOSPC, ERROR_DISK_FULL},
      {EDQUOT, ERROR_DISK_FULL},           {EIO, ERROR_IO_DEVICE},
      {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
      {EXDEV, ERROR_NOT_SAME_DEVICE},      {ENOTDIR, ERROR_PATH_NOT_FOUND},
      {EISDIR, ERROR_ACCESS_DENIED},       {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
      {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},   {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
      {EBUSY, ERROR_BUSY},                 {EINVAL, ERROR_INVALID_PARAMETER},
      {0, ERROR_SUCCESS},
  };
  for (const Case& c : cases) EXPECT_EQ(plat::ErrorFromErrno(c.err), c.code) << c.err;
}

TEST(Errors, SystemMessagesAreTheHandheldsTexts) {
  struct Case {
    DWORD code;
    const char* text;
  } cases[] = {
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {5, "Access is denied."},
      {18, "There are no more files."},
      {80, "The file exists."},
      {87, "The parameter is incorrect."},
      {112, "There is not enough space on the disk."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {145, "The directory is not empty."},
      {183, "Cannot create a file when that file already exists."},
      {234, "More data is available."},
      {259, "No more data is available."},
      {1010, "The configuration registry key is invalid."},
      {1117, "The request could not be performed because of an I/O device error."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(plat::SystemMessage(c.code), QString::fromLatin1(c.text) + "\r\n") << c.code;
  EXPECT_TRUE(plat::SystemMessage(0xDEADu).isEmpty());
}

TEST(Errors, LastErrorBelongsToTheThread) {
  plat::SetLastError(ERROR_DISK_FULL);
  DWORD seenByOther = 1;
  std::thread other([&] { seenByOther = plat::GetLastError(); });
  other.join();
  EXPECT_EQ(seenByOther, ERROR_SUCCESS);
  EXPECT_EQ(plat::GetLastError(), ERROR_DISK_FULL);
}

TEST(FileTime, UnixTimesConvertBothWays) {
  // 2001-09-09 01:46:40.123456789 UTC.
  const FILETIME ft = plat::FileTimeFromUnix(1000000000, 123456789);
  EXPECT_EQ(plat::FileTimeToU64(ft), 116444736000000000ULL + 10000000000000000ULL + 1234567ULL);
  qint64 s = 0, ns = 0;
  plat::FileTimeToUnix(ft, &s, &ns);
  EXPECT_EQ(s, 1000000000);
  EXPECT_EQ(ns, 123456700);  // 100 ns units
  plat::FileTimeToUnix(plat::FileTimeFromU64(0), &s, &ns);
  EXPECT_EQ(s, -11644473600);
  EXPECT_EQ(ns, 0);
  EXPECT_EQ(plat::FileTimeToU64(plat::FileTimeFromUnix(-20000000000, 0)), 0u);  // before 1601
}

TEST(FileTime, SystemTimeRoundTrip) {
  const SYSTEMTIME cases[] = {
      {1601, 1, 1, 1, 0, 0, 0, 0},          {1970, 1, 4, 1, 0, 0, 0, 0},
      {2000, 2, 2, 29, 23, 59, 59, 999},    {2024, 12, 2, 31, 12, 30, 15, 500},
      {30827, 12, 5, 31, 23, 59, 59, 999},
  };
  for (const SYSTEMTIME& in : cases) {
    FILETIME ft;
    ASSERT_TRUE(plat::SystemTimeToFileTime(in, &ft)) << in.wYear;
    SYSTEMTIME out;
    ASSERT_TRUE(plat::FileTimeToSystemTime(ft, &out));
    EXPECT_EQ(out.wYear, in.wYear);
    EXPECT_EQ(out.wMonth, in.wMonth);
    EXPECT_EQ(out.wDay, in.wDay);
    EXPECT_EQ(out.wDayOfWeek, in.wDayOfWeek) << in.wYear;  // the cases give the true weekday
    EXPECT_EQ(out.wHour, in.wHour);
    EXPECT_EQ(out.wMinute, in.wMinute);
    EXPECT_EQ(out.wSecond, in.wSecond);
    EXPECT_EQ(out.wMilliseconds, in.wMilliseconds);
  }
  const SYSTEMTIME invalid[] = {
      {2023, 2, 0, 29, 0, 0, 0, 0}, {1600, 12, 0, 31, 0, 0, 0, 0}, {2000, 13, 0, 1, 0, 0, 0, 0},
      {2000, 1, 0, 1, 24, 0, 0, 0}, {2000, 1, 0, 0, 0, 0, 0, 0},
  };
  for (const SYSTEMTIME& st : invalid) {
    FILETIME ft;
    EXPECT_FALSE(plat::SystemTimeToFileTime(st, &ft)) << st.wYear << "-" << st.wMonth;
  }
}

TEST(FileTime, LocalTimeUsesTheZoneOfThatDate) {
  qputenv("TZ", "Europe/Berlin");
  tzset();
  SYSTEMTIME summer{2023, 7, 0, 1, 12, 0, 0, 0}, winter{2023, 1, 0, 1, 12, 0, 0, 0};
  FILETIME utc, local;
  SYSTEMTIME out;
  ASSERT_TRUE(plat::SystemTimeToFileTime(summer, &utc));
  ASSERT_TRUE(plat::FileTimeToLocalFileTime(utc, &local));
  plat::FileTimeToSystemTime(local, &out);
  EXPECT_EQ(out.wHour, 14);
  FILETIME back;
  ASSERT_TRUE(plat::LocalFileTimeToFileTime(local, &back));
  EXPECT_EQ(plat::CompareFileTime(back, utc), 0);
  ASSERT_TRUE(plat::SystemTimeToFileTime(winter, &utc));
  ASSERT_TRUE(plat::FileTimeToLocalFileTime(utc, &local));
  plat::FileTimeToSystemTime(local, &out);
  EXPECT_EQ(out.wHour, 13);
  qunsetenv("TZ");
  tzset();
}

TEST(FileTime, CompareAndTick) {
  EXPECT_EQ(plat::CompareFileTime(plat::FileTimeFromU64(5), plat::FileTimeFromU64(7)), -1);
  EXPECT_EQ(plat::CompareFileTime(plat::FileTimeFromU64(1ULL << 33), plat::FileTimeFromU64(7)), 1);
  EXPECT_EQ(plat::CompareFileTime(plat::FileTimeFromU64(7), plat::FileTimeFromU64(7)), 0);
  const DWORD before = plat::GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(plat::GetTickCount() - before, 20u);
}

TEST(System, VersionComesFromTheEnvironment) {
  struct Case {
    const char* env;
    DWORD major, minor;
  } cases[] = {{nullptr, 3, 0}, {"4.20", 4, 20}, {"5", 5, 0}, {"junk", 3, 0}, {"4.x", 3, 0}};
  for (const Case& c : cases) {
    if (c.env)
      qputenv("PINBRO_OS_VERSION", c.env);
    else
      qunsetenv("PINBRO_OS_VERSION");
    DWORD major = 0, minor = 0, build = 1;
    plat::GetVersion(&major, &minor, &build);
    EXPECT_EQ(major, c.major) << (c.env ? c.env : "unset");
    EXPECT_EQ(minor, c.minor) << (c.env ? c.env : "unset");
  }
  qunsetenv("PINBRO_OS_VERSION");
}

TEST(System, AnsiTextThroughTheLocaleCharset) {
  const QString text = QStringLiteral("Grüße €");
  EXPECT_EQ(plat::FromAnsi(plat::ToAnsi(text)), text);
  EXPECT_EQ(plat::ToAnsi(QStringLiteral("a") + QChar(0xDC00) + QStringLiteral("b")), QByteArray("a?b"));
}

}  // namespace
