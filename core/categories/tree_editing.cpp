#include "core/categories/tree_editing.h"

#include <utility>
#include <vector>

#include "core/files/line_file.h"
#include "core/files/program_folder.h"

namespace cheque {
namespace {

// The index after the last node under `node`; the end of the tree for -1.
int SubtreeEnd(const CategoryTree& tree, int node) {
  if (node < 0) return tree.Size();
  int end = node + 1;
  while (end < tree.Size() && tree.Node(end).level > tree.Node(node).level) ++end;
  return end;
}

// The tree without node `removed` (-1: none) and with `added` placed before
// the node that had index `at` (Size(): at the end).
CategoryTree Rebuilt(const CategoryTree& tree, int removed, int at, const CategoryNode* added) {
  CategoryTree result;
  for (int i = 0; i <= tree.Size(); ++i) {
    if (added != nullptr && i == at) result.Append(added->text, added->level);
    if (i < tree.Size() && i != removed) result.Append(tree.Node(i).text, tree.Node(i).level);
  }
  return result;
}

bool IsNode(const CategoryTree& tree, int node) { return node >= 0 && node < tree.Size(); }

}  // namespace

bool NormalizeTree(CategoryTree& tree) {
  if (!tree.HasChildren(0)) return false;
  std::vector<bool> stand_alone(static_cast<size_t>(tree.Size()), false);
  CategoryTree result;
  for (int i = tree.Size() - 1; i > 0; --i) {
    if (tree.Node(i).level == 1 && !tree.HasChildren(i)) {
      stand_alone[static_cast<size_t>(i)] = true;
      result.Append(tree.Node(i).text, 1);
    }
  }
  if (result.IsEmpty()) return false;
  for (int i = 0; i < tree.Size(); ++i) {
    if (!stand_alone[static_cast<size_t>(i)]) result.Append(tree.Node(i).text, tree.Node(i).level);
  }
  tree = std::move(result);
  return true;
}

int AddSubNode(CategoryTree& tree, int parent, const QString& text) {
  if ((parent != -1 && !IsNode(tree, parent)) || text.trimmed().isEmpty()) return -1;
  const int size = tree.Size();
  const int at = SubtreeEnd(tree, parent);
  const CategoryNode added{text, parent < 0 ? 1 : tree.Node(parent).level + 1};
  CategoryTree result = Rebuilt(tree, -1, at, &added);
  // A name that the file cannot hold comes back empty and is not added.
  if (result.Size() == size) return -1;
  tree = std::move(result);
  return at;
}

bool MoveCategory(CategoryTree& tree, int dragged, int target) {
  if (!IsNode(tree, dragged) || tree.HasChildren(dragged)) return false;
  if (target != -1 && !IsNode(tree, target)) return false;
  const int group = tree.HasChildren(target) ? target : tree.Parent(target);
  if (group == tree.Parent(dragged)) return false;
  const CategoryNode moved{tree.Node(dragged).text, group < 0 ? 1 : tree.Node(group).level + 1};
  tree = Rebuilt(tree, dragged, SubtreeEnd(tree, group), &moved);
  return true;
}

bool DeleteCategory(CategoryTree& tree, int node) {
  if (!IsNode(tree, node) || tree.HasChildren(node)) return false;
  tree = Rebuilt(tree, node, -1, nullptr);
  return true;
}

bool SaveTreeWithBackup(const CategoryTree& tree, const QString& file, const QString& backup) {
  // Copied, not renamed: the current file is never missing, and the copy
  // replaces the backup of the save before.
  if (const auto current = ReadFileBytes(file)) WriteFileAtomic(backup, *current);
  return tree.WriteFile(file);
}

bool RestoreTree(CategoryTree& tree, const QString& file) {
  CategoryTree loaded;
  if (!FileExists(file) || !loaded.ReadFile(file)) return false;
  tree = std::move(loaded);
  return true;
}

QString CategoryTreeBackupFile(bool business) {
  return ProgramFile(business ? QStringLiteral("BCateg.~da") : QStringLiteral("Categ.~da"));
}

QString CategoryTreeDefaultFile(bool business) {
  return ProgramFile(business ? file_names::kDefaultBusinessTree : file_names::kDefaultPrivateTree);
}

}  // namespace cheque
