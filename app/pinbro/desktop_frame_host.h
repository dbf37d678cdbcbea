#pragma once
// What start-up and shut-down ask of the desktop: the screen size, the main window, and the
// post-start steps 250 ms after the window is shown.

#include <QMainWindow>
#include <memory>

#include "core/startup.h"

class CDesktopFrameHost : public IAppFrameHost {
 public:
  void ScreenSize(int* pnWidth, int* pnHeight) override;
  bool CreateMainFrame() override;
  void DestroyMainFrame() override;
  void ReleaseSharedUiObjects() override;

 private:
  std::unique_ptr<QMainWindow> frame_;
};
