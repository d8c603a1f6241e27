#include "core/categories/category_tree.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/text/codec.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

struct BuiltInGroup {
  const char16_t* name;
  std::initializer_list<const char16_t*> categories;
};

// The text as the file will give it back: a tab at the start would read as
// one more level, and a line break or Ctrl-Z is written as a blank.
QString AsStored(const QString& text) {
  qsizetype tabs = 0;
  while (tabs < text.size() && text[tabs] == u'\t') ++tabs;
  QString stored = text.mid(tabs);
  for (QChar& c : stored) {
    if (c == u'\r' || c == u'\n' || c == u'\x1A') c = u' ';
  }
  return stored;
}

// Calls `visit(index, path)` for each node in tree order until it returns true;
// each path is built once, from its parent's.
template <typename Visit>
int FirstPath(const std::vector<CategoryNode>& nodes, Visit visit) {
  std::vector<QString> paths;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const CategoryNode& node = nodes[i];
    paths.resize(static_cast<size_t>(node.level - 1));
    paths.push_back(paths.empty() ? node.text : paths.back() + u'\\' + node.text);
    if (visit(paths.back())) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

CategoryTree CategoryTree::BuiltIn() {
  static const BuiltInGroup kGroups[] = {
      {u"אשראי", {u"ישראכרד", u"ויזה", u"דיינרס", u"אמריקן אקספרס", u"לייף סטייל"}},
      {u"ביגוד", {u"הלבשה", u"הנעלה", u"לבנים"}},
      {u"ביטוחים", {u"רפואי", u"חיים", u"רכב", u"אחרים"}},
      {u"הוראות קבע", {}},
      {u"הלוואות", {}},
      {u"המחאות", {}},
      {u"יתרה", {}},
      {u"כספומט/בנקט", {}},
      {u"מזומן", {}},
      {u"מסים", {u"מס הכנסה", u"מע\"מ", u"בי\"ל"}},
      {u"משכורות", {}},
      {u"משרדיות", {u"כלי כתיבה", u"נקיון", u"כיבוד"}},
      {u"ספקים", {u"חו\"ל", u"ארץ", u"שונים"}},
      {u"קניות", {}},
      {u"רבית", {}},
      {u"רכב", {u"דלק", u"תיקונים", u"אחזקה"}},
      {u"שונות", {}},
      {u"שכ\"ד", {}},
  };
  CategoryTree tree;
  for (const BuiltInGroup& group : kGroups) {
    tree.nodes_.push_back({QString::fromUtf16(group.name), 1});
    for (const char16_t* category : group.categories) {
      tree.nodes_.push_back({QString::fromUtf16(category), 2});
    }
  }
  return tree;
}

CategoryTree CategoryTree::FromBytes(std::string_view bytes) {
  CategoryTree tree;
  LineReader reader(bytes);
  while (!reader.AtEnd()) {
    const std::string_view line = reader.Next();
    size_t tabs = 0;
    while (tabs < line.size() && line[tabs] == '\t') ++tabs;
    // A line of tabs alone names nothing; an empty node would also leave a
    // path ending in "\".
    if (tabs == line.size()) continue;
    const int deepest = tree.nodes_.empty() ? 1 : tree.nodes_.back().level + 1;
    const int level = tabs >= static_cast<size_t>(deepest) ? deepest : static_cast<int>(tabs) + 1;
    tree.nodes_.push_back({DecodeWin1255(line.substr(tabs)), level});
  }
  return tree;
}

QByteArray CategoryTree::ToBytes() const {
  std::string out;
  for (const CategoryNode& node : nodes_) {
    out.append(static_cast<size_t>(node.level - 1), '\t');
    AppendLine(node.text, out);
  }
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

bool CategoryTree::ReadFile(const QString& path) {
  nodes_.clear();
  const auto bytes = ReadFileBytes(path);
  if (!bytes) return false;
  *this = FromBytes(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));
  return true;
}

bool CategoryTree::WriteFile(const QString& path) const { return WriteFileAtomic(path, ToBytes()); }

bool CategoryTree::HasChildren(int index) const {
  if (index < 0 || index + 1 >= Size()) return false;
  return Node(index + 1).level > Node(index).level;
}

int CategoryTree::Parent(int index) const {
  if (index < 0 || index >= Size()) return -1;
  const int level = Node(index).level;
  for (int i = index - 1; i >= 0; --i) {
    if (Node(i).level < level) return i;
  }
  return -1;
}

QString CategoryTree::FullPath(int index) const {
  if (index < 0 || index >= Size()) return {};
  QString path = Node(index).text;
  for (int i = Parent(index); i >= 0; i = Parent(i)) path = Node(i).text + u'\\' + path;
  return path;
}

int CategoryTree::FindPathPrefix(QStringView text) const {
  return FirstPath(nodes_, [text](const QString& path) {
    return path.size() >= text.size() && TextEquals(QStringView(path).left(text.size()), text);
  });
}

int CategoryTree::FindPath(QStringView text) const {
  return FirstPath(nodes_, [text](const QString& path) { return TextEquals(path, text); });
}

void CategoryTree::Append(const QString& text, int level) {
  QString stored = AsStored(text);
  // A nameless node would not survive the file.
  if (stored.isEmpty()) return;
  const int deepest = nodes_.empty() ? 1 : nodes_.back().level + 1;
  nodes_.push_back({std::move(stored), level < 1 ? 1 : (level > deepest ? deepest : level)});
}

bool CategoryTree::operator==(const CategoryTree& other) const { return nodes_ == other.nodes_; }

bool operator==(const CategoryNode& a, const CategoryNode& b) {
  return a.level == b.level && a.text == b.text;
}

QString CategoryTreeFile(bool business) {
  return ProgramFile(business ? file_names::kBusinessTree : file_names::kPrivateTree);
}

}  // namespace cheque
