// The SQLite hive behind the registry calls: exact values, names, deletion, enumeration, the
// buffer rules, two processes, and refusal of files that are not hives.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/registry_hive.h"

using namespace plat;

namespace {

constexpr char kChildEnv[] = "PINBRO_TEST_HIVE_CHILD";

QByteArray Utf16z(const QString& s) {
  return QByteArray(reinterpret_cast<const char*>(s.utf16()), (s.size() + 1) * 2);
}

QByteArray Dword(DWORD v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); }

// A fresh hive file in a temporary folder, open for the test's duration.
class HiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    Reopen();
  }
  void TearDown() override { CHive::Close(); }

  QString HiveFile() const { return dir_.path() + "/registry.db"; }
  void Reopen() {
    CHive::Close();
    QString error;
    ASSERT_TRUE(CHive::Open(HiveFile(), &error)) << error.toStdString();
  }

  static HKEY Create(const QString& path, HKEY root = HKEY_LOCAL_MACHINE) {
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyEx(root, path, &key, nullptr), LONG(ERROR_SUCCESS)) << path.toStdString();
    return key;
  }
  static void Set(HKEY key, const QString& name, DWORD type, const QByteArray& data) {
    EXPECT_EQ(RegSetValueEx(key, name, type, reinterpret_cast<const BYTE*>(data.constData()),
                            DWORD(data.size())),
              LONG(ERROR_SUCCESS));
  }
  // The stored type and bytes of a value; type REG_NONE and no bytes when the query fails.
  static std::pair<DWORD, QByteArray> Get(HKEY key, const QString& name, LONG* result = nullptr) {
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueEx(key, name, &type, nullptr, &size);
    QByteArray data(qsizetype(size), '\0');
    if (rc == ERROR_SUCCESS)
      rc = RegQueryValueEx(key, name, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (result) *result = rc;
    if (rc != ERROR_SUCCESS) return {REG_NONE, {}};
    return {type, data.left(size)};
  }
  static QStringList SubKeys(HKEY key) {
    QStringList names;
    QString name;
    for (DWORD i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i) names << name;
    return names;
  }
  static QStringList ValueNames(HKEY key) {
    QStringList names;
    QString name;
    for (DWORD i = 0; RegEnumValue(key, i, &name, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i)
      names << name;
    return names;
  }

  QTemporaryDir dir_;
};

struct CTypedValue {
  const char* name;
  DWORD type;
  QByteArray data;
};

std::vector<CTypedValue> ValuesOfEveryType() {
  QByteArray binary;
  for (int i = 0; i < 256; ++i) binary.append(char(i));
  return {
      {"Sz", REG_SZ, Utf16z(QStringLiteral("Hello, \u00e4\u4e16 \U0001F600"))},
      {"Expand", REG_EXPAND_SZ, Utf16z(QStringLiteral("%TEMP%\\x"))},
      {"Binary", REG_BINARY, binary},
      {"EmptyBinary", REG_BINARY, QByteArray()},
      {"Dword", REG_DWORD, Dword(0xDEADBEEF)},
      {"BigEndian", REG_DWORD_BIG_ENDIAN, QByteArray("\x12\x34\x56\x78", 4)},
      {"Multi", REG_MULTI_SZ, Utf16z(QStringLiteral("a")) + Utf16z(QStringLiteral("bc")) +
                                  QByteArray(2, '\0')},
      {"Resources", REG_RESOURCE_LIST, QByteArray("\x01\x00\x00\x00\xff\x00", 6)},
      {"Raw42", 42, QByteArray("\x00\x01\x02\x00odd", 7)},
      {"Odd", REG_SZ, QByteArray("abc", 3)},  // an odd byte count stays as written
  };
}

TEST_F(HiveTest, ValuesOfEveryTypeRoundTripByteExactAcrossReopen) {
  HKEY key = Create("Software\\Types");
  for (const CTypedValue& v : ValuesOfEveryType()) Set(key, v.name, v.type, v.data);
  RegCloseKey(key);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "same session" : "after reopening");
    HKEY k = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Types", 0, KEY_READ, &k), 0);
    for (const CTypedValue& v : ValuesOfEveryType()) {
      const auto [type, data] = Get(k, v.name);
      EXPECT_EQ(type, v.type) << v.name;
      EXPECT_EQ(data, v.data) << v.name;
    }
    RegCloseKey(k);
    Reopen();
  }
}

