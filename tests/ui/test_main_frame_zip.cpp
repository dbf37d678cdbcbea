// Archives in the main frame, driven as a user drives them: a ".zip" opened in panel A, its
// members copied to panel B (Copy and Paste, F5, a drop) and opened; the folder tree inside an
// archive; "Compress files..." through its options dialog; "Test archive", "Extract here" and
// "Extract to..." from the context menus. The archives are made by Python's zipfile.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

#include "browse/folder_tree.h"
#include "core/message_box.h"
#include "support/scripted_message_box.h"
#include "ui/archive_commands.h"
#include "ui/progress_window.h"
#include "ui/tree_view.h"
#include "ui/zip_dialogs.h"
#include "zip/zip_archive.h"

#include "main_frame_fixture.h"

namespace {

// Runs a Python 3 script; sys.argv[1:] are args. Returns the standard output, or a failure.
::testing::AssertionResult Python(const QString& script, const QStringList& args,
                                  QByteArray* pOut = nullptr) {
  QProcess p;
  p.start(QStringLiteral("python3"),
          QStringList{QStringLiteral("-c"), "import sys, zipfile\n" + script} + args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return ::testing::AssertionFailure() << p.readAllStandardError().toStdString();
  if (pOut) *pOut = p.readAllStandardOutput();
  return ::testing::AssertionSuccess();
}

// Picks the entry of the next context menu that opens, by its text, after noting the entries
// (disabled ones marked with a "-" in front).
class CMenuPicker : public QObject {
 public:
  explicit CMenuPicker(const QString& strPick = {}) : pick_(strPick) {
    QApplication::instance()->installEventFilter(this);
  }
  ~CMenuPicker() override { QApplication::instance()->removeEventFilter(this); }
  QStringList entries;

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    auto* pMenu = qobject_cast<QMenu*>(pWatched);
    if (!pMenu || pEvent->type() != QEvent::Show) return false;
    entries.clear();
    QAction* pPicked = nullptr;
    for (QAction* pAction : pMenu->actions()) {
      if (pAction->isSeparator()) continue;
      entries << (pAction->isEnabled() ? QString() : QStringLiteral("-")) + pAction->text();
      if (pAction->text() == pick_ && pAction->isEnabled()) pPicked = pAction;
    }
    QTimer::singleShot(0, pMenu, [pMenu, pPicked] {
      pMenu->close();
      if (pPicked) pPicked->trigger();
    });
    return false;
  }

 private:
  QString pick_;
};

// Opens the context menu of a view as a right click does; picks strPick when it is enabled.
QStringList ContextMenu(QAbstractItemView* pView, const QString& strPick = {}) {
  CMenuPicker picker(strPick);
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                          pView->viewport()->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(pView->viewport(), &event);
  QTest::qWait(20);  // the pick runs after the menu has closed
  return picker.entries;
}

bool DragAndDrop(CListView* pList, const QMimeData* pMime, const QPoint& pos) {
  QWidget* pViewport = pList->CurrentView()->viewport();
  QDragEnterEvent enter(pos, Qt::CopyAction, pMime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pViewport, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(pos), Qt::CopyAction, pMime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pViewport, &drop);
  return drop.isAccepted();
}

class MainFrameZipTest : public MainFrameTest {
 protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    settings.MainViewConfig = 2;  // the two lists side by side
    settings.MainViewActive = 3;
    ASSERT_TRUE(Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo("docs/"), b"")
    z.writestr("docs/readme.txt", b"read me")
    z.writestr("docs/guide/step.txt", b"step one")
    z.writestr("top.txt", b"top" * 100)
)PY",
                       {Host("\\Docs") + "/pack.zip"}));
  }
  void TearDown() override {
    zip::CZipArchive::ForgetCached();
    MainFrameTest::TearDown();
  }
  void StartOn(const QString& strA, const QString& strB) {
    StartFrame();
    frame_->List(ePanel_A).LoadFolder(strA, true, true);
    frame_->List(ePanel_B).LoadFolder(strB, true, true);
    ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  }
  void OpenRow(EPanelId ePanel, const QString& strName) {
    FocusRow(ePanel, strName);
    Trigger(eCmd_Open);
  }
  QString ListLocation(EPanelId ePanel) { return frame_->List(ePanel).Source()->LocationText(); }

  CDesktopProgressFactory progressUi_;
  fileops::CScopedProgressFactory installProgress_{&progressUi_};
};

