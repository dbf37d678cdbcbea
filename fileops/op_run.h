#pragma once
// The frame every long operation runs in, so that an operation writes only its per-item step:
// the entry and exit trace lines, the shared buffer lease, the progress window with its first
// texts, the file counts, the cancel flag, the first failure, the leftover rule of the
// folders it writes into, and the close.
//
//   COpRun run(QStringLiteral("CopyItems(%1 items)").arg(n), COpRun::eWithBuffer);
//   if (!run.HasBuffer()) return eCopyBufferBusy;
//   run.Open({eProgressMulti, icon1, icon2, title, caption, ...});
//   for (...) if (run.NoteResult(step(item)) == eCancelled) break;
//   return run.FirstFailure();          // the window closes and the exit line is written

#include <QString>
#include <QStringList>

#include <memory>

#include "core/view_notify.h"
#include "fileops/op_buffer.h"
#include "fileops/op_error.h"
#include "fileops/progress.h"
#include "platform/output_file.h"

namespace fileops {

// The text of a run's trace lines: "Name(arg1, arg2, ...)".
QString TraceText(const QString& strName, const QStringList& args);

// What a failure shows the user: the text of its error box, the box's title and header.
struct CFailureBox {
  QString strText{};
  QString strTitle{};
  QString strHeader{};
};

// What a run's window shows when it opens.
struct CRunWindow {
  EProgressKind kind = eProgressMulti;
  UINT uIcon1 = 0;
  UINT uIcon2 = 0;
  QString strTitle{};
  QString strCaption{};
  bool bSizeLabels = false;  // the lines are "File:", "From:", "Size:" (delete, recycle, shred)
  bool bSetRange = true;     // the main bar's range is known now: 0 to uRange
  quint64 uRange = 0;
  bool bSetPos = true;       // the main bar starts at 0 now
  QString strFile{};  // the first texts of the three lines, any may stay empty
  QString strFrom{};
  QString strTo{};
  QString strStatus{};  // the first status (count) line; empty leaves it unset
};

class COpRun {
 public:
  enum EBuffer { eNoBuffer, eWithBuffer };

  // Writes the entry line "<strTrace>..." (an empty text writes no lines) and, with
  // eWithBuffer, leases the shared buffer.
  COpRun(const QString& strTrace, EBuffer buffer);
  // Closes the window and writes the exit line "<strTrace>".
  ~COpRun();
  COpRun(const COpRun&) = delete;
  COpRun& operator=(const COpRun&) = delete;

  // False when the buffer was asked for and is in use by another operation.
  bool HasBuffer() const { return !lease_ || lease_->IsHeld(); }
  BYTE* Buffer() const { return lease_ ? lease_->Data() : nullptr; }

  // Creates, shows and fills the window; the Cancel button is shown.
  IProgressWindow& Open(const CRunWindow& window);
  // The run's window; null until Open.
  IProgressWindow* Progress() const { return progress_.get(); }
  bool IsCancelled() const { return progress_ && progress_->IsCancelled(); }

  // The first result that is not 0 is the run's; returns nResult.
  int NoteResult(int nResult);
  int FirstFailure() const { return firstFailure_; }

  // When the run began (milliseconds since the epoch): what is older is from earlier runs.
  qint64 StartMs() const { return sweep_.StartMs(); }

  // Closes the window (once); later calls do nothing.
  void Close();

  // The one place an operation's failure reaches the user: the log line "<reason> <path>"
  // (with the result code when there is one) and the system error's line, then the box, when
  // it has a text. Every operation reports its failures here.
  static void Report(const COpError& error, const CFailureBox& box);

 private:
  // First, so that it ends last: views apply the run's changes once the window is closed.
  CViewRun viewRun_;
  QString trace_;
  std::unique_ptr<COpBufferLease> lease_;
  std::unique_ptr<IProgressWindow> progress_;
  plat::CLeftoverSweep sweep_;
  int firstFailure_ = 0;
};

// Completes an output after its data: discarded when !bWritten, else put in place as
// plat::COutputFile::Commit says, a failure logged. True when it is in place.
bool CompleteOutput(plat::COutputFile* pOut, bool bWritten, bool bFlush, bool bFlushFolder);

// Removes an empty folder, or a link to a folder itself (never what it points to). A failure
// is logged ("Could not remove the <strWhat> <path>") and shown with the system's reason.
bool RemoveFolderOrReport(const QString& strPath, const QString& strWhat);

}  // namespace fileops
