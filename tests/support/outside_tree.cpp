#include "support/outside_tree.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace test {
namespace {

bool Write(const QString& path, const QByteArray& content) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool Link(const QByteArray& target, const QString& at) {
  return ::symlink(target.constData(), QFile::encodeName(at).constData()) == 0;
}

QString Describe(const QString& base, const QString& path) {
  const QByteArray host = QFile::encodeName(path);
  struct stat st;
  if (::lstat(host.constData(), &st) != 0) return path + " missing";
  char names[1024];
  const ssize_t n = ::llistxattr(host.constData(), names, sizeof(names));
  QString line = QStringLiteral("%1 mode=%2 size=%3 mtime=%4.%5 xattrs=%6")
                     .arg(QDir(base).relativeFilePath(path))
                     .arg(st.st_mode, 0, 8)
                     .arg(st.st_size)
                     .arg(st.st_mtim.tv_sec)
                     .arg(st.st_mtim.tv_nsec)
                     .arg(n > 0 ? QString::fromLatin1(QByteArray(names, n).replace('\0', ','))
                                : QString());
  if (S_ISREG(st.st_mode)) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
      line += " sha1=" + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
  }
  return line;
}

}  // namespace

bool COutsideTree::Make(const QString& rootHost) {
  if (!dir_.isValid()) return false;
  const QString base = dir_.path();
  if (!Write(base + "/secret.txt", "the secret") || !QDir().mkpath(base + "/sub") ||
      !Write(base + "/sub/inner.txt", "inner") || !QDir().mkpath(base + "/empty"))
    return false;
  // The relative link climbs out of the root and into the outside folder.
  const QString relative = QDir(rootHost).relativeFilePath(base);
  return Link(QFile::encodeName(base), rootHost + "/lnkdir") &&
         Link(QFile::encodeName(relative), rootHost + "/lnkrel") &&
         Link(QFile::encodeName(base + "/secret.txt"), rootHost + "/lnkfile");
}

QStringList COutsideTree::Snapshot() const {
  QStringList lines{Describe(dir_.path(), dir_.path())};
  QDirIterator it(dir_.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                   QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) lines << Describe(dir_.path(), it.next());
  lines.sort();
  return lines;
}

}  // namespace test
