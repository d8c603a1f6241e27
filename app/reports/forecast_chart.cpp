#include "app/reports/forecast_chart.h"

#include <QChartView>
#include <QDateTimeAxis>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "app/reports/report_printing.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

qreal At(QDate date) { return static_cast<qreal>(date.startOfDay().toMSecsSinceEpoch()); }

// The last day the chart draws: the horizon, or the register's last day or
// the stop when they come first. The forecast tells nothing beyond them.
QDate EndOf(const Forecast& forecast) {
  QDate end = forecast.horizon_end;
  if (forecast.last_day.isValid()) end = std::min(end, std::max(forecast.last_day, forecast.today));
  if (forecast.stopped_row >= 0) end = std::min(end, forecast.stopped_day);
  return std::max(end, forecast.today);
}

// One labelled point, kept out of the legend.
void AddLabel(QChart& chart, QDate day, double value, const QString& text, const QColor& colour) {
  auto* point = new QScatterSeries;
  point->append(At(day), value);
  point->setColor(colour);
  point->setMarkerSize(9);
  point->setPointLabelsVisible(true);
  point->setPointLabelsFormat(text);
  point->setPointLabelsClipping(false);
  point->setPointLabelsColor(Qt::black);
  chart.addSeries(point);
  for (QLegendMarker* marker : chart.legend()->markers(point)) marker->setVisible(false);
}

}  // namespace

