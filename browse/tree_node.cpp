#include "browse/tree_node.h"

#include "core/path_helpers.h"

QString CTreeNode::FullPath() const {
  if (kind == eEntry_Folder) return path;
  if (kind == eEntry_File || kind == eEntry_Zip) return browse::AppendPathComponent(path, name);
  return {};
}

CTreeNode* CTreeNode::Adopt(std::unique_ptr<CTreeNode> child) {
  child->parent = this;
  child->row = static_cast<int>(children.size());
  children.push_back(std::move(child));
  return children.back().get();
}

void CTreeNode::Renumber() {
  for (size_t i = 0; i < children.size(); ++i) {
    children[i]->parent = this;
    children[i]->row = static_cast<int>(i);
  }
}
