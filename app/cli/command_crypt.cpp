// pinbro-cli encrypt FILE... [--keep] and decrypt FILE... [--keep]: the encrypt and decrypt
// commands of the file list on a selection of existing paths (folders too), with one password:
// the first line of --password-file, or asked without echo on the terminal. The sources are
// deleted unless --keep is given. The rules of the password dialogs apply; a password file
// that breaks one is refused, a password typed on the terminal is asked again.
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <termios.h>
#include <unistd.h>

#include "app/cli/cli_context.h"
#include "app/cli/cli_selection.h"
#include "app/cli/terminal_progress.h"
#include "crypto/enc_commands.h"
#include "crypto/password_prompt.h"
#include "core/selection.h"

namespace cli {
namespace {

// One line of standard input without its line end; false at the end of input. With bHide the
// terminal does not echo what is typed.
bool ReadSecretLine(bool bHide, QString* pLine) {
  termios saved{};
  const bool bEchoOff = bHide && tcgetattr(STDIN_FILENO, &saved) == 0;
  if (bEchoOff) {
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  char* buffer = nullptr;
  size_t capacity = 0;
  const ssize_t length = ::getline(&buffer, &capacity, stdin);
  if (bEchoOff) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);  // the Enter that was not echoed
  }
  QByteArray bytes = length > 0 ? QByteArray(buffer, length) : QByteArray();
  if (buffer) {
    std::memset(buffer, 0, capacity);
    std::free(buffer);
  }
  if (length < 0) return false;
  while (bytes.endsWith('\n') || bytes.endsWith('\r')) bytes.chop(1);
  *pLine = QString::fromLocal8Bit(bytes);
  bytes.fill('\0');
  return true;
}

class CTerminalPasswordPrompt : public crypto::IPasswordPrompt {
 public:
  CTerminalPasswordPrompt(const QString& strPasswordFile, bool bKeep, QTextStream& err)
      : passwordFile_(strPasswordFile), keep_(bKeep), err_(err) {}

  bool AskPassword(crypto::ECryptDirection direction, crypto::CPasswordChoice* pChoice) override {
    QString password;
    const bool bGiven = passwordFile_.isEmpty() ? AskOnTerminal(direction, &password)
                                                : ReadPasswordFile(direction, &password);
    if (!bGiven) return false;
    pChoice->strPassword = password;
    pChoice->bDeleteSource = !keep_;
    return true;
  }

 private:
  bool ReadPasswordFile(crypto::ECryptDirection direction, QString* pPassword) {
    QFile file(passwordFile_);
    if (!file.open(QIODevice::ReadOnly)) {
      err_ << "pinbro-cli: Could not read the password file " << passwordFile_ << ": "
           << file.errorString() << "\n";
      return false;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    *pPassword = QString::fromLocal8Bit(line);
    line.fill('\0');
    err_.flush();
    return crypto::AcceptPasswordEntries(direction, *pPassword, *pPassword);
  }

  // Asks until the entries pass the rules; a refused entry is asked again on a terminal only.
  // Without a terminal the first line of standard input is the password, unconfirmed.
  bool AskOnTerminal(crypto::ECryptDirection direction, QString* pPassword) {
    const bool bTerminal = isatty(STDIN_FILENO) != 0;
    const bool bConfirm = bTerminal && direction == crypto::ECryptDirection::eEncrypt;
    for (;;) {
      QString confirm;
      if (!Ask(crypto::PasswordFieldLabel(), bTerminal, pPassword)) return false;
      if (bConfirm && !Ask(crypto::ConfirmFieldLabel(), bTerminal, &confirm)) return false;
      if (!bConfirm) confirm = *pPassword;
      if (crypto::AcceptPasswordEntries(direction, *pPassword, confirm)) return true;
      if (!bTerminal) return false;
    }
  }

  bool Ask(const QString& strLabel, bool bTerminal, QString* pLine) {
    BreakProgressLine();
    if (bTerminal) {
      err_ << strLabel << " ";
      err_.flush();
    }
    return ReadSecretLine(bTerminal, pLine);
  }

  QString passwordFile_;
  bool keep_;
  QTextStream& err_;
};

int RunCrypt(CCliContext& ctx, crypto::ECryptDirection direction) {
  const bool bEncrypt = direction == crypto::ECryptDirection::eEncrypt;
  const char* word = bEncrypt ? "encrypt" : "decrypt";
  QStringList paths = ctx.args;
  const bool bKeep = paths.removeAll(QStringLiteral("--keep")) > 0;
  if (paths.isEmpty() || paths.first().startsWith(QLatin1String("--"))) {
    ctx.err << "usage: pinbro-cli " << word << " FILE... [--keep]\n";
    return kExitUsage;
  }
  fileops::CSelection selection;
  const int nRead = ReadSelection(ctx, paths, word, &selection);
  if (nRead != kExitOk) return nRead;
  CTerminalPasswordPrompt prompt(ctx.options.passwordFile, bKeep, ctx.err);
  const int result = bEncrypt ? crypto::EncryptItemsCommand(selection, prompt)
                              : crypto::DecryptItemsCommand(selection, prompt);
  if (result == crypto::eCryptCmdDeclined)
    ctx.err << "pinbro-cli: No password was given; nothing was " << word << "ed.\n";
  return result == crypto::eCryptCmdOK ? kExitOk : kExitFailed;
}

}  // namespace

int RunEncryptCommand(CCliContext& ctx) {
  return RunCrypt(ctx, crypto::ECryptDirection::eEncrypt);
}
int RunDecryptCommand(CCliContext& ctx) {
  return RunCrypt(ctx, crypto::ECryptDirection::eDecrypt);
}

}  // namespace cli
