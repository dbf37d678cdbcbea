#include "core/message_box.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <iterator>

#include "core/texts.h"

namespace {

// The button captions of the text table.
constexpr UINT kMsgBoxStrings[] = {IDS_MSGBOX_OK,       IDS_MSGBOX_YES,    IDS_MSGBOX_NO,
                                   IDS_MSGBOX_YESTOALL, IDS_MSGBOX_NOTOALL, IDS_MSGBOX_CANCEL,
                                   IDS_MSGBOX_CLOSE};

// Written at start or by a test fixture, read by any thread.
std::atomic<CMessageBoxService*> g_currentService{nullptr};

bool Offers(int nKind, int nAnswer) {
  const std::vector<int> buttons = MsgButtonsOfKind(nKind);
  return std::find(buttons.begin(), buttons.end(), nAnswer) != buttons.end();
}

}  // namespace

QString MsgBoxString(UINT uId) {
  const bool bCaption = std::find(std::begin(kMsgBoxStrings), std::end(kMsgBoxStrings), uId) !=
                        std::end(kMsgBoxStrings);
  return bCaption ? core::Text(int(uId)) : QString();
}

QString MsgAnswerCaption(int nAnswer) {
  switch (nAnswer) {
    case eMsgAnsOK: return MsgBoxString(IDS_MSGBOX_OK);
    case eMsgAnsYes: return MsgBoxString(IDS_MSGBOX_YES);
    case eMsgAnsNo: return MsgBoxString(IDS_MSGBOX_NO);
    case eMsgAnsYesToAll: return MsgBoxString(IDS_MSGBOX_YESTOALL);
    case eMsgAnsNoToAll: return MsgBoxString(IDS_MSGBOX_NOTOALL);
    case eMsgAnsCancel: return MsgBoxString(IDS_MSGBOX_CANCEL);
    default: return {};
  }
}

EMsgBoxLayout MsgLayoutOfKind(int nKind) {
  if (nKind >= 4 && nKind <= 8) return eMsgLayoutYesNo;
  if (nKind >= 9 && nKind <= 13) return eMsgLayoutFive;
  // Kinds 0-3, and any unknown kind: a box that only informs can never do harm.
  return eMsgLayoutOk;
}

std::vector<int> MsgButtonsOfKind(int nKind) {
  switch (MsgLayoutOfKind(nKind)) {
    case eMsgLayoutYesNo: return {eMsgAnsYes, eMsgAnsNo};
    case eMsgLayoutFive:
      return {eMsgAnsYes, eMsgAnsNo, eMsgAnsYesToAll, eMsgAnsNoToAll, eMsgAnsCancel};
    default: return {eMsgAnsOK};
  }
}

int MsgDefaultAnswerOfKind(int nKind) {
  if (MsgLayoutOfKind(nKind) == eMsgLayoutOk) return eMsgAnsOK;
  return nKind == eMsgKindShortcutOffer ? eMsgAnsYes : eMsgAnsNo;
}

int MsgEscapeAnswerOfKind(int nKind) {
  switch (MsgLayoutOfKind(nKind)) {
    case eMsgLayoutYesNo: return eMsgAnsNo;
    case eMsgLayoutFive: return eMsgAnsCancel;
    default: return eMsgAnsOK;
  }
}

CMsgBoxRequest MakeMsgBoxRequest(int nKind, const QString& strText, const QString& strTitle,
                                 const QString& strHeader, UINT uMsgNum) {
  CMsgBoxRequest request;
  request.nKind = nKind;
  request.layout = MsgLayoutOfKind(nKind);
  request.strText = strText;
  request.strTitle = strTitle;
  request.strHeader = strHeader;
  request.uMsgNum = uMsgNum;
  request.buttons = MsgButtonsOfKind(nKind);
  request.nDefaultAnswer = MsgDefaultAnswerOfKind(nKind);
  request.nEscapeAnswer = MsgEscapeAnswerOfKind(nKind);
  request.bOfferRemember = uMsgNum != 0;
  return request;
}

CMessageBoxService::CMessageBoxService(IMessageBoxUi* pUi, IRememberedAnswers* pRemembered)
    : ui_(pUi), remembered_(pRemembered) {}

