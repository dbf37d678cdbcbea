#pragma once
// What start-up and shut-down ask of the desktop: the screen size, the main window, and the
// post-start steps 250 ms after the window is shown.

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

 private:
  std::unique_ptr<CMainFrame> frame_;
};
