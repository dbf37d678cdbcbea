// Throughput of the ".enc" engine against OpenSSL's Blowfish-ECB on the same 256 MiB file in the
// same run. The engine's figures include its flush of the output to stable storage; OpenSSL's
// are given without and with an fsync of its output afterwards.
//
// Usage: bench_enc [MiB]   (default 256; the data lives in a temporary folder)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "crypto/blowfish.h"
#include "crypto/enc_engine.h"
#include "platform/device_root.h"

namespace {

constexpr int kRounds = 2;  // every figure is the best of this many runs

double MiBPerSecond(qint64 bytes, qint64 nanoseconds) {
  return nanoseconds <= 0 ? 0.0 : (double(bytes) / (1024.0 * 1024.0)) / (double(nanoseconds) / 1e9);
}

bool WriteRandomFile(const QString& path, qint64 bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QByteArray block(1 << 20, Qt::Uninitialized);
  QRandomGenerator random(12345);
  for (qint64 done = 0; done < bytes; done += block.size()) {
    random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
    const qint64 part = std::min<qint64>(block.size(), bytes - done);
    if (file.write(block.constData(), part) != part) return false;
  }
  return true;
}

bool SameContent(const QString& a, const QString& b) {
  QFile fa(a);
  QFile fb(b);
  if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
  if (fa.size() != fb.size()) return false;
  while (!fa.atEnd()) {
    if (fa.read(1 << 20) != fb.read(1 << 20)) return false;
  }
  return true;
}

bool FsyncFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// Runs openssl once over `in`; returns the elapsed nanoseconds, or -1.
qint64 RunOpenSsl(const QString& in, const QString& out, bool withFsync) {
  QProcess openssl;
  QElapsedTimer timer;
  timer.start();
  openssl.start("openssl", {"enc", "-provider", "legacy", "-provider", "default", "-bf-ecb",
                            "-nopad", "-K", "0123456789abcdef0123456789abcdef", "-in", in, "-out",
                            out});
  if (!openssl.waitForFinished(600000) || openssl.exitCode() != 0) {
    std::fprintf(stderr, "openssl failed: %s\n", openssl.readAllStandardError().constData());
    return -1;
  }
  if (withFsync && !FsyncFile(out)) return -1;
  return timer.nsecsElapsed();
}

// The cipher alone over one 4096-byte buffer, as many times as the file has chunks.
qint64 TimeCipherOnly(const crypto::CBlowfish& cipher, qint64 bytes) {
  alignas(64) BYTE buffer[4096];
  std::memset(buffer, 0x5A, sizeof(buffer));
  QElapsedTimer timer;
  timer.start();
  for (qint64 done = 0; done < bytes; done += sizeof(buffer)) cipher.EncryptBuffer(buffer, sizeof(buffer));
  const qint64 elapsed = timer.nsecsElapsed();
  volatile BYTE sink = buffer[7];
  (void)sink;
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qint64 mib = argc > 1 ? std::max(1, std::atoi(argv[1])) : 256;
  const qint64 bytes = mib << 20;

  QTemporaryDir dir;
  QString error;
  if (!dir.isValid() || !plat::CDeviceRoot::Open(dir.path(), &error)) {
    std::fprintf(stderr, "no temporary device root: %s\n", qPrintable(error));
    return 1;
  }
  if (!WriteRandomFile(dir.filePath("plain.bin"), bytes)) {
    std::fprintf(stderr, "could not write the test data in %s\n", qPrintable(dir.path()));
    return 1;
  }

  crypto::CCryptoEngine engine;
  crypto::CCryptoSettings settings;
  settings.strPassword = QStringLiteral("0123456789abcdef");
  if (!engine.SetKey(settings)) return 1;

  qint64 bestEncrypt = -1, bestDecrypt = -1, bestSsl = -1, bestSslSync = -1;
  auto keepBest = [](qint64& best, qint64 t) { best = best < 0 ? t : std::min(best, t); };
  for (int round = 0; round < kRounds; ++round) {
    QElapsedTimer timer;
    timer.start();
    if (DWORD code = engine.Encrypt("\\plain.bin", "\\plain.bin.enc", settings)) {
      std::fprintf(stderr, "Encrypt failed with %u\n", code);
      return 1;
    }
    keepBest(bestEncrypt, timer.nsecsElapsed());

    timer.restart();
    if (DWORD code = engine.Decrypt("\\plain.bin.enc", "\\plain.out", settings)) {
      std::fprintf(stderr, "Decrypt failed with %u\n", code);
      return 1;
    }
    keepBest(bestDecrypt, timer.nsecsElapsed());

    const qint64 ssl = RunOpenSsl(dir.filePath("plain.bin"), dir.filePath("ssl.out"), false);
    const qint64 sslSync = RunOpenSsl(dir.filePath("plain.bin"), dir.filePath("ssl.out"), true);
    if (ssl < 0 || sslSync < 0) return 1;
    keepBest(bestSsl, ssl);
    keepBest(bestSslSync, sslSync);
  }
  if (!SameContent(dir.filePath("plain.bin"), dir.filePath("plain.out"))) {
    std::fprintf(stderr, "the round trip did not restore the data\n");
    return 1;
  }

  crypto::CBlowfish cipher;
  cipher.SetKey(reinterpret_cast<const BYTE*>("0123456789abcdef"), 16);
  qint64 bestCipher = -1;
  for (int round = 0; round < kRounds; ++round) keepBest(bestCipher, TimeCipherOnly(cipher, bytes));

  const double enc = MiBPerSecond(bytes, bestEncrypt);
  const double dec = MiBPerSecond(bytes, bestDecrypt);
  const double ssl = MiBPerSecond(bytes, bestSsl);
  const double sslSync = MiBPerSecond(bytes, bestSslSync);
  std::printf("bench_enc: %lld MiB, best of %d runs\n", static_cast<long long>(mib), kRounds);
  std::printf("  engine Encrypt (file to file, flushed)      %8.1f MiB/s\n", enc);
  std::printf("  engine Decrypt (file to file, flushed)      %8.1f MiB/s\n", dec);
  std::printf("  openssl enc -bf-ecb (file to file)          %8.1f MiB/s\n", ssl);
  std::printf("  openssl enc -bf-ecb, then fsync             %8.1f MiB/s\n", sslSync);
  std::printf("  Blowfish cipher alone, 4096-byte buffers    %8.1f MiB/s\n",
              MiBPerSecond(bytes, bestCipher));
  std::printf("  ratio Encrypt / openssl: %.2f (with fsync: %.2f)\n", enc / ssl, enc / sslSync);
  std::printf("  ratio Decrypt / openssl: %.2f (with fsync: %.2f)\n", dec / ssl, dec / sslSync);
  return 0;
}
