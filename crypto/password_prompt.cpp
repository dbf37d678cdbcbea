#include "crypto/password_prompt.h"

#include "core/message_box.h"
#include "core/texts.h"
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
  return core::Text(IsEncrypt(direction) ? 900308 : 900309);
}

QString CryptTitle(ECryptDirection direction) {
  return core::Text(IsEncrypt(direction) ? 55129 : 55130);
}

QString PasswordDialogHeading(ECryptDirection direction) {
  return core::Text(IsEncrypt(direction) ? 55208 : 55209);
}

QString DeleteSourceLabel(ECryptDirection direction) {
  return core::Text(IsEncrypt(direction) ? 900310 : 900311);
}

QString PasswordFieldLabel() { return core::Text(900312); }
QString ConfirmFieldLabel() { return core::Text(900313); }
QString PasswordsTitle() { return core::Text(55161); }

QString PasswordRuleMessage(ECryptDirection direction, const QString& strPassword,
                            const QString& strConfirm) {
  if (IsEncrypt(direction) && strPassword != strConfirm)
    return core::Text(55160);
  if (strPassword.size() < kDialogPasswordMinChars)
    return core::Text(55162).arg(kDialogPasswordMinChars);
  // A longer password could never have been given a key, so decrypting with it is refused
  // here rather than by the engine.
  if (strPassword.size() > kDialogPasswordMaxChars)
    return core::Text(55163).arg(kDialogPasswordMaxChars);
  // Every byte of the password reaches the key schedule, which takes at most 72.
  if (std::size_t(plat::ToAnsi(strPassword).size()) > kBlowfishMaxKeyBytes)
    return core::Text(900314).arg(kBlowfishMaxKeyBytes);
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
