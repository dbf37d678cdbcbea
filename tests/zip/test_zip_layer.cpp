// The zip layer on archives made by other tools, and archives it makes checked by them: names
// and their encodings, refused names, times, damaged and encrypted entries, zip64, and
// archives that fail or stop while being written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>
#include <zlib.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimeZone>

#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/filetime.h"
#include "tests/zip/zip_fixture.h"
#include "zip/zip_layer.h"
#include "zip/zip_names.h"

namespace {

using namespace zip;

QByteArray Random(int size, quint32 seed) {
  QByteArray data(size, Qt::Uninitialized);
  QRandomGenerator random(seed);
  for (char& c : data) c = char(random.bounded(256));
  return data;
}

class ZipLayerTest : public test::ZipFixture {
 protected:
  // Every entry of an archive by its name.
  std::map<QString, ZIPENTRY> Entries(HZIP hz) {
    std::map<QString, ZIPENTRY> out;
    ZIPENTRY all;
    EXPECT_EQ(GetZipItem(hz, -1, &all), eZipOK);
    for (int i = 0; i < all.index; ++i) {
      ZIPENTRY e;
      EXPECT_EQ(GetZipItem(hz, i, &e), eZipOK);
      out[e.name] = e;
    }
    return out;
  }
  // The data of an entry read in parts of nPart bytes; *pResult is the last result.
  static QByteArray Data(HZIP hz, int index, DWORD* pResult, DWORD nPart = 16384,
                         std::vector<DWORD>* pParts = nullptr) {
    QByteArray data;
    std::vector<char> buffer(nPart);
    DWORD result = eZipMore;
    while (result == eZipMore) {
      DWORD got = 0;
      result = UnzipItemToBuffer(hz, index, buffer.data(), nPart, &got);
      data.append(buffer.data(), got);
      if (pParts) pParts->push_back(got);
    }
    *pResult = result;
    return data;
  }
};

TEST(ZipNames, CleaningNormalisingAndRefusals) {
  struct Case {
    const char* raw;
    const char* cleaned;
    EZipRefusal refusal;
  } const cases[] = {
      {"docs/readme.txt", "docs/readme.txt", EZipRefusal::eNone},
      {"/etc/passwd", "etc/passwd", EZipRefusal::eNone},
      {"C:/Windows/x.dll", "Windows/x.dll", EZipRefusal::eNone},
      {"C:\\\\a.txt", "a.txt", EZipRefusal::eNone},
      {"a/b/../../../etc/x", "etc/x", EZipRefusal::eNone},
      {"a/../../x", "../x", EZipRefusal::eClimbs},
      {"../evil.txt", "../evil.txt", EZipRefusal::eClimbs},
      {"..\\evil.txt", "..\\evil.txt", EZipRefusal::eClimbs},
      {"a/..", "a/..", EZipRefusal::eClimbs},
      {"x/./y/", "x/./y/", EZipRefusal::eNone},
      {"/", "", EZipRefusal::eBadName},
  };
  for (const Case& c : cases) {
    const QString cleaned = CleanZipName(QString::fromUtf8(c.raw));
    EXPECT_EQ(cleaned, QString::fromUtf8(c.cleaned)) << c.raw;
    EXPECT_EQ(CheckZipName(cleaned), c.refusal) << c.raw;
  }
  EXPECT_EQ(CheckZipName(QString::fromUtf16(u"a\0b", 3)), EZipRefusal::eBadName);
  EXPECT_EQ(TidyZipName("x//./y/"), "x/y/");
  EXPECT_EQ(NormaliseZipName("docs/sub/"), "docs\\sub");
  EXPECT_EQ(NormaliseZipName("/"), "\\");
}

TEST_F(ZipLayerTest, ReadsStoredDeflatedFoldersAndEmptyFiles) {
  const QString zipPath = Host("\\a.zip");
  const QByteArray big = Random(40000, 1);
  const CRun made = Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr(zipfile.ZipInfo("docs/"), b"")
    z.writestr("docs/readme.txt", b"hello " * 1000, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("implied/inner/x.bin", open(sys.argv[2], "rb").read())
    z.writestr("empty.txt", b"")
)PY",
                           {zipPath, Host(MakeFile("\\big.bin", big))});
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();

