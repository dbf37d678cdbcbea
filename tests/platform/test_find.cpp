// Folder enumeration: patterns, hidden names, links, names the device cannot show, storage
// cards, and the errors of missing folders and empty results.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>

#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "support/temp_root.h"

namespace {

class FindTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    MakeFile("\\f\\a.txt", "abc");
    MakeFile("\\f\\b.TXT", "12345");
    MakeFile("\\f\\abc");
    MakeFile("\\f\\aXc");
    MakeFile("\\f\\noext");
    MakeFile("\\f\\.hidden");
    MakeFile("\\f\\sub\\inner.txt", "inner");
    MakeFolder("\\f\\.dotdir");
    ASSERT_TRUE(QFile::link("sub", Host("\\f\\link")));
    ASSERT_TRUE(QFile::link("a.txt", Host("\\f\\filelink")));
    ASSERT_TRUE(QFile::link("missing-target", Host("\\f\\dangling")));
  }

  // Every record of a pattern, by name; fails the test on a repeated name.
  QMap<QString, WIN32_FIND_DATAW> List(const QString& pattern) {
    QMap<QString, WIN32_FIND_DATAW> result;
    plat::CFind find;
    WIN32_FIND_DATAW data;
    if (!find.First(pattern, &data)) return result;
    do {
      const QString name = plat::FindName(data);
      EXPECT_FALSE(result.contains(name)) << name.toStdString();
      result.insert(name, data);
    } while (find.Next(&data));
    EXPECT_EQ(plat::GetLastError(), ERROR_NO_MORE_FILES);
    return result;
  }

  QSet<QString> Names(const QString& pattern) {
    const QStringList keys = List(pattern).keys();
    return QSet<QString>(keys.begin(), keys.end());
  }
};

QSet<QString> Set(std::initializer_list<const char*> names) {
  QSet<QString> result;
  for (const char* n : names) result.insert(QString::fromUtf8(n));
  return result;
}

TEST_F(FindTest, PatternsSelectNamesWithoutRegardToCase) {
  const QSet<QString> all = Set({"a.txt", "b.TXT", "abc", "aXc", "noext", ".hidden", "sub",
                                 ".dotdir", "link", "filelink", "dangling"});
  struct Case {
    const char* pattern;
    QSet<QString> names;
  } cases[] = {
      {"\\f\\*", all},
      {"\\f\\*.*", all},
      {"\\f\\*.txt", Set({"a.txt", "b.TXT"})},
      {"\\f\\*.TXT", Set({"a.txt", "b.TXT"})},
      {"\\f\\a?c", Set({"abc", "aXc"})},
      {"\\f\\A*", Set({"a.txt", "abc", "aXc"})},
      {"\\f\\*c", Set({"abc", "aXc"})},
      {"\\f\\abc*", Set({"abc"})},
      {"\\f\\a*c*", Set({"abc", "aXc"})},
      {"\\f\\a.txt*", Set({"a.txt"})},
      {"\\f\\*txt*", Set({"a.txt", "b.TXT"})},
      {"\\f\\.*", Set({".hidden", ".dotdir"})},
      {"\\f\\?", Set({})},
      {"\\f\\sub", Set({"sub"})},
      {"\\f\\a.txt", Set({"a.txt"})},
      {"f/*.txt", Set({"a.txt", "b.TXT"})},
  };
  for (const Case& c : cases) EXPECT_EQ(Names(c.pattern), c.names) << c.pattern;
}

