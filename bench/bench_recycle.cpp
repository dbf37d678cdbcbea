// Recycles a tree of small files into the bin and restores it, beside mv of the same tree
// into a folder on the same file system (and back), and trash-put when it is installed;
// prints the times and the ratios (the other's time divided by ours: 1.0 is as fast).
//
// A recycle here is durable: every container is flushed to stable storage before its source
// is deleted, and every restored file before its container goes. mv only renames, so the run
// also times "mv; sync", and "cp -r; sync; rm -r" into the bin's folder: the copy and delete
// of every file that a container per file needs, with the same guarantee.
//
// Usage: bench_recycle [--files N] [--runs N] [FOLDER]
//   --files N  number of files (default 10000, 100 per folder, 1 to 8 KiB each)
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
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include "bench/support/contenders.h"
#include "core/settings.h"
#include "fileops/recycle_bin.h"
#include "platform/device_root.h"

namespace {

struct COptions {
  int files = 10000;
  int runs = 3;
  QString folder;
};

bool ParseOptions(const QStringList& args, COptions* o) {
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--files" && hasValue) {
      o->files = args[++i].toInt();
    } else if (a == "--runs" && hasValue) {
      o->runs = std::max(1, args[++i].toInt());
    } else if (!a.startsWith("--") && o->folder.isEmpty()) {
      o->folder = a;
    } else {
      return false;
    }
  }
  return o->files > 0;
}

// The tree: files of 1 to 8 KiB in folders of 100. Returns its bytes.
qint64 MakeTree(const QString& root, int nFiles) {
  std::mt19937 random(42);
  QByteArray block(8192, Qt::Uninitialized);
  for (char& c : block) c = static_cast<char>(random());
  qint64 bytes = 0;
  for (int i = 0; i < nFiles; ++i) {
    const QString folder = root + QString("/d%1").arg(i / 100, 3, 10, QChar('0'));
    if (i % 100 == 0 && !QDir().mkpath(folder)) return -1;
    const qint64 size = 1024 + random() % 7169;
    QFile f(folder + QString("/file%1.dat").arg(i));
    if (!f.open(QIODevice::WriteOnly) || f.write(block.constData(), size) != size) return -1;
    bytes += size;
  }
  return bytes;
}

bool Run(const QString& program, const QStringList& args,
         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::ForwardedChannels);
  p.start(program, args);
  return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

using bench::CContender;
using bench::TimeAll;

