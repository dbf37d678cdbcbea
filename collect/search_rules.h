#pragma once
// The search command's use of the collection engine: the text of the search bar becomes
// include and exclude file rules, and the device is collected from "\".
//
// The text is cut into pieces, each ending at the next ";" or, when no ";" follows, at the
// next ","; each piece is trimmed of white space and pieces of one character or less are
// ignored. "-PATTERN" is an exclude-file rule, "+PATTERN" an include-file rule (blanks after
// the sign are not part of the pattern), anything else an include-file rule of the whole
// piece: "*.tmp; -~*.tmp" collects the .tmp files whose names do not begin with "~".

#include <QString>
#include <QStringList>

#include <vector>

#include "collect/fs_collect.h"

namespace collect {

// One rule of a search text.
struct CSearchPattern {
  bool bExclude = false;
  QString strPattern;
};
std::vector<CSearchPattern> SearchPatterns(const QString& strText);

// Adds the text's rules to pEngine (rule name = pattern, enabled, word 0).
void AddSearchRules(CFSCollect* pEngine, const QString& strText);

// The search: resets pEngine, adds the text's rules, sets the start folder ("\" unless
// another is given) and the mask "*.*", and collects into pSink. The result of CollectFiles.
bool RunSearch(CFSCollect* pEngine, const QString& strText, IFSCollectSink* pSink,
               const QString& strStartFolder = QStringLiteral("\\"));

}  // namespace collect
