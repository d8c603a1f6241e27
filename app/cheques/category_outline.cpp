#include "app/cheques/category_outline.h"

#include "app/common/form_controls.h"

namespace cheque {

CategoryOutline::CategoryOutline(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setExpandsOnDoubleClick(false);
}

void CategoryOutline::Show(CategoryTree tree) {
  tree_ = std::move(tree);
  const QSignalBlocker quiet(this);
  items_ = FillCategoryView(*this, tree_);
  setCurrentItem(nullptr);
}

int CategoryOutline::CurrentNode() const {
  const QTreeWidgetItem* item = currentItem();
  return item != nullptr ? item->data(0, Qt::UserRole).toInt() : -1;
}

QString CategoryOutline::CurrentPath() const {
  const int node = CurrentNode();
  return node >= 0 ? tree_.FullPath(node) : QString();
}

void CategoryOutline::SelectNode(int node) {
  if (node < 0 || node >= tree_.Size()) {
    setCurrentItem(nullptr);
    return;
  }
  QTreeWidgetItem* item = items_[static_cast<size_t>(node)];
  setCurrentItem(item);
  scrollToItem(item);
}

}  // namespace cheque
