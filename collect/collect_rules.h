#pragma once
// The records of the collection engine: its rules, its results, and the two sinks that the
// folder walker and the engine report through.

#include <QString>

#include "fileops/plan_walk.h"
#include "platform/wintypes.h"

namespace collect {

// Per-rule limits on the files a rule takes (file rules, and include-folder rules for their
// files). All zero: no limit.
struct SFSCRuleExtParams {
  FILETIME ftEarliestAccess{};  // files last accessed before it are refused; 0 = none
  FILETIME ftLatestAccess{};    // files last accessed after it are refused; 0 = none
  DWORD bZeroLengthOnly = 0;    // only files of size 0
  DWORD dwReserved = 0;         // stored, never read
};
static_assert(sizeof(SFSCRuleExtParams) == 24);

// An include- or exclude-folder rule.
struct SFSCFolderRule {
  DWORD bEnable = 0;
  QString strRuleName;
  // An absolute folder ("\..."), possibly with placeholders, or a wildcard pattern for a
  // folder name (any text not starting with "\").
  QString strFolder;
  QString strExpandedFolder;  // strFolder after placeholder expansion; empty matches nothing
  DWORD bIncludeFilesInSubfolders = 0;  // files below sub-folders match too (exclude: always 1)
  // Include: sub-folders are collected as items. Exclude: the rule also excludes folders.
  DWORD bIncludeSubFolders = 0;
  DWORD bIncludeRootFolder = 0;  // include: the folder itself is collected (exclude: always 1)
  // Folders are collected only when empty, and the rule collects no files (exclude: always 0).
  DWORD bEmptyFoldersOnly = 0;
  DWORD dwParams = 0;  // handed back with every result of the rule
  SFSCRuleExtParams ext;
};

// An include- or exclude-file rule: a wildcard pattern matched against item names.
struct SFSCFileRule {
  DWORD bEnable = 0;
  QString strRuleName;
  QString strFileSpec;
  DWORD dwParams = 0;
  SFSCRuleExtParams ext;
};

// How a collected item matched.
enum EFSCMatchType : DWORD {
  eFSC_MT_Root_Folder = 1,  // the rule's folder itself
  eFSC_MT_Sub_Folder = 2,   // a folder below the rule's folder
  eFSC_MT_Inc_Folder = 3,   // a file covered by an include-folder rule
  eFSC_MT_Inc_File = 4,     // a file matched by an include-file rule
};
// "eFSC_MT_Root_Folder" ... ; "eFSC_MT_Unknown" for any other value.
QString MatchTypeName(DWORD dwMatchType);

// One collected item.
struct SFSCResult {
  DWORD bIsFolder = 0;
  QString strFullPath;
  QString strDescription;  // "<rule-set name>:<match-type name>"
  DWORD dwParams = 0;      // the matching rule's word
  WIN32_FIND_DATAW data{};  // the item's find record (size, times, attributes)
};

// Receives the collected items.
class IFSCollectSink {
 public:
  virtual ~IFSCollectSink() = default;
  // False ends the collection.
  virtual bool OnResult(const SFSCResult& result) = 0;
};

// Receives the entries of a folder walk (collect/enum_folder.h).
class IFindDataSink {
 public:
  virtual ~IFindDataSink() = default;
  // One entry of strFolder (a device path); false ends the whole walk. In a walk of names and
  // kinds (fileops::EWalkRead::eKinds) entry.data holds the name and the folder bit, and
  // entry.Record() reads the rest where a rule needs it.
  virtual bool OnFindData(const fileops::CWalkItem& entry, const QString& strFolder) = 0;
};

}  // namespace collect
