#pragma once
// pinbro-cli's progress front-end. While an operation runs it keeps one line on standard
// error, redrawn in place at most every kRedrawIntervalMs, when standard error is a terminal
// and --quiet was not given; otherwise it draws nothing. Ctrl+C (SIGINT) during a run sets
// the cancel flag, so the operation stops between chunks and cleans up; a second Ctrl+C in
// the same run ends the program at once. The handler is installed only while a window is
// open; the previous one is put back after the last window closes.

#include <QString>
#include <QTextStream>

#include <memory>

#include "fileops/progress.h"
#include "fileops/progress_state.h"

namespace cli {

class CTerminalProgressWindow : public fileops::CProgressWindowBase {
 public:
  static constexpr int kRedrawIntervalMs = 100;

  // bDraw: draw the line at all; nWidth: the terminal's columns.
  CTerminalProgressWindow(fileops::EProgressKind kind, QTextStream& err, bool bDraw,
                          int nWidth);
  ~CTerminalProgressWindow() override;

  bool IsCancelled() const override;

  // The progress line for a state at the tick dwNowTick, at most nWidth - 1 characters:
  // percentage, status, time left and the file, the less important parts cut first.
  static QString FormatLine(const fileops::CProgressWindowBase& state, DWORD dwNowTick,
                            int nWidth);

  // Erases the line when this window drew it; the next redraw puts it back.
  void Erase();

 protected:
  void OnChanged(fileops::EProgressChange change) override;

 private:
  void Draw();

  QTextStream& err_;
  bool bDraw_;
  int nWidth_;
  bool bHandlerInstalled_ = false;
  bool bLineDrawn_ = false;
  DWORD dwLastDraw_ = 0;
};

class CTerminalProgressFactory : public fileops::IProgressFactory {
 public:
  // Draws when bQuiet is false and standard error is a terminal.
  CTerminalProgressFactory(bool bQuiet, QTextStream& err);

  std::unique_ptr<fileops::IProgressWindow> CreateProgressWindow(fileops::EProgressKind kind,
                                                                 UINT uIcon1,
                                                                 UINT uIcon2) override;

 private:
  QTextStream& err_;
  bool bDraw_;
};

// Erases the progress line, if one is drawn, so that a message box line printed during a run
// starts at the left margin. The next report draws the line again below it.
void BreakProgressLine();

}  // namespace cli
