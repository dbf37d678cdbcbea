#include "platform/registry_hive.h"

#include <QFileInfo>
#include <QStringList>

#include <cstring>
#include <mutex>
#include <sqlite3.h>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/hive_db.h"

namespace plat {
namespace {

// The handheld's limit for key and value names, in characters.
constexpr qsizetype kMaxNameLength = 255;
// Handles of opened keys: small multiples of 4, far below the roots (0x80000000...).
constexpr HKEY kFirstHandle = 0x100;
constexpr HKEY kLastHandle = 0x7FFFFFFC;

struct CHiveState {
  std::mutex mutex;
  hive::CHiveDb db;                          // guarded by mutex
  QString hostFile;                          // guarded by mutex
  std::unordered_map<HKEY, qint64> handles;  // open handle -> key id; guarded by mutex
  HKEY nextHandle = kFirstHandle;            // guarded by mutex
  bool batch = false;                        // a batch transaction is open; guarded by mutex
  // Per handle: the index and row id of the value RegEnumValue returned last, so that the
  // next index is found from there instead of counting from the first value.
  std::unordered_map<HKEY, std::pair<DWORD, qint64>> valueCursor;  // guarded by mutex
};

CHiveState& State() {
  static CHiveState state;
  return state;
}

LONG Result(LONG error) {
  if (error != ERROR_SUCCESS) SetLastError(DWORD(error));
  return error;
}

bool IsRoot(HKEY key) { return key >= HKEY_CLASSES_ROOT && key <= HKEY_USERS; }

// Splits a key path into its names. Leading and trailing backslashes are tolerated; an empty
// name inside the path or one longer than the handheld allows is refused.
LONG SplitKeyPath(const QString& path, QStringList* names) {
  qsizetype begin = 0, end = path.size();
  while (begin < end && path[begin] == QLatin1Char('\\')) ++begin;
  while (end > begin && path[end - 1] == QLatin1Char('\\')) --end;
  names->clear();
  if (begin == end) return ERROR_SUCCESS;
  *names = path.mid(begin, end - begin).split(QLatin1Char('\\'));
  for (const QString& name : *names)
    if (name.isEmpty() || name.size() > kMaxNameLength) return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

void BindBytes(sqlite3_stmt* s, int index, const QByteArray& bytes) {
  // A null pointer would bind NULL; an empty name or value is a zero-length blob.
  sqlite3_bind_blob(s, index, bytes.isEmpty() ? "" : bytes.constData(), int(bytes.size()),
                    SQLITE_TRANSIENT);
}

// Everything below runs with the state's mutex held.

// The key id behind a handle, without asking whether the key still exists.
LONG HandleKeyId(CHiveState& st, HKEY key, qint64* id) {
  if (!st.db.IsOpen()) return ERROR_INVALID_HANDLE;
  if (IsRoot(key)) {
    *id = hive::kFirstRootId + qint64(key - HKEY_CLASSES_ROOT);
    return ERROR_SUCCESS;
  }
  const auto it = st.handles.find(key);
  if (it == st.handles.end()) return ERROR_INVALID_HANDLE;
  *id = it->second;
  return ERROR_SUCCESS;
}

// The key id behind a handle; ERROR_KEY_DELETED when the key was deleted since it was opened
// (through another handle or by another process).
LONG LiveKeyId(CHiveState& st, HKEY key, qint64* id) {
  LONG error = HandleKeyId(st, key, id);
  if (error != ERROR_SUCCESS || IsRoot(key)) return error;
  sqlite3_stmt* s = st.db.Statement("SELECT 1 FROM keys WHERE id = ?1");
  if (!s) return ERROR_REGISTRY_IO_FAILED;
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, *id);
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) return ERROR_SUCCESS;
  return rc == SQLITE_DONE ? ERROR_KEY_DELETED : LONG(hive::ErrorFromSqlite(rc));
}

// Follows `names` down from `base`: *found is how many of them exist, *id the deepest key
// reached.
LONG Walk(CHiveState& st, qint64 base, const QStringList& names, qint64* id, int* found) {
  *id = base;
  *found = 0;
  sqlite3_stmt* s = st.db.Statement("SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
  if (!s) return ERROR_REGISTRY_IO_FAILED;
  for (const QString& name : names) {
    hive::CStatementScope scope(s);
    sqlite3_bind_int64(s, 1, *id);
    BindBytes(s, 2, hive::FoldedBytes(name));
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) return ERROR_SUCCESS;
    if (rc != SQLITE_ROW) return LONG(hive::ErrorFromSqlite(rc));
    *id = sqlite3_column_int64(s, 0);
    ++*found;
  }
  return ERROR_SUCCESS;
}

LONG InsertKey(CHiveState& st, qint64 parent, const QString& name, qint64* id) {
  sqlite3_stmt* s = st.db.Statement("INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)");
  if (!s) return ERROR_REGISTRY_IO_FAILED;
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, parent);
  BindBytes(s, 2, hive::NameBytes(name));
  BindBytes(s, 3, hive::FoldedBytes(name));
  const int rc = sqlite3_step(s);
  if (rc != SQLITE_DONE) return LONG(hive::ErrorFromSqlite(rc));
  *id = sqlite3_last_insert_rowid(sqlite3_db_handle(s));
  return ERROR_SUCCESS;
}

