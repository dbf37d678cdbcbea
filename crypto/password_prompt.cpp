#include "crypto/password_prompt.h"

#include "core/message_box.h"
#include "crypto/blowfish.h"
#include "platform/system.h"

namespace crypto {
namespace {

// Checked at start-up, as the handheld program starts.
bool g_bDeleteSourceDefault = true;

bool IsEncrypt(ECryptDirection direction) { return direction == ECryptDirection::eEncrypt; }

}  // namespace

bool DeleteSourceDefault() { return g_bDeleteSourceDefault; }
void SetDeleteSourceDefault(bool bDelete) { g_bDeleteSourceDefault = bDelete; }

QString PasswordDialogCaption(ECryptDirection direction) {
  return IsEncrypt(direction) ? QStringLiteral("Encrypt File") : QStringLiteral("Decrypt File");
}

QString CryptTitle(ECryptDirection direction) {
  return IsEncrypt(direction) ? QStringLiteral("File encryption")   // 55129
                              : QStringLiteral("File decryption");  // 55130
}

QString PasswordDialogHeading(ECryptDirection direction) {
  return IsEncrypt(direction) ? QStringLiteral("File encryption password")   // 55208
                              : QStringLiteral("File decryption password");  // 55209
}

QString DeleteSourceLabel(ECryptDirection direction) {
  return IsEncrypt(direction) ? QStringLiteral("Delete source file after encryption")
                              : QStringLiteral("Delete after decryption");
}

QString PasswordFieldLabel() { return QStringLiteral("Password:"); }
QString ConfirmFieldLabel() { return QStringLiteral("Confirm password:"); }
QString PasswordsTitle() { return QStringLiteral("Passwords"); }  // 55161

QString PasswordRuleMessage(ECryptDirection direction, const QString& strPassword,
                            const QString& strConfirm) {
  if (IsEncrypt(direction) && strPassword != strConfirm)
    return QStringLiteral("The passwords you entered do not match.");  // 55160
  if (strPassword.size() < kDialogPasswordMinChars)
    return QStringLiteral("Password is too short. Enter minimum %1 symbols.")  // 55162
        .arg(kDialogPasswordMinChars);
  // A longer password could never have been given a key, so decrypting with it is refused
  // here rather than by the engine.
  if (strPassword.size() > kDialogPasswordMaxChars)
    return QStringLiteral("Password is too long. Enter maximum %1 symbols.")  // 55163
        .arg(kDialogPasswordMaxChars);
  // Every byte of the password reaches the key schedule, which takes at most 72.
  if (std::size_t(plat::ToAnsi(strPassword).size()) > kBlowfishMaxKeyBytes)
    return QStringLiteral("The password takes more than %1 bytes in the system's character "
                          "set. Enter fewer or simpler characters.")
        .arg(kBlowfishMaxKeyBytes);
  return {};
}

bool AcceptPasswordEntries(ECryptDirection direction, const QString& strPassword,
                           const QString& strConfirm) {
  const QString message = PasswordRuleMessage(direction, strPassword, strConfirm);
  if (message.isEmpty()) return true;
  MsgWarning(message, PasswordsTitle(), QString());
  return false;
}

}  // namespace crypto