  CZipPtr hz(OpenZip("\\a.zip"));
  ASSERT_TRUE(hz);
  auto entries = Entries(hz.get());
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_TRUE(entries["docs/"].IsFolder());
  EXPECT_FALSE(entries["docs/readme.txt"].IsFolder());
  EXPECT_EQ(entries["docs/readme.txt"].unc_size, 6000u);
  EXPECT_LT(entries["docs/readme.txt"].comp_size, 6000u);
  DWORD result = 0;
  EXPECT_EQ(Data(hz.get(), entries["docs/readme.txt"].index, &result),
            QByteArray("hello ").repeated(1000));
  EXPECT_EQ(result, eZipOK);
  std::vector<DWORD> parts;
  EXPECT_EQ(Data(hz.get(), entries["implied/inner/x.bin"].index, &result, 16384, &parts), big);
  EXPECT_EQ(result, eZipOK);
  EXPECT_EQ(parts, (std::vector<DWORD>{16384, 16384, 7232}));
  EXPECT_EQ(Data(hz.get(), entries["empty.txt"].index, &result), QByteArray());
  EXPECT_EQ(result, eZipOK);
  ZIPENTRY count;
  ASSERT_EQ(GetZipItem(hz.get(), -1, &count), eZipOK);
  EXPECT_EQ(count.index, 4);
  ZIPENTRY e;
  EXPECT_EQ(GetZipItem(hz.get(), 4, &e), eZipArgs);
  DWORD got = 0;
  char buffer[16];
  EXPECT_EQ(UnzipItemToBuffer(hz.get(), 9, buffer, sizeof buffer, &got), eZipNotFound);
  EXPECT_EQ(SetZipLevel(hz.get(), 3), eZipHandleKind);

  // With a program before it (a self-extracting archive), read through minizip's own walk.
  MakeFile("\\sfx.zip", QByteArray(700, 'S') + ReadHost("\\a.zip"));
  CZipPtr sfx(OpenZip("\\sfx.zip"));
  ASSERT_TRUE(sfx);
  entries = Entries(sfx.get());
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(Data(sfx.get(), entries["implied/inner/x.bin"].index, &result), big);
  EXPECT_EQ(result, eZipOK);
}

TEST_F(ZipLayerTest, NamesInUtf8WithAndWithoutTheFlagAndInCodePage437) {
  // Names: UTF-8 with bit 11; CP437 bytes with a Unicode path field; bare CP437 bytes (all
  // 128 high bytes, compared with Python's own code page table).
  const CRun made = Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("grüße/straße.txt", b"1")
    cp = "na\u00efve.txt".encode("cp437")
    utf = "\u65e5\u672c.txt".encode("utf-8")
    field = struct.pack("<BI", 1, zlib.crc32(cp)) + utf
    raw_entry(z, cp, b"2", extra=struct.pack("<HH", 0x7075, len(field)) + field)
    high = bytes(range(0x80, 0x100)).replace(b"/", b"")
    raw_entry(z, b"cp437_" + high, b"3")
    wrong = struct.pack("<BI", 1, 12345) + "other".encode()
    raw_entry(z, b"plain\x81.txt", b"4", extra=struct.pack("<HH", 0x7075, len(wrong)) + wrong)
print((b"cp437_" + bytes(range(0x80, 0x100))).decode("cp437"))
)PY",
                           {Host("\\n.zip")});
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  CZipPtr hz(OpenZip("\\n.zip"));
  ASSERT_TRUE(hz);
  auto entries = Entries(hz.get());
  EXPECT_TRUE(entries.count(QString::fromUtf8("grüße/straße.txt")));
  EXPECT_TRUE(entries.count(QString::fromUtf8("日本.txt")));
  EXPECT_TRUE(entries.count(QString::fromUtf8(made.out).chopped(1)));
  EXPECT_TRUE(entries.count(QString::fromUtf8("plainü.txt")));  // the field is not this name's
  EXPECT_EQ(entries.size(), 4u);
}