TEST_F(FindTest, RecordsCarryAttributesSizesAndLinks) {
  const auto records = List("\\f\\*");
  EXPECT_EQ(records["a.txt"].dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(plat::FindSize(records["a.txt"]), 3u);
  EXPECT_EQ(plat::FindSize(records["b.TXT"]), 5u);
  EXPECT_EQ(records[".hidden"].dwFileAttributes, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(records["sub"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(records[".dotdir"].dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(records["link"].dwFileAttributes,
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(records["filelink"].dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(plat::FindSize(records["filelink"]), 3u);  // what it points to
  EXPECT_EQ(records["dangling"].dwFileAttributes, FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(plat::FindSize(records["dangling"]), 0u);
  EXPECT_TRUE(plat::IsWalkableFolder(records["sub"]));
  EXPECT_FALSE(plat::IsWalkableFolder(records["link"]));
  EXPECT_FALSE(plat::IsWalkableFolder(records["a.txt"]));
  // The record of one item matches its entry in the listing.
  WIN32_FIND_DATAW one;
  ASSERT_TRUE(plat::FindOne("\\f\\b.TXT", &one));
  const WIN32_FIND_DATAW listed = records["b.TXT"];
  EXPECT_EQ(std::memcmp(&one, &listed, sizeof(one)), 0);
  EXPECT_EQ(plat::GetFileAttributes("\\f\\link"), records["link"].dwFileAttributes);
}

TEST_F(FindTest, TimesAreTheHostsTimes) {
  const QString host = Host("\\f\\a.txt");
  struct timespec times[2] = {{1500000000, 250000000}, {1600000000, 123456789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(host).constData(), times, 0), 0);
  WIN32_FIND_DATAW data;
  ASSERT_TRUE(plat::FindOne("\\f\\a.txt", &data));
  EXPECT_EQ(plat::FileTimeToU64(data.ftLastAccessTime),
            116444736000000000ULL + 15000000002500000ULL);
  EXPECT_EQ(plat::FileTimeToU64(data.ftLastWriteTime),
            116444736000000000ULL + 16000000001234567ULL);
  EXPECT_NE(plat::FileTimeToU64(data.ftCreationTime), 0u);
}

TEST_F(FindTest, NamesTheDeviceCannotShowAreLeftOut) {
  const QByteArray folder = QFile::encodeName(Host("\\g"));
  ASSERT_TRUE(QDir().mkpath(Host("\\g")));
  for (const char* raw : {"back\\slash", "bad\xff\xfe", "good"}) {
    const int fd = ::open((folder + "/" + raw).constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << raw;
    ::close(fd);
  }
  EXPECT_EQ(Names("\\g\\*"), Set({"good"}));
}

TEST_F(FindTest, ErrorsOfMissingFoldersAndEmptyResults) {
  struct Case {
    const char* pattern;
    DWORD error;
  } cases[] = {
      {"\\missing\\*", ERROR_PATH_NOT_FOUND},  {"\\missing\\x.txt", ERROR_PATH_NOT_FOUND},
      {"\\f\\a.txt\\*", ERROR_PATH_NOT_FOUND}, {"\\f\\*.zip", ERROR_FILE_NOT_FOUND},
      {"\\f\\nosuch", ERROR_FILE_NOT_FOUND},   {"\\f\\..\\*", ERROR_INVALID_NAME},
  };
  for (const Case& c : cases) {
    plat::CFind find;
    WIN32_FIND_DATAW data;
    plat::SetLastError(0);
    EXPECT_FALSE(find.First(c.pattern, &data)) << c.pattern;
    EXPECT_EQ(plat::GetLastError(), c.error) << c.pattern;
  }
  MakeFolder("\\empty");
  plat::CFind find;
  WIN32_FIND_DATAW data;
  EXPECT_FALSE(find.First("\\empty\\*.*", &data));
  EXPECT_EQ(plat::GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(find.Next(&data));
}

TEST_F(FindTest, AnExactNameGivesOneRecordThenTheEnd) {
  plat::CFind find;
  WIN32_FIND_DATAW data;
  ASSERT_TRUE(find.First("\\f\\sub", &data));
  EXPECT_EQ(plat::FindName(data), "sub");
  EXPECT_FALSE(find.Next(&data));
  EXPECT_EQ(plat::GetLastError(), ERROR_NO_MORE_FILES);
}

TEST_F(FindTest, FoldersInTheRootAreNotStorageCards) {
  for (const auto& [name, data] : List("\\*").toStdMap()) {
    EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY) << name.toStdString();
  }
  EXPECT_FALSE(plat::IsStorageCard("\\f"));
  EXPECT_EQ(plat::GetFileAttributes("\\f"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FindTest, AMountedFolderInTheRootIsAStorageCard) {
  MakeFolder("\\Storage Card");
  MakeFolder("\\f\\nested");
  const QByteArray card = QFile::encodeName(Host("\\Storage Card"));
  const QByteArray nested = QFile::encodeName(Host("\\f\\nested"));
  if (::mount("tmpfs", card.constData(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "no permission to mount a file system here";
  const bool nestedMounted = ::mount("tmpfs", nested.constData(), "tmpfs", 0, "size=1m") == 0;
  const auto records = List("\\*");
  const DWORD cardAttributes = records["Storage Card"].dwFileAttributes;
  const DWORD folderAttributes = records["f"].dwFileAttributes;
  const bool isCard = plat::IsStorageCard("\\Storage Card");
  const DWORD nestedAttributes = plat::GetFileAttributes("\\f\\nested");
  ::umount(card.constData());
  if (nestedMounted) ::umount(nested.constData());
  EXPECT_EQ(cardAttributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
  EXPECT_EQ(folderAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(isCard);
  if (nestedMounted) {
    EXPECT_EQ(nestedAttributes, FILE_ATTRIBUTE_DIRECTORY);  // not top-level
  }
}

}  // namespace

// A large folder is read in blocks whose records are made side by side: every entry must
// still arrive once, in the host's order, with the same record a find gives it.
TEST_F(FindTest, ReadingAWholeFolderGivesTheFindRecordsInTheSameOrder) {
  for (int i = 0; i < 9000; ++i) {
    const QString name = QStringLiteral("\\big\\file%1%2").arg(i).arg(i % 7 == 0 ? ".txt" : "");
    MakeFile(name, QByteArray(i % 13, 'x'));
    if (i % 1000 == 0) {
      ASSERT_TRUE(plat::SetFileAttributes(name, FILE_ATTRIBUTE_READONLY));
    }
  }
  MakeFolder("\\big\\folder");
  ASSERT_TRUE(QFile::link("file1", Host("\\big\\link")));

  std::vector<WIN32_FIND_DATAW> found;
  plat::CFind find;
  WIN32_FIND_DATAW data;
  ASSERT_TRUE(find.First("\\big\\*", &data));
  do {
    found.push_back(data);
  } while (find.Next(&data));

  std::vector<WIN32_FIND_DATAW> read;
  ASSERT_TRUE(plat::ReadFolderEntries("\\big", &read));
  ASSERT_EQ(read.size(), 9002u);
  ASSERT_EQ(read.size(), found.size());
  for (size_t i = 0; i < read.size(); ++i) {
    ASSERT_EQ(plat::FindName(read[i]), plat::FindName(found[i])) << i;
    EXPECT_EQ(std::memcmp(&read[i], &found[i], sizeof(WIN32_FIND_DATAW)), 0)
        << plat::FindName(read[i]).toStdString();
  }

  std::vector<WIN32_FIND_DATAW> none;
  EXPECT_FALSE(plat::ReadFolderEntries("\\missing", &none));
  EXPECT_EQ(plat::GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(plat::ReadFolderEntries("\\f\\sub\\inner.txt", &none) == false && none.empty());
  MakeFolder("\\empty");
  EXPECT_TRUE(plat::ReadFolderEntries("\\empty", &none));
  EXPECT_TRUE(none.empty());
}
