// The hive under the load of a full settings save: ~150 values, each written as the settings
// store writes it (create-or-open the key, set, flush, close), then read back the same way.
// The save should take well under 50 ms.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "platform/registry_hive.h"

namespace {

constexpr int kValues = 150;
constexpr int kRounds = 7;
const QString kProfileKey = QStringLiteral("Software\\Tarvish\\Pinewood Browser\\Default");

bool WriteOne(int i, bool flush) {
  HKEY key = 0;
  if (plat::RegCreateKeyEx(HKEY_LOCAL_MACHINE, kProfileKey, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc;
  if (i % 5 == 4) {
    const QString text = QStringLiteral("\\My Documents\\Folder %1").arg(i);
    rc = plat::RegSetValueEx(key, QStringLiteral("Text%1").arg(i), REG_SZ,
                             reinterpret_cast<const BYTE*>(text.utf16()),
                             DWORD((text.size() + 1) * 2));
  } else {
    const DWORD v = DWORD(i);
    rc = plat::RegSetValueEx(key, QStringLiteral("Number%1").arg(i), REG_DWORD,
                             reinterpret_cast<const BYTE*>(&v), 4);
  }
  if (rc == ERROR_SUCCESS && flush) rc = plat::RegFlushKey(key);
  plat::RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool ReadOne(int i) {
  HKEY key = 0;
  if (plat::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kProfileKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  BYTE data[2048];
  DWORD size = sizeof data, type = 0;
  const QString name = i % 5 == 4 ? QStringLiteral("Text%1").arg(i) : QStringLiteral("Number%1").arg(i);
  const LONG rc = plat::RegQueryValueEx(key, name, &type, data, &size);
  plat::RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

// The floor of any durable save on this disk: kValues appends of 4 KiB, each synced.
double FsyncFloorMs(const QString& folder) {
  const QByteArray path = QFile::encodeName(folder + "/fsync-probe");
  const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  const QByteArray page(4096, 'p');
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < kValues; ++i) {
    if (::write(fd, page.constData(), page.size()) != page.size() || ::fsync(fd) != 0) break;
  }
  const double ms = timer.nsecsElapsed() / 1e6;
  ::close(fd);
  ::unlink(path.constData());
  return ms;
}

// Runs `step` for every value, kRounds times; the median round in milliseconds.
template <typename Step>
double MedianMs(Step step) {
  std::vector<double> rounds;
  for (int r = 0; r < kRounds; ++r) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kValues; ++i) {
      if (!step(i)) {
        std::fprintf(stderr, "registry call failed at value %d\n", i);
        return -1;
      }
    }
    rounds.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(rounds.begin(), rounds.end());
  return rounds[rounds.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) + "/bench-XXXXXX" : QString());
  QString error;
  if (!dir.isValid() || !plat::CHive::Open(dir.path() + "/registry.db", &error)) {
    std::fprintf(stderr, "cannot open a hive: %s\n", qPrintable(error));
    return 1;
  }
  const double floor = FsyncFloorMs(dir.path());
  const double save = MedianMs([](int i) { return WriteOne(i, true); });
  const double noFlush = MedianMs([](int i) { return WriteOne(i, false); });
  const double read = MedianMs(ReadOne);
  std::printf("settings save, %d values each flushed: %.2f ms (target < 50 ms)\n", kValues, save);
  std::printf("%d bare fsyncs on the same disk:         %.2f ms\n", kValues, floor);
  std::printf("the same without flushes:             %.2f ms\n", noFlush);
  std::printf("settings load, %d values:              %.2f ms\n", kValues, read);
  plat::CHive::Close();
  return save >= 0 && save < 50 ? 0 : 1;
}