TEST_F(ZipLayerTest, UnsafeNamesAndLinksAreRefusedEntryByEntry) {
  const CRun made = Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for n in [b"../evil.txt", b"/abs.txt", b"C:/drive.txt", b"a/../../up.txt", b"..\\back.txt",
              b"ok/fine.txt", b"nul\x00.txt"]:
        raw_entry(z, n, b"x")
    raw_entry(z, b"link", b"/etc/passwd", external=(0o120777 << 16), system=3)
)PY",
                           {Host("\\slip.zip")});
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  CZipPtr hz(OpenZip("\\slip.zip"));
  ASSERT_TRUE(hz);
  struct Want {
    int index;
    const char* name;
    EZipRefusal refusal;
  } const wants[] = {
      {0, "../evil.txt", EZipRefusal::eClimbs},  {1, "abs.txt", EZipRefusal::eNone},
      {2, "drive.txt", EZipRefusal::eNone},      {3, "../up.txt", EZipRefusal::eClimbs},
      {4, "..\\back.txt", EZipRefusal::eClimbs}, {5, "ok/fine.txt", EZipRefusal::eNone},
      {6, nullptr, EZipRefusal::eBadName},       {7, "link", EZipRefusal::eLink},
  };
  for (const Want& w : wants) {
    ZIPENTRY e;
    ASSERT_EQ(GetZipItem(hz.get(), w.index, &e), eZipOK);
    if (w.name) {
      EXPECT_EQ(e.name, QString::fromUtf8(w.name)) << w.index;
    }
    EXPECT_EQ(e.refusal, w.refusal) << w.index;
    DWORD result = 0;
    const QByteArray data = Data(hz.get(), w.index, &result);
    EXPECT_EQ(result, w.refusal == EZipRefusal::eNone ? eZipOK : eZipRefused) << w.index;
  }
}

TEST_F(ZipLayerTest, EncryptedDamagedAndForeignFiles) {
  ASSERT_TRUE(HaveTool("zip"));
  MakeFile("\\src\\secret.txt", "top secret data");
  MakeFile("\\src\\plain.txt", QByteArray("plain text ").repeated(500));
  ASSERT_EQ(
      RunTool("zip", {"-q", "-P", "pw", Host("\\enc.zip"), "secret.txt"}, Host("\\src")).exitCode,
      0);
  CZipPtr enc(OpenZip("\\enc.zip"));
  ASSERT_TRUE(enc);
  DWORD result = 0;
  Data(enc.get(), 0, &result);
  EXPECT_EQ(result, eZipPassword);

  // A flipped byte in the data of a stored and of a deflated entry.
  for (const char* method : {"-0", "-6"}) {
    QFile::remove(Host("\\crc.zip"));
    ASSERT_EQ(
        RunTool("zip", {"-q", method, Host("\\crc.zip"), "plain.txt"}, Host("\\src")).exitCode, 0);
    QFile f(Host("\\crc.zip"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const qsizetype at = bytes.indexOf("plain.txt") + 9 + 40;  // inside the data
    bytes[at] = char(bytes[at] ^ 0x5A);
    f.seek(0);
    f.write(bytes);
    f.close();
    CZipPtr hz(OpenZip("\\crc.zip"));
    ASSERT_TRUE(hz);
    Data(hz.get(), 0, &result);
    EXPECT_EQ(result, eZipCorrupt) << method;
  }
  MakeFile("\\not.zip", "this is no archive at all, just text");
  EXPECT_EQ(OpenZip("\\not.zip"), nullptr);
  EXPECT_EQ(OpenZip("\\missing.zip"), nullptr);
  // A directory cut short.
  QByteArray whole = ReadHost("\\enc.zip");
  MakeFile("\\cut.zip", whole.left(whole.size() - 30));
  EXPECT_EQ(OpenZip("\\cut.zip"), nullptr);
}

TEST_F(ZipLayerTest, TimesFromTheExtendedTimestampAndFromDosTimes) {
  ASSERT_TRUE(HaveTool("zip"));
  MakeFile("\\t\\old.txt", "old");
  struct utimbuf times {};
  times.actime = 1500000000;
  times.modtime = 1400000001;  // odd: a DOS time could not hold it
  ASSERT_EQ(utime(Host("\\t\\old.txt").toLocal8Bit().constData(), &times), 0);
  ASSERT_EQ(RunTool("zip", {"-q", Host("\\t.zip"), "old.txt"}, Host("\\t")).exitCode, 0);
  CZipPtr hz(OpenZip("\\t.zip"));
  ASSERT_TRUE(hz);
  ZIPENTRY e;
  ASSERT_EQ(GetZipItem(hz.get(), 0, &e), eZipOK);
  EXPECT_EQ(plat::FileTimeToU64(e.mtime),
            plat::FileTimeToU64(plat::FileTimeFromUnix(1400000001, 0)));

  // Without extra fields the DOS time is local time.
  const CRun made = Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr(zipfile.ZipInfo("d.txt", date_time=(2020, 2, 29, 23, 59, 58)), b"")
)PY",
                           {Host("\\dos.zip")});
  ASSERT_EQ(made.exitCode, 0);
  CZipPtr dos(OpenZip("\\dos.zip"));
  ASSERT_TRUE(dos);
  ASSERT_EQ(GetZipItem(dos.get(), 0, &e), eZipOK);
  const QDateTime local(QDate(2020, 2, 29), QTime(23, 59, 58));
  EXPECT_EQ(plat::FileTimeToU64(e.mtime),
            plat::FileTimeToU64(plat::FileTimeFromUnix(local.toSecsSinceEpoch(), 0)));
  EXPECT_EQ(plat::FileTimeToU64(e.ctime), plat::FileTimeToU64(e.mtime));

  // 7-Zip's NTFS times keep the 100 ns of the file's time; its last access time is left 0.
  ASSERT_TRUE(HaveTool("7zz"));
  QFile::remove(Host("\\t.zip"));
  ASSERT_EQ(RunTool("touch", {"-d", "2022-03-04 05:06:07.1234567Z", Host("\\t\\old.txt")}).exitCode,
            0);
  ASSERT_EQ(
      RunTool("7zz", {"a", "-tzip", "-mtc=on", Host("\\t.zip"), "old.txt"}, Host("\\t")).exitCode,
      0);
  CZipPtr seven(OpenZip("\\t.zip"));
  ASSERT_TRUE(seven);
  ASSERT_EQ(GetZipItem(seven.get(), 0, &e), eZipOK);
  const QDateTime utc(QDate(2022, 3, 4), QTime(5, 6, 7), QTimeZone::utc());
  EXPECT_EQ(plat::FileTimeToU64(e.mtime),
            plat::FileTimeToU64(plat::FileTimeFromUnix(utc.toSecsSinceEpoch(), 123456700)));
  EXPECT_EQ(plat::FileTimeToU64(e.atime), plat::FileTimeToU64(e.mtime));
}

