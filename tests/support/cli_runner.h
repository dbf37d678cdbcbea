#pragma once
// Runs the built pinbro-cli as a separate process, the way a user's script does.

#include <QString>
#include <QStringList>

namespace test {

struct CRun {
  int exitCode = -1;
  QString out;  // standard output
  QString err;  // standard error
};

// pinbro-cli --root ROOT --registry HIVE ARGS..., with an empty standard input (so questions
// take their safe answer unless --answer is given). A run that does not end within the time
// fails the calling test.
CRun RunCli(const QString& root, const QString& hive, const QStringList& args,
            int msTimeout = 60000);

}  // namespace test
