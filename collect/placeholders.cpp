#include "collect/placeholders.h"

namespace collect {

bool ExpandPlaceholders(const QString& strText, IPlaceholderExpander* pExpander,
                        QString* pstrResult) {
  QString result;
  qsizetype pos = 0;
  while (pos < strText.size()) {
    const qsizetype open = strText.indexOf(u'%', pos);
    if (open < 0) {
      result += QStringView(strText).mid(pos);
      break;
    }
    result += QStringView(strText).mid(pos, open - pos);
    const qsizetype close = strText.indexOf(u'%', open + 1);
    const qsizetype end = close < 0 ? strText.size() : close;
    const QString token = strText.mid(open + 1, end - open - 1);
    if (pExpander) {
      QString value;
      if (!pExpander->ExpandToken(token, &value)) {
        pstrResult->clear();
        return false;
      }
      // "\%WINDOWS%\Temp" names the folder below the Windows folder: a value that starts
      // with a backslash right after one does not make an empty path component.
      if (value.startsWith(u'\\') && result.endsWith(u'\\')) result.chop(1);
      result += value;
    }
    pos = close < 0 ? strText.size() : close + 1;
  }
  *pstrResult = result;
  return true;
}

}  // namespace collect
