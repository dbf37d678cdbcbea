// pinbro-cli's progress line and its Ctrl+C handling.
#include <QBuffer>
#include <QTextStream>

#include <gtest/gtest.h>

#include <csignal>

#include "app/cli/terminal_progress.h"
#include "fileops/progress_estimate.h"

namespace {

using cli::CTerminalProgressWindow;

TEST(TerminalProgress, LineHoldsPercentStatusTimeAndFileWithinTheWidth) {
  QString strOut;
  QTextStream err(&strOut);
  CTerminalProgressWindow window(fileops::eProgressMulti, err, false, 80);
  window.SetRange(0, 200);
  window.SetPos(50);
  window.SetStatus("Copied 1 file from 4 total.");
  window.SetFileLine("a.txt, 2 of 4");
  const QString strLine = CTerminalProgressWindow::FormatLine(window, window.Bar().dwStartTick, 80);
  EXPECT_TRUE(strLine.startsWith(" 25%  Copied 1 file from 4 total.  Left: ")) << strLine.toStdString();
  EXPECT_TRUE(strLine.endsWith("a.txt, 2 of 4"));
  EXPECT_EQ(CTerminalProgressWindow::FormatLine(window, 0, 12).size(), 11);
  window.Close();
  EXPECT_TRUE(strOut.isEmpty());  // not drawing: nothing written
}

TEST(TerminalProgress, DrawsInPlaceAndErasesOnClose) {
  QString strOut;
  QTextStream err(&strOut);
  {
    CTerminalProgressWindow window(fileops::eProgressSingle, err, true, 60);
    window.SetRange(0, 10);
    window.SetStatus("Copied 0 of 10 bytes...");
    window.Show();
    for (int i = 1; i <= 10; ++i) window.SetPos(i);  // quicker than the redraw interval
    cli::BreakProgressLine();
    err << "Replace Existing File: ...\n";
    window.Close();
  }
  // One drawing at Show, erased for the box line; the box line stands on its own line.
  EXPECT_EQ(strOut.count('\r'), 2) << strOut.toStdString();
  EXPECT_TRUE(strOut.startsWith("\r  0%  Copied 0 of 10 bytes..."));
  EXPECT_TRUE(strOut.endsWith("\r\x1b[KReplace Existing File: ...\n"));
}

TEST(TerminalProgress, CtrlCDuringARunCancelsAndTheHandlerGoesAfterIt) {
  struct sigaction before = {};
  sigaction(SIGINT, nullptr, &before);
  QString strOut;
  QTextStream err(&strOut);
  {
    CTerminalProgressWindow window(fileops::eProgressSingle, err, false, 80);
    EXPECT_FALSE(window.IsCancelled());
    raise(SIGINT);
    EXPECT_TRUE(window.IsCancelled());
    window.Close();
    EXPECT_TRUE(window.IsCancelled());  // never cleared
  }
  struct sigaction after = {};
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
  // A new run starts uncancelled.
  CTerminalProgressWindow next(fileops::eProgressSingle, err, false, 80);
  EXPECT_FALSE(next.IsCancelled());
}

}  // namespace
