// The income/expense report: sums per marked category and account, the
// income half above the expense half, with group sub-totals, shares or the
// change against a comparison period, and the total rows.

#include <unordered_map>

#include "core/reports/report_engine.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {

using namespace report_detail;

namespace {

struct Sums {
  double main_income = 0;
  double compare_income = 0;
  double main_expense = 0;
  double compare_expense = 0;
};

struct Period {
  qint64 from = 1;
  qint64 to = 0;  // empty until set
  Period() = default;
  Period(QDate start, QDate end) {
    if (start.isValid() && end.isValid()) {
      from = DayNumber(start);
      to = DayNumber(end);
    }
  }
  bool Contains(qint64 day) const { return day >= from && day <= to; }
};

class Cells {
 public:
  explicit Cells(ReportTable& table) : table_(table) {}
  double Get(int row, int column) const {
    return ParseAmount(QStringView(table_.Cell(row, column)));
  }
  void Set(int row, int column, double value) { table_.SetCell(row, column, FormatAmount(value)); }
  bool IsZeroText(int row, int column) const { return table_.Cell(row, column) == u"0"; }
  int Level(int row) const { return LabelLevel(table_.Cell(row, 7)); }
  void ClearIfZero(int row, int column) {
    if (IsZeroText(row, column)) table_.SetCell(row, column, QString());
  }

