#pragma once
// A progress front-end for tests: records every window the operations create and every call
// made on it, and can press Cancel after a number of position updates. Constructing one
// installs it as the process's progress factory; destroying it puts the previous one back.
//
//   test::CScriptedProgress progress;
//   progress.CancelAfterPositionUpdates(3);
//   ... run the operation ...
//   ASSERT_EQ(progress.Windows().size(), 1u);
//   EXPECT_TRUE(progress.Windows()[0].bClosed);
//
// Records outlive the windows, which the operations own and destroy; the factory must outlive
// its windows.

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

#include "fileops/progress.h"
#include "fileops/progress_state.h"

namespace test {

// One call on a window: its name ("SetTitle", "SetPos", ...), the text it passed, and the
// numbers it passed (a range's minimum and maximum, a position or a delta in uA).
struct CProgressCall {
  QString strName;
  QString strText;
  quint64 uA = 0;
  quint64 uB = 0;
};

// One window: how it was created, its calls, and its state after the last call.
struct CProgressRecord {
  fileops::EProgressKind kind = fileops::eProgressSingle;
  UINT uIcon1 = 0;
  UINT uIcon2 = 0;
  std::vector<CProgressCall> calls;

  QString strTitle, strCaption;
  QString strFile, strFrom, strTo;
  QString strFileLabel, strFromLabel, strToLabel;
  QString strStatus, strItemStatus;
  fileops::CProgressBarState bar, itemBar;
  bool bShown = false;
  bool bClosed = false;
  bool bCancelShown = true;
  bool bCancelled = false;
  bool bDestroyed = false;

  // The texts passed to the calls named strName, in order ("SetStatus", "SetFileLine", ...).
  QStringList TextsOf(const QString& strName) const;
  // The calls named strName, in order.
  std::vector<CProgressCall> CallsOf(const QString& strName) const;
};

class CScriptedProgress : public fileops::IProgressFactory {
 public:
  CScriptedProgress();
  ~CScriptedProgress() override;
  CScriptedProgress(const CScriptedProgress&) = delete;
  CScriptedProgress& operator=(const CScriptedProgress&) = delete;

  // Sets the cancel flag of the window that receives the n-th position update (SetPos,
  // AdvancePos or SetItemPos), counted over all windows from now on. n = 0 creates every
  // later window already cancelled.
  void CancelAfterPositionUpdates(int n);

  const std::vector<CProgressRecord>& Windows() const { return records_; }
  // Position updates counted since the factory was made.
  int PositionUpdates() const { return nPositionUpdates_; }

  std::unique_ptr<fileops::IProgressWindow> CreateProgressWindow(fileops::EProgressKind kind,
                                                                 UINT uIcon1,
                                                                 UINT uIcon2) override;

 private:
  class CWindow;
  friend class CWindow;

  std::vector<CProgressRecord> records_;
  int nPositionUpdates_ = 0;
  std::optional<int> cancelAt_;  // the position update count that cancels
  fileops::CScopedProgressFactory install_;
};

}  // namespace test