TEST_F(ZipLayerTest, Zip64WithMoreThan65535EntriesIsRead) {
  const CRun made = Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for i in range(70000):
        z.writestr("f/%05d.txt" % i, b"%d" % i)
)PY",
                           {Host("\\many.zip")});
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  CZipPtr hz(OpenZip("\\many.zip"));
  ASSERT_TRUE(hz);
  ZIPENTRY e;
  ASSERT_EQ(GetZipItem(hz.get(), -1, &e), eZipOK);
  EXPECT_EQ(e.index, 70000);
  ASSERT_EQ(GetZipItem(hz.get(), 69999, &e), eZipOK);
  EXPECT_EQ(e.name, "f/69999.txt");
  DWORD result = 0;
  EXPECT_EQ(Data(hz.get(), 69999, &result), "69999");
  EXPECT_EQ(result, eZipOK);
}

TEST_F(ZipLayerTest, SizesGivenInTheZip64FieldAreRead) {
  // The directory gives every size in the zip64 field, as it must for entries of 4 GiB or
  // more: a stored and a deflated entry, and the deflated one again with a flipped byte.
  const CRun made = Python(R"PY(
def build(path, flip):
    text = b"zip64 sized " * 9000
    co = zlib.compressobj(6, zlib.DEFLATED, -15)
    packed = co.compress(text) + co.flush()
    entries = [(b"s.txt", 0, b"stored data", b"stored data"), (b"d.txt", 8, text, packed)]
    out, central = b"", b""
    for name, method, data, body in entries:
        if flip and method == 8: body = body[:100] + bytes([body[100] ^ 1]) + body[101:]
        crc = zlib.crc32(data)
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034b50, 45, 0, method, 0, 0x5021, crc,
                           len(body), len(data), len(name), 0) + name + body
        z64 = struct.pack("<HHQQ", 1, 16, len(data), len(body))
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 45, 45, 0, method, 0, 0x5021,
                               crc, 0xFFFFFFFF, 0xFFFFFFFF, len(name), len(z64), 0, 0, 0, 0,
                               offset) + name + z64
    end = struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, 2, 2, len(central), len(out), 0)
    open(path, "wb").write(out + central + end)
