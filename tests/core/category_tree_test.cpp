#include "core/categories/category_tree.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <string>
#include <tuple>
#include <utility>

#include "core/categories/category_completion.h"
#include "core/text/codec.h"

using namespace cheque;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

// Each node's level and full path: "1 a|2 a\b|".
std::string Outline(const CategoryTree& tree) {
  std::string out;
  for (int i = 0; i < tree.Size(); ++i) {
    out += std::to_string(tree.Node(i).level) + ' ' + S(tree.FullPath(i)) + '|';
  }
  return out;
}

}  // namespace

TEST(CategoryTree, FilesReadAndWriteBack) {
  for (const std::string& bytes :
       {std::string(),
        EncodeWin1255(u"מסים\r\n\tמע\"מ\r\n\t בי\"ל \r\n\tVAT\tx\r\nA\r\n\tb\r\n\t\tc\r\n")}) {
    EXPECT_EQ(CategoryTree::FromBytes(bytes).ToBytes().toStdString(), bytes);
  }
  const std::pair<std::string, std::string> odd_files[] = {
      // Every line end, blank and tab-only lines, Ctrl-Z, NUL.
      {"a\nb\rc\r\n\r\n\n\r\r\n\td", "1 a|1 b|1 c|2 c\\d|"},
      {"a\r\n\t\r\n\t\t\r\n\tb\r\n\x1A\tc\r\n", "1 a|2 a\\b|"},
      {std::string("a\0b\r\n", 5), std::string("1 a\0b|", 6)},
      // Deeper than the line above allows: one below it.
      {"\t\t\ta\r\n\t\t\t\t\tb\r\n\t\tc\r\nd\r\n", "1 a|2 a\\b|3 a\\b\\c|1 d|"},
  };
  for (const auto& [bytes, outline] : odd_files) {
    const CategoryTree tree = CategoryTree::FromBytes(bytes);
    EXPECT_EQ(Outline(tree), outline) << bytes;
    EXPECT_EQ(CategoryTree::FromBytes(tree.ToBytes().toStdString()), tree) << bytes;
  }
}

TEST(CategoryTree, StructureAndLookupIgnoringLatinCase) {
  const CategoryTree tree = CategoryTree::FromBytes(
      EncodeWin1255(u"Bank\r\n\tFees\r\n\t\tx\r\nבנק\r\n\tיתרה\r\nbank\r\n\tVisa Gold\r\n"));
  EXPECT_EQ(Outline(tree), S(QStringLiteral("1 Bank|2 Bank\\Fees|3 Bank\\Fees\\x|1 בנק|2 בנק\\יתרה|"
                                            "1 bank|2 bank\\Visa Gold|")));
  EXPECT_EQ(tree.Parent(2), 1);
  EXPECT_EQ(tree.Parent(4), 3);
  EXPECT_EQ(tree.Parent(5), -1);
  EXPECT_TRUE(tree.HasChildren(1));
  EXPECT_FALSE(tree.HasChildren(2));
  EXPECT_FALSE(tree.HasChildren(6));
  EXPECT_EQ(tree.FullPath(7), QString());
  const std::tuple<const char16_t*, int, int> cases[] = {
      // text, prefix match, equal match
      {u"", 0, -1},       {u"bank", 0, 0},      {u"BANK\\F", 1, -1}, {u"bank\\fees\\X", 2, 2},
      {u"בנק\\י", 4, -1}, {u"בנק\\יתרה", 4, 4}, {u"bank\\v", 6, -1}, {u"Bank\\", 1, -1},
      {u"ank", -1, -1}};
  for (const auto& [text, prefix, equal] : cases) {
    EXPECT_EQ(tree.FindPathPrefix(text), prefix) << S(QString::fromUtf16(text));
    EXPECT_EQ(tree.FindPath(text), equal) << S(QString::fromUtf16(text));
  }
  EXPECT_EQ(CategoryTree().FindPathPrefix(u""), -1);
}

