#include "ui/view_marks.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPalette>

namespace {

constexpr char kActiveProperty[] = "pinbroActivePanel";

QColor Mixed(const QColor& a, const QColor& b, double dShareOfA) {
  return QColor::fromRgbF(float(a.redF() * dShareOfA + b.redF() * (1 - dShareOfA)),
                          float(a.greenF() * dShareOfA + b.greenF() * (1 - dShareOfA)),
                          float(a.blueF() * dShareOfA + b.blueF() * (1 - dShareOfA)));
}

}  // namespace

void MarkViewActive(QAbstractItemView* pView, bool bActive) {
  if (!pView) return;
  const QVariant was = pView->property(kActiveProperty);
  if (was.isValid() && was.toBool() == bActive) return;
  pView->setProperty(kActiveProperty, bActive);
  // A plain box is drawn by the frame itself in the foreground colour, whatever the style.
  pView->setFrameShape(QFrame::Box);
  pView->setFrameShadow(QFrame::Plain);
  pView->setLineWidth(2);
  QPalette palette = QApplication::palette(pView);
  const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
  palette.setColor(QPalette::WindowText, bActive ? highlight : palette.color(QPalette::Mid));
  if (!bActive) {
    const QColor muted = Mixed(highlight, palette.color(QPalette::Base), 0.3);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      palette.setColor(group, QPalette::Highlight, muted);
      palette.setColor(group, QPalette::HighlightedText, palette.color(group, QPalette::Text));
    }
  }
  pView->setPalette(palette);
}

bool IsViewMarkedActive(const QAbstractItemView* pView) {
  return pView && pView->property(kActiveProperty).toBool();
}