void Report(const char* what, double seconds, int nFiles, double reference) {
  if (seconds < 0) {
    std::printf("%-36s FAILED or not run\n", what);
    return;
  }
  std::printf("%-36s %8.3f s  %9.0f files/s", what, seconds, nFiles / seconds);
  if (reference > 0) std::printf("   ratio %.3f", reference / seconds);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  COptions o;
  if (!ParseOptions(app.arguments(), &o)) {
    std::fprintf(stderr, "usage: bench_recycle [--files N] [--runs N] [FOLDER]\n");
    return 2;
  }
  const QString base =
      o.folder.isEmpty() ? QDir::tempPath() + "/pinbro-bench-recycle" : o.folder;
  QDir(base).removeRecursively();
  QString error;
  if (!QDir().mkpath(base + "/Bin") || !QDir().mkpath(base + "/moved") ||
      !plat::CDeviceRoot::Open(base, &error)) {
    std::fprintf(stderr, "Could not prepare %s %s\n", qPrintable(base), qPrintable(error));
    return 1;
  }
  settings.RecycleBinPath = "\\Bin";
  std::printf("Making a tree of %d files ...\n", o.files);
  const qint64 bytes = MakeTree(base + "/src", o.files);
  if (bytes < 0) {
    std::fprintf(stderr, "Could not make the tree under %s\n", qPrintable(base));
    return 1;
  }
  std::printf("%lld bytes in %d files, %d folders\n\n", static_cast<long long>(bytes), o.files,
              (o.files + 99) / 100 + 1);

  const QString tree = base + "/tree";
  const auto makeTree = [&] { return Run("cp", {"-r", base + "/src", tree}); };
  const auto cleanUp = [&] {
    QDir(tree).removeRecursively();
    QDir(base + "/moved/tree").removeRecursively();
    for (const QString& name : QDir(base + "/Bin").entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
      QFileInfo(base + "/Bin/" + name).isDir() ? QDir(base + "/Bin/" + name).removeRecursively()
                                               : QFile::remove(base + "/Bin/" + name);
  };
  const auto binItem = [&] {
    const QStringList items = QDir(base + "/Bin").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return items.size() == 1 ? "\\Bin\\" + items[0] : QString();
  };
  const auto recycle = [&] {
    return fileops::RecycleItemsCommand({{fileops::eSelFolder, "\\tree"}}) ==
               fileops::eRecycleOK &&
           !QFileInfo::exists(tree);
  };
  const auto moveAway = [&] { return Run("mv", {tree, base + "/moved/"}); };
  const auto moveBack = [&] { return Run("mv", {base + "/moved/tree", base + "/"}); };

  // trash-put keeps its trash in $XDG_DATA_HOME; a private one inside the folder keeps the
  // user's own trash out of the run (the tree lies on the same file system).
  const QString trashPut = QStandardPaths::findExecutable("trash-put");
  QProcessEnvironment trashEnv = QProcessEnvironment::systemEnvironment();
  trashEnv.insert("XDG_DATA_HOME", base + "/xdg-data");
  std::vector<CContender> contenders = {
      {"mv (into a folder)", makeTree, moveAway, cleanUp},
      {"mv; sync", makeTree, [&] { return moveAway() && Run("sync", {}); }, cleanUp},
      {"cp -r; sync; rm -r", makeTree,
       [&] {
         return Run("cp", {"-r", tree, base + "/moved/tree"}) && Run("sync", {}) &&
                Run("rm", {"-r", tree});
       },
       cleanUp},
      {"RecycleItemsCommand", makeTree, recycle, cleanUp},
      {"mv back", [&] { return makeTree() && moveAway(); }, moveBack, cleanUp},
      {"RestoreItems", [&] { return makeTree() && recycle(); },
       [&] {
         const QString item = binItem();
         return !item.isEmpty() &&
                fileops::RestoreItems({{fileops::eSelFolder, item}}) == fileops::eRestoreOK &&
                QDir(base + "/Bin").isEmpty();
       },
       cleanUp},
      {"trash-put", makeTree, [&] { return Run(trashPut, {tree}, trashEnv); },
       [&] {
         cleanUp();
         QDir(base + "/xdg-data").removeRecursively();
       }},
  };
  if (trashPut.isEmpty()) contenders.back().failed = true;
  TimeAll(o.runs, &contenders);
  const double mv = contenders[0].best, mvSync = contenders[1].best;
  const double cpRm = contenders[2].best, ourRecycle = contenders[3].best;
  const double mvBack = contenders[4].best, ourRestore = contenders[5].best;
  const double trash = contenders[6].best;

  std::printf("%-36s %10s  %15s   %s\n", "", "time", "rate", "(their time / time)");
  Report("mv (into a folder)", mv, o.files, -1);
  Report("mv; sync", mvSync, o.files, -1);
  Report("cp -r; sync; rm -r", cpRm, o.files, -1);
  Report("RecycleItemsCommand (flushed)", ourRecycle, o.files, mv);
  if (ourRecycle > 0 && mvSync > 0)
    std::printf("%-36s %27s   ratio %.3f\n", "  recycle against mv; sync", "",
                mvSync / ourRecycle);
  if (ourRecycle > 0 && cpRm > 0)
    std::printf("%-36s %27s   ratio %.3f\n", "  recycle against cp -r; sync; rm -r", "",
                cpRm / ourRecycle);
  Report("mv back", mvBack, o.files, -1);
  Report("RestoreItems (flushed)", ourRestore, o.files, mvBack);
  if (trashPut.isEmpty()) {
    std::printf("trash-put is not installed; not timed\n");
  } else {
    Report("trash-put", trash, o.files, -1);
    if (ourRecycle > 0 && trash > 0)
      std::printf("%-36s %27s   ratio %.3f\n", "  recycle against trash-put", "",
                  trash / ourRecycle);
  }
  QDir(base).removeRecursively();
  return ourRecycle < 0 || ourRestore < 0 ? 1 : 0;
}
