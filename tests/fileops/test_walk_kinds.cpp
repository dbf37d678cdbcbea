// The walk of names and kinds (the search's walk): it tells the visitor what the full walk
// tells, in the same order, and every record it leaves unread reads back whole; links are
// never entered, whether they loop, lead to a folder inside or outside the root.
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include "fileops/plan_walk.h"
#include "platform/file_system.h"
#include "platform/find.h"
#include "support/temp_root.h"

namespace {

using fileops::CWalkItem;
using fileops::EWalk;
using fileops::EWalkRead;

// Every event with the item's whole record; unread counts the records the walk left unread.
class CRecordWalk final : public fileops::IPlanVisitor {
 public:
  QStringList events;
  int unread = 0;
  EWalk FolderEntered(const CWalkItem& folder) override { return Note("enter", folder); }
  EWalk File(const CWalkItem& file) override { return Note("file", file); }
  EWalk FolderLeft(const CWalkItem& folder) override { return Note("leave", folder); }
  EWalk LinkNotFollowed(const CWalkItem& link) override { return Note("link", link); }

 private:
  EWalk Note(const char* what, const CWalkItem& item) {
    if (!item.bStatusRead) ++unread;
    const WIN32_FIND_DATAW& r = item.Record();
    events << QStringLiteral("%1 %2 attr=%3 size=%4 write=%5:%6")
                  .arg(what, item.strPath)
                  .arg(r.dwFileAttributes, 0, 16)
                  .arg(plat::FindSize(r))
                  .arg(r.ftLastWriteTime.dwHighDateTime)
                  .arg(r.ftLastWriteTime.dwLowDateTime);
    return EWalk::eGoOn;
  }
};

using WalkKindsTest = test::TempRoot;

TEST_F(WalkKindsTest, TellsWhatTheFullWalkTellsWithWholeRecords) {
  MakeFile("\\Top\\a.txt", "abc");
  MakeFile("\\Top\\.dot", "12345");
  MakeFile("\\Top\\Sub\\b.dat", "x");
  MakeFile("\\Top\\Sub\\Deep\\c.h", "hello");
  MakeFolder("\\Top\\Empty");
  ASSERT_TRUE(plat::SetFileAttributes("\\Top\\a.txt", FILE_ATTRIBUTE_HIDDEN |
                                                          FILE_ATTRIBUTE_READONLY));
  // Links: to a folder inside (never entered), to a file, a loop, one leading outside.
  ASSERT_TRUE(QFile::link(Host("\\Top\\Sub"), Host("\\Top\\Sub\\Deep\\up")));
  ASSERT_TRUE(QFile::link(Host("\\Top\\a.txt"), Host("\\Top\\Sub\\alias.txt")));
  ASSERT_TRUE(QFile::link("loop", Host("\\Top\\loop")));
  ASSERT_TRUE(QFile::link("/", Host("\\Top\\outside")));

  CRecordWalk full, kinds;
  ASSERT_TRUE(fileops::WalkFolder("\\Top", full));
  ASSERT_TRUE(fileops::WalkFolder("\\Top", kinds, EWalkRead::eKinds));
  EXPECT_EQ(kinds.events, full.events);
  EXPECT_EQ(full.unread, 0);
  // The seven plain files and folders below the top came unread: the walk read no status of
  // them (the four links are looked up by the default Link before they are told).
  EXPECT_EQ(kinds.unread, 7);
  EXPECT_TRUE(full.events.filter("link \\Top\\Sub\\Deep\\up").size() == 1);
  EXPECT_TRUE(full.events.filter("enter \\Top\\Sub\\Deep\\up").isEmpty());
  EXPECT_TRUE(full.events.filter("file \\Top\\Sub\\alias.txt attr=").size() == 1);
}

}  // namespace
