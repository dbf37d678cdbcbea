// A zip archive from the input: its central directory read by the layer, every entry's data
// read through the decompressor, the folders listed as a panel lists them, and the whole
// archive extracted. Whatever the bytes:
//   - every entry the layer names is either refused or has a clean name (no drive, no root,
//     no ".." component, no NUL), and reading it ends with one of the layer's codes;
//   - an entry read to its end with success gave exactly its uncompressed size;
//   - every folder of the listing can be listed, and its children are named without a
//     separator;
//   - extracting writes nothing beside the destination folder.
#include <cstdint>

#include <QByteArray>
#include <QStringList>

#include "fuzz_support.h"
#include "zip/zip_archive.h"
#include "zip/zip_commands.h"
#include "zip/zip_layer.h"

namespace {

const QString kIn = QStringLiteral("\\in.zip");
const QString kOut = QStringLiteral("\\out");

bool IsCleanName(const QString& name) {
  if (name.contains(QChar(0))) return false;
  if (name.size() >= 2 && name[1] == u':') return false;
  if (name.startsWith(u'/') || name.startsWith(u'\\')) return false;
  const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
  return !parts.contains(QStringLiteral(".."));
}

void ReadEntries(zip::HZIP hz) {
  zip::ZIPENTRY all;
  FUZZ_CHECK(zip::GetZipItem(hz, -1, &all) == zip::eZipOK);
  FUZZ_CHECK(all.index >= 0);
  static char buffer[16384];
  for (int i = 0; i < all.index; ++i) {
    zip::ZIPENTRY e;
    FUZZ_CHECK(zip::GetZipItem(hz, i, &e) == zip::eZipOK);
    if (e.refusal == zip::EZipRefusal::eNone) FUZZ_CHECK(IsCleanName(e.name));
    quint64 total = 0;
    DWORD code = zip::eZipMore;
    // A bounded read: a tiny input cannot inflate to more than about a thousand times its size.
    for (int part = 0; code == zip::eZipMore && part < 4096; ++part) {
      DWORD dwRead = 0;
      code = zip::UnzipItemToBuffer(hz, i, buffer, sizeof buffer, &dwRead);
      FUZZ_CHECK(dwRead <= sizeof buffer);
      total += dwRead;
    }
    FUZZ_CHECK(code == zip::eZipOK || code == zip::eZipMore || code == zip::eZipCorrupt ||
               code == zip::eZipRead || code == zip::eZipPassword || code == zip::eZipRefused ||
               code == zip::eZipNoAlloc || code == zip::eZipArgs);
    if (code == zip::eZipOK && !e.IsFolder()) FUZZ_CHECK(total == e.unc_size);
  }
}

void ListFolders(const zip::CZipArchive& archive, const QString& inner, int depth) {
  FUZZ_CHECK(archive.HasFolder(inner));
  if (depth > 32) return;
  for (const zip::CZipChild& child : archive.Children(inner)) {
    FUZZ_CHECK(!child.name.isEmpty() && !child.name.contains(u'\\'));
    FUZZ_CHECK(child.index >= -1 && child.index < archive.Count());
    if (child.bFolder)
      ListFolders(archive, inner.isEmpty() ? child.name : inner + u'\\' + child.name, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  fuzz::WriteFile(kIn, fuzz::Bytes(data, size));
  if (zip::CZipPtr hz{zip::OpenZip(kIn)}) ReadEntries(hz.get());

  zip::CZipArchive::ForgetCached();
  if (const std::shared_ptr<zip::CZipArchive> archive = zip::CZipArchive::Open(kIn)) {
    ListFolders(*archive, QString(), 0);
    fuzz::WriteFile(kOut + QStringLiteral("\\.keep"), {});
    zip::ExtractAll(kIn, kOut);
    FUZZ_CHECK(fuzz::Names(QStringLiteral("\\")) == QStringList({"in.zip", "out"}));
  }
  zip::CZipArchive::ForgetCached();
  fuzz::EmptyFolder(QStringLiteral("\\"));
  return 0;
}
