#include "core/reports/chart_plan.h"

#include <map>
#include <optional>
#include <set>

#include "core/register/register.h"
#include "core/reports/report_engine.h"
#include "core/reports/report_period.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

constexpr int kNoColumn = -1;

struct SeriesArgs {
  PlotKind kind = PlotKind::kBars;
  int column_a = kNoColumn;
  int column_b = kNoColumn;
  bool top_level_only = false;
  QString title_b;
  QString title_a;
  int first_row = 0;
  int last_row = 0;
  int label_column = 0;
  // A series that stands for a period keeps that period's colour in every
  // chart, even beside an empty one.
  bool fixed_colours = false;
  uint32_t colour_a = 0;
  uint32_t colour_b = 0;
};

struct PairArgs {
  PlotKind kind = PlotKind::kPie;
  int column_a = 0;
  int column_b = 0;
  int row_b = 0;
  int row_a = 0;
  QString label_b;
  QString label_a;
  bool fixed_colours = false;
  uint32_t colour_a = 0;
  uint32_t colour_b = 0;
};

// The series a plot kind draws into: first and second.
std::pair<int, int> SeriesOf(PlotKind kind) {
  switch (kind) {
    case PlotKind::kBars:
      return {kBarSeries, kBar2Series};
    case PlotKind::kLines:
      return {kLineSeries, kLine2Series};
    case PlotKind::kPie:
      break;
  }
  return {kPieSeries, kPieSeries};
}

ChartPlan ClearedChart() {
  ChartPlan plan;
  const uint32_t design_colours[kChartSeriesCount] = {chart_colour::kRed, 0, chart_colour::kYellow,
                                                      chart_colour::kYellow, chart_colour::kBlue};
  for (int s = 0; s < kChartSeriesCount; ++s) plan.series[s].colour = design_colours[s];
  return plan;
}

ChartPlan StartChart(PlotKind kind, const QString& name, const ChartContext& context) {
  ChartPlan plan = ClearedChart();
  const auto [first, second] = SeriesOf(kind);
  plan.series[first].active = true;
  plan.series[second].active = true;
  plan.foot = name;
  plan.title = context.title;
  return plan;
}

std::optional<QDate> MonthOf(const QString& text) {
  return ReadDateText(QStringView(text), QDate(2000, 1, 1));
}

// Only the last row of a month counts on a balance line. The year is
// compared too: two rows a year apart are not the same month.
bool SameMonthAsNext(const ReportTable& table, int row) {
  if (row + 1 >= table.RowCount()) return false;
  const auto here = MonthOf(table.Cell(row, kDateColumn));
  const auto next = MonthOf(table.Cell(row + 1, kDateColumn));
  return here && next && here->month() == next->month() && here->year() == next->year();
}

std::vector<ChartPoint> Points(const ReportTable& table, const SeriesArgs& args, int column,
                               bool month_rule) {
  std::vector<ChartPoint> points;
  for (int row = args.first_row; row <= args.last_row; ++row) {
    const QString text = table.Cell(row, column);
    if (text.isEmpty() || text == u"0") continue;
    const QString label = table.Cell(row, args.label_column);
    if (args.top_level_only && label.contains(kIndentUnit)) continue;
    if (month_rule && row > 0 && SameMonthAsNext(table, row)) continue;
    ChartPoint point{ParseAmount(QStringView(text)), label, 0, 0, row, {}};
    if (month_rule) point.date = MonthOf(table.Cell(row, kDateColumn)).value_or(QDate());
    points.push_back(std::move(point));
  }
  return points;
}

QString AccountName(const ReportTable& table, int row) {
  const int account = table.AccountOf(row);
  return account >= 0 && account < static_cast<int>(table.accounts.size())
             ? table.accounts[static_cast<size_t>(account)].name
             : QString();
}

// Every row of a chart gets a text of its own: an axis or a legend keeps
// one entry per text, so two rows of one text would share a place. Rows of
// the same text from different accounts are told apart by the account
// ("רכב - עסק"); what is still alike gets a number.
void DistinctLabels(const ReportTable& table, std::initializer_list<std::vector<ChartPoint>*> all) {
  std::map<QString, std::set<int>> rows_of;
  for (const std::vector<ChartPoint>* points : all) {
    for (const ChartPoint& point : *points) rows_of[point.label.trimmed()].insert(point.row);
  }
  std::map<int, QString> label_of;
  std::map<QString, int> uses;
  for (const auto& [label, rows] : rows_of) {
    for (const int row : rows) {
      QString text = label;
      if (rows.size() > 1) {
        const QString account = AccountName(table, row);
        if (!account.isEmpty()) text += QStringLiteral(" - ") + account;
      }
      label_of[row] = text;
      ++uses[text];
    }
  }
  std::map<QString, int> seen;
  for (auto& [row, text] : label_of) {
    if (uses[text] > 1) text += QStringLiteral(" (%1)").arg(++seen[text]);
  }
  for (std::vector<ChartPoint>* points : all) {
    for (ChartPoint& point : *points) point.label = label_of[point.row];
  }
}

