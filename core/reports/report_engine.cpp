#include "core/reports/report_engine.h"

#include <QFileInfo>
#include <array>
#include <unordered_map>
#include <unordered_set>

#include "core/register/open_account.h"
#include "core/text/amount.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque {

void BuildIncomeExpenses(const ReportSettings& settings, const QString& folder, QDate today,
                         const ReportProgress& progress, ReportTable& table);

namespace report_detail {

bool ReadAccount(const QString& folder, const QString& name, QDate today, bool sort_by_date,
                 Register& reg) {
  AccountOpenOptions options;
  options.mode = AccountOpenMode::kReadOnly;
  options.sort_by_date = sort_by_date;
  const OpenedAccount opened = OpenAccount(folder, name, today, reg, options);
  if (opened.file.Loaded()) return true;
  if (opened.file.error != ReadError::kMissing) return false;
  // The program would create the file empty; its register is the opening row.
  reg.LoadFileBytes({}, OpeningBalanceOf(opened.location));
  return true;
}

qint64 RowDay(std::string_view date_cell, qint64 today_day, QDate today) {
  return date_cell.empty() ? today_day : CellDayNumber(date_cell, today);
}

TypeFilter::TypeFilter(const QStringList& types) {
  for (const QString& type : types) types_.push_back(EncodeWin1255(type));
}

bool TypeFilter::Passes(std::string_view type_cell) const {
  for (const std::string& type : types_) {
    if (TextContains(std::string_view(type), type_cell)) return true;
  }
  return false;
}

std::string CategoryKey(std::string_view category) {
  std::string key(category);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

std::string CategoryKey(const QString& path) {
  return CategoryKey(std::string_view(EncodeWin1255(path)));
}

std::vector<CategoryRow> CategoryRows(const QStringList& marked) {
  std::vector<CategoryRow> rows;
  std::unordered_map<std::string, int> level_of;
  for (const QString& path : marked) {
    CategoryRow row;
    row.path = path;
    const qsizetype slash = path.lastIndexOf(u'\\');
    const auto parent = slash > 0 ? level_of.find(CategoryKey(path.left(slash))) : level_of.end();
    if (parent != level_of.end()) {
      row.level = parent->second + 1;
      row.label = QStringView(kIndentUnit).toString().repeated(row.level) + path.mid(slash + 1);
    } else {
      row.label = path;
    }
    level_of.emplace(CategoryKey(path), row.level);
    rows.push_back(std::move(row));
  }
  return rows;
}

int TrendBucketCount(PeriodType type) {
  switch (type) {
    case PeriodType::kHalfYear:
      return 2;
    case PeriodType::kQuarterly:
      return 4;
    default:
      return 12;
  }
}

QString TrendBucketLabel(PeriodType type, int bucket, int year) {
  const QString year_text = QString::number(year);
  switch (type) {
    case PeriodType::kHalfYear:
      return QStringLiteral("חציון %1 ").arg(bucket) + year_text;
    case PeriodType::kQuarterly:
      return QStringLiteral("רבעון %1 ").arg(bucket) + year_text;
    default:
      return HebrewMonthNames()[(bucket - 1) % 12] + u' ' + year_text;
  }
}

int TrendBucket(PeriodType type, int month) {
  switch (type) {
    case PeriodType::kHalfYear:
      return (month - 1) / 6;
    case PeriodType::kQuarterly:
      return (month - 1) / 3;
    default:
      return month - 1;
  }
}

}  // namespace report_detail

using namespace report_detail;

int LabelLevel(const QString& label) { return static_cast<int>(label.count(kIndentUnit)); }

namespace {

void Tell(const ReportProgress& progress, const QString& text) {
  if (progress) progress(text);
}

// Reads the selected accounts one after the other into the table.
int AddAccount(ReportTable& table, const QString& folder, const QString& name, QDate today,
               bool sort_by_date, const ReportProgress& progress) {
  Tell(progress, QStringView(kLoadingAccountText).toString() + name);
  auto reg = std::make_shared<Register>();
  if (!ReadAccount(folder, name, today, sort_by_date, *reg)) table.unreadable << name;
  table.accounts.push_back({name, std::move(reg)});
  return static_cast<int>(table.accounts.size()) - 1;
}

// The last row dated on or before `day`: the row above the first row dated
// after it (rows without a date are passed over); -1 when the register
// starts after it.
int BalanceRow(const Register& reg, qint64 day, QDate today) {
  int found = -1;
  for (int row = 0; row < reg.RowCount() - 1; ++row) {
    const std::string_view date = reg.RawCell(row, kDateColumn);
    if (date.empty()) continue;
    if (CellDayNumber(date, today) > day) return row > 0 ? row - 1 : -1;
    found = row;
  }
  // No row after the date: the last row holds the balance.
  return reg.RowCount() > 1 ? reg.RowCount() - 2 : found;
}

void BuildBalanceToDate(const ReportSettings& settings, const QString& folder, QDate today,
                        const ReportProgress& progress, ReportTable& table) {
  table.columns = 3;
  const qint64 day = DayNumber(settings.to.isValid() ? settings.to : today);
  double total = 0;
  for (const QString& name : settings.accounts) {
    const int account = AddAccount(table, folder, name, today, true, progress);
    const Register& reg = *table.accounts.back().rows;
    const int row = table.AppendTextRow();
    table.SetCell(row, 2, QString::number(row + 1));
    table.SetCell(row, 1, name);
    const int balance_row = BalanceRow(reg, day, today);
    const QString balance =
        balance_row >= 0 ? reg.Cell(balance_row, kBalanceColumn) : QStringLiteral("0");
    table.SetCell(row, 0, balance);
    total += ParseAmount(QStringView(balance));
    table.LinkRow(row, account, std::max(balance_row, 0));
  }
  const int row = table.AppendTextRow();
  table.SetCell(row, 1, QStringView(kTotalText).toString());
  table.SetCell(row, 0, FormatAmount(total));
}

void BuildCashFlow(const ReportSettings& settings, const QString& folder, QDate today,
                   const ReportProgress& progress, ReportTable& table) {
  table.columns = kRegisterColumnCount;
  const qint64 today_day = DayNumber(today);
  const qint64 from = settings.from.isValid() ? DayNumber(settings.from) : 1;
  const qint64 to = settings.to.isValid() ? DayNumber(settings.to) : 0;
  for (const QString& name : settings.accounts) {
    const int account = AddAccount(table, folder, name, today, true, progress);
    const Register& reg = *table.accounts.back().rows;
    for (int row = 0; row < reg.RowCount() - 1; ++row) {
      const qint64 day = RowDay(reg.RawCell(row, kDateColumn), today_day, today);
      if (day >= from && day <= to) table.AppendRegisterRow(account, row);
    }
  }
}

double Amount(const ReportTable& table, int row, int column) {
  return ParseAmount(QStringView(table.Cell(row, column)));
}

void BuildTrends(const ReportSettings& settings, const QString& folder, QDate today,
                 const ReportProgress& progress, ReportTable& table) {
  table.columns = 6;
  const int buckets = TrendBucketCount(settings.period_type);
  for (int b = 1; b <= buckets; ++b) {
    const int row = table.AppendTextRow();
    table.SetCell(row, 5, QString::number(b));
    table.SetCell(row, 4, TrendBucketLabel(settings.period_type, b, settings.year1));
    for (int column = 0; column <= 3; ++column) table.SetCell(row, column, QStringLiteral("0"));
  }
  std::unordered_set<std::string> marked;
  for (const QString& path : settings.categories) marked.insert(CategoryKey(path));
  const bool count_income = settings.flow != FlowFilter::kExpensesOnly;
  const bool count_expense = settings.flow != FlowFilter::kIncomeOnly;
  std::vector<std::array<double, 2>> sums(static_cast<size_t>(buckets), {0, 0});
  std::string key;
  for (const QString& name : settings.accounts) {
    AddAccount(table, folder, name, today, false, progress);
    const Register& reg = *table.accounts.back().rows;
    for (int row = 0; row < reg.RowCount() - 1; ++row) {
      const std::string_view date = reg.RawCell(row, kDateColumn);
      const std::string_view category = reg.RawCell(row, kCategoryColumn);
      if (date.empty() || IsBankBalanceRow(category)) continue;
      key.assign(category);
      for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
      if (!marked.contains(key)) continue;
      const QDate day = DateFromDayNumber(CellDayNumber(date, today));
      if (day.year() != settings.year1) continue;
      auto& bucket = sums[static_cast<size_t>(TrendBucket(settings.period_type, day.month()))];
      if (count_income && !reg.CellIsEmpty(row, kIncomeColumn))
        bucket[1] += ParseAmount(reg.RawCell(row, kIncomeColumn));
      if (count_expense && !reg.CellIsEmpty(row, kExpenseColumn))
        bucket[0] += ParseAmount(reg.RawCell(row, kExpenseColumn));
    }
  }
  for (int b = 0; b < buckets; ++b) {
    table.SetCell(b, 2, FormatAmount(sums[static_cast<size_t>(b)][0]));
    table.SetCell(b, 3, FormatAmount(sums[static_cast<size_t>(b)][1]));
  }
  double total_expense = 0;
  double total_income = 0;
  for (int b = 0; b < buckets; ++b) {
    total_expense += Amount(table, b, 2);
    total_income += Amount(table, b, 3);
  }
  const int total = table.AppendTextRow();
  table.SetCell(total, 4, QStringView(kTotalText).toString());
  table.SetCell(total, 2, FormatAmount(total_expense));
  table.SetCell(total, 3, FormatAmount(total_income));
  table.SetCell(total, 1, FormatAmount(total_income - total_expense));

  // Each bucket's difference: income minus expenses, or with one flow the
  // change of that flow from the bucket before. The change column measures
  // each bucket against the first, as its caption says: the flow itself with
  // one flow, the difference with both. The total row's difference is the
  // sum of the buckets' differences.
  const int flow_column = settings.flow == FlowFilter::kIncomeOnly     ? 3
                          : settings.flow == FlowFilter::kExpensesOnly ? 2
                                                                       : 1;
  double difference_sum = 0;
  for (int b = 0; b < buckets; ++b) {
    const double difference =
        settings.flow == FlowFilter::kBoth
            ? Amount(table, b, 3) - Amount(table, b, 2)
            : (b == 0 ? 0 : Amount(table, b, flow_column) - Amount(table, b - 1, flow_column));
    table.SetCell(b, 1, FormatAmount(difference));
    difference_sum += ParseAmount(QStringView(table.Cell(b, 1)));
  }
  if (settings.flow != FlowFilter::kBoth) table.SetCell(total, 1, FormatAmount(difference_sum));
  const double first = Amount(table, 0, flow_column);
  if (first != 0) {
    for (int b = 0; b < buckets; ++b) {
      table.SetCell(b, 0,
                    FormatAmount((Amount(table, b, flow_column) - first) / std::abs(first) * 100));
    }
  }
}

}  // namespace

ReportTable BuildReport(const ReportSettings& settings, const QString& folder, QDate today,
                        const ReportProgress& progress) {
  ReportTable table;
  table.layout = LayoutOf(settings.kind);
  Tell(progress, QStringView(kBuildingReportText).toString());
  switch (settings.kind) {
    case ReportKind::kBalanceToDate:
      BuildBalanceToDate(settings, folder, today, progress, table);
      break;
    case ReportKind::kCashFlow:
      BuildCashFlow(settings, folder, today, progress, table);
      break;
    case ReportKind::kIncomeExpenses:
      BuildIncomeExpenses(settings, folder, today, progress, table);
      break;
    case ReportKind::kTrends:
      BuildTrends(settings, folder, today, progress, table);
      break;
  }
  return table;
}

}  // namespace cheque
