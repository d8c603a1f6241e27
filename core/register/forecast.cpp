#include "core/register/forecast.h"

#include <QLocale>
#include <algorithm>
#include <cstdint>

#include "core/register/register_row.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// Learns where the date sort of a copy took each row.
class OrderLog : public RowChangeLog {
 public:
  explicit OrderLog(int rows) : row_at_(static_cast<size_t>(std::max(rows, 0))) {
    for (size_t k = 0; k < row_at_.size(); ++k) row_at_[k] = static_cast<int>(k);
  }
  int Original(int place) const {
    return place >= 0 && static_cast<size_t>(place) < row_at_.size()
               ? row_at_[static_cast<size_t>(place)]
               : place;
  }
  void Reordered(std::vector<std::uint32_t> order) override {
    std::vector<int> moved = row_at_;
    for (size_t k = 0; k < order.size() && k < moved.size(); ++k) moved[k] = row_at_[order[k]];
    row_at_ = std::move(moved);
  }
  void Spliced(int, size_t, std::string_view, std::string_view, bool) override {}
  void Inserted(int, std::string_view) override {}
  void Removed(int, std::string_view) override {}
  void Reset() override {}

 private:
  std::vector<int> row_at_;
};

// Rows of one day come together: the day of the date before is often the day.
struct DayReader {
  QDate today;
  std::string_view last_text;
  qint64 last_day = 0;
  bool valid = false;
  qint64 Day(std::string_view text) {
    if (!valid || text != last_text) {
      last_day = CellDayNumber(text, today);
      last_text = text;
      valid = true;
    }
    return last_day;
  }
};

// The forecast over a register whose balances are its date sort's.
Forecast ForecastOfSorted(const Register& reg, double limit, QDate today, int horizon_days) {
  Forecast forecast;
  forecast.today = today;
  forecast.limit = limit;
  forecast.horizon_end = today.addDays(std::max(horizon_days, 0));
  const qint64 today_number = DayNumber(today);
  const qint64 horizon_number = DayNumber(forecast.horizon_end);
  const int last_row = reg.RowCount() - 2;
  DayReader reader{today, {}, 0, false};

  // Today's balance: the last row dated today or before, found from the end,
  // so that only the rows ahead are read.
  int first_ahead = 0;
  for (int row = last_row; row >= 0; --row) {
    const std::string_view record = reg.RawRecord(row);
    if (register_row::IsEmpty(record)) continue;
    const auto fields = register_row::Split<4>(record);
    const qint64 day = reader.Day(fields.Column(kDateColumn));
    if (day > today_number) continue;
    forecast.last_day = DateFromDayNumber(day);
    forecast.start_row = row;
    first_ahead = row + 1;
    const std::string_view balance = fields.Column(kBalanceColumn);
    if (balance == kBalanceOverflowText) {
      forecast.stopped_row = row;
      forecast.stopped_day = today;
    } else {
      forecast.start_balance = ParseAmount(balance);
    }
    break;
  }
  if (forecast.stopped_row < 0) {
    forecast.lowest = ForecastDay{today, forecast.start_balance, forecast.start_row};
    if (forecast.start_balance < limit) {
      forecast.crossing = ForecastCrossing{today, forecast.start_balance, forecast.start_row};
    }
  }

  // The day's end balance decides; the row from which the balance stays
  // below the limit to the day's end is the one that took it there.
  ForecastDay open_day;
  int below_from = -1;
  const auto close_day = [&] {
    if (!open_day.day.isValid()) return;
    forecast.days.push_back(open_day);
    if (!forecast.crossing && open_day.balance < limit) {
      forecast.crossing = ForecastCrossing{open_day.day, open_day.balance, below_from};
    }
    if (open_day.balance < forecast.lowest->balance) forecast.lowest = open_day;
    open_day = {};
  };
  bool active = forecast.stopped_row < 0;
  qint64 previous = today_number;
  for (int row = first_ahead; row <= last_row; ++row) {
    const std::string_view record = reg.RawRecord(row);
    if (register_row::IsEmpty(record)) continue;
    const auto fields = register_row::Split<4>(record);
    // Open rows that the reconciliation put after a future bank balance
    // leave the bank no earlier than its day.
    const qint64 day = std::max(reader.Day(fields.Column(kDateColumn)), previous);
    previous = day;
    // Beyond the horizon or a stop the rows only tell how far the register reaches.
    if (!active || day > horizon_number) {
      active = false;
      continue;
    }
    const QDate date = DateFromDayNumber(day);
    if (date != open_day.day) close_day();
    const std::string_view balance_text = fields.Column(kBalanceColumn);
    if (balance_text == kBalanceOverflowText) {
      // The day's end is unknown: nothing from here on may be told.
      forecast.stopped_row = row;
      forecast.stopped_day = date;
      open_day = {};
      active = false;
      continue;
    }
    const double balance = ParseAmount(balance_text);
    if (balance >= limit) {
      below_from = -1;
    } else if (below_from < 0) {
      below_from = row;
    }
    open_day = {date, balance, row};
  }
  close_day();
  if (previous > today_number) forecast.last_day = DateFromDayNumber(previous);
  return forecast;
}

}  // namespace

