#pragma once
// A folder outside the device root with a few files, reached from inside the root by
// symbolic links, and a snapshot of everything in it: tests prove that nothing done through
// those links changed it.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace test {

class COutsideTree {
 public:
  // Makes secret.txt, sub\inner.txt and an empty folder empty\ in a fresh temporary folder,
  // and links to it inside the root at rootHost: lnkdir (absolute target), lnkrel (relative
  // target) and lnkfile (absolute, to secret.txt).
  bool Make(const QString& rootHost);
  QString Path() const { return dir_.path(); }
  // Every item below the folder with its type, size, mode, times, extended attributes and
  // content, one line each in a fixed order.
  QStringList Snapshot() const;

 private:
  QTemporaryDir dir_;
};

}  // namespace test