int CMessageBoxService::Show(int nKind, const QString& strText, const QString& strTitle,
                             const QString& strHeader, UINT uMsgNum) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread())
    return ShowOnUiThread(nKind, strText, strTitle, strHeader, uMsgNum);
  // A worker thread: widgets and the settings store belong to the application's thread, so
  // the whole call runs there while this thread waits for the answer.
  int nAnswer = MsgEscapeAnswerOfKind(nKind);
  const bool bDelivered = QMetaObject::invokeMethod(
      app, [&] { return ShowOnUiThread(nKind, strText, strTitle, strHeader, uMsgNum); },
      Qt::BlockingQueuedConnection, &nAnswer);
  return bDelivered ? nAnswer : MsgEscapeAnswerOfKind(nKind);
}

int CMessageBoxService::ShowOnUiThread(int nKind, const QString& strText,
                                       const QString& strTitle, const QString& strHeader,
                                       UINT uMsgNum) {
  const bool bRememberable = uMsgNum != 0 && remembered_ != nullptr;
  if (bRememberable) {
    // A stored value that is not an answer of this kind (a damaged or foreign value) is
    // ignored, so the caller always gets an answer its box could have given.
    const std::optional<int> stored = remembered_->ReadAnswer(uMsgNum);
    if (stored && Offers(nKind, *stored)) return *stored;
  }
  CMsgBoxRequest request = MakeMsgBoxRequest(nKind, strText, strTitle, strHeader, uMsgNum);
  request.bOfferRemember = bRememberable;
  if (!ui_) return request.nEscapeAnswer;

  const CMsgBoxReply reply = ui_->ShowMessageBox(request);
  const int nAnswer = Offers(nKind, reply.nAnswer) ? reply.nAnswer : request.nEscapeAnswer;
  if (bRememberable && reply.bRemember) remembered_->WriteAnswer(uMsgNum, nAnswer);
  return nAnswer;
}

void SetMessageBoxService(CMessageBoxService* pService) { g_currentService.store(pService); }

CMessageBoxService* MessageBoxService() { return g_currentService.load(); }

CScopedMessageBoxService::CScopedMessageBoxService(CMessageBoxService* pService)
    : previous_(g_currentService.exchange(pService)) {}

CScopedMessageBoxService::~CScopedMessageBoxService() { g_currentService.store(previous_); }

int MsgBox(int nKind, const QString& strText, const QString& strTitle, const QString& strHeader,
           UINT uMsgNum) {
  CMessageBoxService* service = MessageBoxService();
  if (!service) return MsgEscapeAnswerOfKind(nKind);
  return service->Show(nKind, strText, strTitle, strHeader, uMsgNum);
}

int MsgNotice(const QString& strText, const QString& strTitle, const QString& strHeader,
              UINT uMsgNum) {
  return MsgBox(eMsgKindNotice, strText, strTitle, strHeader, uMsgNum);
}

int MsgInfo(const QString& strText, const QString& strTitle, const QString& strHeader,
            UINT uMsgNum) {
  return MsgBox(eMsgKindInfo, strText, strTitle, strHeader, uMsgNum);
}

int MsgWarning(const QString& strText, const QString& strTitle, const QString& strHeader,
               UINT uMsgNum) {
  return MsgBox(eMsgKindWarning, strText, strTitle, strHeader, uMsgNum);
}

int MsgError(const QString& strText, const QString& strTitle, const QString& strHeader,
             UINT uMsgNum) {
  return MsgBox(eMsgKindError, strText, strTitle, strHeader, uMsgNum);
}

int MsgQuestion(const QString& strText, const QString& strTitle, const QString& strHeader,
                UINT uMsgNum) {
  return MsgBox(eMsgKindQuestion, strText, strTitle, strHeader, uMsgNum);
}

int MsgShortcutOffer(const QString& strText, const QString& strTitle, const QString& strHeader,
                     UINT uMsgNum) {
  return MsgBox(eMsgKindShortcutOffer, strText, strTitle, strHeader, uMsgNum);
}

int MsgConfirm(const QString& strText, const QString& strTitle, const QString& strHeader,
               UINT uMsgNum) {
  return MsgBox(eMsgKindConfirm, strText, strTitle, strHeader, uMsgNum);
}

int MsgConflict(const QString& strText, const QString& strTitle, const QString& strHeader,
                UINT uMsgNum) {
  return MsgBox(eMsgKindConflict, strText, strTitle, strHeader, uMsgNum);
}
