// The ".enc" engine on real files: sizes and header bytes, round trips at every chunk and block
// boundary, agreement with OpenSSL's Blowfish, passwords, callback events and stops, bad
// headers, and failures that must leave no output behind.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "crypto/blowfish.h"
#include "crypto/enc_engine.h"
#include "crypto/enc_format.h"
#include "crypto/enc_trace.h"
#include "platform/fault_injection.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/system.h"
#include "support/temp_root.h"

namespace {

using namespace crypto;
using CEvents = std::vector<std::pair<DWORD, DWORD>>;

const QString kPassword = QStringLiteral("s3cret-pass");

QByteArray Pattern(int size, quint32 seed = 7) {
  QByteArray data(size, Qt::Uninitialized);
  QRandomGenerator random(seed);
  for (char& c : data) c = char(random.bounded(256));
  return data;
}

// The check value computed the slow, obvious way: the reflected CRC-32 register, bit by bit.
DWORD ReferenceCheckValue(const QByteArray& data) {
  DWORD reg = 0xFFFFFFFF;
  for (char c : data) {
    reg ^= BYTE(c);
    for (int bit = 0; bit < 8; ++bit) reg = (reg >> 1) ^ (0xEDB88320 & (0u - (reg & 1)));
  }
  return reg;
}

DWORD WordAt(const QByteArray& file, int offset) {
  const auto* b = reinterpret_cast<const unsigned char*>(file.constData()) + offset;
  return (DWORD(b[0]) << 24) | (DWORD(b[1]) << 16) | (DWORD(b[2]) << 8) | DWORD(b[3]);
}

void PutWord(QByteArray* file, int offset, DWORD word) {
  for (int i = 0; i < 4; ++i) (*file)[offset + i] = char(word >> (24 - 8 * i));
}

QByteArray SwapWords(QByteArray bytes) {
  for (int i = 0; i + 4 <= bytes.size(); i += 4) {
    std::swap(bytes[i], bytes[i + 3]);
    std::swap(bytes[i + 1], bytes[i + 2]);
  }
  return bytes;
}

int Padded(int size) { return (size + 7) / 8 * 8; }

class EncEngineTest : public test::TempRoot {
 protected:
  CCryptoSettings Settings(const QString& password = kPassword) {
    CCryptoSettings settings;
    settings.strPassword = password;
    settings.dwUserData = 0x5EED;
    settings.fnTrace = [this](const QString& line) { trace_ << line; };
    settings.fnCallback = [this](DWORD event, DWORD value, DWORD reserved, DWORD user) -> DWORD {
      EXPECT_EQ(reserved, 0u);
      EXPECT_EQ(user, 0x5EEDu);
      events_.emplace_back(event, value);
      return stop_ && stop_(event) ? 1 : 0;
    };
    return settings;
  }

  DWORD Encrypt(const QString& src, const QString& dst, const QString& password = kPassword) {
    return Run(true, src, dst, password);
  }
  DWORD Decrypt(const QString& src, const QString& dst, const QString& password = kPassword) {
    return Run(false, src, dst, password);
  }
  DWORD Run(bool encrypt, const QString& src, const QString& dst, const QString& password) {
    trace_.clear();
    events_.clear();
    const CCryptoSettings settings = Settings(password);
    engine_.SetKey(settings);
    const DWORD code =
        encrypt ? engine_.Encrypt(src, dst, settings) : engine_.Decrypt(src, dst, settings);
    engine_.ReleaseKey();
    return code;
  }

  // The names in a folder of the root, sorted: shows leftovers such as temporary outputs.
  QStringList Names(const QString& folder = QStringLiteral("\\d")) const {
    return QDir(Host(folder)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                        QDir::Name);
  }

  // A valid ".enc" file of `plain` at \d\in.enc.
  QString MakeEncrypted(const QByteArray& plain) {
    MakeFile(QStringLiteral("\\d\\plain.tmpsrc"), plain);
    EXPECT_EQ(Encrypt(QStringLiteral("\\d\\plain.tmpsrc"), QStringLiteral("\\d\\in.enc")),
              eCryptoErrNone);
    QFile::remove(Host(QStringLiteral("\\d\\plain.tmpsrc")));
    return QStringLiteral("\\d\\in.enc");
  }

