#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "core/register/register.h"

namespace cheque {

inline constexpr int kForecastHorizonDays = 365;
// A crossing this close to today is announced when the account opens.
inline constexpr int kForecastWarningDays = 30;

// The balance at the end of a day that has rows, as the register's running
// balance leaves it after the day's last row.
struct ForecastDay {
  QDate day;
  double balance = 0;
  int row = -1;  // the day's last row
};

// Where the balance falls below the credit line: the day whose end balance
// is below it, and the row from which the day stays below it.
struct ForecastCrossing {
  QDate day;
  double balance = 0;
  int row = -1;
};

// What the register says of the days after today. Rows are register rows
// (from 0, in date order), of the register as given.
struct Forecast {
  QDate today;
  QDate horizon_end;
  double limit = 0;  // minus the credit line
  // The running balance of the last row dated today or before; start_row -1
  // when there is none, the balance then 0.
  double start_balance = 0;
  int start_row = -1;
  // Days after today with rows, up to the horizon or to a balance that could
  // not be computed.
  std::vector<ForecastDay> days;
  // Today counts when its own balance is already below the limit.
  std::optional<ForecastCrossing> crossing;
  // The lowest end-of-day balance from today to the horizon, the earliest
  // day of it; none when not even today's balance could be computed.
  std::optional<ForecastDay> lowest;
  // The last day the register has rows for: beyond it the forecast knows
  // nothing. Invalid for a register without rows.
  QDate last_day;
  // The first row whose balance the register could not compute ("######"),
  // and its day: the forecast ends there. -1 when there is none.
  int stopped_row = -1;
  QDate stopped_day;

  bool HasFutureRows() const { return last_day.isValid() && last_day > today; }
};

// The forecast over the register's running balance as its date sort leaves
// it: while the rows want sorting, over a sorted copy (rows are then told in
// the register's present order). `credit_line` is the account's "מסגרת";
// with none, the limit is 0.
Forecast ComputeForecast(const Register& reg, QStringView credit_line, QDate today,
                         int horizon_days = kForecastHorizonDays);

// The forecast as lines of text, as cheque-cli forecast prints them: a line
// a day (date and balance, TAB between), then "limit L", "crossing DATE ROW"
// or "crossing none", "lowest BALANCE DATE", "last DATE", and where the
// register could not compute a balance, "stopped DATE ROW".
QString ForecastListing(const Forecast& forecast);

// The register page's status line for a forecast.
QString ForecastLineText(const Forecast& forecast);
// True when the line warns (in red): a crossing, or a balance it could not compute.
bool ForecastWarns(const Forecast& forecast);
// A balance as the forecast shows it to a reader: "-32,150.00", with a
// left-to-right mark in front so that the sign stays at the left in a
// right-to-left line.
QString ForecastAmountText(double value);

}  // namespace cheque
