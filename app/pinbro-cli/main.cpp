// pinbro-cli: the program's operations from a shell or a script.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "app/cli/cli_main.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("pinbro-cli");
  QTextStream out(stdout);
  QTextStream err(stderr);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return cli::RunCli(args, out, err);
}
