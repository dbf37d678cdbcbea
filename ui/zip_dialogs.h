#pragma once
// The options dialog of "Compress files" (title "ZIP", heading "Compress files"): the
// archive's folder and name, the mode (only "Add (and replace) files") and the compression
// level list, each choice carrying the level the archive is written with.

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;

class CDlg_Compress : public QDialog {
  Q_OBJECT

 public:
  // The proposed archive (device path) fills the folder and name fields; the level list
  // starts at "Maximum (portable)".
  explicit CDlg_Compress(const QString& strProposedArchive, QWidget* pParent = nullptr);

  // The archive the entries name: the folder joined with the name.
  QString ArchivePath() const;
  // The level of the chosen choice: 8, 6, 4, 3, 2 or 1.
  int Level() const;

  QLineEdit* FolderEdit() const { return folder_; }
  QLineEdit* NameEdit() const { return name_; }
  QComboBox* ModeList() const { return mode_; }
  QComboBox* LevelList() const { return level_; }

 public slots:
  // An empty folder or name keeps the dialog open; so does No to the question whether an
  // existing file of that name is to be replaced.
  void accept() override;

 private:
  QLineEdit* folder_ = nullptr;
  QLineEdit* name_ = nullptr;
  QComboBox* mode_ = nullptr;
  QComboBox* level_ = nullptr;
};
