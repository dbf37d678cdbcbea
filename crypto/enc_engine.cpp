#include "crypto/enc_engine.h"

#include <cstring>
#include <new>

#include "crypto/blowfish.h"
#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/system.h"

namespace crypto {

namespace {

constexpr DWORD kCallbackStop = 1;
// The header's plain size is a 32-bit word.
constexpr quint64 kMaxPlainSize = 0xFFFFFFFFull;

QString ReasonText(DWORD error) {
  QString text = plat::SystemMessage(error).trimmed();
  if (text.isEmpty()) text = QStringLiteral("error %1").arg(error);
  return text;
}

// Fills the buffer up to `count` bytes unless the file ends first.
bool ReadFull(plat::CHostFile& file, BYTE* buffer, DWORD count, DWORD* got) {
  *got = 0;
  while (*got < count) {
    DWORD read = 0;
    if (!file.Read(buffer + *got, count - *got, &read)) return false;
    if (read == 0) break;
    *got += read;
  }
  return true;
}

bool WriteAll(plat::CHostFile& file, const BYTE* data, DWORD count) {
  DWORD written = 0;
  return file.Write(data, count, &written) && written == count;
}

// One Encrypt or Decrypt: the two open files, the output under its temporary name, and the
// clean-up of a run that does not reach Commit (both closed, the temporary output deleted).
class CCryptoRun {
 public:
  CCryptoRun(const CCryptoSettings& settings, const QString& strSource,
             const QString& strDestination)
      : settings_(settings), source_(strSource), destination_(strDestination) {}

  // The output of a run that did not reach Commit goes with out_.
  ~CCryptoRun() { src_.Close(); }

  void Trace(const QString& line) const {
    if (settings_.fnTrace) settings_.fnTrace(line);
  }

  // A failure: its step line, then the host's reason when there is one.
  DWORD Fail(DWORD code, const QString& line, bool withReason = true) const {
    const DWORD error = plat::GetLastError();
    Trace(line);
    if (withReason && error != ERROR_SUCCESS) Trace(QStringLiteral("  %1").arg(ReasonText(error)));
    return code;
  }

  // False when the callback asks to stop (the stop is traced).
  bool Notify(DWORD event, DWORD value) const {
    if (!settings_.fnCallback) return true;
    if (settings_.fnCallback(event, value, 0, settings_.dwUserData) != kCallbackStop) return true;
    Trace(QStringLiteral("  recieved callback stop..."));
    Trace(QStringLiteral("leave."));
    return false;
  }

  // Reports an event whose answer does not matter.
  void Inform(DWORD event) const {
    if (settings_.fnCallback) settings_.fnCallback(event, 0, 0, settings_.dwUserData);
  }

  DWORD OpenSource() {
    plat::SetLastError(ERROR_SUCCESS);
    if (!src_.Open(source_, plat::GENERIC_READ, plat::OPEN_EXISTING))
      return Fail(eCryptoErrOpen, QStringLiteral("!!! Error opening the source file!"));
    return eCryptoErrNone;
  }

  // Creates the output, which takes the destination's name only when it is complete. Refuses
  // what the handheld could not create either (a folder, a read-only file) and the source
  // itself, which would be replaced by its own output.
  DWORD OpenDestination() {
    const QString failed = QStringLiteral("!!! Error opening the destination file!");
    plat::SetLastError(ERROR_SUCCESS);
    QString source;
    QString destination;
    if (!plat::CDeviceRoot::Canonical(source_, &source) ||
        !plat::CDeviceRoot::Canonical(destination_, &destination))
      return Fail(eCryptoErrOpen, failed);
    if (source.compare(destination, Qt::CaseInsensitive) == 0) {
      Trace(failed);
      Trace(QStringLiteral("  The destination is the source file."));
      return eCryptoErrOpen;
    }
    const DWORD attributes = plat::GetFileAttributes(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
      plat::SetLastError(ERROR_ACCESS_DENIED);
      return Fail(eCryptoErrOpen, failed);
    }
    destination_ = destination;
    if (!out_.Create(destination, attributes != INVALID_FILE_ATTRIBUTES))
      return Fail(eCryptoErrOpen, failed);
    return eCryptoErrNone;
  }

  // Flushes the output, which is then complete; the source is closed. Both are reported
  // as closed (the output's descriptor closes when it is put in place).
  DWORD FinishFiles() {
    if (!out_.File().Flush())
      return Fail(eCryptoErrWrite, QStringLiteral("!!! Error flushing the destination file!"));
    src_.Close();
    Inform(eSourceClosed);
    Inform(eDstClosed);
    return eCryptoErrNone;
  }