  CCryptoEngine engine_;
  QStringList trace_;
  CEvents events_;
  std::function<bool(DWORD event)> stop_;
};

TEST(EncFormat, CheckValueIsTheUninvertedCrcRegister) {
  const QByteArray data = Pattern(100001);
  DWORD reg = kCheckValueStart;
  int at = 0;
  for (int piece : {0, 1, 7, 4096, 13, 50000}) {
    reg = UpdateCheckValue(reg, reinterpret_cast<const BYTE*>(data.constData()) + at, piece);
    at += piece;
  }
  reg = UpdateCheckValue(reg, reinterpret_cast<const BYTE*>(data.constData()) + at,
                         data.size() - at);
  EXPECT_EQ(reg, ReferenceCheckValue(data));
  // The usual CRC-32 of "123456789" is 0xCBF43926; the register is its complement.
  const QByteArray check("123456789");
  EXPECT_EQ(UpdateCheckValue(kCheckValueStart, reinterpret_cast<const BYTE*>(check.constData()), 9),
            ~0xCBF43926u);
}

TEST_F(EncEngineTest, HeaderBytesAndSizes) {
  // The usual CRC-32 of "hello" is 0x3610A686; the stored register is its complement.
  MakeFile(QStringLiteral("\\d\\hello.txt"), "hello");
  ASSERT_EQ(Encrypt(QStringLiteral("\\d\\hello.txt"), QStringLiteral("\\d\\hello.txt.enc")), eCryptoErrNone);
  const QByteArray file = ReadHost(QStringLiteral("\\d\\hello.txt.enc"));
  ASSERT_EQ(file.size(), 48);
  EXPECT_EQ(file.left(40).toHex(),
            QByteArray("4b524d514e494200000001000000002800000002000000000000000000001000"
                       "00000005c9ef5979"));

  struct CCase {
    int size;
    int fileSize;
  } cases[] = {{0, 40}, {5, 48}, {4100, 4144}};
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.size);
    const QByteArray plain = Pattern(c.size);
    MakeFile(QStringLiteral("\\d\\s.bin"), plain);
    ASSERT_EQ(Encrypt(QStringLiteral("\\d\\s.bin"), QStringLiteral("\\d\\s.enc")), eCryptoErrNone);
    const QByteArray enc = ReadHost(QStringLiteral("\\d\\s.enc"));
    ASSERT_EQ(enc.size(), c.fileSize);
    EXPECT_EQ(enc.left(8).toHex(), QByteArray("4b524d514e494200"));
    EXPECT_EQ(WordAt(enc, 32), DWORD(c.size));
    EXPECT_EQ(WordAt(enc, 36), c.size == 0 ? 0xFFFFFFFFu : ReferenceCheckValue(plain));
    ASSERT_EQ(Decrypt(QStringLiteral("\\d\\s.enc"), QStringLiteral("\\d\\s.out")), eCryptoErrNone);
    EXPECT_EQ(ReadHost(QStringLiteral("\\d\\s.out")), plain);
  }
}

TEST_F(EncEngineTest, RoundTripAtChunkAndBlockBoundaries) {
  for (int size : {0, 1, 7, 8, 9, 4095, 4096, 4097, 8191, 8192, 8193}) {
    SCOPED_TRACE(size);
    const QByteArray plain = Pattern(size, size + 1);
    MakeFile(QStringLiteral("\\d\\p.bin"), plain);
    ASSERT_EQ(Encrypt(QStringLiteral("\\d\\p.bin"), QStringLiteral("\\d\\p.bin.enc")), eCryptoErrNone);
    const QByteArray enc = ReadHost(QStringLiteral("\\d\\p.bin.enc"));
    EXPECT_EQ(enc.size(), 40 + Padded(size));
    if (size >= 16) {
      EXPECT_NE(enc.mid(40, 16), plain.left(16));
    }
    ASSERT_EQ(Decrypt(QStringLiteral("\\d\\p.bin.enc"), QStringLiteral("\\d\\p.out")), eCryptoErrNone);
    EXPECT_EQ(ReadHost(QStringLiteral("\\d\\p.out")), plain);
  }
  EXPECT_EQ(Names(), QStringList({"p.bin", "p.bin.enc", "p.out"}));
}

