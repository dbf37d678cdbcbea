#pragma once
// The search bar of the main frame: the search text, with the last texts searched for
// ("SimpleSearchString %d", at most ten, the latest first) in its drop-down, and one button
// that reads "Search", or "Stop" while a search runs. Enter or the button asks for a search
// of the text (searchRequested); the button of a running search, or Escape in the text, asks
// for its end (stopRequested).
//
// User-interface thread only.

#include <QWidget>

class QComboBox;
class QPushButton;

class CSearchBar : public QWidget {
  Q_OBJECT

 public:
  explicit CSearchBar(QWidget* pParent = nullptr);

  QString Text() const;
  void SetText(const QString& strText);
  // The button's face: Stop while a search runs, Search otherwise.
  void SetRunning(bool bRunning);
  bool IsRunning() const { return running_; }
  // Puts a searched text first in the remembered texts (the option set) and the drop-down.
  void Remember(const QString& strText);
  QComboBox* Edit() const { return edit_; }
  QPushButton* Button() const { return button_; }

 signals:
  void searchRequested(const QString& strText);
  void stopRequested();

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

 private:
  void FillDropDown();
  void OnButton();

  QComboBox* edit_ = nullptr;
  QPushButton* button_ = nullptr;
  bool running_ = false;
};
