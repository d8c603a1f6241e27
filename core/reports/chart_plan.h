#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "core/reports/report_settings.h"
#include "core/reports/report_table.h"

namespace cheque {

// The five series of the report chart, in their order.
enum ChartSeriesIndex {
  kLineSeries = 0,   // Series1, red line
  kPieSeries = 1,    // Series2
  kBarSeries = 2,    // Series3, yellow bars
  kBar2Series = 3,   // Series4, yellow bars
  kLine2Series = 4,  // Series5, blue line
  kChartSeriesCount = 5,
};

enum class PlotKind { kBars, kLines, kPie };

struct ChartPoint {
  double value = 0;
  QString label;
  uint32_t colour = 0;  // 0xBBGGRR, resolved: the automatic colour or the series'
  double share = 0;     // pie slices: percent of the drawn whole
  int row = -1;         // the report row it comes from: two series meet by row
  QDate date;           // a balance line: the row's date
};

struct ChartSeriesPlan {
  bool active = false;
  QString title;
  bool each_point_coloured = true;
  uint32_t colour = 0;  // 0xBBGGRR, when not each point coloured
  std::vector<ChartPoint> points;
};

// One chart of a report as plain data.
struct ChartPlan {
  std::array<ChartSeriesPlan, kChartSeriesCount> series;
  QString title;
  QString foot;
  bool legend = false;
  bool Empty() const;
  int ActiveCount() const;
};

// What a chart reads besides the report: the wizard's report title and,
// for a comparison, the captions over the two amount columns.
struct ChartContext {
  bool comparison = false;
  QString title;
  QString main_caption;     // caption of column 6
  QString compare_caption;  // caption of column 4
};
ChartContext ChartContextOf(const ReportSettings& settings);

// The chart-type names offered for a report, in list order.
QStringList ChartTypeNames(ReportLayout layout, bool comparison);

// Chart type `type` (0-based index into ChartTypeNames) of a report; an
// empty plan for a type the report does not offer.
ChartPlan PlanChart(const ReportTable& table, const ChartContext& context, int type);

// The colour TeeChart-like charts give point `index` when each point is
// coloured on its own.
uint32_t AutomaticPointColour(int index);

// Series colours as the chart's design gives them.
namespace chart_colour {
inline constexpr uint32_t kRed = 0x0000FF;
inline constexpr uint32_t kYellow = 0x00FFFF;
inline constexpr uint32_t kBlue = 0xFF0000;
}  // namespace chart_colour

}  // namespace cheque
