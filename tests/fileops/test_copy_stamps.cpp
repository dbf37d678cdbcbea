// What copy and move keep besides the bytes, and how a move within one file system goes: a
// copy keeps the last write time and the attributes; a move by rename keeps the very files
// (their identities and all three times) and gives the folders it makes the source folders'
// times; a move onto another file system copies, flushes and deletes; an existing name is
// only replaced after Yes; a failing rename never loses the source.
#include <sys/mount.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "core/message_box.h"
#include "fileops/copy_move.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"

namespace {

using fileops::eSelFile;
using fileops::eSelFolder;
using plat::CFaultInjector;
using plat::CFileOpEvent;
using plat::EFaultOp;

struct CTimes {
  FILETIME creation{}, access{}, write{};
  friend std::ostream& operator<<(std::ostream& os, const CTimes& t) {
    const auto v = [](const FILETIME& f) { return (quint64(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return os << "{" << v(t.creation) << ", " << v(t.access) << ", " << v(t.write) << "}";
  }
  bool operator==(const CTimes& o) const {
    return Same(creation, o.creation) && Same(access, o.access) && Same(write, o.write);
  }
  static bool Same(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
  }
};

// A FILETIME some days after 2001-01-01 (distinct values for distinct items).
FILETIME Day(int n) {
  const quint64 v = 126227808000000000ull + quint64(n) * 864000000000ull + 1234567;
  return {static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}

class CopyStampsTest : public test::TempRoot {
 protected:
  // Gives the item three distinct old times, from day n on.
  void Stamp(const QString& path, int n) {
    const FILETIME c = Day(n), a = Day(n + 2), w = Day(n + 1);
    ASSERT_TRUE(plat::SetFileTimes(path, &c, &a, &w)) << path.toStdString();
  }
  static CTimes TimesOf(const QString& path) {
    CTimes t;
    EXPECT_TRUE(plat::GetFileTimes(path, &t.creation, &t.access, &t.write)) << path.toStdString();
    return t;
  }
  static quint64 InodeOf(const QString& path) {
    quint64 device = 0, inode = 0;
    EXPECT_TRUE(plat::GetItemIdentity(path, &device, &inode)) << path.toStdString();
    return inode;
  }
  QStringList Listing(const QString& path) const {
    return QDir(Host(path)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                      QDir::Name);
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
};

TEST_F(CopyStampsTest, ACopyKeepsTheLastWriteTimeAndTheAttributes) {
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  MakeFile("\\src\\tree\\a.txt", "aaa");
  MakeFile("\\src\\plain.txt", "plain");
  MakeFolder("\\dst");
  Stamp("\\src\\tree\\a.txt", 10);
  Stamp("\\src\\plain.txt", 20);
  ASSERT_TRUE(plat::SetFileAttributes("\\src\\tree\\a.txt", kept));
  Stamp("\\src\\tree", 30);
  const CTimes file = TimesOf("\\src\\tree\\a.txt");
  const CTimes folder = TimesOf("\\src\\tree");

  // The single copy, then a run with a folder.
  ASSERT_EQ(fileops::CopyOneFile("\\src\\plain.txt", "\\dst", false), fileops::eCopyOK);
  ASSERT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\tree"}}, "\\dst", false), fileops::eCopyOK);

  EXPECT_EQ(ReadHost("\\dst\\tree\\a.txt"), "aaa");
  EXPECT_EQ(plat::GetFileAttributes("\\dst\\tree\\a.txt"), kept);
  EXPECT_EQ(plat::GetFileAttributes("\\dst\\plain.txt"), DWORD(FILE_ATTRIBUTE_NORMAL));
  const CTimes copy = TimesOf("\\dst\\tree\\a.txt");
  EXPECT_TRUE(CTimes::Same(copy.write, file.write));
  EXPECT_FALSE(CTimes::Same(copy.creation, file.creation));  // a copy is a new file
  EXPECT_TRUE(CTimes::Same(TimesOf("\\dst\\plain.txt").write, Day(21)));
  EXPECT_TRUE(CTimes::Same(TimesOf("\\dst\\tree").write, folder.write));
  // The source is as it was.
  EXPECT_EQ(plat::GetFileAttributes("\\src\\tree\\a.txt"), kept);
  EXPECT_TRUE(CTimes::Same(TimesOf("\\src\\tree\\a.txt").write, file.write));
}

TEST_F(CopyStampsTest, AMoveWithinOneFileSystemKeepsTheFilesAndAllTimes) {
  MakeFile("\\src\\tree\\a.txt", "aaa");
  MakeFile("\\src\\tree\\sub\\b.txt", "bb");
  MakeFolder("\\dst");
  const QStringList items = {"\\tree\\a.txt", "\\tree\\sub\\b.txt", "\\tree\\sub", "\\tree"};
  std::vector<CTimes> times;
  std::vector<quint64> inodes;
  int day = 100;
  for (const QString& item : items) Stamp("\\src" + item, day += 10);
  for (const QString& item : items) {
    times.push_back(TimesOf("\\src" + item));
    inodes.push_back(InodeOf("\\src" + item));
  }
  std::vector<CFileOpEvent> events;
  CFaultInjector::SetObserver([&](const CFileOpEvent& e) { events.push_back(e); });

  ASSERT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\tree"}}, "\\dst", true), fileops::eCopyOK);
  CFaultInjector::Reset();

  EXPECT_FALSE(ExistsHost("\\src\\tree"));
  for (qsizetype i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(items[i].toStdString());
    EXPECT_EQ(TimesOf("\\dst" + items[i]), times[i]);
    // The files are the same files; the folders were made anew.
    if (items[i].endsWith(".txt")) {
      EXPECT_EQ(InodeOf("\\dst" + items[i]), inodes[i]);
    }
  }
  EXPECT_EQ(ReadHost("\\dst\\tree\\sub\\b.txt"), "bb");
  // No byte was copied and nothing was deleted but the emptied source folders.
  for (const CFileOpEvent& e : events) {
    EXPECT_NE(e.op, EFaultOp::eFaultWrite) << e.path.toStdString();
    if (e.op == EFaultOp::eFaultDelete) {
      EXPECT_TRUE(e.path == "\\src\\tree" || e.path == "\\src\\tree\\sub") << e.path.toStdString();
    }
  }
  const test::CProgressRecord& w = progress_.Windows().at(0);
  EXPECT_EQ(w.strStatus, "Copied 2 files from 2 total.");
  EXPECT_EQ(w.bar.uPos, w.bar.uMax);
}

// A second file system at \card (a tmpfs mounted for the test): the move copies each file,
// flushes it and only then deletes its source; all three times come along.
TEST_F(CopyStampsTest, AMoveOntoAnotherFileSystemCopiesFlushesAndDeletes) {
  MakeFolder("\\card");
  const QByteArray card = QFile::encodeName(Host("\\card"));
  if (::mount("tmpfs", card.constData(), "tmpfs", 0, "size=16m") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here";
  struct CUnmount {
    QByteArray path;
    ~CUnmount() { ::umount2(path.constData(), MNT_DETACH); }
  } unmount{card};
  const QByteArray big(600000, 'b');  // more than two chunks
  MakeFile("\\src\\tree\\a.txt", "aaa");
  MakeFile("\\src\\tree\\big.bin", big);
  Stamp("\\src\\tree\\a.txt", 10);
  Stamp("\\src\\tree\\big.bin", 20);
  const CTimes a = TimesOf("\\src\\tree\\a.txt"), b = TimesOf("\\src\\tree\\big.bin");
  std::vector<CFileOpEvent> events;
  CFaultInjector::SetObserver([&](const CFileOpEvent& e) { events.push_back(e); });

  ASSERT_EQ(fileops::CopyItems({{eSelFolder, "\\src\\tree"}}, "\\card", true), fileops::eCopyOK);
  CFaultInjector::Reset();

  EXPECT_FALSE(ExistsHost("\\src\\tree"));
  EXPECT_EQ(TimesOf("\\card\\tree\\a.txt"), a);
  EXPECT_EQ(TimesOf("\\card\\tree\\big.bin"), b);  // before the read below
  EXPECT_EQ(ReadHost("\\card\\tree\\big.bin"), big);
  for (const QString name : {"a.txt", "big.bin"}) {
    SCOPED_TRACE(name.toStdString());
    bool bWritten = false, bFlushed = false, bDeleted = false;
    for (const CFileOpEvent& e : events) {
      if (e.path == "\\card\\tree\\" + name && e.op == EFaultOp::eFaultWrite) bWritten = true;
      if (e.path == "\\card\\tree\\" + name && e.op == EFaultOp::eFaultFlush) bFlushed = true;
      if (e.path == "\\src\\tree\\" + name && e.op == EFaultOp::eFaultDelete) {
        EXPECT_TRUE(bWritten && bFlushed);
        bDeleted = true;
      }
    }
    EXPECT_TRUE(bDeleted);
  }
}

// An existing name is never replaced by a rename: the move asks the copy's question, and only
// Yes replaces.
TEST_F(CopyStampsTest, AMoveOntoAnExistingNameAsksAndReplacesOnlyOnYes) {
  struct Case {
    const char* name;
    bool bRun;  // CopyItems with two files (five buttons), else CopyOneFile (Yes / No)
    int nAnswer;
    int nResult;
    bool bReplaced;
  };
  const Case cases[] = {
      {"single, No", false, eMsgAnsNo, fileops::eCopyDeclined, false},
      {"single, Yes", false, eMsgAnsYes, fileops::eCopyOK, true},
      {"run, No", true, eMsgAnsNo, fileops::eCopyNoFile, false},
      {"run, Cancel", true, eMsgAnsCancel, fileops::eCopyCancelled, false},
      {"run, Yes", true, eMsgAnsYes, fileops::eCopyOK, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(Host("\\src")).removeRecursively();
    QDir(Host("\\dst")).removeRecursively();
    MakeFile("\\src\\a.txt", "new");
    MakeFile("\\src\\z.txt", "zzz");
    MakeFile("\\dst\\a.txt", "old");
    test::CScriptedMessageBox box;
    box.QueueAnswer(c.nAnswer);
    const int result =
        c.bRun ? fileops::CopyItems({{eSelFile, "\\src\\a.txt"}, {eSelFile, "\\src\\z.txt"}},
                                    "\\dst", true)
               : fileops::CopyOneFile("\\src\\a.txt", "\\dst", true);
    EXPECT_EQ(result, c.nResult);
    ASSERT_GE(box.Calls().size(), 1u);
    EXPECT_EQ(box.Calls()[0].strTitle, "Replace Existing File");
    EXPECT_EQ(ReadHost("\\dst\\a.txt"), c.bReplaced ? "new" : "old");
    EXPECT_EQ(ExistsHost("\\src\\a.txt"), !c.bReplaced);
    if (c.bRun && c.nAnswer != eMsgAnsCancel) {
      EXPECT_EQ(ReadHost("\\dst\\z.txt"), "zzz");
    }
  }
}

// A rename that fails is retried as a copy; when that fails too the source stays whole, and
// nothing is left at the destination.
TEST_F(CopyStampsTest, AFailingRenameNeverLosesTheSource) {
  struct Case {
    const char* name;
    DWORD error;
    bool bSticky;  // every later rename (and so the copy's putting in place) fails as well
  };
  const Case cases[] = {
      {"disk full, once", ERROR_DISK_FULL, false},
      {"I/O error, once", ERROR_IO_DEVICE, false},
      {"disk full, always", ERROR_DISK_FULL, true},
      {"I/O error, always", ERROR_IO_DEVICE, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(Host("\\src")).removeRecursively();
    QDir(Host("\\dst")).removeRecursively();
    MakeFile("\\src\\tree\\a.txt", "aaa");
    MakeFolder("\\dst");
    test::CScriptedMessageBox box;
    CFaultInjector::FailNth(EFaultOp::eFaultRename, 1, c.error, c.bSticky);
    const int result = fileops::CopyItems({{eSelFolder, "\\src\\tree"}}, "\\dst", true);
    CFaultInjector::Reset();
    if (c.bSticky) {
      EXPECT_EQ(result, fileops::eCopyDataFailed);
      EXPECT_EQ(ReadHost("\\src\\tree\\a.txt"), "aaa");
      EXPECT_TRUE(Listing("\\dst\\tree").isEmpty());
      ASSERT_EQ(box.Calls().size(), 1u);
      EXPECT_EQ(box.Calls()[0].strText, "Error copying file \"\\src\\tree\\a.txt\".");
    } else {
      EXPECT_EQ(result, fileops::eCopyOK);
      EXPECT_EQ(ReadHost("\\dst\\tree\\a.txt"), "aaa");
      EXPECT_FALSE(ExistsHost("\\src\\tree"));
      EXPECT_TRUE(box.Calls().empty());
    }
  }
}

}  // namespace
