#include "app/cli/terminal_message_box.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

#include "app/cli/terminal_progress.h"

namespace cli {
namespace {

struct CAnswerWord {
  const char* word;
  int nAnswer;
  int nFallback;  // what the word means on a box that does not offer nAnswer
};

// The --answer words, in the order the prompt lists them.
constexpr CAnswerWord kAnswerWords[] = {
    {"yes", eMsgAnsYes, eMsgAnsYes},
    {"no", eMsgAnsNo, eMsgAnsNo},
    {"yes-all", eMsgAnsYesToAll, eMsgAnsYes},
    {"no-all", eMsgAnsNoToAll, eMsgAnsNo},
    {"cancel", eMsgAnsCancel, eMsgAnsNo},
};

bool Offers(const std::vector<int>& buttons, int nAnswer) {
  return std::find(buttons.begin(), buttons.end(), nAnswer) != buttons.end();
}

QString WordOfAnswer(int nAnswer) {
  for (const CAnswerWord& w : kAnswerWords)
    if (w.nAnswer == nAnswer) return QLatin1String(w.word);
  return {};
}

}  // namespace

CTerminalMessageBox::CTerminalMessageBox(const QString& strAnswer, QTextStream& err)
    : answer_(strAnswer), err_(err) {}

CTerminalMessageBox::~CTerminalMessageBox() = default;

void CTerminalMessageBox::SetInput(QTextStream* pIn, bool bIsTerminal) {
  in_ = pIn;
  inIsTerminal_ = bIsTerminal;
}

int CTerminalMessageBox::AnswerForWord(const QString& strWord, const std::vector<int>& buttons,
                                       int nEscapeAnswer) {
  if (buttons.size() == 1) return buttons.front();
  for (const CAnswerWord& w : kAnswerWords) {
    if (strWord != QLatin1String(w.word)) continue;
    if (Offers(buttons, w.nAnswer)) return w.nAnswer;
    if (Offers(buttons, w.nFallback)) return w.nFallback;
    break;
  }
  return nEscapeAnswer;
}

QString CTerminalMessageBox::BoxLine(const CMsgBoxRequest& request) {
  QStringList parts;
  for (const QString* part : {&request.strTitle, &request.strHeader, &request.strText})
    if (!part->isEmpty()) parts << *part;
  return parts.join(QStringLiteral(": "));
}

CMsgBoxReply CTerminalMessageBox::ShowMessageBox(const CMsgBoxRequest& request) {
  BreakProgressLine();  // a box during a run starts at the left margin
  err_ << BoxLine(request) << "\n";
  err_.flush();
  CMsgBoxReply reply;
  if (request.buttons.size() <= 1) {
    reply.nAnswer = request.buttons.empty() ? request.nEscapeAnswer : request.buttons.front();
  } else if (!answer_.isEmpty()) {
    reply.nAnswer = AnswerForWord(answer_, request.buttons, request.nEscapeAnswer);
  } else {
    if (!in_ && !stdin_) {
      stdin_ = std::make_unique<QTextStream>(stdin);
      in_ = stdin_.get();
      inIsTerminal_ = isatty(STDIN_FILENO) != 0;
    }
    reply.nAnswer = inIsTerminal_ ? AskOnTerminal(request) : request.nEscapeAnswer;
  }
  return reply;
}

// Asks until a valid answer is typed: a listed word, or its first letter for yes, no and
// cancel. An empty line takes the default button; the end of input the Escape answer.
int CTerminalMessageBox::AskOnTerminal(const CMsgBoxRequest& request) {
  QStringList choices;
  for (int nAnswer : request.buttons) choices << WordOfAnswer(nAnswer);
  const QString prompt = QStringLiteral("Answer %1 [%2]: ")
                             .arg(choices.join(QLatin1Char('/')), WordOfAnswer(request.nDefaultAnswer));
  for (;;) {
    err_ << prompt;
    err_.flush();
    QString line;
    if (!in_->readLineInto(&line)) return request.nEscapeAnswer;
    line = line.trimmed().toLower();
    if (line.isEmpty()) return request.nDefaultAnswer;
    for (int nAnswer : request.buttons) {
      const QString word = WordOfAnswer(nAnswer);
      const bool bShortForm = line.size() == 1 && !word.contains(QLatin1Char('-')) &&
                              word.startsWith(line);
      if (line == word || bShortForm) return nAnswer;
    }
    err_ << "Please answer " << choices.join(QStringLiteral(", ")) << ".\n";
  }
}

}  // namespace cli
