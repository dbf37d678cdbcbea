#pragma once
// The long operations on archives: extracting entries into a folder, testing every entry, and
// compressing a selection of files and folders into a new archive. Each runs in a multi-item
// progress window (fileops/op_run.h) on the user-interface thread and reports through the
// message box service.
//
// Guarantees:
// - Extraction writes only beneath the destination folder, every file through an output file
//   (platform/output_file.h): a damaged or encrypted entry, a write failure (a full disk) or a
//   cancel leaves no partial file, and an existing file of that name is replaced only by a
//   complete one. Entries whose names would leave the destination, and links, are reported
//   and skipped; the rest goes on.
// - A new archive appears only once it is complete: a cancel, or a failure to write it,
//   leaves no archive (an existing one of that name as it was). A file that cannot be read is
//   reported and left out, and the run goes on. The archive being written is never added to
//   itself, even when it lies inside a selected folder.
// - The source archive and the source files are only read.

#include <QString>

#include "core/selection.h"

namespace zip {

enum EZipCmdResult : int {
  eZipCmdOK = 0,
  eZipCmdFailed = 1,      // something failed or was refused; a box said what
  eZipCmdCancelled = 12,  // cancelled in the progress window
};

// Extracts the selected items of an archive (each "<archive>\<name inside>", as the zip
// listing's selection names them; folders with everything below them) into strDest. Names
// are taken relative to the folder of the archive the item lies in.
int ExtractItems(const QString& strArchive, const fileops::CSelection& selection,
                 const QString& strDest);
int ExtractAll(const QString& strArchive, const QString& strDest);

// Reads every entry through the decompressor; true when none is damaged. Shows the outcome.
bool TestArchive(const QString& strArchive);

// The archive a compression of the selection proposes: the first item's name with its
// extension replaced by ".zip" (appended when it has none), in that item's folder.
QString ProposedArchivePath(const fileops::CSelection& selection);

// Compresses the selection (kind 1 files, kind 2 folders) into a new archive at
// strArchivePath with the level of the level list (8, 6, 4, 3, 2, or 1 for none).
int CompressItems(const fileops::CSelection& selection, const QString& strArchivePath, int nLevel);

}  // namespace zip