TEST_F(MainFrameZipTest, MembersLeaveTheArchiveByCopyPasteF5DropAndOpening) {
  test::CScriptedMessageBox box;
  settings.DragAndDrop = 1;
  StartOn("\\Docs", "\\Music");
  OpenRow(ePanel_A, "pack.zip");
  ASSERT_EQ(ListLocation(ePanel_A), "\\Docs\\pack.zip");
  OpenRow(ePanel_A, "docs");
  ASSERT_EQ(ListLocation(ePanel_A), "\\Docs\\pack.zip\\docs");
  EXPECT_FALSE(frame_->Action(eCmd_Delete)->isEnabled());
  EXPECT_FALSE(frame_->Action(eCmd_Cut)->isEnabled());

  // Copy, then Paste in panel B: the member is extracted into B's folder, B lists it.
  FocusRow(ePanel_A, "readme.txt");
  Trigger(eCmd_Copy);
  ASSERT_TRUE(frame_->SetActiveView(eView_ListB));
  ASSERT_TRUE(frame_->Action(eCmd_Paste)->isEnabled());
  Trigger(eCmd_Paste);
  EXPECT_EQ(ReadHost("\\Music\\readme.txt"), "read me");
  EXPECT_GE(RowOf(ePanel_B, "readme.txt"), 0);

  // F5 on a folder of the archive: the folder with everything below it.
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  FocusRow(ePanel_A, "guide");
  ASSERT_TRUE(frame_->Action(eCmd_CopyToOther)->isEnabled());
  Trigger(eCmd_CopyToOther);
  EXPECT_EQ(ReadHost("\\Music\\guide\\step.txt"), "step one");
  EXPECT_GE(RowOf(ePanel_B, "guide"), 0);

  // Dragged from the archive onto panel B's list.
  frame_->List(ePanel_B).LoadFolder("\\Empty", true, true);
  frame_->ListView(ePanel_A)->Selection()->select(
      frame_->List(ePanel_A).index(RowOf(ePanel_A, "readme.txt"), 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const QStringList paths = frame_->ListView(ePanel_A)->SelectedPaths();
  ASSERT_EQ(paths, QStringList({"\\Docs\\pack.zip\\docs\\readme.txt"}));
  std::unique_ptr<QMimeData> mime(CListView::ItemsMimeData(paths));
  EXPECT_TRUE(mime->urls().isEmpty());  // no host file for other programs to take
  CListView* pB = frame_->ListView(ePanel_B);
  ASSERT_TRUE(DragAndDrop(pB, mime.get(), QPoint(20, pB->CurrentView()->viewport()->height() - 5)));
  EXPECT_TRUE(QTest::qWaitFor([&] { return ExistsHost("\\Empty\\readme.txt"); }, 2000));
  EXPECT_EQ(ReadHost("\\Empty\\readme.txt"), "read me");

  // Opening a member extracts it and hands the extracted file to the desktop's application;
  // the folder made for it shows where the device root is listed.
  frame_->List(ePanel_B).LoadFolder("\\", true, true);
  ASSERT_TRUE(frame_->SetActiveView(eView_ListA));
  OpenRow(ePanel_A, "readme.txt");
  ASSERT_EQ(opened_.size(), 1);
  EXPECT_EQ(opened_[0], Host("\\Temp\\Pinewood Browser\\pack.zip\\readme.txt"));
  EXPECT_EQ(ReadHost("\\Temp\\Pinewood Browser\\pack.zip\\readme.txt"), "read me");
  EXPECT_EQ(ListLocation(ePanel_A), "\\Docs\\pack.zip\\docs");  // the list stays
  EXPECT_TRUE(QTest::qWaitFor([&] { return RowOf(ePanel_B, "Temp") >= 0; }, 2000));
  EXPECT_TRUE(box.Calls().empty());
}

TEST_F(MainFrameZipTest, TheTreeAndTheAddressBarReachFoldersInsideTheArchive) {
  test::CScriptedMessageBox box;
  settings.MainViewConfig = 0;  // tree and list of panel A, tree and list of panel B
  StartOn("\\Docs", "\\Music");
  CFolderTree& tree = frame_->Tree(ePanel_A);
  ASSERT_TRUE(tree.SelectFolder("\\Docs"));
  CFolderTreeModel& model = *tree.Model();
  model.Expand(tree.Current());
  const QModelIndex pack = model.FindChild(tree.Current(), eEntry_Zip, "pack.zip");
  ASSERT_TRUE(pack.isValid());
  ASSERT_TRUE(model.hasChildren(pack));
  model.Expand(pack);
  const QModelIndex docs = model.FindChild(pack, eEntry_ZipFolder, "docs");
  ASSERT_TRUE(docs.isValid());
  tree.SelectionModel()->setCurrentIndex(docs, QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(ListLocation(ePanel_A), "\\Docs\\pack.zip\\docs");
  EXPECT_GE(RowOf(ePanel_A, "readme.txt"), 0);
  EXPECT_GE(RowOf(ePanel_A, "guide"), 0);

  // The archive commands of the tree act on the selected folder of the archive.
  ASSERT_TRUE(frame_->SetActiveView(eView_TreeA));
  QStringList entries = ContextMenu(frame_->TreeView(ePanel_A), "Extract here");
  EXPECT_TRUE(entries.contains("Extract here")) << entries.join(", ").toStdString();
  EXPECT_TRUE(entries.contains("-Compress files...")) << entries.join(", ").toStdString();
  EXPECT_EQ(ReadHost("\\Docs\\docs\\guide\\step.txt"), "step one");
  EXPECT_FALSE(ExistsHost("\\Docs\\top.txt"));

  // A typed address through the archive lists that folder.
  auto* pAddressBar = frame_->findChild<QToolBar*>(QStringLiteral("addressBar"));
  ASSERT_NE(pAddressBar, nullptr);
  auto* pAddress = pAddressBar->findChild<QLineEdit*>();
  ASSERT_NE(pAddress, nullptr);
  pAddress->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return pAddress->hasFocus(); }, 2000));
  pAddress->setText("\\Docs\\pack.zip\\docs\\guide");
  QTest::keyClick(pAddress, Qt::Key_Return);
  EXPECT_EQ(frame_->List(ePanel_A).Source()->LocationText(), "\\Docs\\pack.zip\\docs\\guide");
  EXPECT_GE(RowOf(ePanel_A, "step.txt"), 0);
  EXPECT_TRUE(box.Calls().empty());
}

