#pragma once
// CListWorker: the background thread of one list panel. It computes what is too slow for the
// user-interface thread (the icons of the rows on screen, the total sizes of sub-folders) and
// hands each result back through a signal the panel connects with a blocking queued
// connection, so that the handler runs on the user-interface thread while the worker waits.
//
// Pending operations form a stack of 30 slots: the operation added last is taken first, and
// a 31st is dropped. The worker never reads the panel's entries: every operation carries a
// copy of the rows it concerns (row index and full path) and the listing generation it was
// made for; results name both, and an operation whose generation is no longer current is
// abandoned between rows.

#include <QString>
#include <QThread>
#include <QVector>

#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/wintypes.h"

class CListWorker : public QThread {
  Q_OBJECT

 public:
  enum EListOp : DWORD {
    eListOp_Icons = 1,        // icons of rows first..last
    eListOp_AllIcons = 2,     // icons of every row
    eListOp_FolderSizes = 3,  // total sizes of the folder rows
  };
  static constexpr int kMaxOperations = 30;

  // One row an operation works on, copied from the panel when the operation is added.
  struct CRowJob {
    int row = -1;
    QString fullPath;  // device path of the row's item
  };
  using CRowJobs = QVector<CRowJob>;

  // What an operation computes for one row. The defaults ask the icon manager and walk the
  // folder tree (platform/folder_totals.h); tests put their own in.
  struct CCalculators {
    std::function<int(const QString& strPath)> icon;
    // The total size below a folder; fnStop answers true when the result is no longer
    // wanted. False when the walk was stopped.
    std::function<bool(const QString& strFolder, quint64* puTotal,
                       const std::function<bool()>& fnStop)>
        folderSize;
  };
  static CCalculators DefaultCalculators();

  // Starts the thread at low priority (above idle); it sleeps until work is added.
  explicit CListWorker(QObject* pParent = nullptr);
  // RequestExit, then waits for the thread. A connected receiver on the waiting thread must
  // not be blocked on by a delivery at that moment (the panel drains its deliveries first).
  ~CListWorker() override;

  // Each takes the lock for its whole body. An Add returns false, and drops the operation,
  // when 30 are pending. A paused worker starts no operation; an operation already running
  // completes (unless its generation goes stale).
  bool AddIcons(int nFirst, int nLast, quint64 uGeneration, CRowJobs rows);
  bool AddAllIcons(quint64 uGeneration, CRowJobs rows);  // no caller in the program uses it
  bool AddFolderSizes(quint64 uGeneration, CRowJobs rows);
  void SetPaused(bool bPaused);
  bool IsPaused() const;
  void Clear();  // drops every pending operation
  void RequestExit();
  // Wakes the thread for the work added (the handheld resumed its suspended thread).
  void Resume();

  // The panel's listing generation; operations made for another one are abandoned.
  void SetCurrentGeneration(quint64 uGeneration);
  int PendingCount() const;
  // True while an operation is pending (and not paused) or running.
  bool IsBusy() const;
  void SetCalculators(const CCalculators& calculators);

 signals:
  void iconReady(quint64 uGeneration, int nRow, int nIcon);
  void folderSizeReady(quint64 uGeneration, int nRow, quint64 uSize);
  // After the last folder row of an operation 3 that ran to its end.
  void folderSizesDone(quint64 uGeneration);

 protected:
  void run() override;

 private:
  struct COperation {
    DWORD code = 0;
    int first = 0;
    int last = 0;
    quint64 generation = 0;
    CRowJobs rows;
  };

  bool Push(COperation op);
  void Perform(const COperation& op, const CCalculators& calculators);
  // The thread is ending, or the operation's listing is gone.
  bool IsStale(quint64 uGeneration) const;

  // Standard primitives rather than Qt's: the thread checker sees their waits.
  mutable std::mutex mutex_;
  std::condition_variable wake_;                   // signalled by every change below
  std::array<COperation, kMaxOperations> slots_;  // guarded by mutex_
  int count_ = 0;                                  // guarded by mutex_: pending, 0..30
  int next_ = 0;                                   // guarded by mutex_: slot of the next add
  bool paused_ = false;                            // guarded by mutex_
  bool running_ = false;                           // guarded by mutex_: an operation runs
  CCalculators calculators_;                       // guarded by mutex_
  // Read by the running operation between rows without the lock.
  std::atomic<bool> exit_{false};
  std::atomic<quint64> generation_{0};
};
