// pinbro: the desktop program.
#include <QApplication>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>

#include "app/pinbro/desktop_frame_host.h"
#include "core/message_box.h"
#include "core/settings_answers.h"
#include "core/settings_options.h"
#include "core/settings_screen.h"
#include "core/texts.h"
#include "platform/host_defaults.h"
#include "platform/registry_hive.h"
#include "ui/message_box_dialog.h"
#include "ui/progress_window.h"
#include "zip/opened_members.h"

namespace {

// Qt aborts when it cannot reach a display; say it in words instead and point to the
// command-line front-end.
bool DisplayAvailable() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

struct CDesktopOptions {
  QString root;
  QString registry;
};

bool ParseOptions(const QStringList& args, CDesktopOptions* o, QString* error) {
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    QString* target = a == "--root" ? &o->root : a == "--registry" ? &o->registry : nullptr;
    if (!target || i + 1 >= args.size()) {
      *error = QStringLiteral("usage: pinbro [--root DIR] [--registry FILE]");
      return false;
    }
    *target = args[++i];
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer startClock;
  startClock.start();
  QTextStream err(stderr);
  if (!DisplayAvailable()) {
    err << "pinbro needs a graphical display (none was found: DISPLAY and WAYLAND_DISPLAY are "
           "unset).\nUse pinbro-cli for the same operations from a terminal.\n";
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Pinewood Browser");
  // The system's texts in the locale's language, when a translation of it is installed.
  // A build keeps them beside the program, an installation in its share folder.
  const QString strBeside = QApplication::applicationDirPath() + "/translations";
  core::InstallStartTranslation(QFileInfo::exists(strBeside)
                                    ? strBeside
                                    : QApplication::applicationDirPath() +
                                          "/../share/pinewood-browser/translations");
  CDesktopOptions options;
  QString error;
  if (!ParseOptions(QApplication::arguments(), &options, &error)) {
    err << error << "\n";
    return 2;
  }
  if (!plat::OpenHost(options.root, options.registry, &error)) {
    err << "pinbro: " << error << "\n";
    QMessageBox::critical(nullptr, "Pinewood Browser", error);
    return 1;
  }
  SetHostOptionDefaults(DesktopOptionDefaults());
  CDesktopFrameHost host;
  host.SetStartClock(startClock);
  // The screen test sizes the desktop box, so its provider is set before the box is made.
  SetScreenSizeProvider([&host](int* w, int* h) { host.ScreenSize(w, h); });
  CDesktopMessageBoxUi boxUi(IsHighResolutionScreen());
  CSettingsRememberedAnswers rememberedAnswers;
  CMessageBoxService boxService(&boxUi, &rememberedAnswers);
  CScopedMessageBoxService installBoxService(&boxService);
  CDesktopProgressFactory progressUi;
  fileops::CScopedProgressFactory installProgress(&progressUi);
  if (!InitInstance(host)) return 1;
  // Copies of archive members opened a day ago or more are not kept for ever.
  zip::RemoveStaleOpenedMembers(zip::kOpenedMembersKeptSeconds);
  const int status = app.exec();
  ExitInstance(host);
  plat::CHive::Close();
  return status;
}
