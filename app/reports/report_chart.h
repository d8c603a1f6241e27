#pragma once

#include <QChartView>
#include <QRectF>

#include "core/reports/chart_plan.h"

class QPainter;

namespace cheque {

// Lays a chart plan out on a chart: the five series, the gradient
// background, the title on a yellow band, the italic red foot and the
// legend. Bars are flat: Qt Charts draws no 3-D bars.
void FillChart(QChart& chart, const ChartPlan& plan);

// Draws a plan into `target` of any painter (a page image, a printer) as
// vectors, at the painter's resolution.
void RenderChart(QPainter& painter, const ChartPlan& plan, const QRectF& target);

// Chart1: the chart on the report page's "גראפים" tab.
class ReportChart : public QChartView {
  Q_OBJECT

 public:
  explicit ReportChart(QWidget* parent = nullptr);
  void Draw(const ChartPlan& plan);
  void Clear() { Draw(ChartPlan{}); }
  const ChartPlan& Plan() const { return plan_; }

 private:
  ChartPlan plan_;
};

}  // namespace cheque
