// Paths never leave the device root: every host call through a link that leads outside fails
// with access denied and changes nothing there; the link itself can still be deleted or
// renamed; links whose targets lie inside the root work as before.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "platform/folder_totals.h"
#include "platform/shell.h"
#include "support/outside_tree.h"
#include "support/temp_root.h"

namespace {

class BeneathTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    MakeFile("\\inside.txt", "inside");
    ASSERT_TRUE(outside_.Make(dir_.path()));
    before_ = outside_.Snapshot();
  }
  test::COutsideTree outside_;
  QStringList before_;
};

bool OpenFile(const QString& path, DWORD access, DWORD creation) {
  plat::CHostFile file;
  if (!file.Open(path, access, creation)) return false;
  DWORD written = 0;
  if (access & plat::GENERIC_WRITE) file.Write("changed", 7, &written);
  return true;
}

bool Listed(const QString& folder) {
  std::vector<WIN32_FIND_DATAW> entries;
  return plat::ReadFolderEntries(folder, &entries);
}

// One call through a path that leads outside the root; true when it claims success.
struct CHostileCase {
  const char* name;
  std::function<bool(const QString& via)> call;  // via: "\lnkdir" or another way out
  bool setsError = true;  // the call reports a last error (the totals walk reports none)
};

const CHostileCase kHostileCases[] = {
    {"delete", [](const QString& v) { return plat::DeleteFile(v + "\\secret.txt"); }},
    {"remove folder", [](const QString& v) { return plat::RemoveDirectory(v + "\\empty"); }},
    {"move out of", [](const QString& v) { return plat::MoveFile(v + "\\secret.txt", "\\got"); }},
    {"move into", [](const QString& v) { return plat::MoveFile("\\inside.txt", v + "\\in"); }},
    {"rename inside", [](const QString& v) {
       return plat::MoveFile(v + "\\secret.txt", v + "\\renamed.txt");
     }},
    {"replace", [](const QString& v) {
       return plat::ReplaceFile(v + "\\secret.txt", v + "\\sub");
     }},
    {"mkdir", [](const QString& v) { return plat::CreateDirectory(v + "\\made"); }},
    {"mkdir with parents", [](const QString& v) { return plat::CreateFolders(v + "\\a\\b"); }},
    {"create new", [](const QString& v) {
       return OpenFile(v + "\\new.txt", plat::GENERIC_WRITE, plat::CREATE_NEW);
     }},
    {"create always", [](const QString& v) {
       return OpenFile(v + "\\secret.txt", plat::GENERIC_WRITE, plat::CREATE_ALWAYS);
     }},
    {"open for reading", [](const QString& v) {
       return OpenFile(v + "\\secret.txt", plat::GENERIC_READ, plat::OPEN_EXISTING);
     }},
    {"truncate", [](const QString& v) {
       return OpenFile(v + "\\secret.txt", plat::GENERIC_WRITE, plat::TRUNCATE_EXISTING);
     }},
    {"temporary name", [](const QString& v) {
       QString temp;
       return plat::GetTempFileName(v, "pbr", 0, &temp) != 0;
     }},
    {"set attributes", [](const QString& v) {
       return plat::SetFileAttributes(v + "\\secret.txt",
                                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
     }},
    {"set times", [](const QString& v) {
       const FILETIME t = plat::FileTimeFromUnix(1000000000, 0);
       return plat::SetFileTimes(v + "\\secret.txt", &t, &t, &t);
     }},
    {"get attributes", [](const QString& v) {
       return plat::GetFileAttributes(v + "\\secret.txt") != INVALID_FILE_ATTRIBUTES;
     }},
    {"get times", [](const QString& v) {
       FILETIME t;
       return plat::GetFileTimes(v + "\\secret.txt", &t, &t, &t);
     }},
    {"find one", [](const QString& v) {
       WIN32_FIND_DATAW data;
       return plat::FindOne(v + "\\secret.txt", &data);
     }},
    {"find pattern", [](const QString& v) {
       WIN32_FIND_DATAW data;
       plat::CFind find;
       return find.First(v + "\\*", &data);
     }},
    {"list", [](const QString& v) { return Listed(v); }},
    {"list below", [](const QString& v) { return Listed(v + "\\sub"); }},
    {"totals", [](const QString& v) {
       CFolderTotals totals;
       return plat::ComputeFolderTotals(v, &totals);
     },
     false},
    {"free space", [](const QString& v) {
       quint64 a, b, c;
       return plat::GetDiskFreeSpaceEx(v, &a, &b, &c);
     }},
    {"shortcut", [](const QString& v) {
       return plat::SHCreateShortcut(v + "\\s.lnk", "\"\\inside.txt\"");
     }},
    {"flush folder", [](const QString& v) { return plat::FlushFolder(v); }},
};

TEST_F(BeneathTest, NothingReachesOutsideThroughALink) {
  // An absolute link, a relative one that climbs out, and a link met further down the path.
  MakeFolder("\\deep");
  ASSERT_TRUE(QFile::link(QDir(Host("\\deep")).relativeFilePath(outside_.Path()),
                          Host("\\deep\\out")));
  for (const QString via : {"\\lnkdir", "\\lnkrel", "\\deep\\out"}) {
    for (const CHostileCase& c : kHostileCases) {
      plat::SetLastError(0);
      EXPECT_FALSE(c.call(via)) << c.name << " via " << via.toStdString();
      if (c.setsError) {
        EXPECT_EQ(plat::GetLastError(), ERROR_ACCESS_DENIED) << c.name << " via "
                                                             << via.toStdString();
      }
      EXPECT_EQ(outside_.Snapshot(), before_) << c.name << " via " << via.toStdString();
    }
  }
  EXPECT_EQ(ReadHost("\\inside.txt"), "inside");
  EXPECT_FALSE(ExistsHost("\\got"));
}

TEST_F(BeneathTest, ALinkedFileOutsideIsNeitherReadNorWritten) {
  for (const DWORD creation : {plat::OPEN_EXISTING, plat::TRUNCATE_EXISTING, plat::OPEN_ALWAYS,
                               plat::CREATE_ALWAYS}) {
    plat::SetLastError(0);
    EXPECT_FALSE(OpenFile("\\lnkfile", plat::GENERIC_READ | plat::GENERIC_WRITE, creation))
        << creation;
    EXPECT_EQ(plat::GetLastError(), ERROR_ACCESS_DENIED) << creation;
  }
  EXPECT_FALSE(plat::SetFileAttributes("\\lnkfile", FILE_ATTRIBUTE_READONLY));
  QString target;
  EXPECT_FALSE(plat::SHGetShortcutTarget("\\lnkfile", &target, 260));
  EXPECT_EQ(outside_.Snapshot(), before_);
}

TEST_F(BeneathTest, LinksLeadingOutAreListedAsLinksAndActedOnThemselves) {
  std::vector<WIN32_FIND_DATAW> entries;
  ASSERT_TRUE(plat::ReadFolderEntries("\\", &entries));
  int seen = 0;
  for (const WIN32_FIND_DATAW& e : entries) {
    const QString name = plat::FindName(e);
    if (name != "lnkdir" && name != "lnkrel" && name != "lnkfile") continue;
    ++seen;
    // Marked as a link; nothing of the target is shown, so no walk takes it for a folder.
    EXPECT_EQ(e.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY),
              FILE_ATTRIBUTE_REPARSE_POINT)
        << name.toStdString();
    EXPECT_EQ(plat::FindSize(e), 0u) << name.toStdString();
    EXPECT_FALSE(plat::IsWalkableFolder(e));
  }
  EXPECT_EQ(seen, 3);
  CFolderTotals totals;
  ASSERT_TRUE(plat::ComputeFolderTotals("\\", &totals));
  EXPECT_EQ(totals.bytes, 6u);  // inside.txt only; the links count as empty files

  // The links themselves can be renamed and removed; their targets stay.
  EXPECT_TRUE(plat::MoveFile("\\lnkdir", "\\renamed"));
  EXPECT_TRUE(QFileInfo(Host("\\renamed")).isSymLink());
  EXPECT_TRUE(plat::RemoveDirectory("\\renamed"));
  EXPECT_TRUE(plat::DeleteFile("\\lnkfile"));
  EXPECT_TRUE(plat::DeleteFile("\\lnkrel"));
  EXPECT_FALSE(ExistsHost("\\renamed"));
  EXPECT_FALSE(ExistsHost("\\lnkfile"));
  EXPECT_EQ(outside_.Snapshot(), before_);
}

