// Loads and name-sorts a folder of 100,000 files through the list panel model, and totals a
// tree of 100,000 files with the folder-totals walk the list worker uses; each beside the
// host's tools on the same data in the same run: `ls -l` (output to /dev/null) for the
// listing, `du -sb` for the totals.
//
// Usage: bench_listing [FOLDER]   (default: a folder under the system's temporary folder; the
// data are made on the first run and reused after that)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "platform/folder_totals.h"
#include "browse/list_panel.h"
#include "platform/device_root.h"

namespace {

constexpr int kFiles = 100000;
constexpr int kTreeFolders = 100;  // each with 10 sub-folders of 100 files
constexpr int kRuns = 5;

bool WriteSmallFile(const QByteArray& path, int n) {
  const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const QByteArray content = "file " + QByteArray::number(n) + "\n";
  const bool ok = ::write(fd, content.constData(), content.size()) == content.size();
  ::close(fd);
  return ok;
}

// The flat folder, its files made in a shuffled name order so that the host's order is not
// already the sorted one.
bool MakeFlatFolder(const QString& folder, const QString& marker) {
  if (QFile::exists(marker)) return true;
  std::printf("Creating %d files in %s ...\n", kFiles, qPrintable(folder));
  if (!QDir().mkpath(folder)) return false;
  for (int i = 0; i < kFiles; ++i) {
    const int n = (i * 7919) % kFiles;
    const QByteArray path = QFile::encodeName(folder) + "/File_" +
                            QByteArray::number(n).rightJustified(6, '0') + ".txt";
    if (!WriteSmallFile(path, n)) return false;
  }
  return WriteSmallFile(QFile::encodeName(marker), 0);
}

bool MakeTree(const QString& tree, const QString& marker) {
  if (QFile::exists(marker)) return true;
  std::printf("Creating a tree of %d files in %s ...\n", kFiles, qPrintable(tree));
  int n = 0;
  for (int a = 0; a < kTreeFolders; ++a) {
    for (int b = 0; b < 10; ++b) {
      const QString folder = QString("%1/d%2/s%3").arg(tree).arg(a, 2, 10, QChar('0')).arg(b);
      if (!QDir().mkpath(folder)) return false;
      for (int c = 0; c < 100; ++c, ++n)
        if (!WriteSmallFile(QFile::encodeName(folder + QString("/f%1.dat").arg(c)), n))
          return false;
    }
  }
  return WriteSmallFile(QFile::encodeName(marker), 0);
}

// Milliseconds of one run of a host tool with its output thrown away.
double TimeTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer t;
  t.start();
  p.start(program, args);
  if (!p.waitForFinished(600000) || p.exitCode() != 0) return -1;
  return t.nsecsElapsed() / 1e6;
}

double Best(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }
double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Report(const char* what, const std::vector<double>& ours, const char* tool,
            const std::vector<double>& theirs) {
  std::printf("%-44s best %8.1f ms  median %8.1f ms\n", what, Best(ours), Median(ours));
  std::printf("%-44s best %8.1f ms  median %8.1f ms   (ours/theirs by best: %.2f)\n", tool,
              Best(theirs), Median(theirs), Best(ours) / Best(theirs));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QDir::tempPath() + QStringLiteral("/pinbro-bench-listing");
  const QString flat = base + "/flat", tree = base + "/tree";
  // The markers lie outside the measured folders, written once the data are complete.
  if (!QDir().mkpath(base) || !MakeFlatFolder(flat, base + "/flat.done") ||
      !MakeTree(tree, base + "/tree.done")) {
    std::fprintf(stderr, "Could not create the data under %s\n", qPrintable(base));
    return 1;
  }
  QString error;
  if (!plat::CDeviceRoot::Open(base, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }

  std::vector<double> load, loadTexts, resort, ls, totals, du;
  int nRows = 0;
  quint64 uBytes = 0, uFiles = 0;
  for (int run = 0; run < kRuns; ++run) {
    {
      CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
      QElapsedTimer t;
      t.start();
      panel.LoadFolder("\\flat", true, false);  // enumerates and sorts by name
      load.push_back(t.nsecsElapsed() / 1e6);
      nRows = panel.rowCount();
      // What a listing tool prints: every cell of every row.
      qsizetype nChars = 0;
      for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < panel.columnCount(); ++c) nChars += panel.CellText(r, c).size();
      loadTexts.push_back(t.nsecsElapsed() / 1e6);
      if (nChars == 0) return 1;
      t.restart();
      panel.SortBy(0, true);  // the other direction: a full sort of its own
      resort.push_back(t.nsecsElapsed() / 1e6);
    }
    ls.push_back(TimeTool("ls", {"-l", flat}));
    {
      QElapsedTimer t;
      t.start();
      CFolderTotals result;
      plat::ComputeFolderTotals("\\tree", &result);
      totals.push_back(t.nsecsElapsed() / 1e6);
      uBytes = result.bytes;
      uFiles = result.files;
    }
    du.push_back(TimeTool("du", {"-sb", tree}));
  }

  std::printf("Folder of %d files (%d rows with ..), tree of %llu files, %llu bytes; %d runs\n",
              kFiles, nRows, static_cast<unsigned long long>(uFiles),
              static_cast<unsigned long long>(uBytes), kRuns);
  Report("panel: load + name sort", load, "ls -l > /dev/null", ls);
  Report("panel: load + name sort + every cell text", loadTexts, "ls -l > /dev/null", ls);
  std::printf("%-44s best %8.1f ms\n", "panel: sort again (Z to A)", Best(resort));
  Report("folder totals walk", totals, "du -sb", du);
  return 0;
}
