#include "core/register/recurring.h"

namespace cheque {
namespace {

int MonthsOf(RepeatPeriod period) {
  switch (period) {
    case RepeatPeriod::kWeek:
      return 0;
    case RepeatPeriod::kMonth:
      return 1;
    case RepeatPeriod::kTwoMonths:
      return 2;
    case RepeatPeriod::kThreeMonths:
      return 3;
    case RepeatPeriod::kFourMonths:
      return 4;
    case RepeatPeriod::kHalfYear:
      return 6;
  }
  return 1;
}

}  // namespace

QDate NextOccurrence(QDate current, RepeatPeriod period, int first_day) {
  if (!current.isValid()) return {};
  const int months = MonthsOf(period);
  if (months == 0) return current.addDays(7);
  const QDate month = QDate(current.year(), current.month(), 1).addMonths(months);
  const int last_day = month.daysInMonth();
  // Measured from the series' first day, not from the day reached: a series
  // from the 31st that passed through February still ends June on the 30th.
  const int day = first_day >= 1 && first_day <= 31 ? first_day : current.day();
  return QDate(month.year(), month.month(), day <= last_day ? day : last_day);
}

std::vector<QDate> SeriesDates(QDate first, RepeatPeriod period, int count) {
  std::vector<QDate> dates;
  if (!first.isValid() || count <= 0) return dates;
  dates.reserve(static_cast<size_t>(count));
  dates.push_back(first);
  for (int k = 1; k < count; ++k) {
    dates.push_back(NextOccurrence(dates.back(), period, first.day()));
  }
  return dates;
}

}  // namespace cheque
