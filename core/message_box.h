#pragma once
// The program's message box service. Every question, notice, warning and error goes through
// it: a call names the kind of box, passes the body text, the title and the heading line, and
// optionally a message number under which the user may have the answer remembered. The
// service returns the pressed button's answer; a remembered answer returns at once.
//
// The logic layers only call the entry points below. What the box looks like is the business
// of the installed front-end (IMessageBoxUi): the desktop dialog, the terminal of pinbro-cli,
// or a scripted box in tests.

#include <QString>

#include <optional>
#include <vector>

#include "platform/wintypes.h"

// Box kinds, as the callers pass them to the common builder.
enum EMsgBoxKind : int {
  eMsgKindNotice = 0,         // OK
  eMsgKindInfo = 1,           // OK
  eMsgKindWarning = 2,        // OK
  eMsgKindError = 3,          // OK
  eMsgKindQuestion = 4,       // Yes, No (No is the default: the question may destroy data)
  eMsgKindShortcutOffer = 5,  // Yes, No (Yes is the default)
  eMsgKindConfirm = 7,        // Yes, No (No is the default)
  eMsgKindConflict = 12,      // Yes, No, "Yes to all", "No to all", Cancel (No is the default)
};

// The box layouts the kinds share: kinds 0-3, 4-8 and 9-13.
enum EMsgBoxLayout : int {
  eMsgLayoutOk = 0,      // icon, heading, body, one button
  eMsgLayoutYesNo = 1,   // two buttons
  eMsgLayoutFive = 2,    // up to five buttons
};

// Answer values: the system's dialog results plus the program's two "to all" answers.
enum EMsgAnswer : int {
  eMsgAnsOK = 1,
  eMsgAnsCancel = 2,
  eMsgAnsYes = 6,
  eMsgAnsNo = 7,
  eMsgAnsYesToAll = 0x9010,
  eMsgAnsNoToAll = 0x9011,
};

// String-table numbers of the button captions.
constexpr UINT IDS_MSGBOX_OK = 55115;
constexpr UINT IDS_MSGBOX_YES = 55122;
constexpr UINT IDS_MSGBOX_NO = 55123;
constexpr UINT IDS_MSGBOX_YESTOALL = 55092;
constexpr UINT IDS_MSGBOX_NOTOALL = 55093;
constexpr UINT IDS_MSGBOX_CANCEL = 55005;
constexpr UINT IDS_MSGBOX_CLOSE = 55121;

// The caption text of one of the numbers above; empty for any other number.
QString MsgBoxString(UINT uId);
// The caption of an answer's button ("OK", "Yes", ..., "Cancel").
QString MsgAnswerCaption(int nAnswer);

EMsgBoxLayout MsgLayoutOfKind(int nKind);
// The kind's buttons, in the order they are shown.
std::vector<int> MsgButtonsOfKind(int nKind);
// The button that Enter presses: No for the questions that can destroy data, Yes for the
// shortcut offer, OK for the one-button boxes.
int MsgDefaultAnswerOfKind(int nKind);
// The answer of Escape or closing the box: Cancel where offered, else No, else OK.
int MsgEscapeAnswerOfKind(int nKind);

// One box to show, as the service hands it to the front-end.
struct CMsgBoxRequest {
  int nKind = eMsgKindNotice;      // decides the icon
  EMsgBoxLayout layout = eMsgLayoutOk;
  QString strText;                 // the body text
  QString strTitle;                // the caption
  QString strHeader;               // the heading line, shown in bold
  UINT uMsgNum = 0;                // 0: no remembered answer
  std::vector<int> buttons;        // answers, in button order
  int nDefaultAnswer = eMsgAnsOK;  // the button Enter presses
  int nEscapeAnswer = eMsgAnsOK;   // what Escape or closing the box answers
  bool bOfferRemember = false;     // show the "Do not ask again" choice
};

