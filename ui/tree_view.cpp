#include "ui/tree_view.h"

#include <QHeaderView>
#include <QPainter>

#include "browse/folder_tree.h"
#include "browse/folder_tree_model.h"
#include "core/settings.h"
#include "core/settings_screen.h"
#include "ui/link_overlay.h"

CFolderTreeView::CFolderTreeView(CFolderTree& tree, int nViewNumber, QWidget* pParent)
    : QTreeView(pParent), tree_(tree), viewNumber_(nViewNumber) {
  setModel(tree.Model());
  setSelectionModel(tree.SelectionModel());
  setItemDelegate(new CLinkOverlayDelegate(CFolderTreeModel::eRole_Link, this));
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  ApplyOptions();
  connect(this, &QTreeView::expanded, this, &CFolderTreeView::CollapseSiblings);
  connect(this, &QTreeView::expanded, &tree_, &CFolderTree::OnExpanded);
  connect(this, &QTreeView::collapsed, &tree_, &CFolderTree::OnCollapsed);
  connect(&tree_, &CFolderTree::expandRequested, this, [this](const QModelIndex& index) {
    expand(index);
  });
  connect(&tree_, &CFolderTree::currentNodeChanged, this, [this] {
    const QModelIndex current = tree_.Current();
    if (current.isValid()) scrollTo(current);
  });
}

void CFolderTreeView::ApplyOptions() {
  // The buttons of the top nodes are the lines at the root; without buttons no node has one.
  setRootIsDecorated(settings.MainTreeHasButtons != 0 && settings.MainTreeShowLinesAtRoot != 0);
  setStyleSheet(settings.MainTreeHasButtons != 0
                    ? QString()
                    : QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
  const DWORD dwBig = tree_.Panel() == ePanel_A ? settings.MainTreeBigIconsA : settings.MainTreeBigIconsB;
  // Pixel sizes double on a high-resolution screen, as every pixel constant of the program.
  const int nScale = IsHighResolutionScreen() ? 2 : 1;
  const int nSize = (dwBig != 0 ? 32 : 16) * nScale;
  setIconSize(QSize(nSize, nSize));
  setItemsExpandable(true);
  setAnimated(false);
}

void CFolderTreeView::CollapseSiblings(const QModelIndex& index) {
  if (settings.MainTreeSingleExpand != 1) return;
  const QModelIndex parent = index.parent();
  for (int nRow = 0; nRow < model()->rowCount(parent); ++nRow) {
    const QModelIndex sibling = model()->index(nRow, 0, parent);
    if (sibling != index && isExpanded(sibling)) collapse(sibling);
  }
}

void CFolderTreeView::drawBranches(QPainter* pPainter, const QRect& rect,
                                   const QModelIndex& index) const {
  if (settings.MainTreeHasLines != 0) {
    // A dotted line down each level that has more rows below, and an elbow to the row; the
    // top level has them only with MainTreeShowLinesAtRoot.
    pPainter->save();
    QPen pen(palette().color(QPalette::Mid));
    pen.setStyle(Qt::DotLine);
    pPainter->setPen(pen);
    const int nIndent = indentation();
    const bool bRootLines = settings.MainTreeShowLinesAtRoot != 0;
    const int nMidY = rect.top() + rect.height() / 2;
    int nLevel = 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) ++nLevel;
    const int nFirstLevel = bRootLines ? 0 : 1;
    // The elbow of the row itself.
    if (nLevel >= nFirstLevel && rect.width() >= nIndent) {
      const int nX = rect.right() - nIndent / 2;
      const bool bMoreBelow = index.sibling(index.row() + 1, 0).isValid();
      const bool bRootAbove = nLevel == 0 && index.row() == 0;
      pPainter->drawLine(nX, bRootAbove ? nMidY : rect.top(), nX, bMoreBelow ? rect.bottom() : nMidY);
      pPainter->drawLine(nX, nMidY, rect.right(), nMidY);
    }
    // The lines of the ancestors that have rows after them.
    int nX = rect.right() - nIndent / 2 - nIndent;
    int nAncestorLevel = nLevel - 1;
    for (QModelIndex up = index.parent(); up.isValid() && nX > rect.left();
         up = up.parent(), nX -= nIndent, --nAncestorLevel) {
      if (nAncestorLevel >= nFirstLevel && up.sibling(up.row() + 1, 0).isValid())
        pPainter->drawLine(nX, rect.top(), nX, rect.bottom());
    }
    pPainter->restore();
  }
  QTreeView::drawBranches(pPainter, rect, index);
}

void CFolderTreeView::focusInEvent(QFocusEvent* pEvent) {
  QTreeView::focusInEvent(pEvent);
  emit viewFocused(viewNumber_);
}
