#include "browse/shown_text.h"

namespace browse {

QString ShownText(const QString& strText) {
  QString strShown = strText;
  for (QChar& c : strShown) {
    if (c.unicode() < 0x20)
      c = QChar(char16_t(0x2400 + c.unicode()));
    else if (c.unicode() == 0x7F)
      c = QChar(char16_t(0x2421));
  }
  return strShown;
}

}  // namespace browse
