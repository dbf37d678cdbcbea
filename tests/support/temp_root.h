#pragma once
// A temporary device root with real files, and a temporary registry hive, for tests.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace test {

// Makes a fresh temporary folder the device root for the test's duration.
class TempRoot : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Host path of a device path ("\a\b.txt" → "<tmp>/a/b.txt").
  QString Host(const QString& devicePath) const;
  // Writes a file (creating its folders) and returns its device path.
  QString MakeFile(const QString& devicePath, const QByteArray& content = {});
  QString MakeFolder(const QString& devicePath);
  QByteArray ReadHost(const QString& devicePath) const;
  bool ExistsHost(const QString& devicePath) const;

  QTemporaryDir dir_;
};

// As TempRoot, and a fresh hive file opened for the process (closed again at the end).
class TempRootAndHive : public TempRoot {
 protected:
  void SetUp() override;
  void TearDown() override;
  QString HiveFile() const;

  QTemporaryDir hiveDir_;
};

}  // namespace test
