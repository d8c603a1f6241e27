#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "core/categories/category_tree.h"
#include "core/categories/tree_editing.h"

using namespace cheque;

namespace {

// A tree in short form: nodes joined by "|", one "-" per level below the
// first ("A|-a|B" is group A with category a, then B on its own).
CategoryTree Tree(const std::string& outline) {
  CategoryTree tree;
  for (const QString& item : QString::fromStdString(outline).split(u'|', Qt::SkipEmptyParts)) {
    qsizetype dashes = 0;
    while (dashes < item.size() && item[dashes] == u'-') ++dashes;
    tree.Append(item.mid(dashes), static_cast<int>(dashes) + 1);
  }
  return tree;
}

std::string Outline(const CategoryTree& tree) {
  std::string out;
  for (const CategoryNode& node : tree.Nodes()) {
    if (!out.empty()) out += '|';
    out += std::string(static_cast<size_t>(node.level - 1), '-') + node.text.toStdString();
  }
  return out;
}

}  // namespace

TEST(TreeEditing, NormalizeMovesStandAloneCategoriesAboveTheGroups) {
  const std::pair<std::string, std::string> cases[] = {
      {"A|-a|B|C|-c|D", "D|B|A|-a|C|-c"},
      {"A|-a|--x|B|C", "C|B|A|-a|--x"},
      // Left as they are: first node on its own, no stand-alone node, empty.
      {"B|A|-a|D", "B|A|-a|D"},
      {"A|-a|C|-c", "A|-a|C|-c"},
      {"", ""},
  };
  for (const auto& [before, after] : cases) {
    CategoryTree tree = Tree(before);
    EXPECT_EQ(NormalizeTree(tree), before != after) << before;
    EXPECT_EQ(Outline(tree), after) << before;
    EXPECT_FALSE(NormalizeTree(tree)) << before;
    EXPECT_EQ(Outline(tree), after) << before;
  }
}

TEST(TreeEditing, MoveFollowsTheGroupTheTargetStandsFor) {
  // Indexes: 0 A, 1 a1, 2 a2, 3 C, 4 c1, 5 S.
  const std::string base = "A|-a1|-a2|C|-c1|S";
  struct Case {
    int dragged;
    int target;
    std::string after;  // empty: unchanged
  };
  const Case cases[] = {
      {1, 4, "A|-a2|C|-c1|-a1|S"},   // onto a category of another group
      {1, 3, "A|-a2|C|-c1|-a1|S"},   // onto another group
      {4, 1, "A|-a1|-a2|-c1|C|S"},   // the group left empty stays as a category
      {2, 1, ""},                    // same group
      {1, 0, ""},                    // own group
      {1, 1, ""},                    // itself
      {1, 5, "A|-a2|C|-c1|S|a1"},    // a stand-alone target stands for the top
      {1, -1, "A|-a2|C|-c1|S|a1"},   // below the last node
      {5, 3, "A|-a1|-a2|C|-c1|-S"},  // a stand-alone category into a group
      {5, 2, "A|-a1|-a2|-S|C|-c1"},
      {5, -1, ""},
      {0, 3, ""},  // groups are not dragged
      {7, 1, ""},
      {1, 7, ""},
  };
  for (const Case& c : cases) {
    CategoryTree tree = Tree(base);
    const std::string expected = c.after.empty() ? base : c.after;
    EXPECT_EQ(MoveCategory(tree, c.dragged, c.target), !c.after.empty())
        << c.dragged << " on " << c.target;
    EXPECT_EQ(Outline(tree), expected) << c.dragged << " on " << c.target;
  }
}

TEST(TreeEditing, AddPutsTheNameLastUnderItsNode) {
  struct Case {
    int parent;
    QString text;
    int index;
    std::string after;
  };
  const Case cases[] = {
      {0, QStringLiteral("חדש"), 2, "A|-a|-חדש|B"}, {2, QStringLiteral("n"), 3, "A|-a|B|-n"},
      {1, QStringLiteral("n"), 2, "A|-a|--n|B"},    {-1, QStringLiteral("n"), 3, "A|-a|B|n"},
      {0, QStringLiteral("  "), -1, "A|-a|B"},      {0, QStringLiteral("\t\t"), -1, "A|-a|B"},
      {3, QStringLiteral("n"), -1, "A|-a|B"},
  };
  for (const Case& c : cases) {
    CategoryTree tree = Tree("A|-a|B");
    EXPECT_EQ(AddSubNode(tree, c.parent, c.text), c.index) << c.after;
    EXPECT_EQ(Outline(tree), c.after);
  }
}

TEST(TreeEditing, DeleteRemovesOnlyCategories) {
  const std::pair<int, std::string> cases[] = {
      {1, "A|-a2|B"}, {3, "A|-a1|-a2"}, {0, ""}, {-1, ""}, {4, ""}};
  for (const auto& [node, after] : cases) {
    CategoryTree tree = Tree("A|-a1|-a2|B");
    EXPECT_EQ(DeleteCategory(tree, node), !after.empty()) << node;
    EXPECT_EQ(Outline(tree), after.empty() ? "A|-a1|-a2|B" : after) << node;
  }
}

TEST(TreeEditing, EachSaveKeepsTheTreeBeforeItAsBackup) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("Categ.dat"));
  const QString backup = dir.filePath(QStringLiteral("Categ.~da"));
  const auto read = [](const QString& path) {
    CategoryTree tree;
    return tree.ReadFile(path) ? Outline(tree) : std::string("missing");
  };

  // No file yet: nothing to back up.
  ASSERT_TRUE(SaveTreeWithBackup(Tree("X"), file, backup));
  EXPECT_EQ(read(backup), "missing");
  ASSERT_TRUE(SaveTreeWithBackup(Tree("A|-first"), file, backup));
  ASSERT_TRUE(SaveTreeWithBackup(Tree("A|-second"), file, backup));
  EXPECT_EQ(read(file), "A|-second");
  EXPECT_EQ(read(backup), "A|-first");

  // A file that cannot be written is reported and both files stay.
  const QString blocked = dir.filePath(QStringLiteral("no such folder/Categ.dat"));
  EXPECT_FALSE(SaveTreeWithBackup(Tree("B"), blocked, backup));
  EXPECT_EQ(read(backup), "A|-first");
  EXPECT_EQ(read(file), "A|-second");
}

TEST(TreeEditing, RestoreLoadsOnlyAFileThatIsThere) {
  QTemporaryDir dir;
  const QString present = dir.filePath(QStringLiteral("DCateg.dat"));
  ASSERT_TRUE(Tree("D|-d").WriteFile(present));
  const QString missing = dir.filePath(QStringLiteral("Categ.~da"));

  CategoryTree tree = Tree("A|-a");
  EXPECT_FALSE(RestoreTree(tree, missing));
  EXPECT_FALSE(RestoreTree(tree, dir.path()));  // a folder of that name
  EXPECT_EQ(Outline(tree), "A|-a");
  EXPECT_TRUE(RestoreTree(tree, present));
  EXPECT_EQ(Outline(tree), "D|-d");
}
