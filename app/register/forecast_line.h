#pragma once

#include <QWidget>

#include "app/common/services.h"
#include "core/register/forecast.h"

class QLabel;
class QTimer;
class QToolButton;

namespace cheque {

class ActiveAccount;

// The register page's forecast line: where the balance will fall below the
// credit line, kept current after every change of the rows, and the tool
// "גרף צפי" that asks for its chart. It only reads the register.
class ForecastLine : public QWidget {
  Q_OBJECT

 public:
  ForecastLine(Services& services, const ActiveAccount& account, QWidget* parent = nullptr);

  // Computes again once the present change is over (several calls, one pass).
  void Refresh();
  const Forecast& Result() const { return forecast_; }
  QString Text() const;
  // The line is lit for a moment after the account opens with a crossing near.
  bool IsFlashing() const { return flashing_; }

 signals:
  // A click on a line that tells a crossing: the row that takes it there.
  void RowRequested(int row);
  // "גרף צפי".
  void ChartRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Recompute();
  void Show();
  void Flash();

  Services& services_;
  const ActiveAccount& account_;
  Forecast forecast_;
  QLabel* label_ = nullptr;
  QToolButton* chart_tool_ = nullptr;
  QTimer* pending_ = nullptr;
  // Set when an account opens: its first forecast may call for a flash.
  bool opened_ = false;
  bool flashing_ = false;
};

}  // namespace cheque