build(sys.argv[1], False)
build(sys.argv[2], True)
z = zipfile.ZipFile(sys.argv[1])
assert z.read("d.txt") == b"zip64 sized " * 9000
)PY",
                           {Host("\\z64.zip"), Host("\\z64bad.zip")});
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  CZipPtr hz(OpenZip("\\z64.zip"));
  ASSERT_TRUE(hz);
  ZIPENTRY e;
  ASSERT_EQ(GetZipItem(hz.get(), 1, &e), eZipOK);
  EXPECT_EQ(e.unc_size, 108000u);
  DWORD result = 0;
  EXPECT_EQ(Data(hz.get(), 0, &result), "stored data");
  EXPECT_EQ(result, eZipOK);
  EXPECT_EQ(Data(hz.get(), 1, &result, 7000), QByteArray("zip64 sized ").repeated(9000));
  EXPECT_EQ(result, eZipOK);
  CZipPtr bad(OpenZip("\\z64bad.zip"));
  ASSERT_TRUE(bad);
  Data(bad.get(), 1, &result);
  EXPECT_EQ(result, eZipCorrupt);
}

class ZipWriteTest : public ZipLayerTest {
 protected:
  // Python's view of an archive: one line per entry, "name|flag bit 11|crc|size|mtime".
  CRun Listing(const QString& devicePath) {
    return Python(R"PY(
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        data = z.read(i)
        mt = None
        ex = i.extra
        while len(ex) >= 4:
            tag, size = struct.unpack("<HH", ex[:4])
            if tag == 0x5455: mt = struct.unpack("<i", ex[5:9])[0]
            ex = ex[4 + size:]
        print("%s|%d|%08x|%d|%s|%s" % (i.filename, (i.flag_bits >> 11) & 1, zlib.crc32(data), len(data), mt, i.date_time))
)PY",
                  {Host(devicePath)});
  }
};

TEST_F(ZipWriteTest, ArchivesPassUnzipAndReadBackInPython) {
  ASSERT_TRUE(HaveTool("unzip"));
  const QByteArray big = Random(1 << 20, 7);
  MakeFile("\\in\\big.bin", big);
  MakeFile("\\in\\text.txt", QByteArray("some text\n").repeated(3000));
  MakeFile("\\in\\empty.txt");
  MakeFile(QString::fromUtf8("\\in\\Größe.txt"), "umlauts");
  struct utimbuf times {
    1600000000, 1600000003
  };
  ASSERT_EQ(utime(Host("\\in\\text.txt").toLocal8Bit().constData(), &times), 0);

  for (int level : {0, 6, 9}) {
    QFile::remove(Host("\\out.zip"));
    HZIP hz = CreateZip("\\out.zip");
    ASSERT_TRUE(hz);
    EXPECT_EQ(SetZipLevel(hz, 10), eZipArgs);
    ASSERT_EQ(SetZipLevel(hz, level), eZipOK);
    quint64 reported = 0;
    SetZipProgress(hz, [&](quint64 n) {
      reported += n;
      return true;
    });
    EXPECT_EQ(ZipAddFolder(hz, "in\\"), eZipOK);
    EXPECT_EQ(ZipAddFile(hz, "in\\big.bin", "\\in\\big.bin"), eZipOK);
    EXPECT_EQ(ZipAddFile(hz, "in\\text.txt", "\\in\\text.txt"), eZipOK);
    EXPECT_EQ(ZipAddFile(hz, "in\\empty.txt", "\\in\\empty.txt"), eZipOK);
    EXPECT_EQ(
        ZipAddFile(hz, QString::fromUtf8("in\\Größe.txt"), QString::fromUtf8("\\in\\Größe.txt")),
        eZipOK);
    EXPECT_EQ(ZipAddFile(hz, "in\\missing.txt", "\\in\\missing.txt"), eZipNoFile);
    EXPECT_FALSE(ExistsHost("\\out.zip"));  // not before the close
    ASSERT_EQ(CloseZip(hz), eZipOK);
    EXPECT_EQ(reported, quint64(big.size()) + 30000 + 7);

    const CRun tested = RunTool("unzip", {"-t", Host("\\out.zip")});
    EXPECT_EQ(tested.exitCode, 0) << tested.out.toStdString();
    const CRun listed = Listing("\\out.zip");
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QStringList lines = QString::fromUtf8(listed.out).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 5) << level;
    EXPECT_TRUE(lines[0].startsWith("in/|0|00000000|0|"));
    EXPECT_TRUE(lines[1].startsWith(
        QStringLiteral("in/big.bin|0|%1|1048576|")
            .arg(crc32(0, reinterpret_cast<const Bytef*>(big.constData()), big.size()), 8, 16,
                 QChar('0'))));
    EXPECT_TRUE(lines[2].startsWith("in/text.txt|0|")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains("|30000|1600000003|"));
    const QDateTime local = QDateTime::fromSecsSinceEpoch(1600000003).toLocalTime();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("(%1, %2, %3, %4, %5, %6)")
                                      .arg(local.date().year())
                                      .arg(local.date().month())
                                      .arg(local.date().day())
                                      .arg(local.time().hour())
                                      .arg(local.time().minute())
                                      .arg(local.time().second() / 2 * 2)))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("in/empty.txt|0|00000000|0|"));
    EXPECT_TRUE(lines[4].startsWith(QString::fromUtf8("in/Größe.txt|1|")));

    // And our own reader gives the same back.
    CZipPtr back(OpenZip("\\out.zip"));
    ASSERT_TRUE(back);
    DWORD result = 0;
    EXPECT_EQ(Data(back.get(), 1, &result), big);
    ZIPENTRY e;
    GetZipItem(back.get(), 2, &e);
    EXPECT_EQ(plat::FileTimeToU64(e.mtime),
              plat::FileTimeToU64(plat::FileTimeFromUnix(1600000003, 0)));
  }
}

