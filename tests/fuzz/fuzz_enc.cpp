// The ".enc" reader. The input is taken twice:
//   - as an encrypted file: Decrypt either succeeds with an output of exactly the header's plain
//     size, or fails leaving no output and nothing else behind in the folder;
//   - as plain data: Encrypt then Decrypt gives the same bytes back, and the encrypted file is
//     a header and the body rounded up to whole cipher blocks.
#include <cstdint>

#include <QFileInfo>

#include "crypto/enc_engine.h"
#include "crypto/enc_format.h"
#include "fuzz_support.h"

namespace {

const QString kIn = QStringLiteral("\\in.enc");
const QString kOut = QStringLiteral("\\out.txt");
const QString kPlain = QStringLiteral("\\plain.txt");
const QString kSealed = QStringLiteral("\\plain.txt.enc");
const QString kBack = QStringLiteral("\\back.txt");

crypto::CCryptoSettings Settings() {
  crypto::CCryptoSettings settings;
  settings.strPassword = QStringLiteral("fuzzing-password");
  return settings;
}

void DecryptInput(const QByteArray& input) {
  fuzz::WriteFile(kIn, input);
  crypto::CCryptoEngine engine;
  const crypto::CCryptoSettings settings = Settings();
  FUZZ_CHECK(engine.SetKey(settings));
  const DWORD code = engine.Decrypt(kIn, kOut, settings);
  engine.ReleaseKey();
  if (code == crypto::eCryptoErrNone) {
    const crypto::CEncHeader header =
        crypto::LoadEncHeader(reinterpret_cast<const BYTE*>(input.constData()));
    FUZZ_CHECK(QFileInfo(fuzz::HostPath(kOut)).size() == qint64(header.plainSize));
    FUZZ_CHECK(fuzz::Names(QStringLiteral("\\")) == QStringList({"in.enc", "out.txt"}));
  } else {
    FUZZ_CHECK(fuzz::Names(QStringLiteral("\\")) == QStringList({"in.enc"}));
  }
  fuzz::EmptyFolder(QStringLiteral("\\"));
}

void RoundTrip(const QByteArray& input) {
  fuzz::WriteFile(kPlain, input);
  crypto::CCryptoEngine engine;
  const crypto::CCryptoSettings settings = Settings();
  FUZZ_CHECK(engine.SetKey(settings));
  FUZZ_CHECK(engine.Encrypt(kPlain, kSealed, settings) == crypto::eCryptoErrNone);
  const qint64 body = (input.size() + 7) / 8 * 8;
  FUZZ_CHECK(QFileInfo(fuzz::HostPath(kSealed)).size() == crypto::kEncHeaderSize + body);
  FUZZ_CHECK(engine.Decrypt(kSealed, kBack, settings) == crypto::eCryptoErrNone);
  engine.ReleaseKey();
  QFile back(fuzz::HostPath(kBack));
  FUZZ_CHECK(back.open(QIODevice::ReadOnly) && back.readAll() == input);
  fuzz::EmptyFolder(QStringLiteral("\\"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  const QByteArray input = fuzz::Bytes(data, size);
  DecryptInput(input);
  RoundTrip(input);
  return 0;
}
