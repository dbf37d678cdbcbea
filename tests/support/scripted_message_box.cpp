#include "support/scripted_message_box.h"

#include <QMutexLocker>
#include <QThread>

namespace test {

std::optional<int> CMemoryRememberedAnswers::ReadAnswer(UINT uMsgNum) {
  ++reads_;
  return Stored(uMsgNum);
}

void CMemoryRememberedAnswers::WriteAnswer(UINT uMsgNum, int nAnswer) {
  ++writes_;
  values_[uMsgNum] = nAnswer;
}

std::optional<int> CMemoryRememberedAnswers::Stored(UINT uMsgNum) const {
  const auto it = values_.find(uMsgNum);
  if (it == values_.end() || it->second == -1) return std::nullopt;
  return it->second;
}

CScriptedMessageBox::CScriptedMessageBox()
    : service_(this, &remembered_), install_(&service_) {}

CScriptedMessageBox::~CScriptedMessageBox() = default;

void CScriptedMessageBox::QueueAnswer(int nAnswer, bool bRemember) {
  QMutexLocker lock(&mutex_);
  queue_.push_back({nAnswer, bRemember});
}

std::vector<CScriptedMessageBox::CCall> CScriptedMessageBox::Calls() const {
  QMutexLocker lock(&mutex_);
  return calls_;
}

CMsgBoxReply CScriptedMessageBox::ShowMessageBox(const CMsgBoxRequest& request) {
  QMutexLocker lock(&mutex_);
  calls_.push_back({request.nKind, request.strTitle, request.strHeader, request.strText,
                    request.uMsgNum, request.buttons, request.nDefaultAnswer,
                    request.bOfferRemember, QThread::currentThreadId()});
  if (!queue_.empty()) {
    const CMsgBoxReply reply = queue_.front();
    queue_.pop_front();
    return reply;
  }
  return {defaultAnswer_.value_or(request.nEscapeAnswer), false};
}

}  // namespace test
