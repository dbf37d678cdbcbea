// Copies a tree of small files and a few large ones through the copy operation, and moves it,
// beside cp -r and cp -r followed by rm -r of the same tree in the same run; prints the
// throughput and the ratios (cp's time divided by ours: 1.0 is as fast as cp).
//
// The move stays on one file system, so it renames each file (folders are made and removed);
// a copied file would be flushed to stable storage before its source is deleted. cp -r; rm -r
// leaves its copy in the page cache, so the run also times "cp -r; sync; rm -r" for
// comparison.
//
// Usage: bench_copy [--mib N] [--small N] [--large N] [--runs N] [FOLDER]
//   --mib N    total size of the tree in MiB (default 1024)
//   --small N  number of small files (default 10000, 100 per folder; together about 1/6 of
//              the total, 1 to 32 KiB each)
//   --large N  number of large files sharing the rest (default 4)
//   --runs N   rounds; each contender runs once per round, in turn, and its best time is
//              reported (default 3)
//   FOLDER     where the trees are made (default: under the system's temporary folder); it
//              is emptied afterwards
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "bench/support/contenders.h"
#include "fileops/copy_move.h"
#include "platform/device_root.h"

namespace {

struct COptions {
  qint64 totalMiB = 1024;
  int smallFiles = 10000;
  int largeFiles = 4;
  int runs = 3;
  QString folder;
};

bool ParseOptions(const QStringList& args, COptions* o) {
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--mib" && hasValue) {
      o->totalMiB = args[++i].toLongLong();
    } else if (a == "--small" && hasValue) {
      o->smallFiles = args[++i].toInt();
    } else if (a == "--large" && hasValue) {
      o->largeFiles = args[++i].toInt();
    } else if (a == "--runs" && hasValue) {
      o->runs = std::max(1, args[++i].toInt());
    } else if (!a.startsWith("--") && o->folder.isEmpty()) {
      o->folder = a;
    } else {
      return false;
    }
  }
  return o->totalMiB > 0 && o->smallFiles >= 0 && o->largeFiles >= 0;
}

// Writes size bytes of a random block, from a random place in it for each file.
bool WriteFile(const QString& path, qint64 size, std::mt19937* random) {
  static const QByteArray block = [] {
    std::mt19937 fill(7);
    QByteArray b(1 << 20, Qt::Uninitialized);
    for (char& c : b) c = static_cast<char>(fill());
    return b;
  }();
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  for (qint64 left = size; left > 0;) {
    const qint64 start = (*random)() % (block.size() / 2);
    const qint64 n = std::min<qint64>(left, block.size() - start);
    if (f.write(block.constData() + start, n) != n) return false;
    left -= n;
  }
  return true;
}

// The tree: small files in folders of 100, large files at the top. Returns its bytes.
qint64 MakeTree(const QString& root, const COptions& o) {
  std::mt19937 random(42);
  const qint64 total = o.totalMiB << 20;
  const qint64 smallBudget = o.smallFiles > 0 ? total / 6 : 0;
  const qint64 smallAverage = o.smallFiles > 0 ? smallBudget / o.smallFiles : 0;
  qint64 bytes = 0;
  for (int i = 0; i < o.smallFiles; ++i) {
    const QString folder = root + QString("/d%1").arg(i / 100, 3, 10, QChar('0'));
    if (i % 100 == 0 && !QDir().mkpath(folder)) return -1;
    // Sizes spread around the average, from 1 KiB up.
    const qint64 size = std::max<qint64>(1024, smallAverage / 2 + random() % (smallAverage + 1));
    if (!WriteFile(folder + QString("/file%1.dat").arg(i), size, &random)) return -1;
    bytes += size;
  }
  if (!QDir().mkpath(root)) return -1;
  const qint64 largeSize = o.largeFiles > 0 ? (total - bytes) / o.largeFiles : 0;
  for (int i = 0; i < o.largeFiles; ++i) {
    if (!WriteFile(root + QString("/large%1.bin").arg(i), largeSize, &random)) return -1;
    bytes += largeSize;
  }
  return bytes;
}

bool Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedChannels);
  p.start(program, args);
  return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

using bench::CContender;
using bench::TimeAll;

