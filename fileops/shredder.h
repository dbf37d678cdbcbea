#pragma once
// The file shredder: overwrites files in place before it deletes them, optionally renames them
// 26 times so that their names are gone too, and removes whole folder trees. The same module
// holds the plain delete primitive that every other operation deletes files with.
//
// Durability: every overwrite pass is flushed to stable storage before the next pass and
// before the delete, so that the delete cannot overtake data still in the cache.
// Links: a symbolic link is never followed. Shredding a link (to a file or to a folder)
// deletes the link itself and leaves its target untouched; a folder walk never descends into
// a linked folder.
//
// Everything runs on the user-interface thread, inside a progress window (fileops/progress.h),
// and asks and reports through the message box service.

#include <QString>

#include <functional>

#include "core/selection.h"
#include "platform/wintypes.h"

namespace fileops {

// Result codes of the shredder.
enum EShredResult : int {
  eShredOK = 0,
  eShredNothing = 1,          // nothing was done
  eShredNoBackslash = 2,      // WipeFileName: the path holds no backslash
  eShredOpenFailed = 6,       // the file could not be opened for writing
  eShredWriteFailed = 7,      // an overwrite, its flush or the close failed; the file is kept
  eShredDeleteFailed = 8,     // the file could not be deleted
  eShredFolderFailed = 9,     // a folder could not be removed
  eShredRenameFailed = 11,    // a rename of WipeFileName failed
  eShredCancelled = 12,       // cancelled, or the confirmation was declined
  eShredBufferBusy = 13,      // the operation buffer is in use by another operation
};

// The shred options, read from the settings at the moment of use.
struct CShredOptions {
  bool bZeroFillOnly = true;  // SDelZeroFillOnly: one pass of zero bytes
  int nPasses = 1;            // SDelNumPasses: passes of three sub-passes (none when <= 0)
  bool bWipeNames = false;    // SDelFileNames: 26 renames before the delete

  static CShredOptions FromSettings();
  // How many bytes the passes write over a file of uSize bytes.
  quint64 BytesWritten(quint64 uSize) const;
};

// The delete primitive: a plain delete of one file (of a link itself, never its target).
// True when the file was deleted. Every plain delete of the other operations goes through it.
bool ShredFile(const QString& strPath);

// The confirmation of a shred: "Are you sure you want to permanently delete file ..." for a
// file, "... folder ... and all its contents?" for a folder. True when the user said Yes.
bool ConfirmShred(const CSelItem& item);

// Shred of one file: asks for confirmation, then overwrites, renames and deletes it inside its
// own progress window. A result code.
int ShredOneFile(const QString& strPath);

// Asks for confirmation, then shreds the folder and everything below it (ShredItems on it).
int ShredFolder(const QString& strPath);

// Shred of a selection. A selection of exactly one file goes to ShredOneFile (and asks); any
// other selection runs at once, without a question: the caller has confirmed it.
// 0 when every item was shredded, 12 when cancelled, else the first failure's code.
int ShredItems(const CSelection& selection);

// The run of ShredItems without its single-file shortcut: never asks.
int ShredSelectionRun(const CSelection& selection);

// The renaming step: renames the file 26 times, each name made of one letter from 'A' to 'Z'
// in place of every character of the name that is not a dot (a.b.c: A.A.A ... Z.Z.Z).
// *pPath follows the file and ends as the 'Z' name. A rename never replaces another item: when
// the next name is taken the rename fails and the file keeps the name it had then (11).
// 2 and nothing changed when the path holds no backslash.
int WipeFileName(QString* pPath);

// Overwrites a file's contents in place with the passes of options, using buffer (the shared
// operation buffer, kOpBufferSize bytes) as the pattern. fnChunk is called after every chunk
// with the bytes written so far over all passes and answers false to cancel. 0, 6, 7 or 12;
// the file is closed in every case and never deleted here.
int OverwriteFile(const QString& strPath, const CShredOptions& options, BYTE* buffer,
                  const std::function<bool(quint64)>& fnChunk);

}  // namespace fileops