// A pie shows shares of a whole: slices below zero have no share, and a
// whole of zero has none at all.
void ShapePie(ChartPlan& plan) {
  ChartSeriesPlan& pie = plan.series[kPieSeries];
  QStringList left_out;
  std::vector<ChartPoint> kept;
  double total = 0;
  for (const ChartPoint& point : pie.points) {
    if (point.value < 0) {
      left_out.append(point.label.trimmed());
    } else if (point.value > 0) {
      kept.push_back(point);
      total += point.value;
    }
  }
  const QString foot = plan.foot;
  if (kept.empty()) {
    plan = ClearedChart();
  } else {
    for (ChartPoint& point : kept) point.share = point.value / total * 100;
    pie.points = std::move(kept);
  }
  if (!left_out.isEmpty()) {
    plan.foot =
        foot + QStringLiteral(" - לא הוצגו ערכים שליליים: ") + left_out.join(QStringLiteral(", "));
  }
}

void ResolveColours(ChartPlan& plan) {
  for (ChartSeriesPlan& series : plan.series) {
    for (size_t i = 0; i < series.points.size(); ++i) {
      series.points[i].colour =
          series.each_point_coloured ? AutomaticPointColour(static_cast<int>(i)) : series.colour;
    }
  }
}

ChartPlan PlotSeries(const ReportTable& table, const ChartContext& context, const QString& name,
                     const SeriesArgs& args) {
  ChartPlan plan = StartChart(args.kind, name, context);
  if (args.column_a == kNoColumn) return plan;
  const auto [first, second] = SeriesOf(args.kind);
  std::vector<ChartPoint> a = Points(table, args, args.column_a, args.kind == PlotKind::kLines);
  std::vector<ChartPoint> b;
  if (args.column_b != kNoColumn) b = Points(table, args, args.column_b, false);
  // A first series without points used to blank the chart even when the
  // second had some: a comparison whose earlier period is empty must still
  // show the main period.
  if (a.empty() && b.empty()) return ClearedChart();
  DistinctLabels(table, {&a, &b});
  if (args.kind == PlotKind::kPie) {
    plan.series[kPieSeries].points = std::move(a);
    plan.series[kPieSeries].points.insert(plan.series[kPieSeries].points.end(), b.begin(), b.end());
    plan.series[kPieSeries].title = args.title_a;
    plan.legend = !args.title_a.isEmpty() || !args.title_b.isEmpty();
    ShapePie(plan);
    ResolveColours(plan);
    return plan;
  }
  ChartSeriesPlan& s1 = plan.series[first];
  ChartSeriesPlan& s2 = plan.series[second];
  s1.points = std::move(a);
  s2.points = std::move(b);
  s1.active = !s1.points.empty();
  s2.active = !s2.points.empty();
  if (args.fixed_colours) {
    s1.each_point_coloured = false;
    s2.each_point_coloured = false;
    s1.colour = args.colour_a;
    s2.colour = args.colour_b;
  } else if (s1.active && s2.active) {
    s1.each_point_coloured = false;
    s2.each_point_coloured = false;
    s1.colour = chart_colour::kRed;
    s2.colour = chart_colour::kYellow;
  }
  s1.title = args.title_a;
  s2.title = args.title_b;
  plan.legend = !args.title_a.isEmpty() || !args.title_b.isEmpty();
  ResolveColours(plan);
  return plan;
}

