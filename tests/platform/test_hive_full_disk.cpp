// The hive after a full disk: a checkpoint cut short leaves the main file shorter than the page
// count its header declares while the write-ahead log still holds every page. Such a hive is
// opened with all its values (SQLite reads them from the log); a write that fails for lack of
// space fails that write only. Real files; a real full file system where mounting is allowed.
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/errors.h"
#include "platform/registry_hive.h"

using namespace plat;

namespace {

QByteArray ReadAll(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray Blob(int size, char fill) { return QByteArray(size, fill); }

LONG SetBlob(const QString& keyPath, const QString& name, const QByteArray& data) {
  HKEY key = 0;
  LONG rc = RegCreateKeyEx(HKEY_LOCAL_MACHINE, keyPath, &key, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  rc = RegSetValueEx(key, name, REG_BINARY, reinterpret_cast<const BYTE*>(data.constData()),
                     DWORD(data.size()));
  if (rc == ERROR_SUCCESS) rc = RegFlushKey(key);
  RegCloseKey(key);
  return rc;
}

QByteArray GetBlob(const QString& keyPath, const QString& name) {
  HKEY key = 0;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath, 0, 0, &key) != ERROR_SUCCESS) return "no key";
  DWORD type = 0, size = 0;
  QByteArray data;
  if (RegQueryValueEx(key, name, &type, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    RegQueryValueEx(key, name, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  } else {
    data = "no value";
  }
  RegCloseKey(key);
  return data;
}

// The state a checkpoint cut short by a full disk leaves: the log holds every page, the main
// file got its new first page (with the grown page count) but not the pages after its old end.
TEST(HiveFullDiskTest, AFileCutShortByACheckpointOpensWithEveryValue) {
  QTemporaryDir dir;
  const QString live = dir.path() + "/live.db", hive = dir.path() + "/registry.db";
  QString error;
  ASSERT_TRUE(CHive::Open(live, &error)) << error.toStdString();
  ASSERT_EQ(SetBlob("Software\\Old", "Kept", Blob(3000, 'k')), ERROR_SUCCESS);
  CHive::Close();  // checkpointed: everything in the main file
  const QByteArray oldMain = ReadAll(live);

  // A second connection that never checkpoints grows the hive in its log only.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(live).constData(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA wal_autocheckpoint = 0", nullptr, nullptr, nullptr), SQLITE_OK);
  ASSERT_TRUE(CHive::Open(live, &error)) << error.toStdString();
  ASSERT_EQ(SetBlob("Software\\New", "Grown", Blob(200000, 'g')), ERROR_SUCCESS);
  ASSERT_EQ(SetBlob("Software\\New", "", Blob(10, 'u')), ERROR_SUCCESS);  // the unnamed value
  const QByteArray log = ReadAll(live + "-wal");
  ASSERT_GT(log.size(), 200000);
  ASSERT_EQ(ReadAll(live), oldMain);  // nothing checkpointed yet
  CHive::Close();
  // The first page as a finished checkpoint writes it.
  ASSERT_EQ(sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const QByteArray fullMain = ReadAll(live);
  ASSERT_GT(fullMain.size(), oldMain.size());
  const int pageSize = 4096;
  ASSERT_EQ(oldMain.size() % pageSize, 0);
  ASSERT_TRUE(WriteAll(hive, fullMain.left(pageSize) + oldMain.mid(pageSize)));
  ASSERT_TRUE(WriteAll(hive + "-wal", log));

  ASSERT_TRUE(CHive::Open(hive, &error)) << error.toStdString();
  EXPECT_EQ(GetBlob("Software\\Old", "Kept"), Blob(3000, 'k'));
  EXPECT_EQ(GetBlob("Software\\New", "Grown"), Blob(200000, 'g'));
  EXPECT_EQ(GetBlob("Software\\New", ""), Blob(10, 'u'));
  EXPECT_EQ(SetBlob("Software\\New", "After", Blob(10, 'a')), ERROR_SUCCESS);
  CHive::Close();  // the checkpoint now completes: the main file is whole again
  EXPECT_FALSE(QFile::exists(hive + "-wal"));
  ASSERT_TRUE(CHive::Open(hive, &error)) << error.toStdString();
  EXPECT_EQ(GetBlob("Software\\New", "Grown"), Blob(200000, 'g'));
  CHive::Close();

  // Without the log the same short file is what it says: truncated, and left as it is.
  ASSERT_TRUE(WriteAll(hive, fullMain.left(pageSize) + oldMain.mid(pageSize)));
  const QByteArray cut = ReadAll(hive);
  EXPECT_FALSE(CHive::Open(hive, &error));
  EXPECT_TRUE(error.contains("is damaged or is not a registry hive: it is truncated"))
      << error.toStdString();
  EXPECT_EQ(ReadAll(hive), cut);
  // With a log that does not hold the missing pages it stays refused too.
  ASSERT_TRUE(WriteAll(hive + "-wal", log.left(log.size() / 3)));
  EXPECT_FALSE(CHive::Open(hive, &error));
  EXPECT_TRUE(error.contains("is damaged or is not a registry hive")) << error.toStdString();
}

// A real file system that fills up: a small tmpfs, mounted only where the test may (as root).
class CSmallMount {
 public:
  bool Mount(const QString& where, const char* size) {
    const QByteArray options = QByteArray("size=") + size;
    mounted_ = ::mount("tmpfs", QFile::encodeName(where).constData(), "tmpfs", 0,
                       options.constData()) == 0;
    where_ = where;
    return mounted_;
  }
  ~CSmallMount() {
    if (mounted_) ::umount2(QFile::encodeName(where_).constData(), MNT_DETACH);
  }

 private:
  bool mounted_ = false;
  QString where_;
};

TEST(HiveFullDiskTest, AFullFileSystemFailsTheWriteOnlyAndTheHiveOpensAfterwards) {
  QTemporaryDir dir;
  CSmallMount mount;
  if (::geteuid() != 0 || !mount.Mount(dir.path(), "1m"))
    GTEST_SKIP() << "a small file system cannot be mounted here";
  const QString hive = dir.path() + "/registry.db", filler = dir.path() + "/filler";
  QString error;
  ASSERT_TRUE(CHive::Open(hive, &error)) << error.toStdString();
  ASSERT_EQ(SetBlob("Software\\A", "First", Blob(50000, 'f')), ERROR_SUCCESS);
  // Fill what is left, then write until the disk says no.
  {
    QFile fill(filler);
    ASSERT_TRUE(fill.open(QIODevice::WriteOnly));
    const QByteArray chunk(4096, 'x');
    while (fill.write(chunk) == chunk.size() && fill.flush()) {
    }
  }
  LONG failed = ERROR_SUCCESS;
  int written = 0;
  for (int i = 0; i < 200 && failed == ERROR_SUCCESS; ++i) {
    failed = SetBlob("Software\\B", QString("V%1").arg(i), Blob(8000, char('a' + i % 26)));
    if (failed == ERROR_SUCCESS) ++written;
  }
  EXPECT_EQ(failed, LONG(ERROR_DISK_FULL));
  // The failed write failed alone: everything before it is there, and reads go on.
  EXPECT_EQ(GetBlob("Software\\A", "First"), Blob(50000, 'f'));
  for (int i = 0; i < written; ++i)
    EXPECT_EQ(GetBlob("Software\\B", QString("V%1").arg(i)), Blob(8000, char('a' + i % 26))) << i;
  CHive::Close();  // its checkpoint may be cut short by the full disk

  // The next start, still full and then with space again, finds every value.
  for (bool freed : {false, true}) {
    SCOPED_TRACE(freed ? "space freed" : "disk still full");
    if (freed) ASSERT_TRUE(QFile::remove(filler));
    ASSERT_TRUE(CHive::Open(hive, &error)) << error.toStdString();
    EXPECT_EQ(GetBlob("Software\\A", "First"), Blob(50000, 'f'));
    for (int i = 0; i < written; ++i)
      EXPECT_EQ(GetBlob("Software\\B", QString("V%1").arg(i)), Blob(8000, char('a' + i % 26)))
          << i;
    if (freed) {
      EXPECT_EQ(SetBlob("Software\\C", "Later", Blob(8000, 'l')), ERROR_SUCCESS);
    }
    CHive::Close();
  }
  ASSERT_TRUE(CHive::Open(hive, &error)) << error.toStdString();
  EXPECT_EQ(GetBlob("Software\\C", "Later"), Blob(8000, 'l'));
  CHive::Close();
}

}  // namespace
