#pragma once
// The pieces copy_move.cpp and copy_move_file.cpp share: the texts, the host checks that see
// through links, the one-file copy core and the state of a run.

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include "fileops/conflict_policy.h"
#include "fileops/copy_move.h"
#include "fileops/replace_question.h"
#include "fileops/progress.h"
#include "platform/file.h"
#include "platform/output_file.h"
#include "platform/wintypes.h"

namespace fileops::copy_detail {

// Texts of the copy's boxes and progress lines (core/texts.h).
QString ErrorCopyingFileHeader();                      // 55178
QString ErrorTitle();                                  // 55177
QString ErrorCopyingFileText(const QString& path);     // 55168
QString CopiedBytesText(quint64 done, quint64 total);  // 55150
QString CopiedCountText(quint64 done, quint64 total);  // 55169 with 55301 / 55302

// The host path of a device path with every link resolved; empty when it cannot be resolved.
QByteArray RealHostPath(const QString& strDevicePath);
// True when the real path inner is outer or lies below it.
bool IsSameOrBelow(const QByteArray& inner, const QByteArray& outer);
// True when the two device paths name one existing item (links followed).
bool IsSameHostItem(const QString& a, const QString& b);
// True when the item at strPath lies directly in strFolder: by its path text (ignoring case)
// or, through links, on the host.
bool LiesInFolder(const QString& strPath, const QString& strFolder);
// The result of a settled conflict: 0 to go on, nNo for a No, 15 or 12.
int ConflictResult(EConflict conflict, int nNo);

// RunFileCopy's answer when it handed a moved file's open copy to fnDeferMove.
constexpr int kCopyDeferred = -1;

// What a copy keeps of its source besides the bytes: the attributes and the last write time;
// a move keeps the creation and last access times too.
struct CKeptStamp {
  plat::CFileStamp stamp;
  bool bAllTimes = false;
};
// Gives the open copy the source's times (before it is put in place: no write follows).
void KeepTimes(const CKeptStamp& kept, plat::CHostFile* pCopy);
// Gives the copy in place at strPath the source's attributes, where they are not the plain
// ones every new file has.
void KeepAttributes(const CKeptStamp& kept, const QString& strPath);
// The stamp of a folder, read before anything in it is moved; false when it cannot be read.
bool ReadFolderStamp(const QString& strFolder, const WIN32_FIND_DATAW* pRecord, bool bMove,
                     CKeptStamp* pKept);
// Gives a folder the copy or move made the source folder's stamp (once its contents are in).
void KeepFolderStamp(const CKeptStamp& kept, const QString& strFolder);

// One file to copy and how the caller takes part: the conflict question, the progress.
struct CFileCopyJob {
  CFileCopyJob(const QString& source, const QString& destFolder, const QString& name, bool move)
      : strSource(source), strDestFolder(destFolder), strName(name), bMove(move) {}

