// Start-up and shut-down order, the post-start steps (shortcut offer, version warning) and the
// shell helpers, on a real root and hive with a scripted message box.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "core/app_log.h"
#include "core/settings.h"
#include "core/settings_answers.h"
#include "core/settings_io.h"
#include "core/settings_screen.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "core/startup_shell.h"
#include "platform/file_system.h"
#include "platform/shell.h"
#include "support/scripted_message_box.h"
#include "platform/system.h"
#include "support/temp_root.h"

namespace {

const QString kProductKey = QStringLiteral("Software\\Tarvish\\Pinewood Browser");

// Records what start-up and shut-down ask of the frame, and what was in place at that moment.
class CTestHost : public IAppFrameHost {
 public:
  void ScreenSize(int* pnWidth, int* pnHeight) override {
    *pnWidth = width;
    *pnHeight = height;
  }
  bool CreateMainFrame() override {
    events.push_back("create frame");
    configAtFrame = settings.MainViewConfig;
    fontBaseAtFrame = settings.MainViewFontBase;
    logOpenAtFrame = CAppLog::Instance().IsOpen();
    return true;
  }
  void DestroyMainFrame() override {
    events.push_back("destroy frame");
    logOpenAtDestroy = CAppLog::Instance().IsOpen();
  }
  void ReleaseSharedUiObjects() override {
    events.push_back("release");
    logOpenAtRelease = CAppLog::Instance().IsOpen();
  }

  int width = 240;
  int height = 320;
  std::vector<std::string> events;
  DWORD configAtFrame = 0;
  DWORD fontBaseAtFrame = 0;
  bool logOpenAtFrame = false;
  bool logOpenAtDestroy = false;
  bool logOpenAtRelease = true;
};

class StartupTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    qunsetenv("PINBRO_OS_VERSION");
    settings.CurrentProfile = QStringLiteral("Default");
  }
  void TearDown() override {
    CloseLog();
    qunsetenv("PINBRO_OS_VERSION");
    TempRootAndHive::TearDown();
  }
  // The message texts of the log's lines, without their "[tag @ time]: " prefixes.
  QStringList LogMessages(const QString& strFolder) {
    const QString text = QString::fromUtf8(ReadHost(strFolder + "\\pinbro.log"));
    QStringList messages;
    for (const QString& line : text.split("\r\n", Qt::SkipEmptyParts))
      messages << line.section("]: ", 1);
    return messages;
  }
  QStringList BoxTitles() {
    QStringList titles;
    for (const auto& call : box_.Calls()) titles << call.strTitle;
    return titles;
  }

  test::CScriptedMessageBox box_;
};

TEST_F(StartupTest, StartUpAndShutDownRunInOrder) {
  // The profile named by CurrentProfile holds the log options, so the log can only be where
  // they say when the profile's name was read before the log was opened.
  WriteGlobalString("CurrentProfile", "Work");
  const QString work = ProfileKeyPath("Work");
  MakeFolder("\\logs");
  WriteKeyString(work, "AppLog_Folder", "\\logs");
  WriteKeyDword(work, "AppLog_LogInfo", 1);
  WriteKeyDword(work, "AppLog_LogNotice", 1);
  WriteKeyDword(work, "MainViewConfig", 3);
  WriteGlobalDword("GetStorageIDIOCTLFailed", 1);

  CTestHost host;
  host.width = 480;
  host.height = 640;
  ASSERT_TRUE(InitInstance(host));
  EXPECT_EQ(host.events, std::vector<std::string>({"create frame"}));
  EXPECT_TRUE(host.logOpenAtFrame);
  EXPECT_EQ(host.configAtFrame, 3u) << "options loaded before the frame";
  EXPECT_EQ(host.fontBaseAtFrame, 6u) << "defaults for the high-resolution screen";
  EXPECT_TRUE(ExistsHost(plat::ProgramFolder() + "\\RecycleBin"));
  QString exePath;
  EXPECT_TRUE(ReadKeyString("Software\\Tarvish", "PINBRO_APP", {}, &exePath));
  EXPECT_EQ(exePath, ExecutablePath());
  EXPECT_EQ(settings.DisableGetStorageIDIOCTL, 1u);

  const QStringList expected = {
      "InitInstance()...",
      "  Profile \"Work\"",
      QString("  PINBRO_APP = %1 (written)").arg(ExecutablePath()),
      "  Storage flags and appearance options read (DisableGetStorageIDIOCTL = 1)",
      "  High-resolution screen: yes",
      "  Profile options loaded",
      "  Main frame created",
      "InitInstance()",
  };
  EXPECT_EQ(LogMessages("\\logs"), expected);

  settings.MainViewFontSize = 0;
  settings.AppLog_LogErr = 1;
  ExitInstance(host);
  EXPECT_EQ(host.events, std::vector<std::string>({"create frame", "destroy frame", "release"}));
  EXPECT_TRUE(host.logOpenAtDestroy);
  EXPECT_TRUE(host.logOpenAtRelease);
  EXPECT_FALSE(CAppLog::Instance().IsOpen());
  EXPECT_EQ(LogMessages("\\logs").mid(expected.size()),
            QStringList({"ExitInstance()...", "ExitInstance()"}))
      << "nothing after the log is closed";
  DWORD dwStored = 9;
  EXPECT_TRUE(ReadKeyDword(work, "MainViewFontSize", 9, &dwStored));
  EXPECT_EQ(dwStored, 0u) << "options saved into the current profile at exit";
  EXPECT_TRUE(ReadKeyDword(work, "AppLog_LogErr", 9, &dwStored));
  EXPECT_EQ(dwStored, 1u);
}