 private:
  ReportTable& table_;
};

// The rows of one account's categories, filled from its register in one pass.
void CollectAccount(const Register& reg, const std::unordered_map<std::string, int>& row_of,
                    const TypeFilter& types, const ReportSettings& settings, QDate today,
                    std::vector<Sums>& sums) {
  const Period main(settings.from, settings.to);
  const Period compare =
      settings.comparison ? Period(settings.compare_from, settings.compare_to) : Period();
  const bool count_income = settings.flow != FlowFilter::kExpensesOnly;
  const bool count_expense = settings.flow != FlowFilter::kIncomeOnly;
  const qint64 today_day = DayNumber(today);
  std::string key;
  for (int row = 0; row < reg.RowCount() - 1; ++row) {
    const std::string_view category = reg.RawCell(row, kCategoryColumn);
    key.assign(category);
    for (char& c : key) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    const auto found = row_of.find(key);
    if (found == row_of.end() || IsBankBalanceRow(category)) continue;
    if (!types.Passes(reg.RawCell(row, kTypeColumn))) continue;
    const qint64 day = RowDay(reg.RawCell(row, kDateColumn), today_day, today);
    const bool in_main = main.Contains(day);
    const bool in_compare = compare.Contains(day);
    if (!in_main && !in_compare) continue;
    Sums& sum = sums[static_cast<size_t>(found->second)];
    if (count_income && !reg.CellIsEmpty(row, kIncomeColumn)) {
      const double income = ParseAmount(reg.RawCell(row, kIncomeColumn));
      if (in_main) sum.main_income += income;
      if (in_compare) sum.compare_income += income;
    }
    if (count_expense && !reg.CellIsEmpty(row, kExpenseColumn)) {
      const double expense = ParseAmount(reg.RawCell(row, kExpenseColumn));
      if (in_main) sum.main_expense += expense;
      if (in_compare) sum.compare_expense += expense;
    }
  }
}

// Deletes category rows with nothing to show, children first, and numbers
// each half again from 1.
void RemoveEmptyReportRows(ReportTable& table) {
  Cells cells(table);
  for (int row = table.RowCount() - 1; row >= 1; --row) {
    const int split = table.income_split_row;
    if (row == split || row == split + 1) continue;
    bool keep = false;
    for (const int column : {3, 4, 5, 6}) {
      const QString text = table.Cell(row, column);
      if (!text.isEmpty() && text != u"0") keep = true;
    }
    if (!keep && row < table.RowCount() - 1 && cells.Level(row) < cells.Level(row + 1)) {
      keep = true;
    }
    if (keep) continue;
    table.RemoveRow(row);
    if (row < split) --table.income_split_row;
  }
  int number = 0;
  for (int row = 1; row < table.RowCount(); ++row) {
    if (row == table.income_split_row || row == table.income_split_row + 1) {
      number = 0;
      continue;
    }
    table.SetCell(row, 8, QString::number(++number));
  }
}

// The change from the comparison amount (column 4) to the main one (column 6).
// Only a comparison amount of 0 leaves nothing to measure against: a main
// amount that fell to 0 changed by -100.
void SetChange(Cells& cells, int row) {
  if (!cells.IsZeroText(row, 4) && cells.Get(row, 4) != 0) {
    cells.Set(row, 0, cells.Get(row, 6) / cells.Get(row, 4) * 100 - 100);
  }
}

void AddPercentages(ReportTable& table, bool comparison) {
  Cells cells(table);
  const int split = table.income_split_row;
  const int count = table.RowCount();
  auto is_category_row = [&](int row) { return row >= 1 && row != split && row != split + 1; };
  // Each top-level row takes the sums of the rows of its group.
  for (int top = 1; top < count; ++top) {
    if (!is_category_row(top) || cells.Level(top) != 0) continue;
    double main = cells.Get(top, 6);
    double compare = cells.Get(top, 4);
    int end = top + 1;
    for (; end < count && cells.Level(end) != 0; ++end) {
      main += cells.Get(end, 6);
      compare += cells.Get(end, 4);
    }
    cells.Set(top, 6, main);
    if (comparison) cells.Set(top, 4, compare);
    if (comparison) continue;
    // The share of each row in its group.
    const double group = cells.Get(top, 6);
    for (int row = top + 1; row < end; ++row) {
      if (cells.IsZeroText(row, 6) || group == 0) continue;
      cells.Set(row, 2, cells.Get(row, 6) / group * 100);
      cells.ClearIfZero(row, 2);
    }
    cells.ClearIfZero(top, 2);
  }
}

void AddTotals(ReportTable& table, bool comparison, const ReportProgress& progress) {
  if (progress) progress(QStringView(kTotalsText).toString());
  Cells cells(table);
  const int split = table.income_split_row;
  // Sums the top-level rows of a half; the difference of each row first.
  auto half_totals = [&](int first, int end, double& main, double& compare) {
    main = 0;
    compare = 0;
    for (int row = first; row < end; ++row) {
      if (comparison) cells.Set(row, 2, cells.Get(row, 6) - cells.Get(row, 4));
      if (cells.Level(row) != 0) continue;
      main += cells.Get(row, 6);
      compare += cells.Get(row, 4);
    }
  };
  double income = 0;
  double compare_income = 0;
  half_totals(1, split, income, compare_income);
  for (int column = 0; column < table.columns; ++column) table.SetCell(split, column, {});
  table.SetCell(split, 7, QStringView(kTotalIncomeText).toString());
  cells.Set(split, 6, income);
  cells.Set(split, 4, compare_income);
  table.SetCell(split, 0, QStringLiteral("100"));

  double expense = 0;
  double compare_expense = 0;
  half_totals(split + 2, table.RowCount(), expense, compare_expense);
  const int expense_total = table.AppendTextRow();
  table.SetCell(expense_total, 7, QStringView(kTotalExpensesText).toString());
  cells.Set(expense_total, 6, expense);
  cells.Set(expense_total, 4, compare_expense);

  const int count = table.RowCount();
  if (comparison) {
    for (const int row : {split, expense_total}) {
      cells.Set(row, 2, cells.Get(row, 6) - cells.Get(row, 4));
      table.SetCell(row, 0, QStringLiteral("0"));
    }
    for (int row = 1; row < count; ++row) {
      if (row != split + 1) SetChange(cells, row);
    }
  } else {
    const double total_income = cells.Get(split, 6);
    if (total_income != 0) {
      for (int row = 1; row < count - 1; ++row) {
        if (row == split || row == split + 1) continue;
        cells.Set(row, 0, cells.Get(row, 6) / total_income * 100);
        cells.ClearIfZero(row, 0);
      }
    }
    double share = 0;
    for (int row = split + 2; row < expense_total; ++row) {
      if (cells.Level(row) == 0) share += cells.Get(row, 0);
    }
    cells.Set(expense_total, 0, share);
  }

  const int difference = table.AppendTextRow();
  table.SetCell(difference, 7, QStringView(kDifferenceText).toString());
  cells.Set(difference, 6, cells.Get(split, 6) - cells.Get(expense_total, 6));
  if (comparison) {
    cells.Set(difference, 4, cells.Get(split, 4) - cells.Get(expense_total, 4));
    cells.Set(difference, 2, cells.Get(difference, 6) - cells.Get(difference, 4));
    table.SetCell(difference, 0, QStringLiteral("0"));
    SetChange(cells, difference);
  } else {
    cells.Set(difference, 0, 100 - cells.Get(expense_total, 0));
  }
}

}  // namespace

