#include "app/pinbro/desktop_frame_host.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "browse/icon_manager.h"
#include "core/startup_shell.h"
#include "ui/main_frame.h"

CDesktopFrameHost::CDesktopFrameHost() = default;
CDesktopFrameHost::~CDesktopFrameHost() = default;

void CDesktopFrameHost::ScreenSize(int* pnWidth, int* pnHeight) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = screen ? screen->size() : QSize();
  *pnWidth = size.width();
  *pnHeight = size.height();
}

bool CDesktopFrameHost::CreateMainFrame() {
  frame_ = std::make_unique<CMainFrame>();
  frame_->resize(1024, 700);
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

void CDesktopFrameHost::DestroyMainFrame() { frame_.reset(); }

void CDesktopFrameHost::ReleaseSharedUiObjects() { ReleaseAppIconManager(); }
