// The application log on a temporary device root: line format, level gating, the error box
// of the severe levels, truncation, retargeting and concurrent writers.
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "core/app_log.h"
#include "core/message_box.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/filetime.h"
#include "platform/system.h"
#include "support/scripted_message_box.h"
#include "support/temp_root.h"

namespace {

SYSTEMTIME g_fixedTime{};

void FixedClock(SYSTEMTIME* st) { *st = g_fixedTime; }

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME st{};
  st.wYear = WORD(year);
  st.wMonth = WORD(month);
  st.wDay = WORD(day);
  st.wHour = WORD(hour);
  st.wMinute = WORD(minute);
  st.wSecond = WORD(second);
  return st;
}

constexpr DWORD kAllSwitches = 0xFF;

class AppLogTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    CloseLog();
    g_fixedTime = Time(2008, 10, 20, 12, 20, 12);
    CAppLog::Instance().SetClock(&FixedClock);
    MakeFolder("\\logs");
  }
  void TearDown() override {
    CloseLog();
    CAppLog::Instance().SetClock(nullptr);
    TempRoot::TearDown();
  }

  static void Open(DWORD dwSwitches, const QString& folder = "\\logs", DWORD dwTruncate = 0) {
    CLogOptions options;
    options.strFolder = folder;
    options.dwTruncateLog = dwTruncate;
    options.SetSwitchBits(dwSwitches);
    OpenLog(options);
  }

  QByteArray Log(const QString& folder = "\\logs") const {
    return ReadHost(folder + "\\pinbro.log");
  }
  bool LogExists(const QString& folder = "\\logs") const {
    return ExistsHost(folder + "\\pinbro.log");
  }

  test::CScriptedMessageBox box_;
};

TEST_F(AppLogTest, WarnLineIsByteExactAndOtherLevelsStaySilent) {
  Open(eLogWarn);
  LogWarn(u"x %d", 5);
  LogErr(u"not written %d", 1);
  LogCrit(u"not written either");
  EXPECT_EQ(Log(), QByteArray("[warn @ 2008-10-20 12:20:12]: x 5\r\n"));
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(AppLogTest, TimeStampPadsWithZerosAndYearWithBlanks) {
  Open(eLogNotice);
  g_fixedTime = Time(2009, 1, 2, 3, 4, 5);
  LogNotice(u"  detail");
  g_fixedTime = Time(987, 12, 31, 23, 59, 9);
  LogNotice(u"early");
  EXPECT_EQ(Log(), QByteArray("[note @ 2009-01-02 03:04:05]:   detail\r\n"
                              "[note @  987-12-31 23:59:09]: early\r\n"));
}

TEST_F(AppLogTest, RealClockStampsTheLineWithTheLocalTime) {
  CAppLog::Instance().SetClock(nullptr);
  Open(eLogInfo);
  SYSTEMTIME before{}, after{};
  plat::GetLocalTime(&before);
  LogInfo(u"now");
  plat::GetLocalTime(&after);
  const auto stamp = [](const SYSTEMTIME& st) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(st.wYear, 4, 10, QLatin1Char(' '))
        .arg(st.wMonth, 2, 10, QLatin1Char('0'))
        .arg(st.wDay, 2, 10, QLatin1Char('0'))
        .arg(st.wHour, 2, 10, QLatin1Char('0'))
        .arg(st.wMinute, 2, 10, QLatin1Char('0'))
        .arg(st.wSecond, 2, 10, QLatin1Char('0'));
  };
  const QString line = QString::fromLatin1(Log());
  ASSERT_TRUE(line.startsWith("[info @ ")) << line.toStdString();
  const QString written = line.mid(8, 19);
  EXPECT_GE(written, stamp(before));
  EXPECT_LE(written, stamp(after));
  EXPECT_TRUE(line.endsWith("]: now\r\n"));
}

struct CLevelCase {
  const char* name;
  std::function<void()> write;
  DWORD dwSwitch;
  const char* tag;
};

