#include "fileops/conflict_policy.h"

#include "core/message_box.h"

namespace fileops {

EConflict CConflictPolicy::Settle(const QString& strText, const QString& strTitle) {
  switch (*answer_) {
    case eCopyAnswerNoToAll:
      return EConflict::eSkipAll;
    case eCopyAnswerYesToAll:
      return EConflict::eProceed;
    case eCopyAnswerCancelled:
      return EConflict::eCancel;
    default:
      break;
  }
  switch (MsgConflict(strText, strTitle, QString())) {
    case eMsgAnsYes:
      return EConflict::eProceed;
    case eMsgAnsYesToAll:
      *answer_ = eCopyAnswerYesToAll;
      return EConflict::eProceed;
    case eMsgAnsNoToAll:
      *answer_ = eCopyAnswerNoToAll;
      return EConflict::eSkipAll;
    case eMsgAnsCancel:
      *answer_ = eCopyAnswerCancelled;
      return EConflict::eCancel;
    default:
      return EConflict::eSkip;
  }
}

}  // namespace fileops
