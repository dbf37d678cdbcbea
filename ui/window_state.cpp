#include "ui/window_state.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include "core/settings_store.h"

namespace {

constexpr char16_t kWindowValue[] = u"DesktopWindow";
// What the window manager's frame takes around the client area (title bar above, a border on
// the other sides), so that the frame stays on screen too.
constexpr int kFrameTop = 32;
constexpr int kFrameSide = 4;
constexpr double kHandheldDensity = 150.0;

QRect ClientArea(const QRect& available) {
  return available.adjusted(kFrameSide, kFrameTop, -kFrameSide, -kFrameSide);
}

QRect AvailableAreaFor(const QRect& geometry) {
  QScreen* pScreen = QGuiApplication::screenAt(geometry.center());
  if (!pScreen) pScreen = QGuiApplication::primaryScreen();
  return pScreen ? pScreen->availableGeometry() : QRect(QPoint(0, 0), kFirstWindowSize);
}

}  // namespace

QRect FirstWindowGeometry(const QRect& available) {
  const QRect area = ClientArea(available);
  QRect geometry(QPoint(0, 0), kFirstWindowSize.boundedTo(area.size()));
  geometry.moveCenter(area.center());
  return FitIntoArea(geometry, available);
}

QRect FitIntoArea(const QRect& wanted, const QRect& available) {
  const QRect area = ClientArea(available);
  QRect geometry(wanted.topLeft(), wanted.size().boundedTo(area.size()));
  if (geometry.right() > area.right()) geometry.moveRight(area.right());
  if (geometry.bottom() > area.bottom()) geometry.moveBottom(area.bottom());
  if (geometry.left() < area.left()) geometry.moveLeft(area.left());
  if (geometry.top() < area.top()) geometry.moveTop(area.top());
  return geometry;
}

bool ParseWindowState(const QString& strText, CWindowState* pState) {
  const QStringList parts = strText.split(u',');
  if (parts.size() != 5) return false;
  int anValues[5] = {};
  for (int i = 0; i < 5; ++i) {
    bool bOk = false;
    anValues[i] = parts[i].trimmed().toInt(&bOk);
    if (!bOk) return false;
  }
  if (anValues[2] <= 0 || anValues[3] <= 0 || (anValues[4] != 0 && anValues[4] != 1)) return false;
  pState->geometry = QRect(anValues[0], anValues[1], anValues[2], anValues[3]);
  pState->bMaximized = anValues[4] == 1;
  return true;
}

QString FormatWindowState(const CWindowState& state) {
  const QRect& g = state.geometry;
  return QStringLiteral("%1,%2,%3,%4,%5")
      .arg(g.x())
      .arg(g.y())
      .arg(g.width())
      .arg(g.height())
      .arg(state.bMaximized ? 1 : 0);
}

void RestoreWindowState(QWidget* pWindow) {
  QString strText;
  CWindowState state;
  if (ReadGlobalString(QString::fromUtf16(kWindowValue), QString(), &strText) &&
      ParseWindowState(strText, &state)) {
    pWindow->setGeometry(FitIntoArea(state.geometry, AvailableAreaFor(state.geometry)));
    if (state.bMaximized) pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
    return;
  }
  QScreen* pScreen = QGuiApplication::primaryScreen();
  const QRect available =
      pScreen ? pScreen->availableGeometry() : QRect(QPoint(0, 0), kFirstWindowSize);
  pWindow->setGeometry(FirstWindowGeometry(available));
}

bool SaveWindowState(const QWidget* pWindow) {
  CWindowState state;
  state.bMaximized = pWindow->isMaximized();
  // A maximized window keeps the place it comes back to.
  state.geometry = state.bMaximized ? pWindow->normalGeometry() : pWindow->geometry();
  if (!state.geometry.isValid()) state.geometry = pWindow->geometry();
  return WriteGlobalString(QString::fromUtf16(kWindowValue), FormatWindowState(state));
}

QSize HandheldScreenSize(const QSize& pixels, double dPhysicalDpi) {
  return dPhysicalDpi >= kHandheldDensity ? pixels : QSize(0, 0);
}
