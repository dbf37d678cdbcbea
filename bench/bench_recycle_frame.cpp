// Recycles 10,000 small files through the desktop frame (every question answered Yes), and the
// same selection through the engine's command alone with no frame, both with the desktop
// progress window on the offscreen platform; prints the best times and their ratio
// (frame / engine: 1.0 is as fast). Two scenes:
//   one folder   the single list shows a folder of 10,000 files: Select all, Delete
//   four views   both trees and both lists shown, list B showing the recycle bin, list A the
//                root: the folder \Big (100 folders of 100 files) selected, Delete
//
// Usage: bench_recycle_frame [--files N] [--runs N] [FOLDER]
//   --files N  number of files (default 10000, 1 to 8 KiB each)
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
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTemporaryDir>

#include "core/message_box.h"
#include "core/settings.h"
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

struct CScene {
  const char* name;
  bool bTree;  // \Big holds folders of 100 files; otherwise the files themselves
};

QString FilePath(const CScene& scene, int i) {
  const QString name = QString("file%1.dat").arg(i, 5, 10, QChar('0'));
  return scene.bTree ? QString("\\Big\\d%1\\%2").arg(i / 100, 3, 10, QChar('0')).arg(name)
                     : "\\Big\\" + name;
}

// Empties the root (the bin included) and makes \Big with nFiles files.
bool MakeData(const QString& root, const CScene& scene, int nFiles) {
  for (const QFileInfo& info : QDir(root).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                        QDir::Hidden | QDir::System)) {
    const bool bGone = info.isDir() && !info.isSymLink() ? QDir(info.filePath()).removeRecursively()
                                                         : QFile::remove(info.filePath());
    if (!bGone) return false;
  }
  std::mt19937 random(42);
  const QByteArray block(8192, 'x');
  for (int i = 0; i < nFiles; ++i) {
    const QString host = root + QString(FilePath(scene, i)).replace('\\', '/');
    if ((i % 100 == 0 || !scene.bTree) && !QDir().mkpath(QFileInfo(host).path())) return false;
    QFile file(host);
    const qint64 size = 1024 + random() % 7169;
    if (!file.open(QIODevice::WriteOnly) || file.write(block.constData(), size) != size)
      return false;
  }
  return QDir().mkpath(root + "/Big");
}

// Milliseconds of one recycle through the frame, or -1.
double ThroughFrame(const CScene& scene, int) {
  settings.MainViewConfig = scene.bTree ? 9 : 7;
  CMainFrame frame;
  frame.resize(1280, 800);
  frame.show();
  QApplication::processEvents();
  CListPanel& list = frame.List(ePanel_A);
  list.LoadFolder(scene.bTree ? "\\" : "\\Big", true, false);
  if (scene.bTree) {
    frame.List(ePanel_B).ShowLocation(CPanelLocation(eEntry_RecycleBin, 0, {}), true, false);
  }
  QApplication::processEvents();
  if (!frame.SetActiveView(eView_ListA)) return -1;
  QAbstractItemView* pView = frame.ListView(ePanel_A)->CurrentView();
  if (scene.bTree) {
    int nRow = 0;
    while (nRow < list.rowCount() && list.CellText(nRow, 0) != "Big") ++nRow;
    if (nRow == list.rowCount()) {
      std::printf("list A does not show \\Big\n");
      return -1;
    }
    pView->selectionModel()->setCurrentIndex(list.index(nRow, 0),
                                             QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
  } else {
    pView->selectAll();
  }
  QElapsedTimer clock;
  clock.start();
  frame.Action(eCmd_Delete)->trigger();
  QApplication::processEvents();
  const double dMs = clock.nsecsElapsed() / 1e6;
  for (int i = 0; i < list.rowCount(); ++i) {
    if (list.CellText(i, 0) == ".." || (scene.bTree && list.CellText(i, 0) != "Big")) continue;
    std::printf("the list still shows %s\n", qPrintable(list.CellText(i, 0)));
    return -1;
  }
  return dMs;
}

// Milliseconds of the same command without a frame, or -1.
double ThroughEngine(const CScene& scene, int nFiles) {
  fileops::CSelection selection;
  if (scene.bTree)
    selection.push_back({fileops::eSelFolder, "\\Big"});
  else
    for (int i = 0; i < nFiles; ++i) selection.push_back({fileops::eSelFile, FilePath(scene, i)});
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

  for (const CScene& scene : {CScene{"one folder", false}, CScene{"four views", true}}) {
    std::vector<double> frameMs, engineMs;
    for (int nRun = 0; nRun < nRuns; ++nRun) {
      for (auto [pTimes, run] : {std::pair{&frameMs, &ThroughFrame},
                                 std::pair{&engineMs, &ThroughEngine}}) {
        if (!MakeData(root, scene, nFiles)) {
          std::printf("could not make the files in %s\n", qPrintable(root));
          return 1;
        }
        const double dMs = run(scene, nFiles);
        if (dMs < 0) return 1;
        if (!QDir(root + "/Big").isEmpty() && !scene.bTree) {
          std::printf("files are left in \\Big\n");
          return 1;
        }
        if (scene.bTree && QDir(root + "/Big").exists()) {
          std::printf("\\Big is left\n");
          return 1;
        }
        pTimes->push_back(dMs);
      }
    }
    const double dFrame = *std::min_element(frameMs.begin(), frameMs.end());
    const double dEngine = *std::min_element(engineMs.begin(), engineMs.end());
    std::printf("recycle %d files, %s: through the frame best %.0f ms, through the engine best "
                "%.0f ms, frame/engine %.2f (%d runs each)\n",
                nFiles, scene.name, dFrame, dEngine, dFrame / dEngine, nRuns);
  }
  MakeData(root, CScene{"", false}, 0);
  plat::CHive::Close();
  return 0;
}
