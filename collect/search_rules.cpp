#include "collect/search_rules.h"

#include "core/app_log.h"

namespace collect {

std::vector<CSearchPattern> SearchPatterns(const QString& strText) {
  std::vector<CSearchPattern> patterns;
  qsizetype pos = 0;
  while (pos < strText.size()) {
    qsizetype end = strText.indexOf(u';', pos);
    if (end < 0) end = strText.indexOf(u',', pos);
    if (end < 0) end = strText.size();
    const QString piece = strText.mid(pos, end - pos).trimmed();
    pos = end + 1;
    if (piece.size() <= 1) continue;
    const QChar sign = piece[0];
    // "- ~*.tmp" means "~*.tmp": the blank after the sign is not part of the pattern.
    if (sign == u'-' || sign == u'+')
      patterns.push_back({sign == u'-', piece.mid(1).trimmed()});
    else
      patterns.push_back({false, piece});
  }
  return patterns;
}

void AddSearchRules(CFSCollect* pEngine, const QString& strText) {
  for (const CSearchPattern& pattern : SearchPatterns(strText)) {
    if (pattern.bExclude)
      pEngine->AddExcludeFileRule(pattern.strPattern, pattern.strPattern, true, 0);
    else
      pEngine->AddIncludeFileRule(pattern.strPattern, pattern.strPattern, true, 0);
  }
}

bool RunSearch(CFSCollect* pEngine, const QString& strText, IFSCollectSink* pSink,
               const QString& strStartFolder) {
  LogTrace(u"RunSearch(%s)...", strText);
  pEngine->Reset();
  AddSearchRules(pEngine, strText);
  pEngine->Options().strStartFolder = strStartFolder;
  pEngine->Options().strFileMask = QStringLiteral("*.*");
  const bool bDone = pEngine->CollectFiles(pSink);
  LogTrace(u"RunSearch(%s)", strText);
  return bDone;
}

}  // namespace collect
