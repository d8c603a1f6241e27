#include "app/reports/report_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>

namespace cheque {
namespace {

QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

constexpr int kFootKey = 0;
const QString kFootTag = QStringLiteral("ChartFoot");
constexpr int kFootRoom = 24;

QFont ArialFont(int points, bool bold, bool italic) {
  QFont font(QStringLiteral("Arial"), points);
  font.setFamilies(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

QGraphicsTextItem* FootOf(QChart& chart) {
  for (QGraphicsItem* item : chart.childItems()) {
    if (item->data(kFootKey).toString() == kFootTag) {
      return static_cast<QGraphicsTextItem*>(item);
    }
  }
  auto* foot = new QGraphicsTextItem(&chart);
  foot->setData(kFootKey, kFootTag);
  foot->setZValue(10);
  foot->setFont(ArialFont(9, false, true));
  foot->setDefaultTextColor(FromBgr(chart_colour::kRed));
  QObject::connect(&chart, &QChart::plotAreaChanged, &chart, [&chart, foot] {
    const QRectF box = foot->boundingRect();
    foot->setPos((chart.size().width() - box.width()) / 2,
                 chart.size().height() - box.height() - 4);
  });
  return foot;
}

void Reset(QChart& chart) {
  chart.removeAllSeries();
  for (QAbstractAxis* axis : chart.axes()) {
    chart.removeAxis(axis);
    delete axis;
  }
}

// Categories of the bar and line charts: the report rows any series drew,
// in row order, so two series with different gaps still meet row by row.
struct Categories {
  std::vector<int> rows;
  QStringList labels;
  int IndexOf(int row) const {
    return static_cast<int>(std::lower_bound(rows.begin(), rows.end(), row) - rows.begin());
  }
};

Categories CategoriesOf(const ChartPlan& plan, std::initializer_list<int> series) {
  std::map<int, QString> by_row;
  for (const int s : series) {
    if (!plan.series[s].active) continue;
    for (const ChartPoint& point : plan.series[s].points) by_row.emplace(point.row, point.label);
  }
  Categories categories;
  for (const auto& [row, label] : by_row) {
    categories.rows.push_back(row);
    categories.labels.append(label.trimmed());
  }
  return categories;
}

// Ticks of a value axis: as many decimals as their spacing needs, so that
// no two ticks read alike (0, 0.5, 1, 1.5 and never 0, 1, 1, 2).
void LabelTicks(QValueAxis& axis) {
  const int ticks = std::max(axis.tickCount(), 2);
  const double step = (axis.max() - axis.min()) / (ticks - 1);
  int decimals = 0;
  for (; decimals < 6; ++decimals) {
    const double scale = std::pow(10.0, decimals);
    const auto whole = [scale](double v) {
      return std::abs(v * scale - std::round(v * scale)) <
             1e-6 * std::max(1.0, std::abs(v * scale));
    };
    if (whole(step) && whole(axis.min())) break;
  }
  axis.setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + u'f');
}

QValueAxis* AddValueAxis(QChart& chart, const std::vector<QAbstractSeries*>& series) {
  auto* y = new QValueAxis;
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* s : series) s->attachAxis(y);
  y->applyNiceNumbers();
  LabelTicks(*y);
  return y;
}

void AddAxes(QChart& chart, QAbstractSeries* series, const QStringList& labels) {
  auto* x = new QBarCategoryAxis;
  x->append(labels);
  // Labels that would not fit side by side stand on end rather than being cut.
  qsizetype letters = 0;
  for (const QString& label : labels) letters += label.size() + 2;
  if (labels.size() > 12 || letters > 70) x->setLabelsAngle(-90);
  chart.addAxis(x, Qt::AlignBottom);
  series->attachAxis(x);
  AddValueAxis(chart, {series});
}

void AddBars(QChart& chart, const ChartPlan& plan) {
  const Categories categories = CategoriesOf(plan, {kBarSeries, kBar2Series});
  const int count = static_cast<int>(categories.rows.size());
  std::vector<const ChartSeriesPlan*> drawn;
  for (const int s : {kBarSeries, kBar2Series}) {
    if (plan.series[s].active && !plan.series[s].points.empty()) drawn.push_back(&plan.series[s]);
  }
  QAbstractBarSeries* series = nullptr;
  if (drawn.size() == 1 && drawn.front()->each_point_coloured) {
    // One colour per bar: a set per point, stacked on an otherwise empty row.
    auto* stacked = new QStackedBarSeries;
    for (const ChartPoint& point : drawn.front()->points) {
      auto* set = new QBarSet(point.label.trimmed());
      for (int i = 0; i < count; ++i) {
        set->append(i == categories.IndexOf(point.row) ? point.value : 0.0);
      }
      set->setColor(FromBgr(point.colour));
      set->setBorderColor(Qt::black);
      stacked->append(set);
    }
    series = stacked;
  } else {
    auto* bars = new QBarSeries;
    for (const ChartSeriesPlan* plan_series : drawn) {
      auto* set = new QBarSet(plan_series->title);
      std::vector<double> values(static_cast<size_t>(count), 0.0);
      for (const ChartPoint& point : plan_series->points) {
        values[static_cast<size_t>(categories.IndexOf(point.row))] = point.value;
      }
      for (const double value : values) set->append(value);
      set->setColor(FromBgr(plan_series->colour));
      set->setBorderColor(Qt::black);
      bars->append(set);
    }
    series = bars;
  }
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsFormat(QStringLiteral("@value"));
  chart.addSeries(series);
  AddAxes(chart, series, categories.labels);
}

// A balance line runs along the calendar: each point at its day and its
// value, the axis labelled with the years (or months) at their first day.
// Where the dates start again (the next account of the report) the line
// starts again too, rather than running back across the chart.
void AddLines(QChart& chart, const ChartPlan& plan) {
  std::vector<QAbstractSeries*> drawn;
  QDate first;
  QDate last;
  double low = 0;
  double high = 0;
  for (const int s : {kLineSeries, kLine2Series}) {
    const ChartSeriesPlan& plan_series = plan.series[s];
    if (!plan_series.active || plan_series.points.empty()) continue;
    QLineSeries* line = nullptr;
    QDate previous;
    for (const ChartPoint& point : plan_series.points) {
      if (!point.date.isValid()) continue;
      if (line == nullptr || point.date < previous) {
        line = new QLineSeries;
        line->setName(plan_series.title);
        line->setColor(FromBgr(plan_series.colour));
        chart.addSeries(line);
        if (!drawn.empty()) {
          for (QLegendMarker* marker : chart.legend()->markers(line)) marker->setVisible(false);
        }
        drawn.push_back(line);
      }
      previous = point.date;
      line->append(static_cast<qreal>(point.date.toJulianDay()), point.value);
      if (!first.isValid() || point.date < first) first = point.date;
      if (!last.isValid() || point.date > last) last = point.date;
      low = std::min(low, point.value);
      high = std::max(high, point.value);
    }
  }
  if (drawn.empty()) return;
  auto* x = new QCategoryAxis;
  x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const bool years = first.daysTo(last) > 3 * 366;
  const int months_apart = (last.year() - first.year()) * 12 + last.month() - first.month();
  const int step = years ? 12 : std::max(1, (months_apart + 11) / 12);
  QDate mark = years ? QDate(first.year(), 1, 1) : QDate(first.year(), first.month(), 1);
  if (mark < first) mark = mark.addMonths(step);
  for (; mark <= last; mark = mark.addMonths(step)) {
    x->append(years ? QString::number(mark.year())
                    : QStringLiteral("%1/%2").arg(mark.month()).arg(mark.year()),
              static_cast<qreal>(mark.toJulianDay()));
  }
  x->setRange(static_cast<qreal>(first.toJulianDay() - 1),
              static_cast<qreal>(last.toJulianDay() + 1));
  if (!years) x->setLabelsAngle(-45);
  chart.addAxis(x, Qt::AlignBottom);
  for (QAbstractSeries* line : drawn) line->attachAxis(x);
  auto* y = new QValueAxis;
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* line : drawn) line->attachAxis(y);
  y->setRange(low, high > low ? high : low + 1);
  y->applyNiceNumbers();
  LabelTicks(*y);
}

void AddPie(QChart& chart, const ChartPlan& plan) {
  auto* pie = new QPieSeries;
  pie->setName(plan.series[kPieSeries].title);
  for (const ChartPoint& point : plan.series[kPieSeries].points) {
    QPieSlice* slice = pie->append(
        point.label.trimmed() + u' ' + QString::number(point.share, 'f', 1) + u'%', point.value);
    slice->setColor(FromBgr(point.colour));
    slice->setBorderColor(Qt::black);
    slice->setLabelVisible(true);
  }
  pie->setPieSize(0.6);
  chart.addSeries(pie);
  // The pie is never listed in the legend.
  for (QLegendMarker* marker : chart.legend()->markers(pie)) marker->setVisible(false);
}

}  // namespace

