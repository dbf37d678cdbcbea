#pragma once
// View notifications: after every item an operation creates, removes or renames, it tells the
// views, so that the panels and trees that show that place update themselves. Operations never
// touch panels; panels and trees subscribe a listener here, tests subscribe a recorder.
//
// Notifications are sent and delivered on the thread that runs the operation (the
// user-interface thread). The list is guarded by a lock, but a listener must be unsubscribed
// on that same thread (or while no operation runs) before it is destroyed.

#include <QString>

namespace fileops {

enum class EViewChange {
  eItemAdded,      // a file or folder now exists at strPath
  eItemRemoved,    // the item at strPath is gone
  eFileRenamed,    // the file strPath is now strNewPath
  eFolderRenamed,  // the folder strPath is now strNewPath (trees update their nodes)
  eFolderCreated,  // a new folder at strPath (made by the new-folder command)
  eFolderRemoved,  // the folder at strPath is gone
};

struct CViewChange {
  EViewChange change = EViewChange::eItemAdded;
  QString strPath;
  QString strNewPath;  // renames only

  bool operator==(const CViewChange&) const = default;
};

class IViewListener {
 public:
  virtual ~IViewListener() = default;
  virtual void OnViewChange(const CViewChange& change) = 0;
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

void NotifyViews(const CViewChange& change);
void NotifyItemAdded(const QString& strPath);
void NotifyItemRemoved(const QString& strPath);
void NotifyFileRenamed(const QString& strOldPath, const QString& strNewPath);
void NotifyFolderRenamed(const QString& strOldPath, const QString& strNewPath);
void NotifyFolderCreated(const QString& strPath);
void NotifyFolderRemoved(const QString& strPath);

}  // namespace fileops
