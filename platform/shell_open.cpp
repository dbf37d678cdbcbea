#include "platform/shell_open.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace plat {

namespace {

// A user's command setting ("code -w", "less -R") split as a shell would split it, with the
// file added as the last argument; empty when the setting names no program.
CShellCommand FromSetting(const QString& strSetting, const QString& strHostPath) {
  QStringList words = QProcess::splitCommand(strSetting);
  if (words.isEmpty()) return {};
  CShellCommand command{words.takeFirst(), words};
  command.args << strHostPath;
  return command;
}

CShellCommand InTerminal(const CShellTools& tools, CShellCommand command) {
  if (tools.strTerminal.isEmpty() || command.strProgram.isEmpty()) return {};
  QStringList args{QStringLiteral("-e"), command.strProgram};
  args << command.args;
  return {tools.strTerminal, args};
}

}  // namespace

CShellTools FindShellTools() {
  return {QStandardPaths::findExecutable(QStringLiteral("xdg-open")),
          QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"))};
}

bool IsTextFile(const QString& strHostPath) {
  const QMimeType type = QMimeDatabase().mimeTypeForFile(strHostPath);
  return type.inherits(QStringLiteral("text/plain"));
}

CShellCommand ShellOpenCommand(const QString& strHostPath, EShellOpen eHow,
                               const QProcessEnvironment& environment, const CShellTools& tools) {
  CShellCommand command;
  if (eHow != EShellOpen::eOpen && IsTextFile(strHostPath)) {
    if (eHow == EShellOpen::eEdit) {
      command = FromSetting(environment.value(QStringLiteral("VISUAL")), strHostPath);
      if (command.strProgram.isEmpty())
        command = InTerminal(tools, FromSetting(environment.value(QStringLiteral("EDITOR")),
                                                strHostPath));
    } else {
      const QString strPager = environment.value(QStringLiteral("PAGER"));
      command = InTerminal(tools, FromSetting(strPager.trimmed().isEmpty() ? QStringLiteral("less")
                                                                            : strPager,
                                              strHostPath));
    }
  }
  if (command.strProgram.isEmpty() && !tools.strOpener.isEmpty())
    command = {tools.strOpener, {strHostPath}};
  return command;
}

bool ShellOpen(const QString& strHostPath, EShellOpen eHow) {
  const CShellCommand command = ShellOpenCommand(
      strHostPath, eHow, QProcessEnvironment::systemEnvironment(), FindShellTools());
  if (command.strProgram.isEmpty()) return false;
  return QProcess::startDetached(command.strProgram, command.args);
}

}  // namespace plat