TEST_F(BeneathTest, LinksWhoseTargetsStayInsideStillWork) {
  MakeFile("\\real\\a.txt", "aaa");
  MakeFile("\\real\\sub\\b.txt", "bb");
  ASSERT_TRUE(QFile::link(Host("\\real"), Host("\\abs")));          // absolute, inside
  ASSERT_TRUE(QFile::link("real", Host("\\rel")));                  // relative
  ASSERT_TRUE(QFile::link("..", Host("\\real\\sub\\up")));          // climbs, stays inside
  ASSERT_TRUE(QFile::link("../a.txt", Host("\\real\\sub\\afile")));
  for (const QString via : {"\\abs", "\\rel", "\\real\\sub\\up"}) {
    SCOPED_TRACE(via.toStdString());
    plat::CHostFile file;
    ASSERT_TRUE(file.Open(via + "\\a.txt", plat::GENERIC_READ, plat::OPEN_EXISTING));
    char buffer[8];
    DWORD read = 0;
    ASSERT_TRUE(file.Read(buffer, sizeof(buffer), &read));
    EXPECT_EQ(QByteArray(buffer, read), "aaa");
    std::vector<WIN32_FIND_DATAW> entries;
    ASSERT_TRUE(plat::ReadFolderEntries(via, &entries));
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_TRUE(plat::CreateDirectory(via + "\\made"));
    EXPECT_TRUE(QFileInfo(Host("\\real\\made")).isDir());
    EXPECT_TRUE(plat::RemoveDirectory(via + "\\made"));
  }
  WIN32_FIND_DATAW data;
  ASSERT_TRUE(plat::FindOne("\\abs", &data));
  EXPECT_EQ(data.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY),
            FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY);
  ASSERT_TRUE(plat::FindOne("\\real\\sub\\afile", &data));
  EXPECT_EQ(plat::FindSize(data), 3u);
  // Attributes set through a link inside reach its target.
  ASSERT_TRUE(plat::SetFileAttributes("\\real\\sub\\afile", FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(plat::GetFileAttributes("\\real\\a.txt") & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(plat::SetFileAttributes("\\real\\a.txt", FILE_ATTRIBUTE_NORMAL));
}

TEST_F(BeneathTest, TheLinkItselfIsOpenedOnlyOnRequest) {
  MakeFile("\\real.txt", "real");
  ASSERT_TRUE(QFile::link("real.txt", Host("\\alias.txt")));
  plat::CHostFile file;
  EXPECT_TRUE(file.Open("\\alias.txt", plat::GENERIC_READ, plat::OPEN_EXISTING));
  file.Close();
  // A caller that acts on the item itself is refused a link instead of led to its target.
  EXPECT_FALSE(file.Open("\\alias.txt", plat::GENERIC_WRITE, plat::OPEN_EXISTING,
                         plat::FILE_FLAG_OPEN_REPARSE_POINT));
  EXPECT_EQ(plat::GetLastError(), ERROR_CANT_RESOLVE_FILENAME);
  EXPECT_TRUE(file.Open("\\real.txt", plat::GENERIC_READ, plat::OPEN_EXISTING,
                        plat::FILE_FLAG_OPEN_REPARSE_POINT));
}

}  // namespace
