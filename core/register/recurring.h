#pragma once

#include <QDate>
#include <vector>

namespace cheque {

// The periods of a recurring transaction, in the order of the dialog's list.
enum class RepeatPeriod { kWeek = 0, kMonth, kTwoMonths, kThreeMonths, kFourMonths, kHalfYear };

// The date after `current` in a series whose first date fell on day
// `first_day`: a week adds 7 days; a month-based step falls on `first_day`,
// or on the last day of a target month too short for it, never on a day cut
// short by an earlier month (a `first_day` outside 1..31 stands for the day of
// `current`).
QDate NextOccurrence(QDate current, RepeatPeriod period, int first_day);

// The `count` dates of a series starting at `first` (none for count <= 0).
std::vector<QDate> SeriesDates(QDate first, RepeatPeriod period, int count);

}  // namespace cheque
