#pragma once
// The registry: a durable store in one SQLite file (the hive) behind the handheld's registry
// calls. Key names compare without regard to case and keep their case; values keep their type
// number and bytes exactly. Every change is committed at once, so another process sees it;
// RegFlushKey returns only when everything written so far is on stable storage.
// All calls return ERROR_SUCCESS or an error code (and set the last error as well).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

#include "platform/wintypes.h"

using HKEY = DWORD;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_RESOURCE_LIST = 8;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr DWORD KEY_READ = 0x20019;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

namespace plat {

class CHive {
 public:
  // Opens the hive file for the whole process, creating it with the four roots when it does
  // not exist. A file that is not a hive (damaged, truncated, another program's) is refused
  // with a clear reason in *error and left exactly as it was.
  static bool Open(const QString& hostFile, QString* error);
  static void Close();
  static bool IsOpen();
  static QString HostFile();
};

// subKey: a path below `key`, backslash-separated; empty opens `key` again.
LONG RegOpenKeyEx(HKEY key, const QString& subKey, DWORD options, DWORD access, HKEY* result);
// Creates the missing keys of the path; *disposition tells whether the last one was created.
LONG RegCreateKeyEx(HKEY key, const QString& subKey, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
// A batch: every change made through the calls below between RegBeginBatch and RegEndBatch is
// one transaction, committed (bCommit) or dropped as a whole; other processes see all of it
// or nothing. A change that fails inside the batch undoes only itself. One batch at a time,
// on one thread; ERROR_BUSY while one is open.
LONG RegBeginBatch();
LONG RegEndBatch(bool bCommit);
// Deletes the subkey with its whole subtree.
LONG RegDeleteKey(HKEY key, const QString& subKey);
LONG RegFlushKey(HKEY key);

// As the handheld: with data null only *size and *type are filled; a buffer smaller than the
// value gives ERROR_MORE_DATA with the size needed in *size. The empty name is the default value.
LONG RegQueryValueEx(HKEY key, const QString& name, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueEx(HKEY key, const QString& name, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValue(HKEY key, const QString& name);

// Enumeration by index, in creation order; ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name);
// Data as RegQueryValueEx (data may be null; ERROR_MORE_DATA when *size is too small).
LONG RegEnumValue(HKEY key, DWORD index, QString* name, DWORD* type, BYTE* data, DWORD* size);
// All subkey names, or all values, of a key in enumeration order in one read: what the calls
// by index give, without finding each index again (a key with many values is read in
// linear time).
struct CRegValueRecord {
  QString name;
  DWORD type = 0;
  QByteArray data;
};
LONG RegEnumKeyNames(HKEY key, QStringList* names);
LONG RegEnumValueRecords(HKEY key, std::vector<CRegValueRecord>* records);
// Counts and the longest subkey name, value name (characters) and value data (bytes).
// Null pointers are not filled.
LONG RegQueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                     DWORD* maxValueNameLen, DWORD* maxValueLen);

}  // namespace plat