Forecast ComputeForecast(const Register& reg, QStringView credit_line, QDate today,
                         int horizon_days) {
  // No credit line is a limit of 0, never of -0.
  const double credit = ParseAmount(credit_line);
  const double limit = credit == 0 ? 0.0 : -credit;
  if (!reg.NeedsSorting()) return ForecastOfSorted(reg, limit, today, horizon_days);
  // The balances of unsorted rows mean nothing until the date sort; the
  // forecast tells what that sort will show.
  Register sorted = reg;
  OrderLog order(sorted.RowCount());
  sorted.SetChangeLog(&order);
  sorted.SortRegister(kDateColumn, today);
  sorted.SetChangeLog(nullptr);
  Forecast forecast = ForecastOfSorted(sorted, limit, today, horizon_days);
  const auto map = [&order](int& row) {
    if (row >= 0) row = order.Original(row);
  };
  map(forecast.start_row);
  map(forecast.stopped_row);
  for (ForecastDay& day : forecast.days) map(day.row);
  if (forecast.crossing) map(forecast.crossing->row);
  if (forecast.lowest) map(forecast.lowest->row);
  return forecast;
}

QString ForecastListing(const Forecast& forecast) {
  QString out;
  const auto date_or_none = [](QDate date) {
    return date.isValid() ? DateText(date) : QStringLiteral("none");
  };
  for (const ForecastDay& day : forecast.days) {
    out += DateText(day.day) + u'\t' + FormatAmount(day.balance) + u'\n';
  }
  out += QStringLiteral("limit ") + FormatAmount(forecast.limit) + u'\n';
  out += QStringLiteral("crossing ");
  out += forecast.crossing
             ? DateText(forecast.crossing->day) + u' ' + QString::number(forecast.crossing->row)
             : QStringLiteral("none");
  out += QStringLiteral("\nlowest ");
  out += forecast.lowest
             ? FormatAmount(forecast.lowest->balance) + u' ' + DateText(forecast.lowest->day)
             : QStringLiteral("none");
  out += QStringLiteral("\nlast ") + date_or_none(forecast.last_day) + u'\n';
  if (forecast.stopped_row >= 0) {
    out += QStringLiteral("stopped ") + DateText(forecast.stopped_day) + u' ' +
           QString::number(forecast.stopped_row) + u'\n';
  }
  return out;
}

QString ForecastAmountText(double value) {
  static const QLocale kGrouped(QLocale::English, QLocale::UnitedStates);
  return QStringLiteral("\u200E") + kGrouped.toString(value, 'f', 2);
}

bool ForecastWarns(const Forecast& forecast) {
  return forecast.HasFutureRows() && (forecast.crossing || forecast.stopped_row >= 0);
}

QString ForecastLineText(const Forecast& forecast) {
  if (!forecast.HasFutureRows()) return QStringLiteral("צפי: אין תנועות עתידיות");
  if (forecast.crossing) {
    return QStringLiteral("צפי: ב-") + DateText(forecast.crossing->day) +
           QStringLiteral(" היתרה תרד מתחת למסגרת (") +
           ForecastAmountText(forecast.crossing->balance) + u')';
  }
  if (forecast.stopped_row >= 0) {
    return QStringLiteral("צפי: היתרה גדולה מדי ולא ניתן לחשב אותה מ-") +
           DateText(forecast.stopped_day);
  }
  return QStringLiteral("צפי: היתרה נשארת מעל המסגרת עד ") +
         DateText(std::min(forecast.last_day, forecast.horizon_end));
}

}  // namespace cheque