TEST_F(HiveTest, KeyAndValueNamesIgnoreCaseAndKeepIt) {
  HKEY key = Create("Software\\MixedCase\\\u00c4rger");
  Set(key, "Value", REG_DWORD, Dword(1));
  Set(key, "VALUE", REG_DWORD, Dword(2));  // the same value: keeps its first spelling
  RegCloseKey(key);

  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\mixedcase\\\u00e4RGER", &key,
                           &disposition), 0);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(ValueNames(key), QStringList{"Value"});
  EXPECT_EQ(Get(key, "vAlUe").second, Dword(2));
  RegCloseKey(key);

  HKEY software = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "software", 0, KEY_READ, &software), 0);
  EXPECT_EQ(SubKeys(software), QStringList{"MixedCase"});
  RegCloseKey(software);
  EXPECT_EQ(SubKeys(HKEY_LOCAL_MACHINE), QStringList{"Software"});
}

TEST_F(HiveTest, DefaultValueHasTheEmptyName) {
  HKEY key = Create("Software\\Default");
  LONG rc = 0;
  Get(key, "", &rc);
  EXPECT_EQ(rc, LONG(ERROR_FILE_NOT_FOUND));
  Set(key, "", REG_SZ, Utf16z("standard"));
  Set(key, "Named", REG_SZ, Utf16z("other"));
  EXPECT_EQ(Get(key, "").second, Utf16z("standard"));
  EXPECT_EQ(ValueNames(key), (QStringList{"", "Named"}));
  EXPECT_EQ(RegDeleteValue(key, ""), 0);
  EXPECT_EQ(ValueNames(key), QStringList{"Named"});
  EXPECT_EQ(RegDeleteValue(key, ""), LONG(ERROR_FILE_NOT_FOUND));
  RegCloseKey(key);
}

TEST_F(HiveTest, DeleteKeyRemovesTheSubtreeAndItsHandlesAnswerDeleted) {
  HKEY deep = Create("Software\\Tree\\Branch\\Leaf");
  Set(deep, "LeafValue", REG_DWORD, Dword(3));
  HKEY tree = Create("Software\\Tree");
  Set(tree, "TreeValue", REG_DWORD, Dword(4));
  HKEY sibling = Create("Software\\Sibling");
  Set(sibling, "Kept", REG_DWORD, Dword(5));

  HKEY software = Create("Software");
  EXPECT_EQ(RegDeleteKey(software, "TREE"), 0);
  EXPECT_EQ(SubKeys(software), QStringList{"Sibling"});
  HKEY gone = 0;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Tree\\Branch", 0, 0, &gone),
            LONG(ERROR_FILE_NOT_FOUND));
  LONG rc = 0;
  Get(deep, "LeafValue", &rc);
  EXPECT_EQ(rc, LONG(ERROR_KEY_DELETED));
  EXPECT_EQ(RegSetValueEx(tree, "New", REG_DWORD, nullptr, 0), LONG(ERROR_KEY_DELETED));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_KEY_DELETED));
  HKEY child = 0;
  EXPECT_EQ(RegCreateKeyEx(tree, "Child", &child, nullptr), LONG(ERROR_KEY_DELETED));

  // A key made again under the same name is a new, empty key; the old handles stay dead.
  HKEY again = Create("Software\\Tree\\Branch\\Leaf");
  EXPECT_EQ(ValueNames(again), QStringList{});
  Get(deep, "LeafValue", &rc);
  EXPECT_EQ(rc, LONG(ERROR_KEY_DELETED));
  EXPECT_EQ(Get(sibling, "Kept").second, Dword(5));

  EXPECT_EQ(RegDeleteKey(software, "Missing"), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegDeleteKey(software, ""), LONG(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "\\"), LONG(ERROR_INVALID_PARAMETER));
  for (HKEY k : {deep, tree, sibling, software, again}) EXPECT_EQ(RegCloseKey(k), 0);

  DWORD subKeys = 99;
  EXPECT_EQ(RegQueryInfoKey(HKEY_LOCAL_MACHINE, &subKeys, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(subKeys, 1u);
}

TEST_F(HiveTest, EnumerationFollowsCreationOrderAndInfoGivesMaxima) {
  HKEY key = Create("Software\\Order");
  for (const char* name : {"zeta", "Alpha", "a_much_longer_name", "mid"}) RegCloseKey(Create(name, key));
  Set(key, "b", REG_BINARY, QByteArray(10, 'x'));
  Set(key, "longest value name", REG_DWORD, Dword(1));
  Set(key, "a", REG_BINARY, QByteArray(300, 'y'));
  Set(key, "b", REG_BINARY, QByteArray(2, 'z'));  // rewriting keeps the place

  EXPECT_EQ(SubKeys(key), (QStringList{"zeta", "Alpha", "a_much_longer_name", "mid"}));
  EXPECT_EQ(ValueNames(key), (QStringList{"b", "longest value name", "a"}));
  QString name;
  EXPECT_EQ(RegEnumKeyEx(key, 4, &name), LONG(ERROR_NO_MORE_ITEMS));
  EXPECT_EQ(RegEnumValue(key, 3, &name, nullptr, nullptr, nullptr), LONG(ERROR_NO_MORE_ITEMS));

  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKey(key, &subKeys, &maxSubKey, &values, &maxName, &maxData), 0);
  EXPECT_EQ(subKeys, 4u);
  EXPECT_EQ(maxSubKey, 18u);
  EXPECT_EQ(values, 3u);
  EXPECT_EQ(maxName, 18u);
  EXPECT_EQ(maxData, 300u);

  HKEY empty = Create("Empty", key);
  ASSERT_EQ(RegQueryInfoKey(empty, &subKeys, &maxSubKey, &values, &maxName, &maxData), 0);
  EXPECT_EQ(std::vector<DWORD>({subKeys, maxSubKey, values, maxName, maxData}),
            std::vector<DWORD>(5, 0));
  RegCloseKey(empty);
  RegCloseKey(key);
}

