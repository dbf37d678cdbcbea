#include "core/settings_screen.h"

#include <QMutex>
#include <optional>

namespace {

// Guards both members: the answer may be asked for from worker threads (pixel constants).
QMutex g_screenMutex;
ScreenSizeFn g_provider;
std::optional<bool> g_hiRes;

}  // namespace

bool IsHighResolutionSize(int nWidth, int nHeight) {
  struct CSize {
    int w, h;
  };
  static constexpr CSize kHighRes[] = {{480, 640}, {640, 480}, {480, 480}, {480, 800}, {800, 480}};
  for (const CSize& size : kHighRes)
    if (size.w == nWidth && size.h == nHeight) return true;
  return false;
}

bool IsHighResolutionScreen() {
  QMutexLocker lock(&g_screenMutex);
  if (!g_hiRes) {
    int nWidth = 0;
    int nHeight = 0;
    if (g_provider) g_provider(&nWidth, &nHeight);
    g_hiRes = IsHighResolutionSize(nWidth, nHeight);
  }
  return *g_hiRes;
}

void SetScreenSizeProvider(ScreenSizeFn provider) {
  QMutexLocker lock(&g_screenMutex);
  g_provider = std::move(provider);
  g_hiRes.reset();
}

void OverrideScreenSize(int nWidth, int nHeight) {
  SetScreenSizeProvider([nWidth, nHeight](int* pnWidth, int* pnHeight) {
    *pnWidth = nWidth;
    *pnHeight = nHeight;
  });
}
