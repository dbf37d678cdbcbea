#pragma once
// The main frame on a real temporary root and hive, started as the program starts it (the
// defaults, then the stored options), with helpers to find, focus and trigger things in it.
// Shared by the main-frame test programs.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "browse/list_panel.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "support/temp_root.h"
#include "ui/frame_commands.h"
#include "ui/list_view.h"
#include "ui/main_frame.h"

namespace {

class MainFrameTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    LoadCurrentProfileName();
    LoadDefaults();
    LoadSettings();
    MakeFolder("\\Docs\\Sub1");
    MakeFolder("\\Docs\\Sub2");
    MakeFile("\\Docs\\a.txt", "text");
    MakeFile("\\Docs\\b.zip", "not really an archive");
    MakeFolder("\\Music");
    MakeFolder("\\Empty");
    MakeFile("\\readme.txt", "x");
  }
  void TearDown() override {
    frame_.reset();
    TempRootAndHive::TearDown();
  }

  CMainFrame& StartFrame() {
    frame_ = std::make_unique<CMainFrame>();
    frame_->SetFileOpener([this](const QString& strHost) {
      opened_ << strHost;
      return true;
    });
    // F5 and F6 take the proposed folder, as Enter in their dialog does; the dialog's own
    // tests put the real one back.
    frame_->SetDestinationAsker(
        [](bool, int, const QString& strProposed, QString* pstrFolder) {
          *pstrFolder = strProposed;
          return true;
        });
    frame_->SetShellOpener([this](const QString& strHost, plat::EShellOpen eHow) {
      shellOpened_ << QStringLiteral("%1 %2").arg(int(eHow)).arg(strHost);
      return true;
    });
    frame_->resize(1280, 800);
    frame_->show();
    QApplication::setActiveWindow(frame_.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    return *frame_;
  }
  void Restart() {
    frame_.reset();
    LoadSettings();  // what the next start reads from the profile
    StartFrame();
  }
  void Trigger(int nCommand) {
    QAction* pAction = frame_->Action(nCommand);
    ASSERT_NE(pAction, nullptr) << nCommand;
    pAction->trigger();
  }
  int RowOf(EPanelId ePanel, const QString& strName) {
    CListPanel& list = frame_->List(ePanel);
    for (int i = 0; i < list.rowCount(); ++i)
      if (list.CellText(i, 0) == strName) return i;
    return -1;
  }
  // Puts the focus of a list on the row of a name.
  void FocusRow(EPanelId ePanel, const QString& strName) {
    const int nRow = RowOf(ePanel, strName);
    ASSERT_GE(nRow, 0) << strName.toStdString();
    CListView* pView = frame_->ListView(ePanel);
    pView->Selection()->setCurrentIndex(frame_->List(ePanel).index(nRow, 0),
                                        QItemSelectionModel::ClearAndSelect);
  }
  QWidget* Focused(EPanelId ePanel) { return frame_->ListView(ePanel)->CurrentView(); }
  // Where a view sits in the frame.
  QPoint PosOf(int nView) {
    QWidget* pView = frame_->ViewWidget(nView);
    return pView->mapTo(frame_.get(), QPoint(0, 0));
  }

  std::unique_ptr<CMainFrame> frame_;
  QStringList opened_;
  QStringList shellOpened_;  // "<how> <host path>" of F3 and F4
};

}  // namespace