TEST_F(MainFrameZipTest, CompressFilesThroughTheOptionsDialog) {
  test::CScriptedMessageBox box;
  StartOn("\\Docs", "\\Music");
  MakeFile("\\Docs\\Sub1\\inner.txt", "inside");
  CListView* pA = frame_->ListView(ePanel_A);
  pA->Selection()->clearSelection();
  for (const char* name : {"Sub1", "a.txt"})
    pA->Selection()->select(frame_->List(ePanel_A).index(RowOf(ePanel_A, name), 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QStringList levels;
  QList<int> values;
  QString proposedFolder, proposedName;
  frame_->ArchiveCommands().SetCompressDialogRunner([&](CDlg_Compress& dialog) {
    proposedFolder = dialog.FolderEdit()->text();
    proposedName = dialog.NameEdit()->text();
    for (int i = 0; i < dialog.LevelList()->count(); ++i) {
      levels << dialog.LevelList()->itemText(i);
      values << dialog.LevelList()->itemData(i).toInt();
    }
    EXPECT_EQ(dialog.windowTitle(), "ZIP");
    EXPECT_EQ(dialog.ModeList()->currentText(), "Add (and replace) files");
    // An existing file of the name is replaced only after a Yes; No keeps the dialog open.
    dialog.NameEdit()->setText("pack.zip");
    box.QueueAnswer(eMsgAnsNo);
    dialog.accept();
    EXPECT_NE(dialog.result(), int(QDialog::Accepted));
    dialog.NameEdit()->setText("out.zip");
    dialog.LevelList()->setCurrentIndex(0);
    dialog.accept();
    return dialog.result();
  });
  QStringList entries = ContextMenu(pA->CurrentView(), "Compress files...");
  EXPECT_FALSE(entries.contains("Test archive")) << entries.join(", ").toStdString();
  EXPECT_EQ(proposedFolder, "\\Docs");
  EXPECT_EQ(proposedName, "Sub1.zip");
  EXPECT_EQ(levels, QStringList({"Maximum (enhanced deflate)", "Maximum (portable)", "Normal",
                                 "Fast", "Super fast", "None"}));
  EXPECT_EQ(values, QList<int>({8, 6, 4, 3, 2, 1}));
  ASSERT_TRUE(ExistsHost("\\Docs\\out.zip"));
  EXPECT_GE(RowOf(ePanel_A, "out.zip"), 0);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strText,
            "Folder \"\\Docs\" already contains a file called \"pack.zip\".\r\n\r\nWould you like "
            "to replace the existing file?");
  EXPECT_EQ(box.Calls()[0].strTitle, "ZIP");
  QByteArray listed;
  ASSERT_TRUE(Python(R"PY(
z = zipfile.ZipFile(sys.argv[1])
print(",".join(sorted(z.namelist())), z.read("a.txt").decode(), z.read("Sub1/inner.txt").decode())
)PY",
                     {Host("\\Docs\\out.zip")}, &listed));
  EXPECT_EQ(listed.trimmed(), "Sub1/,Sub1/inner.txt,a.txt text inside");

  // Cancel in the dialog creates nothing.
  frame_->ArchiveCommands().SetCompressDialogRunner([](CDlg_Compress& dialog) {
    dialog.NameEdit()->setText("never.zip");
    dialog.reject();
    return dialog.result();
  });
  Trigger(eCmd_Compress);
  EXPECT_FALSE(ExistsHost("\\Docs\\never.zip"));
  EXPECT_EQ(box.Calls().size(), 1u);
}

