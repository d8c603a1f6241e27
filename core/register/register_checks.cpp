#include "core/register/register_checks.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/categories/category_tree.h"
#include "core/register/register.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

std::string AsciiLower(std::string_view bytes) {
  std::string lower(bytes);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

int SearchFieldColumn(int field) {
  static constexpr int kColumns[kSearchFieldCount] = {kDescriptionColumn, kExpenseColumn,
                                                      kIncomeColumn, kTypeColumn, kDateColumn};
  return kColumns[field];
}

SearchMatch FindNextMatch(const Register& reg, int start_row, const SearchTexts& fields) {
  struct Needle {
    std::string bytes;
    int column;
  };
  std::vector<Needle> needles;
  for (int field = 0; field < kSearchFieldCount; ++field) {
    if (fields[field].isEmpty() || !CanEncodeWin1255(fields[field])) continue;
    needles.push_back({EncodeWin1255(fields[field]), SearchFieldColumn(field)});
  }
  if (needles.empty()) return {};
  for (int row = std::max(0, start_row); row < reg.RowCount(); ++row) {
    SearchMatch match;
    for (const Needle& needle : needles) {
      if (TextContains(needle.bytes, reg.RawCell(row, needle.column))) {
        match = {row, needle.column};
      }
    }
    if (match.row >= 0) return match;
  }
  return {};
}

int NextUnknownCategoryRow(const Register& reg, const CategoryTree& tree, int from_row,
                           const std::function<bool(int row)>& tick) {
  // The paths once, so a row costs one lookup rather than a pass over the tree.
  std::unordered_set<std::string> paths;
  for (int i = 0; i < tree.Size(); ++i) {
    const QString path = tree.FullPath(i);
    if (CanEncodeWin1255(path)) paths.insert(AsciiLower(EncodeWin1255(path)));
  }
  for (int row = std::max(0, from_row); row < reg.RowCount() - 1; ++row) {
    if (row % 20 == 0 && tick && tick(row)) return -1;
    if (!paths.contains(AsciiLower(reg.RawCell(row, kCategoryColumn)))) return row;
  }
  return -1;
}

bool CallsForBankBalanceReminder(const Register& reg, QDate today) {
  const int rows = reg.RowCount();
  if (rows < 11 || reg.LastBankBalanceRow() > 1) return false;
  const qint64 first = CellDayNumber(reg.RawCell(0, kDateColumn), today);
  const qint64 last = CellDayNumber(reg.RawCell(rows - 2, kDateColumn), today);
  return last - first > 31;
}

}  // namespace cheque
