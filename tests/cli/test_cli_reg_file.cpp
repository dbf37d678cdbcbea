// pinbro-cli reg export and reg import on a temporary root and hive: files written by hand in
// both formats with every escape, type, deletion and continued line; a syntax error that
// changes nothing and names its line; export then import giving back every value byte for
// byte; and an exported file read by an independent reader (a short Python script).
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include "platform/registry_hive.h"
#include "registry/registry_access.h"
#include "support/cli_runner.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using test::CRun;

// Every key and value below a key, one line each: "path" and "path|name|type|hex".
class CDump : public CRegEnumSink {
 public:
  static QStringList Of(HKEY root, const QString& path) {
    CDump dump;
    EnumValues(root, path, &dump);
    EnumSubKeys(root, path, &dump);
    QStringList lines{path};
    dump.values_.sort();
    for (const QString& v : dump.values_) lines << path + "|" + v;
    dump.keys_.sort(Qt::CaseInsensitive);
    for (const QString& k : dump.keys_) lines << Of(root, path + "\\" + k);
    return lines;
  }
  bool OnKey(const CRegEnumItem& item) override {
    keys_ << item.name;
    return true;
  }
  bool OnValue(const CRegEnumItem& item) override {
    values_ << (item.name == kRegNoName ? QString() : item.name) + "|" +
                   QString::number(item.platformType, 16) + "|" +
                   QByteArray(reinterpret_cast<const char*>(item.data), item.dataSize).toHex();
    return true;
  }

 private:
  QStringList keys_, values_;
};

QByteArray Utf16(const QString& text, bool bTerminator = true) {
  QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  if (bTerminator) bytes.append(2, '\0');
  return bytes;
}

QByteArray Version5File(const QString& text) {
  return QByteArray("\xFF\xFE", 2) + Utf16(text, false);
}