TEST_F(HiveTest, BulkEnumerationGivesWhatTheIndexCallsGive) {
  HKEY key = Create("Software\\Bulk");
  for (const char* name : {"k2", "k1"}) RegCloseKey(Create(name, key));
  Set(key, "z", REG_DWORD, Dword(1));
  Set(key, "", REG_SZ, Utf16z(QStringLiteral("d")));
  Set(key, "a", REG_BINARY, QByteArray());
  QStringList names;
  ASSERT_EQ(RegEnumKeyNames(key, &names), LONG(ERROR_SUCCESS));
  EXPECT_EQ(names, SubKeys(key));
  std::vector<CRegValueRecord> records;
  ASSERT_EQ(RegEnumValueRecords(key, &records), LONG(ERROR_SUCCESS));
  QStringList recordNames;
  for (const CRegValueRecord& r : records) {
    recordNames << r.name;
    EXPECT_EQ(std::make_pair(r.type, r.data), Get(key, r.name));
  }
  EXPECT_EQ(recordNames, ValueNames(key));
  // Stepping by index after a random access still gives every index right.
  QString name;
  ASSERT_EQ(RegEnumValue(key, 2, &name, nullptr, nullptr, nullptr), LONG(ERROR_SUCCESS));
  EXPECT_EQ(name, "a");
  ASSERT_EQ(RegEnumValue(key, 1, &name, nullptr, nullptr, nullptr), LONG(ERROR_SUCCESS));
  EXPECT_EQ(name, "");
  ASSERT_EQ(RegEnumValue(key, 2, &name, nullptr, nullptr, nullptr), LONG(ERROR_SUCCESS));
  EXPECT_EQ(name, "a");
  RegCloseKey(key);
}

TEST_F(HiveTest, ABatchCommitsAllOrNothing) {
  HKEY key = Create("Software\\Batch");
  Set(key, "kept", REG_DWORD, Dword(1));
  ASSERT_EQ(RegBeginBatch(), LONG(ERROR_SUCCESS));
  EXPECT_EQ(RegBeginBatch(), LONG(ERROR_BUSY));
  Set(key, "dropped", REG_DWORD, Dword(2));
  RegCloseKey(Create("DroppedKey", key));
  EXPECT_EQ(RegDeleteValue(key, "kept"), LONG(ERROR_SUCCESS));
  // A change that fails inside the batch undoes only itself.
  HKEY refused = 0;
  EXPECT_NE(RegCreateKeyEx(key, QString(300, 'k'), &refused, nullptr), LONG(ERROR_SUCCESS));
  ASSERT_EQ(RegEndBatch(false), LONG(ERROR_SUCCESS));
  EXPECT_EQ(ValueNames(key), QStringList({"kept"}));
  EXPECT_TRUE(SubKeys(key).isEmpty());

  ASSERT_EQ(RegBeginBatch(), LONG(ERROR_SUCCESS));
  Set(key, "new", REG_DWORD, Dword(3));
  ASSERT_EQ(RegEndBatch(true), LONG(ERROR_SUCCESS));
  RegCloseKey(key);
  Reopen();
  key = Create("Software\\Batch");
  EXPECT_EQ(ValueNames(key), QStringList({"kept", "new"}));
  RegCloseKey(key);
}

