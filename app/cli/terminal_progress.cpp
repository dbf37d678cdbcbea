#include "app/cli/terminal_progress.h"

#include <QStringList>

#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

#include "fileops/progress_estimate.h"
#include "platform/filetime.h"

namespace cli {
namespace {

// Ctrl+C during a run. Touched by the signal handler, so only a sig_atomic_t.
volatile std::sig_atomic_t g_nInterrupts = 0;
struct sigaction g_previousAction;  // what SIGINT did before the first open window
int g_nOpenRuns = 0;                // windows holding the handler (main thread only)
CTerminalProgressWindow* g_pDrawnWindow = nullptr;  // the window whose line is on screen

extern "C" void OnInterrupt(int /*signal*/) {
  if (g_nInterrupts > 0) {
    // The second Ctrl+C: the user does not want to wait for the cleanup.
    sigaction(SIGINT, &g_previousAction, nullptr);
    raise(SIGINT);
    return;
  }
  g_nInterrupts = 1;
}

void InstallInterruptHandler() {
  if (g_nOpenRuns++ > 0) return;
  g_nInterrupts = 0;
  struct sigaction action = {};
  action.sa_handler = &OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a prompt reading the terminal goes on reading
  sigaction(SIGINT, &action, &g_previousAction);
}

void RemoveInterruptHandler() {
  if (--g_nOpenRuns > 0) return;
  sigaction(SIGINT, &g_previousAction, nullptr);
}

int TerminalWidth() {
  struct winsize size = {};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

int Percent(const fileops::CProgressBarState& bar) {
  if (bar.uMax <= bar.uMin || bar.uPos <= bar.uMin) return 0;
  if (bar.uPos >= bar.uMax) return 100;
  return static_cast<int>(static_cast<unsigned __int128>(bar.uPos - bar.uMin) * 100 /
                          (bar.uMax - bar.uMin));
}

}  // namespace

CTerminalProgressWindow::CTerminalProgressWindow(fileops::EProgressKind kind, QTextStream& err,
                                                 bool bDraw, int nWidth)
    : CProgressWindowBase(kind), err_(err), bDraw_(bDraw), nWidth_(nWidth) {
  InstallInterruptHandler();
  bHandlerInstalled_ = true;
}

CTerminalProgressWindow::~CTerminalProgressWindow() { Close(); }

bool CTerminalProgressWindow::IsCancelled() const {
  if (bHandlerInstalled_ && g_nInterrupts > 0) {
    const_cast<CTerminalProgressWindow*>(this)->RequestCancel();  // latched for the run
  }
  return CProgressWindowBase::IsCancelled();
}

QString CTerminalProgressWindow::FormatLine(const fileops::CProgressWindowBase& state,
                                            DWORD dwNowTick, int nWidth) {
  QStringList parts;
  parts << QStringLiteral("%1%").arg(Percent(state.Bar()), 3);
  if (!state.Status().isEmpty()) parts << state.Status();
  parts << fileops::TimeLeftText(state.Estimate(dwNowTick).dwLeft);
  if (!state.FileLine().isEmpty()) parts << state.FileLine();
  QString strLine = parts.join(QStringLiteral("  "));
  const int nMax = qMax(nWidth - 1, 1);
  if (strLine.size() > nMax) strLine.truncate(nMax);
  return strLine;
}

void CTerminalProgressWindow::OnChanged(fileops::EProgressChange change) {
  switch (change) {
    case fileops::eProgressChangeShown:
      Draw();
      return;
    case fileops::eProgressChangeClosed:
      Erase();
      if (bHandlerInstalled_) {
        // Keep a Ctrl+C of this run visible through IsCancelled() after the handler goes.
        IsCancelled();
        bHandlerInstalled_ = false;
        RemoveInterruptHandler();
      }
      return;
    default:
      if (IsShown() && plat::GetTickCount() - dwLastDraw_ >= DWORD(kRedrawIntervalMs)) Draw();
      return;
  }
}

void CTerminalProgressWindow::Draw() {
  if (!bDraw_) return;
  dwLastDraw_ = plat::GetTickCount();
  if (g_pDrawnWindow != nullptr && g_pDrawnWindow != this) g_pDrawnWindow->Erase();
  err_ << '\r' << FormatLine(*this, dwLastDraw_, nWidth_) << "\x1b[K";
  err_.flush();
  bLineDrawn_ = true;
  g_pDrawnWindow = this;
}

void CTerminalProgressWindow::Erase() {
  if (g_pDrawnWindow == this) g_pDrawnWindow = nullptr;
  if (!bLineDrawn_) return;
  err_ << "\r\x1b[K";
  err_.flush();
  bLineDrawn_ = false;
}

CTerminalProgressFactory::CTerminalProgressFactory(bool bQuiet, QTextStream& err)
    : err_(err), bDraw_(!bQuiet && isatty(STDERR_FILENO) != 0) {}

std::unique_ptr<fileops::IProgressWindow> CTerminalProgressFactory::CreateProgressWindow(
    fileops::EProgressKind kind, UINT /*uIcon1*/, UINT /*uIcon2*/) {
  return std::make_unique<CTerminalProgressWindow>(kind, err_, bDraw_,
                                                   bDraw_ ? TerminalWidth() : 80);
}

void BreakProgressLine() {
  if (g_pDrawnWindow != nullptr) g_pDrawnWindow->Erase();
}

}  // namespace cli
