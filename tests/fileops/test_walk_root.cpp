// The folder walk from the device root: its entries, a linked folder at the top, and a
// top-level folder the visitor does not enter.
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include "fileops/plan_walk.h"
#include "support/temp_root.h"

namespace {

using fileops::CWalkItem;
using fileops::EWalk;

class CRecordingWalk final : public fileops::IPlanVisitor {
 public:
  QStringList events;
  QString skipFolder;
  EWalk FolderEntered(const CWalkItem& folder) override {
    events << "enter " + folder.strPath;
    return folder.strPath == skipFolder ? EWalk::eSkip : EWalk::eGoOn;
  }
  EWalk File(const CWalkItem& file) override {
    events << "file " + file.strPath;
    return EWalk::eGoOn;
  }
  EWalk FolderLeft(const CWalkItem& folder) override {
    events << "leave " + folder.strPath;
    return EWalk::eGoOn;
  }
  EWalk LinkNotFollowed(const CWalkItem& link) override {
    events << "link " + link.strPath;
    return EWalk::eGoOn;
  }
};

using WalkRootTest = test::TempRoot;

TEST_F(WalkRootTest, TheRootIsWalkedLikeAnyFolder) {
  MakeFile("\\top.txt");
  MakeFile("\\A\\a.txt");
  MakeFile("\\A\\B\\b.txt");
  MakeFile("\\Card\\c.txt");
  ASSERT_TRUE(QFile::link(Host("\\A"), Host("\\L")));
  CRecordingWalk walk;
  walk.skipFolder = "\\Card";
  EXPECT_TRUE(fileops::WalkFolder("\\", walk));
  QStringList events = walk.events;
  ASSERT_GE(events.size(), 2);
  EXPECT_EQ(events.takeFirst(), "enter \\");
  EXPECT_EQ(events.takeLast(), "leave \\");
  // Entries come in the host's order; each sub-tree is walked in one piece.
  QStringList subTree = {"enter \\A", "file \\A\\a.txt", "enter \\A\\B",
                         "file \\A\\B\\b.txt", "leave \\A\\B", "leave \\A"};
  const qsizetype at = events.indexOf("enter \\A");
  ASSERT_GE(at, 0);
  QStringList walked = events.mid(at, subTree.size());
  EXPECT_EQ(walked.last(), "leave \\A");
  EXPECT_LT(walked.indexOf("enter \\A\\B"), walked.indexOf("file \\A\\B\\b.txt"));
  walked.sort();
  subTree.sort();
  EXPECT_EQ(walked, subTree);
  for (const QString& e : subTree) events.removeOne(e);
  events.sort();
  EXPECT_EQ(events, (QStringList{"enter \\Card", "file \\top.txt", "link \\L"}))
      << "a linked folder and a skipped folder are not entered";
}

}  // namespace
