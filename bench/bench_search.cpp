// Searches a tree of 100,000 files (100 folders of 1,000, one file in ten a ".tmp") with the
// search bar's text "*.tmp;-~*.tmp" through the collection engine, beside the program's folder
// walk alone (full find records, no rules), find(1) finding the same files by name alone, and
// find printing every entry's status as the engine reads it (its filters need attributes,
// sizes and times).
//
// Usage: bench_search [FOLDER]   (default: a folder under the system's temporary folder; the
// tree is made on the first run and reused after that)
//        bench_search --tree DIR PATTERN   (an existing tree, a copy of /usr say: the engine's
// search for PATTERN, pinbro-cli search PATTERN, and find DIR -name PATTERN, each checked to
// find as many files as find does)
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "collect/search_rules.h"
#include "fileops/plan_walk.h"
#include "platform/device_root.h"
#include "support/contenders.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kRounds = 3;

// File j of a folder: "~fNNN.tmp" for one .tmp file in a hundred, "fNNN.tmp" for the other
// tenths, "fNNN.dat" otherwise.
QByteArray FileName(int j) {
  const QByteArray number = QByteArray::number(j).rightJustified(4, '0');
  if (j % 100 == 0) return "~f" + number + ".tmp";
  return "f" + number + (j % 10 == 0 ? ".tmp" : ".dat");
}

int ExpectedMatches() {
  int n = 0;
  for (int j = 0; j < kFilesPerFolder; ++j)
    if (j % 10 == 0 && j % 100 != 0) ++n;
  return n * kFolders;
}

bool MakeTree(const QByteArray& tree) {
  for (int i = 0; i < kFolders; ++i) {
    const QByteArray folder = tree + "/dir" + QByteArray::number(i).rightJustified(3, '0');
    if (!QDir().mkpath(QFile::decodeName(folder))) return false;
    for (int j = 0; j < kFilesPerFolder; ++j) {
      const QByteArray path = folder + "/" + FileName(j);
      const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
      if (fd < 0) return false;
      const bool ok = ::write(fd, "x", 1) == 1;
      ::close(fd);
      if (!ok) return false;
    }
  }
  return true;
}

class CCountingSink final : public collect::IFSCollectSink {
 public:
  int count = 0;
  bool OnResult(const collect::SFSCResult&) override {
    ++count;
    return true;
  }
};

// The walk alone, with full find records and no rules: what the engine's own work adds to it.
class CCountingWalk final : public fileops::IPlanVisitor {
 public:
  int files = 0;
  fileops::EWalk File(const fileops::CWalkItem&) override {
    ++files;
    return fileops::EWalk::eGoOn;
  }
};

// Runs a shell command and counts its output lines.
int CountLines(const QByteArray& command) {
  FILE* pipe = ::popen(command.constData(), "r");
  if (!pipe) return -1;
  int lines = 0;
  for (int c; (c = std::fgetc(pipe)) != EOF;)
    if (c == '\n') ++lines;
  return ::pclose(pipe) == 0 ? lines : -1;
}

// The search of an existing tree beside find -name.
int BenchTree(const QString& dir, const QString& pattern) {
  QString error;
  if (!plat::CDeviceRoot::Open(dir, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  const QByteArray host = QFile::encodeName(dir);
  const QByteArray pat = pattern.toLocal8Bit();
  const QByteArray byName = "find '" + host + "' -name '" + pat + "'";
  const int expected = CountLines(byName);
  const QByteArray cli =
      QFile::encodeName(QCoreApplication::applicationDirPath() + "/../app/pinbro-cli");
  const QByteArray viaCli = "'" + cli + "' --root '" + host + "' search '" + pat + "'";
  std::vector<bench::CContender> contenders = {
      {"engine search", nullptr,
       [&] {
         collect::CFSCollect engine;
         CCountingSink sink;
         return collect::RunSearch(&engine, pattern, &sink) && sink.count == expected;
       },
       [] {}},
      {"pinbro-cli", nullptr, [&] { return CountLines(viaCli) == expected; }, [] {}},
      {"find -name", nullptr, [&] { return CountLines(byName) == expected; }, [] {}},
  };
  bench::TimeAll(5, &contenders);
  std::printf("tree %s, pattern %s: %d files\n", host.constData(), pat.constData(), expected);
  for (const bench::CContender& c : contenders) {
    if (c.best < 0)
      std::printf("%-14s failed (wrong count or error)\n", c.name);
    else
      std::printf("%-14s %.3f s\n", c.name, c.best);
  }
  const double find = contenders.back().best;
  for (size_t i = 0; i + 1 < contenders.size(); ++i)
    if (find > 0 && contenders[i].best > 0)
      std::printf("%-14s %.2fx the time of find -name\n", contenders[i].name,
                  contenders[i].best / find);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 4 && QByteArray(argv[1]) == "--tree")
    return BenchTree(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QDir::tempPath() + QStringLiteral("/pinbro-bench-search");
  const QByteArray tree = QFile::encodeName(base + QStringLiteral("/tree"));
  if (!QFile::exists(QFile::decodeName(tree + "/done"))) {
    std::printf("Creating %d files in %s ...\n", kFolders * kFilesPerFolder, tree.constData());
    if (!MakeTree(tree) || !QFile(QFile::decodeName(tree + "/done")).open(QIODevice::WriteOnly)) {
      std::fprintf(stderr, "Could not create the tree in %s\n", tree.constData());
      return 1;
    }
  }
  QString error;
  if (!plat::CDeviceRoot::Open(QFile::decodeName(tree), &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  const int expected = ExpectedMatches();
  const QByteArray byName = "find '" + tree + "' -type f -iname '*.tmp' ! -name '~*'";
  // find reads the status of the files it prints; -printf on every entry reads them all.
  const QByteArray withStatus = "find '" + tree + "' -printf '%s %A@ %m %p\\n'";
  std::vector<bench::CContender> contenders = {
      {"engine search", nullptr,
       [&] {
         collect::CFSCollect engine;
         CCountingSink sink;
         return collect::RunSearch(&engine, QStringLiteral("*.tmp;-~*.tmp"), &sink) &&
                sink.count == expected;
       },
       [] {}},
      {"walk alone", nullptr,
       [&] {
         CCountingWalk walk;
         return fileops::WalkFolder(QStringLiteral("\\"), walk) && walk.files > expected;
       },
       [] {}},
      {"find -iname", nullptr, [&] { return CountLines(byName) == expected; }, [] {}},
      {"find -printf", nullptr, [&] { return CountLines(withStatus) > expected; }, [] {}},
  };
  bench::TimeAll(kRounds, &contenders);
  const int files = kFolders * kFilesPerFolder;
  std::printf("files: %d in %d folders, matches: %d\n", files, kFolders, expected);
  for (const bench::CContender& c : contenders) {
    if (c.best < 0)
      std::printf("%-14s failed (wrong count or error)\n", c.name);
    else
      std::printf("%-14s %.3f s, %.0f files/s\n", c.name, c.best, files / c.best);
  }
  for (size_t i = 2; i < contenders.size(); ++i)
    if (contenders[0].best > 0 && contenders[i].best > 0)
      std::printf("engine / %-13s %.2f of its rate\n", contenders[i].name,
                  contenders[i].best / contenders[0].best);
  return 0;
}
