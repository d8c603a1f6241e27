#include "core/reports/drill_down.h"

#include <unordered_set>

#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {

using namespace report_detail;

namespace {

// The category path of an income/expense row: the labels of the rows it
// sits under, each level's indent removed.
QString RowPath(const ReportTable& report, int row) {
  QString path = report.Cell(row, 7);
  int level = LabelLevel(path);
  for (int above = row - 1; above >= 1 && level > 0; --above) {
    const QString label = report.Cell(above, 7);
    const int above_level = LabelLevel(label);
    if (above_level >= level) continue;
    path = label + u'\\' + path;
    level = above_level;
  }
  return path.remove(QStringView(kIndentUnit).toString());
}

void AddTotalRow(ReportTable& detail) {
  if (detail.RowCount() == 0) return;
  double income = 0;
  double expense = 0;
  for (int row = 0; row < detail.RowCount(); ++row) {
    income += ParseAmount(detail.RawRegisterCell(row, kIncomeColumn));
    expense += ParseAmount(detail.RawRegisterCell(row, kExpenseColumn));
  }
  const int total = detail.AppendTextRow();
  detail.SetCell(total, kDescriptionColumn, QStringView(kTotalText).toString());
  detail.SetCell(total, kIncomeColumn, FormatAmount(income));
  detail.SetCell(total, kExpenseColumn, FormatAmount(expense));
}

ReportTable NewDetail() {
  ReportTable detail;
  detail.layout = ReportLayout::kCashFlow;
  detail.columns = kRegisterColumnCount;
  detail.detail = true;
  return detail;
}

int AddAccount(ReportTable& detail, const QString& folder, const QString& name, QDate today) {
  auto reg = std::make_shared<Register>();
  if (!ReadAccount(folder, name, today, false, *reg)) detail.unreadable << name;
  detail.accounts.push_back({name, std::move(reg)});
  return static_cast<int>(detail.accounts.size()) - 1;
}

bool LowerKeyIn(const std::unordered_set<std::string>& keys, std::string_view category,
                std::string& key) {
  key.assign(category);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return keys.contains(key);
}

DrillDownResult IncomeExpenseDetail(const ReportTable& report, const ReportSettings& settings,
                                    const QString& folder, QDate today, int row, int column) {
  DrillDownResult result;
  const int split = report.income_split_row;
  const int last = report.RowCount() - 1;
  // Section and total rows name no category.
  if (row <= 0 || row == split || row == split + 1 || row >= last - 1) return result;
  if (column < 0 || column >= report.columns) return result;
  const bool compare_cell = column == 4;
  if (compare_cell && !settings.comparison) return result;
  if (report.Cell(row, compare_cell ? 4 : 6) == u"0") return result;
  const int account = report.AccountOf(row);
  if (account < 0) return result;

  // The row's own category and, for a top-level row, the rows of its group:
  // exactly the categories whose sums make up the cell.
  std::unordered_set<std::string> keys{CategoryKey(RowPath(report, row))};
  if (LabelLevel(report.Cell(row, 7)) == 0) {
    for (int below = row + 1; below < last && LabelLevel(report.Cell(below, 7)) != 0; ++below) {
      keys.insert(CategoryKey(RowPath(report, below)));
    }
  }
  const bool income = row < split;
  if (income ? settings.flow == FlowFilter::kExpensesOnly
             : settings.flow == FlowFilter::kIncomeOnly) {
    return result;
  }
  const int money_column = income ? kIncomeColumn : kExpenseColumn;
  const QDate from = compare_cell ? settings.compare_from : settings.from;
  const QDate to = compare_cell ? settings.compare_to : settings.to;
  const qint64 first = from.isValid() ? DayNumber(from) : 1;
  const qint64 end = to.isValid() ? DayNumber(to) : 0;
  const qint64 today_day = DayNumber(today);
  const TypeFilter types(settings.types);

  result.detail = NewDetail();
  ReportTable& detail = result.detail;
  const int index =
      AddAccount(detail, folder, report.accounts[static_cast<size_t>(account)].name, today);
  const Register& reg = *detail.accounts.back().rows;
  std::string key;
  for (int r = 0; r < reg.RowCount() - 1; ++r) {
    const std::string_view category = reg.RawCell(r, kCategoryColumn);
    if (!LowerKeyIn(keys, category, key) || IsBankBalanceRow(category)) continue;
    if (reg.CellIsEmpty(r, money_column) || !types.Passes(reg.RawCell(r, kTypeColumn))) continue;
    const qint64 day = RowDay(reg.RawCell(r, kDateColumn), today_day, today);
    if (day >= first && day <= end) detail.AppendRegisterRow(index, r);
  }
  AddTotalRow(detail);
  result.action = DrillDownResult::Action::kDetail;
  return result;
}

DrillDownResult TrendDetail(const ReportTable& report, const ReportSettings& settings,
                            const QString& folder, QDate today, int row) {
  DrillDownResult result;
  if (row < 0 || row >= report.RowCount() - 1) return result;
  std::unordered_set<std::string> keys;
  for (const QString& path : settings.categories) keys.insert(CategoryKey(path));
  const bool count_income = settings.flow != FlowFilter::kExpensesOnly;
  const bool count_expense = settings.flow != FlowFilter::kIncomeOnly;
  result.detail = NewDetail();
  ReportTable& detail = result.detail;
  std::string key;
  for (const QString& name : settings.accounts) {
    const int index = AddAccount(detail, folder, name, today);
    const Register& reg = *detail.accounts.back().rows;
    for (int r = 0; r < reg.RowCount() - 1; ++r) {
      const std::string_view date = reg.RawCell(r, kDateColumn);
      const std::string_view category = reg.RawCell(r, kCategoryColumn);
      if (date.empty() || IsBankBalanceRow(category) || !LowerKeyIn(keys, category, key)) continue;
      const QDate day = DateFromDayNumber(CellDayNumber(date, today));
      if (day.year() != settings.year1 || TrendBucket(settings.period_type, day.month()) != row) {
        continue;
      }
      if ((count_income && !reg.CellIsEmpty(r, kIncomeColumn)) ||
          (count_expense && !reg.CellIsEmpty(r, kExpenseColumn))) {
        detail.AppendRegisterRow(index, r);
      }
    }
  }
  AddTotalRow(detail);
  result.action = DrillDownResult::Action::kDetail;
  return result;
}

}  // namespace

