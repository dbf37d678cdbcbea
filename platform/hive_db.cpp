#include "platform/hive_db.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace plat::hive {
namespace {

constexpr char kSqliteMagic[] = "SQLite format 3";  // 16 bytes with its terminator
constexpr int kHeaderSize = 100;
// How long a call waits for another process that is writing to the hive.
constexpr int kBusyTimeoutMs = 10000;

const char* const kSchema[] = {
    "CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL,"
    " name BLOB NOT NULL, folded BLOB NOT NULL, UNIQUE(parent, folded))",
    "CREATE INDEX keys_children ON keys(parent, id)",
    "CREATE TABLE vals(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,"
    " name BLOB NOT NULL, folded BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " UNIQUE(key, folded))",
    "CREATE INDEX vals_of_key ON vals(key, id)",
    "CREATE TABLE meta(id INTEGER PRIMARY KEY CHECK(id = 1), flushes INTEGER NOT NULL)",
    "INSERT INTO meta VALUES(1, 0)",
};

const char* const kRootNames[kRootCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                             "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

// Statements a hive must be able to run; one that does not prepare means foreign tables.
const char* const kSchemaProbes[] = {
    "SELECT id, parent, name, folded FROM keys LIMIT 0",
    "SELECT id, key, name, folded, type, data FROM vals LIMIT 0",
    "SELECT flushes FROM meta WHERE id = 1",
};

quint32 BigEndian32(const QByteArray& header, int offset) {
  return qFromBigEndian<quint32>(header.constData() + offset);
}

// The reason the first bytes of a file show that it is no hive; empty when they fit one.
// *pShort tells that the reason is only that the file is shorter than its header says.
QString CheckHeader(const QByteArray& header, qint64 fileSize, bool* pShort) {
  *pShort = false;
  if (fileSize == 0) return QStringLiteral("it is empty");
  const QByteArray magic(kSqliteMagic, 16);
  if (header.size() < kHeaderSize) {
    // A short file that begins like a database is a cut-off one.
    return magic.startsWith(header.left(16))
               ? QStringLiteral("it is truncated (%1 bytes)").arg(fileSize)
               : QStringLiteral("it is not a database file");
  }
  if (!header.startsWith(magic)) return QStringLiteral("it is not a database file");
  quint32 pageSize = qFromBigEndian<quint16>(header.constData() + 16);
  if (pageSize == 1) pageSize = 65536;
  if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
    return QStringLiteral("its header is damaged (page size %1)").arg(pageSize);
  const quint32 appId = BigEndian32(header, 68);
  if (appId != quint32(kApplicationId))
    return QStringLiteral("it is another program's database (application id 0x%1)")
        .arg(appId, 8, 16, QLatin1Char('0'));
  const quint32 version = BigEndian32(header, 60);
  if (version != quint32(kSchemaVersion))
    return QStringLiteral("its schema version is %1; this program reads version %2")
        .arg(version)
        .arg(kSchemaVersion);
  // The page count in the header is valid when the change counter matches "version valid for".
  const bool countValid = BigEndian32(header, 24) == BigEndian32(header, 92);
  const qint64 expected = qint64(BigEndian32(header, 28)) * pageSize;
  if ((countValid && fileSize < expected) || fileSize % pageSize != 0) {
    *pShort = true;
    return QStringLiteral("it is truncated (%1 of %2 bytes)").arg(fileSize).arg(expected);
  }
  return {};
}

// The reason an SQLite-readable file is no hive of this schema; empty when it is one. full:
// the whole integrity check (indexes against their tables too), not only the quick one.
QString CheckContent(sqlite3* db, bool full) {
  sqlite3_stmt* s = nullptr;
  int rc = sqlite3_prepare_v2(db, full ? "PRAGMA integrity_check" : "PRAGMA quick_check", -1, &s,
                              nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(s);
  QString result;
  if (rc == SQLITE_ROW) {
    result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)))
                 .simplified();
  } else {
    result = QString::fromUtf8(sqlite3_errmsg(db));
  }
  sqlite3_finalize(s);
  if (result != QLatin1String("ok"))
    return QStringLiteral("the integrity check failed (%1)").arg(result);
  for (const char* probe : kSchemaProbes) {
    rc = sqlite3_prepare_v2(db, probe, -1, &s, nullptr);
    if (rc != SQLITE_OK) {
      const QString why = QString::fromUtf8(sqlite3_errmsg(db));
      sqlite3_finalize(s);
      return QStringLiteral("its tables are not those of a hive (%1)").arg(why);
    }
    sqlite3_finalize(s);
  }
  rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM keys WHERE id BETWEEN 1 AND 4 AND parent = 0",
                          -1, &s, nullptr);
  const bool rootsFound = rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW &&
                          sqlite3_column_int(s, 0) == kRootCount;
  sqlite3_finalize(s);
  if (!rootsFound) return QStringLiteral("its root keys are missing");
  return {};
}