void FillChart(QChart& chart, const ChartPlan& plan) {
  Reset(chart);
  chart.setAnimationOptions(QChart::NoAnimation);
  chart.setLocalizeNumbers(false);
  QLinearGradient background(0, 0, 0, 1);
  background.setCoordinateMode(QGradient::ObjectBoundingMode);
  background.setColorAt(0, FromBgr(0x80FFFF));
  background.setColorAt(1, FromBgr(0x8080FF));
  chart.setBackgroundBrush(background);
  chart.setTitleFont(ArialFont(12, true, false));
  chart.setTitleBrush(FromBgr(chart_colour::kBlue));
  chart.setTitle(plan.title.isEmpty()
                     ? QString()
                     : QStringLiteral("<span style=\"background-color:#ffff00\">&nbsp;") +
                           plan.title.toHtmlEscaped() + QStringLiteral("&nbsp;</span>"));
  QGraphicsTextItem* foot = FootOf(chart);
  foot->setPlainText(plan.foot);
  chart.setMargins(QMargins(8, 8, 8, kFootRoom));
  chart.legend()->setAlignment(Qt::AlignRight);
  chart.legend()->setVisible(plan.legend);

  if (plan.series[kPieSeries].active && !plan.series[kPieSeries].points.empty()) {
    AddPie(chart, plan);
  } else if (plan.series[kBarSeries].active || plan.series[kBar2Series].active) {
    AddBars(chart, plan);
  } else if (plan.series[kLineSeries].active || plan.series[kLine2Series].active) {
    AddLines(chart, plan);
  }
  emit chart.plotAreaChanged(chart.plotArea());
}

void RenderChart(QPainter& painter, const ChartPlan& plan, const QRectF& target) {
  QGraphicsScene scene;
  auto* chart = new QChart;
  scene.addItem(chart);
  const QRectF area(QPointF(0, 0), target.size());
  chart->setGeometry(area);
  FillChart(*chart, plan);
  chart->layout()->activate();
  emit chart->plotAreaChanged(chart->plotArea());
  scene.setSceneRect(area);
  scene.render(&painter, target, area);
}

ReportChart::ReportChart(QWidget* parent) : QChartView(new QChart, parent) {
  setObjectName(QStringLiteral("Chart1"));
  setRenderHint(QPainter::Antialiasing);
  FillChart(*chart(), plan_);
}

void ReportChart::Draw(const ChartPlan& plan) {
  plan_ = plan;
  FillChart(*chart(), plan_);
}

}  // namespace cheque
