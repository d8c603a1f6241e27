#pragma once

#include <QTreeWidget>
#include <vector>

#include "core/categories/category_tree.h"

namespace cheque {

// A category tree shown fully expanded, each item knowing its node.
class CategoryOutline : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CategoryOutline(QWidget* parent = nullptr);

  void Show(CategoryTree tree);
  const CategoryTree& Tree() const { return tree_; }

  // The node of the current item, or -1.
  int CurrentNode() const;
  QString CurrentPath() const;
  // The node's item becomes current, scrolled into view; -1 clears it.
  void SelectNode(int node);

 private:
  CategoryTree tree_;
  std::vector<QTreeWidgetItem*> items_;  // by node
};

}  // namespace cheque
