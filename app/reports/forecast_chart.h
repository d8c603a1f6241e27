#pragma once

#include <QDialog>
#include <QRectF>

#include "app/common/services.h"
#include "core/register/forecast.h"

class QChart;
class QChartView;
class QPainter;

namespace cheque {

// The forecast as a chart: the end-of-day balance from today to the horizon
// as a step line, the limit as a red line, today's balance and the lowest
// point labelled, dates as d/m/yyyy.
void FillForecastChart(QChart& chart, const Forecast& forecast, const QString& account);
// Draws it into `target` of any painter, as the report charts draw.
void RenderForecastChart(QPainter& painter, const Forecast& forecast, const QString& account,
                         const QRectF& target);

// "גרף צפי": the chart in a window of its own, printed on a report page.
class TForecastChart : public QDialog {
  Q_OBJECT

 public:
  TForecastChart(Services& services, const Forecast& forecast, const QString& account,
                 QWidget* parent = nullptr);
  // One page, as the reports print their charts; false when the job failed
  // (the user is told).
  bool Print();

 private:
  Services& services_;
  Forecast forecast_;
  QString account_;
  QChartView* view_ = nullptr;
};

}  // namespace cheque
