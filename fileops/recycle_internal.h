#pragma once
// The pieces the recycle, restore and delete files share: the texts of the string table, the
// unique names made in the bin, and the runs that recycle and restore items inside one
// progress window.

#include <QString>

#include <vector>

#include "fileops/progress.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "platform/file.h"
#include "platform/wintypes.h"

namespace fileops::recycle_detail {

// Texts of the string table.
QString ConfirmDeleteHeader();                         // 55283 "Confirm delete operation"
QString DeleteTitle();                                 // 55151 "Delete"
QString DeletingTitle();                               // 55275 "Deleting..."
QString DeletingCaption();                             // 55276 "Deleting files, please wait..."
QString ConfirmFileText(const QString& name);          // 55152
QString ConfirmFolderText(const QString& name);        // 55329
QString ConfirmItemsText(qsizetype count);             // several items at once
QString CannotDeleteText(const QString& path);         // 55153
QString ErrorDeletingFileTitle();                      // 55328 "Error deleting file"
QString RecycleBinTitle();                             // 61230 "Recycle Bin"
QString MovedBytesText(quint64 done, quint64 total);   // 61223
QString MovedCountText(quint64 done, quint64 total);   // 61231 with "file" / "files"
QString CannotMakeBinText(const QString& path);        // the bin folder cannot be created

// Makes a new, empty container "<bin>\pbr<hex>.trb" by exclusive creation and opens it for
// writing. False when no name could be made or the file not created (last error set).
bool CreateContainer(const QString& strBin, plat::CHostFile* pFile, QString* pPath);
// Makes a new directory "<bin>\pbr<hex>" for a recycled folder. False on failure.
bool CreateRecycledFolder(const QString& strBin, QString* pPath);

// The device path that is allowed as a restore target's folder: canonical, inside the root
// also after every link is resolved. False for a path that must be refused.
bool IsSafeTargetFolder(const QString& strFolder, QString* pCanonical);
// A name that is exactly one component: not empty, not "." or "..", no separators.
bool IsSingleComponent(const QString& strName);

// Removes a directory of the bin with everything below it (plain deletes, links removed
// themselves). True when it is gone; views are told about every removed item.
bool RemoveBinTree(const QString& strDirectory);

// One recycle run: the window, the buffer and the counters of a selection or of one file.
// With bSingle the window is a single-item window whose bar and status line count the bytes
// of the one file; otherwise the main bar counts the run's bytes, the status line the files,
// and the item bar the current file.
class CRecycleRun {
 public:
  CRecycleRun(IProgressWindow* pProgress, BYTE* buffer, bool bSingle, quint64 uFilesTotal)
      : progress_(pProgress), buffer_(buffer), bSingle_(bSingle), filesTotal_(uFilesTotal) {}

  // Recycles one file into strBin: a result code of ERecycleResult. Shows nothing.
  int RecycleFileItem(const QString& strPath, const QString& strBin, bool bCheckRom);
  // Recycles a folder tree into strBin, removing every emptied source folder (the top one
  // too). Reports each file that could not be recycled and goes on; a cancel ends it.
  int RecycleFolderItem(const QString& strPath, const QString& strBin);
  // A file of a multi-item run: recycled, counted, and reported when it failed.
  int RecycleAndReportFile(const QString& strPath, const QString& strBin);

  quint64 FilesDone() const { return filesDone_; }

 private:
  int CopyIntoContainer(plat::CHostFile* pSource, quint64 uSize, plat::CHostFile* pContainer);
  int RecycleChildren(const QString& strFolder, const QString& strDir, bool* pMovedAny);

  IProgressWindow* progress_;
  BYTE* buffer_;
  bool bSingle_;
  quint64 filesTotal_;
  quint64 filesDone_ = 0;
  quint64 bytesDone_ = 0;
};

// One restore run, as CRecycleRun for the other direction.
class CRestoreRun {
 public:
  CRestoreRun(IProgressWindow* pProgress, BYTE* buffer, bool bSingle, quint64 uFilesTotal)
      : progress_(pProgress), buffer_(buffer), bSingle_(bSingle), filesTotal_(uFilesTotal) {}

  // Restores one container to its original place (asking before it replaces a file). The
  // container stays. *pTarget receives the target path once it is known.
  int RestoreFileItem(const QString& strContainer, QString* pTarget);
  // RestoreFileItem, then the container is deleted. Reports a failure other than a cancel or
  // a declined overwrite.
  int RestoreAndRemoveFile(const QString& strContainer);
  // The folder walk: restores a recycled folder's tree from its directory, removing each
  // container once it is restored; on success the directory is removed from the bin. The
  // walk stops at the first result that is not 0.
  int RestoreFolderItem(const QString& strDirectory);

  quint64 FilesDone() const { return filesDone_; }

 private:
  int RestoreFolderWalk(const QString& strDirectory);
  int CopyFromContainer(plat::CHostFile* pContainer, quint64 uSize, plat::CHostFile* pTarget,
                        const QString& strName);

  IProgressWindow* progress_;
  BYTE* buffer_;
  bool bSingle_;
  quint64 filesTotal_;
  quint64 filesDone_ = 0;
  quint64 bytesDone_ = 0;
};

// Files and data bytes a restore of the bin items will write: the containers below (their
// data after the header) and the recycled folders' descriptors are not counted.
struct CBinTotals {
  quint64 files = 0;
  quint64 bytes = 0;
};
CBinTotals CountBinItems(const CSelection& selection);

}  // namespace fileops::recycle_detail
