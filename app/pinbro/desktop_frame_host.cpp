#include "app/pinbro/desktop_frame_host.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "browse/icon_manager.h"
#include "core/startup_shell.h"
#include "ui/main_frame.h"
#include "ui/window_state.h"

namespace {

// The start-up benchmark's probe (bench/bench_start.cpp): with PINBRO_EXIT_AT_FIRST_PAINT set,
// the program prints "first paint: <ms> ms after main" once the main window has been painted
// for the first time, and ends as a normal shut-down does.
class CFirstPaintProbe : public QObject {
 public:
  CFirstPaintProbe(QWidget* pWindow, const QElapsedTimer& clock)
      : QObject(pWindow), window_(pWindow), clock_(clock) {
    QApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    if (pEvent->type() != QEvent::Paint || !pWidget || pWidget->window() != window_)
      return false;
    QApplication::instance()->removeEventFilter(this);
    // The rest of the window is painted in the same pass; report once it is done.
    QTimer::singleShot(0, this, [this] {
      std::printf("first paint: %lld ms after main\n", static_cast<long long>(clock_.elapsed()));
      std::fflush(stdout);
      QCoreApplication::exit(0);
    });
    return false;
  }

 private:
  QWidget* window_;
  QElapsedTimer clock_;
};

}  // namespace

CDesktopFrameHost::CDesktopFrameHost() = default;
CDesktopFrameHost::~CDesktopFrameHost() = default;

void CDesktopFrameHost::ScreenSize(int* pnWidth, int* pnHeight) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size =
      screen ? HandheldScreenSize(screen->size(), screen->physicalDotsPerInch()) : QSize();
  *pnWidth = size.width();
  *pnHeight = size.height();
}

bool CDesktopFrameHost::CreateMainFrame() {
  frame_ = std::make_unique<CMainFrame>();
  RestoreWindowState(frame_.get());
  if (qEnvironmentVariableIsSet("PINBRO_EXIT_AT_FIRST_PAINT"))
    new CFirstPaintProbe(frame_.get(), startClock_);
  frame_->show();
  // The post-start steps run once, 250 ms after the frame is up.
  QTimer::singleShot(250, frame_.get(), [] {
    CPostStartOptions options;
    options.strDesktopEntryFile = DefaultDesktopEntryFile();
    options.strHostExecutable = QApplication::applicationFilePath();
    RunPostStartSteps(options);
  });
  return true;
}

void CDesktopFrameHost::DestroyMainFrame() {
  if (frame_) SaveWindowState(frame_.get());
  frame_.reset();
}

void CDesktopFrameHost::ReleaseSharedUiObjects() { ReleaseAppIconManager(); }