TEST_F(StartupTest, VersionWarningTable) {
  struct {
    const char* version;
    bool bWarns;
    const char* name;
  } const cases[] = {
      {"3.02", false, ""},
      {"3.0", false, ""},
      {"4.01", true, "Windows Mobile 2003"},
      {"4.20", true, "Windows Mobile 2003 Second Edition"},
      {"5.01", true, "Windows Mobile 5"},
      {"2.11", true, "Windows CE 2.11"},
      {"2.10", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    qputenv("PINBRO_OS_VERSION", c.version);
    const size_t before = box_.Calls().size();
    EXPECT_EQ(CheckOperatingSystem(), c.bWarns);
    if (!c.bWarns) {
      EXPECT_EQ(box_.Calls().size(), before);
      continue;
    }
    ASSERT_EQ(box_.Calls().size(), before + 1);
    const auto call = box_.Calls().back();
    EXPECT_EQ(call.nKind, int(eMsgKindWarning));
    EXPECT_EQ(call.uMsgNum, 3u);
    EXPECT_EQ(call.strTitle, QStringLiteral("Warning!"));
    EXPECT_EQ(call.strHeader, QStringLiteral("Incorrect product build/version"));
    EXPECT_TRUE(call.strText.startsWith(
        "Warning, you are using a version of Pinewood Browser that has been designed for "
        "another OS version (Pocket PC 2002). Please visit "));
    EXPECT_TRUE(call.strText.endsWith(
        QString(" and download the '%1' build of Pinewood Browser.").arg(c.name)))
        << call.strText.toStdString();
  }
}

// The remembered answer of the version warning lives in the current profile as "DS3".
TEST_F(StartupTest, RememberedVersionWarningIsStoredInTheProfile) {
  qputenv("PINBRO_OS_VERSION", "5.0");
  CSettingsRememberedAnswers remembered;
  CMessageBoxService service(&box_, &remembered);
  CScopedMessageBoxService install(&service);
  box_.QueueAnswer(eMsgAnsOK, true);
  CheckOperatingSystem();
  ASSERT_EQ(box_.Calls().size(), 1u);
  DWORD dwStored = 0;
  EXPECT_TRUE(ReadProfileDword("DS3", 0, &dwStored));
  EXPECT_EQ(dwStored, DWORD(eMsgAnsOK));
  CheckOperatingSystem();
  EXPECT_EQ(box_.Calls().size(), 1u) << "not shown again";

  WriteProfileDword("DS3", 0xFFFFFFFF);
  CheckOperatingSystem();
  EXPECT_EQ(box_.Calls().size(), 2u) << "-1 means no remembered answer";
}

TEST_F(StartupTest, ShortcutProgramPath) {
  struct {
    const char* target;
    const char* path;
  } const cases[] = {
      {"\"\\Program Files\\pinbro\" --root \\x", "\\Program Files\\pinbro"},
      {"\"\\a\\p\" \"arg\"", "\\a\\p\" \"arg"},  // first to last quote
      {"\\a\\p -x", "\\a\\p"},
      {"\\a\\p?x", "\\a\\p"},
      {"\\a\\p,1", "\\a\\p"},
      {"\\a\\p\r\n", "\\a\\p"},
      {"\\a\\p", "\\a\\p"},
      {"\"\\a\\p", ""},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShortcutProgramPath(c.target), QString::fromLatin1(c.path)) << c.target;
}

TEST_F(StartupTest, ShortcutDetectionInProgramsAndStartMenu) {
  const QString exe = QStringLiteral("\\Apps\\Pinbro");
  QString programs;
  QString startMenu;
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_PROGRAMS, &programs, true));
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_STARTMENU, &startMenu, true));
  EXPECT_FALSE(HasStartMenuShortcut(exe));

  ASSERT_TRUE(plat::SHCreateShortcut(programs + "\\Other copy.lnk", "\"\\Backup\\Pinbro\""));
  ASSERT_TRUE(plat::SHCreateShortcut(programs + "\\Not a link.txt", "\"\\Apps\\Pinbro\""));
  MakeFolder(programs + "\\Folder.lnk");
  EXPECT_FALSE(HasStartMenuShortcut(exe));

  ASSERT_TRUE(plat::SHCreateShortcut(programs + "\\Mine.lnk", "\"\\apps\\PINBRO\" --quiet \\x"));
  EXPECT_TRUE(HasStartMenuShortcut(exe)) << "quoted target with arguments, other case";

  ASSERT_TRUE(plat::DeleteFile(programs + "\\Mine.lnk"));
  ASSERT_TRUE(plat::SHCreateShortcut(startMenu + "\\Plain.lnk", "\\Apps\\Pinbro?x"));
  EXPECT_TRUE(HasStartMenuShortcut(exe)) << "unquoted target in the Start menu folder";
}

