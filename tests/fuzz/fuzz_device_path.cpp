// Device paths from the input (UTF-16 when the first byte is odd, else UTF-8): a path the root
// maps is canonical-stable, maps below the root and back to its canonical form, and the path
// helpers never split it into parts that do not make it up again.
#include <cstdint>

#include <QFile>

#include "core/path_helpers.h"
#include "fuzz_support.h"
#include "platform/device_root.h"

namespace {

QString PathOf(const QByteArray& input) {
  if (input.isEmpty()) return {};
  const QByteArray rest = input.mid(1);
  if ((input.at(0) & 1) == 0) return QString::fromUtf8(rest);
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(rest.constData()), rest.size() / 2);
}

void CheckMapping(const QString& path) {
  QString canonical;
  QByteArray host;
  const bool bCanonical = plat::CDeviceRoot::Canonical(path, &canonical);
  const bool bHost = plat::CDeviceRoot::ToHost(path, &host);
  FUZZ_CHECK(bCanonical || !bHost);
  if (!bCanonical) return;
  QString again;
  FUZZ_CHECK(plat::CDeviceRoot::Canonical(canonical, &again) && again == canonical);
  FUZZ_CHECK(canonical.startsWith(u'\\') && (canonical.size() == 1 || !canonical.endsWith(u'\\')));
  if (!bHost) return;
  const QByteArray rootBytes = plat::CDeviceRoot::HostDirBytes();
  FUZZ_CHECK(host == rootBytes || host.startsWith(rootBytes + '/'));
  const QByteArray tail = host.mid(rootBytes.size());
  FUZZ_CHECK(!(tail + '/').contains("/../") && !(tail + '/').contains("/./") &&
             !tail.contains("//"));
  QString device;
  FUZZ_CHECK(plat::CDeviceRoot::ToDevice(QFile::decodeName(host), &device) && device == canonical);
}

void CheckHelpers(const QString& path) {
  const QString parent = browse::ParentPath(path);
  const QString last = browse::LastComponent(path);
  browse::StripTrailingBackslash(path);
  browse::AppendPathComponent(parent, last);
  QString canonical;
  if (!plat::CDeviceRoot::Canonical(path, &canonical) || canonical == u"\\") return;
  // A canonical path is its parent and its last component.
  FUZZ_CHECK(browse::AppendPathComponent(browse::ParentPath(canonical),
                                         browse::LastComponent(canonical)) == canonical);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartRoot();
  const QString path = PathOf(fuzz::Bytes(data, size));
  CheckMapping(path);
  CheckHelpers(path);
  return 0;
}
