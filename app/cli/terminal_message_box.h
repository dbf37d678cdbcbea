#pragma once
// pinbro-cli's front-end of the message box service. Every box is printed on standard error as
// "title: heading: body" (empty parts left out). Questions take the --answer of the command
// line; without it they are asked on the terminal, or answered No (Cancel where offered) when
// standard input is not a terminal.

#include <QString>
#include <QTextStream>

#include <memory>
#include <vector>

#include "core/message_box.h"

namespace cli {

class CTerminalMessageBox : public IMessageBoxUi {
 public:
  // strAnswer: "", "yes", "no", "yes-all", "no-all" or "cancel". err receives the boxes and
  // the prompts. Questions without an answer are read from standard input.
  CTerminalMessageBox(const QString& strAnswer, QTextStream& err);
  ~CTerminalMessageBox() override;

  // Reads the answers to unanswered questions from pIn instead; bIsTerminal says whether to
  // ask at all (false: answer No, or Cancel where offered).
  void SetInput(QTextStream* pIn, bool bIsTerminal);

  CMsgBoxReply ShowMessageBox(const CMsgBoxRequest& request) override;

  // The button an --answer word presses on a box with these buttons. A word the box does not
  // offer falls back to its nearest offered answer: "yes-all" to Yes, "no-all" to No,
  // "cancel" to No; an unknown word gives escapeAnswer. A one-button box always answers it.
  static int AnswerForWord(const QString& strWord, const std::vector<int>& buttons,
                           int nEscapeAnswer);
  // "title: heading: body", leaving out the empty parts.
  static QString BoxLine(const CMsgBoxRequest& request);

 private:
  int AskOnTerminal(const CMsgBoxRequest& request);

  QString answer_;
  QTextStream& err_;
  std::unique_ptr<QTextStream> stdin_;  // created when standard input is used
  QTextStream* in_ = nullptr;
  bool inIsTerminal_ = false;
};

}  // namespace cli
