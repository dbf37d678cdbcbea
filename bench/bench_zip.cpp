// Zip archives beside Info-ZIP in the same run, on a mixed tree (copies of /usr/include and
// /usr/share/doc twice, links dereferenced so that both archive the same files, a 100 MiB
// random file and a large text log): create at level 6 beside `zip -6 -r`, extract beside `unzip
// -q` and test beside `unzip -t` (both on the archive Info-ZIP made), and the listing of the top
// folder of an archive of 100,000 entries with the memory it took.
//
// Usage: bench_zip [WORKDIR [list]]   (default: a temporary folder; the tree is made there;
//        "list" runs only the listing)

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

#include "browse/list_panel.h"
#include "platform/device_root.h"
#include "zip/list_source_zip.h"
#include "zip/zip_archive.h"
#include "zip/zip_commands.h"

namespace {

bool Run(const QString& program, const QStringList& args, const QString& workDir) {
  QProcess p;
  p.setWorkingDirectory(workDir);
  p.start(program, args);
  if (!p.waitForFinished(1800000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                 p.readAllStandardError().constData());
    return false;
  }
  return true;
}

bool WriteRandomFile(const QString& path, qint64 bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QByteArray block(1 << 20, Qt::Uninitialized);
  QRandomGenerator random(12345);
  for (qint64 done = 0; done < bytes; done += block.size()) {
    random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
    if (file.write(block) != block.size()) return false;
  }
  return true;
}

bool WriteLog(const QString& path, qint64 bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QRandomGenerator random(777);
  static const char* kWords[] = {"GET",       "POST",      "/index.html", "/api/v1/items",
                                 "200",       "404",       "500",         "Mozilla/5.0",
                                 "curl/7.88", "cache-hit", "cache-miss"};
  qint64 written = 0;
  QByteArray line;
  for (int n = 0; written < bytes; ++n) {
    line = QByteArray::number(1700000000 + n / 10) + " 10.0." +
           QByteArray::number(random.bounded(256)) + "." + QByteArray::number(random.bounded(256)) +
           " " + kWords[random.bounded(11)] + " " + kWords[random.bounded(11)] + " " +
           QByteArray::number(random.bounded(100000)) +
           " ms=" + QByteArray::number(random.bounded(5000)) + "\n";
    file.write(line);
    written += line.size();
  }
  return true;
}

qint64 TreeBytes(const QString& path, int* pFiles) {
  qint64 bytes = 0;
  QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    bytes += it.fileInfo().size();
    ++*pFiles;
  }
  return bytes;
}

template <class F>
double Seconds(F&& f) {
  QElapsedTimer timer;
  timer.start();
  f();
  return double(timer.nsecsElapsed()) / 1e9;
}

double MiBs(qint64 bytes, double seconds) {
  return seconds <= 0 ? 0 : double(bytes) / 1048576.0 / seconds;
}

long RssKiB() {
  QFile status("/proc/self/status");
  status.open(QIODevice::ReadOnly);
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  return 0;
}