TEST_F(MainFrameZipTest, TestAndExtractFromTheContextMenus) {
  test::CScriptedMessageBox box;
  // A copy of the archive with one byte of top.txt's data flipped.
  ASSERT_TRUE(Python(R"PY(
data = bytearray(open(sys.argv[1], "rb").read())
z = zipfile.ZipFile(sys.argv[1])
info = z.getinfo("top.txt")
start = info.header_offset + 30 + len(info.filename.encode()) + len(info.extra)
data[start + info.compress_size // 2] ^= 0xFF
open(sys.argv[2], "wb").write(data)
)PY",
                     {Host("\\Docs\\pack.zip"), Host("\\Docs") + "/bad.zip"}));
  StartOn("\\Docs", "\\Music");
  QAbstractItemView* pA = frame_->ListView(ePanel_A)->CurrentView();

  FocusRow(ePanel_A, "pack.zip");
  const QStringList entries = ContextMenu(pA, "Test archive");
  for (const char* entry : {"Extract here", "Extract to...", "Test archive", "Compress files..."})
    EXPECT_TRUE(entries.contains(entry)) << entry << ": " << entries.join(", ").toStdString();
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strText, "No errors found during test operation.");
  EXPECT_EQ(box.Calls()[0].strTitle, "Test finished.");
  EXPECT_EQ(box.Calls()[0].strHeader, "Zip archive: pack.zip");

  FocusRow(ePanel_A, "bad.zip");
  ContextMenu(pA, "Test archive");
  ASSERT_EQ(box.Calls().size(), 2u);
  EXPECT_EQ(box.Calls()[1].strText, "Corrupted file: top.txt");

  // A plain file's menu has no archive commands.
  FocusRow(ePanel_A, "a.txt");
  EXPECT_FALSE(ContextMenu(pA).contains("Extract here"));

  // "Extract here" on the archive: all of it, into the folder that holds it.
  FocusRow(ePanel_A, "pack.zip");
  ContextMenu(pA, "Extract here");
  EXPECT_EQ(ReadHost("\\Docs\\top.txt"), QByteArray("top").repeated(100));
  EXPECT_EQ(ReadHost("\\Docs\\docs\\guide\\step.txt"), "step one");
  EXPECT_GE(RowOf(ePanel_A, "top.txt"), 0);

  // Inside the archive, "Extract to..." proposes the other panel's folder and takes the
  // selected members.
  OpenRow(ePanel_A, "pack.zip");
  ASSERT_EQ(ListLocation(ePanel_A), "\\Docs\\pack.zip");
  QString proposed;
  frame_->ArchiveCommands().SetFolderAsker([&](const QString& strProposed, QString* pstrFolder) {
    proposed = strProposed;
    *pstrFolder = "\\Empty";
    return true;
  });
  FocusRow(ePanel_A, "top.txt");
  const QStringList inside =
      ContextMenu(frame_->ListView(ePanel_A)->CurrentView(), "Extract to...");
  EXPECT_TRUE(inside.contains("Copy")) << inside.join(", ").toStdString();
  EXPECT_TRUE(inside.contains("Test archive")) << inside.join(", ").toStdString();
  EXPECT_FALSE(inside.contains("Compress files...")) << inside.join(", ").toStdString();
  EXPECT_EQ(proposed, "\\Music");
  EXPECT_EQ(ReadHost("\\Empty\\top.txt"), QByteArray("top").repeated(100));
  EXPECT_FALSE(ExistsHost("\\Empty\\docs"));
  EXPECT_EQ(box.Calls().size(), 2u);
}

}  // namespace
