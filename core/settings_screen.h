#pragma once
// Whether the screen is high resolution. Several option defaults and every pixel constant of
// the user interface depend on it. The answer is computed once, from the screen size that the
// front-end reports, and cached.

#include <functional>

// True for 480x640, 640x480, 480x480, 480x800 and 800x480; every other size is not.
bool IsHighResolutionSize(int nWidth, int nHeight);

// The cached answer; computed at the first call from the screen size provider (no provider,
// or a size of 0, counts as not high resolution).
bool IsHighResolutionScreen();

// The desktop installs the size of its primary screen before start-up. Installing a provider
// forgets the cached answer.
using ScreenSizeFn = std::function<void(int* pnWidth, int* pnHeight)>;
void SetScreenSizeProvider(ScreenSizeFn provider);

// Tests: answer as for a screen of this size from now on (forgets the cached answer).
void OverrideScreenSize(int nWidth, int nHeight);