  // Puts the finished output in the destination's place.
  DWORD Commit() {
    if (!out_.Commit(false, false))
      return Fail(eCryptoErrWrite, QStringLiteral("!!! Error moving the output to %1!")
                                       .arg(destination_));
    return eCryptoErrNone;
  }

  void TraceStart(const char* direction, const char* kind) const {
    Trace(QString::fromLatin1(direction) + u':');
    Trace(QStringLiteral("Source file: %1").arg(source_));
    Trace(QStringLiteral("Destination file: %1").arg(destination_));
    Trace(QStringLiteral("%1 type: %2").arg(QLatin1String(kind)).arg(settings_.dwEncType));
    Trace(QStringLiteral("%1 algorithm: %2").arg(QLatin1String(kind)).arg(settings_.dwAlgorithm));
    Trace(QStringLiteral("Provider name: %1").arg(settings_.strProvider));
    // The password is deliberately never written.
  }

  plat::CHostFile& Source() { return src_; }
  plat::CHostFile& Output() { return out_.File(); }

 private:
  const CCryptoSettings& settings_;
  QString source_;
  QString destination_;
  plat::CHostFile src_;
  plat::COutputFile out_;  // declared after src_: discarded before the source closes
};

// The 4096-byte chunk buffer, allocated once per run.
std::unique_ptr<BYTE[]> AllocateChunk() {
  return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[kEncChunkSize]);
}

DWORD EncryptBody(CCryptoRun& run, const CBlowfish& cipher, BYTE* buffer, DWORD plainSize,
                  DWORD* checkValue) {
  quint64 total = 0;
  for (;;) {
    DWORD count = 0;
    if (!ReadFull(run.Source(), buffer, kEncChunkSize, &count))
      return run.Fail(eCryptoErrRead, QStringLiteral("!!! Error reading the buffer!"));
    if (!run.Notify(eReadNodeOK, count)) return eCryptoErrStopped;
    total += count;
    if (count == 0) {
      // A source that grew or shrank while it was read would give a file whose size word
      // and check value disagree with its body: it could never be decrypted.
      if (total != plainSize)
        return run.Fail(eCryptoErrRead,
                        QStringLiteral("!!! Error: the source file changed while it was read!"),
                        false);
      return run.Notify(eWriteNodeOK, 0) ? eCryptoErrNone : eCryptoErrStopped;
    }

    *checkValue = UpdateCheckValue(*checkValue, buffer, count);
    const DWORD padded = (count + kBlowfishBlockSize - 1) / kBlowfishBlockSize * kBlowfishBlockSize;
    std::memset(buffer + count, 0, padded - count);
    if (!cipher.EncryptBuffer(buffer, padded))
      return run.Fail(eCryptoErrCipher, QStringLiteral("!!! Error encrypting the buffer!"), false);
    if (!WriteAll(run.Output(), buffer, padded))
      return run.Fail(eCryptoErrWrite, QStringLiteral("!!! Error write the buffer!"));
    if (!run.Notify(eWriteNodeOK, padded)) return eCryptoErrStopped;
  }
}

DWORD DecryptBody(CCryptoRun& run, const CBlowfish& cipher, BYTE* buffer, DWORD plainSize,
                  DWORD* checkValue) {
  quint64 total = 0;
  for (;;) {
    DWORD count = 0;
    if (!ReadFull(run.Source(), buffer, kEncChunkSize, &count))
      return run.Fail(eCryptoErrRead, QStringLiteral("!!! Error reading the buffer!"));
    if (!run.Notify(eReadNodeOK, count)) return eCryptoErrStopped;
    if (count == 0) return run.Notify(eWriteNodeOK, 0) ? eCryptoErrNone : eCryptoErrStopped;

    if (!cipher.DecryptBuffer(buffer, count))
      return run.Fail(eCryptoErrCipher, QStringLiteral("!!! Error decrypt the buffer!"), false);
    // Padding and anything beyond the plain size is dropped.
    const DWORD keep = total + count > plainSize ? DWORD(plainSize - total) : count;
    total += keep;
    *checkValue = UpdateCheckValue(*checkValue, buffer, keep);
    if (keep != 0 && !WriteAll(run.Output(), buffer, keep))
      return run.Fail(eCryptoErrWrite, QStringLiteral("!!! Error write the buffer!"));
    if (!run.Notify(eWriteNodeOK, keep)) return eCryptoErrStopped;
  }
}

DWORD RunEncrypt(CCryptoRun& run, const CBlowfish& cipher) {
  if (DWORD code = run.OpenSource()) return code;
  if (!run.Notify(eOpenSourceOK, 0)) return eCryptoErrStopped;
  if (DWORD code = run.OpenDestination()) return code;
  if (!run.Notify(eOpenDstOK, 0)) return eCryptoErrStopped;

  quint64 size = 0;
  if (!run.Source().GetSize(&size))
    return run.Fail(eCryptoErrFileSize, QStringLiteral("!!! Error get the file size!"));
  if (size > kMaxPlainSize)
    return run.Fail(eCryptoErrTooLarge,
                    QStringLiteral("!!! Error: the file is too large to encrypt (%1 bytes, "
                                   "4 GiB or more)!")
                        .arg(size),
                    false);
  run.Trace(QStringLiteral("File size: %1, encryption buffer size: %2").arg(size).arg(kEncChunkSize));
  CEncHeader header;
  header.plainSize = DWORD(size);
  if (!run.Notify(ePrepareHeaderOK, header.plainSize)) return eCryptoErrStopped;

  BYTE headerBytes[kEncHeaderSize];
  StoreEncHeader(header, headerBytes);
  if (!WriteAll(run.Output(), headerBytes, kEncHeaderSize))
    return run.Fail(eCryptoErrWrite, QStringLiteral("!!! Error write the header!"));
  if (!run.Notify(eWriteHeaderOK, kEncHeaderSize)) return eCryptoErrStopped;

  std::unique_ptr<BYTE[]> buffer = AllocateChunk();
  if (!buffer) return run.Fail(eCryptoErrNoBuffer, QStringLiteral("!!! Error allocate the buffer!"), false);
  DWORD checkValue = kCheckValueStart;
  if (DWORD code = EncryptBody(run, cipher, buffer.get(), header.plainSize, &checkValue))
    return code;
  buffer.reset();
  if (!run.Notify(eProcessFileOK, 0)) return eCryptoErrStopped;

  run.Trace(QStringLiteral("write the header again"));
  header.checkValue = checkValue;
  StoreEncHeader(header, headerBytes);
  if (!run.Output().Seek(0, plat::FILE_BEGIN) ||
      !WriteAll(run.Output(), headerBytes, kEncHeaderSize))
    return run.Fail(eCryptoErrWrite, QStringLiteral("!!! Error write the header in the dest file!"));
  if (DWORD code = run.FinishFiles()) return code;
  return run.Commit();
}

// Reads and checks the header of an open source.
DWORD ReadHeader(CCryptoRun& run, CEncHeader* header) {
  quint64 size = 0;
  if (!run.Source().GetSize(&size))
    return run.Fail(eCryptoErrFileSize, QStringLiteral("!!! Error get the file size!"));
  if (size < kEncHeaderSize)
    return run.Fail(eCryptoErrBadHeader,
                    QStringLiteral("!!! Error: the file size is less than the header size!"), false);
  BYTE bytes[kEncHeaderSize];
  DWORD count = 0;
  if (!ReadFull(run.Source(), bytes, kEncHeaderSize, &count) || count != kEncHeaderSize)
    return run.Fail(eCryptoErrReadHeader, QStringLiteral("!!! Error reading the header!"));
  *header = LoadEncHeader(bytes);
  switch (CheckEncHeader(*header)) {
    case EEncHeaderCheck::eHeaderOK:
      // The body must be exactly the declared size in whole blocks: a size word that lies
      // would make the output padded, cut or huge, and trailing bytes belong to nothing.
      if (size != EncFileSizeFor(header->plainSize))
        return run.Fail(eCryptoErrBadHeader,
                        QStringLiteral("!!! Error: Invalid encrypted file (the body does not "
                                       "match the size in the header)!"),
                        false);
      return eCryptoErrNone;
    case EEncHeaderCheck::eHeaderBad:
      return run.Fail(eCryptoErrBadHeader,
                      QStringLiteral("!!! Error: Invalid encrypted file (bad header)!"), false);
    case EEncHeaderCheck::eHeaderBadType:
      return run.Fail(eCryptoErrHeaderType, QStringLiteral("!!! Error: Invalid crypt provider!"),
                      false);
    case EEncHeaderCheck::eHeaderBadAlgorithm:
      return run.Fail(eCryptoErrHeaderAlgorithm,
                      QStringLiteral("!!! Error: Invalid crypt algorithm!"), false);
  }
  return eCryptoErrBadHeader;
}

DWORD RunDecrypt(CCryptoRun& run, const CBlowfish& cipher) {
  if (DWORD code = run.OpenSource()) return code;
  if (!run.Notify(eOpenSourceOK, 0)) return eCryptoErrStopped;
  if (DWORD code = run.OpenDestination()) return code;
  if (!run.Notify(eOpenDstOK, 0)) return eCryptoErrStopped;

  CEncHeader header;
  if (DWORD code = ReadHeader(run, &header)) return code;
  if (!run.Notify(eCheckHeaderOK, header.plainSize)) return eCryptoErrStopped;

  std::unique_ptr<BYTE[]> buffer = AllocateChunk();
  if (!buffer) return run.Fail(eCryptoErrNoBuffer, QStringLiteral("!!! Error allocate the buffer!"), false);
  DWORD checkValue = kCheckValueStart;
  if (DWORD code = DecryptBody(run, cipher, buffer.get(), header.plainSize, &checkValue))
    return code;
  buffer.reset();
  if (!run.Notify(eProcessFileOK, 0)) return eCryptoErrStopped;

  // A body shorter than the plain size leaves a file that the check value then refuses.
  run.Trace(QStringLiteral("Truncate the destination file to %1 bytes").arg(header.plainSize));
  if (!run.Output().Seek(header.plainSize, plat::FILE_BEGIN) || !run.Output().SetEnd())
    return run.Fail(eCryptoErrWrite, QStringLiteral("!!! Error truncating the destination file!"));
  if (DWORD code = run.FinishFiles()) return code;
  if (checkValue != header.checkValue) {
    run.Trace(QStringLiteral("Different CRC32 - bad password!"));
    run.Trace(QStringLiteral("Delete the destination file!"));
    return eCryptoErrBadPassword;  // the run's clean-up deletes the output
  }
  return run.Commit();
}

// The checks both directions make before they touch a file.
DWORD CheckSettings(const CCryptoSettings& settings) {
  if (settings.dwEncType != kEncTypeBlowfish) return eCryptoErrSettingsType;
  if (settings.dwAlgorithm != kEncAlgorithmEcb) return eCryptoErrSettingsAlgorithm;
  return eCryptoErrNone;
}

}  // namespace

