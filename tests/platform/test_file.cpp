// CHostFile: the handheld's create modes, reads, writes, seeks and sizes on real files.
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "support/temp_root.h"

namespace {

using plat::CHostFile;

class HostFileTest : public test::TempRoot {};

TEST_F(HostFileTest, CreateModesOnExistingAndMissingFiles) {
  MakeFile("\\old.txt", "old content");
  MakeFolder("\\dir");
  struct Case {
    const char* path;
    DWORD creation;
    bool ok;
    DWORD error;            // last error after the call
    const char* afterwards;  // content after open (+ close); nullptr = no file
  } cases[] = {
      {"\\old.txt", plat::CREATE_NEW, false, ERROR_FILE_EXISTS, "old content"},
      {"\\new1.txt", plat::CREATE_NEW, true, ERROR_SUCCESS, ""},
      {"\\missing.txt", plat::OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr},
      {"\\old.txt", plat::OPEN_EXISTING, true, ERROR_SUCCESS, "old content"},
      {"\\old.txt", plat::OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "old content"},
      {"\\new2.txt", plat::OPEN_ALWAYS, true, ERROR_SUCCESS, ""},
      {"\\old.txt", plat::CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
      {"\\new3.txt", plat::CREATE_ALWAYS, true, ERROR_SUCCESS, ""},
      {"\\missing.txt", plat::TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr},
      {"\\nofolder\\x.txt", plat::CREATE_NEW, false, ERROR_PATH_NOT_FOUND, nullptr},
      {"\\nofolder\\x.txt", plat::OPEN_EXISTING, false, ERROR_PATH_NOT_FOUND, nullptr},
      {"\\dir", plat::OPEN_EXISTING, false, ERROR_ACCESS_DENIED, nullptr},
      {"\\dir", plat::CREATE_ALWAYS, false, ERROR_ACCESS_DENIED, nullptr},
      {"\\x.txt", 9, false, ERROR_INVALID_PARAMETER, nullptr},
  };
  for (const Case& c : cases) {
    CHostFile file;
    plat::SetLastError(0xFFFF);
    EXPECT_EQ(file.Open(c.path, plat::GENERIC_READ | plat::GENERIC_WRITE, c.creation), c.ok)
        << c.path << " " << c.creation;
    EXPECT_EQ(plat::GetLastError(), c.error) << c.path << " " << c.creation;
    EXPECT_EQ(file.IsOpen(), c.ok);
    if (c.ok) {
      EXPECT_TRUE(file.Close());
    }
    if (c.afterwards && QString(c.path) != "\\dir") {
      EXPECT_EQ(ReadHost(c.path), QByteArray(c.afterwards)) << c.path << " " << c.creation;
    } else if (!c.afterwards && QString(c.path) != "\\dir") {
      EXPECT_FALSE(ExistsHost(c.path)) << c.path;
    }
  }
}

TEST_F(HostFileTest, WriteSeekSetEndAndSize) {
  CHostFile file;
  ASSERT_TRUE(file.Open("\\data.bin", plat::GENERIC_READ | plat::GENERIC_WRITE, plat::CREATE_NEW));
  EXPECT_EQ(file.Path(), "\\data.bin");
  DWORD written = 0;
  ASSERT_TRUE(file.Write("0123456789", 10, &written));
  EXPECT_EQ(written, 10u);
  quint64 size = 0;
  ASSERT_TRUE(file.GetSize(&size));
  EXPECT_EQ(size, 10u);
  qint64 position = -1;
  ASSERT_TRUE(file.Seek(-4, plat::FILE_END, &position));
  EXPECT_EQ(position, 6);
  char buffer[16] = {};
  DWORD read = 0;
  ASSERT_TRUE(file.Read(buffer, sizeof(buffer), &read));
  EXPECT_EQ(QByteArray(buffer, read), "6789");
  ASSERT_TRUE(file.Read(buffer, sizeof(buffer), &read));
  EXPECT_EQ(read, 0u);  // end of file
  ASSERT_TRUE(file.Seek(3, plat::FILE_BEGIN));
  ASSERT_TRUE(file.Seek(2, plat::FILE_CURRENT, &position));
  EXPECT_EQ(position, 5);
  ASSERT_TRUE(file.SetEnd());
  ASSERT_TRUE(file.GetSize(&size));
  EXPECT_EQ(size, 5u);
  EXPECT_FALSE(file.Seek(-6, plat::FILE_CURRENT));
  EXPECT_EQ(plat::GetLastError(), ERROR_NEGATIVE_SEEK);
  ASSERT_TRUE(file.Seek(8, plat::FILE_BEGIN));
  ASSERT_TRUE(file.SetEnd());  // extends with zeros
  ASSERT_TRUE(file.Flush());
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadHost("\\data.bin"), QByteArray("01234\0\0\0", 8));
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(HostFileTest, ReadOnlyAccessCannotWrite) {
  MakeFile("\\r.txt", "keep");
  CHostFile file;
  ASSERT_TRUE(file.Open("\\r.txt", plat::GENERIC_READ, plat::OPEN_EXISTING));
  DWORD written = 0;
  EXPECT_FALSE(file.Write("xx", 2, &written));
  EXPECT_EQ(written, 0u);
  EXPECT_NE(plat::GetLastError(), ERROR_SUCCESS);
  file.Close();
  EXPECT_EQ(ReadHost("\\r.txt"), "keep");
}

TEST_F(HostFileTest, AttributesGivenAtCreationAreApplied) {
  CHostFile file;
  ASSERT_TRUE(file.Open("\\ro.txt", plat::GENERIC_WRITE, plat::CREATE_NEW,
                        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  DWORD written = 0;
  ASSERT_TRUE(file.Write("data", 4, &written));  // the handle stays writable
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadHost("\\ro.txt"), "data");
  EXPECT_EQ(plat::GetFileAttributes("\\ro.txt"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_FALSE(QFileInfo(Host("\\ro.txt")).permissions() & QFile::WriteOwner);
}

TEST_F(HostFileTest, SetTimesThroughTheHandle) {
  CHostFile file;
  ASSERT_TRUE(file.Open("\\t.txt", plat::GENERIC_WRITE, plat::CREATE_NEW));
  const FILETIME creation = plat::FileTimeFromU64(125000000000000000ULL);
  const FILETIME write = plat::FileTimeFromU64(130000000000000000ULL);
  ASSERT_TRUE(file.SetTimes(&creation, nullptr, &write));
  ASSERT_TRUE(file.Close());
  FILETIME c, w;
  ASSERT_TRUE(plat::GetFileTimes("\\t.txt", &c, nullptr, &w));
  EXPECT_EQ(plat::FileTimeToU64(w), plat::FileTimeToU64(write));
  EXPECT_EQ(plat::FileTimeToU64(c), plat::FileTimeToU64(creation));
}

TEST_F(HostFileTest, MovedHandleOwnsTheFile) {
  CHostFile a;
  ASSERT_TRUE(a.Open("\\m.txt", plat::GENERIC_WRITE, plat::CREATE_NEW));
  CHostFile b(std::move(a));
  EXPECT_FALSE(a.IsOpen());
  EXPECT_TRUE(b.IsOpen());
  DWORD written = 0;
  EXPECT_TRUE(b.Write("z", 1, &written));
  EXPECT_TRUE(b.Close());
  EXPECT_EQ(ReadHost("\\m.txt"), "z");
}

}  // namespace
