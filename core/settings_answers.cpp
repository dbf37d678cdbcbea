#include "core/settings_answers.h"

#include "core/settings_store.h"

namespace {

constexpr DWORD kNoAnswer = 0xFFFFFFFF;

QString AnswerValueName(UINT uMsgNum) { return QStringLiteral("DS%1").arg(uMsgNum); }

}  // namespace

std::optional<int> CSettingsRememberedAnswers::ReadAnswer(UINT uMsgNum) {
  DWORD dwAnswer = kNoAnswer;
  ReadProfileDword(AnswerValueName(uMsgNum), kNoAnswer, &dwAnswer);
  if (dwAnswer == kNoAnswer) return std::nullopt;
  return int(dwAnswer);
}

void CSettingsRememberedAnswers::WriteAnswer(UINT uMsgNum, int nAnswer) {
  WriteProfileDword(AnswerValueName(uMsgNum), DWORD(nAnswer));
}