TEST_F(StartupTest, ShortcutOfferIsAskedAgainAfterNo) {
  QTemporaryDir entryDir;
  CPostStartOptions options;
  options.strDesktopEntryFile = entryDir.path() + "/applications/pinewood-browser.desktop";
  options.strHostExecutable = "/opt/pinewood browser/pinbro";
  QString startMenu;
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_STARTMENU, &startMenu, true));
  const QString link = startMenu + "\\Pinewood Browser.lnk";

  for (int run = 0; run < 2; ++run) {
    box_.QueueAnswer(eMsgAnsNo);
    RunPostStartSteps(options);
    ASSERT_EQ(box_.Calls().size(), size_t(run + 1));
    EXPECT_FALSE(ExistsHost(link));
    EXPECT_FALSE(QFile::exists(options.strDesktopEntryFile));
  }
  const auto offer = box_.Calls()[0];
  EXPECT_EQ(offer.nKind, int(eMsgKindShortcutOffer));
  EXPECT_EQ(offer.strTitle, QStringLiteral("Shell integration"));
  EXPECT_EQ(offer.strHeader, QStringLiteral("Question"));
  EXPECT_EQ(offer.strText,
            QStringLiteral("Would you like to put a link to Pinewood Browser in your Start "
                           "Menu->Programs folder? Tap 'Yes' to create the link or 'No' to "
                           "cancel."));

  box_.QueueAnswer(eMsgAnsYes);
  RunPostStartSteps(options);
  ASSERT_TRUE(ExistsHost(link));
  QString target;
  ASSERT_TRUE(plat::SHGetShortcutTarget(link, &target));
  EXPECT_EQ(target, "\"" + ExecutablePath() + "\"");
  QFile entry(options.strDesktopEntryFile);
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(entry.readAll());
  EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
  EXPECT_TRUE(text.contains("\nName=Pinewood Browser\n"));
  EXPECT_TRUE(text.contains("\nExec=\"/opt/pinewood browser/pinbro\"\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("\nIcon=pinewood-browser\n"));
  // The icon the entry names is written where the desktop looks for a user's icons.
  QFile icon(entryDir.path() + "/icons/hicolor/scalable/apps/pinewood-browser.svg");
  ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
  EXPECT_TRUE(icon.readAll().contains("<svg"));

  RunPostStartSteps(options);
  EXPECT_EQ(BoxTitles().size(), 3) << "a shortcut exists: not asked again";
}

TEST_F(StartupTest, DesktopEntryQuotesTheProgram) {
  const QString text = DesktopEntryText("/home/u/50%/my \"app\"/$x");
  EXPECT_TRUE(text.contains("\nExec=\"/home/u/50%%/my \\\\\"app\\\\\"/\\\\$x\"\n"))
      << text.toStdString();
}

TEST_F(StartupTest, DeviceNameAndOemInfo) {
  EXPECT_EQ(DeviceName(), QStringLiteral("My Device"));
  WriteKeyString("Ident", "Name", "");
  EXPECT_EQ(DeviceName(), QStringLiteral("My Device"));
  WriteKeyString("Ident", "Name", "Pocket");
  EXPECT_EQ(DeviceName(), QStringLiteral("Pocket"));
  EXPECT_FALSE(OemInfo().isEmpty());
}

}  // namespace
