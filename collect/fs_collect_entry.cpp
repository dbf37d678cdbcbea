// The collection engine's rules for one entry of the walk: storage-card flags, then for a
// file the exclude-folder rules, the attribute, time and size filters, the exclude-file rules,
// the include-folder rules and the include-file rules; for a folder the attribute filter, the
// exclude-folder rules and the include-folder rules. Each list is tried in its stored order;
// the first rule that matches decides.
#include "collect/collect_match.h"
#include "collect/fs_collect.h"
#include "core/path_helpers.h"
#include "platform/device_state.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/find.h"

namespace collect {
namespace {

constexpr DWORD kListExcludeFolder = 0x80000000;
constexpr DWORD kListIncludeFolder = 0xC0000000;
constexpr DWORD kListIncludeFile = 0x40000000;

quint64 Ticks(const FILETIME& ft) { return plat::FileTimeToU64(ft); }

bool IsSet(const FILETIME& ft) { return Ticks(ft) != 0; }

// The attribute test; its defaults (no bit excluded, any bit included) pass every item, whose
// attributes are never 0, without its status being read.
bool AttributesPass(const fileops::CWalkItem& entry, DWORD dwExclude, DWORD dwInclude) {
  if (dwExclude == 0 && dwInclude == 0xFFFFFFFF) return true;
  const DWORD dwAttributes = entry.Record().dwFileAttributes;
  return (dwAttributes & dwExclude) == 0 && (dwAttributes & dwInclude) != 0;
}

// The rule's own limits on a file: last access time and zero length.
bool ExtAccepts(const SFSCRuleExtParams& ext, const fileops::CWalkItem& entry) {
  const bool bEarliest = IsSet(ext.ftEarliestAccess);
  const bool bLatest = IsSet(ext.ftLatestAccess);
  if (!bEarliest && !bLatest && !ext.bZeroLengthOnly) return true;
  const WIN32_FIND_DATAW& data = entry.Record();
  const quint64 accessed = Ticks(data.ftLastAccessTime);
  if (bEarliest && accessed < Ticks(ext.ftEarliestAccess)) return false;
  if (bLatest && accessed > Ticks(ext.ftLatestAccess)) return false;
  return !ext.bZeroLengthOnly || plat::FindSize(data) == 0;
}

bool IsAbsolute(const SFSCFolderRule& rule) { return rule.strExpandedFolder.startsWith(u'\\'); }

// Whether a folder rule takes the files of strFileFolder.
bool CoversFile(const SFSCFolderRule& rule, const QString& strFileFolder) {
  if (IsAbsolute(rule))
    return FolderCovers(strFileFolder, rule.strExpandedFolder, rule.bIncludeFilesInSubfolders);
  return FilePatternMatches(strFileFolder, rule.strExpandedFolder);
}

// Empty: a find of its entries finds nothing. A folder that cannot be read is not empty.
bool IsEmptyFolder(const QString& strPath) {
  plat::CFind find;
  WIN32_FIND_DATAW data;
  if (find.First(browse::AppendPathComponent(strPath, QStringLiteral("*")), &data)) return false;
  return plat::GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

bool CFSCollect::OnFindData(const CEntry& entry, const QString& strFolder) {
  if (cancel_.load(std::memory_order_relaxed)) bStopped_ = true;
  if (bStopped_) return false;
  plat::KeepAwake();
  const QStringView strName = plat::FindNameView(entry.data);
  if (strName == u"." || strName == u"..") return true;
  const QString& strPath = entry.strPath;
  const DWORD dwFlags = options_.dwGlobalSettings;
  if (dwFlags & (eFSC_GS_SkipOnCard | eFSC_GS_SkipNotOnCard)) {
    const bool bOnCard = cards_.HoldsPath(strPath);
    if ((dwFlags & eFSC_GS_SkipOnCard) && bOnCard) return true;
    if ((dwFlags & eFSC_GS_SkipNotOnCard) && !bOnCard) return true;
  }
  // A link whose target is not looked up yet is a folder or a file only its record tells;
  // when no rule could collect it as either, it is passed over without that look-up.
  const bool bUnreadLink =
      !entry.bStatusRead && (entry.data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  if (bUnreadLink && !MayCollectLink(strName)) return true;
  const DWORD dwAttributes =
      bUnreadLink ? entry.Record().dwFileAttributes : entry.data.dwFileAttributes;
  if (entry.IsLink() == false && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    uFolders_.fetch_add(1, std::memory_order_relaxed);
  if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
    OnFolder(entry, strPath);
  else
    OnFile(entry, strFolder, strPath);
  return !bStopped_;
}

bool CFSCollect::MayCollectLink(QStringView strName) const {
  // Include-folder rules collect folders, and files by where they lie.
  for (const SFSCFolderRule& rule : incFolders_)
    if (rule.bEnable) return true;
  for (const SFSCFileRule& rule : incFiles_)
    if (rule.bEnable && MatchWildcard(strName, rule.strFileSpec)) return true;
  return false;
}

bool CFSCollect::ExcludedByFolderRule(const QString& strFileFolder) {
  for (size_t i = 0; i < excFolders_.size(); ++i) {
    if (excFolders_[i].bEnable && CoversFile(excFolders_[i], strFileFolder)) {
      dwLastRule_ = kListExcludeFolder | DWORD(i);
      return true;
    }
  }
  return false;
}

bool CFSCollect::PassesFileFilters(const CEntry& entry) const {
  const CFSCollectOptions& o = options_;
  if (!AttributesPass(entry, o.dwAttrExclFiles, o.dwAttrInclFiles)) return false;
  const DWORD dwFlags = o.dwGlobalSettings;
  if (!(dwFlags & (eFSC_GS_NotBefore | eFSC_GS_NotAfter | eFSC_GS_MinSize | eFSC_GS_MaxSize)))
    return true;
  const WIN32_FIND_DATAW& data = entry.Record();
  const quint64 accessed = Ticks(data.ftLastAccessTime);
  if ((dwFlags & eFSC_GS_NotBefore) && accessed < Ticks(o.ftNotBefore)) return false;
  if ((dwFlags & eFSC_GS_NotAfter) && accessed > Ticks(o.ftNotAfter)) return false;
  const quint64 size = plat::FindSize(data);
  if ((dwFlags & eFSC_GS_MinSize) && size < o.uMinFileSize) return false;
  if ((dwFlags & eFSC_GS_MaxSize) && size > o.uMaxFileSize) return false;
  return true;
}

bool CFSCollect::OnFile(const CEntry& entry, const QString& strFolder, const QString& strPath) {
  if (ExcludedByFolderRule(strFolder) || !PassesFileFilters(entry)) return false;
  const QStringView strName = plat::FindNameView(entry.data);
  for (size_t i = 0; i < excFiles_.size(); ++i) {
    const SFSCFileRule& rule = excFiles_[i];
    if (rule.bEnable && MatchWildcard(strName, rule.strFileSpec) && ExtAccepts(rule.ext, entry)) {
      dwLastRule_ = DWORD(i);
      return false;
    }
  }
  DWORD dwType = 0, dwParams = 0;
  for (size_t i = 0; i < incFolders_.size() && !dwType; ++i) {
    const SFSCFolderRule& rule = incFolders_[i];
    if (rule.bEnable && !rule.bEmptyFoldersOnly && CoversFile(rule, strFolder) &&
        ExtAccepts(rule.ext, entry)) {
      dwLastRule_ = kListIncludeFolder | DWORD(i);
      dwType = eFSC_MT_Inc_Folder;
      dwParams = rule.dwParams;
    }
  }
  for (size_t i = 0; i < incFiles_.size() && !dwType; ++i) {
    const SFSCFileRule& rule = incFiles_[i];
    if (rule.bEnable && MatchWildcard(strName, rule.strFileSpec) && ExtAccepts(rule.ext, entry)) {
      dwLastRule_ = kListIncludeFile | DWORD(i);
      dwType = eFSC_MT_Inc_File;
      dwParams = rule.dwParams;
    }
  }
  if (!dwType) return false;
  uTotalBytes_ += plat::FindSize(entry.Record());
  AddResult(entry, strPath, dwType, dwParams);
  return true;
}

bool CFSCollect::OnFolder(const CEntry& entry, const QString& strPath) {
  if (!AttributesPass(entry, options_.dwAttrExclFolders,
                      options_.dwAttrInclFolders))
    return false;
  for (size_t i = 0; i < excFolders_.size(); ++i) {
    const SFSCFolderRule& rule = excFolders_[i];
    if (!rule.bEnable || !rule.bIncludeSubFolders) continue;
    const bool bCovers = IsAbsolute(rule) ? FolderCovers(strPath, rule.strExpandedFolder, true)
                                          : FolderPatternMatches(strPath, rule.strExpandedFolder);
    if (bCovers) {
      dwLastRule_ = kListExcludeFolder | DWORD(i);
      return false;
    }
  }
  DWORD dwType = 0, dwParams = 0;
  if (!FolderCollected(strPath, &dwType, &dwParams)) return false;
  AddResult(entry, strPath, dwType, dwParams);
  return true;
}

// The include-folder rules for a folder: first those that collect their own folder, then
// those that collect the folders below theirs.
bool CFSCollect::FolderCollected(const QString& strPath, DWORD* pdwType, DWORD* pdwParams) {
  for (const DWORD dwType : {DWORD(eFSC_MT_Root_Folder), DWORD(eFSC_MT_Sub_Folder)}) {
    const bool bRoot = dwType == eFSC_MT_Root_Folder;
    for (size_t i = 0; i < incFolders_.size(); ++i) {
      const SFSCFolderRule& rule = incFolders_[i];
      if (!rule.bEnable || !(bRoot ? rule.bIncludeRootFolder : rule.bIncludeSubFolders)) continue;
      bool bMatch = false;
      if (!IsAbsolute(rule))
        bMatch = FolderPatternMatches(strPath, rule.strExpandedFolder);
      else if (bRoot)
        bMatch = FolderCovers(strPath, rule.strExpandedFolder, false);
      else
        bMatch = FolderCovers(strPath, rule.strExpandedFolder, true) &&
                 !FolderCovers(strPath, rule.strExpandedFolder, false);
      if (!bMatch || (rule.bEmptyFoldersOnly && !IsEmptyFolder(strPath))) continue;
      dwLastRule_ = kListIncludeFolder | DWORD(i);
      *pdwType = dwType;
      *pdwParams = rule.dwParams;
      return true;
    }
  }
  return false;
}

void CFSCollect::AddResult(const CEntry& entry, const QString& strPath, DWORD dwMatchType,
                           DWORD dwParams) {
  ++uCollected_;
  if (bTotalsOnly_) return;
  const WIN32_FIND_DATAW& data = entry.Record();
  const bool bIsFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const SFSCResult result{bIsFolder ? 1u : 0u, strPath,
                          options_.strRuleSetName + u':' + MatchTypeName(dwMatchType), dwParams,
                          data};
  if (!pSink_->OnResult(result)) bStopped_ = true;
}

}  // namespace collect
