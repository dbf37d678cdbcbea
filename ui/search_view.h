#pragma once
// The fifth view of the main frame (layout 10): the results of the last search, a list of
// their own (collect/search_results.h) with a header line that names the search and a button
// that closes the view. The search runs on a thread of its own (collect/search_run.h); each
// batch of results is appended to the list as it arrives, and the status line counts the
// folders searched and the files found.
//
// User-interface thread only.

#include <QWidget>

#include <memory>

#include "browse/list_panel.h"

namespace collect {
class CSearchRun;
}
class CListView;
class QLabel;
class QPushButton;

class CSearchView : public QWidget, private IListPanelObserver {
  Q_OBJECT

 public:
  explicit CSearchView(QWidget* pParent = nullptr);
  ~CSearchView() override;

  CListPanel& List() { return *list_; }
  CListView* ListView() const { return view_; }

  // Starts a search of strText from strStartFolder; a search still running is stopped first
  // and its results replaced.
  void Start(const QString& strText, const QString& strStartFolder);
  // Asks the running search to end; its results so far stay.
  void Stop();
  bool IsRunning() const;

 signals:
  void runningChanged(bool bRunning);
  void statusTextChanged(const QString& strText);
  // A result was opened (a file to open, a folder to show).
  void openRequested(const QString& strFullPath);
  // A result could not be opened (dwError, a system error).
  void openRefused(const QString& strFullPath, DWORD dwError);
  void closeRequested();

 private:
  void OnPanelLocation(EPanelId, const CPanelLocation&) override {}
  void OnPanelStatusText(EPanelId, const QString& strText) override;
  void OnPanelOpenFile(EPanelId, const QString& strFullPath) override;
  void OnPanelRefused(EPanelId, const QString& strFullPath, DWORD dwError) override;

  std::unique_ptr<CListPanel> list_;
  CListView* view_ = nullptr;
  QLabel* title_ = nullptr;  // the counts of the search
  QPushButton* close_ = nullptr;
  std::unique_ptr<collect::CSearchRun> run_;
};