void Report(const char* what, double ours, double theirs, qint64 bytes) {
  std::printf("%-8s pinbro %7.2f s %7.1f MiB/s | Info-ZIP %7.2f s %7.1f MiB/s | ratio %.2fx\n",
              what, ours, MiBs(bytes, ours), theirs, MiBs(bytes, theirs), theirs / ours);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temp;
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
  QDir().mkpath(root);
  QString error;
  if (!plat::CDeviceRoot::Open(root, &error)) {
    std::fprintf(stderr, "root: %s\n", qPrintable(error));
    return 1;
  }
  // 100,000 entries: 100 folders of 1,000 files, and 50 files at the top.
  QFile::remove(root + "/many.zip");
  Run("python3",
      {"-c",
       "import zipfile\n"
       "with zipfile.ZipFile('many.zip', 'w') as z:\n"
       "    for d in range(100):\n"
       "        for f in range(1000 if d else 950):\n"
       "            z.writestr('folder%03d/file%04d.txt' % (d, f), b'')\n"
       "    for f in range(50):\n"
       "        z.writestr('top%02d.txt' % f, b'x')\n"},
      root);
  zip::RegisterZipListSource();
  zip::CZipArchive::ForgetCached();
  const long rssBefore = RssKiB();
  CListPanel panel(ePanel_A, nullptr, {.bWorker = false});
  bool bListed = false;
  const double listing = Seconds([&] {
    bListed = panel.ShowLocation(CPanelLocation(eEntry_Zip, 0, "\\many.zip"), true, false);
  });
  const long rssAfter = RssKiB();
  std::printf("list     100,000 entries: top folder of %d rows in %.0f ms, %s, memory +%.1f MiB\n",
              panel.rowCount(), listing * 1000, bListed ? "listed" : "NOT LISTED",
              double(rssAfter - rssBefore) / 1024.0);

  if (argc > 2 && QByteArray(argv[2]) == "list") return 0;
  const QString tree = root + "/tree";
  if (!QDir(tree).exists()) {
    std::printf("Making the tree in %s ...\n", qPrintable(tree));
    QDir().mkpath(tree);
    if (!Run("cp", {"-rL", "/usr/include", tree + "/include"}, root) ||
        !Run("cp", {"-rL", "/usr/share/doc", tree + "/doc"}, root) ||
        !Run("cp", {"-rL", "/usr/share/doc", tree + "/doc2"}, root) ||
        !WriteRandomFile(tree + "/random.bin", 100 << 20) ||
        !WriteLog(tree + "/server.log", 80 << 20))
      return 1;
  }
  int files = 0;
  const qint64 bytes = TreeBytes(tree, &files);
  std::printf("Tree: %d files, %.1f MiB\n", files, double(bytes) / 1048576.0);
  Run("sync", {}, root);
  // Warm the page cache for both.
  Run("sh", {"-c", "find tree -type f -exec cat {} + > /dev/null"}, root);

  for (const char* name : {"ours.zip", "theirs.zip"}) QFile::remove(root + "/" + name);
  const double theirCreate = Seconds([&] {
    Run("zip", {"-q", "-6", "-r", "theirs.zip", "tree"}, root);
  });
  const double ourCreate = Seconds([&] {
    zip::CompressItems({{fileops::eSelFolder, "\\tree"}}, "\\ours.zip", 6);
  });
  Report("create", ourCreate, theirCreate, bytes);
  const qint64 ourSize = QFile(root + "/ours.zip").size();
  const qint64 theirSize = QFile(root + "/theirs.zip").size();
  std::printf("         archive pinbro %lld bytes, Info-ZIP %lld bytes (%+.2f %%)\n", ourSize,
              theirSize, 100.0 * double(ourSize - theirSize) / double(theirSize));
  const bool bOursTested = Run("unzip", {"-tq", "ours.zip"}, root);
  std::printf("         unzip -t on pinbro's archive: %s\n", bOursTested ? "no errors" : "FAILED");

  for (const char* name : {"x-ours", "x-theirs"}) QDir(root + "/" + name).removeRecursively();
  QDir().mkpath(root + "/x-ours");
  const double theirExtract = Seconds([&] {
    Run("unzip", {"-q", "theirs.zip", "-d", "x-theirs"}, root);
  });
  const double ourExtract = Seconds([&] { zip::ExtractAll("\\theirs.zip", "\\x-ours"); });
  Report("extract", ourExtract, theirExtract, bytes);
  const bool bSame = Run("diff", {"-r", "-q", "x-ours/tree", "tree"}, root);
  std::printf("         extracted tree %s the source\n", bSame ? "equals" : "DIFFERS FROM");
  for (const char* name : {"x-ours", "x-theirs"}) QDir(root + "/" + name).removeRecursively();

  const double theirTest = Seconds([&] { Run("unzip", {"-tq", "theirs.zip"}, root); });
  const double ourTest = Seconds([&] { zip::TestArchive("\\theirs.zip"); });
  Report("test", ourTest, theirTest, bytes);

  return 0;
}
