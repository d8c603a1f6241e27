#pragma once

#include <QString>

#include "core/categories/category_tree.h"

namespace cheque {

// The private and business trees of the folder ("Categ.dat", "BCateg.dat")
// as one: every path once, in path order. A tree that is missing or cannot be
// read counts as empty. The result is kept in "Mrg.Tmp" in the folder, which
// is used while its file date equals both trees' dates.
CategoryTree MergedCategoryTree(const QString& folder);

// Whether MergedCategoryTree will use "Mrg.Tmp" as it stands (no merge to wait for).
bool MergedTreeCacheIsFresh(const QString& folder);

// The merge itself, without the cache.
CategoryTree MergeCategoryTrees(const CategoryTree& first, const CategoryTree& second);

// Path order: level by level, each level by character code, so a group sorts
// before any sibling whose name merely starts with the group's name.
bool PathLess(const QString& a, const QString& b);

}  // namespace cheque
