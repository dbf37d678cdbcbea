#pragma once
// The question every operation asks before it writes over an existing file of the user's
// (copy, move, restore, decrypt): its texts and the plain Yes/No form of it.

#include <QString>

namespace fileops {

QString ReplaceTitle();                                           // 55158
QString ReplaceText(const QString& folder, const QString& name);  // 55157

// Asks whether the file strName in strFolder is to be replaced, with Yes and No; true for Yes.
bool ConfirmReplaceFile(const QString& strFolder, const QString& strName);

}  // namespace fileops