TEST_F(HiveTest, QueryAndEnumFollowTheBufferRules) {
  HKEY key = Create("Software\\Buffers");
  const QByteArray data = Utf16z("twelve chars");  // 26 bytes
  Set(key, "V", REG_SZ, data);

  struct {
    const char* what;
    bool withData;
    DWORD bufferSize;
    LONG result;
    DWORD sizeAfter;
  } cases[] = {
      {"size only", false, 0, ERROR_SUCCESS, 26},
      {"too small", true, 25, ERROR_MORE_DATA, 26},
      {"empty buffer", true, 0, ERROR_MORE_DATA, 26},
      {"exact", true, 26, ERROR_SUCCESS, 26},
      {"larger", true, 100, ERROR_SUCCESS, 26},
  };
  for (const auto& c : cases) {
    for (bool viaEnum : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (viaEnum ? " (enum)" : " (query)"));
      QByteArray buffer(100, '\x55');
      BYTE* out = c.withData ? reinterpret_cast<BYTE*>(buffer.data()) : nullptr;
      DWORD type = 0, size = c.bufferSize;
      QString name;
      const LONG rc = viaEnum ? RegEnumValue(key, 0, &name, &type, out, &size)
                              : RegQueryValueEx(key, "v", &type, out, &size);
      EXPECT_EQ(rc, c.result);
      EXPECT_EQ(size, c.sizeAfter);
      EXPECT_EQ(type, REG_SZ);
      if (c.withData && rc == ERROR_SUCCESS) {
        EXPECT_EQ(buffer.left(26), data);
      }
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(buffer, QByteArray(100, '\x55'));  // untouched
      }
      if (viaEnum) {
        EXPECT_EQ(name, "V");
      }
    }
  }
  BYTE byte = 0;
  EXPECT_EQ(RegQueryValueEx(key, "V", nullptr, &byte, nullptr), LONG(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegQueryValueEx(key, "V", nullptr, nullptr, nullptr), 0);  // it exists
  EXPECT_EQ(RegQueryValueEx(key, "W", nullptr, nullptr, nullptr), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  RegCloseKey(key);
}

TEST_F(HiveTest, PathsNamesAndHandlesAreChecked) {
  struct {
    QString path;
    LONG result;
  } cases[] = {
      {"\\Software\\Paths\\", ERROR_SUCCESS},
      {"Software\\Paths", ERROR_SUCCESS},
      {"Software\\\\Paths", ERROR_INVALID_PARAMETER},
      {"Software\\" + QString(255, 'n'), ERROR_SUCCESS},
      {"Software\\" + QString(256, 'n'), ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, c.path, &key, nullptr), c.result)
        << c.path.left(40).toStdString();
    if (key) {
      EXPECT_LT(key, HKEY_CLASSES_ROOT);  // never one of the roots
      RegCloseKey(key);
    }
  }
  HKEY software = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &software), 0);
  EXPECT_EQ(SubKeys(software), (QStringList{"Paths", QString(255, 'n')}));
  EXPECT_EQ(RegSetValueEx(software, QString(256, 'v'), REG_BINARY, nullptr, 0),
            LONG(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueEx(software, QString(255, 'v'), REG_BINARY, nullptr, 0), 0);
  EXPECT_EQ(RegSetValueEx(software, "x", REG_BINARY, nullptr, 4), LONG(ERROR_INVALID_PARAMETER));

  HKEY again = 0;  // the same key opened twice: two handles, each closed on its own
  ASSERT_EQ(RegOpenKeyEx(software, "", 0, 0, &again), 0);
  EXPECT_NE(again, software);
  EXPECT_EQ(RegCloseKey(software), 0);
  EXPECT_EQ(SubKeys(again).size(), 2);
  EXPECT_EQ(RegCloseKey(software), LONG(ERROR_INVALID_HANDLE));
  QString name;
  EXPECT_EQ(RegEnumKeyEx(software, 0, &name), LONG(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(again), 0);
  EXPECT_EQ(RegOpenKeyEx(0x1235, "", 0, 0, &again), LONG(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), 0);  // closing a root is harmless
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_USERS})
    EXPECT_EQ(SubKeys(root), QStringList{});
}

