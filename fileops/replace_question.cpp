#include "fileops/replace_question.h"

#include "core/message_box.h"
#include "core/texts.h"

namespace fileops {

QString ReplaceTitle() { return core::Text(55158); }

QString ReplaceText(const QString& folder, const QString& name) {
  return core::Text(55157).arg(folder, name);
}

bool ConfirmReplaceFile(const QString& strFolder, const QString& strName) {
  return MsgQuestion(ReplaceText(strFolder, strName), ReplaceTitle(), QString()) == eMsgAnsYes;
}

}  // namespace fileops
