#pragma once
// A message box front-end for tests: records every box it is asked to show and answers from a
// queue. Constructing one installs a service with it (and an in-memory store of remembered
// answers) as the process's current service; destroying it puts the previous one back.
//
//   test::CScriptedMessageBox box;
//   box.QueueAnswer(eMsgAnsYesToAll);
//   ... run the operation ...
//   ASSERT_EQ(box.Calls().size(), 1u);
//
// A box asked for on a worker thread is shown on the test's main thread, so a test that runs
// such a worker must keep processing events until the worker has finished.

#include <QMutex>
#include <QString>
#include <Qt>

#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "core/message_box.h"

namespace test {

// Remembered answers kept in memory, with counters of the reads and writes.
class CMemoryRememberedAnswers : public IRememberedAnswers {
 public:
  std::optional<int> ReadAnswer(UINT uMsgNum) override;
  void WriteAnswer(UINT uMsgNum, int nAnswer) override;

  // Stores a value as the settings would hold it (-1 = none).
  void Store(UINT uMsgNum, int nValue) { values_[uMsgNum] = nValue; }
  std::optional<int> Stored(UINT uMsgNum) const;
  int Reads() const { return reads_; }
  int Writes() const { return writes_; }

 private:
  std::map<UINT, int> values_;
  int reads_ = 0;
  int writes_ = 0;
};

class CScriptedMessageBox : public IMessageBoxUi {
 public:
  struct CCall {
    int nKind;
    QString strTitle;
    QString strHeader;
    QString strText;
    UINT uMsgNum;
    std::vector<int> buttons;
    int nDefaultAnswer;
    bool bOfferRemember;
    Qt::HANDLE thread;  // the thread the box was shown on
  };

  CScriptedMessageBox();
  ~CScriptedMessageBox() override;
  CScriptedMessageBox(const CScriptedMessageBox&) = delete;
  CScriptedMessageBox& operator=(const CScriptedMessageBox&) = delete;

  // The next box answers nAnswer (and ticks "Do not ask again" when bRemember).
  void QueueAnswer(int nAnswer, bool bRemember = false);
  // What a box answers once the queue is empty; without it, the box's Escape answer
  // (OK, No or Cancel).
  void SetDefaultAnswer(int nAnswer) { defaultAnswer_ = nAnswer; }

  std::vector<CCall> Calls() const;
  CMemoryRememberedAnswers& Remembered() { return remembered_; }
  CMessageBoxService& Service() { return service_; }

  CMsgBoxReply ShowMessageBox(const CMsgBoxRequest& request) override;

 private:
  mutable QMutex mutex_;  // guards the queue and the calls
  std::deque<CMsgBoxReply> queue_;
  std::optional<int> defaultAnswer_;
  std::vector<CCall> calls_;
  CMemoryRememberedAnswers remembered_;
  CMessageBoxService service_;
  CScopedMessageBoxService install_;
};

}  // namespace test