TEST_F(HiveTest, ThreadsShareTheHiveSafely) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 50; ++i) {
        HKEY key = 0;
        if (RegCreateKeyEx(HKEY_CURRENT_USER, QString("Threads\\T%1").arg(t), &key, nullptr) != 0)
          return;
        const DWORD v = DWORD(t * 1000 + i);
        RegSetValueEx(key, QString("V%1").arg(i), REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
        RegCloseKey(key);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < 4; ++t) {
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QString("Threads\\T%1").arg(t), 0, 0, &key), 0);
    DWORD values = 0;
    RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr);
    EXPECT_EQ(values, 50u);
    EXPECT_EQ(Get(key, "V49").second, Dword(DWORD(t * 1000 + 49)));
    RegCloseKey(key);
  }
}

// --- Two processes -------------------------------------------------------------------------

// The child half of the two-process test, disabled in normal runs: the parent starts this
// program again with the hive in the environment and this test enabled. It checks the parent's flushed value, then writes its own
// values while the parent writes too, and exits non-zero on any failure.
TEST(HiveChildProcess, DISABLED_WritesBesideTheParent) {
  const QString file = qEnvironmentVariable(kChildEnv);
  ASSERT_FALSE(file.isEmpty()) << "runs only as the child of SecondProcessSharesTheHive";
  QString error;
  ASSERT_TRUE(CHive::Open(file, &error)) << error.toStdString();
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, KEY_READ, &key), 0);
  DWORD value = 0, size = 4, type = 0;
  ASSERT_EQ(RegQueryValueEx(key, "FromParent", &type, reinterpret_cast<BYTE*>(&value), &size), 0);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(value, 1234u);
  for (DWORD i = 0; i < 100; ++i)
    ASSERT_EQ(RegSetValueEx(key, QString("Child%1").arg(i), REG_DWORD,
                            reinterpret_cast<const BYTE*>(&i), 4), 0);
  EXPECT_EQ(RegFlushKey(key), 0);
  RegCloseKey(key);
  CHive::Close();
}

TEST_F(HiveTest, SecondProcessSharesTheHive) {
  HKEY key = Create("Software\\Shared");
  const DWORD parentValue = 1234;
  ASSERT_EQ(RegSetValueEx(key, "FromParent", REG_DWORD,
                          reinterpret_cast<const BYTE*>(&parentValue), 4), 0);
  ASSERT_EQ(RegFlushKey(key), 0);

  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kChildEnv, HiveFile());
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=HiveChildProcess.DISABLED_WritesBesideTheParent",
               "--gtest_also_run_disabled_tests"});
  ASSERT_TRUE(child.waitForStarted());
  // Both processes write at the same time; each waits for the other instead of failing.
  for (DWORD i = 0; i < 100; ++i)
    ASSERT_EQ(RegSetValueEx(key, QString("Parent%1").arg(i), REG_DWORD,
                            reinterpret_cast<const BYTE*>(&i), 4), 0);
  ASSERT_TRUE(child.waitForFinished(60000));
  const QByteArray output = child.readAll();
  ASSERT_EQ(child.exitCode(), 0) << output.toStdString();
  ASSERT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();

  // The child's values are visible to this still-open connection.
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr), 0);
  EXPECT_EQ(values, 201u);
  EXPECT_EQ(Get(key, "Child99").second, Dword(99));
  RegCloseKey(key);
}

// The child of ACommittedChangeSurvivesAProgramThatDies: writes one value without a flush and
// ends the process at once, without closing the hive or running any destructor.
TEST(HiveChildProcess, DISABLED_WritesAndDiesWithoutClosing) {
  const QString file = qEnvironmentVariable(kChildEnv);
  ASSERT_FALSE(file.isEmpty()) << "runs only as the child of ACommittedChangeSurvives...";
  QString error;
  ASSERT_TRUE(CHive::Open(file, &error)) << error.toStdString();
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Crash", &key, nullptr), 0);
  const DWORD value = 77;
  ASSERT_EQ(RegSetValueEx(key, "Written", REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), 0);
  std::_Exit(42);
}

TEST_F(HiveTest, ACommittedChangeSurvivesAProgramThatDies) {
  CHive::Close();
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kChildEnv, HiveFile());
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=HiveChildProcess.DISABLED_WritesAndDiesWithoutClosing",
               "--gtest_also_run_disabled_tests"});
  ASSERT_TRUE(child.waitForFinished(60000));
  ASSERT_EQ(child.exitCode(), 42) << child.readAll().toStdString();

  Reopen();
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Crash", 0, KEY_READ, &key), 0);
  EXPECT_EQ(Get(key, "Written").second, Dword(77));
  RegCloseKey(key);
}