// The body is standard Blowfish-ECB over zero-padded data with each 4-byte word byte-swapped.
TEST_F(EncEngineTest, BodyMatchesOpenSslBlowfish) {
  const QString password = QStringLiteral("0123456789abcdef");
  const QByteArray plain = Pattern(10001);
  MakeFile(QStringLiteral("\\d\\o.bin"), plain);
  ASSERT_EQ(Encrypt(QStringLiteral("\\d\\o.bin"), QStringLiteral("\\d\\o.enc"), password), eCryptoErrNone);
  const QByteArray body = ReadHost(QStringLiteral("\\d\\o.enc")).mid(40);

  QTemporaryDir work;
  ASSERT_TRUE(work.isValid());
  QByteArray padded = plain;
  padded.append(QByteArray(Padded(plain.size()) - plain.size(), '\0'));
  QFile in(work.filePath("in"));
  ASSERT_TRUE(in.open(QIODevice::WriteOnly));
  in.write(SwapWords(padded));
  in.close();

  QProcess openssl;
  openssl.start("openssl", {"enc", "-provider", "legacy", "-provider", "default", "-bf-ecb",
                            "-nopad", "-K", QString::fromLatin1(password.toLatin1().toHex()), "-in",
                            work.filePath("in"), "-out", work.filePath("out")});
  ASSERT_TRUE(openssl.waitForFinished(60000)) << "the openssl command-line tool must be installed";
  ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
  QFile out(work.filePath("out"));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  const QByteArray expected = SwapWords(out.readAll());
  ASSERT_EQ(body.size(), expected.size());
  EXPECT_TRUE(body == expected);
}

TEST_F(EncEngineTest, PasswordLengths) {
  const QByteArray plain = Pattern(100);
  MakeFile(QStringLiteral("\\d\\pw.bin"), plain);
  struct CCase {
    int chars;
    bool keyed;
  } cases[] = {{0, false}, {5, false}, {6, true}, {19, true}, {20, true}, {40, true}, {41, false}};
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.chars);
    QString password;
    for (int i = 0; i < c.chars; ++i) password += QChar(u'a' + i % 26);
    EXPECT_EQ(engine_.SetKey(Settings(password)), c.keyed);
    engine_.ReleaseKey();
    const DWORD code = Encrypt(QStringLiteral("\\d\\pw.bin"), QStringLiteral("\\d\\pw.enc"), password);
    if (!c.keyed) {
      EXPECT_EQ(code, eCryptoErrCipher);
      EXPECT_EQ(Names(), QStringList({"pw.bin"}));
      continue;
    }
    ASSERT_EQ(code, eCryptoErrNone);
    ASSERT_EQ(Decrypt(QStringLiteral("\\d\\pw.enc"), QStringLiteral("\\d\\pw.out"), password), eCryptoErrNone);
    EXPECT_EQ(ReadHost(QStringLiteral("\\d\\pw.out")), plain);
    QFile::remove(Host(QStringLiteral("\\d\\pw.enc")));
    QFile::remove(Host(QStringLiteral("\\d\\pw.out")));
  }
}

// Passwords of 6 to 19 characters keep the key they always had: the Blowfish key schedule
// over exactly the password's bytes.
TEST_F(EncEngineTest, ShortPasswordKeyIsThePasswordBytes) {
  const QString password = QStringLiteral("abc123");
  const QByteArray plain = Pattern(1000);
  MakeFile(QStringLiteral("\\d\\k.bin"), plain);
  ASSERT_EQ(Encrypt(QStringLiteral("\\d\\k.bin"), QStringLiteral("\\d\\k.enc"), password), eCryptoErrNone);
  CBlowfish cipher;
  ASSERT_TRUE(cipher.SetKey(reinterpret_cast<const BYTE*>("abc123"), 6));
  QByteArray expected = plain + QByteArray(Padded(1000) - 1000, '\0');
  ASSERT_TRUE(cipher.EncryptBuffer(reinterpret_cast<BYTE*>(expected.data()), expected.size()));
  EXPECT_TRUE(ReadHost(QStringLiteral("\\d\\k.enc")).mid(40) == expected);
}

// A long password is used whole: one differing only in its 40th character is another key.
TEST_F(EncEngineTest, LongPasswordUsesEveryCharacter) {
  const QString a = QString(39, u'x') + u'a';
  const QString b = QString(39, u'x') + u'b';
  MakeFile(QStringLiteral("\\d\\l.bin"), Pattern(64));
  ASSERT_EQ(Encrypt(QStringLiteral("\\d\\l.bin"), QStringLiteral("\\d\\a.enc"), a), eCryptoErrNone);
  ASSERT_EQ(Encrypt(QStringLiteral("\\d\\l.bin"), QStringLiteral("\\d\\b.enc"), b), eCryptoErrNone);
  EXPECT_NE(ReadHost(QStringLiteral("\\d\\a.enc")).mid(40), ReadHost(QStringLiteral("\\d\\b.enc")).mid(40));
  EXPECT_EQ(Decrypt(QStringLiteral("\\d\\a.enc"), QStringLiteral("\\d\\l.out"), b), eCryptoErrBadPassword);
  EXPECT_FALSE(ExistsHost(QStringLiteral("\\d\\l.out")));

  // More key bytes than the key schedule can use get no key rather than a shortened one.
  const QString wide = QString(25, QChar(0x20AC));
  EXPECT_EQ(engine_.SetKey(Settings(wide)), plat::ToAnsi(wide).size() <= 72);
}

