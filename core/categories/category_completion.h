#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace cheque {

class CategoryTree;

// What a typed category text stands for in a tree. A text that begins a
// full path is the user's own way down the tree and is kept; otherwise a
// text that begins the last level of exactly one category ("חשמל" for
// "משרד\חשמל") is that category, and one that begins several offers them.
struct CategoryCompletion {
  int node = -1;        // the node the tree shows; -1 when none fits
  QString path;         // the full path to write in place of the text; empty keeps it
  QStringList choices;  // full paths, when several categories fit
};
CategoryCompletion CompleteCategory(const CategoryTree& tree, QStringView typed);

}  // namespace cheque
