// Recycles 10,000 small files of one folder through the desktop frame (the list showing the
// folder, Select all, Delete, every question answered Yes), and the same selection through
// the engine's command alone with no frame, both with the desktop progress window on the
// offscreen platform; prints the best times and their ratio (frame / engine: 1.0 is as fast).
//
// Usage: bench_recycle_frame [--files N] [--runs N] [FOLDER]
//   --files N  number of files (default 10000, 1 to 8 KiB each, in one folder)
//   --runs N   rounds; each contender runs once per round, in turn (default 3)
//   FOLDER     the device root to use (default: under the system's temporary folder); it is
//              emptied afterwards
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "core/message_box.h"
#include "core/settings_io.h"
#include "fileops/delete_items.h"
#include "platform/host_defaults.h"
#include "platform/registry_hive.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"

namespace {

// Answers every box with Yes where it has one, else with its default button.
class CYesBoxUi : public IMessageBoxUi {
 public:
  CMsgBoxReply ShowMessageBox(const CMsgBoxRequest& request) override {
    if (request.buttons.size() == 1)  // a report: the benchmark's figures would mean nothing
      std::printf("box: %s\n", qPrintable(request.strText));
    const bool bYes = std::find(request.buttons.begin(), request.buttons.end(), eMsgAnsYes) !=
                      request.buttons.end();
    return {bYes ? eMsgAnsYes : request.nDefaultAnswer, false};
  }
};

// Empties the root (the bin included) and makes the folder \Big with nFiles files.
bool MakeFolder(const QString& root, int nFiles) {
  for (const QFileInfo& info : QDir(root).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                        QDir::Hidden | QDir::System)) {
    const bool bGone = info.isDir() && !info.isSymLink() ? QDir(info.filePath()).removeRecursively()
                                                         : QFile::remove(info.filePath());
    if (!bGone) return false;
  }
  if (!QDir().mkpath(root + "/Big")) return false;
  std::mt19937 random(42);
  const QByteArray block(8192, 'x');
  for (int i = 0; i < nFiles; ++i) {
    QFile file(root + QString("/Big/file%1.dat").arg(i, 5, 10, QChar('0')));
    const qint64 size = 1024 + random() % 7169;
    if (!file.open(QIODevice::WriteOnly) || file.write(block.constData(), size) != size)
      return false;
  }
  return true;
}

// Milliseconds of one recycle through the frame, or -1.
double ThroughFrame(int) {
  CMainFrame frame;
  frame.resize(1280, 800);
  frame.show();
  QApplication::processEvents();
  CListPanel& list = frame.List(ePanel_A);
  list.LoadFolder("\\Big", true, false);
  QApplication::processEvents();
  if (!frame.SetActiveView(eView_ListA)) return -1;
  frame.ListView(ePanel_A)->CurrentView()->selectAll();
  QElapsedTimer clock;
  clock.start();
  frame.Action(eCmd_Delete)->trigger();
  QApplication::processEvents();
  const double dMs = clock.nsecsElapsed() / 1e6;
  // Only ".." may be left, when the parent entry is shown.
  if (list.rowCount() > 1) {
    QStringList names;
    for (int i = 0; i < qMin(list.rowCount(), 5); ++i) names << list.CellText(i, 0);
    std::printf("the list still shows %d rows: %s\n", list.rowCount(), qPrintable(names.join(", ")));
    return -1;
  }
  return dMs;
}

// Milliseconds of the same command without a frame, or -1.
double ThroughEngine(int nFiles) {
  fileops::CSelection selection;
  for (int i = 0; i < nFiles; ++i)
    selection.push_back({fileops::eSelFile, QString("\\Big\\file%1.dat").arg(i, 5, 10, QChar('0'))});
  QElapsedTimer clock;
  clock.start();
  fileops::DeleteCommand(selection);
  QApplication::processEvents();
  return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int nFiles = 10000;
  int nRuns = 3;
  QString root;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == "--files" && i + 1 < args.size())
      nFiles = std::max(1, args[++i].toInt());
    else if (args[i] == "--runs" && i + 1 < args.size())
      nRuns = std::max(1, args[++i].toInt());
    else
      root = args[i];
  }
  QTemporaryDir temp;
  if (root.isEmpty()) root = temp.filePath("root");
  QTemporaryDir hiveDir;
  QString error;
  if (!QDir().mkpath(root) || !plat::OpenHost(root, hiveDir.filePath("registry.db"), &error)) {
    std::printf("%s\n", qPrintable(error));
    return 1;
  }
  LoadCurrentProfileName();
  LoadDefaults();
  LoadSettings();
  settings.UseRecycleBin = 1;
  CYesBoxUi boxUi;
  CMessageBoxService boxService(&boxUi, nullptr);
  CScopedMessageBoxService installBoxService(&boxService);
  CDesktopProgressFactory progressUi;
  fileops::CScopedProgressFactory installProgress(&progressUi);

  std::vector<double> frameMs, engineMs;
  for (int nRun = 0; nRun < nRuns; ++nRun) {
    for (auto [pTimes, run] : {std::pair{&frameMs, &ThroughFrame},
                               std::pair{&engineMs, &ThroughEngine}}) {
      if (!MakeFolder(root, nFiles)) {
        std::printf("could not make the files in %s\n", qPrintable(root));
        return 1;
      }
      const double dMs = run(nFiles);
      if (dMs < 0) return 1;
      if (QDir(root + "/Big").entryList(QDir::Files).size() != 0) {
        std::printf("files are left in \\Big\n");
        return 1;
      }
      pTimes->push_back(dMs);
    }
  }
  MakeFolder(root, 0);
  plat::CHive::Close();
  const double dFrame = *std::min_element(frameMs.begin(), frameMs.end());
  const double dEngine = *std::min_element(engineMs.begin(), engineMs.end());
  std::printf("recycle %d files of one folder: through the frame best %.0f ms, through the "
              "engine best %.0f ms, frame/engine %.2f (%d runs each)\n",
              nFiles, dFrame, dEngine, dFrame / dEngine, nRuns);
  return 0;
}
