#pragma once

#include <QDate>
#include <vector>

namespace cheque {

// The periods of a recurring transaction, in the order of the dialog's list.
enum class RepeatPeriod { kWeek = 0, kMonth, kTwoMonths, kThreeMonths, kFourMonths, kHalfYear };

// The date after `current` in a series whose first date fell on day
// `first_day`: a week adds 7 days; a month-based step keeps the day when the
// target month has it, else uses its last day, and returns to `first_day`
// whenever the target month is long enough.
QDate NextOccurrence(QDate current, RepeatPeriod period, int first_day);

// The `count` dates of a series starting at `first` (none for count <= 0).
std::vector<QDate> SeriesDates(QDate first, RepeatPeriod period, int count);

}  // namespace cheque
