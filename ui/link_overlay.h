#pragma once
// The mark of a symbolic link on a row's icon: a small arrow in the icon's lower left corner,
// drawn over whatever the view draws, for the rows whose model says they are links (a bool in
// the role the delegate is given). Lists and trees use it alike; nothing here knows what kind
// of place a row belongs to.

#include <QStyledItemDelegate>

class CLinkOverlayDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  CLinkOverlayDelegate(int nLinkRole, QObject* pParent);

  void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

  // Where the mark of a row goes: the lower left part of its icon, or an empty rectangle when
  // the row is no link or has no icon there. Tests ask it.
  QRect OverlayRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

 private:
  int linkRole_;
};
