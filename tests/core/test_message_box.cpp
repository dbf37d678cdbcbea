// The message box service: kinds and their buttons, remembered answers, and calls from
// worker threads.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "core/message_box.h"
#include "support/scripted_message_box.h"

namespace {

struct CKindCase {
  int nKind;
  EMsgBoxLayout layout;
  std::vector<int> buttons;
  int nDefault;
  int nEscape;
};

TEST(MessageBoxKinds, LayoutButtonsDefaultAndEscapeFollowTheKind) {
  const std::vector<int> five = {eMsgAnsYes, eMsgAnsNo, eMsgAnsYesToAll, eMsgAnsNoToAll,
                                 eMsgAnsCancel};
  const CKindCase cases[] = {
      {eMsgKindNotice, eMsgLayoutOk, {eMsgAnsOK}, eMsgAnsOK, eMsgAnsOK},
      {eMsgKindInfo, eMsgLayoutOk, {eMsgAnsOK}, eMsgAnsOK, eMsgAnsOK},
      {eMsgKindWarning, eMsgLayoutOk, {eMsgAnsOK}, eMsgAnsOK, eMsgAnsOK},
      {eMsgKindError, eMsgLayoutOk, {eMsgAnsOK}, eMsgAnsOK, eMsgAnsOK},
      {eMsgKindQuestion, eMsgLayoutYesNo, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsNo, eMsgAnsNo},
      {eMsgKindShortcutOffer, eMsgLayoutYesNo, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsYes, eMsgAnsNo},
      {eMsgKindConfirm, eMsgLayoutYesNo, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsNo, eMsgAnsNo},
      {8, eMsgLayoutYesNo, {eMsgAnsYes, eMsgAnsNo}, eMsgAnsNo, eMsgAnsNo},
      {9, eMsgLayoutFive, five, eMsgAnsNo, eMsgAnsCancel},
      {eMsgKindConflict, eMsgLayoutFive, five, eMsgAnsNo, eMsgAnsCancel},
      {13, eMsgLayoutFive, five, eMsgAnsNo, eMsgAnsCancel},
      {14, eMsgLayoutOk, {eMsgAnsOK}, eMsgAnsOK, eMsgAnsOK},
      {-1, eMsgLayoutOk, {eMsgAnsOK}, eMsgAnsOK, eMsgAnsOK},
  };
  for (const CKindCase& c : cases) {
    SCOPED_TRACE(c.nKind);
    EXPECT_EQ(MsgLayoutOfKind(c.nKind), c.layout);
    EXPECT_EQ(MsgButtonsOfKind(c.nKind), c.buttons);
    EXPECT_EQ(MsgDefaultAnswerOfKind(c.nKind), c.nDefault);
    EXPECT_EQ(MsgEscapeAnswerOfKind(c.nKind), c.nEscape);
  }
  // Callers compare with the system's dialog results and the program's two own values.
  const int values[] = {eMsgAnsOK, eMsgAnsCancel, eMsgAnsYes, eMsgAnsNo, eMsgAnsYesToAll,
                        eMsgAnsNoToAll};
  EXPECT_EQ(std::vector<int>(std::begin(values), std::end(values)),
            (std::vector<int>{1, 2, 6, 7, 0x9010, 0x9011}));
}

TEST(MessageBoxKinds, CaptionsComeFromTheStringTable) {
  EXPECT_EQ(MsgBoxString(55115), "OK");
  EXPECT_EQ(MsgBoxString(55122), "Yes");
  EXPECT_EQ(MsgBoxString(55123), "No");
  EXPECT_EQ(MsgBoxString(55092), "Yes to all");
  EXPECT_EQ(MsgBoxString(55093), "No to all");
  EXPECT_EQ(MsgBoxString(55005), "Cancel");
  EXPECT_EQ(MsgBoxString(55121), "Close");
  EXPECT_EQ(MsgBoxString(55000), "");
  EXPECT_EQ(MsgAnswerCaption(eMsgAnsNoToAll), "No to all");
}

TEST(MessageBoxService, EntryPointsPassTheirKindAndTexts) {
  test::CScriptedMessageBox box;
  box.QueueAnswer(eMsgAnsYesToAll);
  EXPECT_EQ(MsgConflict("body", "title", "heading"), eMsgAnsYesToAll);
  MsgNotice("n", "", "");
  MsgInfo("i", "", "");
  MsgWarning("w", "", "");
  MsgError("e", "", "");
  MsgQuestion("q", "", "");
  MsgShortcutOffer("s", "", "");
  MsgConfirm("c", "", "");
  const auto calls = box.Calls();
  ASSERT_EQ(calls.size(), 8u);
  EXPECT_EQ(calls[0].nKind, 12);
  EXPECT_EQ(calls[0].strText, "body");
  EXPECT_EQ(calls[0].strTitle, "title");
  EXPECT_EQ(calls[0].strHeader, "heading");
  EXPECT_EQ(calls[0].uMsgNum, 0u);
  const int kinds[] = {0, 1, 2, 3, 4, 5, 7};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(calls[i + 1].nKind, kinds[i]);
}

TEST(MessageBoxService, RememberedAnswerReturnsWithoutShowing) {
  test::CScriptedMessageBox box;
  box.Remembered().Store(3, eMsgAnsYes);
  EXPECT_EQ(MsgQuestion("text", "title", "heading", 3), eMsgAnsYes);
  EXPECT_TRUE(box.Calls().empty());
}

TEST(MessageBoxService, NoStoredAnswerOrOneTheKindCannotGiveShowsTheBox) {
  test::CScriptedMessageBox box;
  box.Remembered().Store(5, -1);
  box.Remembered().Store(6, eMsgAnsYesToAll);  // not an answer of a Yes/No box
  box.QueueAnswer(eMsgAnsYes);
  box.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(MsgQuestion("a", "", "", 5), eMsgAnsYes);
  EXPECT_EQ(MsgQuestion("b", "", "", 6), eMsgAnsYes);
  EXPECT_EQ(MsgQuestion("c", "", "", 7), eMsgAnsNo);  // nothing stored, queue empty: No
  ASSERT_EQ(box.Calls().size(), 3u);
  EXPECT_TRUE(box.Calls()[0].bOfferRemember);
}

TEST(MessageBoxService, MessageNumberZeroNeverReadsOrWrites) {
  test::CScriptedMessageBox box;
  box.Remembered().Store(0, eMsgAnsYes);
  box.QueueAnswer(eMsgAnsNo, /*bRemember=*/true);
  EXPECT_EQ(MsgQuestion("text", "title", "heading", 0), eMsgAnsNo);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_FALSE(box.Calls()[0].bOfferRemember);
  EXPECT_EQ(box.Remembered().Reads(), 0);
  EXPECT_EQ(box.Remembered().Writes(), 0);
}

TEST(MessageBoxService, TickingRememberStoresTheAnswerForLaterCalls) {
  test::CScriptedMessageBox box;
  box.QueueAnswer(eMsgAnsOK, /*bRemember=*/true);
  EXPECT_EQ(MsgWarning("Warning, you are using a version ...", "Warning!",
                       "Incorrect product build/version", 3),
            eMsgAnsOK);
  EXPECT_EQ(box.Remembered().Stored(3), eMsgAnsOK);
  EXPECT_EQ(MsgWarning("again", "Warning!", "", 3), eMsgAnsOK);
  EXPECT_EQ(box.Calls().size(), 1u);
}

TEST(MessageBoxService, AnswerWithoutTickIsNotStored) {
  test::CScriptedMessageBox box;
  box.QueueAnswer(eMsgAnsYes, /*bRemember=*/false);
  EXPECT_EQ(MsgQuestion("text", "", "", 40), eMsgAnsYes);
  EXPECT_EQ(box.Remembered().Writes(), 0);
  EXPECT_FALSE(box.Remembered().Stored(40).has_value());
}

TEST(MessageBoxService, FrontEndAnswerTheKindDoesNotOfferBecomesItsEscapeAnswer) {
  test::CScriptedMessageBox box;
  box.QueueAnswer(eMsgAnsYesToAll, /*bRemember=*/true);
  box.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(MsgConfirm("delete?", "", "", 9), eMsgAnsNo);
  EXPECT_EQ(box.Remembered().Stored(9), eMsgAnsNo);  // what was returned is what is kept
  EXPECT_EQ(MsgError("failed", "", ""), eMsgAnsOK);
}

TEST(MessageBoxService, WithoutServiceEveryBoxAnswersItsEscapeAnswer) {
  CScopedMessageBoxService none(nullptr);
  EXPECT_EQ(MsgError("e", "", ""), eMsgAnsOK);
  EXPECT_EQ(MsgShortcutOffer("s", "", ""), eMsgAnsNo);
  EXPECT_EQ(MsgConflict("c", "", ""), eMsgAnsCancel);
}

TEST(MessageBoxService, WithoutStoreNothingIsOfferedOrRemembered) {
  test::CScriptedMessageBox box;  // records the calls
  CMessageBoxService bare(&box, nullptr);
  CScopedMessageBoxService install(&bare);
  box.QueueAnswer(eMsgAnsYes, /*bRemember=*/true);
  EXPECT_EQ(MsgQuestion("q", "", "", 12), eMsgAnsYes);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_FALSE(box.Calls()[0].bOfferRemember);
  EXPECT_EQ(box.Remembered().Reads(), 0);
}

// Runs fn on a thread of its own while the application's event loop is spun, until it has
// finished (false after 10 s). A standard thread and its join, so that the thread checker sees
// everything the thread did happen before the caller reads it.
bool RunOnWorkerServingEvents(const std::function<void()>& fn) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    fn();
    done.store(true, std::memory_order_release);
  });
  QElapsedTimer timer;
  timer.start();
  while (!done.load(std::memory_order_acquire) && timer.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  const bool bDone = done.load(std::memory_order_acquire);
  if (bDone) worker.join(); else worker.detach();
  return bDone;
}

TEST(MessageBoxService, CallFromWorkerIsShownOnTheApplicationThread) {
  test::CScriptedMessageBox box;
  box.QueueAnswer(eMsgAnsNoToAll, /*bRemember=*/true);
  const Qt::HANDLE mainThread = QThread::currentThreadId();
  Qt::HANDLE workerThread = nullptr;
  int answer = 0;
  ASSERT_TRUE(RunOnWorkerServingEvents([&] {
    workerThread = QThread::currentThreadId();
    answer = MsgConflict("a.txt exists", "Copy", "Replace?", 21);
  }));
  EXPECT_EQ(answer, eMsgAnsNoToAll);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].thread, mainThread);
  EXPECT_NE(workerThread, mainThread);
  // The remembered answer was written on the application's thread too, and is returned to
  // the next worker without a box.
  EXPECT_EQ(box.Remembered().Stored(21), eMsgAnsNoToAll);
  answer = 0;
  ASSERT_TRUE(RunOnWorkerServingEvents([&] { answer = MsgConflict("b.txt exists", "", "", 21); }));
  EXPECT_EQ(answer, eMsgAnsNoToAll);
  EXPECT_EQ(box.Calls().size(), 1u);
}

}  // namespace
