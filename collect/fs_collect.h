#pragma once
// The collection engine: walks a folder tree and decides for every file and folder it meets
// whether it is collected, by four ordered rule lists (include files, exclude files, include
// folders, exclude folders) and global filters on attributes, storage cards, last access time
// and size. Each collected item goes to a result sink with its full path, a description
// ("<rule-set name>:<match type>") and the matching rule's word; the bytes of the collected
// files are totalled.
//
// Guarantees:
// - The walk stays inside the start folder and never enters a linked folder (the program's
//   one folder walk, fileops/plan_walk.h, by descriptors beneath the device root).
// - Within each list the rules are tried in their stored order and the first match wins.
// - Nothing is shown: failures are log lines and return values.
// - No lock is kept; the engine runs on its caller's thread, and one object must not be used
//   from two threads at once.
// Every public operation writes an entry and an exit line to the log.

#include <QString>

#include <atomic>
#include <vector>

#include "collect/collect_rules.h"
#include "collect/collect_tokens.h"
#include "collect/storage_cards.h"

namespace collect {

// Global filter flags (dwGlobalSettings).
enum EFSCGlobalFlags : DWORD {
  eFSC_GS_SkipOnCard = 0x01,     // skip every item that lies on a storage card
  eFSC_GS_SkipNotOnCard = 0x02,  // skip every item that does not
  eFSC_GS_NotAfter = 0x04,       // ftNotAfter is in force
  eFSC_GS_NotBefore = 0x08,      // ftNotBefore is in force
  eFSC_GS_MinSize = 0x10,        // uMinFileSize is in force
  eFSC_GS_MaxSize = 0x20,        // uMaxFileSize is in force
};

// The filters and the walk's set-up; Reset puts every field back to these defaults.
struct CFSCollectOptions {
  FILETIME ftNotBefore{};  // with eFSC_GS_NotBefore: files last accessed earlier are skipped
  FILETIME ftNotAfter{};   // with eFSC_GS_NotAfter: files last accessed later are skipped
  QString strRuleSetName = QStringLiteral("???");  // the first part of every description
  DWORD dwGlobalSettings = 0;
  DWORD dwAttrExclFiles = 0;             // a file with any of these bits is skipped
  DWORD dwAttrInclFiles = 0xFFFFFFFF;    // a file must have at least one of these bits
  DWORD dwAttrExclFolders = 0;           // the same for folders
  DWORD dwAttrInclFolders = 0xFFFFFFFF;
  quint64 uMinFileSize = 0;              // with eFSC_GS_MinSize: smaller files are skipped
  quint64 uMaxFileSize = 0xFFFFFFFF;     // with eFSC_GS_MaxSize: larger files are skipped
  QString strStartFolder = QStringLiteral("\\");  // root of the walk; may hold placeholders
  QString strFileMask = QStringLiteral("*.*");    // find pattern applied at every level
  DWORD bRecursive = 1;
};

class CFSCollect : public IFindDataSink {
 public:
  // Each list holds at most this many rules; an Add beyond it is refused.
  static constexpr int kMaxRules = 10001;

  CFSCollect();
  // The token expander refers to the object's own card list, so an engine is not copied.
  CFSCollect(const CFSCollect&) = delete;
  CFSCollect& operator=(const CFSCollect&) = delete;

  // Every option to its default, the four lists emptied, the stopped flag cleared, the
  // storage-card list read again.
  void Reset();
  CFSCollectOptions& Options() { return options_; }
  const CFSCollectOptions& Options() const { return options_; }

  // Rules. Folders are expanded at once (collect/collect_tokens.h); an include-folder rule
  // whose expanded folder starts with "\" but does not exist is stored disabled. False, with
  // an error line in the log and nothing changed, when the list is full.
  bool AddIncludeFolderRule(const QString& strRuleName, const QString& strFolder,
                            bool bIncludeFilesInSubfolders, bool bIncludeSubFolders,
                            bool bIncludeRootFolder, bool bEnable, bool bEmptyFoldersOnly,
                            DWORD dwParams);
  bool AddExcludeFolderRule(const QString& strRuleName, const QString& strFolder,
                            bool bIncludeSubFolders, bool bEnable, DWORD dwParams);
  bool AddIncludeFileRule(const QString& strRuleName, const QString& strFileSpec, bool bEnable,
                          DWORD dwParams);
  bool AddExcludeFileRule(const QString& strRuleName, const QString& strFileSpec, bool bEnable,
                          DWORD dwParams);

