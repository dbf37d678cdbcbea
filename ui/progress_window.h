#pragma once
// The desktop's progress window: a modal dialog with the operation's caption, the file, from
// and to lines, one or two bars with their status lines, the time estimate and Cancel.
//
// The operation runs on the user-interface thread and reports after every chunk. The window
// turns those reports into at most one refresh of its widgets and one event pass per
// kRefreshIntervalMs, so that Cancel stays live without slowing a run of many small files
// by drawing. The event pass is what lets the Cancel button be pressed while the operation
// runs; the window is application-modal, so no other window takes input meanwhile.

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <memory>

#include "fileops/progress.h"
#include "fileops/progress_state.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The dialog. It shows what it is given; CDesktopProgressWindow decides when.
class CProgressDialog : public QDialog {
  Q_OBJECT

 public:
  CProgressDialog(fileops::EProgressKind kind, UINT uIcon1, QWidget* parent = nullptr);

  // Copies the window state into the widgets; dwNowTick dates the time estimate.
  void ShowState(const fileops::CProgressWindowBase& state, DWORD dwNowTick);

  QLabel* CaptionLabel() const { return caption_; }
  QLabel* FileLabel() const { return labels_[0]; }
  QLabel* FromLabel() const { return labels_[1]; }
  QLabel* ToLabel() const { return labels_[2]; }
  QLabel* FileText() const { return lines_[0]; }
  QLabel* FromText() const { return lines_[1]; }
  QLabel* ToText() const { return lines_[2]; }
  QProgressBar* Bar() const { return bar_; }
  QLabel* StatusLabel() const { return status_; }
  QProgressBar* ItemBar() const { return itemBar_; }      // null in a single-item window
  QLabel* ItemStatusLabel() const { return itemStatus_; }  // null in a single-item window
  QLabel* LeftLabel() const { return left_; }
  QLabel* PassedLabel() const { return passed_; }
  QLabel* TotalLabel() const { return total_; }
  QPushButton* CancelButton() const { return cancel_; }

 signals:
  void cancelRequested();

 protected:
  // Escape and the caption's close button ask to cancel; the operation closes the window.
  void reject() override;

 private:
  void SetupLines(class QGridLayout* pGrid);
  void SetupBars(class QVBoxLayout* pBox, fileops::EProgressKind kind);
  void SetLine(int nLine, const QString& strLabel, const QString& strText);

  QLabel* icon_ = nullptr;
  QLabel* caption_ = nullptr;
  QLabel* labels_[3] = {};
  QLabel* lines_[3] = {};
  QProgressBar* bar_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* itemBar_ = nullptr;
  QLabel* itemStatus_ = nullptr;
  QLabel* left_ = nullptr;
  QLabel* passed_ = nullptr;
  QLabel* total_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

// The progress window the operations get on the desktop. Called on the user-interface
// thread only.
class CDesktopProgressWindow : public fileops::CProgressWindowBase {
 public:
  static constexpr int kRefreshIntervalMs = 50;

  // The dialog is made by Show(), modal over pParent (the active window when null).
  CDesktopProgressWindow(fileops::EProgressKind kind, UINT uIcon1, UINT uIcon2,
                         QWidget* pParent = nullptr);
  ~CDesktopProgressWindow() override;

  // Null before Show() and after Close().
  CProgressDialog* Dialog() const { return dialog_; }
  // Event passes made so far (each one follows a refresh of the widgets).
  int EventPasses() const { return nEventPasses_; }

 protected:
  void OnChanged(fileops::EProgressChange change) override;

 private:
  void RefreshAndPump();

  UINT uIcon1_;
  QPointer<QWidget> parent_;
  QPointer<CProgressDialog> dialog_;
  QElapsedTimer sinceRefresh_;
  int nEventPasses_ = 0;
};

// The desktop front-end: installed by the desktop program at start.
class CDesktopProgressFactory : public fileops::IProgressFactory {
 public:
  std::unique_ptr<fileops::IProgressWindow> CreateProgressWindow(fileops::EProgressKind kind,
                                                                 UINT uIcon1,
                                                                 UINT uIcon2) override;
};