// --- Files that are not hives --------------------------------------------------------------

QByteArray ReadAll(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// A SQLite database made by SQL statements, as another program might.
void MakeDatabase(const QString& file, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// A real hive with some content, closed, as it lies on disk.
QByteArray MakeHive(const QString& file) {
  QString error;
  EXPECT_TRUE(CHive::Open(file, &error)) << error.toStdString();
  HKEY key = 0;
  RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Content", &key, nullptr);
  RegSetValueEx(key, "Blob", REG_BINARY, reinterpret_cast<const BYTE*>(QByteArray(20000, 'b').constData()), 20000);
  RegCloseKey(key);
  CHive::Close();
  return ReadAll(file);
}

TEST(HiveFileTest, FilesThatAreNotHivesAreRefusedAndLeftAsTheyWere) {
  QTemporaryDir dir;
  const QString hive = dir.path() + "/model.db";
  const QByteArray real = MakeHive(hive);
  ASSERT_GT(real.size(), 4 * 4096);
  QByteArray garbage;
  for (int i = 0; i < 8192; ++i) garbage.append(char((i * 7919) >> 3));
  QByteArray corruptPage = real;
  corruptPage.replace(3 * 4096, 4096, QByteArray(4096, '\xa5'));

  struct {
    const char* what;
    std::function<void(const QString&)> make;
    const char* reason;
  } cases[] = {
      {"empty", [](const QString& f) { WriteAll(f, {}); }, "it is empty"},
      {"cut in the header", [&](const QString& f) { WriteAll(f, real.left(50)); }, "truncated"},
      {"cut after some pages", [&](const QString& f) { WriteAll(f, real.left(2 * 4096)); },
       "truncated"},
      {"garbage", [&](const QString& f) { WriteAll(f, garbage); }, "not a database file"},
      {"a damaged page", [&](const QString& f) { WriteAll(f, corruptPage); }, "integrity"},
      {"another program's database",
       [](const QString& f) { MakeDatabase(f, "CREATE TABLE keys(x); INSERT INTO keys VALUES(1)"); },
       "another program's database"},
      {"an unknown schema version",
       [](const QString& f) {
         MakeDatabase(f, "PRAGMA application_id = 1346523719; PRAGMA user_version = 7;"
                         " CREATE TABLE t(x)");
       },
       "schema version is 7"},
      {"the right marks on foreign tables",
       [](const QString& f) {
         MakeDatabase(f, "PRAGMA application_id = 1346523719; PRAGMA user_version = 1;"
                         " CREATE TABLE keys(x)");
       },
       "tables are not those of a hive"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QString file = dir.path() + "/" + QString(c.what).replace(' ', '_') + ".db";
    c.make(file);
    const QByteArray before = ReadAll(file);
    QString error;
    EXPECT_FALSE(CHive::Open(file, &error));
    EXPECT_FALSE(CHive::IsOpen());
    EXPECT_TRUE(error.startsWith("The registry file " + file +
                                 " is damaged or is not a registry hive: "))
        << error.toStdString();
    EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
    EXPECT_EQ(ReadAll(file), before);
    for (const char* side : {"-journal", "-wal", "-shm"})
      EXPECT_FALSE(QFile::exists(file + side)) << side;
  }
}

TEST(HiveFileTest, AMissingHiveIsCreatedWithTheRootsOnlyWhereItsFolderExists) {
  QTemporaryDir dir;
  QString error;
  const QString nowhere = dir.path() + "/missing/registry.db";
  EXPECT_FALSE(CHive::Open(nowhere, &error));
  EXPECT_TRUE(error.contains(nowhere) && error.contains("folder does not exist"))
      << error.toStdString();
  EXPECT_FALSE(QFile::exists(nowhere));

  const QString file = dir.path() + "/registry.db";
  ASSERT_TRUE(CHive::Open(file, &error)) << error.toStdString();
  EXPECT_EQ(CHive::HostFile(), file);
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
    DWORD subKeys = 99;
    EXPECT_EQ(RegQueryInfoKey(root, &subKeys, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(subKeys, 0u);
  }
  CHive::Close();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"registry.db"});
  EXPECT_EQ(RegQueryInfoKey(HKEY_LOCAL_MACHINE, nullptr, nullptr, nullptr, nullptr, nullptr),
            LONG(ERROR_INVALID_HANDLE));
}

}  // namespace