  // Accessors by index; -1 is the last rule. An index outside the list logs a warning and
  // gives false (the setters do nothing).
  bool IsIncludeFileRuleEnabled(int nIndex) const;
  bool IsExcludeFileRuleEnabled(int nIndex) const;
  bool IsIncludeFolderRuleEnabled(int nIndex) const;
  bool IsExcludeFolderRuleEnabled(int nIndex) const;
  void SetEnableIncludeFileRule(int nIndex, bool bEnable);
  void SetEnableExcludeFileRule(int nIndex, bool bEnable);
  void SetEnableIncludeFolderRule(int nIndex, bool bEnable);
  void SetEnableExcludeFolderRule(int nIndex, bool bEnable);
  void SetIncludeFileRuleExtParams(int nIndex, const SFSCRuleExtParams& ext);
  void SetExcludeFileRuleExtParams(int nIndex, const SFSCRuleExtParams& ext);
  void SetIncludeFolderRuleExtParams(int nIndex, const SFSCRuleExtParams& ext);
  void SetExcludeFolderRuleExtParams(int nIndex, const SFSCRuleExtParams& ext);

  int IncludeFileRuleCount() const { return int(incFiles_.size()); }
  int ExcludeFileRuleCount() const { return int(excFiles_.size()); }
  int IncludeFolderRuleCount() const { return int(incFolders_.size()); }
  int ExcludeFolderRuleCount() const { return int(excFolders_.size()); }
  // The include-folder rule at nIndex; null outside the list.
  const SFSCFolderRule* IncludeFolderRule(int nIndex) const {
    return nIndex >= 0 && nIndex < int(incFolders_.size()) ? &incFolders_[size_t(nIndex)]
                                                            : nullptr;
  }

  // The collection: walks the expanded start folder and hands each collected item to pSink
  // (a null sink, or bTotalsOnly, only counts and totals). A false OnResult ends the walk and
  // sets the stopped flag, which only Reset clears. False when the start folder expands to
  // nothing ("  Start folder is NULL..." in the log) or cannot be read, or the walk was
  // stopped.
  bool CollectFiles(IFSCollectSink* pSink, bool bTotalsOnly = false);
  // The bytes of the files and the number of items collected by the last walk.
  quint64 TotalBytes() const { return uTotalBytes_; }
  quint64 CollectedCount() const { return uCollected_; }
  bool IsStopped() const { return bStopped_; }
  // The folders the walk has met so far (the start folder included): a running count another
  // thread may read, for a status line.
  quint64 FoldersSearched() const { return uFolders_.load(std::memory_order_relaxed); }
  // Asks a running walk to end at its next entry, as a false OnResult would (the stopped flag
  // is set). The one call another thread may make while the engine runs; it holds for the
  // engine's life (Reset does not undo it), so a search thread's engine is never reused.
  void Cancel() { cancel_.store(true, std::memory_order_relaxed); }
  // The rule that matched last: its index, with the list in the top bits (0x80000000
  // exclude-folder, 0xC0000000 include-folder, 0x40000000 include-file, none exclude-file).
  DWORD LastRule() const { return dwLastRule_; }

  // One entry of the walk (the walker's sink): the per-entry rules.
  // The entry's status is read only where a filter, a rule's limits or a result needs it.
  bool OnFindData(const fileops::CWalkItem& entry, const QString& strFolder) override;

 private:
  using CEntry = fileops::CWalkItem;
  bool OnFile(const CEntry& entry, const QString& strFolder, const QString& strPath);
  bool OnFolder(const CEntry& entry, const QString& strPath);
  // Whether any rule could collect an item of this name, as a folder or as a file.
  bool MayCollectLink(QStringView strName) const;
  bool ExcludedByFolderRule(const QString& strFileFolder);
  bool PassesFileFilters(const CEntry& entry) const;
  bool FolderCollected(const QString& strPath, DWORD* pdwType, DWORD* pdwParams);
  void AddResult(const CEntry& entry, const QString& strPath, DWORD dwMatchType,
                 DWORD dwParams);
  QString Expand(const QString& strFolder);
  bool ListFull(size_t uSize, const char16_t* message) const;

  CFSCollectOptions options_;
  bool bStopped_ = false;
  std::atomic<bool> cancel_{false};
  std::atomic<quint64> uFolders_{0};
  DWORD dwLastRule_ = 0;
  bool bTotalsOnly_ = false;
  quint64 uTotalBytes_ = 0;
  quint64 uCollected_ = 0;
  CStorageCards cards_;
  CCollectTokens tokens_{cards_};
  std::vector<SFSCFolderRule> incFolders_;
  std::vector<SFSCFolderRule> excFolders_;
  std::vector<SFSCFileRule> incFiles_;
  std::vector<SFSCFileRule> excFiles_;
  IFSCollectSink* pSink_ = nullptr;
};

}  // namespace collect
