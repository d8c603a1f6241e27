#include "core/categories/category_tree.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <utility>
#include <vector>

#include "core/text/codec.h"

using namespace cheque;

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }
std::string S(const QString& text) { return text.toStdString(); }
std::string W(const char16_t* text) { return EncodeWin1255(text); }

// Each node as its level and text, "|" after each: "1 a|2 b|".
std::string Outline(const CategoryTree& tree) {
  std::string out;
  for (const CategoryNode& node : tree.Nodes()) {
    out += std::to_string(node.level) + ' ' + S(node.text) + '|';
  }
  return out;
}

std::string Paths(const CategoryTree& tree) {
  std::string out;
  for (int i = 0; i < tree.Size(); ++i) out += S(tree.FullPath(i)) + '|';
  return out;
}

}  // namespace

TEST(CategoryTree, FileRoundTripIsByteIdentical) {
  const std::string files[] = {
      "",
      W(u"בנק\r\n\tיתרה\r\n\tעמלות\r\nשונות\r\n"),
      // Blanks inside and around a name, tabs inside it, quotes, Latin letters.
      W(u"מסים\r\n\tמע\"מ\r\n\t בי\"ל \r\n\tVAT\tx\r\nA\r\n\tb\r\n\t\tc\r\n\t\t\td\r\n\te\r\n"),
  };
  for (const std::string& bytes : files) {
    SCOPED_TRACE(bytes);
    const CategoryTree tree = CategoryTree::FromBytes(bytes);
    EXPECT_EQ(tree.ToBytes().toStdString(), bytes);
  }
  const QByteArray built_in = CategoryTree::BuiltIn().ToBytes();
  EXPECT_EQ(CategoryTree::FromBytes(built_in.toStdString()), CategoryTree::BuiltIn());
  EXPECT_TRUE(built_in.startsWith(QByteArray::fromStdString(W(u"אשראי\r\n\tישראכרד\r\n"))));
}

TEST(CategoryTree, OddFilesReadSafely) {
  const std::pair<std::string, std::string> cases[] = {
      // Line ends of every kind, blank lines, a last line without an end.
      {"a\nb\rc\r\n\r\n\n\r\r\n\td", "1 a|1 b|1 c|2 d|"},
      // Tabs alone name nothing.
      {"a\r\n\t\r\n\t\t\r\n\tb\r\n", "1 a|2 b|"},
      // Deeper than the line above allows: one below it.
      {"\t\t\ta\r\n\t\t\tb\r\n\t\t\t\t\tc\r\nd\r\n", "1 a|2 b|3 c|1 d|"},
      {"a\r\n\t\tb\r\n\t\tc\r\n\td\r\n", "1 a|2 b|3 c|2 d|"},
      // Ctrl-Z ends the file.
      {"a\r\n\tb\r\n\x1A\tc\r\n", "1 a|2 b|"},
      {"\x1A", ""},
      {std::string("a\0b\r\n", 5), std::string("1 a\0b|", 6)},
  };
  for (const auto& [bytes, outline] : cases) {
    SCOPED_TRACE(bytes);
    const CategoryTree tree = CategoryTree::FromBytes(bytes);
    EXPECT_EQ(Outline(tree), outline);
    // Whatever was read writes back as a file that reads the same.
    EXPECT_EQ(CategoryTree::FromBytes(tree.ToBytes().toStdString()), tree);
  }
}

