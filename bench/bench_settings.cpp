// LoadSettings and SaveSettings on a real hive in a temporary folder, every write flushed as
// the store does it. Prints the median of several runs of each, in milliseconds.
//
//   bench_settings [runs]     (default 9)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_options.h"
#include "platform/device_root.h"
#include "platform/registry_hive.h"

namespace {

template <typename Fn>
double MedianMs(int nRuns, Fn fn) {
  std::vector<double> times;
  for (int i = 0; i < nRuns; ++i) {
    QElapsedTimer timer;
    timer.start();
    fn(i);
    times.push_back(double(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  const int nRuns = argc > 1 ? qMax(1, QString(argv[1]).toInt()) : 9;

  QTemporaryDir root;
  QTemporaryDir hiveDir;
  QString error;
  if (!root.isValid() || !hiveDir.isValid() || !plat::CDeviceRoot::Open(root.path(), &error) ||
      !plat::CHive::Open(hiveDir.path() + "/registry.db", &error)) {
    out << "bench_settings: cannot set up: " << error << "\n";
    return 1;
  }

  LoadCurrentProfileName();
  LoadDefaults();
  LoadLogOptions();
  LoadSettings();
  int nValues = kMaxRememberedSearches;
  for (const COption& option : OptionTable())
    if (!(option.flags & eOptSplitter)) ++nValues;

  // Changes every field, so that the next save has to write (and flush) every value.
  const auto changeEverything = [](int i) {
    for (const COption& option : OptionTable()) {
      if (option.type == EOptType::eDword)
        settings.*option.dwField ^= 1;
      else
        settings.*option.strField = QString("\\Folder %1").arg(i);
    }
    settings.SimpleSearchStrings = QStringList{QString("search %1").arg(i)};
  };

  // The first save creates the profile key and every value in it.
  const double firstSave = MedianMs(1, [](int) { SaveSettings(); });
  const double saveAll = MedianMs(nRuns, [&](int i) {
    changeEverything(i);
    SaveSettings();
  });
  const double saveOne = MedianMs(nRuns, [](int i) {
    settings.MainViewFontSize = DWORD(i % 5);
    SaveSettings();
  });
  const double saveNone = MedianMs(nRuns, [](int) { SaveSettings(); });
  const double load = MedianMs(nRuns, [](int) { LoadSettings(); });

  out << "values per save: " << nValues << "\n";
  const auto line = [&](const char* what, double ms, int runs) {
    out << QString("%1 %2 ms (median of %3)\n").arg(what, -44).arg(ms, 8, 'f', 2).arg(runs);
  };
  line("SaveSettings, first save (every value new):", firstSave, 1);
  line("SaveSettings, every value changed:", saveAll, nRuns);
  line("SaveSettings, one value changed:", saveOne, nRuns);
  line("SaveSettings, nothing changed:", saveNone, nRuns);
  line("LoadSettings:", load, nRuns);
  plat::CHive::Close();
  return 0;
}