TEST_F(EncEngineTest, EventsAndTraceOfBothDirections) {
  MakeFile(QStringLiteral("\\d\\e.txt"), Pattern(4100));
  ASSERT_EQ(Encrypt(QStringLiteral("\\d\\e.txt"), QStringLiteral("\\d\\e.txt.enc")), eCryptoErrNone);
  EXPECT_EQ(events_, (CEvents{{eOpenSourceOK, 0}, {eOpenDstOK, 0}, {ePrepareHeaderOK, 4100},
                              {eWriteHeaderOK, 40}, {eReadNodeOK, 4096}, {eWriteNodeOK, 4096},
                              {eReadNodeOK, 4}, {eWriteNodeOK, 8}, {eReadNodeOK, 0},
                              {eWriteNodeOK, 0}, {eProcessFileOK, 0}, {eSourceClosed, 0},
                              {eDstClosed, 0}}));
  EXPECT_EQ(trace_, QStringList({"Encryption:", "Source file: \\d\\e.txt",
                                 "Destination file: \\d\\e.txt.enc", "Encryption type: 2",
                                 "Encryption algorithm: 0", "Provider name: ",
                                 "File size: 4100, encryption buffer size: 4096",
                                 "write the header again", "Return eCryptoErrNone."}));

  ASSERT_EQ(Decrypt(QStringLiteral("\\d\\e.txt.enc"), QStringLiteral("\\d\\e2.txt")), eCryptoErrNone);
  EXPECT_EQ(events_, (CEvents{{eOpenSourceOK, 0}, {eOpenDstOK, 0}, {eCheckHeaderOK, 4100},
                              {eReadNodeOK, 4096}, {eWriteNodeOK, 4096}, {eReadNodeOK, 8},
                              {eWriteNodeOK, 4}, {eReadNodeOK, 0}, {eWriteNodeOK, 0},
                              {eProcessFileOK, 0}, {eSourceClosed, 0}, {eDstClosed, 0}}));
  EXPECT_EQ(trace_, QStringList({"Decryption:", "Source file: \\d\\e.txt.enc",
                                 "Destination file: \\d\\e2.txt", "Decryption type: 2",
                                 "Decryption algorithm: 0", "Provider name: ",
                                 "Truncate the destination file to 4100 bytes",
                                 "Return eCryptoErrNone."}));
  for (const QString& line : trace_) EXPECT_FALSE(line.contains(kPassword));
}

// Through the application log's trace writer the step lines land time-stamped in the trace
// file, one CR LF line each, and the password never does.
TEST_F(EncEngineTest, TraceFileOfARun) {
  MakeFile(QStringLiteral("\\d\\t.txt"), "some text");
  plat::CHostFile log;
  ASSERT_TRUE(log.Open(QStringLiteral("\\d\\trace.log"), plat::GENERIC_WRITE, plat::CREATE_ALWAYS));
  CCryptoSettings settings = Settings();
  settings.fnTrace = TraceToFile(&log);
  ASSERT_TRUE(engine_.SetKey(settings));
  ASSERT_EQ(engine_.Encrypt(QStringLiteral("\\d\\t.txt"), QStringLiteral("\\d\\t.txt.enc"), settings),
            eCryptoErrNone);
  settings.fnTrace = TraceToFile(nullptr);
  ASSERT_EQ(engine_.Decrypt(QStringLiteral("\\d\\t.txt.enc"), QStringLiteral("\\d\\t2.txt"), settings),
            eCryptoErrNone);
  engine_.ReleaseKey();
  ASSERT_TRUE(log.Close());

  const QString text = QString::fromLocal8Bit(ReadHost(QStringLiteral("\\d\\trace.log")));
  QStringList lines = text.split(QStringLiteral("\r\n"));
  EXPECT_EQ(lines.takeLast(), QString());
  ASSERT_EQ(lines.size(), 9) << text.toStdString();
  const QRegularExpression stamp(QStringLiteral("^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\]: "));
  for (const QString& line : lines) EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
  EXPECT_TRUE(lines.first().endsWith(QStringLiteral("]: Encryption:")));
  EXPECT_TRUE(lines.last().endsWith(QStringLiteral("]: Return eCryptoErrNone.")));
  EXPECT_FALSE(text.contains(kPassword));
}

