#include "support/cli_runner.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace test {

CRun RunCli(const QString& root, const QString& hive, const QStringList& args, int msTimeout) {
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(PINBRO_CLI_BINARY, QStringList{"--root", root, "--registry", hive} + args);
  EXPECT_TRUE(process.waitForFinished(msTimeout)) << args.join(' ').toStdString();
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace test
