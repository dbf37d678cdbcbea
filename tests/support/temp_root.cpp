#include "support/temp_root.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/device_root.h"
#include "platform/fault_injection.h"
#include "platform/registry_hive.h"

namespace test {

void TempRoot::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  QString error;
  ASSERT_TRUE(plat::CDeviceRoot::Open(dir_.path(), &error)) << error.toStdString();
}

void TempRoot::TearDown() { plat::CFaultInjector::Reset(); }

QString TempRoot::Host(const QString& devicePath) const {
  QString rel = devicePath;
  rel.replace('\\', '/');
  while (rel.startsWith('/')) rel.remove(0, 1);
  return rel.isEmpty() ? dir_.path() : dir_.path() + "/" + rel;
}

QString TempRoot::MakeFile(const QString& devicePath, const QByteArray& content) {
  const QString host = Host(devicePath);
  QDir().mkpath(QFileInfo(host).path());
  QFile f(host);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << host.toStdString();
  f.write(content);
  return devicePath;
}

QString TempRoot::MakeFolder(const QString& devicePath) {
  EXPECT_TRUE(QDir().mkpath(Host(devicePath)));
  return devicePath;
}

QByteArray TempRoot::ReadHost(const QString& devicePath) const {
  QFile f(Host(devicePath));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

bool TempRoot::ExistsHost(const QString& devicePath) const {
  return QFileInfo::exists(Host(devicePath)) || QFileInfo(Host(devicePath)).isSymLink();
}

void TempRootAndHive::SetUp() {
  TempRoot::SetUp();
  ASSERT_TRUE(hiveDir_.isValid());
  QString error;
  ASSERT_TRUE(plat::CHive::Open(HiveFile(), &error)) << error.toStdString();
}

void TempRootAndHive::TearDown() {
  plat::CHive::Close();
  TempRoot::TearDown();
}

QString TempRootAndHive::HiveFile() const { return hiveDir_.path() + "/registry.db"; }

}  // namespace test