TEST_F(EncEngineTest, WrongPasswordRunsToTheEndAndLeavesNoOutput) {
  const QString enc = MakeEncrypted(Pattern(9000));
  MakeFile(QStringLiteral("\\d\\out.bin"), "older file of that name");
  EXPECT_EQ(Decrypt(enc, QStringLiteral("\\d\\out.bin"), QStringLiteral("not-the-password")),
            eCryptoErrBadPassword);
  EXPECT_EQ(events_.back(), std::make_pair(DWORD(eDstClosed), DWORD(0)));
  EXPECT_TRUE(trace_.contains("Different CRC32 - bad password!"));
  EXPECT_EQ(ReadHost(QStringLiteral("\\d\\out.bin")), QByteArray("older file of that name"));
  EXPECT_EQ(Names(), QStringList({"in.enc", "out.bin"}));
}

TEST_F(EncEngineTest, BadHeadersAreRefusedAndTheDestinationRemoved) {
  const QByteArray good = ReadHost(MakeEncrypted(Pattern(300)));
  struct CCase {
    const char* name;
    int offset;  // the word changed, or -1 to cut the file to 39 bytes
    DWORD word;
    DWORD code;
    const char* line;
  } cases[] = {
      {"short", -1, 0, eCryptoErrBadHeader, "!!! Error: the file size is less than the header size!"},
      {"magic 1", 0, 0x4B524D52, eCryptoErrBadHeader, "!!! Error: Invalid encrypted file (bad header)!"},
      {"magic 2", 4, 0x4E494201, eCryptoErrBadHeader, "!!! Error: Invalid encrypted file (bad header)!"},
      {"version", 8, 0x101, eCryptoErrBadHeader, "!!! Error: Invalid encrypted file (bad header)!"},
      {"header size", 12, 44, eCryptoErrBadHeader, "!!! Error: Invalid encrypted file (bad header)!"},
      {"type", 16, 1, eCryptoErrHeaderType, "!!! Error: Invalid crypt provider!"},
      {"algorithm", 20, 3, eCryptoErrHeaderAlgorithm, "!!! Error: Invalid crypt algorithm!"},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray bad = good;
    if (c.offset < 0) bad.truncate(39);
    else PutWord(&bad, c.offset, c.word);
    MakeFile(QStringLiteral("\\d\\in.enc"), bad);
    EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), c.code);
    EXPECT_TRUE(trace_.contains(c.line)) << trace_.join('\n').toStdString();
    EXPECT_EQ(Names(), QStringList({"in.enc"}));
    EXPECT_EQ(ReadHost(QStringLiteral("\\d\\in.enc")), bad);
  }
}

TEST_F(EncEngineTest, ASizeWordThatLiesOrTrailingBytesAreRefusedBeforeAnyOutput) {
  const QByteArray good = ReadHost(MakeEncrypted(Pattern(300)));  // 40 + 304 bytes
  struct CCase {
    const char* name;
    int sizeWord;     // the plain size written at offset 32, or -1 to keep 300
    int cutOrAdd;     // bytes appended (> 0) or cut from the end (< 0)
    int reserved;     // the word at offset 24, or -1 to keep 0
  } cases[] = {
      {"size 0xFFFFFFFF", -2, 0, -1},  // -2: ff ff ff ff
      {"size one block more", 308, 0, -1},
      {"size one block less", 296, 0, -1},
      {"size 0 with a body", 0, 0, -1},
      {"one trailing byte", -1, 1, -1},
      {"a trailing block", -1, 8, -1},
      {"a block cut off", -1, -8, -1},
      {"reserved word set", -1, 0, 1},
      {"reserved word all ones", -1, 0, -2},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray bad = good;
    if (c.sizeWord != -1) PutWord(&bad, 32, c.sizeWord == -2 ? 0xFFFFFFFFu : DWORD(c.sizeWord));
    if (c.reserved != -1) PutWord(&bad, 24, c.reserved == -2 ? 0xFFFFFFFFu : DWORD(c.reserved));
    if (c.cutOrAdd > 0) bad.append(Pattern(c.cutOrAdd, 3));
    if (c.cutOrAdd < 0) bad.chop(-c.cutOrAdd);
    MakeFile(QStringLiteral("\\d\\in.enc"), bad);
    EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), eCryptoErrBadHeader);
    // Refused before the body: no node was read, no output is left, the source is as it was.
    for (const auto& event : events_) EXPECT_NE(event.first, DWORD(eReadNodeOK));
    EXPECT_EQ(Names(), QStringList({"in.enc"}));
    EXPECT_EQ(ReadHost(QStringLiteral("\\d\\in.enc")), bad);
  }
  // The same edits undone decrypt again.
  MakeFile(QStringLiteral("\\d\\in.enc"), good);
  EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), eCryptoErrNone);
  EXPECT_EQ(ReadHost(QStringLiteral("\\d\\in")), Pattern(300));
}

