#pragma once
// The remembered answers of the message box service: DWORD values "DS%d" in the current
// profile, keyed by message number; -1 (0xFFFFFFFF) or a missing value means none.

#include "core/message_box.h"

class CSettingsRememberedAnswers : public IRememberedAnswers {
 public:
  std::optional<int> ReadAnswer(UINT uMsgNum) override;
  void WriteAnswer(UINT uMsgNum, int nAnswer) override;
};
