// Shortcut files ("<length>#<command line>") from the input: its first byte gives maxChars, the
// rest is the file. The reader returns at most maxChars - 1 characters, never more than the
// stored length, and a shortcut the program writes reads back as the command line it was given.
#include <cstdint>

#include "fuzz_support.h"
#include "platform/shell.h"

namespace {

const QString kShortcut = QStringLiteral("\\link.lnk");
const QString kMade = QStringLiteral("\\made.lnk");

void ReadInput(const QByteArray& input, int maxChars) {
  fuzz::WriteFile(kShortcut, input);
  QString target;
  if (plat::SHGetShortcutTarget(kShortcut, &target, maxChars)) {
    FUZZ_CHECK(target.size() <= maxChars - 1);
    const qsizetype hash = input.indexOf('#');
    FUZZ_CHECK(hash > 0 && target.size() <= input.left(hash).toLongLong());
  }
}

// The input's text as the target of a new shortcut (the reader cuts at MAX_PATH - 1).
void WriteAndRead(const QByteArray& input) {
  const QString command = QString::fromLatin1(input).left(MAX_PATH - 1);
  FUZZ_CHECK(plat::SHCreateShortcut(kMade, command));
  QString target;
  FUZZ_CHECK(plat::SHGetShortcutTarget(kMade, &target) && target == command);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  const QByteArray input = fuzz::Bytes(data, size);
  const int maxChars = input.isEmpty() ? MAX_PATH : static_cast<uint8_t>(input.at(0)) - 8;
  ReadInput(input.mid(1), maxChars);
  WriteAndRead(input);
  fuzz::EmptyFolder(QStringLiteral("\\"));
  return 0;
}
