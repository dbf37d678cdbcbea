#pragma once
// Watching folders for changes made by other programs. A CFolderWatch follows one device
// folder while it exists: the host's change events (inotify) for the folder's entries are
// gathered and handed to the callback together, at most a few times a second, so that a burst
// of thousands of changes costs a few hand-overs. Where the host gives no events (its watch
// limit is used up, or the folder lies on a network file system whose other clients' changes
// send none) the folder is read again every few seconds instead, and a changed listing is
// handed over as a rescan.
//
// User-interface thread only: the events are read from the event loop and the callback runs
// there. A watch that goes is never called again, also for events already read.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace plat {

struct CFolderEvent {
  enum EKind {
    eAdded,    // an entry strName now exists (created or moved in)
    eRemoved,  // the entry strName is gone (deleted or moved out)
    eChanged,  // the entry strName was written to or its attributes changed
    eRescan,   // the host lost track (queue overflow, a polled folder changed): read it all
    eGone,     // the watched folder itself was deleted or moved away
  };
  EKind kind = eAdded;
  QString strName;  // the entry's name inside the folder; empty for eRescan and eGone

  bool operator==(const CFolderEvent&) const = default;
};

class CFolderWatch {
 public:
  using CEvents = std::vector<CFolderEvent>;
  using CCallback = std::function<void(const CEvents&)>;

  // Starts watching strDevicePath. A folder that cannot be opened is polled (and reported
  // gone when it stays missing).
  CFolderWatch(const QString& strDevicePath, CCallback callback);
  ~CFolderWatch();
  CFolderWatch(const CFolderWatch&) = delete;
  CFolderWatch& operator=(const CFolderWatch&) = delete;

  QString Path() const;
  // True when the host sends events for the folder; false while it is polled.
  bool Live() const;
  // True while the folder is (also) read again every few seconds.
  bool Polled() const;

  struct CImpl;

 private:
  std::unique_ptr<CImpl> impl_;
};

// Host knobs, for tests: the number of host watches the program may take (negative: as many
// as the host gives), and the polling interval in milliseconds (default 3000).
void SetFolderWatchLimit(int nLimit);
void SetFolderPollInterval(int nMs);

}  // namespace plat
