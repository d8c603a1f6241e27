#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <string_view>
#include <vector>

namespace cheque {

// One line of a category tree: level 1 is a group or a stand-alone category,
// level 2 a category inside the group above it (deeper levels are kept too).
struct CategoryNode {
  QString text;
  int level = 1;
};

// A tree of groups and categories in tree order. A category is named by its
// path: the node texts from the top down joined by "\".
class CategoryTree {
 public:
  CategoryTree() = default;

  // The tree the dialogs carry until a file is loaded.
  static CategoryTree BuiltIn();

  // The file form: Windows-1255, one node per line, one TAB per level below
  // the first, CR LF (LF, CR and a Ctrl-Z end of file are read too). Empty
  // lines are skipped; a line deeper than the line above plus one is taken
  // one level below that line.
  static CategoryTree FromBytes(std::string_view bytes);
  QByteArray ToBytes() const;
  // False, leaving the tree empty, when the file cannot be read.
  bool ReadFile(const QString& path);
  // Atomic; false when the file could not be written.
  bool WriteFile(const QString& path) const;

  int Size() const { return static_cast<int>(nodes_.size()); }
  bool IsEmpty() const { return nodes_.empty(); }
  const CategoryNode& Node(int index) const { return nodes_[static_cast<size_t>(index)]; }
  const std::vector<CategoryNode>& Nodes() const { return nodes_; }

  bool HasChildren(int index) const;  // a group
  int Parent(int index) const;        // -1 for a level-1 node
  QString FullPath(int index) const;

  // The first node whose full path starts with `text`, ASCII letter case
  // ignored; -1 when none does (an empty text matches the first node).
  int FindPathPrefix(QStringView text) const;
  // The first node whose full path equals `text`, ASCII letter case ignored; -1.
  int FindPath(QStringView text) const;

  // Editing in tree order; each keeps the levels consistent.
  void Append(const QString& text, int level);
  void Clear() { nodes_.clear(); }

  bool operator==(const CategoryTree& other) const;

 private:
  std::vector<CategoryNode> nodes_;
};

bool operator==(const CategoryNode& a, const CategoryNode& b);

// The tree file of an account's kind: "BCateg.dat" or "Categ.dat", in the
// program folder.
QString CategoryTreeFile(bool business);

}  // namespace cheque
