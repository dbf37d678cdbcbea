#pragma once
// Shell services of the host: handing a host file to the desktop's programs to open, view or
// edit it. The programs are started detached, with the file as one argument (no shell reads
// the path).

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace plat {

enum class EShellOpen {
  eOpen,  // the desktop's default application for the file's type
  eView,  // read-only: a text file in a pager in a terminal, any other file as eOpen
  eEdit,  // a text file in the user's editor, any other file as eOpen
};

// A program and its arguments; an empty program when there is nothing to start.
struct CShellCommand {
  QString strProgram;
  QStringList args;
};

// Where ShellOpenCommand finds programs; the default looks them up on PATH.
struct CShellTools {
  QString strOpener;    // the desktop's opener (xdg-open)
  QString strTerminal;  // a terminal that runs a command after -e (x-terminal-emulator)
};
CShellTools FindShellTools();

// The command that opens strHostPath as asked. A text file (by its content type) is edited
// in $VISUAL, else in $EDITOR run in the terminal, and viewed in $PAGER (else less) run in
// the terminal; without a terminal, and for every other file, the opener takes it.
CShellCommand ShellOpenCommand(const QString& strHostPath, EShellOpen eHow,
                               const QProcessEnvironment& environment, const CShellTools& tools);

// Starts that command for the process's environment; false when nothing could be started.
bool ShellOpen(const QString& strHostPath, EShellOpen eHow);

// True when the file's content type is text (text/plain or a type derived from it).
bool IsTextFile(const QString& strHostPath);

}  // namespace plat
