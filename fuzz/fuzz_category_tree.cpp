// A category tree file: its levels stay consistent, it writes and reads back
// as itself, and every node is found by its own path.

#include <algorithm>

#include "core/categories/category_tree.h"
#include "core/text/text_compare.h"
#include "fuzz/support.h"

using cheque::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto tree = cheque::CategoryTree::FromBytes(cheque::fuzz::AsBytes(data, size));
  int above = 0;
  for (const cheque::CategoryNode& node : tree.Nodes()) {
    Check(node.level >= 1 && node.level <= above + 1, "a node lies deeper than its parent allows");
    Check(!node.text.isEmpty() && !node.text.startsWith(u'\t'), "a node text would not read back");
    above = node.level;
  }

  const QByteArray saved = tree.ToBytes();
  Check(cheque::CategoryTree::FromBytes(cheque::fuzz::AsBytes(saved)).ToBytes() == saved,
        "a saved category tree does not read back as itself");

  // Paths are built from the top each time, so only the first nodes are looked up.
  const int checked = std::min(tree.Size(), 64);
  for (int i = 0; i < checked; ++i) {
    tree.HasChildren(i);
    const QString path = tree.FullPath(i);
    const int found = tree.FindPath(path);
    Check(found >= 0 && found <= i && cheque::TextEquals(tree.FullPath(found), path),
          "a node is not found by its own path");
    const int prefix = tree.FindPathPrefix(path);
    Check(prefix >= 0 && prefix <= found, "a node's path is no prefix of itself");
  }
  return 0;
}