HKEY NewHandle(CHiveState& st, qint64 id) {
  HKEY handle;
  do {
    handle = st.nextHandle;
    st.nextHandle = handle >= kLastHandle ? kFirstHandle : handle + 4;
  } while (st.handles.count(handle));
  st.handles.emplace(handle, id);
  return handle;
}

// Runs a change as one committed transaction that waits for other writers. `change` sees the
// live id of `key`; any error rolls everything back.
template <typename Change>
LONG WriteTransaction(CHiveState& st, HKEY key, Change change) {
  qint64 id = 0;
  LONG error = HandleKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return error;
  if (st.batch) {
    // Inside a batch each change is a savepoint: a failed one undoes only itself, and the
    // batch's end commits or drops them all.
    if (const int rc = st.db.Exec("SAVEPOINT change"); rc != SQLITE_OK)
      return LONG(hive::ErrorFromSqlite(rc));
    error = LiveKeyId(st, key, &id);
    if (error == ERROR_SUCCESS) error = change(id);
    if (error != ERROR_SUCCESS) st.db.Exec("ROLLBACK TO change");
    st.db.Exec("RELEASE change");
    return error;
  }
  if (const int rc = st.db.BeginWrite(); rc != SQLITE_OK) return LONG(hive::ErrorFromSqlite(rc));
  error = LiveKeyId(st, key, &id);
  if (error == ERROR_SUCCESS) error = change(id);
  if (error != ERROR_SUCCESS) {
    st.db.Rollback();
    return error;
  }
  return LONG(hive::ErrorFromSqlite(st.db.Commit()));
}

// Fills the caller's type, data and size from the current row, by the handheld's rules: with
// data null only the size is told; a buffer too small gives ERROR_MORE_DATA and the size needed.
LONG CopyValue(sqlite3_stmt* s, int typeColumn, int dataColumn, DWORD* type, BYTE* data,
               DWORD* size) {
  if (type) *type = DWORD(sqlite3_column_int64(s, typeColumn));
  const void* bytes = sqlite3_column_blob(s, dataColumn);
  const DWORD count = DWORD(sqlite3_column_bytes(s, dataColumn));
  if (!size) return ERROR_SUCCESS;
  if (data && *size < count) {
    *size = count;
    return ERROR_MORE_DATA;
  }
  if (data && count) std::memcpy(data, bytes, count);
  *size = count;
  return ERROR_SUCCESS;
}

}  // namespace

bool CHive::Open(const QString& hostFile, QString* error) {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  st.db.Close();
  st.handles.clear();
  st.valueCursor.clear();
  st.hostFile.clear();
  if (!QFileInfo::exists(hostFile) && !QFileInfo(hostFile).isSymLink() &&
      !hive::CreateHiveFile(hostFile, error))
    return false;
  if (!hive::CheckHiveFile(hostFile, error)) return false;
  if (!st.db.Open(hostFile, error)) return false;
  st.hostFile = hostFile;
  return true;
}

void CHive::Close() {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  if (st.batch) st.db.Rollback();
  st.batch = false;
  st.valueCursor.clear();
  st.db.Close();
  st.handles.clear();
  st.hostFile.clear();
}