// Examines a file whose header fits a hive with a read-only connection: a damaged file is
// never rolled forward or checkpointed into. The side files that connection makes are removed
// again when the file is refused and they were not there before.
QString CheckWithSqlite(const QString& file, bool full) {
  const QString logFile = file + QStringLiteral("-wal"), indexFile = file + QStringLiteral("-shm");
  const bool hadLog = QFileInfo::exists(logFile), hadIndex = QFileInfo::exists(indexFile);
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
  QString fault;
  if (rc != SQLITE_OK) {
    fault = QStringLiteral("it cannot be opened (%1)")
                .arg(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
  } else {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    fault = CheckContent(db, full);
  }
  sqlite3_close(db);
  if (!fault.isEmpty() && !hadLog && QFileInfo(logFile).size() == 0) {
    QFile::remove(logFile);
    if (!hadIndex) QFile::remove(indexFile);
  }
  return fault;
}

int ExecOn(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// Fills a freshly made, empty SQLite file with the hive's schema and roots.
bool BuildHive(const QString& file, QString* why) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE,
                           nullptr);
  const QByteArray pragmas = QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2;"
                                            " PRAGMA journal_mode = WAL")
                                 .arg(kApplicationId)
                                 .arg(kSchemaVersion)
                                 .toUtf8();
  if (rc == SQLITE_OK) rc = ExecOn(db, pragmas.constData());
  if (rc == SQLITE_OK) rc = ExecOn(db, "BEGIN");
  for (const char* sql : kSchema)
    if (rc == SQLITE_OK) rc = ExecOn(db, sql);
  for (int i = 0; i < kRootCount && rc == SQLITE_OK; ++i) {
    sqlite3_stmt* s = nullptr;
    rc = sqlite3_prepare_v2(db, "INSERT INTO keys(id, parent, name, folded) VALUES(?1, 0, ?2, ?3)",
                            -1, &s, nullptr);
    const QString name = QLatin1String(kRootNames[i]);
    const QByteArray bytes = NameBytes(name), folded = FoldedBytes(name);
    if (rc == SQLITE_OK) {
      sqlite3_bind_int64(s, 1, kFirstRootId + i);
      sqlite3_bind_blob(s, 2, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
      sqlite3_bind_blob(s, 3, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
      rc = sqlite3_step(s) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
    }
    sqlite3_finalize(s);
  }
  if (rc == SQLITE_OK) rc = ExecOn(db, "COMMIT");
  if (rc != SQLITE_OK) *why = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  // Closing the only connection checkpoints the log into the file and removes it.
  if (sqlite3_close(db) != SQLITE_OK && rc == SQLITE_OK) {
    *why = QStringLiteral("could not close the new database");
    rc = SQLITE_ERROR;
  }
  return rc == SQLITE_OK;
}

bool SyncPath(const QByteArray& path, int flags) {
  const int fd = ::open(path.constData(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

QByteArray NameBytes(const QString& name) {
  QByteArray bytes(name.size() * 2, Qt::Uninitialized);
  qToLittleEndian<quint16>(name.utf16(), name.size(), bytes.data());
  return bytes;
}

QString NameFromBytes(const void* bytes, int size) {
  // SQLite hands a null pointer for an empty blob (the unnamed value).
  if (!bytes || size < 2) return {};
  QString name(size / 2, Qt::Uninitialized);
  qFromLittleEndian<quint16>(bytes, size / 2, name.data());
  return name;
}

QByteArray FoldedBytes(const QString& name) { return NameBytes(name.toCaseFolded()); }

DWORD ErrorFromSqlite(int rc) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW: return ERROR_SUCCESS;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_BUSY;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return ERROR_ACCESS_DENIED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return ERROR_REGISTRY_CORRUPT;
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_TOOBIG: return ERROR_INVALID_PARAMETER;
    default: return ERROR_REGISTRY_IO_FAILED;
  }
}

bool CheckHiveFile(const QString& file, QString* error) {
  QFile f(file);
  if (QFileInfo(file).isDir() || !f.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("Could not read the registry file %1: %2.")
                 .arg(file, QFileInfo(file).isDir() ? QStringLiteral("it is a folder")
                                                    : f.errorString());
    return false;
  }
  const QByteArray header = f.read(kHeaderSize);
  bool isShort = false;
  QString fault = CheckHeader(header, f.size(), &isShort);
  f.close();
  // A checkpoint cut short (by a full disk) leaves the file shorter than the page count its
  // header declares, while the write-ahead log still holds every page it needs: SQLite reads
  // them from there and finishes the checkpoint later. Such a file is judged by what SQLite
  // reads, with the whole integrity check; without a log it stays truncated.
  if (isShort && header.size() == kHeaderSize && QFileInfo(file + QStringLiteral("-wal")).size() > 0) {
    const QString sqliteFault = CheckWithSqlite(file, true);
    if (sqliteFault.isEmpty()) return true;
    fault += QStringLiteral(", and %1").arg(sqliteFault);
  } else if (fault.isEmpty()) {
    fault = CheckWithSqlite(file, false);
  }
  if (fault.isEmpty()) return true;
  *error = QStringLiteral("The registry file %1 is damaged or is not a registry hive: %2.")
               .arg(file, fault);
  return false;
}

bool CreateHiveFile(const QString& file, QString* error) {
  const QFileInfo info(file);
  if (!info.dir().exists()) {
    *error = QStringLiteral("Could not create the registry file %1: its folder does not exist.")
                 .arg(file);
    return false;
  }
  QTemporaryFile temp(file + QStringLiteral(".new-XXXXXX"));  // removed again when it goes
  if (!temp.open()) {
    *error = QStringLiteral("Could not create the registry file %1: %2.")
                 .arg(file, temp.errorString());
    return false;
  }
  temp.close();
  const QString tempName = temp.fileName();
  QString why;
  if (!BuildHive(tempName, &why)) {
    *error = QStringLiteral("Could not create the registry file %1: %2.").arg(file, why);
    return false;
  }
  if (!SyncPath(QFile::encodeName(tempName), O_RDONLY)) {
    *error = QStringLiteral("Could not create the registry file %1: %2.")
                 .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  // link() never replaces: when another process created the hive first, that one stays.
  if (::link(QFile::encodeName(tempName).constData(), QFile::encodeName(file).constData()) != 0 &&
      errno != EEXIST) {
    *error = QStringLiteral("Could not create the registry file %1: %2.")
                 .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }
  SyncPath(QFile::encodeName(info.absolutePath()), O_RDONLY | O_DIRECTORY);
  return true;
}

CHiveDb::~CHiveDb() { Close(); }

bool CHiveDb::Open(const QString& file, QString* error) {
  Close();
  // No SQLITE_OPEN_CREATE: the file was checked before and must not be made anew here.
  int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READWRITE,
                           nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  if (rc == SQLITE_OK) rc = ExecOn(db_, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
  if (rc != SQLITE_OK) {
    *error = QStringLiteral("Could not open the registry file %1: %2.")
                 .arg(file, QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)));
    Close();
    return false;
  }
  unsynced_ = false;
  return true;
}

void CHiveDb::Close() {
  for (auto& [sql, s] : statements_) sqlite3_finalize(s);
  statements_.clear();
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

sqlite3_stmt* CHiveDb::Statement(const char* sql) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) return it->second;
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
    sqlite3_finalize(s);
    return nullptr;
  }
  statements_.emplace(sql, s);
  return s;
}

