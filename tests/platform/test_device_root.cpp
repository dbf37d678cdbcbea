// Device paths to host paths: the one gate between the program and the host's files.
#include <QDir>
#include <QFile>

#include "platform/device_root.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host_stat.h"
#include "support/temp_root.h"

namespace {

class DeviceRootTest : public test::TempRoot {
 protected:
  QString HostOf(const QString& device) {
    QByteArray host;
    if (!plat::CDeviceRoot::ToHost(device, &host)) return QStringLiteral("<refused>");
    return QFile::decodeName(host);
  }
  QString Root() const { return plat::CDeviceRoot::HostDir(); }
};

TEST_F(DeviceRootTest, AcceptedFormsMapInsideTheRoot) {
  struct Case {
    const char16_t* device;
    const char* relative;  // "" = the root itself
  } cases[] = {
      {u"\\", ""},
      {u"/", ""},
      {u"\\a", "/a"},
      {u"a", "/a"},
      {u"\\a\\b.txt", "/a/b.txt"},
      {u"\\a\\b\\", "/a/b"},
      {u"/etc/passwd", "/etc/passwd"},
      {u"\\a/b\\c", "/a/b/c"},
      {u"\\...", "/..."},
      {u"\\.hidden", "/.hidden"},
      {u"\\a b\\ünïcode €", "/a b/ünïcode €"},
  };
  for (const Case& c : cases) {
    const QString device = QString::fromUtf16(c.device);
    EXPECT_EQ(HostOf(device), Root() + QString::fromUtf8(c.relative)) << device.toStdString();
  }
}

TEST_F(DeviceRootTest, EscapesAndMalformedPathsAreRefused) {
  const QString cases[] = {
      QStringLiteral("\\..\\x"),      QStringLiteral("\\a\\..\\..\\x"),
      QStringLiteral("\\a\\.\\b"),    QStringLiteral("\\a\\\\b"),
      QStringLiteral(".."),           QStringLiteral("\\.."),
      QStringLiteral("/../etc"),      QStringLiteral("\\a\\.."),
      QStringLiteral("\\a\\b\\\\"),   QStringLiteral("\\\\server\\share"),
      QStringLiteral(""),             QStringLiteral("\\a") + QChar(0) + QStringLiteral("b"),
      QStringLiteral("\\") + QChar(0xD800),  // a lone surrogate has no host name
  };
  for (const QString& device : cases) {
    plat::SetLastError(0);
    QByteArray host;
    EXPECT_FALSE(plat::CDeviceRoot::ToHost(device, &host)) << device.toStdString();
    EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_NAME) << device.toStdString();
  }
}

// One name of a walk maps to the host alone; a name that is not one component is refused as
// the whole path would be.
TEST_F(DeviceRootTest, OneNameMapsAsItsPathsLastComponentDoes) {
  for (const QString& name : {QStringLiteral("x.txt"), QStringLiteral("K\u00e4se \u65e5")}) {
    QByteArray raw, host;
    ASSERT_TRUE(plat::host::HostName(name, &raw)) << name.toStdString();
    ASSERT_TRUE(plat::CDeviceRoot::ToHost("\\d\\" + name, &host));
    EXPECT_TRUE(host.endsWith("/" + raw)) << host.constData();
  }
  const QString refused[] = {
      QString(),         QStringLiteral("."),   QStringLiteral(".."),
      QStringLiteral("a\\b"), QStringLiteral("a/b"), QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
      QString(QChar(0xD800)),
  };
  for (const QString& name : refused) {
    plat::SetLastError(0);
    QByteArray raw;
    EXPECT_FALSE(plat::host::HostName(name, &raw)) << name.toStdString();
    EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_NAME) << name.toStdString();
  }
}

TEST_F(DeviceRootTest, RefusedPathsNeverReachTheHost) {
  // A file beside the root that an escape would reach.
  const QString outside = QFileInfo(Root()).path() + "/pinbro_outside_" +
                          QFileInfo(Root()).fileName();
  plat::CHostFile file;
  EXPECT_FALSE(file.Open("\\..\\pinbro_outside_" + QFileInfo(Root()).fileName(),
                         plat::GENERIC_WRITE, plat::CREATE_NEW));
  EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_NAME);
  EXPECT_FALSE(QFile::exists(outside));
  EXPECT_FALSE(plat::CreateDirectory("\\a\\..\\..\\escaped"));
  EXPECT_FALSE(QDir(QFileInfo(Root()).path() + "/escaped").exists());
}

TEST_F(DeviceRootTest, CanonicalForm) {
  struct Case {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"\\", u"\\"}, {u"/", u"\\"}, {u"a", u"\\a"}, {u"\\a\\b\\", u"\\a\\b"}, {u"/a/b", u"\\a\\b"},
  };
  for (const Case& c : cases) {
    QString canonical;
    ASSERT_TRUE(plat::CDeviceRoot::Canonical(QString::fromUtf16(c.in), &canonical));
    EXPECT_EQ(canonical, QString::fromUtf16(c.out));
  }
  QString canonical;
  EXPECT_FALSE(plat::CDeviceRoot::Canonical("\\a\\..\\b", &canonical));
}

TEST_F(DeviceRootTest, HostPathsBackToDevicePaths) {
  QString device;
  ASSERT_TRUE(plat::CDeviceRoot::ToDevice(Root(), &device));
  EXPECT_EQ(device, "\\");
  ASSERT_TRUE(plat::CDeviceRoot::ToDevice(Root() + "/a/b.txt", &device));
  EXPECT_EQ(device, "\\a\\b.txt");
  ASSERT_TRUE(plat::CDeviceRoot::ToDevice(Root() + "/a/../c", &device));
  EXPECT_EQ(device, "\\c");
  EXPECT_FALSE(plat::CDeviceRoot::ToDevice(Root() + "/../x", &device));
  EXPECT_FALSE(plat::CDeviceRoot::ToDevice(Root() + "x", &device));  // a sibling with a longer name
  EXPECT_FALSE(plat::CDeviceRoot::ToDevice("/", &device));
  EXPECT_FALSE(plat::CDeviceRoot::ToDevice(Root() + "/a\\b", &device));  // cannot be named
}

TEST_F(DeviceRootTest, OpenRefusesMissingFoldersAndFiles) {
  const QString keep = Root();
  QString error;
  EXPECT_FALSE(plat::CDeviceRoot::Open(keep + "/missing", &error));
  EXPECT_TRUE(error.contains(keep + "/missing"));
  MakeFile("\\file.txt", "x");
  EXPECT_FALSE(plat::CDeviceRoot::Open(keep + "/file.txt", &error));
  EXPECT_TRUE(error.contains("not a folder"));
  EXPECT_EQ(plat::CDeviceRoot::HostDir(), keep);  // a refused folder leaves the root as it was
}

}  // namespace