TEST_F(AppLogTest, EachEntryPointWritesItsTagUnderItsOwnSwitchOnly) {
  box_.SetDefaultAnswer(eMsgAnsOK);
  const CLevelCase cases[] = {
      {"LogEmerg", [] { LogEmerg(u"m"); }, eLogEmerg, "emrg"},
      {"LogAlert", [] { LogAlert(u"m"); }, eLogAlert, "alrt"},
      {"LogCrit", [] { LogCrit(u"m"); }, eLogCrit, "crit"},
      {"LogErr", [] { LogErr(u"m"); }, eLogErr, "err!"},
      {"LogWarn", [] { LogWarn(u"m"); }, eLogWarn, "warn"},
      {"LogNotice", [] { LogNotice(u"m"); }, eLogNotice, "note"},
      {"LogInfo", [] { LogInfo(u"m"); }, eLogInfo, "info"},
      {"LogDebug", [] { LogDebug(u"m"); }, eLogDebug, "dbug"},
      // The function trace writes the Debug tag but follows the Info switch.
      {"LogTrace", [] { LogTrace(u"m"); }, eLogInfo, "dbug"},
  };
  for (const CLevelCase& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(Host("\\logs\\pinbro.log"));
    Open(kAllSwitches & ~c.dwSwitch);
    c.write();
    EXPECT_FALSE(LogExists()) << "written with its switch off";
    Open(c.dwSwitch);
    c.write();
    EXPECT_EQ(Log(), QByteArray("[") + c.tag + " @ 2008-10-20 12:20:12]: m\r\n");
  }
}

TEST_F(AppLogTest, UnknownLevelIsTaggedWithQuestionMarks) {
  Open(kAllSwitches);
  CAppLog::Instance().WriteLine(3, u"odd", nullptr, 0);
  EXPECT_EQ(Log(), QByteArray("[???? @ 2008-10-20 12:20:12]: odd\r\n"));
}

