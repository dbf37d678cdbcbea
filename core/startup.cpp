#include "core/startup.h"

#include "core/app_log.h"
#include "core/favorites.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_screen.h"
#include "core/settings_store.h"
#include "core/startup_shell.h"
#include "core/texts.h"
#include "platform/system.h"

namespace {

constexpr char16_t kExecutablePathValue[] = u"PINBRO_APP";

void WriteExecutablePath() {
  const QString strPath = ExecutablePath();
  const bool bOk = WriteKeyString(QString::fromUtf16(kMakerKey),
                                  QString::fromUtf16(kExecutablePathValue), strPath);
  LogNotice(u"  %s = %s (%s)", kExecutablePathValue, strPath, bOk ? u"written" : u"not written");
}

void OfferStartMenuShortcut(const CPostStartOptions& options) {
  if (HasStartMenuShortcut()) return;
  const int nAnswer = MsgShortcutOffer(
      core::Text(61210).arg(QString::fromUtf16(kProductName)), core::Text(61211),
      core::Text(61212));
  LogNotice(u"  Start-menu shortcut offered, answer %d", nAnswer);
  if (nAnswer != eMsgAnsYes) return;
  CreateStartMenuShortcut();
  if (!options.strDesktopEntryFile.isEmpty())
    WriteDesktopEntry(options.strDesktopEntryFile, options.strHostExecutable);
}

}  // namespace

QString ExecutablePath() { return plat::GetModuleFileName().left(MAX_PATH); }

bool InitInstance(IAppFrameHost& host) {
  SetScreenSizeProvider(
      [&host](int* pnWidth, int* pnHeight) { host.ScreenSize(pnWidth, pnHeight); });
  // The handheld shell's start-up routine has no counterpart on the host.
  LoadCurrentProfileName();
  LoadDefaults();
  LoadLogOptions();
  OpenLog(LogOptionsFromSettings());
  LogTrace(u"InitInstance()...");
  LogNotice(u"  Profile \"%s\"", EffectiveProfileName());
  WriteExecutablePath();
  LoadStorageFlags();
  LoadAppearanceOptions();
  LogNotice(u"  Storage flags and appearance options read (DisableGetStorageIDIOCTL = %u)",
            settings.DisableGetStorageIDIOCTL);
  // The display texts of sizes and storage names are compiled into the program (core/format.h
  // and the storage totals), so there is no string table to load them from.
  const bool bHiRes = IsHighResolutionScreen();
  LogNotice(u"  High-resolution screen: %s", bHiRes ? u"yes" : u"no");
  LoadSettings();
  LogNotice(u"  Profile options loaded");
  LoadFavorites();
  const bool bOk = host.CreateMainFrame();
  LogNotice(u"  Main frame %s", bOk ? u"created" : u"could not be created");
  LogTrace(u"InitInstance()");
  return bOk;
}

void ExitInstance(IAppFrameHost& host) {
  LogTrace(u"ExitInstance()...");
  host.DestroyMainFrame();
  host.ReleaseSharedUiObjects();
  LogTrace(u"ExitInstance()");
  CloseLog();
  SaveSettings();
}

void RunPostStartSteps(const CPostStartOptions& options) {
  LogTrace(u"RunPostStartSteps()...");
  OfferStartMenuShortcut(options);
  CheckOperatingSystem();
  LogTrace(u"RunPostStartSteps()");
}
