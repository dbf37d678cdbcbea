#pragma once
// The encrypt and decrypt commands of the file list: ask for a password, run the engine
// (crypto/enc_engine.h) on each file inside a progress window (fileops/progress.h), report the
// outcome through the message box service, tell the views about the new file and, when the
// user asked for it, delete the source.
//
// Guarantees:
// - The output of a file ("a.txt" -> "a.txt.enc", "a.txt.enc" -> "a.txt") appears only when it
//   is complete, checked and on stable storage; a failed, cancelled or wrong-password run
//   leaves none, and an existing file of that name exactly as it was.
// - A source is deleted only after its output was put in place and its folder's entries were
//   flushed; a source that cannot be deleted stays, silently.
// - Decrypting a file whose name does not end in ".enc" is refused before anything is opened
//   for writing; a source of 4 GiB or more is refused before anything is written.
// - Cancel stops between two chunks and is never reported as an error.
//
// Everything runs on the user-interface thread. The front-ends call the functions below with
// full device paths and their own password prompt.

#include <QString>

#include "crypto/password_prompt.h"
#include "core/selection.h"

namespace crypto {

// Results of the selection commands.
enum ECryptCmdResult : int {
  eCryptCmdOK = 0,
  eCryptCmdFailed = 1,      // at least one file was refused or failed (a box said why)
  eCryptCmdNothing = 2,     // the selection held nothing to work on
  eCryptCmdDeclined = 11,   // the password dialog was cancelled: nothing was touched
  eCryptCmdCancelled = 12,  // cancelled in the progress window
};

// "a.txt" -> "a.txt.enc".
QString EncryptedName(const QString& strPath);
// The decrypted name: the path without ".enc" (any case) when the name is longer than those
// four characters, else an empty text (such a file is refused).
QString DecryptedName(const QString& strPath);
// True when the name ends in ".enc", ignoring case: activating it decrypts it.
bool IsEncryptedFileName(const QString& strPath);

// One file, in its own single-item progress window. True when it was encrypted / decrypted.
bool EncryptFileCommand(const QString& strPath, IPasswordPrompt& prompt);
bool DecryptFileCommand(const QString& strPath, IPasswordPrompt& prompt);

// The activation of a file: a ".enc" file is decrypted (DecryptFileCommand) and true is
// returned (the activation was handled, whatever the outcome); for any other file false, and
// nothing is done.
bool OpenEncryptedFile(const QString& strPath, IPasswordPrompt& prompt);

// A selection with one password; an ECryptCmdResult. Exactly one file is handled as
// EncryptFileCommand does it; otherwise the files and the folder trees (walked without
// following links) are encrypted one by one, each as EncryptFileCommand does, in one
// multi-item window. An empty selection, or one without any file, asks for nothing.
int EncryptItemsCommand(const fileops::CSelection& selection, IPasswordPrompt& prompt);
// Exactly one file goes to DecryptFileCommand; a folder or several items are decrypted in one
// multi-item window with one password: every selected file, and every ".enc" file inside the
// selected folders. An empty selection does nothing.
int DecryptItemsCommand(const fileops::CSelection& selection, IPasswordPrompt& prompt);

}  // namespace crypto
