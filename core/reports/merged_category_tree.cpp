#include "core/reports/merged_category_tree.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "core/files/line_file.h"

namespace cheque {

namespace {

const QString kCacheName = QStringLiteral("Mrg.Tmp");

bool CacheIsFresh(const QString& cache, const QString& private_tree, const QString& business_tree) {
  const QFileInfo cache_info(cache);
  const QFileInfo private_info(private_tree);
  const QFileInfo business_info(business_tree);
  if (!cache_info.isFile() || !private_info.isFile() || !business_info.isFile()) return false;
  const QDateTime date = cache_info.lastModified();
  return date == private_info.lastModified() && date == business_info.lastModified();
}

void SetFileDate(const QString& path, const QDateTime& moment) {
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) file.setFileTime(moment, QFileDevice::FileModificationTime);
}

}  // namespace

bool PathLess(const QString& a, const QString& b) {
  const qsizetype size = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t x = a[i].unicode();
    const char16_t y = b[i].unicode();
    if (x == y) continue;
    if (x == u'\\') return true;
    if (y == u'\\') return false;
    return x < y;
  }
  return a.size() < b.size();
}

CategoryTree MergeCategoryTrees(const CategoryTree& first, const CategoryTree& second) {
  QStringList paths;
  paths.reserve(first.Size() + second.Size());
  for (const CategoryTree* tree : {&first, &second})
    for (int i = 0; i < tree->Size(); ++i) paths.append(tree->FullPath(i));
  std::sort(paths.begin(), paths.end(), PathLess);
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  CategoryTree merged;
  for (const QString& path : paths) {
    const qsizetype cut = path.lastIndexOf(u'\\');
    merged.Append(path.mid(cut + 1), static_cast<int>(path.count(u'\\')) + 1);
  }
  return merged;
}

bool MergedTreeCacheIsFresh(const QString& folder) {
  const QDir dir(folder);
  return CacheIsFresh(dir.filePath(kCacheName), dir.filePath(QStringLiteral("Categ.dat")),
                      dir.filePath(QStringLiteral("BCateg.dat")));
}

CategoryTree MergedCategoryTree(const QString& folder) {
  const QDir dir(folder);
  const QString cache = dir.filePath(kCacheName);
  const QString private_tree = dir.filePath(QStringLiteral("Categ.dat"));
  const QString business_tree = dir.filePath(QStringLiteral("BCateg.dat"));
  CategoryTree merged;
  if (CacheIsFresh(cache, private_tree, business_tree) && merged.ReadFile(cache)) return merged;
  CategoryTree first;
  CategoryTree second;
  first.ReadFile(private_tree);
  second.ReadFile(business_tree);
  merged = MergeCategoryTrees(first, second);
  if (merged.WriteFile(cache)) {
    // One moment on all three, so the cache holds until a tree file changes.
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString& path : {cache, private_tree, business_tree})
      if (FileExists(path)) SetFileDate(path, now);
  }
  return merged;
}

}  // namespace cheque
