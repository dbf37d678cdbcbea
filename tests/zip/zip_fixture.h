#pragma once
// Archives made by other tools for the zip tests: Python's zipfile (with raw names and extra
// fields where a case needs them), Info-ZIP's zip, and the programs that check our archives.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "support/temp_root.h"

namespace test {

class ZipFixture : public TempRoot {
 protected:
  struct CRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
  };
  static CRun RunTool(const QString& program, const QStringList& args,
                      const QString& workDir = {}) {
    QProcess p;
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(program, args);
    CRun run;
    if (!p.waitForFinished(240000)) return run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
  }
  // Runs a Python 3 script with the helpers below defined; sys.argv[1:] are args.
  //   raw_entry(zf, name_bytes, data, flag_bits=0, extra=b"", external=0, system=0,
  //             method=ZIP_STORED)  an entry whose stored name is exactly name_bytes
  static CRun Python(const QString& script, const QStringList& args = {}) {
    static const char kHelpers[] = R"PY(
import sys, zipfile, struct, zlib, os, time
class RawInfo(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):
        return self.raw_name, self.flag_bits
def raw_entry(zf, name_bytes, data, flag_bits=0, extra=b"", external=0, system=0,
              method=zipfile.ZIP_STORED):
    info = RawInfo(name_bytes.decode("latin-1"), date_time=(2021, 6, 15, 12, 30, 10))
    info.raw_name = name_bytes
    info.flag_bits = flag_bits
    info.extra = extra
    info.external_attr = external
    info.create_system = system
    info.compress_type = method
    zf.writestr(info, data)
)PY";
    return RunTool(QStringLiteral("python3"),
                   QStringList{QStringLiteral("-c"), QString::fromUtf8(kHelpers) + script} + args);
  }
  bool HaveTool(const QString& program) const {
    return RunTool(QStringLiteral("sh"), {"-c", "command -v " + program}).exitCode == 0;
  }
};

}  // namespace test
