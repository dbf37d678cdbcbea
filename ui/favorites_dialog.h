#pragma once
// "Organize favorites": the user's stored favorites in order, to rename, remove and move up
// or down. The defaults are not among them (they are never stored).

#include <QDialog>
#include <QVector>

#include "core/favorites.h"

class QListWidget;

class CDlg_Favorites : public QDialog {
  Q_OBJECT

 public:
  CDlg_Favorites(const QVector<CFavorite>& stored, QWidget* pParent = nullptr);
  const QVector<CFavorite>& Favorites() const { return favorites_; }
  QListWidget* List() const { return list_; }
  void Remove(int nRow);
  void Move(int nRow, int nBy);
  void Rename(int nRow, const QString& strName);

 private:
  void Fill(int nCurrent);

  QVector<CFavorite> favorites_;
  QListWidget* list_ = nullptr;
};

// Asks for a favorite's name (title nTitleText), *pstrName filled in; false when cancelled.
bool AskFavoriteName(QWidget* pParent, int nTitleText, QString* pstrName);
