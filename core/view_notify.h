#pragma once
// View notifications: after every item an operation creates, removes or renames, it tells the
// views, so that the panels and trees that show that place update themselves. Operations never
// touch panels; panels and trees subscribe a listener here (mostly through a CViewChangeBatch,
// core/view_batch.h), tests subscribe a recorder.
//
// A change names where the item lies: a file-system path, or a registry root with the path of
// a key (or of a value, "key\value") below it. A long operation marks its run with a
// CViewRun, so that listeners gather what it changes and apply it now and then, and once at
// the end.
//
// Notifications are sent and delivered on the thread that runs the operation (the
// user-interface thread). The list is guarded by a lock, but a listener must be unsubscribed
// on that same thread (or while no operation runs) before it is destroyed.

#include <QString>

#include "core/entry_types.h"
#include "platform/registry_hive.h"

namespace fileops {

enum class EViewChange {
  eItemAdded,      // a file or folder (a registry value) now exists at strPath
  eItemRemoved,    // the item at strPath is gone
  eFileRenamed,    // the file (value) strPath is now strNewPath
  eFolderRenamed,  // the folder (key) strPath is now strNewPath (trees update their nodes)
  eFolderCreated,  // a new folder (key) at strPath
  eFolderRemoved,  // the folder (key) at strPath is gone
};

struct CViewChange {
  EViewChange change = EViewChange::eItemAdded;
  QString strPath;     // a device path ("\Docs\a.txt"), or the path below the registry root
  QString strNewPath;  // renames only
  DWORD kind = eEntry_Folder;  // where the item lies: eEntry_Folder (the file system) or
                               // eEntry_RegKey (below root)
  HKEY root = 0;               // the registry root; 0 for the file system

  bool IsFileSystem() const { return kind == eEntry_Folder; }
  bool operator==(const CViewChange&) const = default;
};

class IViewListener {
 public:
  virtual ~IViewListener() = default;
  virtual void OnViewChange(const CViewChange& change) = 0;
  // The last open CViewRun ended: what was gathered during the run is due now.
  virtual void OnViewRunEnded() {}
};

// The process-wide list of listeners, called in the order they subscribed. A listener may
// unsubscribe itself (or another one) while it is being called; one subscribed during a
// notification hears from the next one on. Not owned.
void AddViewListener(IViewListener* pListener);
void RemoveViewListener(IViewListener* pListener);

// Subscribes a listener for a scope.
class CScopedViewListener {
 public:
  explicit CScopedViewListener(IViewListener* pListener);
  ~CScopedViewListener();
  CScopedViewListener(const CScopedViewListener&) = delete;
  CScopedViewListener& operator=(const CScopedViewListener&) = delete;

 private:
  IViewListener* listener_;
};

// Marks a long operation's run for its lifetime (runs may nest; the outermost one counts).
class CViewRun {
 public:
  CViewRun();
  ~CViewRun();
  CViewRun(const CViewRun&) = delete;
  CViewRun& operator=(const CViewRun&) = delete;
};
// True while a CViewRun is open.
bool ViewRunActive();

void NotifyViews(const CViewChange& change);
void NotifyItemAdded(const QString& strPath);
void NotifyItemRemoved(const QString& strPath);
void NotifyFileRenamed(const QString& strOldPath, const QString& strNewPath);
void NotifyFolderRenamed(const QString& strOldPath, const QString& strNewPath);
void NotifyFolderCreated(const QString& strPath);
void NotifyFolderRemoved(const QString& strPath);
// A change below a registry root: change is one of the kinds above, keys counting as folders
// and values as files.
void NotifyRegistryChange(EViewChange change, HKEY root, const QString& strPath,
                          const QString& strNewPath = {});

}  // namespace fileops