TEST_F(EncEngineTest, HeaderReadFailureAndBrokenBody) {
  QByteArray file = ReadHost(MakeEncrypted(Pattern(300)));
  plat::CFaultInjector::FailNth(plat::EFaultOp::eFaultRead, 1, ERROR_READ_FAULT);
  EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), eCryptoErrReadHeader);
  plat::CFaultInjector::Reset();
  EXPECT_EQ(Names(), QStringList({"in.enc"}));

  // A body that is not whole 8-byte blocks no longer matches any size word: a format error.
  MakeFile(QStringLiteral("\\d\\in.enc"), file.left(40 + 13));
  EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), eCryptoErrBadHeader);
  EXPECT_EQ(Names(), QStringList({"in.enc"}));

  // A body cut short whose size word was cut to match: the check value refuses it.
  QByteArray cut = file.left(40 + 256);
  PutWord(&cut, 32, 256);
  MakeFile(QStringLiteral("\\d\\in.enc"), cut);
  EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), eCryptoErrBadPassword);
  EXPECT_EQ(Names(), QStringList({"in.enc"}));

  // The buffer-size word is informational.
  PutWord(&file, 28, 512);
  MakeFile(QStringLiteral("\\d\\in.enc"), file);
  EXPECT_EQ(Decrypt(QStringLiteral("\\d\\in.enc"), QStringLiteral("\\d\\in")), eCryptoErrNone);
  EXPECT_EQ(ReadHost(QStringLiteral("\\d\\in")), Pattern(300));
}

TEST_F(EncEngineTest, StopAtAnyAnsweredEventLeavesNoOutput) {
  const QByteArray plain = Pattern(10000);
  MakeFile(QStringLiteral("\\d\\c.bin"), plain);
  const QString enc = MakeEncrypted(plain);
  struct CCase {
    bool encrypt;
    DWORD event;
    int nth;
  } cases[] = {{true, eOpenSourceOK, 1},  {true, eOpenDstOK, 1},    {true, ePrepareHeaderOK, 1},
               {true, eWriteHeaderOK, 1}, {true, eReadNodeOK, 2},   {true, eWriteNodeOK, 2},
               {true, eWriteNodeOK, 4},   {true, eProcessFileOK, 1}, {false, eOpenDstOK, 1},
               {false, eCheckHeaderOK, 1}, {false, eWriteNodeOK, 2}, {false, eProcessFileOK, 1}};
  for (const CCase& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.encrypt ? "encrypt " : "decrypt ") << c.event << "#" << c.nth);
    int seen = 0;
    stop_ = [&](DWORD event) { return event == c.event && ++seen == c.nth; };
    const QString src = c.encrypt ? QStringLiteral("\\d\\c.bin") : enc;
    EXPECT_EQ(Run(c.encrypt, src, QStringLiteral("\\d\\c.out"), kPassword), eCryptoErrStopped);
    EXPECT_EQ(trace_.mid(trace_.size() - 2), QStringList({"  recieved callback stop...", "leave."}));
    EXPECT_EQ(Names(), QStringList({"c.bin", "in.enc"}));
    EXPECT_EQ(ReadHost(QStringLiteral("\\d\\c.bin")), plain);
  }
  // The answers to the two closing events are ignored.
  stop_ = [](DWORD event) { return event == eSourceClosed || event == eDstClosed; };
  EXPECT_EQ(Encrypt(QStringLiteral("\\d\\c.bin"), QStringLiteral("\\d\\c.out")), eCryptoErrNone);
  EXPECT_TRUE(ExistsHost(QStringLiteral("\\d\\c.out")));
}

