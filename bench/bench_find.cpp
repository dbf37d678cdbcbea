// Lists a folder of 100,000 small files through CFind (full find records: status, attributes,
// times) and compares the rate with find(1) reading every entry's status.
//
// Usage: bench_find [FOLDER]   (default: a folder under the system's temporary folder; the
// files are made on the first run and reused after that)
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include "platform/device_root.h"
#include "platform/find.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kRuns = 3;

int CountEntries(const QByteArray& folder) {
  DIR* dir = ::opendir(folder.constData());
  if (!dir) return 0;
  int count = 0;
  while (const dirent* e = ::readdir(dir))
    if (e->d_name[0] != '.') ++count;
  ::closedir(dir);
  return count;
}

bool MakeFiles(const QByteArray& folder) {
  for (int i = 0; i < kFiles; ++i) {
    const QByteArray path = folder + "/file" + QByteArray::number(i).rightJustified(6, '0') + ".txt";
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const QByteArray content = "small file " + QByteArray::number(i) + "\n";
    const bool ok = ::write(fd, content.constData(), content.size()) == content.size();
    ::close(fd);
    if (!ok) return false;
  }
  return true;
}

// Lists the folder with full records; returns the number of entries (or -1).
int ListWithCFind(const QString& pattern, quint64* checksum) {
  plat::CFind find;
  WIN32_FIND_DATAW data;
  if (!find.First(pattern, &data)) return -1;
  int count = 0;
  do {
    ++count;
    *checksum += plat::FindSize(data) + data.dwFileAttributes + data.ftLastWriteTime.dwLowDateTime;
  } while (find.Next(&data));
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QDir::tempPath() + QStringLiteral("/pinbro-bench-find");
  const QString folder = base + QStringLiteral("/files100k");
  const QByteArray folderBytes = QFile::encodeName(folder);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "Could not create %s\n", folderBytes.constData());
    return 1;
  }
  if (CountEntries(folderBytes) < kFiles) {
    std::printf("Creating %d files in %s ...\n", kFiles, folderBytes.constData());
    if (!MakeFiles(folderBytes)) {
      std::fprintf(stderr, "Could not create the files in %s\n", folderBytes.constData());
      return 1;
    }
  }
  QString error;
  if (!plat::CDeviceRoot::Open(base, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  const int entries = CountEntries(folderBytes);
  // Best of a few runs each, the first of which warms the caches for both.
  double bestOurs = 1e9, bestFind = 1e9;
  quint64 checksum = 0;
  const QByteArray command = "find '" + folderBytes +
                             "' -maxdepth 1 -printf '%s %T@ %m %p\\n' > /dev/null";
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer timer;
    timer.start();
    const int listed = ListWithCFind(QStringLiteral("\\files100k\\*"), &checksum);
    bestOurs = qMin(bestOurs, timer.nsecsElapsed() / 1e9);
    if (listed != entries) {
      std::fprintf(stderr, "CFind listed %d entries, the folder holds %d\n", listed, entries);
      return 1;
    }
    timer.restart();
    if (std::system(command.constData()) != 0) {
      std::fprintf(stderr, "find failed\n");
      return 1;
    }
    bestFind = qMin(bestFind, timer.nsecsElapsed() / 1e9);
  }
  const double oursRate = entries / bestOurs;
  const double findRate = entries / bestFind;
  std::printf("entries:          %d (checksum %llu)\n", entries,
              static_cast<unsigned long long>(checksum % 1000));
  std::printf("CFind First/Next: %.3f s, %.0f files/s\n", bestOurs, oursRate);
  std::printf("find -printf:     %.3f s, %.0f files/s\n", bestFind, findRate);
  std::printf("CFind / find:     %.2f\n", oursRate / findRate);
  return 0;
}
