#pragma once
// The application object: the order in which the program brings up its services and its main
// window, the order in which it takes them down, and the steps that run once the window is up.
// Everything here runs on the user-interface thread.

#include <QString>

// What start-up and shut-down need from the front-end that owns the windows (the desktop
// program, or a test).
class IAppFrameHost {
 public:
  virtual ~IAppFrameHost() = default;
  // Width and height of the screen in pixels; decides whether it is high resolution.
  virtual void ScreenSize(int* pnWidth, int* pnHeight) = 0;
  // Creates the main frame, shows it and paints it once. The frame starts a one-shot 250 ms
  // timer that calls RunPostStartSteps. False when the frame could not be made.
  virtual bool CreateMainFrame() = 0;
  // Shut-down steps 1 and 2.
  virtual void DestroyMainFrame() = 0;
  virtual void ReleaseSharedUiObjects() = 0;
};

// Start-up, in this order: the current profile's name, the built-in defaults and the recycle
// bin folder, the log, PINBRO_APP, the storage flags and the appearance options, the screen
// test, all per-profile options, the main frame. The host's screen size is installed first so
// that every default already knows the screen. Returns the frame's success.
bool InitInstance(IAppFrameHost& host);

// Shut-down, in this order: destroy the frame, release the shared user-interface objects,
// close the log, save all per-profile options (so nothing the saver does is logged).
void ExitInstance(IAppFrameHost& host);

// Where the desktop writes its application-menu entry when the user accepts the Start-menu
// shortcut; empty writes none (the command line, tests that do not ask for one).
struct CPostStartOptions {
  QString strDesktopEntryFile;  // DefaultDesktopEntryFile() on the desktop
  QString strHostExecutable;    // the program the entry starts
};

// The steps the frame's start-up timer runs once: offer the Start-menu shortcut while none
// exists (asked again at every start until one does), then the operating-system check.
void RunPostStartSteps(const CPostStartOptions& options);

// The executable's device path (at most 260 characters), as written to PINBRO_APP.
QString ExecutablePath();
