// The collection engine's state: reset, the four rule lists and their accessors, and the
// collection run. The per-entry rules are in fs_collect_entry.cpp.
#include "collect/fs_collect.h"

#include "collect/collect_match.h"
#include "collect/enum_folder.h"
#include "collect/placeholders.h"
#include "core/app_log.h"

namespace collect {
namespace {

// The entry and exit lines of a public operation.
class CTraceScope {
 public:
  explicit CTraceScope(const char16_t* name) : name_(name) { LogTrace(u"%s...", name_); }
  ~CTraceScope() { LogTrace(u"%s", name_); }
  CTraceScope(const CTraceScope&) = delete;
  CTraceScope& operator=(const CTraceScope&) = delete;

 private:
  const char16_t* name_;
};

// The rule at nIndex (-1: the last one), or null with a warning naming the operation.
template <typename Rules>
auto RuleAt(Rules& rules, int nIndex, const char16_t* operation) -> decltype(rules.data()) {
  const int i = nIndex == -1 ? int(rules.size()) - 1 : nIndex;
  if (i >= 0 && i < int(rules.size())) return rules.data() + i;
  LogWarn(u"CFSCollect::%s() Index out of range (%d)", operation, nIndex);
  return nullptr;
}

template <typename Rule>
bool IsEnabled(const std::vector<Rule>& rules, int nIndex, const char16_t* operation) {
  const Rule* rule = RuleAt(rules, nIndex, operation);
  return rule && rule->bEnable;
}

template <typename Rule>
void SetEnable(std::vector<Rule>& rules, int nIndex, bool bEnable, const char16_t* operation) {
  if (Rule* rule = RuleAt(rules, nIndex, operation)) rule->bEnable = bEnable ? 1 : 0;
}

template <typename Rule>
void SetExt(std::vector<Rule>& rules, int nIndex, const SFSCRuleExtParams& ext,
            const char16_t* operation) {
  const int i = nIndex == -1 ? int(rules.size()) - 1 : nIndex;
  if (i >= 0 && i < int(rules.size()))
    rules[size_t(i)].ext = ext;
  else
    LogWarn(u"CFSCollect::%s() Index out of range...", operation);
}

}  // namespace

QString MatchTypeName(DWORD dwMatchType) {
  switch (dwMatchType) {
    case eFSC_MT_Root_Folder: return QStringLiteral("eFSC_MT_Root_Folder");
    case eFSC_MT_Sub_Folder: return QStringLiteral("eFSC_MT_Sub_Folder");
    case eFSC_MT_Inc_Folder: return QStringLiteral("eFSC_MT_Inc_Folder");
    case eFSC_MT_Inc_File: return QStringLiteral("eFSC_MT_Inc_File");
    default: return QStringLiteral("eFSC_MT_Unknown");
  }
}

CFSCollect::CFSCollect() { Reset(); }

void CFSCollect::Reset() {
  CTraceScope trace(u"CFSCollect::Reset()");
  options_ = CFSCollectOptions{};
  bStopped_ = false;
  dwLastRule_ = 0;
  bTotalsOnly_ = false;
  uTotalBytes_ = 0;
  uCollected_ = 0;
  pSink_ = nullptr;
  incFolders_.clear();
  excFolders_.clear();
  incFiles_.clear();
  excFiles_.clear();
  cards_.RefreshStorageCards();
}

QString CFSCollect::Expand(const QString& strFolder) {
  QString expanded;
  ExpandPlaceholders(strFolder, &tokens_, &expanded);
  return expanded;
}

bool CFSCollect::ListFull(size_t uSize, const char16_t* message) const {
  if (uSize < size_t(kMaxRules)) return false;
  LogErr(message);
  return true;
}

bool CFSCollect::AddIncludeFolderRule(const QString& strRuleName, const QString& strFolder,
                                      bool bIncludeFilesInSubfolders, bool bIncludeSubFolders,
                                      bool bIncludeRootFolder, bool bEnable,
                                      bool bEmptyFoldersOnly, DWORD dwParams) {
  CTraceScope trace(u"CFSCollect::AddIncludeFolderRule()");
  if (ListFull(incFolders_.size(), u"CFSCollect::AddIncludeFolder() Maximum number of include "
                                   u"folders reached, aborting..."))
    return false;
  SFSCFolderRule rule;
  rule.strRuleName = strRuleName;
  rule.strFolder = strFolder;
  rule.strExpandedFolder = Expand(strFolder);
  rule.bIncludeFilesInSubfolders = bIncludeFilesInSubfolders;
  rule.bIncludeSubFolders = bIncludeSubFolders;
  rule.bIncludeRootFolder = bIncludeRootFolder;
  rule.bEmptyFoldersOnly = bEmptyFoldersOnly;
  rule.dwParams = dwParams;
  // A rule for a folder that is not there is kept, but not in force.
  const bool bMissing =
      rule.strExpandedFolder.startsWith(u'\\') && !FolderExists(rule.strExpandedFolder);
  rule.bEnable = bEnable && !bMissing;
  incFolders_.push_back(std::move(rule));
  return true;
}

bool CFSCollect::AddExcludeFolderRule(const QString& strRuleName, const QString& strFolder,
                                      bool bIncludeSubFolders, bool bEnable, DWORD dwParams) {
  CTraceScope trace(u"CFSCollect::AddExcludeFolderRule()");
  if (ListFull(excFolders_.size(), u"CFSCollect::AddExcludeFolder() Maximum number of exclude "
                                   u"folders reached, aborting..."))
    return false;
  SFSCFolderRule rule;
  rule.bEnable = bEnable;
  rule.strRuleName = strRuleName;
  rule.strFolder = strFolder;
  rule.strExpandedFolder = Expand(strFolder);
  rule.bIncludeFilesInSubfolders = 1;
  rule.bIncludeSubFolders = bIncludeSubFolders;
  rule.bIncludeRootFolder = 1;
  rule.bEmptyFoldersOnly = 0;
  rule.dwParams = dwParams;
  excFolders_.push_back(std::move(rule));
  return true;
}

bool CFSCollect::AddIncludeFileRule(const QString& strRuleName, const QString& strFileSpec,
                                    bool bEnable, DWORD dwParams) {
  CTraceScope trace(u"CFSCollect::AddIncludeFileRule()");
  if (ListFull(incFiles_.size(), u"CFSCollect::AddIncludeFileRule() Maximum number of include "
                                 u"files reached, aborting..."))
    return false;
  incFiles_.push_back(SFSCFileRule{bEnable, strRuleName, strFileSpec, dwParams, {}});
  return true;
}

bool CFSCollect::AddExcludeFileRule(const QString& strRuleName, const QString& strFileSpec,
                                    bool bEnable, DWORD dwParams) {
  CTraceScope trace(u"CFSCollect::AddExcludeFileRule()");
  if (ListFull(excFiles_.size(), u"CFSCollect::AddExcludeFileRule() Maximum number of exclude "
                                 u"files reached, aborting..."))
    return false;
  excFiles_.push_back(SFSCFileRule{bEnable, strRuleName, strFileSpec, dwParams, {}});
  return true;
}

bool CFSCollect::IsIncludeFileRuleEnabled(int nIndex) const {
  CTraceScope trace(u"CFSCollect::IsIncludeFileRuleEnabled()");
  return IsEnabled(incFiles_, nIndex, u"IsIncludeFileRuleEnabled");
}
bool CFSCollect::IsExcludeFileRuleEnabled(int nIndex) const {
  CTraceScope trace(u"CFSCollect::IsExcludeFileRuleEnabled()");
  return IsEnabled(excFiles_, nIndex, u"IsExcludeFileRuleEnabled");
}
bool CFSCollect::IsIncludeFolderRuleEnabled(int nIndex) const {
  CTraceScope trace(u"CFSCollect::IsIncludeFolderRuleEnabled()");
  return IsEnabled(incFolders_, nIndex, u"IsIncludeFolderRuleEnabled");
}
bool CFSCollect::IsExcludeFolderRuleEnabled(int nIndex) const {
  CTraceScope trace(u"CFSCollect::IsExcludeFolderRuleEnabled()");
  return IsEnabled(excFolders_, nIndex, u"IsExcludeFolderRuleEnabled");
}

void CFSCollect::SetEnableIncludeFileRule(int nIndex, bool bEnable) {
  CTraceScope trace(u"CFSCollect::SetEnableIncludeFileRule()");
  SetEnable(incFiles_, nIndex, bEnable, u"SetEnableIncludeFileRule");
}
void CFSCollect::SetEnableExcludeFileRule(int nIndex, bool bEnable) {
  CTraceScope trace(u"CFSCollect::SetEnableExcludeFileRule()");
  SetEnable(excFiles_, nIndex, bEnable, u"SetEnableExcludeFileRule");
}
void CFSCollect::SetEnableIncludeFolderRule(int nIndex, bool bEnable) {
  CTraceScope trace(u"CFSCollect::SetEnableIncludeFolderRule()");
  SetEnable(incFolders_, nIndex, bEnable, u"SetEnableIncludeFolderRule");
}
void CFSCollect::SetEnableExcludeFolderRule(int nIndex, bool bEnable) {
  CTraceScope trace(u"CFSCollect::SetEnableExcludeFolderRule()");
  SetEnable(excFolders_, nIndex, bEnable, u"SetEnableExcludeFolderRule");
}

void CFSCollect::SetIncludeFileRuleExtParams(int nIndex, const SFSCRuleExtParams& ext) {
  CTraceScope trace(u"CFSCollect::SetIncludeFileRuleExtParams()");
  SetExt(incFiles_, nIndex, ext, u"SetIncludeFileRuleExtParams");
}
void CFSCollect::SetExcludeFileRuleExtParams(int nIndex, const SFSCRuleExtParams& ext) {
  CTraceScope trace(u"CFSCollect::SetExcludeFileRuleExtParams()");
  SetExt(excFiles_, nIndex, ext, u"SetExcludeFileRuleExtParams");
}
void CFSCollect::SetIncludeFolderRuleExtParams(int nIndex, const SFSCRuleExtParams& ext) {
  CTraceScope trace(u"CFSCollect::SetIncludeFolderRuleExtParams()");
  SetExt(incFolders_, nIndex, ext, u"SetIncludeFolderRuleExtParams");
}
void CFSCollect::SetExcludeFolderRuleExtParams(int nIndex, const SFSCRuleExtParams& ext) {
  CTraceScope trace(u"CFSCollect::SetExcludeFolderRuleExtParams()");
  SetExt(excFolders_, nIndex, ext, u"SetExcludeFolderRuleExtParams");
}

bool CFSCollect::CollectFiles(IFSCollectSink* pSink, bool bTotalsOnly) {
  CTraceScope trace(u"CFSCollect::CollectFiles(2)");
  bTotalsOnly_ = bTotalsOnly || !pSink;
  uTotalBytes_ = 0;
  uCollected_ = 0;
  uFolders_.store(1, std::memory_order_relaxed);
  pSink_ = pSink;
  cards_.RefreshStorageCards();
  const QString strStart = Expand(options_.strStartFolder);
  if (strStart.isEmpty()) {
    LogNotice(u"  Start folder is NULL...");
    return false;
  }
  const bool bDone = EnumFolder(strStart, options_.strFileMask, this, options_.bRecursive != 0,
                                fileops::EWalkRead::eKinds);
  pSink_ = nullptr;
  return bDone && !bStopped_;
}

}  // namespace collect
