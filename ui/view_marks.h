#pragma once
// How a view shows that its panel is the active one: a frame in the highlight colour around
// it, and its selection in the full highlight. A view of the other panel has a plain frame
// and draws its selection muted, so that one look tells which panel the keys go to.

class QAbstractItemView;

void MarkViewActive(QAbstractItemView* pView, bool bActive);
// Whether MarkViewActive last marked the view active.
bool IsViewMarkedActive(const QAbstractItemView* pView);