CCryptoEngine::CCryptoEngine() = default;

CCryptoEngine::~CCryptoEngine() { ReleaseKey(); }

CCryptoEngine& CCryptoEngine::Global() {
  static CCryptoEngine engine;
  return engine;
}

bool CCryptoEngine::SetKey(const CCryptoSettings& settings) {
  ReleaseKey();
  const qsizetype chars = settings.strPassword.size();
  if (chars < kPasswordMinChars || chars > kPasswordMaxChars) return false;
  QByteArray key = plat::ToAnsi(settings.strPassword);
  std::unique_ptr<CBlowfish> cipher(new (std::nothrow) CBlowfish);
  const bool keyed =
      cipher && cipher->SetKey(reinterpret_cast<const BYTE*>(key.constData()), key.size());
  key.fill('\0');
  if (keyed) cipher_ = std::move(cipher);
  return keyed;
}

void CCryptoEngine::ReleaseKey() {
  if (!cipher_) return;
  cipher_->Wipe();
  cipher_.reset();
}

DWORD CCryptoEngine::Encrypt(const QString& strSource, const QString& strDestination,
                             const CCryptoSettings& settings) {
  if (DWORD code = CheckSettings(settings)) return code;
  CCryptoRun run(settings, strSource, strDestination);
  run.TraceStart("Encryption", "Encryption");
  if (!cipher_) return run.Fail(eCryptoErrCipher, QStringLiteral("!!! Error: no key is set!"), false);
  const DWORD code = RunEncrypt(run, *cipher_);
  if (code == eCryptoErrNone) run.Trace(QStringLiteral("Return eCryptoErrNone."));
  return code;
}

DWORD CCryptoEngine::Decrypt(const QString& strSource, const QString& strDestination,
                             const CCryptoSettings& settings) {
  if (DWORD code = CheckSettings(settings)) return code;
  CCryptoRun run(settings, strSource, strDestination);
  run.TraceStart("Decryption", "Decryption");
  if (!cipher_) return run.Fail(eCryptoErrCipher, QStringLiteral("!!! Error: no key is set!"), false);
  const DWORD code = RunDecrypt(run, *cipher_);
  if (code == eCryptoErrNone) run.Trace(QStringLiteral("Return eCryptoErrNone."));
  return code;
}

}  // namespace crypto
