#pragma once
// Names as the desktop's list and tree draw them.

#include <QString>

namespace browse {

// The text with each control character (U+0000 to U+001F and U+007F) replaced by its visible
// symbol of the control pictures (U+2400 to U+2421), so that a name holding a line break or a
// tab shows on one line as what it holds.
QString ShownText(const QString& strText);

}  // namespace browse