// The request for a box of nKind: the kind's layout, buttons, default and Escape answers; the
// remember choice is offered when uMsgNum is not 0.
CMsgBoxRequest MakeMsgBoxRequest(int nKind, const QString& strText, const QString& strTitle,
                                 const QString& strHeader, UINT uMsgNum);

struct CMsgBoxReply {
  int nAnswer = eMsgAnsOK;
  bool bRemember = false;  // the user ticked "Do not ask again"
};

// What a front-end implements: show the box modally and return the pressed button.
// Always called on the thread of QCoreApplication when one exists.
class IMessageBoxUi {
 public:
  virtual ~IMessageBoxUi() = default;
  virtual CMsgBoxReply ShowMessageBox(const CMsgBoxRequest& request) = 0;
};

// Storage of remembered answers ("DS%d" in the current profile). Called on the thread of
// QCoreApplication only.
class IRememberedAnswers {
 public:
  virtual ~IRememberedAnswers() = default;
  // The stored answer, or nothing when none is stored (a missing value or -1).
  virtual std::optional<int> ReadAnswer(UINT uMsgNum) = 0;
  virtual void WriteAnswer(UINT uMsgNum, int nAnswer) = 0;
};

class CMessageBoxService {
 public:
  // Neither pointer is owned. Without a front-end every box answers its Escape answer
  // without showing anything; without a store nothing is remembered.
  CMessageBoxService(IMessageBoxUi* pUi, IRememberedAnswers* pRemembered);

  // The common builder. Callable from any thread: a call from another thread than the
  // application's is carried out on the application's thread and blocks until the user has
  // answered, so no widget is ever touched from a worker. The application's thread must keep
  // serving events meanwhile: it never waits for a worker that may ask a question. Always
  // returns one of the kind's answers.
  int Show(int nKind, const QString& strText, const QString& strTitle, const QString& strHeader,
           UINT uMsgNum);

 private:
  int ShowOnUiThread(int nKind, const QString& strText, const QString& strTitle,
                     const QString& strHeader, UINT uMsgNum);

  IMessageBoxUi* ui_;
  IRememberedAnswers* remembered_;
};

// The process's current service; null until a front-end installs one. Installing is done at
// start (desktop, command line) or by a test fixture, before any box can be asked for.
void SetMessageBoxService(CMessageBoxService* pService);
CMessageBoxService* MessageBoxService();

// Installs a service for a scope and puts the previous one back afterwards.
class CScopedMessageBoxService {
 public:
  explicit CScopedMessageBoxService(CMessageBoxService* pService);
  ~CScopedMessageBoxService();
  CScopedMessageBoxService(const CScopedMessageBoxService&) = delete;
  CScopedMessageBoxService& operator=(const CScopedMessageBoxService&) = delete;

 private:
  CMessageBoxService* previous_;
};

// The common builder through the current service. Without a service the box answers its
// Escape answer (OK, No or Cancel), so an unattended caller never destroys anything.
int MsgBox(int nKind, const QString& strText, const QString& strTitle, const QString& strHeader,
           UINT uMsgNum = 0);

// One entry point per kind: (body text, title, heading, message number).
int MsgNotice(const QString& strText, const QString& strTitle, const QString& strHeader,
              UINT uMsgNum = 0);
int MsgInfo(const QString& strText, const QString& strTitle, const QString& strHeader,
            UINT uMsgNum = 0);
int MsgWarning(const QString& strText, const QString& strTitle, const QString& strHeader,
               UINT uMsgNum = 0);
int MsgError(const QString& strText, const QString& strTitle, const QString& strHeader,
             UINT uMsgNum = 0);
int MsgQuestion(const QString& strText, const QString& strTitle, const QString& strHeader,
                UINT uMsgNum = 0);
int MsgShortcutOffer(const QString& strText, const QString& strTitle, const QString& strHeader,
                     UINT uMsgNum = 0);
int MsgConfirm(const QString& strText, const QString& strTitle, const QString& strHeader,
               UINT uMsgNum = 0);
int MsgConflict(const QString& strText, const QString& strTitle, const QString& strHeader,
                UINT uMsgNum = 0);