void Report(const char* what, double seconds, qint64 bytes, double reference) {
  if (seconds < 0) {
    std::printf("%-34s FAILED\n", what);
    return;
  }
  std::printf("%-34s %8.3f s  %8.1f MB/s", what, seconds, bytes / 1e6 / seconds);
  if (reference > 0) std::printf("   ratio %.2f", reference / seconds);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  COptions o;
  if (!ParseOptions(app.arguments(), &o)) {
    std::fprintf(stderr, "usage: bench_copy [--mib N] [--small N] [--large N] [--runs N] "
                         "[FOLDER]\n");
    return 2;
  }
  const QString base = o.folder.isEmpty() ? QDir::tempPath() + "/pinbro-bench-copy" : o.folder;
  QDir(base).removeRecursively();
  if (!QDir().mkpath(base)) {
    std::fprintf(stderr, "Could not create %s\n", qPrintable(base));
    return 1;
  }
  QString error;
  if (!plat::CDeviceRoot::Open(base, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  std::printf("Making a tree of %lld MiB: %d small files, %d large ones ...\n",
              static_cast<long long>(o.totalMiB), o.smallFiles, o.largeFiles);
  const qint64 bytes = MakeTree(base + "/src", o);
  if (bytes < 0) {
    std::fprintf(stderr, "Could not make the tree under %s\n", qPrintable(base));
    return 1;
  }
  // Read once, so that every contender starts from a source in the page cache.
  Run("sh", {"-c", QString("find '%1' -type f -exec cat {} + > /dev/null").arg(base + "/src")});
  const auto remove = [&](const QString& name) { QDir(base + "/" + name).removeRecursively(); };
  const auto makeDest = [&] { return QDir().mkpath(base + "/dst"); };
  const auto copySource = [&](const QString& name) {
    return Run("cp", {"-r", base + "/src", base + "/" + name});
  };
  std::printf("%lld bytes in %d files\n\n", static_cast<long long>(bytes),
              o.smallFiles + o.largeFiles);

  const auto cleanUp = [&] {
    remove("dst");
    remove("moving");
  };
  const auto prepareMove = [&] { return makeDest() && copySource("moving"); };
  std::vector<CContender> contenders = {
      {"cp -r", makeDest,
       [&] { return Run("cp", {"-r", base + "/src", base + "/dst/src"}); }, cleanUp},
      {"CopyItems (copy)", makeDest,
       [&] {
         return fileops::CopyItems({{fileops::eSelFolder, "\\src"}}, "\\dst", false) ==
                fileops::eCopyOK;
       },
       cleanUp},
      {"cp -r; rm -r", prepareMove,
       [&] {
         return Run("cp", {"-r", base + "/moving", base + "/dst/moving"}) &&
                Run("rm", {"-r", base + "/moving"});
       },
       cleanUp},
      {"cp -r; sync; rm -r", prepareMove,
       [&] {
         return Run("cp", {"-r", base + "/moving", base + "/dst/moving"}) && Run("sync", {}) &&
                Run("rm", {"-r", base + "/moving"});
       },
       cleanUp},
      {"CopyItems (move)", prepareMove,
       [&] {
         return fileops::CopyItems({{fileops::eSelFolder, "\\moving"}}, "\\dst", true) ==
                    fileops::eCopyOK &&
                !QFileInfo::exists(base + "/moving");
       },
       cleanUp},
  };
  TimeAll(o.runs, &contenders);
  const double cpCopy = contenders[0].best, ourCopy = contenders[1].best;
  const double cpMove = contenders[2].best, cpSyncMove = contenders[3].best;
  const double ourMove = contenders[4].best;

  std::printf("%-34s %10s  %13s   %s\n", "", "time", "throughput", "(cp time / time)");
  Report("cp -r", cpCopy, bytes, -1);
  Report("CopyItems (copy)", ourCopy, bytes, cpCopy);
  Report("cp -r; rm -r", cpMove, bytes, -1);
  Report("cp -r; sync; rm -r", cpSyncMove, bytes, cpMove);
  Report("CopyItems (move)", ourMove, bytes, cpMove);
  if (ourMove > 0 && cpSyncMove > 0)
    std::printf("%-34s %24s   ratio %.2f\n", "move against cp -r; sync; rm -r", "",
                cpSyncMove / ourMove);
  QDir(base).removeRecursively();
  return ourCopy < 0 || ourMove < 0 ? 1 : 0;
}
