#include "support/scripted_password_prompt.h"

namespace test {

void CScriptedPasswordPrompt::QueueEntry(const QString& strPassword, const QString& strConfirm,
                                         bool bDeleteSource) {
  queue_.push_back({strPassword, strConfirm, bDeleteSource});
}

bool CScriptedPasswordPrompt::AskPassword(crypto::ECryptDirection direction,
                                          crypto::CPasswordChoice* pChoice) {
  asked_.push_back(direction);
  while (!queue_.empty()) {
    const CEntry entry = queue_.front();
    queue_.pop_front();
    ++tried_;
    if (!crypto::AcceptPasswordEntries(direction, entry.strPassword, entry.strConfirm)) continue;
    pChoice->strPassword = entry.strPassword;
    pChoice->bDeleteSource = entry.bDeleteSource;
    return true;
  }
  return false;
}

}  // namespace test