TEST_F(EncEngineTest, InjectedFaultsLeaveNoOutputAndKeepAnOlderFile) {
  const QByteArray plain = Pattern(8193);
  MakeFile(QStringLiteral("\\d\\f.bin"), plain);
  const QString enc = MakeEncrypted(plain);
  using plat::EFaultOp;
  struct CCase {
    bool encrypt;
    EFaultOp op;
    int nth;
    bool sticky;
    DWORD code;
  } cases[] = {
      {true, EFaultOp::eFaultCreate, 1, false, eCryptoErrOpen},   // the source
      {true, EFaultOp::eFaultCreate, 2, true, eCryptoErrOpen},    // the output
      {true, EFaultOp::eFaultRead, 2, false, eCryptoErrRead},
      {true, EFaultOp::eFaultWrite, 1, false, eCryptoErrWrite},   // the header
      {true, EFaultOp::eFaultWrite, 3, false, eCryptoErrWrite},   // the second chunk
      {true, EFaultOp::eFaultWrite, 5, false, eCryptoErrWrite},   // the header again
      {true, EFaultOp::eFaultFlush, 1, false, eCryptoErrWrite},
      {true, EFaultOp::eFaultClose, 1, true, eCryptoErrWrite},
      {true, EFaultOp::eFaultRename, 1, true, eCryptoErrWrite},
      {false, EFaultOp::eFaultRead, 3, false, eCryptoErrRead},
      {false, EFaultOp::eFaultWrite, 2, false, eCryptoErrWrite},  // a chunk
      {false, EFaultOp::eFaultWrite, 4, false, eCryptoErrWrite},  // setting the end
      {false, EFaultOp::eFaultFlush, 1, false, eCryptoErrWrite},
  };
  for (bool older : {false, true}) {
    for (const CCase& c : cases) {
      SCOPED_TRACE(testing::Message() << (c.encrypt ? "encrypt " : "decrypt ") << int(c.op) << "#"
                                      << c.nth << (older ? " over an older file" : ""));
      if (older) MakeFile(QStringLiteral("\\d\\out"), "older");
      plat::CFaultInjector::FailNth(c.op, c.nth, ERROR_DISK_FULL, c.sticky);
      const QString src = c.encrypt ? QStringLiteral("\\d\\f.bin") : enc;
      EXPECT_EQ(Run(c.encrypt, src, QStringLiteral("\\d\\out"), kPassword), c.code);
      plat::CFaultInjector::Reset();
      EXPECT_EQ(Names(), older ? QStringList({"f.bin", "in.enc", "out"})
                               : QStringList({"f.bin", "in.enc"}));
      if (older) {
        EXPECT_EQ(ReadHost(QStringLiteral("\\d\\out")), QByteArray("older"));
      }
      EXPECT_EQ(ReadHost(QStringLiteral("\\d\\f.bin")), plain);
    }
  }
  // Without faults the same runs succeed, replacing the older file.
  ASSERT_EQ(Decrypt(enc, QStringLiteral("\\d\\out")), eCryptoErrNone);
  EXPECT_EQ(ReadHost(QStringLiteral("\\d\\out")), plain);
}

// A source that grows or shrinks during the run would give a file that never decrypts.
TEST_F(EncEngineTest, SourceChangedWhileReadIsRefused) {
  for (int change : {+100, -5000}) {
    SCOPED_TRACE(change);
    const QByteArray plain = Pattern(9000);
    MakeFile(QStringLiteral("\\d\\g.bin"), plain);
    bool changed = false;
    stop_ = [&](DWORD event) {
      if (event == eReadNodeOK && !changed) {
        changed = QFile(Host(QStringLiteral("\\d\\g.bin"))).resize(plain.size() + change);
        EXPECT_TRUE(changed);
      }
      return false;
    };
    EXPECT_EQ(Encrypt(QStringLiteral("\\d\\g.bin"), QStringLiteral("\\d\\g.enc")), eCryptoErrRead);
    EXPECT_TRUE(trace_.contains("!!! Error: the source file changed while it was read!"));
    EXPECT_EQ(Names(), QStringList({"g.bin"}));
  }
}