TEST(CategoryTree, ParentsChildrenAndPaths) {
  const CategoryTree tree =
      CategoryTree::FromBytes("A\r\n\tb\r\n\t\tc\r\n\td\r\nE\r\nF\r\n\tg\r\n");
  EXPECT_EQ(Paths(tree), "A|A\\b|A\\b\\c|A\\d|E|F|F\\g|");
  const std::vector<int> parents = {-1, 0, 1, 0, -1, -1, 5};
  const std::vector<bool> groups = {true, true, false, false, false, true, false};
  for (int i = 0; i < tree.Size(); ++i) {
    EXPECT_EQ(tree.Parent(i), parents[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(tree.HasChildren(i), groups[static_cast<size_t>(i)]) << i;
  }
  for (int outside : {-1, tree.Size()}) {
    EXPECT_EQ(tree.Parent(outside), -1);
    EXPECT_FALSE(tree.HasChildren(outside));
    EXPECT_EQ(tree.FullPath(outside), QString());
  }
}

TEST(CategoryTree, LookupIgnoresTheCaseOfLatinLettersOnly) {
  const CategoryTree tree = CategoryTree::FromBytes(
      W(u"Bank\r\n\tFees\r\nבנק\r\n\tיתרה\r\nbank\r\n\tfees\r\n\tVisa Gold\r\n"));
  const std::pair<const char16_t*, int> prefix_cases[] = {{u"", 0},
                                                          {u"b", 0},
                                                          {u"BANK\\F", 1},
                                                          {u"bank\\fees", 1},
                                                          {u"בנק", 2},
                                                          {u"בנק\\י", 3},
                                                          {u"bank\\v", 6},
                                                          {u"BANK\\VISA G", 6},
                                                          {u"bank\\visa x", -1},
                                                          {u"בנק\\יתרה ", -1},
                                                          {u"Bank\\Fees\\x", -1},
                                                          {u"ank", -1}};
  for (const auto& [text, index] : prefix_cases) {
    EXPECT_EQ(tree.FindPathPrefix(text), index) << S(Q(text));
  }
  const std::pair<const char16_t*, int> path_cases[] = {
      {u"bank", 0},    {u"BANK\\FEES", 1}, {u"בנק\\יתרה", 3}, {u"בנק", 2},
      {u"Bank\\", -1}, {u"Bank\\Fee", -1}, {u"", -1},         {u"fees", -1}};
  for (const auto& [text, index] : path_cases) {
    EXPECT_EQ(tree.FindPath(text), index) << S(Q(text));
  }
  EXPECT_EQ(CategoryTree().FindPathPrefix(u""), -1);
  EXPECT_EQ(CategoryTree().FindPath(u"a"), -1);
}

TEST(CategoryTree, BuiltInTree) {
  const CategoryTree tree = CategoryTree::BuiltIn();
  EXPECT_EQ(tree.Size(), 42);
  const std::pair<const char16_t*, bool> paths[] = {
      {u"אשראי", true},        {u"אשראי\\ישראכרד", true}, {u"אשראי\\לייף סטייל", true},
      {u"ביטוחים\\רכב", true}, {u"מסים\\מע\"מ", true},    {u"מסים\\בי\"ל", true},
      {u"ספקים\\חו\"ל", true}, {u"יתרה", true},           {u"כספומט/בנקט", true},
      {u"רכב\\אחזקה", true},   {u"שכ\"ד", true},          {u"בנק\\יתרה", false},
      {u"בנק", false},         {u"רכב\\ביטוח", false},    {u"הלוואות\\משכנתא", false}};
  for (const auto& [path, found] : paths) {
    EXPECT_EQ(tree.FindPath(path) >= 0, found) << S(Q(path));
  }
  // Groups and stand-alone categories in the order given, no deeper levels.
  EXPECT_EQ(S(tree.FullPath(0)), S(Q(u"אשראי")));
  EXPECT_EQ(S(tree.FullPath(tree.Size() - 1)), S(Q(u"שכ\"ד")));
  for (const CategoryNode& node : tree.Nodes()) EXPECT_LE(node.level, 2);
  EXPECT_FALSE(tree.HasChildren(tree.FindPath(u"יתרה")));
  EXPECT_TRUE(tree.HasChildren(tree.FindPath(u"רכב")));
}

TEST(CategoryTree, AppendKeepsLevelsThatTheFileCanHold) {
  CategoryTree tree;
  const std::pair<const char16_t*, int> appended[] = {
      {u"a", 2}, {u"b", 5}, {u"c", 0}, {u"", 1}, {u"\t\td", 2}, {u"e\r\nf\x1A", 3}, {u"\t", 1}};
  for (const auto& [text, level] : appended) tree.Append(Q(text), level);
  EXPECT_EQ(Outline(tree), "1 a|2 b|1 c|2 d|3 e  f |");
  EXPECT_EQ(CategoryTree::FromBytes(tree.ToBytes().toStdString()), tree);
  tree.Clear();
  EXPECT_TRUE(tree.IsEmpty());
}

TEST(CategoryTree, FilesOnDisk) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("Categ.dat"));
  CategoryTree tree = CategoryTree::BuiltIn();
  ASSERT_TRUE(tree.WriteFile(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), tree.ToBytes());
  CategoryTree read;
  ASSERT_TRUE(read.ReadFile(path));
  EXPECT_EQ(read, tree);
  // A file that cannot be read leaves the tree empty.
  EXPECT_FALSE(read.ReadFile(dir.filePath(QStringLiteral("missing.dat"))));
  EXPECT_TRUE(read.IsEmpty());
  EXPECT_FALSE(tree.WriteFile(dir.filePath(QStringLiteral("no/such/folder/Categ.dat"))));
}

TEST(CategoryTree, InstalledDefaultTreesHoldTheBankBalance) {
  for (const char* name : {"DCateg.dat", "DCategB.dat"}) {
    SCOPED_TRACE(name);
    CategoryTree tree;
    ASSERT_TRUE(
        tree.ReadFile(QDir(QStringLiteral(CHEQUE_ASSETS)).filePath(QString::fromLatin1(name))));
    EXPECT_GT(tree.Size(), 10);
    const int bank_balance = tree.FindPath(u"בנק\\יתרה");
    ASSERT_GE(bank_balance, 0);
    EXPECT_FALSE(tree.HasChildren(bank_balance));
  }
}
