#pragma once
// What start-up and shut-down ask of the desktop: the screen size, the main window, and the
// post-start steps 250 ms after the window is shown.

#include <QElapsedTimer>

#include <memory>

#include "core/startup.h"

class CMainFrame;

class CDesktopFrameHost : public IAppFrameHost {
 public:
  CDesktopFrameHost();
  ~CDesktopFrameHost() override;

  void ScreenSize(int* pnWidth, int* pnHeight) override;
  bool CreateMainFrame() override;
  void DestroyMainFrame() override;
  void ReleaseSharedUiObjects() override;

  // The clock started when main() began; the first-paint probe reports against it.
  void SetStartClock(const QElapsedTimer& clock) { startClock_ = clock; }

 private:
  std::unique_ptr<CMainFrame> frame_;
  QElapsedTimer startClock_;
};
