#pragma once
// The folder tree of one panel on screen: a QTreeView over the panel's CFolderTree, which
// fills a node when the user opens it, empties a folder node when it is closed, and scrolls to
// the selected node. It tells the frame when it takes the focus, so the frame knows the
// active view.

#include <QTreeView>

class CFolderTree;

class CFolderTreeView : public QTreeView {
  Q_OBJECT

 public:
  CFolderTreeView(CFolderTree& tree, int nViewNumber, QWidget* pParent = nullptr);

  CFolderTree& Tree() { return tree_; }
  int ViewNumber() const { return viewNumber_; }
  // Applies the tree options (buttons, lines).
  void ApplyOptions();

 signals:
  void viewFocused(int nViewNumber);

 protected:
  void focusInEvent(QFocusEvent* pEvent) override;
  // The hierarchy's lines (MainTreeHasLines), under the style's expand buttons.
  void drawBranches(QPainter* pPainter, const QRect& rect, const QModelIndex& index) const override;

 private:
  // MainTreeSingleExpand: opening a node closes its open siblings.
  void CollapseSiblings(const QModelIndex& index);

  CFolderTree& tree_;
  int viewNumber_;
};