TEST_F(ZipWriteTest, Zip64WithMoreThan65535EntriesIsWritten) {
  MakeFile("\\one.txt", "1");
  HZIP hz = CreateZip("\\many.zip");
  ASSERT_TRUE(hz);
  for (int i = 0; i < 70000; ++i) ASSERT_EQ(ZipAddFolder(hz, QStringLiteral("d%1").arg(i)), eZipOK);
  ASSERT_EQ(ZipAddFile(hz, "last.txt", "\\one.txt"), eZipOK);
  ASSERT_EQ(CloseZip(hz), eZipOK);
  if (HaveTool("unzip")) {
    EXPECT_EQ(RunTool("unzip", {"-tq", Host("\\many.zip")}).exitCode, 0);
  }
  const CRun counted = Python(R"PY(
with zipfile.ZipFile(sys.argv[1]) as z:
    n = z.infolist()
    print(len(n), n[-1].filename, z.read(n[-1]).decode())
)PY",
                              {Host("\\many.zip")});
  EXPECT_EQ(counted.out.trimmed(), "70001 last.txt 1") << counted.err.toStdString();
  CZipPtr back(OpenZip("\\many.zip"));
  ASSERT_TRUE(back);
  ZIPENTRY e;
  GetZipItem(back.get(), -1, &e);
  EXPECT_EQ(e.index, 70001);
}

TEST_F(ZipWriteTest, AFailedOrStoppedArchiveLeavesNothingAndKeepsTheOldOne) {
  MakeFile("\\in\\a.bin", Random(600000, 3));
  MakeFile("\\old.zip", "the old archive");
  for (const char* how : {"disk full", "stop"}) {
    HZIP hz = CreateZip("\\old.zip");
    ASSERT_TRUE(hz);
    if (QByteArray(how) == "stop") {
      SetZipProgress(hz, [](quint64) { return false; });
      EXPECT_EQ(ZipAddFile(hz, "a.bin", "\\in\\a.bin"), eZipStopped);
      EXPECT_EQ(ZipAddFolder(hz, "later"), eZipStopped);
      EXPECT_EQ(CloseZip(hz), eZipStopped);
    } else {
      plat::CFaultInjector::FailNth(plat::EFaultOp::eFaultWrite, 2, ERROR_DISK_FULL, true);
      ZipAddFile(hz, "a.bin", "\\in\\a.bin");  // the write may come later, on the pool's turn
      EXPECT_EQ(CloseZip(hz), eZipWrite);
      plat::CFaultInjector::Reset();
    }
    EXPECT_EQ(ReadHost("\\old.zip"), "the old archive") << how;
    EXPECT_EQ(QDir(Host("\\")).entryList(QDir::Files | QDir::Hidden), QStringList({"old.zip"}))
        << how;
  }
  // A new archive that fails leaves no file at all.
  plat::CFaultInjector::FailNth(plat::EFaultOp::eFaultWrite, 1, ERROR_DISK_FULL, true);
  HZIP hz = CreateZip("\\new.zip");
  ASSERT_TRUE(hz);
  ZipAddFile(hz, "a.bin", "\\in\\a.bin");
  EXPECT_EQ(CloseZip(hz), eZipWrite);
  plat::CFaultInjector::Reset();
  EXPECT_FALSE(ExistsHost("\\new.zip"));
  EXPECT_EQ(QDir(Host("\\")).entryList(QDir::Files | QDir::Hidden), QStringList({"old.zip"}));
}

}  // namespace