void FillForecastChart(QChart& chart, const Forecast& forecast, const QString& account) {
  chart.removeAllSeries();
  for (QAbstractAxis* axis : chart.axes()) {
    chart.removeAxis(axis);
    delete axis;
  }
  chart.setAnimationOptions(QChart::NoAnimation);
  chart.setLocalizeNumbers(false);
  // The report charts' look: the yellow-to-pink background, the blue title.
  QLinearGradient background(0, 0, 0, 1);
  background.setCoordinateMode(QGradient::ObjectBoundingMode);
  background.setColorAt(0, QColor(0xFF, 0xFF, 0x80));
  background.setColorAt(1, QColor(0xFF, 0x80, 0x80));
  chart.setBackgroundBrush(background);
  QFont title_font(QStringLiteral("Arial"), 12);
  title_font.setFamilies(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  title_font.setBold(true);
  chart.setTitleFont(title_font);
  chart.setTitleBrush(QColor(0, 0, 0xFF));
  const QString title = QStringLiteral("צפי יתרה - ") + account;
  chart.setTitle(QStringLiteral("<span style=\"background-color:#ffff00\">&nbsp;") +
                 title.toHtmlEscaped() + QStringLiteral("&nbsp;</span><br><small>") +
                 ForecastLineText(forecast).toHtmlEscaped() + QStringLiteral("</small>"));
  chart.legend()->setAlignment(Qt::AlignRight);
  chart.legend()->setVisible(true);

  const QDate end = EndOf(forecast);
  // The balance holds from one day with rows to the next: a step line.
  auto* balance = new QLineSeries;
  balance->setName(QStringLiteral("יתרה צפויה"));
  balance->setColor(QColor(0, 0, 0xFF));
  double low = std::min(forecast.start_balance, forecast.limit);
  double high = std::max(forecast.start_balance, forecast.limit);
  double level = forecast.start_balance;
  balance->append(At(forecast.today), level);
  for (const ForecastDay& day : forecast.days) {
    balance->append(At(day.day), level);
    balance->append(At(day.day), day.balance);
    level = day.balance;
    low = std::min(low, level);
    high = std::max(high, level);
  }
  balance->append(At(end), level);
  auto* limit = new QLineSeries;
  limit->setName(QStringLiteral("מסגרת"));
  QPen red(QColor(0xFF, 0, 0));
  red.setWidth(2);
  limit->setPen(red);
  limit->append(At(forecast.today), forecast.limit);
  limit->append(At(end), forecast.limit);
  chart.addSeries(limit);
  chart.addSeries(balance);

  const QString today_text = QStringLiteral("היום: ") + ForecastAmountText(forecast.start_balance);
  if (forecast.lowest && forecast.lowest->day != forecast.today) {
    AddLabel(chart, forecast.today, forecast.start_balance, today_text, QColor(0, 0x80, 0));
    AddLabel(chart, forecast.lowest->day, forecast.lowest->balance,
             QStringLiteral("הנמוכה ביותר: ") + ForecastAmountText(forecast.lowest->balance) +
                 QStringLiteral(" ב-") + DateText(forecast.lowest->day),
             QColor(0xFF, 0, 0));
  } else {
    AddLabel(chart, forecast.today, forecast.start_balance,
             forecast.lowest ? today_text + QStringLiteral(" (הנמוכה ביותר)") : today_text,
             QColor(0, 0x80, 0));
  }

  auto* x = new QDateTimeAxis;
  x->setFormat(QStringLiteral("d/M/yyyy"));
  // Upright dates fit side by side even on a report page's chart band.
  x->setTickCount(6);
  // Room at the left for today's label, which stands centred on its point.
  const qint64 span = std::max<qint64>(forecast.today.daysTo(end), 1);
  x->setRange(forecast.today.addDays(-std::max<qint64>(span / 8, 1)).startOfDay(),
              end.addDays(std::max<qint64>(span / 50, 1)).startOfDay());
  chart.addAxis(x, Qt::AlignBottom);
  auto* y = new QValueAxis;
  const double margin = std::max((high - low) * 0.1, 1.0);
  y->setRange(low - margin, high + margin);
  y->applyNiceNumbers();
  y->setLabelFormat(QStringLiteral("%.0f"));
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart.series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
}

void RenderForecastChart(QPainter& painter, const Forecast& forecast, const QString& account,
                         const QRectF& target) {
  QGraphicsScene scene;
  auto* chart = new QChart;
  scene.addItem(chart);
  const QRectF area(QPointF(0, 0), target.size());
  chart->setGeometry(area);
  FillForecastChart(*chart, forecast, account);
  chart->layout()->activate();
  scene.setSceneRect(area);
  scene.render(&painter, target, area);
}

TForecastChart::TForecastChart(Services& services, const Forecast& forecast, const QString& account,
                               QWidget* parent)
    : QDialog(parent), services_(services), forecast_(forecast), account_(account) {
  setObjectName(QStringLiteral("TForecastChart"));
  setWindowTitle(QStringLiteral("גרף צפי"));
  setLayoutDirection(Qt::RightToLeft);
  resize(760, 520);
  auto* layout = new QVBoxLayout(this);
  view_ = new QChartView(new QChart, this);
  view_->setObjectName(QStringLiteral("ChartForecast"));
  view_->setRenderHint(QPainter::Antialiasing);
  FillForecastChart(*view_->chart(), forecast_, account_);
  layout->addWidget(view_, 1);
  auto* buttons = new QHBoxLayout;
  auto* print = new QPushButton(QStringLiteral("הדפסה"), this);
  print->setObjectName(QStringLiteral("BtnPrint"));
  auto* close = new QPushButton(QStringLiteral("סגירה"), this);
  close->setObjectName(QStringLiteral("BtnClose"));
  buttons->addWidget(print);
  buttons->addWidget(close);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(print, &QPushButton::clicked, this, &TForecastChart::Print);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

bool TForecastChart::Print() {
  if (services_.print_target == nullptr) return false;
  // The page of a report's chart: the report's paper, the chart where the
  // reports put theirs, the page fitted to the printable area.
  const bool printed = services_.print_target->Print(
      windowTitle(), QStringLiteral("Forecast.pdf"), kPageResolution,
      [this](QPrinter& printer, QPainter& painter) {
        const QSize page = ReportPageSize();
        const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
        const double scale =
            std::min(printable.width() / page.width(), printable.height() / page.height());
        painter.save();
        painter.scale(scale, scale);
        painter.fillRect(QRect(QPoint(0, 0), page), Qt::white);
        RenderForecastChart(painter, forecast_, account_, ChartArea(page));
        painter.restore();
        return true;
      },
      this);
  if (!printed && services_.prompter != nullptr) {
    services_.prompter->ShowError(QStringLiteral("הדפסת הגרף נכשלה\rהדף לא הודפס"), this);
  }
  return printed;
}

}  // namespace cheque
