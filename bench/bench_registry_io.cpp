// Registry files and large keys: export of a tree of 100,000 values under 1,000 keys to a
// version 5 registry file, import of that file into an empty hive, and the list of one key
// with 50,000 values (enumeration, rows and the registry sort). Targets: export under 1 s,
// import under 2 s, the list under 300 ms. Beside them, in the same run, the sqlite3 shell
// dumping the same hive to SQL text and loading that dump, which is what a user without
// the program would do to move the same data.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include "core/list_entry.h"
#include "core/settings.h"
#include "platform/device_root.h"
#include "platform/registry_hive.h"
#include "registry/registry_access.h"
#include "registry/registry_file.h"
#include "registry/registry_view.h"

namespace {

constexpr int kKeys = 1000;
constexpr int kValuesPerKey = 100;
constexpr int kBigKeyValues = 50000;

bool Fill() {
  CRegBatch batch;
  if (!batch.Begun()) return false;
  for (int k = 0; k < kKeys; ++k) {
    HKEY key = 0;
    if (plat::RegCreateKeyEx(HKEY_LOCAL_MACHINE,
                             QStringLiteral("Software\\Bench\\Group%1\\Key%2").arg(k / 50).arg(k),
                             &key, nullptr) != ERROR_SUCCESS)
      return false;
    for (int v = 0; v < kValuesPerKey; ++v) {
      const QString name = QStringLiteral("Value %1").arg(v);
      LONG rc;
      if (v % 3 == 0) {
        const DWORD n = DWORD(k * 1000 + v);
        rc = plat::RegSetValueEx(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4);
      } else if (v % 3 == 1) {
        const QString text = QStringLiteral("\\My Documents\\Folder %1\\file \"%2\".txt").arg(k).arg(v);
        rc = plat::RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.utf16()),
                                 DWORD((text.size() + 1) * 2));
      } else {
        const QByteArray bytes(24, char(v));
        rc = plat::RegSetValueEx(key, name, REG_BINARY,
                                 reinterpret_cast<const BYTE*>(bytes.constData()), 24);
      }
      if (rc != ERROR_SUCCESS) return false;
    }
    plat::RegCloseKey(key);
  }
  HKEY big = 0;
  if (plat::RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Big", &big, nullptr) != ERROR_SUCCESS)
    return false;
  for (int v = 0; v < kBigKeyValues; ++v) {
    const DWORD n = DWORD(v);
    plat::RegSetValueEx(big, QStringLiteral("Item %1").arg(v, 5, 10, QLatin1Char('0')), REG_DWORD,
                        reinterpret_cast<const BYTE*>(&n), 4);
  }
  plat::RegCloseKey(big);
  return batch.Commit();
}

double Shell(const QString& command) {
  QElapsedTimer timer;
  timer.start();
  QProcess::execute("/bin/sh", {"-c", command});
  return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  QDir().mkpath(dir.path() + "/root");
  const QString hive = dir.path() + "/hive.db";
  QString error;
  QElapsedTimer fillTimer;
  fillTimer.start();
  if (!plat::CDeviceRoot::Open(dir.path() + "/root", &error) ||
      !plat::CHive::Open(hive, &error) || !Fill()) {
    std::fprintf(stderr, "set-up failed: %s\n", qPrintable(error));
    return 1;
  }
  settings = CSettings();
  std::fprintf(stderr, "set-up: %.0f ms\n", fillTimer.nsecsElapsed() / 1e6);

  double exportMs = 1e9, importMs = 1e9, listMs = 1e9;
  int nKeys = 0, nValues = 0;
  for (int round = 0; round < 3; ++round) {
    QElapsedTimer timer;
    timer.start();
    QString why;
    if (!regfile::ExportToFile(HKEY_LOCAL_MACHINE, "\\Software\\Bench", "\\bench.reg",
                               regfile::eRegFile_Version5, &why)) {
      std::fprintf(stderr, "export failed: %s\n", qPrintable(why));
      return 1;
    }
    exportMs = std::min(exportMs, timer.nsecsElapsed() / 1e6);

    timer.restart();
    CListEntries entries;
    regview::FillKey(HKEY_LOCAL_MACHINE, "\\Software\\Big", &entries);
    entries.StableSort([](const CListEntry& a, const CListEntry& b) {
      return regview::CompareEntries(a, b, true) < 0;
    });
    for (int i = 0; i < entries.Count(); ++i)  // the texts the list asks for its rows
      regview::RowText(*entries.At(i), eRegField_Data);
    listMs = std::min(listMs, timer.nsecsElapsed() / 1e6);
    nValues = entries.Count();
  }
  regfile::ExportText(HKEY_LOCAL_MACHINE, "\\Software\\Bench", regfile::eRegFile_Version5, &nKeys,
                      nullptr);
  QFile file(dir.path() + "/root/bench.reg");
  file.open(QIODevice::ReadOnly);
  const QByteArray bytes = file.readAll();

  // Import into a hive without the tree.
  for (int round = 0; round < 3; ++round) {
    DeleteKey(HKEY_LOCAL_MACHINE, "Software", "Bench");
    QElapsedTimer timer;
    timer.start();
    regfile::CImportError importError;
    if (!regfile::ImportText(bytes, &importError)) {
      std::fprintf(stderr, "import failed at line %d: %s\n", importError.nLine,
                   qPrintable(importError.strWhy));
      return 1;
    }
    importMs = std::min(importMs, timer.nsecsElapsed() / 1e6);
  }
  plat::CHive::Close();

  const double dumpMs = Shell(QStringLiteral("sqlite3 '%1' .dump > '%2/dump.sql'").arg(hive, dir.path()));
  const double loadMs =
      Shell(QStringLiteral("sqlite3 '%1/load.db' < '%1/dump.sql'").arg(dir.path()));

  std::printf("registry file of %d keys, %d values, %lld bytes\n", nKeys, kKeys * kValuesPerKey,
              static_cast<long long>(bytes.size()));
  std::printf("export to .reg:         %8.1f ms (target < 1000)\n", exportMs);
  std::printf("import from .reg:       %8.1f ms (target < 2000)\n", importMs);
  std::printf("list key of %d values: %8.1f ms (target < 300)\n", nValues - 1, listMs);
  std::printf("sqlite3 .dump of hive:  %8.1f ms (whole hive, incl. the 50,000-value key)\n", dumpMs);
  std::printf("sqlite3 load of dump:   %8.1f ms\n", loadMs);
  return 0;
}
