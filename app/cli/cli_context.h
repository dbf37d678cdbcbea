#pragma once
// What every pinbro-cli command gets: its arguments, the global options and the two streams.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

// Exit statuses of pinbro-cli.
constexpr int kExitOk = 0;       // the operation succeeded
constexpr int kExitFailed = 1;   // failed, refused, declined or cancelled
constexpr int kExitUsage = 2;    // the command line is wrong

struct CGlobalOptions {
  QString root;          // host folder of the device root
  QString registry;      // host path of the hive file
  QString answer;        // "", "yes", "no", "yes-all", "no-all" or "cancel"
  QString passwordFile;  // host path; empty = ask without echo
  bool quiet = false;    // no progress display
};

struct CCliContext {
  CGlobalOptions options;
  QStringList args;      // the command's own arguments (after the command word)
  QTextStream& out;      // standard output: the command's results
  QTextStream& err;      // standard error: boxes, progress and usage texts
};

}  // namespace cli
