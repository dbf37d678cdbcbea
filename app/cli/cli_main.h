#pragma once
// The whole pinbro-cli run: parses the global options, opens the device root and the registry
// hive, and runs one command. Returns the exit status.

#include <QStringList>
#include <QTextStream>

namespace cli {

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace cli
