#pragma once
// The main window's place on the desktop: its first size, fitted into the screen's available
// area, and its position, size and maximized state kept across starts in the product key's
// value "DesktopWindow" (a value of the desktop host: the handheld had one full-screen
// window). A stored place is never restored off-screen.

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The size a window would like at its first start.
constexpr QSize kFirstWindowSize(1024, 700);

struct CWindowState {
  QRect geometry;  // the window's client area when it is not maximized
  bool bMaximized = false;
};

// The window's client area for a first start: kFirstWindowSize where the area has room for
// it with its frame, else as much of the area as the frame leaves; centred in the area.
QRect FirstWindowGeometry(const QRect& available);
// A client area moved and, where it is larger, shrunk until it lies with its frame inside the
// available area.
QRect FitIntoArea(const QRect& wanted, const QRect& available);

// "x,y,width,height,maximized"; false for any other text or an empty size.
bool ParseWindowState(const QString& strText, CWindowState* pState);
QString FormatWindowState(const CWindowState& state);

// Places the window: the stored state fitted into the available area of the screen it lay
// on (the primary screen's when it lies on none now), else the first-start geometry.
void RestoreWindowState(QWidget* pWindow);
// Stores the window's place. False when the value could not be written.
bool SaveWindowState(const QWidget* pWindow);

// The screen size start-up is told for its high-resolution test. The handheld's doubled pixel
// sizes were made for its dense screens; a desktop screen draws at the desktop's own scale,
// so its size counts only when it is as dense as those (150 dots per inch and more), and is
// reported as no size otherwise.
QSize HandheldScreenSize(const QSize& pixels, double dPhysicalDpi);
