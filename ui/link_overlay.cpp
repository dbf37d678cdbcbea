#include "ui/link_overlay.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

CLinkOverlayDelegate::CLinkOverlayDelegate(int nLinkRole, QObject* pParent)
    : QStyledItemDelegate(pParent), linkRole_(nLinkRole) {}

QRect CLinkOverlayDelegate::OverlayRect(const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  if (!index.data(linkRole_).toBool()) return {};
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  if (!(item.features & QStyleOptionViewItem::HasDecoration)) return {};
  const QStyle* pStyle = item.widget ? item.widget->style() : QApplication::style();
  const QRect icon =
      pStyle->subElementRect(QStyle::SE_ItemViewItemDecoration, &item, item.widget);
  if (icon.isEmpty()) return {};
  // Half the icon's side, never below 7 pixels so that the arrow stays readable.
  const int nSide = qMax(7, qMin(icon.width(), icon.height()) / 2);
  return QRect(icon.left(), icon.bottom() - nSide + 1, nSide, nSide);
}

void CLinkOverlayDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QStyledItemDelegate::paint(pPainter, option, index);
  const QRect mark = OverlayRect(option, index);
  if (mark.isEmpty()) return;
  pPainter->save();
  pPainter->setRenderHint(QPainter::Antialiasing);
  // A white square with a dark frame, and in it a bent arrow pointing up and right.
  const QRectF box = QRectF(mark).adjusted(0.5, 0.5, -0.5, -0.5);
  pPainter->setPen(QPen(QColor(40, 40, 40), 1));
  pPainter->setBrush(Qt::white);
  pPainter->drawRect(box);
  const qreal s = box.width();
  const QPointF o = box.topLeft();
  QPainterPath arrow;
  arrow.moveTo(o + QPointF(s * 0.25, s * 0.80));
  arrow.quadTo(o + QPointF(s * 0.25, s * 0.35), o + QPointF(s * 0.70, s * 0.35));
  pPainter->setBrush(Qt::NoBrush);
  pPainter->setPen(QPen(QColor(20, 60, 160), qMax<qreal>(1.0, s / 8)));
  pPainter->drawPath(arrow);
  QPolygonF head;
  head << o + QPointF(s * 0.55, s * 0.15) << o + QPointF(s * 0.85, s * 0.35)
       << o + QPointF(s * 0.55, s * 0.55);
  pPainter->setBrush(QColor(20, 60, 160));
  pPainter->setPen(Qt::NoPen);
  pPainter->drawPolygon(head);
  pPainter->restore();
}
