#include "core/reports/chart_plan.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/reports/report_engine.h"

using namespace cheque;

namespace {

std::string S(const QString& text) { return text.toStdString(); }

// A report filled by hand: each row lists (column, text) pairs.
using Cells = std::vector<std::pair<int, QString>>;
ReportTable Table(ReportLayout layout, int columns, const std::vector<Cells>& rows, int split = 0) {
  ReportTable table;
  table.layout = layout;
  table.columns = columns;
  table.income_split_row = split;
  for (const Cells& cells : rows) {
    const int row = table.AppendTextRow();
    for (const auto& [column, text] : cells) table.SetCell(row, column, text);
  }
  return table;
}

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

const QString kIndent = QString::fromUtf16(kIndentUnit);

ReportTable IncomeExpenses() {
  return Table(ReportLayout::kIncomeExpenses, 9,
               {{{7, Q(kIncomeSectionText)}},
                {{7, Q(u"משכורת")}, {6, Q(u"1000")}, {0, Q(u"66.67")}},
                {{7, kIndent + Q(u"בונוס")}, {6, Q(u"200")}, {0, Q(u"13.33")}},
                {{7, Q(u"מתנות")}, {6, Q(u"500")}, {0, Q(u"33.33")}},
                {{7, Q(kTotalIncomeText)}, {6, Q(u"1500")}, {0, Q(u"100")}},
                {{7, Q(kExpensesSectionText)}},
                {{7, Q(u"מזון")}, {6, Q(u"600")}, {0, Q(u"40")}},
                {{7, Q(u"דלק")}, {6, Q(u"0")}},
                {{7, Q(u"דיור")}, {6, Q(u"300")}, {0, Q(u"20")}},
                {{7, Q(kTotalExpensesText)}, {6, Q(u"900")}, {0, Q(u"60")}},
                {{7, Q(kDifferenceText)}, {6, Q(u"600")}, {0, Q(u"40")}}},
               4);
}

// Main period in column 6, comparison in column 4, difference in column 2.
ReportTable Comparison(bool comparison_empty = false) {
  const QString c1 = comparison_empty ? Q(u"0") : Q(u"800");
  const QString c2 = comparison_empty ? Q(u"0") : Q(u"450");
  return Table(ReportLayout::kIncomeExpenses, 9,
               {{{7, Q(kIncomeSectionText)}},
                {{7, Q(u"משכורת")}, {6, Q(u"1000")}, {4, c1}, {2, Q(u"200")}},
                {{7, Q(u"מתנות")}, {6, Q(u"500")}, {4, Q(u"0")}, {2, Q(u"500")}},
                {{7, Q(kTotalIncomeText)}, {6, Q(u"1500")}, {4, c1}, {2, Q(u"700")}},
                {{7, Q(kExpensesSectionText)}},
                {{7, Q(u"מזון")}, {6, Q(u"600")}, {4, c2}, {2, Q(u"150")}},
                {{7, Q(kTotalExpensesText)}, {6, Q(u"600")}, {4, c2}, {2, Q(u"150")}},
                {{7, Q(kDifferenceText)}, {6, Q(u"900")}}},
               3);
}

ReportTable Trends() {
  std::vector<Cells> rows;
  const char16_t* months[] = {u"ינואר", u"פברואר", u"מרץ"};
  const char16_t* expense[] = {u"100", u"0", u"300"};
  const char16_t* income[] = {u"400", u"500", u"200"};
  const char16_t* difference[] = {u"300", u"500", u"-100"};
  const char16_t* change[] = {u"0", u"66.67", u"-133.33"};
  for (int m = 0; m < 3; ++m) {
    rows.push_back({{5, QString::number(m + 1)},
                    {4, Q(months[m])},
                    {2, Q(expense[m])},
                    {3, Q(income[m])},
                    {1, Q(difference[m])},
                    {0, Q(change[m])}});
  }
  rows.push_back({{4, Q(kTotalText)}, {2, Q(u"400")}, {3, Q(u"1100")}, {1, Q(u"700")}});
  return Table(ReportLayout::kTrends, 6, rows);
}

ReportTable Balances(const QString& second_balance = QStringLiteral("-200")) {
  return Table(ReportLayout::kBalanceToDate, 3,
               {{{0, Q(u"1000")}, {1, Q(u"עסק")}, {2, Q(u"1")}},
                {{0, second_balance}, {1, Q(u"בית")}, {2, Q(u"2")}},
                {{0, Q(u"500")}, {1, Q(u"חסכון")}, {2, Q(u"3")}},
                {{0, Q(u"1300")}, {1, Q(kTotalText)}}});
}

// Balances on dates; three rows in January, one in February, two in March.
ReportTable CashFlow() {
  const char16_t* dates[] = {u"1/1/2020", u"5/1/2020", u"20/1/2020",
                             u"3/2/2020", u"1/3/2020", u"9/3/2020"};
  const char16_t* balances[] = {u"1000", u"900", u"850", u"1200", u"1100", u"1050"};
  std::vector<Cells> rows;
  for (int i = 0; i < 6; ++i) rows.push_back({{1, Q(balances[i])}, {7, Q(dates[i])}});
  return Table(ReportLayout::kCashFlow, 9, rows);
}

ChartContext Context(bool comparison = false) {
  return {comparison, QStringLiteral("דוח לבדיקה"), QStringLiteral("3/1998"),
          QStringLiteral("3/1997")};
}

const ChartSeriesPlan* OnlyDrawn(const ChartPlan& plan, int index) {
  return plan.series[index].active ? &plan.series[index] : nullptr;
}

}  // namespace

