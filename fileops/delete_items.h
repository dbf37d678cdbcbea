#pragma once
// Permanent delete of files and folder trees, and the Delete command of the panels, which
// either deletes for good or recycles (fileops/recycle_bin.h) as UseRecycleBin says.
//
// Files are deleted with the plain delete primitive (ShredFile of fileops/shredder.h): a
// symbolic link is deleted itself, never its target, and a walk never enters a linked folder
// (the link is removed). Runs on the user-interface thread inside a progress window, asks and
// reports through the message box service and tells the views about every removed item.

#include <QString>

#include "core/selection.h"

namespace fileops {

enum EDeleteResult : int {
  eDeleteOK = 0,
  eDeleteNothing = 1,         // empty selection or path
  eDeleteFileFailed = 8,      // a file could not be deleted (shown; the run went on)
  eDeleteFolderFailed = 9,    // a folder could not be removed
  eDeleteCancelled = 12,      // cancelled, or the question was not answered Yes
  eDeleteNoBin = 15,          // recycling: the bin folder is missing and cannot be created
};

// "Are you sure you want to delete file "%s"?", then the plain delete. A result code.
int DeleteFileCommand(const QString& strPath);
// "Are you sure you want to delete folder "%s" and all its contents?", then
// DeleteItemsCommand with the folder alone.
int DeleteFolderCommand(const QString& strPath);
// Deletes a selection for good without asking (the caller confirmed it), in one multi-item
// window. 0, 12 when cancelled, else the first failure's code.
int DeleteItemsCommand(const CSelection& selection);

// The Delete command of the panels and the command line. UseRecycleBin 0: one file or folder
// goes to DeleteFileCommand / DeleteFolderCommand, several items are confirmed once and go
// to DeleteItemsCommand. UseRecycleBin 1: the bin folder is made when missing (a bin that
// cannot be made is reported and nothing is deleted: 15), then one file goes to
// RecycleFileCommand, one folder to RecycleFolderCommand, several items are confirmed once and
// go to RecycleItemsCommand. A result code of the command used.
int DeleteCommand(const CSelection& selection);

// Delete for good whatever UseRecycleBin says (Shift+Delete): one question that names the
// delete as permanent ("Are you sure you want to permanently delete file "%s"?", the folder's
// and the items' texts likewise; No is its default), then the plain delete of one file or
// DeleteItemsCommand. A result code.
int DeleteForGoodCommand(const CSelection& selection);

}  // namespace fileops
