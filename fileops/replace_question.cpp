#include "fileops/replace_question.h"

#include "core/message_box.h"

namespace fileops {

QString ReplaceTitle() { return QStringLiteral("Replace Existing File"); }

QString ReplaceText(const QString& folder, const QString& name) {
  return QStringLiteral("Folder \"%1\" already contains a file called \"%2\".\r\n\r\nWould you "
                        "like to replace the existing file?")
      .arg(folder, name);
}

bool ConfirmReplaceFile(const QString& strFolder, const QString& strName) {
  return MsgQuestion(ReplaceText(strFolder, strName), ReplaceTitle(), QString()) == eMsgAnsYes;
}

}  // namespace fileops
