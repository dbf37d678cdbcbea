#include "collect/placeholders.h"

namespace collect {
namespace {

// Appends piece; at the join with a token's value a doubled backslash keeps one of the two, so
// that "\%WINDOWS%\Temp" names the folder below the Windows folder, not an empty component.
void AppendAtJoin(QString* pResult, QStringView piece) {
  if (piece.startsWith(u'\\') && pResult->endsWith(u'\\')) piece = piece.mid(1);
  pResult->append(piece);
}

}  // namespace

bool ExpandPlaceholders(const QString& strText, IPlaceholderExpander* pExpander,
                        QString* pstrResult) {
  QString result;
  bool bAfterValue = false;  // the last thing appended was a token's value
  qsizetype pos = 0;
  while (pos < strText.size()) {
    const qsizetype open = strText.indexOf(u'%', pos);
    const QStringView literal =
        QStringView(strText).mid(pos, (open < 0 ? strText.size() : open) - pos);
    if (bAfterValue)
      AppendAtJoin(&result, literal);
    else
      result.append(literal);
    bAfterValue = false;
    if (open < 0) break;
    const qsizetype close = strText.indexOf(u'%', open + 1);
    const qsizetype end = close < 0 ? strText.size() : close;
    const QString token = strText.mid(open + 1, end - open - 1);
    if (pExpander) {
      QString value;
      if (!pExpander->ExpandToken(token, &value)) {
        pstrResult->clear();
        return false;
      }
      AppendAtJoin(&result, value);
      bAfterValue = true;
    }
    pos = close < 0 ? strText.size() : close + 1;
  }
  *pstrResult = result;
  return true;
}

}  // namespace collect
