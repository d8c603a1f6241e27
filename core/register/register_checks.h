#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <functional>

namespace cheque {

class CategoryTree;
class Register;

// The search window's fields, in the order that decides which column a match
// selects: description, expense, income, type and reference, date.
inline constexpr int kSearchFieldCount = 5;
using SearchTexts = std::array<QString, kSearchFieldCount>;
int SearchFieldColumn(int field);

struct SearchMatch {
  int row = -1;     // -1: nothing found
  int column = -1;  // the column of the last field that matched
};

// The first row from `start_row` on in which any non-empty field is contained
// in its column (ASCII letter case ignored). Text the code page cannot hold
// is in no row.
SearchMatch FindNextMatch(const Register& reg, int start_row, const SearchTexts& fields);

// The category check's walk: the first transaction row from `from_row` on
// whose category is the path of no node of the tree, groups included (ASCII
// letter case ignored); -1 when none is left. `tick` is called at every
// twentieth row (0, 20, 40, ...) and stops the walk, with -1, when it
// returns true.
int NextUnknownCategoryRow(const Register& reg, const CategoryTree& tree, int from_row,
                           const std::function<bool(int row)>& tick = {});

// After a date sort: a register of 11 rows or more (the empty last row
// counted) with no real bank balance after row 1, whose last transaction lies
// more than 31 days after row 0, calls for the monthly bank-balance reminder.
bool CallsForBankBalanceReminder(const Register& reg, QDate today);

}  // namespace cheque