  QString strSource;
  QString strDestFolder;
  QString strName;
  bool bMove = false;
  // Called when strName exists in the folder as a file: 0 replaces it, any other value is
  // the result to return (nothing was changed).
  std::function<int()> fnConflict;
  // Called once the destination is open, with the source's size.
  std::function<void(quint64)> fnStart;
  // Called after each chunk with the file's bytes done and the chunk; false cancels.
  std::function<bool(quint64, quint64)> fnChunk;
  // A move of a new file only: when set, receives the complete copy, not yet in place, and
  // the source's stamp, instead of having it put in place and its source deleted here; the
  // copy then returns kCopyDeferred.
  std::function<void(plat::COutputFile&&, const CKeptStamp&)> fnDeferMove;
  // A move only: called after the file was moved by a rename, with its new path.
  std::function<void(const QString&)> fnRenamed;
};

// Copies one file as the job says, through buffer. Shows the "Create Destination File" box
// when the destination cannot be created (7); shows nothing else. *pDestPath receives the
// destination path, *pSize the source's size once it is open.
int RunFileCopy(const CFileCopyJob& job, BYTE* buffer, QString* pDestPath, quint64* pSize);

// Reports a file that was not copied (55168), or a move source that could not be deleted.
void ReportFileResult(const QString& strSource, int nResult);
// Reports a folder that could not be copied, and why.
void ReportFolderFailure(const QString& strFolder, const QString& strReason);

// A step of a move held back until its copy is on disk: a copied file (its copy complete but
// not yet in place) whose source is to be deleted, a folder the move created, or a source folder to remove.
struct CPendingMoveStep {
  enum EKind { eFileCopied, eFileRenamed, eFolderCreated, eSourceFolderDone } kind = eFileCopied;
  // The copy's final path, the folder a file was renamed into, the created folder, or the
  // source folder.
  QString strPath;
  // eFileCopied: the file to delete once the copy is on disk. eSourceFolderDone: the folder
  // made for it, which gets its stamp (when bStamp), or empty.
  QString strSource;
  plat::COutputFile copy;
  CKeptStamp kept{};
  bool bStamp = false;
};

// The state of one multi-item run.
//
// A move holds back its deletes: the copies of up to kMaxPendingFiles files stay open until
// the batch is committed, when the file system is asked once to write its cache, then every
// copy is flushed, put in place and closed, each step checked, and only then is its source deleted
// and, in order, each emptied source folder removed. One write-back for many files instead
// of one per file; the guarantee per file is unchanged.
class CCopyRun {
 public:
  CCopyRun(IProgressWindow* pProgress, BYTE* buffer, bool bMove, quint64* pBytesDone,
           quint64 uBytesTotal, int* pAnswer, quint64* pFileIndex, quint64 uFileTotal)
      : progress_(pProgress),
        buffer_(buffer),
        bMove_(bMove),
        bytesDone_(pBytesDone),
        bytesTotal_(uBytesTotal),
        policy_(pAnswer),
        fileIndex_(pFileIndex),
        fileTotal_(uFileTotal) {}
  // Commits what a move still holds back.
  ~CCopyRun() { CommitMoves(); }
  CCopyRun(const CCopyRun&) = delete;
  CCopyRun& operator=(const CCopyRun&) = delete;

  static constexpr size_t kMaxPendingFiles = 128;

  // Copies one file; the result as CopyFileInRun returns it (nothing is reported).
  int CopyFile(const QString& strSource, const QString& strDestFolder, const QString& strName,
               quint64 uFileIndex);
  // A file of the run with its index, its result recorded and, when it was not copied,
  // reported. uSize is its size as the walk saw it. The result (0 also for a moved file whose
  // source is held back).
  int CopyAndReportFile(const QString& strSource, const QString& strDestFolder,
                        const QString& strName, quint64 uSize);
  // Completes every held-back step of a move: see the class comment. Reports a copy that
  // could not be made durable (its source stays, the copy goes) and a source that could not
  // be deleted.
  void CommitMoves();
  // Copies a folder tree; see CopyFolderInRun.
  int CopyFolder(const QString& strSource, const QString& strDestParent,
                 const QString& strName);

  // Files copied so far, and the first failure or skip seen inside folders.
  quint64 FilesDone() const { return filesDone_; }
  int FirstFailure() const { return firstFailure_; }
  // Records a file's result: counts a success, moves the bar past a file that was left out,
  // and remembers the first failure.
  void FileFinished(int nResult, quint64 uSize, quint64 uBytesBefore);
  void NoteFailure(int nResult);
  // Records a folder's result other than 0 and 12, reporting the failures that lose content
  // (2, 3, 5, 17); a declined or skipped folder, or a moved folder that had to stay, is not
  // reported.
  void FolderFailed(const QString& strFolder, int nResult);

 private:
  int AskFolderConflict(const QString& strName);
  int MakeTargetFolder(const QString& strTarget, const QString& strName, bool* pCreated);
  // After a folder's contents: a copy stamps the folder it made now, a move once the
  // contents are committed, before it removes the source folder.
  void FolderDone(const QString& strSource, const QString& strTarget, const CKeptStamp* pKept);
  void CopyChildren(const QString& strSource, const QString& strTarget, bool* pCancelled);
  int EnterFolder(const QString& strSource, const QString& strParent, const QString& strName,
                  QString* pTarget, bool* pCreated);

  IProgressWindow* progress_;
  BYTE* buffer_;
  bool bMove_;
  quint64* bytesDone_;
  quint64 bytesTotal_;
  CConflictPolicy policy_;
  quint64* fileIndex_;
  quint64 fileTotal_;
  quint64 filesDone_ = 0;
  quint64 filesFinished_ = 0;  // copied, skipped or failed: for the time estimate
  int firstFailure_ = eCopyOK;
  QString folderReason_;  // why the last folder step failed, for its report
  std::vector<CPendingMoveStep> pending_;
  size_t pendingFiles_ = 0;
};

}  // namespace fileops::copy_detail