class CliRegFileTest : public test::TempRootAndHive {
 protected:
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args, 60000); }
  static void Put(const QString& key, const QString& name, DWORD type, const QByteArray& data) {
    HKEY h = 0;
    ASSERT_EQ(plat::RegCreateKeyEx(HKEY_CURRENT_USER, key, &h, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(plat::RegSetValueEx(h, name, type, reinterpret_cast<const BYTE*>(data.constData()),
                                  DWORD(data.size())),
              ERROR_SUCCESS);
    plat::RegCloseKey(h);
  }
  // A tree with every kind of value, and names and texts that need escapes.
  void MakeTree() {
    Put("T", "", REG_SZ, Utf16("default \"quoted\" C:\\path\\"));
    Put("T", "say \"hi\"\\now", REG_SZ, Utf16("x"));
    Put("T", "empty", REG_SZ, Utf16(""));
    Put("T", "unterminated", REG_SZ, Utf16("abc", false));
    Put("T", "two lines", REG_SZ, Utf16("a\r\nb"));
    Put("T", "dword", REG_DWORD, QByteArray("\x78\x56\x34\x12", 4));
    Put("T", "short dword", REG_DWORD, QByteArray("\x01", 1));
    Put("T", "bin", REG_BINARY, QByteArray(200, '\xAB'));
    Put("T", "nobytes", REG_BINARY, QByteArray());
    Put("T\\Sub", "expand", REG_EXPAND_SZ, Utf16("%TEMP%\\ü"));
    Put("T\\Sub", "multi", REG_MULTI_SZ, Utf16("one") + Utf16("two €") + QByteArray(2, '\0'));
    Put("T\\Sub", "qword", 11, QByteArray("\1\2\3\4\5\6\7\x08", 8));
    Put("T\\Sub", "none", REG_NONE, QByteArray("\0", 1));
    Put("T\\Sub", "big", REG_DWORD_BIG_ENDIAN, QByteArray("\0\0\1\0", 4));
    Put("T\\Sub", "odd type", 0x1234, QByteArray("zz", 2));
    Put("T\\Sub\\Deep\\Deeper", "ünï", REG_SZ, Utf16("text ünïcode"));
  }
};

TEST_F(CliRegFileTest, ExportThenImportGivesBackEveryValueByteForByte) {
  MakeTree();
  const QStringList before = CDump::Of(HKEY_CURRENT_USER, "T");
  for (const QString& format : {QString(), QStringLiteral("--regedit4")}) {
    SCOPED_TRACE(format.toStdString());
    QStringList args{"reg", "export", "HKCU\\T", "\\out.reg"};
    if (!format.isEmpty()) args << format;
    const CRun exported = Cli(args);
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QByteArray file = ReadHost("\\out.reg");
    if (format.isEmpty()) {
      EXPECT_TRUE(file.startsWith(Version5File("Windows Registry Editor Version 5.00\r\n\r\n")));
    } else {
      EXPECT_TRUE(file.startsWith("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\T]\r\n"));
      EXPECT_TRUE(file.contains("\"say \\\"hi\\\"\\\\now\"=\"x\"\r\n"));
      EXPECT_TRUE(file.contains("\"dword\"=dword:12345678\r\n"));
      EXPECT_TRUE(file.contains("\"unterminated\"=hex(1):61,00,62,00,63,00\r\n"));
      EXPECT_TRUE(file.contains("\"bin\"=hex:ab,ab,")) ;
      EXPECT_TRUE(file.contains(",\\\r\n  ab,"));  // long data continued on the next line
    }
    ASSERT_TRUE(DeleteKey(HKEY_CURRENT_USER, "", "T"));
    const CRun imported = Cli({"reg", "import", "\\out.reg"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(CDump::Of(HKEY_CURRENT_USER, "T"), before);
  }
}

TEST_F(CliRegFileTest, HandWrittenFilesOfBothFormatsWithEveryFeature) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Old\\Sub", "x", 1));
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Keep", "gone", 1));
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Keep", "stays", 2));
  const QString body =
      "\r\n"
      "; a comment\r\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Old]\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Keep]\r\n"
      "\"gone\"=-\r\n"
      "@=\"the \\\"default\\\" \\\\ value\"\r\n"
      "\"n\"=dword:0000002a\r\n"
      "\"b\"=hex:00,01,\\\r\n"
      "  fe,ff\r\n"
      "\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\r\n"
      "[HKLM\\Software\\Keep\\New]\r\n";
  const QString expand5 = "\"e\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                          "\"m\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n";
  const QString expand4 = "\"e\"=hex(2):25,41,25,00\r\n"
                          "\"m\"=hex(7):61,00,62,00,00\r\n";
  for (bool bVersion5 : {true, false}) {
    SCOPED_TRACE(bVersion5 ? "version 5" : "REGEDIT4");
    const QString text = (bVersion5 ? "Windows Registry Editor Version 5.00\r\n" : "REGEDIT4\r\n") +
                         body + (bVersion5 ? expand5 : expand4);
    MakeFile("\\in.reg", bVersion5 ? Version5File(text) : text.toUtf8());
    const CRun run = Cli({"reg", "import", "\\in.reg"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Old"));
    EXPECT_EQ(CDump::Of(HKEY_LOCAL_MACHINE, "Software\\Keep"),
              QStringList({"Software\\Keep",
                           "Software\\Keep|b|3|0001feff",
                           "Software\\Keep|n|4|2a000000",
                           "Software\\Keep|q|b|0100000000000000",
                           "Software\\Keep|stays|4|02000000",
                           "Software\\Keep||1|" + Utf16("the \"default\" \\ value").toHex(),
                           "Software\\Keep\\New",
                           "Software\\Keep\\New|e|2|" + Utf16("%A%").toHex(),
                           "Software\\Keep\\New|m|7|" +
                               (Utf16("a") + Utf16("b") + QByteArray(2, '\0')).toHex()}));
    ASSERT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Keep", "New"));
  }
}

TEST_F(CliRegFileTest, AnErrorAtALineChangesNothingAndNamesTheLine) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Keep", "v", 1));
  const QStringList before = CDump::Of(HKEY_LOCAL_MACHINE, "Software");
  const struct {
    QString text;
    int line;
    const char* why;
  } cases[] = {
      {"REGEDIT4\r\n[HKLM\\Software\\New]\r\n\"a\"=dword:1\r\n\"b\"=\"open\r\n", 4,
       "the text is not closed by a quote"},
      {"REGEDIT4\r\n[-HKLM\\Software\\Keep]\r\n[HKLM\\Software\\New]\r\n\"x\"=hex:0g\r\n", 4,
       "the hexadecimal data is not valid"},
      {"REGEDIT4\r\n\"a\"=dword:00000001\r\n", 2, "a value comes before the first key"},
      {"REGEDIT4\r\n[NOWHERE\\x]\r\n", 2, "the key does not begin with a registry root"},
      {"REGEDIT4\r\n[HKLM\\x\r\n", 2, "is not closed by \"]\""},
      {"REGEDIT4\r\n[HKLM\\x]\r\n\"a\"=dword:123456789\r\n", 3, "eight hexadecimal digits"},
      {"REGEDIT4\r\n[HKLM\\x]\r\n\"a\"=hex:01,\\\r\n", 3, "ends inside a continued line"},
      {"REGEDIT4\r\n[HKLM\\x]\r\n\"a\\n\"=\"\"\r\n", 3, "an escape other than"},
      {"REGEDIT4\r\n[HKLM\\x]\r\n\"a\" \"b\"\r\n", 3, "is missing after the value name"},
      {"Windows Registry Editor Version 4\r\n", 1, "does not begin with"},
      // The registry refuses a key name longer than 255 characters: the changes before it are
      // dropped too.
      {"REGEDIT4\r\n[-HKLM\\Software\\Keep]\r\n[HKLM\\Software\\" + QString(300, 'k') + "]\r\n",
       3, "the registry could not be written there"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.left(60).toStdString());
    MakeFile("\\bad.reg", c.text.toUtf8());
    const CRun run = Cli({"reg", "import", "\\bad.reg"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("line %1: ").arg(c.line))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(c.why)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Nothing was changed.")) << run.err.toStdString();
    EXPECT_EQ(CDump::Of(HKEY_LOCAL_MACHINE, "Software"), before);
  }
  const CRun missing = Cli({"reg", "import", "\\none.reg"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.err.contains("could not be read")) << missing.err.toStdString();
  const CRun noKey = Cli({"reg", "export", "HKLM\\Nowhere", "\\x.reg"});
  EXPECT_EQ(noKey.exitCode, 1);
  EXPECT_FALSE(ExistsHost("\\x.reg"));
}

// An independent reader of the version 5 format: decodes the file, joins continued lines and
// prints each value as "key|name|type|hex" (type in hexadecimal, as the dump does).
constexpr char kPythonReader[] = R"PY(
import sys, re
text = open(sys.argv[1], 'rb').read().decode('utf-16')
assert text.startswith('Windows Registry Editor Version 5.00')
lines = text.split('\r\n')[1:]
joined, cur = [], ''
for line in lines:
    if cur: line = line.lstrip()
    if line.endswith('\\') and not line.startswith('['):
        cur += line[:-1]; continue
    joined.append(cur + line); cur = ''
key = None
def unq(s):
    assert s[0] == '"'
    out, i = '', 1
    while s[i] != '"':
        if s[i] == '\\': i += 1
        out += s[i]; i += 1
    return out, s[i + 1:]
for line in joined:
    if not line: continue
    if line.startswith('['):
        key = line[1:-1].split('\\', 1)[1] if '\\' in line else ''
        print(key); continue
    if line.startswith('@='): name, rest = '', line[2:]
    else:
        name, rest = unq(line); rest = rest[1:]
    if rest.startswith('"'):
        s, _ = unq(rest); t, data = 1, (s + '\0').encode('utf-16-le')
    elif rest.startswith('dword:'):
        t, data = 4, int(rest[6:], 16).to_bytes(4, 'little')
    else:
        m = re.match(r'hex(?:\(([0-9a-f]+)\))?:(.*)', rest)
        t = int(m.group(1), 16) if m.group(1) else 3
        data = bytes(int(b, 16) for b in m.group(2).split(',') if b)
    print('%s|%s|%x|%s' % (key, name, t, data.hex()))
)PY";

TEST_F(CliRegFileTest, AnExportedFileReadsTheSameInAnIndependentReader) {
  MakeTree();
  ASSERT_EQ(Cli({"reg", "export", "HKCU\\T", "\\out.reg"}).exitCode, 0);
  QProcess python;
  python.start("python3", {"-c", kPythonReader, Host("\\out.reg")});
  ASSERT_TRUE(python.waitForFinished(30000));
  ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  QStringList read = QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  // The reader prints in file order; the dump sorts values by name within each key.
  QStringList keysAndValues;
  QStringList values;
  for (const QString& line : read) {
    if (!line.contains('|')) {
      values.sort();
      keysAndValues << values;
      values.clear();
      keysAndValues << line;
    } else {
      values << line;
    }
  }
  values.sort();
  keysAndValues << values;
  QStringList dumped = CDump::Of(HKEY_CURRENT_USER, "T");
  EXPECT_EQ(keysAndValues, dumped);
}

}  // namespace
