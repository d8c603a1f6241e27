#include "core/categories/category_completion.h"

#include <vector>

#include "core/categories/category_tree.h"
#include "core/text/text_compare.h"

namespace cheque {

CategoryCompletion CompleteCategory(const CategoryTree& tree, QStringView typed) {
  CategoryCompletion completion;
  if (typed.isEmpty()) return completion;
  completion.node = tree.FindPathPrefix(typed);
  if (completion.node >= 0) return completion;
  std::vector<int> fitting;
  for (int node = 0; node < tree.Size(); ++node) {
    const QString& name = tree.Node(node).text;
    if (name.size() >= typed.size() && TextEquals(QStringView(name).left(typed.size()), typed)) {
      fitting.push_back(node);
    }
  }
  if (fitting.empty()) return completion;
  completion.node = fitting.front();
  if (fitting.size() == 1) {
    completion.path = tree.FullPath(fitting.front());
    return completion;
  }
  for (const int node : fitting) completion.choices.append(tree.FullPath(node));
  return completion;
}

}  // namespace cheque