void BuildIncomeExpenses(const ReportSettings& settings, const QString& folder, QDate today,
                         const ReportProgress& progress, ReportTable& table) {
  table.columns = 9;
  const std::vector<CategoryRow> categories = CategoryRows(settings.categories);
  std::unordered_map<std::string, int> row_of;
  for (size_t i = 0; i < categories.size(); ++i) {
    row_of.emplace(CategoryKey(categories[i].path), static_cast<int>(i));
  }
  const TypeFilter types(settings.types);
  table.AppendTextRow();
  table.SetCell(0, 7, QStringView(kIncomeSectionText).toString());
  std::vector<Sums> sums;
  for (const QString& name : settings.accounts) {
    if (progress) progress(QStringView(kLoadingAccountText).toString() + name);
    auto reg = std::make_shared<Register>();
    if (!ReadAccount(folder, name, today, false, *reg)) table.unreadable << name;
    sums.assign(categories.size(), Sums());
    CollectAccount(*reg, row_of, types, settings, today, sums);
    for (size_t i = 0; i < categories.size(); ++i) {
      if (progress) progress(QStringView(kCollectingText).toString() + categories[i].path);
      const int row = table.AppendTextRow();
      table.LinkRow(row, static_cast<int>(table.accounts.size()), -1);
      table.SetCell(row, 8, QString::number(row + 1));
      table.SetCell(row, 7, categories[i].label);
      for (int column = 0; column <= 2; ++column) table.SetCell(row, column, QStringLiteral("0"));
      table.SetCell(row, 3, FormatAmount(sums[i].compare_expense));
      table.SetCell(row, 4, FormatAmount(sums[i].compare_income));
      table.SetCell(row, 5, FormatAmount(sums[i].main_expense));
      table.SetCell(row, 6, FormatAmount(sums[i].main_income));
    }
    // Only the account's name is kept: its rows are not listed.
    table.accounts.push_back({name, std::make_shared<Register>()});
  }

  if (progress) progress(QStringView(kSplittingText).toString());
  const int split = table.RowCount();
  table.income_split_row = split;
  table.AppendTextRow();
  const int expense_head = table.AppendTextRow();
  table.SetCell(expense_head, 7, QStringView(kExpensesSectionText).toString());
  for (int row = 1; row < split; ++row) {
    const int copy = table.AppendTextRow();
    for (int column = 0; column < table.columns; ++column) {
      table.SetCell(copy, column, table.Cell(row, column));
    }
    table.LinkRow(copy, table.AccountOf(row), -1);
    table.SetCell(copy, 6, table.Cell(row, 5));
    table.SetCell(copy, 4, table.Cell(row, 3));
    for (const int column : {3, 5}) {
      table.SetCell(row, column, QString());
      table.SetCell(copy, column, QString());
    }
  }

  if (settings.hide_empty_groups) {
    if (progress) progress(QStringView(kRemovingEmptyText).toString());
    RemoveEmptyReportRows(table);
  }
  if (progress) progress(QStringView(kPercentagesText).toString());
  AddPercentages(table, settings.comparison);
  AddTotals(table, settings.comparison, progress);
}

}  // namespace cheque
