#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace cheque {

// The report kinds by the code a saved definition stores.
enum class ReportKind {
  kCashFlow = 0,
  kIncomeExpenses = 1,
  kBalanceToDate = 2,
  kTrends = 3,
};

// The account-group buttons by their stored code.
enum class AccountGroup {
  kOthers = 0,  // picked by hand
  kBusiness = 1,
  kPrivate = 2,
  kAll = 3,
};

enum class FlowFilter {
  kBoth = 0,
  kIncomeOnly = 1,
  kExpensesOnly = 2,
};

// The comparison picker's period type, and the bucket size of a trends
// report (monthly, quarterly or half-year there).
enum class PeriodType {
  kMonthly = 1,
  kQuarterly = 2,
  kHalfYear = 3,
  kYearly = 4,
};

// The definition as the wizard holds it when it closes with OK: all that a
// report build, its drill-down and its title read. The wizard and a saved
// report loaded as the wizard's "בצע" loads it both end here.
struct ReportSettings {
  ReportKind kind = ReportKind::kCashFlow;
  AccountGroup account_group = AccountGroup::kBusiness;
  // The selected accounts in the order of the account list.
  QStringList accounts;
  // The selected payment types in list order ("יתרה" is never among them).
  QStringList types;
  // The marked categories' full paths, in the order of the merged tree.
  QStringList categories;
  FlowFilter flow = FlowFilter::kBoth;
  bool hide_empty_groups = false;  // "לא להציג קבוצות ריקות"
  // Income/expenses only: "השוואתי" down.
  bool comparison = false;
  // The comparison's period type; for trends, the bucket size.
  PeriodType period_type = PeriodType::kMonthly;
  // The main period (balance to date reads `to` alone; trends its year).
  QDate from;
  QDate to;
  // The comparison period, read only when `comparison` is on.
  QDate compare_from;
  QDate compare_to;
  int year1 = 1998;  // the trends year, and strip 1 of the picker
  int year2 = 1997;  // strip 2 of the picker
  // The one-line title of the definition, as the title panel shows it.
  QString title;
};

}  // namespace cheque
