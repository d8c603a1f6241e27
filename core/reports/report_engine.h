#pragma once

#include <QDate>
#include <QString>
#include <functional>

#include "core/reports/report_settings.h"
#include "core/reports/report_table.h"

namespace cheque {

// Told each phase's busy text while a report builds.
using ReportProgress = std::function<void(const QString& busy_text)>;

// The busy texts of a build.
inline constexpr char16_t kBuildingReportText[] = u"...הדו\"ח בבניה... אנא המתן";
inline constexpr char16_t kCollectingText[] = u" אוסף נתונים על ";
inline constexpr char16_t kSplittingText[] = u"מבצע חלוקה לפי הכנסות והוצאות";
inline constexpr char16_t kRemovingEmptyText[] = u"... מסיר שורות ריקות בדו\"ח";
inline constexpr char16_t kPercentagesText[] = u"... מבצע חישובי אחוזים";
inline constexpr char16_t kTotalsText[] = u"... מבצע סיכומים";
inline constexpr char16_t kLoadingAccountText[] = u" טוען חשבון   -   ";

// The labels of the total rows.
inline constexpr char16_t kTotalText[] = u"סך הכל";
inline constexpr char16_t kTotalIncomeText[] = u"סך הכל הכנסות ";
inline constexpr char16_t kTotalExpensesText[] = u"סך הכל הוצאות ";
inline constexpr char16_t kDifferenceText[] = u"הפרש הכנסות והוצאות";
inline constexpr char16_t kIncomeSectionText[] = u" הכנסות ";
inline constexpr char16_t kExpensesSectionText[] = u" הוצאות ";

// Six blanks: one level of a category label.
inline constexpr char16_t kIndentUnit[] = u"      ";
int LabelLevel(const QString& label);

// Builds the report the settings describe from the account files of the
// program folder, each read on its own; the window's register is never
// touched. `today` stands in for dates that cannot be read.
ReportTable BuildReport(const ReportSettings& settings, const QString& folder, QDate today,
                        const ReportProgress& progress = {});

// Parts of the build, for the drill-down and the tests.
namespace report_detail {

// An account read for a report: read only; a file that does not exist yet
// reads as the program would create it (the opening-balance row alone).
// Returns false when the file exists but cannot be read.
bool ReadAccount(const QString& folder, const QString& name, QDate today, bool sort_by_date,
                 Register& reg);

// Day number of a register date as the reports read it: empty or
// unreadable dates count as today.
qint64 RowDay(std::string_view date_cell, qint64 today_day, QDate today);

// The type filter: some selected type is contained in the type cell.
class TypeFilter {
 public:
  explicit TypeFilter(const QStringList& types);
  bool Passes(std::string_view type_cell) const;

 private:
  std::vector<std::string> types_;
};

// Category cell bytes as a lookup key: ASCII letters in lower case.
std::string CategoryKey(std::string_view category);
std::string CategoryKey(const QString& path);

// The level of each marked category in the income/expense report: a
// category sits one below its group when the group is marked too, else it
// is a top-level row of its own, labelled with its whole path.
struct CategoryRow {
  QString path;
  QString label;
  int level = 0;
};
std::vector<CategoryRow> CategoryRows(const QStringList& marked);

// Trends: the bucket of a month (1..12).
int TrendBucket(PeriodType type, int month);
int TrendBucketCount(PeriodType type);
// The row label of bucket b (1-based) of a trends year: "מרץ 1998",
// "רבעון 1 1998", "חציון 2 1998".
QString TrendBucketLabel(PeriodType type, int bucket, int year);

}  // namespace report_detail

}  // namespace cheque