ChartPlan PlotPair(const ReportTable& table, const ChartContext& context, const QString& name,
                   const PairArgs& args) {
  ChartPlan plan = StartChart(args.kind, name, context);
  const auto [first, second] = SeriesOf(args.kind);
  const auto value = [&table](int row, int column) {
    return ParseAmount(QStringView(table.Cell(row, column)));
  };
  const double value_a = value(args.row_a, args.column_a);
  QString label_a = args.label_a;
  QString label_b = args.label_b;
  if (label_a.trimmed() == label_b.trimmed()) {
    label_a += QStringLiteral(" (1)");
    label_b += QStringLiteral(" (2)");
  }
  plan.series[first].points.push_back({value_a, label_a, 0, 0, args.row_a, {}});
  plan.series[second].points.push_back(
      {value(args.row_b, args.column_b), label_b, 0, 0, args.row_b, {}});
  if (args.kind == PlotKind::kPie) ShapePie(plan);
  ResolveColours(plan);
  if (args.fixed_colours) {
    // A slice below or at zero is left out: the colours follow the slices kept.
    std::vector<ChartPoint>& slices = plan.series[kPieSeries].points;
    for (size_t i = 0; i < slices.size(); ++i) {
      slices[i].colour = i == 0 && value_a > 0 ? args.colour_a : args.colour_b;
    }
  }
  return plan;
}

// The comparison period and the main one, in every chart of a report.
constexpr uint32_t kComparePeriodColour = chart_colour::kRed;
constexpr uint32_t kMainPeriodColour = chart_colour::kYellow;

SeriesArgs Bars(int column, int first_row, int last_row, int label_column = 7) {
  SeriesArgs args;
  args.column_a = column;
  args.first_row = first_row;
  args.last_row = last_row;
  args.label_column = label_column;
  args.top_level_only = true;
  return args;
}

ChartPlan PlanIncomeExpenses(const ReportTable& table, const ChartContext& context, int type,
                             const QString& name) {
  const int split = table.income_split_row;
  const int n = table.RowCount();
  const int income_last = split - 1;
  const int expense_first = split + 2;
  const int expense_last = n - 3;
  if (!context.comparison) {
    switch (type) {
      case 0:
        return PlotSeries(table, context, name, Bars(6, 1, income_last));
      case 1:
        return PlotSeries(table, context, name, Bars(6, expense_first, expense_last));
      case 2:
        return PlotSeries(table, context, name, Bars(0, 1, income_last));
      case 3:
        return PlotSeries(table, context, name, Bars(0, expense_first, expense_last));
      case 4:
        return PlotPair(table, context, name,
                        {PlotKind::kPie, 6, 6, n - 2, split, table.Cell(n - 2, 7),
                         table.Cell(split, 7), false, 0, 0});
      default:
        return {};
    }
  }
  SeriesArgs args;
  switch (type) {
    case 0:
    case 1: {
      const bool income = type == 0;
      args = Bars(income ? 4 : 6, income ? 1 : expense_first, income ? income_last : expense_last);
      args.column_b = income ? 6 : 4;
      args.title_a = income ? context.compare_caption : context.main_caption;
      args.title_b = income ? context.main_caption : context.compare_caption;
      args.fixed_colours = true;
      args.colour_a = income ? kComparePeriodColour : kMainPeriodColour;
      args.colour_b = income ? kMainPeriodColour : kComparePeriodColour;
      return PlotSeries(table, context, name, args);
    }
    case 2:
    case 3:
      args = type == 2 ? Bars(2, 1, income_last) : Bars(2, expense_first, expense_last);
      args.title_a = QStringLiteral("ההפרש");
      return PlotSeries(table, context, name, args);
    case 4:
    case 5: {
      const int row = type == 4 ? split : n - 2;
      return PlotPair(table, context, name,
                      {PlotKind::kPie, 4, 6, row, row, context.main_caption,
                       context.compare_caption, true, kComparePeriodColour, kMainPeriodColour});
    }
    default:
      return {};
  }
}

ChartPlan PlanTrends(const ReportTable& table, const ChartContext& context, int type,
                     const QString& name) {
  const int n = table.RowCount();
  SeriesArgs args = Bars(2, 0, n - 2, 4);
  args.top_level_only = false;
  switch (type) {
    case 0:
      args.column_b = 3;
      args.title_a = QStringLiteral("הוצאה");
      args.title_b = QStringLiteral("הכנסה");
      return PlotSeries(table, context, name, args);
    case 1:
      args.column_a = 1;
      return PlotSeries(table, context, name, args);
    case 2:
      args.column_a = 0;
      return PlotSeries(table, context, name, args);
    case 3:
      return PlotPair(table, context, name,
                      {PlotKind::kPie, 2, 3, n - 1, n - 1, QStringLiteral("הכנסה"),
                       QStringLiteral("הוצאה"), true, chart_colour::kRed, chart_colour::kYellow});
    default:
      return {};
  }
}

}  // namespace

