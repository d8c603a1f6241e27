#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "core/reports/report_settings.h"

namespace cheque {

struct DateRange {
  QDate from;
  QDate to;
  bool operator==(const DateRange&) const = default;
};

// The nine period presets of the wizard, in combo order (preset k is entry k-1).
const QStringList& PeriodPresets();
// 1..9 for a preset's text, 0 for any other text.
int PresetIndex(const QString& text);
// The period of preset k (1..9) on `today`; an invalid range for any other k.
DateRange PresetRange(int k, QDate today);

// The comparison picker: a strip has CellCount cells; cell c ends with month
// CellLastMonth (monthly 1..12, quarterly 3, 6, 9, 12, ...).
int CellCount(PeriodType type);
int CellLastMonth(PeriodType type, int cell);
// The period a click on the cell ending with `last_month` gives.
DateRange CellRange(PeriodType type, int last_month, int year);
// The cell clicked in strip 1 or 2 when the period type changes: strip 1
// the first period of its year, strip 2 the last.
int DefaultCell(PeriodType type, int strip);
// The strip caption above the cells for a type (the year for yearly).
QString StripCaption(PeriodType type, int year);
// The same day and month in another year; 29/2 becomes 28/2 in a common year.
QDate DateInYear(QDate date, int year);

// The date text the wizard writes: d/m/yyyy.
QString WizardDateText(QDate date);

// The one-line title of a definition. Parts hidden for the kind are left out.
QString ReportTitle(const ReportSettings& settings);
// The same with the date fields' texts as they stand (a text that is no date
// is shown as it is).
struct TitleDates {
  QString from;
  QString to;
  QString compare_from;
  QString compare_to;
};
QString ReportTitle(const ReportSettings& settings, const TitleDates& dates);

// The comparison caption of a period: "3/1998", "1..3 /1998", "1998".
QString PeriodLabel(PeriodType type, QDate from, QDate to);

}  // namespace cheque
