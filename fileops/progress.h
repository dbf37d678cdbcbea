#pragma once
// The progress window of long file operations (copy, move, delete, recycle, restore, shred,
// encrypt, decrypt, extract, test, compress).
//
// An operation runs on the user-interface thread. It asks the installed factory for a window,
// fills in its texts, then reports after every chunk of work and polls IsCancelled(). The
// operation never draws: the front-end behind the interface decides when and how to show the
// reports (the desktop dialog repaints by time, the terminal redraws one line, the tests
// record the calls). Nothing here includes a widget.
//
// Two kinds of window share the interface. A single-item window has one bar and one status
// line; a multi-item window adds an item bar and an item status line, so that the main bar
// counts the whole run (bytes or files) and the item bar the current file. The item calls
// are ignored by a single-item window.

#include <QString>

#include <memory>

#include "platform/wintypes.h"

namespace fileops {

enum EProgressKind : int {
  eProgressSingle = 1,  // one bar: a single file
  eProgressMulti = 2,   // overall bar and item bar: a selection or a folder tree
};

// Icon resource pairs the operations pass when they create a window.
constexpr UINT IDI_PROGRESS_COPY_1 = 359;
constexpr UINT IDI_PROGRESS_COPY_2 = 360;
constexpr UINT IDI_PROGRESS_DELETE_1 = 476;  // delete, recycle and shred
constexpr UINT IDI_PROGRESS_DELETE_2 = 477;
constexpr UINT IDI_PROGRESS_CRYPT_1 = 370;
constexpr UINT IDI_PROGRESS_CRYPT_2 = 369;

// The line labels. A window starts with "File:", "From:", "To:"; delete and shred set
// "File:", "From:", "Size:".
constexpr UINT IDS_PROGRESS_LABEL_FILE = 55330;
constexpr UINT IDS_PROGRESS_LABEL_FROM = 55331;
constexpr UINT IDS_PROGRESS_LABEL_SIZE = 55333;
QString ProgressLabelFile();  // "File:"
QString ProgressLabelFrom();  // "From:"
QString ProgressLabelTo();    // "To:"
QString ProgressLabelSize();  // "Size:"

// One progress window, alive for one run. Called on the user-interface thread only.
// Positions and ranges are 64-bit: byte counts of large files fit.
class IProgressWindow {
 public:
  virtual ~IProgressWindow() = default;

  virtual EProgressKind Kind() const = 0;

  // Shows the window (modal to the main window). Until Show() nothing is displayed.
  virtual void Show() = 0;
  // Hides and releases the window; later calls are ignored. The destructor closes too.
  virtual void Close() = 0;

  virtual void SetTitle(const QString& strTitle) = 0;
  virtual void SetCaption(const QString& strCaption) = 0;

  // The three text lines (any may stay empty) and their labels.
  virtual void SetFileLine(const QString& strFile) = 0;
  virtual void SetFromLine(const QString& strFrom) = 0;
  virtual void SetToLine(const QString& strTo) = 0;
  virtual void SetLineLabels(const QString& strFileLabel, const QString& strFromLabel,
                             const QString& strToLabel) = 0;

  // The main bar: the only bar of a single-item window, the overall bar of a multi-item one.
  // Setting the range also restarts the bar's clock for the time estimate.
  virtual void SetRange(quint64 uMin, quint64 uMax) = 0;
  virtual void SetPos(quint64 uPos) = 0;
  virtual void AdvancePos(quint64 uDelta) = 0;
  // The status line under the main bar (a multi-item window: the count line).
  virtual void SetStatus(const QString& strStatus) = 0;

  // The item bar and its status line of a multi-item window.
  virtual void SetItemRange(quint64 uMin, quint64 uMax) = 0;
  virtual void SetItemPos(quint64 uPos) = 0;
  virtual void SetItemStatus(const QString& strStatus) = 0;

  // How many files of the run are finished (copied, skipped or failed) of how many: with
  // them the time estimate weighs files as well as bytes. A window never told keeps the
  // estimate by the main bar alone.
  virtual void SetFileCounts(quint64 uDone, quint64 uTotal) = 0;

  virtual void ShowCancel(bool bShow) = 0;
  // True once the user asked to cancel; never cleared during a run. Poll after every chunk.
  virtual bool IsCancelled() const = 0;
};

// What a front-end installs: makes a window of the kind with the operation's icon pair.
class IProgressFactory {
 public:
  virtual ~IProgressFactory() = default;
  virtual std::unique_ptr<IProgressWindow> CreateProgressWindow(EProgressKind kind,
                                                                UINT uIcon1, UINT uIcon2) = 0;
};

// The process's factory; null until a front-end installs one (desktop, command line, a test
// fixture). Not owned.
void SetProgressFactory(IProgressFactory* pFactory);
IProgressFactory* ProgressFactory();

// Installs a factory for a scope and puts the previous one back afterwards.
class CScopedProgressFactory {
 public:
  explicit CScopedProgressFactory(IProgressFactory* pFactory);
  ~CScopedProgressFactory();
  CScopedProgressFactory(const CScopedProgressFactory&) = delete;
  CScopedProgressFactory& operator=(const CScopedProgressFactory&) = delete;

 private:
  IProgressFactory* previous_;
};

// What the operations call: a window from the current factory, or, without one, a window
// that shows nothing and is never cancelled. Never null.
std::unique_ptr<IProgressWindow> CreateProgressWindow(EProgressKind kind, UINT uIcon1,
                                                      UINT uIcon2);

}  // namespace fileops