TEST_F(EncEngineTest, DestinationThatIsTheSourceIsRefusedUntouched) {
  const QString enc = MakeEncrypted(Pattern(500));
  const QByteArray before = ReadHost(enc);
  std::vector<plat::CFileOpEvent> ops;
  plat::CFaultInjector::SetObserver([&](const plat::CFileOpEvent& e) { ops.push_back(e); });
  for (const QString& dst : {QStringLiteral("\\d\\in.enc"), QStringLiteral("d/in.enc"),
                             QStringLiteral("\\D\\IN.ENC")}) {
    SCOPED_TRACE(dst.toStdString());
    EXPECT_EQ(Decrypt(enc, dst), eCryptoErrOpen);
    EXPECT_TRUE(trace_.contains("  The destination is the source file."));
    EXPECT_EQ(ReadHost(enc), before);
    EXPECT_EQ(Names(), QStringList({"in.enc"}));
  }
  for (const plat::CFileOpEvent& e : ops) {
    EXPECT_NE(e.op, plat::EFaultOp::eFaultWrite);
    EXPECT_NE(e.op, plat::EFaultOp::eFaultDelete);
  }
}

TEST_F(EncEngineTest, SourceOf4GiBIsRefusedBeforeAnythingIsWritten) {
  MakeFile(QStringLiteral("\\d\\huge.bin"));
  {
    QFile huge(Host(QStringLiteral("\\d\\huge.bin")));
    ASSERT_TRUE(huge.resize(qint64(1) << 32));  // sparse: takes no space
  }
  std::vector<plat::CFileOpEvent> ops;
  plat::CFaultInjector::SetObserver([&](const plat::CFileOpEvent& e) { ops.push_back(e); });
  EXPECT_EQ(Encrypt(QStringLiteral("\\d\\huge.bin"), QStringLiteral("\\d\\huge.bin.enc")),
            eCryptoErrTooLarge);
  for (const plat::CFileOpEvent& e : ops) {
    EXPECT_NE(e.op, plat::EFaultOp::eFaultWrite);
    EXPECT_NE(e.op, plat::EFaultOp::eFaultRead);
  }
  EXPECT_EQ(Names(), QStringList({"huge.bin"}));
}

TEST_F(EncEngineTest, OpenFailuresAndSettings) {
  MakeFile(QStringLiteral("\\d\\a.bin"), "abc");
  MakeFolder(QStringLiteral("\\d\\folder"));
  MakeFile(QStringLiteral("\\d\\ro.enc"), "read-only");
  ASSERT_TRUE(QFile::setPermissions(Host(QStringLiteral("\\d\\ro.enc")), QFile::ReadOwner));

  EXPECT_EQ(Encrypt(QStringLiteral("\\d\\missing.bin"), QStringLiteral("\\d\\m.enc")), eCryptoErrOpen);
  EXPECT_TRUE(trace_.contains("!!! Error opening the source file!"));
  EXPECT_EQ(Encrypt(QStringLiteral("\\d\\a.bin"), QStringLiteral("\\d\\nowhere\\a.enc")), eCryptoErrOpen);
  EXPECT_TRUE(trace_.contains("!!! Error opening the destination file!"));
  EXPECT_EQ(Encrypt(QStringLiteral("\\d\\a.bin"), QStringLiteral("\\d\\folder")), eCryptoErrOpen);
  EXPECT_EQ(Encrypt(QStringLiteral("\\d\\a.bin"), QStringLiteral("\\d\\ro.enc")), eCryptoErrOpen);
  EXPECT_EQ(ReadHost(QStringLiteral("\\d\\ro.enc")), QByteArray("read-only"));
  EXPECT_EQ(Names(), QStringList({"a.bin", "folder", "ro.enc"}));
  EXPECT_TRUE(QDir(Host(QStringLiteral("\\d\\folder"))).isEmpty());

  CCryptoSettings settings = Settings();
  ASSERT_TRUE(engine_.SetKey(settings));
  settings.dwEncType = 1;
  EXPECT_EQ(engine_.Encrypt(QStringLiteral("\\d\\a.bin"), QStringLiteral("\\d\\a.enc"), settings),
            eCryptoErrSettingsType);
  settings.dwEncType = kEncTypeBlowfish;
  settings.dwAlgorithm = 1;
  EXPECT_EQ(engine_.Decrypt(QStringLiteral("\\d\\a.bin"), QStringLiteral("\\d\\a.enc"), settings),
            eCryptoErrSettingsAlgorithm);
  engine_.ReleaseKey();
  // Without a key not even an empty file is "encrypted".
  MakeFile(QStringLiteral("\\d\\empty"));
  EXPECT_EQ(engine_.Encrypt(QStringLiteral("\\d\\empty"), QStringLiteral("\\d\\e.enc"), Settings()),
            eCryptoErrCipher);
  EXPECT_EQ(Names(), QStringList({"a.bin", "empty", "folder", "ro.enc"}));
}

}  // namespace