TEST(CategoryCompletion, FullPathThenOneLastLevelThenSeveral) {
  const CategoryTree tree = CategoryTree::FromBytes(EncodeWin1255(
      u"משרד\r\n\tחשמל\r\n\tשכירות\r\nרכב\r\n\tביטוח\r\nבית\r\n\tביטוח\r\n\tחשבונות\r\n"));
  const struct {
    const char16_t* typed;
    int node;
    const char16_t* path;
    const char16_t* choices;
  } cases[] = {
      // A full path begins with it: the tree shows it, the text is the user's.
      {u"משרד\\ח", 1, u"", u""},
      {u"ב", 5, u"", u""},
      {u"חשבונות", 7, u"בית\\חשבונות", u""},
      // One category's own name, or its beginning: its full path.
      {u"חשמל", 1, u"משרד\\חשמל", u""},
      {u"שכ", 2, u"משרד\\שכירות", u""},
      // "חש" begins both "חשמל" and "חשבונות" as last levels, and no path.
      {u"חש", 1, u"", u"משרד\\חשמל|בית\\חשבונות"},
      {u"ביטוח", 4, u"", u"רכב\\ביטוח|בית\\ביטוח"},
      // Nothing fits: kept as typed.
      {u"גז", -1, u"", u""},
      {u"", -1, u"", u""},
  };
  for (const auto& c : cases) {
    const CategoryCompletion found = CompleteCategory(tree, c.typed);
    const std::string typed = S(QString::fromUtf16(c.typed));
    EXPECT_EQ(found.node, c.node) << typed;
    EXPECT_EQ(S(found.path), S(QString::fromUtf16(c.path))) << typed;
    EXPECT_EQ(S(found.choices.join(u'|')), S(QString::fromUtf16(c.choices))) << typed;
  }
}

TEST(CategoryTree, BuiltInTree) {
  const CategoryTree tree = CategoryTree::BuiltIn();
  EXPECT_EQ(tree.Size(), 42);
  for (const char16_t* path : {u"אשראי\\לייף סטייל", u"מסים\\מע\"מ", u"ספקים\\חו\"ל", u"יתרה",
                               u"כספומט/בנקט", u"רכב\\אחזקה", u"שכ\"ד"}) {
    EXPECT_GE(tree.FindPath(path), 0) << S(QString::fromUtf16(path));
  }
  EXPECT_EQ(tree.FindPath(u"בנק\\יתרה"), -1);
  EXPECT_EQ(tree.FindPath(u"רכב"), tree.Parent(tree.FindPath(u"רכב\\דלק")));
  EXPECT_EQ(CategoryTree::FromBytes(tree.ToBytes().toStdString()), tree);
}

TEST(CategoryTree, AppendKeepsWhatTheFileCanHold) {
  CategoryTree tree;
  for (const auto& [text, level] :
       {std::pair{u"a", 2}, {u"b", 5}, {u"c", 0}, {u"", 1}, {u"\t\td", 2}, {u"e\r\nf\x1A", 3}}) {
    tree.Append(QString::fromUtf16(text), level);
  }
  EXPECT_EQ(Outline(tree), "1 a|2 a\\b|1 c|2 c\\d|3 c\\d\\e  f |");
  EXPECT_EQ(CategoryTree::FromBytes(tree.ToBytes().toStdString()), tree);
}

TEST(CategoryTree, FilesOnDisk) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Categ.dat"));
  ASSERT_TRUE(CategoryTree::BuiltIn().WriteFile(path));
  CategoryTree read;
  ASSERT_TRUE(read.ReadFile(path));
  EXPECT_EQ(read, CategoryTree::BuiltIn());
  EXPECT_FALSE(read.ReadFile(dir.filePath(QStringLiteral("missing.dat"))));
  EXPECT_TRUE(read.IsEmpty());
  EXPECT_FALSE(CategoryTree::BuiltIn().WriteFile(dir.filePath(QStringLiteral("no/Categ.dat"))));
  // The installed defaults hold the bank-balance category.
  for (const char* name : {"DCateg.dat", "DCategB.dat"}) {
    ASSERT_TRUE(read.ReadFile(QDir(QStringLiteral(CHEQUE_ASSETS)).filePath(QLatin1String(name))));
    EXPECT_GE(read.FindPath(u"בנק\\יתרה"), 0) << name;
  }
}
