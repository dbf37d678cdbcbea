// The folder of opened archive members is cleaned of what is a day old, and only of that.
#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "support/temp_root.h"
#include "zip/opened_members.h"

namespace {

class OpenedMembersTest : public test::TempRoot {
 protected:
  // Sets the last write time of a folder to uAgeSeconds ago.
  void Age(const QString& devicePath, qint64 uAgeSeconds) {
    const QByteArray host = QFile::encodeName(Host(devicePath));
    struct timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= uAgeSeconds;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, host.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
  }
};

TEST_F(OpenedMembersTest, FoldersUntouchedForADayGoWithWhatTheyHoldAndNothingElse) {
  const QString oldFolder = zip::OpenedMembersFolder("\\Docs\\old.zip");
  const QString newFolder = zip::OpenedMembersFolder("\\Docs\\new.zip");
  EXPECT_EQ(oldFolder, "\\Temp\\Pinewood Browser\\old.zip");
  MakeFile(oldFolder + "\\a.txt", "a");
  MakeFile(oldFolder + "\\sub\\b.txt", "b");
  MakeFile(newFolder + "\\c.txt", "c");
  // A link inside an old folder is removed itself; what it points to stays.
  MakeFile("\\keep\\target.txt", "kept");
  ASSERT_TRUE(QFile::link(Host("\\keep\\target.txt"), Host(oldFolder + "\\link.txt")));
  Age(oldFolder + "\\sub", 3 * 24 * 3600);
  Age(oldFolder, 2 * 24 * 3600);
  Age(newFolder, 3600);

  EXPECT_EQ(zip::RemoveStaleOpenedMembers(zip::kOpenedMembersKeptSeconds), 1);
  EXPECT_FALSE(ExistsHost(oldFolder));
  EXPECT_EQ(ReadHost(newFolder + "\\c.txt"), "c");
  EXPECT_EQ(ReadHost("\\keep\\target.txt"), "kept");
  // Nothing to clean, or no folder at all, is no failure.
  EXPECT_EQ(zip::RemoveStaleOpenedMembers(zip::kOpenedMembersKeptSeconds), 0);
  ASSERT_TRUE(QDir(Host("\\Temp")).removeRecursively());
  EXPECT_EQ(zip::RemoveStaleOpenedMembers(0), 0);
}

}  // namespace
