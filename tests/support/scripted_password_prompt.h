#pragma once
// A password prompt for tests: answers from a queue of entries, each checked by the same rules
// as the dialogs (crypto::AcceptPasswordEntries, which shows the rule's box). An entry that
// breaks a rule is dropped and the next one is tried, as a dialog that stays open with its
// fields emptied; an empty queue answers Cancel.
//
//   test::CScriptedPasswordPrompt prompt;
//   prompt.QueueEntry("short", "short");       // refused: too short
//   prompt.QueueEntry("long enough", "long enough", false);
//   crypto::EncryptFileCommand(path, prompt);  // uses the second entry, keeps the source

#include <QString>

#include <deque>
#include <vector>

#include "crypto/password_prompt.h"

namespace test {

class CScriptedPasswordPrompt : public crypto::IPasswordPrompt {
 public:
  struct CEntry {
    QString strPassword;
    QString strConfirm;
    bool bDeleteSource = true;
  };

  // The next entry the user types and confirms.
  void QueueEntry(const QString& strPassword, const QString& strConfirm,
                  bool bDeleteSource = true);
  // The same password in both fields.
  void QueuePassword(const QString& strPassword, bool bDeleteSource = true) {
    QueueEntry(strPassword, strPassword, bDeleteSource);
  }

  // How often the prompt was asked, and for what.
  const std::vector<crypto::ECryptDirection>& Asked() const { return asked_; }
  // Entries tried (accepted or refused) over all asks.
  int EntriesTried() const { return tried_; }

  bool AskPassword(crypto::ECryptDirection direction, crypto::CPasswordChoice* pChoice) override;

 private:
  std::deque<CEntry> queue_;
  std::vector<crypto::ECryptDirection> asked_;
  int tried_ = 0;
};

}  // namespace test
