#pragma once
// The one folder walk of the file operations (copy, move, recycle, restore, shred, delete,
// encrypt, decrypt): a tree is walked depth first, each folder's entries read in one go before
// any of them is visited (so the operation's own changes cannot disturb the listing), and the
// visitor is told what the walk meets. Folders are entered by descriptor, each relative to its
// parent's (platform/dir_walk.h): a folder swapped for a link after it was listed is reported
// as a link and never followed.

#include <QString>

#include <functional>

#include "platform/wintypes.h"

namespace plat {
class CWalkFolder;
}

namespace fileops {

// How much of each entry the walk reads.
enum class EWalkRead {
  eFull,   // every entry's whole record
  eKinds,  // names and kinds: a plain file's or folder's status is read when Record() asks,
           // and a link's target is not looked up before the visitor's Link asks for it
};

// One item the walk meets: its device path and its record as a listing shows it.
struct CWalkItem {
  QString strPath;
  // The record. In an EWalkRead::eKinds walk, a plain file or folder holds its name and its
  // folder bit only until Record() has read the rest (so it is mutable: reading completes it).
  mutable WIN32_FIND_DATAW data{};
  mutable bool bStatusRead = true;
  const plat::CWalkFolder* pFolder = nullptr;  // the open folder holding it, while walked

  QString Name() const;
  // The whole record: its status is read now when the walk had left it unread (once). An
  // entry that has gone since keeps the record it had.
  const WIN32_FIND_DATAW& Record() const;
  // The size in the record (of the target, for a link to a file).
  quint64 Size() const;
  bool IsLink() const { return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// What the visitor wants next.
enum class EWalk {
  eGoOn,  // go on (after FolderEntered: enter the folder)
  eSkip,  // after FolderEntered: do not enter the folder (FolderLeft is not called); after
          // any other event: leave the rest of this folder's entries (FolderLeft is called)
  eStop,  // end the whole walk now; no further event
};

class IPlanVisitor {
 public:
  virtual ~IPlanVisitor() = default;
  virtual EWalk FolderEntered(const CWalkItem& folder) { return EWalk::eGoOn; }
  // A file, or a link to a file (a listing shows it as its target).
  virtual EWalk File(const CWalkItem& file) = 0;
  // After the folder's entries, unless the walk stopped.
  virtual EWalk FolderLeft(const CWalkItem& folder) { return EWalk::eGoOn; }
  // A link to a folder, which the walk never enters.
  virtual EWalk LinkNotFollowed(const CWalkItem& link) { return EWalk::eGoOn; }
  // In an EWalkRead::eKinds walk, a link whose target was not looked up yet (its record holds
  // its name and FILE_ATTRIBUTE_REPARSE_POINT). The walk never enters it either way. By
  // default its Record() is read and it is told as LinkNotFollowed or File.
  virtual EWalk Link(const CWalkItem& link);
  // A folder that was entered but could not be opened or read to its end (dwError says why);
  // the entries read before the failure are not visited. FolderLeft follows.
  virtual EWalk Refused(const CWalkItem& folder, DWORD dwError) { return EWalk::eGoOn; }
  // An entry of an entered folder whose host name the device cannot name (a backslash in it,
  // bytes that are not UTF-8): it cannot be visited, and the folder cannot be emptied.
  // strShownName is the name as messages show it (plat::ShownHostName). Told before the
  // folder's other entries.
  virtual EWalk Unnamed(const CWalkItem& folder, const QString& strShownName) {
    return EWalk::eGoOn;
  }
};

// Walks the folder at strFolder: FolderEntered for it, its tree, FolderLeft. A link to a folder
// there is reported as LinkNotFollowed alone; a folder that cannot be opened (or a path that is
// no folder) as FolderEntered, Refused, FolderLeft. False when the visitor stopped the walk.
// eKinds: see EWalkRead; what the visitor is told is the same, only records come unread.
bool WalkFolder(const QString& strFolder, IPlanVisitor& visitor,
                EWalkRead read = EWalkRead::eFull);

// The walk of a tree that is removed (delete, shred): fnFile for each file, fnLink for each link
// to a folder, fnFolder for each folder once its entries are done. Each returns a result; the
// first that is not 0 ends the walk (the folders above cannot be removed anyway) and is
// returned. A folder that holds a name the device cannot name is reported (ReportFolderKept,
// under strTitle) before anything of it is removed, and ends the walk with nKeptResult.
using FnTreeStep = std::function<int(const CWalkItem&)>;
int WalkRemovingTree(const QString& strFolder, const FnTreeStep& fnFile, const FnTreeStep& fnLink,
                     const FnTreeStep& fnFolder, int nKeptResult, const QString& strTitle);

// Why an operation that was to empty a folder left it in place.
enum class EFolderKept {
  eUnnamed,       // it holds a name the device cannot name
  eLinkedFolder,  // it holds a link to a folder, which is never entered
  eRecycleBin,    // it holds the recycle bin, which is never recycled (kept without a report)
};
// The first item that keeps a folder in place, and why.
struct CFolderKeptBy {
  QString strName;
  EFolderKept because = EFolderKept::eUnnamed;
};
// Logs and shows "The folder ... was left in place: it holds ..., <reason>." under strTitle.
void ReportFolderKept(const QString& strFolder, const QString& strName, EFolderKept because,
                      const QString& strTitle);

}  // namespace fileops
