// Whole-item operations: moves that never replace, the one replacing rename, deletes that act
// on links themselves, attributes and times kept across a round trip, temporary names.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <atomic>
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "support/temp_root.h"

namespace {

class FileSystemTest : public test::TempRoot {};

TEST_F(FileSystemTest, MoveNeverReplacesAnExistingItem) {
  MakeFile("\\a.txt", "source");
  MakeFile("\\b.txt", "target");
  MakeFolder("\\dir");
  MakeFile("\\dir\\inner.txt", "inner");
  struct Case {
    const char* from;
    const char* to;
  } cases[] = {{"\\a.txt", "\\b.txt"}, {"\\a.txt", "\\dir"}, {"\\dir", "\\b.txt"}};
  for (const Case& c : cases) {
    plat::SetLastError(0);
    EXPECT_FALSE(plat::MoveFile(c.from, c.to)) << c.from << " -> " << c.to;
    EXPECT_EQ(plat::GetLastError(), ERROR_ALREADY_EXISTS) << c.from << " -> " << c.to;
  }
  EXPECT_EQ(ReadHost("\\a.txt"), "source");
  EXPECT_EQ(ReadHost("\\b.txt"), "target");
  EXPECT_EQ(ReadHost("\\dir\\inner.txt"), "inner");
}

TEST_F(FileSystemTest, MoveRenamesFilesAndFolders) {
  MakeFile("\\a.txt", "source");
  MakeFile("\\dir\\inner.txt", "inner");
  MakeFolder("\\other");
  ASSERT_TRUE(plat::MoveFile("\\a.txt", "\\other\\moved.txt"));
  EXPECT_FALSE(ExistsHost("\\a.txt"));
  EXPECT_EQ(ReadHost("\\other\\moved.txt"), "source");
  ASSERT_TRUE(plat::MoveFile("\\dir", "\\other\\dir2"));
  EXPECT_EQ(ReadHost("\\other\\dir2\\inner.txt"), "inner");
  // Case-only renames of the same item.
  ASSERT_TRUE(plat::MoveFile("\\other\\moved.txt", "\\other\\MOVED.txt"));
  EXPECT_EQ(QDir(Host("\\other")).entryList(QDir::Files), QStringList{"MOVED.txt"});
  ASSERT_TRUE(plat::MoveFile("\\other\\dir2", "\\other\\Dir2"));
  EXPECT_TRUE(QFileInfo(Host("\\other\\Dir2")).isDir());
}

TEST_F(FileSystemTest, MoveErrors) {
  MakeFile("\\a.txt", "x");
  MakeFolder("\\dir");
  struct Case {
    const char* from;
    const char* to;
    DWORD error;
  } cases[] = {
      {"\\missing.txt", "\\b.txt", ERROR_FILE_NOT_FOUND},
      {"\\nofolder\\x.txt", "\\b.txt", ERROR_PATH_NOT_FOUND},
      {"\\a.txt", "\\nofolder\\b.txt", ERROR_PATH_NOT_FOUND},
      {"\\a.txt", "\\..\\b.txt", ERROR_INVALID_NAME},
      {"\\dir", "\\dir\\sub", ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    plat::SetLastError(0);
    EXPECT_FALSE(plat::MoveFile(c.from, c.to)) << c.from << " -> " << c.to;
    EXPECT_EQ(plat::GetLastError(), c.error) << c.from << " -> " << c.to;
  }
  EXPECT_EQ(ReadHost("\\a.txt"), "x");
}

TEST_F(FileSystemTest, ReplaceFilePutsTheNewContentInPlace) {
  MakeFile("\\doc.txt", "old");
  MakeFile("\\doc.tmp", "new");
  MakeFile("\\sub\\other.tmp", "elsewhere");
  EXPECT_FALSE(plat::ReplaceFile("\\doc.txt", "\\sub\\other.tmp"));  // not the same folder
  EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(plat::ReplaceFile("\\missing.txt", "\\doc.tmp"));
  EXPECT_EQ(plat::GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadHost("\\doc.tmp"), "new");
  ASSERT_TRUE(plat::ReplaceFile("\\doc.txt", "\\doc.tmp"));
  EXPECT_EQ(ReadHost("\\doc.txt"), "new");
  EXPECT_FALSE(ExistsHost("\\doc.tmp"));
}

TEST_F(FileSystemTest, DeleteActsOnLinksNeverOnTargets) {
  MakeFile("\\target.txt", "precious");
  MakeFile("\\tdir\\keep.txt", "kept");
  ASSERT_TRUE(QFile::link("target.txt", Host("\\filelink")));
  ASSERT_TRUE(QFile::link("tdir", Host("\\dirlink")));
  ASSERT_TRUE(QFile::link("tdir", Host("\\dirlink2")));
  ASSERT_TRUE(plat::DeleteFile("\\filelink"));
  ASSERT_TRUE(plat::DeleteFile("\\dirlink"));
  ASSERT_TRUE(plat::RemoveDirectory("\\dirlink2"));
  EXPECT_FALSE(QFileInfo(Host("\\filelink")).isSymLink());
  EXPECT_FALSE(QFileInfo(Host("\\dirlink")).isSymLink());
  EXPECT_FALSE(QFileInfo(Host("\\dirlink2")).isSymLink());
  EXPECT_EQ(ReadHost("\\target.txt"), "precious");
  EXPECT_EQ(ReadHost("\\tdir\\keep.txt"), "kept");
}

TEST_F(FileSystemTest, DeleteAndRemoveDirectoryErrors) {
  MakeFile("\\f.txt", "x");
  MakeFile("\\full\\x.txt", "x");
  MakeFolder("\\empty");
  struct Case {
    bool folder;  // RemoveDirectory, else DeleteFile
    const char* path;
    DWORD error;
  } cases[] = {
      {false, "\\empty", ERROR_ACCESS_DENIED},      {false, "\\missing", ERROR_FILE_NOT_FOUND},
      {false, "\\no\\x", ERROR_PATH_NOT_FOUND},     {true, "\\full", ERROR_DIR_NOT_EMPTY},
      {true, "\\f.txt", ERROR_DIRECTORY},           {true, "\\missing", ERROR_FILE_NOT_FOUND},
      {true, "\\", ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    plat::SetLastError(0);
    EXPECT_FALSE(c.folder ? plat::RemoveDirectory(c.path) : plat::DeleteFile(c.path)) << c.path;
    EXPECT_EQ(plat::GetLastError(), c.error) << c.path;
  }
  EXPECT_TRUE(plat::RemoveDirectory("\\empty"));
  EXPECT_FALSE(ExistsHost("\\empty"));
  EXPECT_TRUE(plat::DeleteFile("\\f.txt"));
  EXPECT_FALSE(ExistsHost("\\f.txt"));
}

TEST_F(FileSystemTest, ReadOnlyItemsAreNotDeleted) {
  MakeFile("\\ro.txt", "keep");
  ASSERT_TRUE(plat::SetFileAttributes("\\ro.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(plat::DeleteFile("\\ro.txt"));
  EXPECT_EQ(plat::GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadHost("\\ro.txt"), "keep");
  ASSERT_TRUE(plat::SetFileAttributes("\\ro.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(plat::DeleteFile("\\ro.txt"));
}

TEST_F(FileSystemTest, CreateDirectory) {
  ASSERT_TRUE(plat::CreateDirectory("\\new"));
  EXPECT_TRUE(QFileInfo(Host("\\new")).isDir());
  EXPECT_FALSE(plat::CreateDirectory("\\new"));
  EXPECT_EQ(plat::GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(plat::CreateDirectory("\\missing\\new"));
  EXPECT_EQ(plat::GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileSystemTest, AttributesRoundTrip) {
  MakeFile("\\f.txt", "x");
  MakeFile("\\.dot", "x");
  MakeFolder("\\d");
  struct Case {
    const char* path;
    DWORD set;
    DWORD read;
  } cases[] = {
      {"\\f.txt", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY},
      {"\\f.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
      {"\\f.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
      {"\\f.txt", FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_NORMAL},
      {"\\f.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_INROM, FILE_ATTRIBUTE_NORMAL},
      {"\\.dot", FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_HIDDEN},  // the name makes it hidden
      {"\\.dot", FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
      {"\\d", FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN},
      {"\\d", FILE_ATTRIBUTE_TEMPORARY, FILE_ATTRIBUTE_DIRECTORY},  // never a fake card
      {"\\d", FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY},
      {"\\d", 0, FILE_ATTRIBUTE_DIRECTORY},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(plat::SetFileAttributes(c.path, c.set)) << c.path << " " << c.set;
    EXPECT_EQ(plat::GetFileAttributes(c.path), c.read) << c.path << " " << c.set;
    WIN32_FIND_DATAW data;
    ASSERT_TRUE(plat::FindOne(c.path, &data));
    EXPECT_EQ(data.dwFileAttributes, c.read) << c.path << " " << c.set;
  }
  EXPECT_EQ(plat::GetFileAttributes("\\missing"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(plat::GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(plat::SetFileAttributes("\\no\\x", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(plat::GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileSystemTest, ReadOnlyIsTheOwnersWriteBit) {
  MakeFile("\\f.txt", "x");
  const QByteArray host = QFile::encodeName(Host("\\f.txt"));
  ASSERT_EQ(::chmod(host.constData(), 0444), 0);
  EXPECT_EQ(plat::GetFileAttributes("\\f.txt"), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(::chmod(host.constData(), 0600), 0);
  EXPECT_EQ(plat::GetFileAttributes("\\f.txt"), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(plat::SetFileAttributes("\\f.txt", FILE_ATTRIBUTE_READONLY));
  struct stat st;
  ASSERT_EQ(::stat(host.constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0400u);
  // The extended attribute holds only what the mode cannot: nothing here.
  char value[32];
  EXPECT_LT(::getxattr(host.constData(), "user.pinbro.attributes", value, sizeof(value)), 0);
}

TEST_F(FileSystemTest, TimesRoundTrip) {
  MakeFile("\\f.txt", "x");
  const FILETIME creation = plat::FileTimeFromU64(120000000000000000ULL);
  const FILETIME access = plat::FileTimeFromU64(131000000001234567ULL);
  const FILETIME write = plat::FileTimeFromU64(132000000007654321ULL);
  ASSERT_TRUE(plat::SetFileTimes("\\f.txt", &creation, &access, &write));
  FILETIME c, a, w;
  ASSERT_TRUE(plat::GetFileTimes("\\f.txt", &c, &a, &w));
  EXPECT_EQ(plat::FileTimeToU64(c), plat::FileTimeToU64(creation));
  EXPECT_EQ(plat::FileTimeToU64(a), plat::FileTimeToU64(access));
  EXPECT_EQ(plat::FileTimeToU64(w), plat::FileTimeToU64(write));
  // Null pointers leave a time as it is.
  const FILETIME write2 = plat::FileTimeFromU64(133000000000000000ULL);
  ASSERT_TRUE(plat::SetFileTimes("\\f.txt", nullptr, nullptr, &write2));
  ASSERT_TRUE(plat::GetFileTimes("\\f.txt", &c, &a, &w));
  EXPECT_EQ(plat::FileTimeToU64(c), plat::FileTimeToU64(creation));
  EXPECT_EQ(plat::FileTimeToU64(a), plat::FileTimeToU64(access));
  EXPECT_EQ(plat::FileTimeToU64(w), plat::FileTimeToU64(write2));
  // A read-only file keeps a creation time too, and stays read-only.
  ASSERT_TRUE(plat::SetFileAttributes("\\f.txt", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(plat::SetFileTimes("\\f.txt", &write, nullptr, nullptr));
  ASSERT_TRUE(plat::GetFileTimes("\\f.txt", &c, nullptr, nullptr));
  EXPECT_EQ(plat::FileTimeToU64(c), plat::FileTimeToU64(write));
  EXPECT_EQ(plat::GetFileAttributes("\\f.txt"), FILE_ATTRIBUTE_READONLY);
}

TEST_F(FileSystemTest, CreationTimeWithoutAStoredOneIsTheHosts) {
  MakeFile("\\f.txt", "x");
  FILETIME c, w;
  ASSERT_TRUE(plat::GetFileTimes("\\f.txt", &c, nullptr, &w));
  SYSTEMTIME now;
  plat::GetSystemTime(&now);
  FILETIME nowFt;
  plat::SystemTimeToFileTime(now, &nowFt);
  // Birth time or modification time: either way within the last minute.
  EXPECT_LE(plat::FileTimeToU64(c), plat::FileTimeToU64(nowFt) + 10000000ULL);
  EXPECT_GE(plat::FileTimeToU64(c), plat::FileTimeToU64(nowFt) - 600000000ULL);
}

TEST_F(FileSystemTest, TempNamesAreUniqueAndCreated) {
  MakeFolder("\\bin");
  QSet<QString> names;
  for (int i = 0; i < 1000; ++i) {
    QString path;
    const UINT number = plat::GetTempFileName("\\bin", "trbxyz", 0, &path);
    ASSERT_NE(number, 0u);
    EXPECT_TRUE(path.startsWith("\\bin\\trb")) << path.toStdString();
    EXPECT_TRUE(path.endsWith(".tmp"));
    EXPECT_EQ(path, QString("\\bin\\trb%1.tmp").arg(QString::number(number, 16).toUpper()));
    EXPECT_TRUE(ExistsHost(path));
    names.insert(path);
  }
  EXPECT_EQ(names.size(), 1000);
  EXPECT_EQ(QDir(Host("\\bin")).entryList(QDir::Files).size(), 1000);
}

TEST_F(FileSystemTest, TempNamesAreUniqueAcrossThreads) {
  MakeFolder("\\bin");
  constexpr int kThreads = 4, kEach = 250;
  std::vector<QStringList> made(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        QString path;
        if (plat::GetTempFileName("\\bin", "c", 0, &path) != 0) made[t].append(path);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  QSet<QString> all;
  for (const QStringList& list : made) {
    EXPECT_EQ(list.size(), kEach);
    for (const QString& p : list) all.insert(p);
  }
  EXPECT_EQ(all.size(), kThreads * kEach);
}

TEST_F(FileSystemTest, TempNameWithAFixedNumberIsOnlyFormed) {
  QString path;
  EXPECT_EQ(plat::GetTempFileName("\\", "ab", 0x1A2B, &path), 0x1A2Bu);
  EXPECT_EQ(path, "\\ab1A2B.tmp");
  EXPECT_FALSE(ExistsHost(path));
  EXPECT_EQ(plat::GetTempFileName("\\x\\", "", 0x10005, &path), 5u);  // the low 16 bits
  EXPECT_EQ(path, "\\x\\5.tmp");
  EXPECT_EQ(plat::GetTempFileName("\\missing", "t", 0, &path), 0u);
  EXPECT_EQ(plat::GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileSystemTest, DiskFreeSpace) {
  quint64 free = 0, total = 0, totalFree = 0;
  ASSERT_TRUE(plat::GetDiskFreeSpaceEx("\\", &free, &total, &totalFree));
  EXPECT_GT(total, 0u);
  EXPECT_LE(free, totalFree);
  EXPECT_LE(totalFree, total);
  EXPECT_FALSE(plat::GetDiskFreeSpaceEx("\\missing", &free, &total, &totalFree));
}

}  // namespace
