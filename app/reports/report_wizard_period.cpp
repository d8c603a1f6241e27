// The period page: presets, the comparison picker, the year boxes and the
// date fields.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "app/common/calendar_dialog.h"
#include "app/reports/report_wizard.h"
#include "core/reports/report_period.h"
#include "core/text/date_text.h"

namespace cheque {

void TReportWiz::ApplyPreset() {
  const DateRange range =
      PresetRange(PresetIndex(presets_->currentText()), services_.clock->Today());
  if (!range.from.isValid()) return;
  SetFieldDate(from_, range.from);
  SetFieldDate(to_, range.to);
}

PeriodType TReportWiz::CheckedPeriodType() const {
  for (size_t i = 0; i < period_types_.size(); ++i)
    if (period_types_[i]->isChecked()) return static_cast<PeriodType>(i + 1);
  return PeriodType::kMonthly;
}

void TReportWiz::CheckPeriodType(PeriodType type) {
  settings_.period_type = type;
  period_types_[static_cast<size_t>(type) - 1]->setChecked(true);
}

void TReportWiz::LayOutStrips() {
  const PeriodType type = CheckedPeriodType();
  const int count = CellCount(type);
  for (size_t s = 0; s < cells_.size(); ++s) {
    // The cells carry their own months; the strip caption says the year of a
    // single-cell strip.
    strip_captions_[s]->setText(StripCaption(type, years_[s]->value()));
    strip_captions_[s]->setVisible(type == PeriodType::kYearly);
    for (int c = 0; c < 12; ++c) {
      QPushButton* cell = cells_[s][static_cast<size_t>(c)];
      cell->setVisible(c < count);
      const int last = CellLastMonth(type, c);
      const int first = CellRange(type, last, 2000).from.month();
      cell->setText(type == PeriodType::kYearly ? QString()
                    : first == last             ? QString::number(last)
                                    : VisualCaption(QStringLiteral("%1..%2").arg(first).arg(last)));
    }
  }
}

void TReportWiz::PeriodTypeChanged() {
  LayOutStrips();
  const PeriodType type = CheckedPeriodType();
  CellClicked(0, DefaultCell(type, 1));
  CellClicked(1, DefaultCell(type, 2));
  RebuildTitle();
}

void TReportWiz::CellClicked(int strip, int cell) {
  const auto s = static_cast<size_t>(strip);
  cells_[s][static_cast<size_t>(cell)]->setChecked(true);
  const PeriodType type = CheckedPeriodType();
  const DateRange range = CellRange(type, CellLastMonth(type, cell), years_[s]->value());
  SetFieldDate(strip == 0 ? from_ : compare_from_, range.from);
  SetFieldDate(strip == 0 ? to_ : compare_to_, range.to);
}

void TReportWiz::YearChanged(int strip) {
  const auto s = static_cast<size_t>(strip);
  const int year = years_[s]->value();
  QLineEdit* from = strip == 0 ? from_ : compare_from_;
  QLineEdit* to = strip == 0 ? to_ : compare_to_;
  if (strip == 0 && CheckedKind() == ReportKind::kTrends) {
    SetFieldDate(from, QDate(year, 1, 1));
    SetFieldDate(to, QDate(year, 12, 31));
  }
  if (CheckedPeriodType() == PeriodType::kYearly)
    strip_captions_[s]->setText(QString::number(year));
  if (ComparisonOn()) {
    // Day and month stay; a 29 February that the year lacks becomes the 28th.
    const QDate first = DateOf(from);
    const QDate last = DateOf(to);
    if (first.isValid()) SetFieldDate(from, DateInYear(first, year));
    if (last.isValid()) SetFieldDate(to, DateInYear(last, year));
  }
  RebuildTitle();
}

QDate& TReportWiz::DateOf(const QLineEdit* field) {
  if (field == from_) return settings_.from;
  if (field == to_) return settings_.to;
  if (field == compare_from_) return settings_.compare_from;
  return settings_.compare_to;
}

// The user typed: the definition takes the date the text reads as, or none.
void TReportWiz::FieldEdited(const QLineEdit* field) {
  if (writing_field_) return;
  const QDate today = services_.clock->Today();
  const NormalizedDate normalized = NormalizeDateText(field->text(), today);
  DateOf(field) =
      normalized.ok ? ReadDateText(QStringView(normalized.text), today).value_or(QDate()) : QDate();
  RebuildTitle();
}

void TReportWiz::SetFieldDate(QLineEdit* field, QDate date) {
  DateOf(field) = date;
  writing_field_ = true;
  field->setText(WizardDateText(date));
  writing_field_ = false;
  RebuildTitle();
}

bool TReportWiz::DatesValid() {
  struct Field {
    QLineEdit* field;
    QString name;
  };
  const bool comparison = ComparisonOn();
  const bool trends = CheckedKind() == ReportKind::kTrends;
  const bool from_used = FromShown() || comparison;
  const Field fields[] = {
      {from_, QStringLiteral("מתאריך")},
      {to_, CheckedKind() == ReportKind::kBalanceToDate ? QStringLiteral("ליום")
                                                        : QStringLiteral("עד תאריך")},
      {compare_from_, QStringLiteral("השוואה מתאריך")},
      {compare_to_, QStringLiteral("השוואה עד תאריך")},
  };
  for (const Field& f : fields) {
    const bool used = (f.field == compare_from_ || f.field == compare_to_) ? comparison
                      : f.field == from_                                   ? from_used
                                                                           : !trends;
    if (!used || DateOf(f.field).isValid()) continue;
    services_.prompter->ShowError(QStringLiteral("תאריך לא תקין בשדה ") + f.name, this);
    return false;
  }
  // A period that ends before it starts holds nothing: the report would be
  // empty with no word why. The lines are stored in visual order, date first.
  struct Period {
    QDate from;
    QDate to;
    bool used;
    QString heading;
  };
  const Period periods[] = {
      {settings_.from, settings_.to, from_used && !trends,
       QStringLiteral("תאריך הסיום קודם לתאריך ההתחלה")},
      {settings_.compare_from, settings_.compare_to, comparison,
       QStringLiteral("תאריך הסיום של תקופת ההשוואה קודם לתאריך ההתחלה")},
  };
  for (const Period& p : periods) {
    if (!p.used || p.from <= p.to) continue;
    services_.prompter->ShowError(p.heading + u'\r' + WizardDateText(p.from) +
                                      QStringLiteral(" :מתאריך\r") + WizardDateText(p.to) +
                                      QStringLiteral(" :עד תאריך"),
                                  this);
    return false;
  }
  return true;
}

void TReportWiz::PickDate(QLineEdit* field) {
  const QDate date = DateOf(field);
  calendar_.SetDate(date.isValid() ? date : services_.clock->Today());
  calendar_.SetOkCaption(QStringLiteral("הכנס"));
  if (calendar_.exec() == QDialog::Accepted) SetFieldDate(field, calendar_.Date());
}

}  // namespace cheque