bool CHive::IsOpen() {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  return st.db.IsOpen();
}

QString CHive::HostFile() {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  return st.hostFile;
}

// Options and access rights are accepted and not enforced: as on the handheld, every handle
// may read and write.
LONG RegOpenKeyEx(HKEY key, const QString& subKey, DWORD options, DWORD access, HKEY* result) {
  if (!result) return Result(ERROR_INVALID_PARAMETER);
  *result = 0;
  QStringList names;
  LONG error = SplitKeyPath(subKey, &names);
  if (error != ERROR_SUCCESS) return Result(error);
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  int found = 0;
  error = LiveKeyId(st, key, &id);
  if (error == ERROR_SUCCESS) error = Walk(st, id, names, &id, &found);
  if (error == ERROR_SUCCESS && found < names.size()) error = ERROR_FILE_NOT_FOUND;
  if (error == ERROR_SUCCESS) *result = NewHandle(st, id);
  return Result(error);
}

LONG RegCreateKeyEx(HKEY key, const QString& subKey, HKEY* result, DWORD* disposition) {
  if (!result) return Result(ERROR_INVALID_PARAMETER);
  *result = 0;
  QStringList names;
  LONG error = SplitKeyPath(subKey, &names);
  if (error != ERROR_SUCCESS) return Result(error);
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  // Opening an existing key needs no write: look first, write only when something is missing.
  qint64 id = 0;
  int found = 0;
  error = LiveKeyId(st, key, &id);
  if (error == ERROR_SUCCESS) error = Walk(st, id, names, &id, &found);
  if (error != ERROR_SUCCESS) return Result(error);
  bool created = false;
  if (found < names.size()) {
    error = WriteTransaction(st, key, [&](qint64 base) {
      LONG e = Walk(st, base, names, &id, &found);
      for (int i = found; e == ERROR_SUCCESS && i < names.size(); ++i) {
        e = InsertKey(st, id, names[i], &id);
        created = true;
      }
      return e;
    });
    if (error != ERROR_SUCCESS) return Result(error);
  }
  *result = NewHandle(st, id);
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG RegBeginBatch() {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  if (!st.db.IsOpen()) return Result(ERROR_INVALID_HANDLE);
  if (st.batch) return Result(ERROR_BUSY);
  if (const int rc = st.db.BeginWrite(); rc != SQLITE_OK)
    return Result(LONG(hive::ErrorFromSqlite(rc)));
  st.batch = true;
  return ERROR_SUCCESS;
}

LONG RegEndBatch(bool bCommit) {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  if (!st.batch) return Result(ERROR_INVALID_PARAMETER);
  st.batch = false;
  if (!bCommit) {
    st.db.Rollback();
    return ERROR_SUCCESS;
  }
  return Result(LONG(hive::ErrorFromSqlite(st.db.Commit())));
}

LONG RegCloseKey(HKEY key) {
  if (IsRoot(key)) return ERROR_SUCCESS;
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  st.valueCursor.erase(key);
  return Result(st.handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
}

LONG RegDeleteKey(HKEY key, const QString& subKey) {
  QStringList names;
  LONG error = SplitKeyPath(subKey, &names);
  // An empty path would name the key itself (or a root): only subkeys are deleted here.
  if (error == ERROR_SUCCESS && names.isEmpty()) error = ERROR_INVALID_PARAMETER;
  if (error != ERROR_SUCCESS) return Result(error);
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  error = WriteTransaction(st, key, [&](qint64 base) {
    qint64 id = 0;
    int found = 0;
    LONG e = Walk(st, base, names, &id, &found);
    if (e == ERROR_SUCCESS && found < names.size()) e = ERROR_FILE_NOT_FOUND;
    const char* const deletes[] = {
        "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT keys.id FROM keys"
        " JOIN tree ON keys.parent = tree.id) DELETE FROM vals WHERE key IN tree",
        "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL SELECT keys.id FROM keys"
        " JOIN tree ON keys.parent = tree.id) DELETE FROM keys WHERE id IN tree",
    };
    for (const char* sql : deletes) {
      if (e != ERROR_SUCCESS) break;
      sqlite3_stmt* s = st.db.Statement(sql);
      if (!s) return LONG(ERROR_REGISTRY_IO_FAILED);
      hive::CStatementScope scope(s);
      sqlite3_bind_int64(s, 1, id);
      const int rc = sqlite3_step(s);
      if (rc != SQLITE_DONE) e = LONG(hive::ErrorFromSqlite(rc));
    }
    return e;
  });
  return Result(error);
}

LONG RegFlushKey(HKEY key) {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = HandleKeyId(st, key, &id);
  if (error == ERROR_SUCCESS) error = LONG(hive::ErrorFromSqlite(st.db.Sync()));
  return Result(error);
}

LONG RegQueryValueEx(HKEY key, const QString& name, DWORD* type, BYTE* data, DWORD* size) {
  if (data && !size) return Result(ERROR_INVALID_PARAMETER);
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = LiveKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return Result(error);
  sqlite3_stmt* s = st.db.Statement("SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2");
  if (!s) return Result(ERROR_REGISTRY_IO_FAILED);
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, id);
  BindBytes(s, 2, hive::FoldedBytes(name));
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return Result(ERROR_FILE_NOT_FOUND);
  if (rc != SQLITE_ROW) return Result(LONG(hive::ErrorFromSqlite(rc)));
  return Result(CopyValue(s, 0, 1, type, data, size));
}

LONG RegSetValueEx(HKEY key, const QString& name, DWORD type, const BYTE* data, DWORD size) {
  if ((!data && size) || name.size() > kMaxNameLength) return Result(ERROR_INVALID_PARAMETER);
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   qsizetype(size));
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  const LONG error = WriteTransaction(st, key, [&](qint64 id) {
    // An existing value keeps its name as first written and its place in the order.
    sqlite3_stmt* s = st.db.Statement(
        "INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
        " ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!s) return LONG(ERROR_REGISTRY_IO_FAILED);
    hive::CStatementScope scope(s);
    sqlite3_bind_int64(s, 1, id);
    BindBytes(s, 2, hive::NameBytes(name));
    BindBytes(s, 3, hive::FoldedBytes(name));
    sqlite3_bind_int64(s, 4, qint64(type));
    BindBytes(s, 5, bytes);
    const int rc = sqlite3_step(s);
    return rc == SQLITE_DONE ? LONG(ERROR_SUCCESS) : LONG(hive::ErrorFromSqlite(rc));
  });
  return Result(error);
}

LONG RegDeleteValue(HKEY key, const QString& name) {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  const LONG error = WriteTransaction(st, key, [&](qint64 id) {
    sqlite3_stmt* s = st.db.Statement("DELETE FROM vals WHERE key = ?1 AND folded = ?2");
    if (!s) return LONG(ERROR_REGISTRY_IO_FAILED);
    hive::CStatementScope scope(s);
    sqlite3_bind_int64(s, 1, id);
    BindBytes(s, 2, hive::FoldedBytes(name));
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE) return LONG(hive::ErrorFromSqlite(rc));
    return sqlite3_changes(sqlite3_db_handle(s)) ? LONG(ERROR_SUCCESS) : LONG(ERROR_FILE_NOT_FOUND);
  });
  return Result(error);
}

