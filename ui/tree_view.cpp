#include "ui/tree_view.h"

#include <QHeaderView>

#include "browse/folder_tree.h"
#include "core/settings.h"
#include "core/settings_screen.h"

CFolderTreeView::CFolderTreeView(CFolderTree& tree, int nViewNumber, QWidget* pParent)
    : QTreeView(pParent), tree_(tree), viewNumber_(nViewNumber) {
  setModel(tree.Model());
  setSelectionModel(tree.SelectionModel());
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  ApplyOptions();
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

void CFolderTreeView::focusInEvent(QFocusEvent* pEvent) {
  QTreeView::focusInEvent(pEvent);
  emit viewFocused(viewNumber_);
}