bool ChartPlan::Empty() const {
  for (const ChartSeriesPlan& s : series) {
    if (s.active && !s.points.empty()) return false;
  }
  return true;
}

int ChartPlan::ActiveCount() const {
  int count = 0;
  for (const ChartSeriesPlan& s : series) count += s.active ? 1 : 0;
  return count;
}

ChartContext ChartContextOf(const ReportSettings& settings) {
  ChartContext context;
  context.comparison = settings.comparison && settings.kind == ReportKind::kIncomeExpenses;
  context.title = settings.title;
  if (context.comparison) {
    context.main_caption = PeriodLabel(settings.period_type, settings.from, settings.to);
    context.compare_caption =
        PeriodLabel(settings.period_type, settings.compare_from, settings.compare_to);
  }
  return context;
}

QStringList ChartTypeNames(ReportLayout layout, bool comparison) {
  switch (layout) {
    case ReportLayout::kBalanceToDate:
      return {QStringLiteral("השוואת יתרות Pie")};
    case ReportLayout::kCashFlow:
      return {QStringLiteral("יתרת הבנק")};
    case ReportLayout::kTrends:
      return {QStringLiteral("ההכנסות מול ההוצאות Bar"), QStringLiteral("ההפרשים Bar"),
              QStringLiteral("המגמה Bar"), QStringLiteral("סה\"כ הוצאות מול סה\"כ הכנסות")};
    case ReportLayout::kIncomeExpenses:
      break;
  }
  if (comparison) {
    return {QStringLiteral("השוואת הכנסות בין תקופות"),
            QStringLiteral("השוואת הוצאות בין תקופות"),
            QStringLiteral("ההפרשים בהכנסות בין התקופות"),
            QStringLiteral("ההפרשים בהוצאות בין התקופות"),
            QStringLiteral("סה\"כ הכנסות בשתי התקופות"),
            QStringLiteral("סה\"כ ההוצאות בשתי התקופות")};
  }
  return {QStringLiteral("התפלגות ההכנסות"), QStringLiteral("התפלגות ההוצאות"),
          QStringLiteral("אחוזי ההכנסות מההכנסה הכוללת"),
          QStringLiteral("אחוזי ההוצאות מההכנסה הכוללת"),
          QStringLiteral("ס\"כ ההכנסות לעומת ס\"כ ההוצאות")};
}

ChartPlan PlanChart(const ReportTable& table, const ChartContext& context, int type) {
  const bool comparison = context.comparison && table.layout == ReportLayout::kIncomeExpenses;
  const QStringList names = ChartTypeNames(table.layout, comparison);
  if (type < 0 || type >= names.size() || table.detail) return ClearedChart();
  const QString& name = names[type];
  const int n = table.RowCount();
  switch (table.layout) {
    case ReportLayout::kBalanceToDate: {
      SeriesArgs args;
      args.kind = PlotKind::kPie;
      args.column_a = 0;
      args.first_row = 0;
      args.last_row = n - 2;
      args.label_column = 1;
      args.title_a = QStringLiteral("בנק\\יתרה");
      return PlotSeries(table, context, name, args);
    }
    case ReportLayout::kCashFlow: {
      // A cash-flow report has no total row: its last row is the latest
      // balance and belongs on the line.
      SeriesArgs args;
      args.kind = PlotKind::kLines;
      args.column_a = kBalanceColumn;
      args.first_row = 0;
      args.last_row = n - 1;
      args.label_column = kDateColumn;
      return PlotSeries(table, context, name, args);
    }
    case ReportLayout::kIncomeExpenses:
      return PlanIncomeExpenses(
          table,
          ChartContext{comparison, context.title, context.main_caption, context.compare_caption},
          type, name);
    case ReportLayout::kTrends:
      return PlanTrends(table, context, type, name);
  }
  return ClearedChart();
}

uint32_t AutomaticPointColour(int index) {
  static constexpr uint32_t kPalette[] = {
      0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0xFFFFFF, 0x808080, 0xFF00FF, 0x808000,
      0x800000, 0x000080, 0x00FF00, 0x008080, 0x800080, 0xC0C0C0, 0xFFFF00, 0x000000};
  constexpr int kCount = sizeof(kPalette) / sizeof(kPalette[0]);
  return kPalette[((index % kCount) + kCount) % kCount];
}

}  // namespace cheque