LONG RegEnumKeyNames(HKEY key, QStringList* names) {
  names->clear();
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = LiveKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return Result(error);
  sqlite3_stmt* s = st.db.Statement("SELECT name FROM keys WHERE parent = ?1 ORDER BY id");
  if (!s) return Result(ERROR_REGISTRY_IO_FAILED);
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, id);
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW)
    names->append(hive::NameFromBytes(sqlite3_column_blob(s, 0), sqlite3_column_bytes(s, 0)));
  return Result(rc == SQLITE_DONE ? LONG(ERROR_SUCCESS) : LONG(hive::ErrorFromSqlite(rc)));
}

LONG RegEnumValueRecords(HKEY key, std::vector<CRegValueRecord>* records) {
  records->clear();
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = LiveKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return Result(error);
  sqlite3_stmt* s =
      st.db.Statement("SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id");
  if (!s) return Result(ERROR_REGISTRY_IO_FAILED);
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, id);
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    CRegValueRecord record;
    record.name = hive::NameFromBytes(sqlite3_column_blob(s, 0), sqlite3_column_bytes(s, 0));
    record.type = DWORD(sqlite3_column_int64(s, 1));
    const int count = sqlite3_column_bytes(s, 2);
    if (count > 0)
      record.data = QByteArray(static_cast<const char*>(sqlite3_column_blob(s, 2)), count);
    records->push_back(std::move(record));
  }
  return Result(rc == SQLITE_DONE ? LONG(ERROR_SUCCESS) : LONG(hive::ErrorFromSqlite(rc)));
}

LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name) {
  if (!name) return Result(ERROR_INVALID_PARAMETER);
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = LiveKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return Result(error);
  sqlite3_stmt* s =
      st.db.Statement("SELECT name FROM keys WHERE parent = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
  if (!s) return Result(ERROR_REGISTRY_IO_FAILED);
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, id);
  sqlite3_bind_int64(s, 2, qint64(index));
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return Result(ERROR_NO_MORE_ITEMS);
  if (rc != SQLITE_ROW) return Result(LONG(hive::ErrorFromSqlite(rc)));
  *name = hive::NameFromBytes(sqlite3_column_blob(s, 0), sqlite3_column_bytes(s, 0));
  return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, QString* name, DWORD* type, BYTE* data, DWORD* size) {
  if (!name || (data && !size)) return Result(ERROR_INVALID_PARAMETER);
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = LiveKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return Result(error);
  // Enumerating in order (index 0, 1, 2, ...) steps from the last row found; any other
  // index counts from the first value.
  const auto cursor = st.valueCursor.find(key);
  const bool bNext = cursor != st.valueCursor.end() && index > 0 && cursor->second.first == index - 1;
  sqlite3_stmt* s =
      bNext ? st.db.Statement("SELECT name, type, data, id FROM vals WHERE key = ?1 AND id > ?2"
                              " ORDER BY id LIMIT 1")
            : st.db.Statement("SELECT name, type, data, id FROM vals WHERE key = ?1 ORDER BY id"
                              " LIMIT 1 OFFSET ?2");
  if (!s) return Result(ERROR_REGISTRY_IO_FAILED);
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, id);
  sqlite3_bind_int64(s, 2, bNext ? cursor->second.second : qint64(index));
  const int rc = sqlite3_step(s);
  if (rc == SQLITE_DONE) return Result(ERROR_NO_MORE_ITEMS);
  if (rc != SQLITE_ROW) return Result(LONG(hive::ErrorFromSqlite(rc)));
  *name = hive::NameFromBytes(sqlite3_column_blob(s, 0), sqlite3_column_bytes(s, 0));
  const LONG result = CopyValue(s, 1, 2, type, data, size);
  if (!IsRoot(key)) st.valueCursor[key] = {index, sqlite3_column_int64(s, 3)};
  return Result(result);
}

LONG RegQueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                     DWORD* maxValueNameLen, DWORD* maxValueLen) {
  CHiveState& st = State();
  std::lock_guard lock(st.mutex);
  qint64 id = 0;
  LONG error = LiveKeyId(st, key, &id);
  if (error != ERROR_SUCCESS) return Result(error);
  // Names are UTF-16 bytes, so half their byte length is their length in characters.
  sqlite3_stmt* s = st.db.Statement(
      "SELECT (SELECT count(*) FROM keys WHERE parent = ?1),"
      " (SELECT coalesce(max(length(name)), 0) / 2 FROM keys WHERE parent = ?1),"
      " count(*), coalesce(max(length(name)), 0) / 2, coalesce(max(length(data)), 0)"
      " FROM vals WHERE key = ?1");
  if (!s) return Result(ERROR_REGISTRY_IO_FAILED);
  hive::CStatementScope scope(s);
  sqlite3_bind_int64(s, 1, id);
  const int rc = sqlite3_step(s);
  if (rc != SQLITE_ROW) return Result(LONG(hive::ErrorFromSqlite(rc)));
  DWORD* const outputs[] = {subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen};
  for (int i = 0; i < 5; ++i)
    if (outputs[i]) *outputs[i] = DWORD(sqlite3_column_int64(s, i));
  return ERROR_SUCCESS;
}

}  // namespace plat