TEST(ChartPlan, TypeNamesPerReport) {
  EXPECT_EQ(ChartTypeNames(ReportLayout::kBalanceToDate, false).size(), 1);
  EXPECT_EQ(ChartTypeNames(ReportLayout::kCashFlow, false).size(), 1);
  EXPECT_EQ(ChartTypeNames(ReportLayout::kTrends, false).size(), 4);
  EXPECT_EQ(S(ChartTypeNames(ReportLayout::kIncomeExpenses, false).last()),
            S(Q(u"ס\"כ ההכנסות לעומת ס\"כ ההוצאות")));
  EXPECT_EQ(S(ChartTypeNames(ReportLayout::kIncomeExpenses, true)[5]),
            S(Q(u"סה\"כ ההוצאות בשתי התקופות")));
}

// Every chart type of every report kind: the series drawn, their points,
// first and last label and value.
TEST(ChartPlan, EveryChartTypeOfEveryKind) {
  struct Case {
    const char* name;
    ReportTable table;
    bool comparison;
    int type;
    int series;  // the series whose points are checked
    int other;   // the second series drawn, or -1
    size_t points;
    const char16_t* first_label;
    double first_value;
    const char16_t* last_label;
    double last_value;
  };
  const Case cases[] = {
      {"balance pie", Balances(QStringLiteral("200")), false, 0, kPieSeries, -1, 3, u"עסק", 1000,
       u"חסכון", 500},
      {"cash flow line", CashFlow(), false, 0, kLineSeries, -1, 4, u"1/1/2020", 1000, u"9/3/2020",
       1050},
      {"income bars, top level only", IncomeExpenses(), false, 0, kBarSeries, -1, 2, u"משכורת",
       1000, u"מתנות", 500},
      {"expense bars skip zero", IncomeExpenses(), false, 1, kBarSeries, -1, 2, u"מזון", 600,
       u"דיור", 300},
      {"income shares", IncomeExpenses(), false, 2, kBarSeries, -1, 2, u"משכורת", 66.67, u"מתנות",
       33.33},
      {"expense shares", IncomeExpenses(), false, 3, kBarSeries, -1, 2, u"מזון", 40, u"דיור", 20},
      {"income against expenses pie", IncomeExpenses(), false, 4, kPieSeries, -1, 2,
       kTotalIncomeText, 1500, kTotalExpensesText, 900},
      {"income of two periods: comparison first", Comparison(), true, 0, kBarSeries, kBar2Series, 1,
       u"משכורת", 800, u"משכורת", 800},
      {"expenses of two periods: main first", Comparison(), true, 1, kBarSeries, kBar2Series, 1,
       u"מזון", 600, u"מזון", 600},
      {"income differences", Comparison(), true, 2, kBarSeries, -1, 2, u"משכורת", 200, u"מתנות",
       500},
      {"expense differences", Comparison(), true, 3, kBarSeries, -1, 1, u"מזון", 150, u"מזון", 150},
      {"income totals pie", Comparison(), true, 4, kPieSeries, -1, 2, u"3/1997", 800, u"3/1998",
       1500},
      {"expense totals pie", Comparison(), true, 5, kPieSeries, -1, 2, u"3/1997", 450, u"3/1998",
       600},
      {"trend bars: expense then income", Trends(), false, 0, kBarSeries, kBar2Series, 2, u"ינואר",
       100, u"מרץ", 300},
      {"trend differences", Trends(), false, 1, kBarSeries, -1, 3, u"ינואר", 300, u"מרץ", -100},
      {"trend change skips the zero", Trends(), false, 2, kBarSeries, -1, 2, u"פברואר", 66.67,
       u"מרץ", -133.33},
      {"trend totals pie", Trends(), false, 3, kPieSeries, -1, 2, u"הוצאה", 400, u"הכנסה", 1100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChartPlan plan = PlanChart(c.table, Context(c.comparison), c.type);
    EXPECT_EQ(plan.ActiveCount(), c.other < 0 ? 1 : 2);
    EXPECT_EQ(S(plan.foot), S(ChartTypeNames(c.table.layout, c.comparison)[c.type]));
    EXPECT_EQ(S(plan.title), S(Context().title));
    const ChartSeriesPlan* series = OnlyDrawn(plan, c.series);
    ASSERT_NE(series, nullptr);
    if (c.other >= 0) {
      EXPECT_NE(OnlyDrawn(plan, c.other), nullptr);
    }
    ASSERT_EQ(series->points.size(), c.points);
    EXPECT_EQ(S(series->points.front().label), S(Q(c.first_label)));
    EXPECT_DOUBLE_EQ(series->points.front().value, c.first_value);
    EXPECT_EQ(S(series->points.back().label), S(Q(c.last_label)));
    EXPECT_DOUBLE_EQ(series->points.back().value, c.last_value);
  }
}

TEST(ChartPlan, TwoSeriesAreRedAndYellowWithTheirCaptions) {
  const ChartPlan plan = PlanChart(Comparison(), Context(true), 0);
  EXPECT_FALSE(plan.series[kBarSeries].each_point_coloured);
  EXPECT_EQ(plan.series[kBarSeries].points[0].colour, chart_colour::kRed);
  EXPECT_EQ(plan.series[kBar2Series].points[0].colour, chart_colour::kYellow);
  EXPECT_EQ(S(plan.series[kBarSeries].title), "3/1997");
  EXPECT_EQ(S(plan.series[kBar2Series].title), "3/1998");
  EXPECT_TRUE(plan.legend);
  // One period keeps its colour in every chart: the expense chart lists the
  // main period first, the income pie the comparison period first.
  const ChartPlan expenses = PlanChart(Comparison(), Context(true), 1);
  EXPECT_EQ(expenses.series[kBarSeries].points[0].colour, chart_colour::kYellow);
  EXPECT_EQ(expenses.series[kBar2Series].points[0].colour, chart_colour::kRed);
  const ChartPlan pie = PlanChart(Comparison(), Context(true), 4);
  EXPECT_EQ(pie.series[kPieSeries].points[0].colour, chart_colour::kRed);
  EXPECT_EQ(pie.series[kPieSeries].points[1].colour, chart_colour::kYellow);
  // One series alone keeps its automatic colour per point, and no legend.
  const ChartPlan single = PlanChart(IncomeExpenses(), Context(), 0);
  EXPECT_TRUE(single.series[kBarSeries].each_point_coloured);
  EXPECT_NE(single.series[kBarSeries].points[0].colour, single.series[kBarSeries].points[1].colour);
  EXPECT_FALSE(single.legend);
}

TEST(ChartPlan, EmptyComparisonPeriodShowsTheMainSeriesAlone) {
  // The comparison series comes first in the income chart: it must not
  // blank the chart when it has no points.
  for (const int type : {0, 1}) {
    SCOPED_TRACE(type);
    const ChartPlan plan = PlanChart(Comparison(true), Context(true), type);
    const int main_series = type == 0 ? kBar2Series : kBarSeries;
    ASSERT_EQ(plan.ActiveCount(), 1);
    ASSERT_TRUE(plan.series[main_series].active);
    // Still the main period's colour, as beside the comparison period.
    EXPECT_FALSE(plan.series[main_series].each_point_coloured);
    EXPECT_EQ(plan.series[main_series].points[0].colour, chart_colour::kYellow);
    EXPECT_EQ(plan.series[main_series].points.size(), type == 0 ? 2U : 1U);
  }
}

TEST(ChartPlan, ColumnsOfZerosGiveAnEmptyChartWithoutTitle) {
  const ReportTable zeros = Table(ReportLayout::kTrends, 6,
                                  {{{4, Q(u"1")}, {2, Q(u"0")}, {3, Q(u"0")}, {1, Q(u"0")}},
                                   {{4, Q(u"2")}, {2, Q(u"")}, {3, Q(u"0")}, {1, Q(u"0")}},
                                   {{4, Q(kTotalText)}, {2, Q(u"0")}, {3, Q(u"0")}}});
  for (int type = 0; type < 4; ++type) {
    SCOPED_TRACE(type);
    const ChartPlan plan = PlanChart(zeros, Context(), type);
    EXPECT_TRUE(plan.Empty());
    EXPECT_EQ(plan.ActiveCount(), 0);
    EXPECT_TRUE(plan.title.isEmpty());
  }
}

TEST(ChartPlan, CashFlowLinePlotsEachMonthsLastBalance) {
  const ChartPlan plan = PlanChart(CashFlow(), Context(), 0);
  QStringList labels;
  for (const ChartPoint& p : plan.series[kLineSeries].points) labels.append(p.label);
  // Row 0 always; January's last, February's only, March's last (the
  // report's last row is a transaction, not a total).
  EXPECT_EQ(S(labels.join(u' ')), "1/1/2020 20/1/2020 3/2/2020 9/3/2020");
}

TEST(ChartPlan, PieSharesAndNegativeSlices) {
  const ChartPlan pie = PlanChart(IncomeExpenses(), Context(), 4);
  ASSERT_EQ(pie.series[kPieSeries].points.size(), 2U);
  EXPECT_DOUBLE_EQ(pie.series[kPieSeries].points[0].share, 62.5);
  EXPECT_DOUBLE_EQ(pie.series[kPieSeries].points[1].share, 37.5);

  // An overdrawn account has no share of the whole: left out and named.
  const ChartPlan balances = PlanChart(Balances(), Context(), 0);
  ASSERT_EQ(balances.series[kPieSeries].points.size(), 2U);
  EXPECT_DOUBLE_EQ(balances.series[kPieSeries].points[0].share, 1000.0 / 1500 * 100);
  EXPECT_TRUE(balances.foot.startsWith(ChartTypeNames(ReportLayout::kBalanceToDate, false)[0]));
  EXPECT_TRUE(balances.foot.endsWith(Q(u"בית")));

  // Totals of zero: no slices and no division.
  ReportTable zero = IncomeExpenses();
  zero.SetCell(4, 6, QStringLiteral("0"));
  zero.SetCell(9, 6, QStringLiteral("0"));
  const ChartPlan none = PlanChart(zero, Context(), 4);
  EXPECT_TRUE(none.Empty());
  EXPECT_TRUE(none.title.isEmpty());
}

TEST(ChartPlan, TypesOutsideTheListAndDetailGridsPlanNothing) {
  EXPECT_TRUE(PlanChart(Trends(), Context(), 4).Empty());
  EXPECT_TRUE(PlanChart(Trends(), Context(), -1).Empty());
  ReportTable detail = CashFlow();
  detail.detail = true;
  EXPECT_TRUE(PlanChart(detail, Context(), 0).Empty());
}

// A group that two accounts share keeps a bar for each, told apart by the
// account; an axis would otherwise put both values under one name.
TEST(ChartPlan, SharedGroupNamesAreLabelledWithTheirAccount) {
  ReportTable table = Table(ReportLayout::kIncomeExpenses, 9,
                            {{{7, Q(kIncomeSectionText)}},
                             {{7, Q(u"רכב")}, {6, Q(u"100")}},
                             {{7, Q(u"שכר")}, {6, Q(u"200")}},
                             {{7, Q(u"רכב")}, {6, Q(u"300")}},
                             {{7, Q(kTotalIncomeText)}, {6, Q(u"600")}},
                             {{7, Q(kExpensesSectionText)}},
                             {{7, Q(kTotalExpensesText)}, {6, Q(u"0")}},
                             {{7, Q(kDifferenceText)}, {6, Q(u"600")}}},
                            4);
  table.accounts = {{Q(u"עסק"), nullptr}, {Q(u"בית"), nullptr}};
  for (const auto& [row, account] : {std::pair{1, 0}, {2, 0}, {3, 1}})
    table.LinkRow(row, account, -1);
  const ChartPlan plan = PlanChart(table, Context(), 0);
  QStringList labels;
  for (const ChartPoint& p : plan.series[kBarSeries].points) labels.append(p.label);
  EXPECT_EQ(S(labels.join(u'|')), S(Q(u"רכב - עסק|שכר|רכב - בית")));
  EXPECT_DOUBLE_EQ(plan.series[kBarSeries].points[2].value, 300);
}
