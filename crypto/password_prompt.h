#pragma once
// How the encrypt and decrypt commands ask for a password, and the rules every front-end
// applies to what the user typed.
//
// The commands never draw: they ask an IPasswordPrompt. The desktop implements it with its
// password dialogs (ui/enc_dialogs.h), pinbro-cli with --password-file or a question without
// echo on the terminal, the tests with a scripted prompt. All of them check the entries with
// AcceptPasswordEntries when the user confirms, so the rules, their messages and the emptied
// fields are the same everywhere.

#include <QString>

namespace crypto {

enum class ECryptDirection {
  eEncrypt,
  eDecrypt,
};

// Lengths the password dialogs accept, in characters.
constexpr int kDialogPasswordMinChars = 6;
constexpr int kDialogPasswordMaxChars = 40;

// What a confirmed password dialog returns.
struct CPasswordChoice {
  QString strPassword;
  bool bDeleteSource = true;  // the "Delete ..." check box
};

// The program-wide flag the dialogs' delete check boxes start from: set at start-up, and
// afterwards the choice of the last confirmed dialog. User-interface thread only.
bool DeleteSourceDefault();
void SetDeleteSourceDefault(bool bDelete);

// Texts of the dialogs.
QString PasswordDialogCaption(ECryptDirection direction);  // "Encrypt File", "Decrypt File"
QString CryptTitle(ECryptDirection direction);             // "File encryption" (55129),
                                                           // "File decryption" (55130)
QString PasswordDialogHeading(ECryptDirection direction);  // 55208, 55209
QString DeleteSourceLabel(ECryptDirection direction);      // the check box's text
QString PasswordFieldLabel();                              // "Password:"
QString ConfirmFieldLabel();                               // "Confirm password:"
QString PasswordsTitle();                                  // "Passwords" (55161)

// The message of the first rule the entries break, or an empty text when they pass: for
// encryption the two entries equal (exactly, strConfirm is not looked at for decryption); then
// 6 to 40 characters, taking at most 72 bytes in the ANSI code page (what the key setup can
// use; a longer password could never have made a key, so decryption refuses it too).
QString PasswordRuleMessage(ECryptDirection direction, const QString& strPassword,
                            const QString& strConfirm);

// What a front-end calls when the user confirms the entries: true when they pass the rules;
// otherwise the rule's message is shown as a warning titled "Passwords" and false is returned,
// and the front-end empties both fields and asks again.
bool AcceptPasswordEntries(ECryptDirection direction, const QString& strPassword,
                           const QString& strConfirm);

class IPasswordPrompt {
 public:
  virtual ~IPasswordPrompt() = default;
  // Asks for the password of one encryption or decryption (one file, or a whole selection).
  // True with *pChoice filled once entries that pass the rules were confirmed; false when the
  // user cancelled. Called on the user-interface thread.
  virtual bool AskPassword(ECryptDirection direction, CPasswordChoice* pChoice) = 0;
};

}  // namespace crypto
