#include "app/cli/cli_main.h"

#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "app/cli/terminal_message_box.h"
#include "app/cli/terminal_progress.h"
#include "core/settings_answers.h"
#include "core/settings_io.h"
#include "core/settings_options.h"
#include "platform/host_defaults.h"
#include "platform/registry_hive.h"

namespace cli {
namespace {

const QStringList kAnswers = {"yes", "no", "yes-all", "no-all", "cancel"};

void PrintHelp(QTextStream& s) {
  s << "Usage: pinbro-cli [global options] COMMAND [arguments]\n\n"
       "Global options:\n"
       "  --root DIR             device root (default PINBRO_ROOT, else the home folder)\n"
       "  --registry FILE        registry hive (default PINBRO_REGISTRY, else\n"
       "                         $XDG_CONFIG_HOME/pinewood-browser/registry.db)\n"
       "  --answer yes|no|yes-all|no-all|cancel\n"
       "                         the answer to every question the program asks\n"
       "  --password-file FILE   password for encrypt and decrypt (first line)\n"
       "  --quiet                no progress display\n"
       "  --help                 this text\n\n"
       "Paths are device paths (\"\\Docs\\a.txt\").\n"
       "Exit status: 0 success; 1 failed, refused, declined or cancelled; 2 wrong command line.\n\n"
       "Commands:\n";
  for (const CCommand& c : Commands()) {
    s << "  " << c.usage << "\n      " << c.summary << "\n";
  }
  s.flush();
}

// Reads the global options from the front of args; the rest stays in *rest.
// Returns false with a message for a malformed option.
bool ParseGlobalOptions(const QStringList& args, CGlobalOptions* o, QStringList* rest,
                        bool* help, QString* error) {
  int i = 0;
  for (; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == "--help" || a == "-h") {
      *help = true;
      continue;
    }
    if (a == "--quiet") {
      o->quiet = true;
      continue;
    }
    QString* target = a == "--root"            ? &o->root
                      : a == "--registry"      ? &o->registry
                      : a == "--answer"        ? &o->answer
                      : a == "--password-file" ? &o->passwordFile
                                               : nullptr;
    if (!target) break;
    if (i + 1 >= args.size()) {
      *error = QStringLiteral("%1 needs a value.").arg(a);
      return false;
    }
    *target = args[++i];
  }
  if (!o->answer.isEmpty() && !kAnswers.contains(o->answer)) {
    *error = QStringLiteral("--answer takes yes, no, yes-all, no-all or cancel.");
    return false;
  }
  *rest = args.mid(i);
  return true;
}

}  // namespace

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err) {
  CGlobalOptions options;
  QStringList rest;
  bool help = false;
  QString error;
  if (!ParseGlobalOptions(arguments, &options, &rest, &help, &error)) {
    err << "pinbro-cli: " << error << "\n";
    err.flush();
    return kExitUsage;
  }
  if (help) {
    PrintHelp(out);
    return kExitOk;
  }
  const CCommand* command = nullptr;
  if (!rest.isEmpty()) {
    const QString word = rest.takeFirst();
    for (const CCommand& c : Commands())
      if (word == QLatin1String(c.word)) command = &c;
    if (!command) {
      err << "pinbro-cli: unknown command \"" << word << "\"; see pinbro-cli --help\n";
      err.flush();
      return kExitUsage;
    }
  }
  // The root and the hive are opened even without a command, so that a bad root or a damaged
  // hive is reported as such.
  if (!plat::OpenHost(options.root, options.registry, &error)) {
    err << "pinbro-cli: " << error << "\n";
    err.flush();
    return kExitFailed;
  }
  if (!command) {
    plat::CHive::Close();
    PrintHelp(err);
    return kExitUsage;
  }
  // The current profile's options, and boxes on the terminal with the profile's remembered
  // answers, as the desktop has them.
  // The same defaults as the desktop program, so that both read a missing value alike.
  SetHostOptionDefaults(DesktopOptionDefaults());
  LoadStoredOptions();
  CTerminalMessageBox boxUi(options.answer, err);
  CSettingsRememberedAnswers rememberedAnswers;
  CMessageBoxService boxService(&boxUi, &rememberedAnswers);
  CScopedMessageBoxService installBoxService(&boxService);
  CTerminalProgressFactory progressUi(options.quiet, err);
  fileops::CScopedProgressFactory installProgress(&progressUi);
  CCliContext ctx{options, rest, out, err};
  const int status = command->run(ctx);
  plat::CHive::Close();
  out.flush();
  err.flush();
  return status;
}

}  // namespace cli
