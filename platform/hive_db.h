#pragma once
// The SQLite file behind the registry: recognising a hive, creating a new one atomically, and
// a small statement cache with write transactions for the registry calls.
//
// Layout of a hive (schema version 1):
//   keys(id, parent, name, folded)       id grows with every key made (creation order); the
//                                         four roots have the fixed ids 1-4 and parent 0
//   vals(id, key, name, folded, type, data)
//   meta(id, flushes)                     one row, rewritten by a flush that cannot sync
//                                         the log file directly
// Names are stored as their UTF-16 bytes (little-endian, no terminator) so that every name
// round-trips exactly; `folded` holds the case-folded name and carries the uniqueness.

#include <QByteArray>
#include <QString>
#include <unordered_map>

#include "platform/wintypes.h"

struct sqlite3;
struct sqlite3_stmt;

namespace plat::hive {

// "PBRG" in the file header: marks a SQLite file as a registry hive.
constexpr int kApplicationId = 0x50425247;
constexpr int kSchemaVersion = 1;

// Ids of the four roots in the keys table, in the order of their handles (0x80000000...).
constexpr qint64 kFirstRootId = 1;
constexpr int kRootCount = 4;

// The bytes stored for a name, and the name back from them.
QByteArray NameBytes(const QString& name);
QString NameFromBytes(const void* bytes, int size);
// The bytes that decide whether two names are the same key or value.
QByteArray FoldedBytes(const QString& name);

// Maps an SQLite result code to the handheld's error code.
DWORD ErrorFromSqlite(int rc);

// Checks an existing file without writing it: true when it is a hive of this schema, otherwise
// false with a message naming the file and the reason ("The registry file /x/registry.db is
// damaged or is not a registry hive: it is truncated (4096 of 8192 bytes).").
bool CheckHiveFile(const QString& file, QString* error);

// Builds a new hive with the four roots under a temporary name beside `file` and links it into
// place only when it is complete; a file that appeared there meanwhile is kept as it is.
bool CreateHiveFile(const QString& file, QString* error);

// One read-write connection to a hive. Not thread-safe: the caller serialises all use.
class CHiveDb {
 public:
  ~CHiveDb();

  bool Open(const QString& file, QString* error);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }

  // A cached prepared statement for `sql` (a string literal: the cache is keyed by address).
  // Null when it cannot be prepared.
  sqlite3_stmt* Statement(const char* sql);
  // Runs a statement that returns no rows; the SQLite result code.
  int Exec(const char* sql);

  // Starts a write transaction that waits for other writers (BEGIN IMMEDIATE).
  int BeginWrite();
  int Commit();
  void Rollback();

  // Makes every commit so far durable: syncs the write-ahead log (or, where its file is not at
  // hand, commits one row with synchronous=FULL). Costs nothing when this connection
  // committed nothing since the last sync.
  int Sync();
  void MarkUnsynced() { unsynced_ = true; }

 private:
  int SyncByCommit();

  sqlite3* db_ = nullptr;
  std::unordered_map<const char*, sqlite3_stmt*> statements_;
  bool unsynced_ = false;
};

// Resets a cached statement when the scope ends, so that it holds no read lock afterwards.
class CStatementScope {
 public:
  explicit CStatementScope(sqlite3_stmt* s) : s_(s) {}
  ~CStatementScope();
  CStatementScope(const CStatementScope&) = delete;
  CStatementScope& operator=(const CStatementScope&) = delete;

 private:
  sqlite3_stmt* s_;
};

}  // namespace plat::hive
