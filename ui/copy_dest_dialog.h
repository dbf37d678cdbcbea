#pragma once
// The small dialog of F5 and F6: how many items go, and the folder they go to (proposed: the
// other panel's folder), which can be edited with completion of the folders on the way. Enter
// starts the copy or move, Escape cancels it. A folder that does not exist keeps the dialog
// open.

#include <QDialog>
#include <QString>

class QCompleter;
class QLabel;
class QLineEdit;
class QStringListModel;

class CDlg_CopyDest : public QDialog {
  Q_OBJECT

 public:
  CDlg_CopyDest(bool bMove, int nItems, const QString& strProposed, QWidget* pParent = nullptr);

  // The chosen folder in the device root's canonical form; empty before a valid accept.
  QString Folder() const { return folder_; }
  QLineEdit* FolderEdit() const { return edit_; }
  QLabel* CountLabel() const { return count_; }
  // The folders the completer proposes for the text now in the field.
  QStringList Proposals() const;

 public slots:
  void accept() override;

 private:
  // The sub-folders of the folder the typed text lies in, for the completer.
  void UpdateProposals(const QString& strText);

  QLabel* count_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QCompleter* completer_ = nullptr;
  QStringListModel* proposals_ = nullptr;
  QString listedFolder_;  // the folder whose sub-folders the completer holds
  QString folder_;
};
