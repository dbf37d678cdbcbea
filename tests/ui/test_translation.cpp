// A translation file changes the texts the windows show: the German translation as the build
// compiles it, and as scripts/ts_to_qm.py writes it where Qt's translation tools are missing.
#include <QFileInfo>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "core/message_box.h"
#include "core/texts.h"
#include "ui/frame_commands.h"
#include "ui/message_box_dialog.h"
#include "ui/profiles_dialog.h"
#include "ui/progress_window.h"

#include "main_frame_fixture.h"

namespace {

class TranslationTest : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override { core::RemoveTranslation(); }
};

TEST_P(TranslationTest, GermanChangesTheButtonsAndTitlesOfTheDialogs) {
  ASSERT_TRUE(core::InstallTranslation(QString::fromUtf8(GetParam())));

  CMessageBoxDialog box(MakeMsgBoxRequest(eMsgKindConflict, "body", "title", "heading", 0), false);
  EXPECT_EQ(box.Button(eMsgAnsYesToAll)->text(), "Ja, alle");
  EXPECT_EQ(box.Button(eMsgAnsCancel)->text(), "Abbrechen");
  // A text the translation leaves out stays English.
  CDlg_ProfileEdit edit("Work", "");
  EXPECT_EQ(edit.windowTitle(), "Profil bearbeiten");
  EXPECT_EQ(core::Text(55229), "Edit user profile");
  // Sizes and durations take the translated units.
  EXPECT_EQ(core::Text(55285), " Bytes");
  // A translated text keeps its placeholder.
  EXPECT_EQ(core::Text(55152).arg("a.txt"), "Möchten Sie die Datei „a.txt“ wirklich löschen?");

  core::RemoveTranslation();
  CMessageBoxDialog english(MakeMsgBoxRequest(eMsgKindConflict, "body", "title", "heading", 0),
                            false);
  EXPECT_EQ(english.Button(eMsgAnsCancel)->text(), "Cancel");
}

// A text is keyed by its English and its number, so the file must translate every number of
// an English text it translates; otherwise the number it leaves out stays English where the
// file is read by key (lrelease instead keys an English text the file holds once by the
// English alone, and hides the gap).
TEST_P(TranslationTest, EveryNumberOfATranslatedEnglishTextIsTranslated) {
  ASSERT_TRUE(core::InstallTranslation(QString::fromUtf8(GetParam())));
  std::map<QString, std::vector<int>> numbersOf;
  for (const core::CTextEntry& entry : core::TextTable())
    numbersOf[QString::fromUtf8(entry.text.source)].push_back(entry.nId);
  for (const auto& group : numbersOf) {
    const QString& english = group.first;
    const std::vector<int>& numbers = group.second;
    const auto translated = [&english](int n) { return core::Text(n) != english; };
    if (std::none_of(numbers.begin(), numbers.end(), translated)) continue;
    for (int n : numbers) EXPECT_TRUE(translated(n)) << n << " " << english.toStdString();
  }
}

TEST_P(TranslationTest, TheStartTranslationIsTheFileTheEnvironmentNames) {
  qputenv("PINBRO_TRANSLATION", GetParam());
  EXPECT_TRUE(core::InstallStartTranslation(QStringLiteral("/nonexistent")));
  EXPECT_EQ(core::Text(55005), "Abbrechen");
  // Set but empty: no translation, whatever the locale.
  core::RemoveTranslation();
  qputenv("PINBRO_TRANSLATION", "");
  EXPECT_FALSE(core::InstallStartTranslation(QStringLiteral("/nonexistent")));
  EXPECT_EQ(core::Text(55005), "Cancel");
  qunsetenv("PINBRO_TRANSLATION");
}

TEST(StartTranslation, IsTheFileOfTheLocaleInTheFolder) {
  qunsetenv("PINBRO_TRANSLATION");
  const QString strFolder = QFileInfo(QStringLiteral(PINBRO_DE_QM)).absolutePath();
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_FALSE(core::InstallStartTranslation(strFolder));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Austria));
  EXPECT_TRUE(core::InstallStartTranslation(strFolder));
  EXPECT_EQ(core::Text(55122), "Ja");
  core::RemoveTranslation();
  QLocale::setDefault(QLocale::system());
}

// The frame reads its menus and commands from the text table when it is made.
class TranslatedFrameTest : public MainFrameTest {
 protected:
  void TearDown() override {
    MainFrameTest::TearDown();
    core::RemoveTranslation();
  }
};

TEST_F(TranslatedFrameTest, GermanChangesTheMenusAndCommandsOfTheFrame) {
  ASSERT_TRUE(core::InstallTranslation(QStringLiteral(PINBRO_DE_QM)));
  StartFrame();
  QStringList menus;
  for (QAction* pMenu : frame_->menuBar()->actions()) menus << pMenu->text();
  // The menus the translation leaves out stay English.
  EXPECT_EQ(menus,
            QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&Go", "F&avorites", "&Profiles", "&Hilfe"}));
  EXPECT_EQ(frame_->Action(eCmd_Exit)->text(), "Beenden");
  EXPECT_EQ(frame_->Action(eCmd_SelectAll)->text(), "Alles auswählen");
  EXPECT_EQ(frame_->Action(eCmd_Rename)->text(), "Umbenennen");
  // The rename dialog's title and label.
  EXPECT_EQ(core::Text(900585), "Neuer Name:");
}

INSTANTIATE_TEST_SUITE_P(Files, TranslationTest, ::testing::Values(PINBRO_DE_QM, PINBRO_DE_SCRIPT_QM));

}  // namespace
