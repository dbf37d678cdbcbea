#pragma once
// The state every progress window keeps: texts, labels, the two bars with the tick at which
// their ranges were set, and the cancel flag. Front-ends derive from it and draw from the
// state in OnChanged(); a front-end that shows nothing need not override anything.

#include <QString>

#include "fileops/progress.h"
#include "fileops/progress_estimate.h"

namespace fileops {

struct CProgressBarState {
  quint64 uMin = 0;
  quint64 uMax = 0;
  quint64 uPos = 0;
  DWORD dwStartTick = 0;  // when the range was last set
};

enum EProgressChange : int {
  eProgressChangeTexts = 1,   // title, caption, lines, labels, status texts, Cancel shown
  eProgressChangeBar = 2,     // a range or a position
  eProgressChangeShown = 3,   // Show() was called
  eProgressChangeClosed = 4,  // Close() was called
};

class CProgressWindowBase : public IProgressWindow {
 public:
  explicit CProgressWindowBase(EProgressKind kind);
  ~CProgressWindowBase() override = default;

  EProgressKind Kind() const override { return kind_; }
  void Show() override;
  void Close() override;

  void SetTitle(const QString& strTitle) override;
  void SetCaption(const QString& strCaption) override;
  void SetFileLine(const QString& strFile) override;
  void SetFromLine(const QString& strFrom) override;
  void SetToLine(const QString& strTo) override;
  void SetLineLabels(const QString& strFileLabel, const QString& strFromLabel,
                     const QString& strToLabel) override;

  void SetRange(quint64 uMin, quint64 uMax) override;
  void SetPos(quint64 uPos) override;
  void AdvancePos(quint64 uDelta) override;
  void SetStatus(const QString& strStatus) override;

  void SetItemRange(quint64 uMin, quint64 uMax) override;
  void SetItemPos(quint64 uPos) override;
  void SetItemStatus(const QString& strStatus) override;
  void SetFileCounts(quint64 uDone, quint64 uTotal) override;

  void ShowCancel(bool bShow) override;
  bool IsCancelled() const override { return bCancelled_; }

  // Sets the cancel flag (the Cancel button, Ctrl+C, a script). It stays set.
  void RequestCancel() { bCancelled_ = true; }

  bool IsShown() const { return bShown_; }
  bool IsClosed() const { return bClosed_; }
  const QString& Title() const { return strTitle_; }
  const QString& Caption() const { return strCaption_; }
  const QString& FileLine() const { return strFile_; }
  const QString& FromLine() const { return strFrom_; }
  const QString& ToLine() const { return strTo_; }
  const QString& FileLabel() const { return strFileLabel_; }
  const QString& FromLabel() const { return strFromLabel_; }
  const QString& ToLabel() const { return strToLabel_; }
  const QString& Status() const { return strStatus_; }
  const QString& ItemStatus() const { return strItemStatus_; }
  bool IsCancelShown() const { return bCancelShown_; }
  const CProgressBarState& Bar() const { return bar_; }
  const CProgressBarState& ItemBar() const { return itemBar_; }

  // The main bar's estimate at the tick dwNowTick (by bytes and files once the run says how
  // many files it has: CRunEstimate).
  CTimeEstimate Estimate(DWORD dwNowTick) const;

 protected:
  // The clock of the bars and the estimate.
  virtual DWORD Tick() const;
  // Called after every change of state; the front-end draws from here.
  virtual void OnChanged(EProgressChange /*change*/) {}

 private:
  EProgressKind kind_;
  bool bShown_ = false;
  bool bClosed_ = false;
  bool bCancelled_ = false;
  bool bCancelShown_ = true;
  QString strTitle_;
  QString strCaption_;
  QString strFile_;
  QString strFrom_;
  QString strTo_;
  QString strFileLabel_;
  QString strFromLabel_;
  QString strToLabel_;
  QString strStatus_;
  QString strItemStatus_;
  CProgressBarState bar_;
  CProgressBarState itemBar_;
  CRunEstimate run_;
};

}  // namespace fileops
