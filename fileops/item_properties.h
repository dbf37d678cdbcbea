#pragma once
// What the properties dialog of a file or folder shows and changes: the item's name, type,
// location, size, times, attributes and, for a symbolic link, its target; the read-only and
// hidden bits set through the host's attribute calls; and a folder's total, counted on a
// thread of its own so that the dialog stays responsive while a large tree is walked.

#include <QObject>
#include <QString>

#include <atomic>

#include "platform/folder_totals.h"
#include "platform/wintypes.h"

class QThread;

namespace fileops {

struct CItemProperties {
  QString strPath;      // the device path
  QString strName;      // its last component ("\" for the device root)
  QString strLocation;  // the folder that holds it; empty for the device root
  QString strType;      // "File folder", "Storage Card", or the file type's description
  DWORD dwAttributes = 0;
  bool bFolder = false;
  bool bLink = false;
  QString strLinkTarget;  // a link's target as the host stores it
  quint64 uSize = 0;      // a file's size; a folder's only when bSizeKnown
  bool bSizeKnown = false;
  FILETIME creation{};
  FILETIME lastAccess{};
  FILETIME lastWrite{};
};

// Reads the item at strPath. uKnownFolderBytes, when not ~0, is a folder total the caller
// already has (the list worker's folder size), taken as the folder's size. 0, or the system
// error met (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED for a path outside the root, ...).
DWORD ReadItemProperties(const QString& strPath, CItemProperties* pProperties,
                         quint64 uKnownFolderBytes = ~quint64(0));

// The size line: "12.50 KB (12,800 bytes)", the byte count in the locale's digit groups.
QString SizeText(quint64 uBytes);
// The contents line of a folder, as the status line counts: "Folders: 2, Files: 3".
QString ContentsText(const CFolderTotals& totals);
// A time as the dialog shows it: the list's date and time; "N/A" for a zero time.
QString TimeText(const FILETIME& ft);

// Sets or clears read-only and hidden on the item, keeping its other bits. Only bits that
// change are written. 0, or the system error of the host's attribute call; the views hear of
// a change through the item's notification.
DWORD ApplyAttributes(const QString& strPath, bool bReadOnly, bool bHidden);

// Counts a folder's tree on a thread of its own (plat::ComputeFolderTotals). The result comes
// as the finished signal on the thread that made the task. Destroying the task stops the walk
// and waits for it; a result not yet delivered is dropped.
class CFolderTotalsTask : public QObject {
  Q_OBJECT

 public:
  explicit CFolderTotalsTask(const QString& strFolder, QObject* pParent = nullptr);
  ~CFolderTotalsTask() override;

  bool Finished() const { return finished_; }
  const CFolderTotals& Totals() const { return totals_; }
  bool Complete() const { return complete_; }

 signals:
  // bComplete is false when the folder could not be read or the walk was stopped.
  void finished(bool bComplete);

 private:
  std::atomic<bool> stop_{false};
  QThread* thread_ = nullptr;
  CFolderTotals totals_;
  bool complete_ = false;
  bool finished_ = false;
};

}  // namespace fileops