TEST_F(AppLogTest, NothingIsWrittenWithSwitchesOffOrWhileClosed) {
  const auto writeEveryLevel = [] {
    LogEmerg(u"a");
    LogAlert(u"a");
    LogCrit(u"a");
    LogErr(u"a");
    LogWarn(u"a");
    LogNotice(u"a");
    LogInfo(u"a");
    LogDebug(u"a");
    LogTrace(u"a");
    LogSystemError(ERROR_FILE_NOT_FOUND);
  };
  Open(0);
  writeEveryLevel();
  EXPECT_FALSE(LogExists());
  CloseLog();
  CAppLog::Instance().SetSwitch(kAllSwitches, true);  // switches on, log closed
  writeEveryLevel();
  EXPECT_FALSE(LogExists());
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(AppLogTest, MissingFolderLosesTheLineSilentlyEvenForCrit) {
  Open(kAllSwitches, "\\nowhere");
  LogCrit(u"disk failed %d", 1);
  LogEmerg(u"really");
  EXPECT_FALSE(ExistsHost("\\nowhere"));
  EXPECT_TRUE(box_.Calls().empty());
}

// Reads the log at the moment the box is shown, to prove the line is on disk by then.
class CLogReadingBox : public IMessageBoxUi {
 public:
  explicit CLogReadingBox(std::function<QByteArray()> read) : read_(std::move(read)) {}
  CMsgBoxReply ShowMessageBox(const CMsgBoxRequest& request) override {
    requests.push_back(request);
    logAtShow.push_back(read_());
    return {eMsgAnsOK, false};
  }
  std::vector<CMsgBoxRequest> requests;
  std::vector<QByteArray> logAtShow;

 private:
  std::function<QByteArray()> read_;
};

TEST_F(AppLogTest, SevereLevelsAppendThenShowTheErrorBoxWithTheBareMessage) {
  CLogReadingBox box([this] { return Log(); });
  CMessageBoxService service(&box, nullptr);
  CScopedMessageBoxService install(&service);
  Open(eLogCrit | eLogEmerg | eLogAlert | eLogErr);
  LogCrit(u"Could not write %s", u"\\a.txt");
  ASSERT_EQ(box.requests.size(), 1u);
  const CMsgBoxRequest& r = box.requests[0];
  EXPECT_EQ(r.nKind, eMsgKindError);
  EXPECT_EQ(r.strText, "Could not write \\a.txt");
  EXPECT_EQ(r.strTitle, "Error!");
  EXPECT_EQ(r.strHeader, "A critical error occured!");
  EXPECT_EQ(r.uMsgNum, 0u);
  EXPECT_EQ(box.logAtShow[0], QByteArray("[crit @ 2008-10-20 12:20:12]: Could not write \\a.txt\r\n"));
  LogEmerg(u"e");
  LogAlert(u"a");
  LogErr(u"no box for errors");
  EXPECT_EQ(box.requests.size(), 3u);
}

TEST_F(AppLogTest, TruncateEmptiesTheFileAtOpenAndZeroKeepsIt) {
  MakeFile("\\logs\\pinbro.log", "[note @ 2001-01-01 00:00:00]: old\r\n");
  Open(eLogNotice, "\\logs", 0);
  LogNotice(u"new");
  EXPECT_EQ(Log(), QByteArray("[note @ 2001-01-01 00:00:00]: old\r\n"
                              "[note @ 2008-10-20 12:20:12]: new\r\n"));
  CloseLog();
  Open(0, "\\logs", 1);
  EXPECT_TRUE(LogExists());
  EXPECT_EQ(Log(), QByteArray());
}

TEST_F(AppLogTest, RetargetMovesLaterLinesAndLeavesTheOldFile) {
  MakeFolder("\\other");
  Open(eLogInfo);
  LogInfo(u"first");
  RetargetLog("\\other");
  EXPECT_EQ(CAppLog::Instance().Path(), "\\other\\pinbro.log");
  LogInfo(u"second");
  EXPECT_EQ(Log(), QByteArray("[info @ 2008-10-20 12:20:12]: first\r\n"));
  EXPECT_EQ(Log("\\other"), QByteArray("[info @ 2008-10-20 12:20:12]: second\r\n"));
}

TEST_F(AppLogTest, RootFolderWritesToTheRootFile) {
  Open(eLogInfo, "\\");
  EXPECT_EQ(CAppLog::Instance().Path(), "\\pinbro.log");
  LogInfo(u"at the root");
  EXPECT_EQ(ReadHost("\\pinbro.log"), QByteArray("[info @ 2008-10-20 12:20:12]: at the root\r\n"));
}

TEST_F(AppLogTest, SwitchChangedInMemoryTakesEffectWithTheNextLine) {
  Open(0);
  LogDebug(u"off");
  SetLogSwitch(eLogDebug, true);
  LogDebug(u"on");
  SetLogSwitch(eLogDebug, false);
  LogDebug(u"off again");
  EXPECT_EQ(Log(), QByteArray("[dbug @ 2008-10-20 12:20:12]: on\r\n"));
  EXPECT_EQ(CAppLog::Instance().Options().dwLogDebug, 0u);
}

TEST_F(AppLogTest, LongMessageIsCutAndTheLineStillEnds) {
  Open(eLogWarn);
  LogWarn(u"%s", QString(5000, QLatin1Char('z')));
  const QByteArray expected =
      "[warn @ 2008-10-20 12:20:12]: " + QByteArray(2047, 'z') + "\r\n";
  EXPECT_EQ(Log(), expected);
}

TEST_F(AppLogTest, TextIsConvertedToTheAnsiCodePage) {
  Open(eLogWarn);
  const QString foreign = QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac \xe4\xb8\xad");
  LogWarn(u"name %s end", foreign);
  EXPECT_EQ(Log(), plat::ToAnsi("[warn @ 2008-10-20 12:20:12]: name " + foreign + " end\r\n"));
  EXPECT_TRUE(Log().startsWith("[warn @ 2008-10-20 12:20:12]: name caf"));
  EXPECT_TRUE(Log().endsWith(" end\r\n"));
}

TEST_F(AppLogTest, CallerErrorCodeIsKept) {
  Open(kAllSwitches, "\\nowhere");
  plat::SetLastError(1234);
  LogWarn(u"lost");
  EXPECT_EQ(plat::GetLastError(), 1234u);
  Open(kAllSwitches);
  plat::SetLastError(4321);
  LogWarn(u"kept");
  EXPECT_EQ(plat::GetLastError(), 4321u);
}

TEST_F(AppLogTest, SystemErrorTextIsTheFirstLineOfTheSystemMessage) {
  QString description = plat::SystemMessage(ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(description.endsWith("\r\n"));
  description.chop(2);
  EXPECT_EQ(SystemErrorText(ERROR_FILE_NOT_FOUND), description);
  EXPECT_FALSE(description.isEmpty());

  Open(eLogErr);
  LogSystemError(ERROR_FILE_NOT_FOUND);
  LogSystemError(0xDEADu);  // unknown code: empty description
  EXPECT_EQ(Log(), plat::ToAnsi("[err! @ 2008-10-20 12:20:12]: Error code: 0x2, description: " +
                                description + "\r\n" +
                                "[err! @ 2008-10-20 12:20:12]: Error code: 0xdead, "
                                "description: \r\n"));
}

TEST_F(AppLogTest, TraceLineWritesAtThePositionWithoutTagOrSwitch) {
  Open(0);
  plat::CHostFile file;
  ASSERT_TRUE(file.Open("\\trace.txt", plat::GENERIC_WRITE, plat::CREATE_ALWAYS));
  DWORD written = 0;
  ASSERT_TRUE(file.Write("abc", 3, &written));
  TraceLine(&file, u"step %d of %s", 2, u"encrypt");
  TraceLine(&file, u"%s", QString(2000, QLatin1Char('q')));
  TraceLine(nullptr, u"ignored");
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(ReadHost("\\trace.txt"),
            "abc[2008-10-20 12:20:12]: step 2 of encrypt\r\n"
            "[2008-10-20 12:20:12]: " + QByteArray(1023, 'q') + "\r\n");
  EXPECT_FALSE(LogExists());
}

TEST_F(AppLogTest, TwoThreadsWritingNeverInterleave) {
  CAppLog::Instance().SetClock(nullptr);
  Open(eLogNotice);
  constexpr int kLines = 10000;
  const auto writer = [](int thread) {
    return [thread] {
      for (int i = 0; i < kLines; ++i) LogNotice(u"thread %d line %05d end", thread, i);
    };
  };
  std::unique_ptr<QThread> a(QThread::create(writer(1)));
  std::unique_ptr<QThread> b(QThread::create(writer(2)));
  a->start();
  b->start();
  ASSERT_TRUE(a->wait(240000));
  ASSERT_TRUE(b->wait(240000));

  const QString log = QString::fromLatin1(Log());
  ASSERT_TRUE(log.endsWith("\r\n"));
  const QStringList lines = log.chopped(2).split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 2 * kLines);
  const QRegularExpression shape(QRegularExpression::anchoredPattern(
      QStringLiteral("\\[note @ \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\]: "
                     "thread ([12]) line (\\d{5}) end")));
  int next[3] = {0, 0, 0};
  for (const QString& line : lines) {
    const QRegularExpressionMatch m = shape.match(line);
    ASSERT_TRUE(m.hasMatch()) << line.toStdString();
    const int thread = m.captured(1).toInt();
    EXPECT_EQ(m.captured(2).toInt(), next[thread]++);  // each thread's lines in its order
  }
  EXPECT_EQ(next[1], kLines);
  EXPECT_EQ(next[2], kLines);
}

}  // namespace