DrillDownResult DrillDown(const ReportTable& report, const ReportSettings& settings,
                          const QString& folder, QDate today, int row, int column,
                          const ReportProgress& progress) {
  if (progress) progress(QStringView(kDrillDownBusyText).toString());
  DrillDownResult result;
  switch (report.layout) {
    case ReportLayout::kBalanceToDate: {
      // The last row is the total and names no account.
      const int account = report.AccountOf(row);
      if (row >= report.RowCount() - 1 || account < 0) return result;
      result.action = DrillDownResult::Action::kRegister;
      result.landing.account = report.accounts[static_cast<size_t>(account)].name;
      result.landing.row = report.RegisterRowOf(row);
      return result;
    }
    case ReportLayout::kCashFlow:
      if (const auto landing = LandingOfRow(report, row, folder, today)) {
        result.action = DrillDownResult::Action::kRegister;
        result.landing = *landing;
      }
      return result;
    case ReportLayout::kIncomeExpenses:
      return IncomeExpenseDetail(report, settings, folder, today, row, column);
    case ReportLayout::kTrends:
      return TrendDetail(report, settings, folder, today, row);
  }
  return result;
}

std::optional<RegisterLanding> LandingOfRow(const ReportTable& table, int row,
                                            const QString& folder, QDate today) {
  if (!table.IsRegisterRow(row)) return std::nullopt;
  RegisterLanding landing;
  landing.account = table.Cell(row, 0);
  landing.by_texts = true;
  landing.description = table.Cell(row, kDescriptionColumn);
  landing.date = table.Cell(row, kDateColumn);
  landing.category = table.Cell(row, kCategoryColumn);
  landing.type = table.Cell(row, kTypeColumn);
  const auto locate = [&](const Register& reg) {
    return reg.LocateRow(landing.description, landing.date, landing.category, landing.type);
  };
  if (!table.detail) {
    landing.row = locate(*table.accounts[static_cast<size_t>(table.AccountOf(row))].rows);
  } else {
    // The program loads the account in date order.
    Register reg;
    if (ReadAccount(folder, landing.account, today, true, reg)) landing.row = locate(reg);
  }
  return landing;
}

}  // namespace cheque
