// Registry files (".reg" text) from the input, imported into a fresh hive: a failed import
// changes nothing, and after a successful one every root's export imports again and leaves the
// hive exactly as it was (export then import gives back the same keys, values and types).
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "fuzz_support.h"
#include "platform/registry_hive.h"
#include "registry/registry_file.h"

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS};

QByteArray ExportAll() {
  QByteArray all;
  for (HKEY root : kRoots) all += regfile::ExportText(root, QString(), regfile::eRegFile_Version5);
  return all;
}

// Each input starts from a new hive with only the four roots.
void OpenFreshHive() {
  static const QString file =
      QDir::tempPath() + QStringLiteral("/pinbro-fuzz-reg-%1.db").arg(QCoreApplication::applicationPid());
  plat::CHive::Close();
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(file + suffix);
  QString error;
  FUZZ_CHECK(plat::CHive::Open(file, &error));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  OpenFreshHive();
  const QByteArray before = ExportAll();
  regfile::CImportError error;
  if (!regfile::ImportText(fuzz::Bytes(data, size), &error)) {
    FUZZ_CHECK(ExportAll() == before);
    return 0;
  }
  const QByteArray after = ExportAll();
  for (HKEY root : kRoots) {
    const QByteArray text = regfile::ExportText(root, QString(), regfile::eRegFile_Version5);
    FUZZ_CHECK(regfile::ImportText(text, &error));
  }
  FUZZ_CHECK(ExportAll() == after);
  return 0;
}