int CHiveDb::Exec(const char* sql) {
  sqlite3_stmt* s = Statement(sql);
  if (!s) return sqlite3_errcode(db_);
  CStatementScope scope(s);
  const int rc = sqlite3_step(s);
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

int CHiveDb::BeginWrite() { return Exec("BEGIN IMMEDIATE"); }

int CHiveDb::Commit() {
  const int rc = Exec("COMMIT");
  if (rc != SQLITE_OK) {
    Rollback();
    return rc;
  }
  unsynced_ = true;
  return SQLITE_OK;
}

void CHiveDb::Rollback() {
  if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
}

int CHiveDb::Sync() {
  if (!unsynced_) return SQLITE_OK;
  // Syncing the write-ahead log makes every frame committed so far durable with one fsync.
  // Frames that are no longer in it were checkpointed into the database file, and a
  // checkpoint syncs that file before the log is reused.
  sqlite3_file* log = nullptr;
  int rc = sqlite3_file_control(db_, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log);
  if (rc == SQLITE_OK && log && log->pMethods) {
    rc = log->pMethods->xSync(log, SQLITE_SYNC_NORMAL);
  } else {
    rc = SyncByCommit();
  }
  if (rc == SQLITE_OK) unsynced_ = false;
  return rc;
}

int CHiveDb::SyncByCommit() {
  // A commit with synchronous=FULL syncs the log, and with it every frame before its own.
  int rc = Exec("PRAGMA synchronous = FULL");
  if (rc == SQLITE_OK) rc = BeginWrite();
  if (rc == SQLITE_OK) rc = Exec("UPDATE meta SET flushes = flushes + 1 WHERE id = 1");
  if (rc == SQLITE_OK) rc = Exec("COMMIT");
  if (rc != SQLITE_OK) Rollback();
  Exec("PRAGMA synchronous = NORMAL");
  return rc;
}

CStatementScope::~CStatementScope() {
  if (!s_) return;
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
}

}  // namespace plat::hive
