#pragma once

#include <QString>
#include <QTemporaryDir>

#include "app/common/services.h"
#include "core/reports/report_settings.h"

namespace cheque::bench {

// The day the generated accounts were made for.
inline const QDate kWindowToday(2025, 12, 1);

// A program folder (CHEQUE_HOME) holding one generated account of a million
// rows, with services that answer every question the cautious way and print
// nowhere, so nothing waits for a user.
class WindowHome {
 public:
  static WindowHome& Get();
  const QString& AccountName() const { return account_name_; }
  QString Folder() const { return dir_.path(); }
  Services& services() { return services_; }

 private:
  WindowHome();
  QTemporaryDir dir_;
  QString account_name_;
  Services services_;
};

// A report over the account's last ten years, every type and every category
// of both installed trees, as bench/report_bench.cpp asks of the engine.
ReportSettings EverythingForTenYears();

// Draws the widget now, as the first paint after it is shown would.
void PaintNow(QWidget& widget);

}  // namespace cheque::bench
