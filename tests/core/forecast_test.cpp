#include "core/register/forecast.h"

#include <gtest/gtest.h>

#include "tests/core/register_rows.h"

using namespace cheque;
using namespace cheque::testing;
using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2027, 1, 10);

Tx Opening(QStringView balance) { return {balance, {}, {}, kBank, u"1/1/2027", u"+"}; }

}  // namespace

TEST(Forecast, ReadsTheRunningBalanceAhead) {
  struct Case {
    const char* name;
    std::vector<Tx> rows;
    QStringView credit_line;
    int horizon;
    QString listing;
    QString line;  // empty: not checked
  };
  const std::vector<Case> cases = {
      {"a crossing on a day of several rows: the day's end decides",
       {Opening(u"500"),
        {{}, {}, u"100", {}, u"5/1/2027", u"+"},
        {{}, {}, u"1500", {}, u"12/1/2027"},
        {{}, u"1500", {}, {}, u"12/1/2027"},
        {{}, {}, u"2000", {}, u"15/1/2027"},
        {{}, u"1000", {}, {}, u"15/1/2027"},
        {{}, {}, u"500", {}, u"15/1/2027"},
        {{}, u"3000", {}, {}, u"20/1/2027"}},
       u"1000",
       365,
       u"12/1/2027\t400\n15/1/2027\t-1100\n20/1/2027\t1900\nlimit -1000\n"
       u"crossing 15/1/2027 6\nlowest -1100 15/1/2027\nlast 20/1/2027\n"_s,
       u"צפי: ב-15/1/2027 היתרה תרד מתחת למסגרת (\u200E-1,100.00)"_s},
      {"a future bank balance restarts above the limit; a future row with + counts",
       {Opening(u"500"),
        {{}, {}, u"1200", {}, u"12/1/2027", u"+"},
        {u"5000", {}, {}, kBank, u"20/1/2027", u"+"},
        {{}, {}, u"5500", {}, u"25/1/2027", u"?"}},
       u"1000",
       365,
       u"12/1/2027\t-700\n20/1/2027\t5000\n25/1/2027\t-500\nlimit -1000\n"
       u"crossing none\nlowest -700 12/1/2027\nlast 25/1/2027\n"_s,
       u"צפי: היתרה נשארת מעל המסגרת עד 25/1/2027"_s},
      {"an open row moved after a future bank balance counts on its day; credit line 0",
       {Opening(u"500"),
        {{}, {}, u"300", {}, u"15/1/2027", u"?"},
        {u"100", {}, {}, kBank, u"20/1/2027", u"+"},
        {{}, {}, u"50", {}, u"25/1/2027"}},
       u"0",
       365,
       u"20/1/2027\t-200\n25/1/2027\t-250\nlimit 0\n"
       u"crossing 20/1/2027 2\nlowest -250 25/1/2027\nlast 25/1/2027\n"_s,
       {}},
      {"no credit line: the limit is 0, and today below it is the crossing",
       {Opening(u"-50"), {{}, u"100", {}, {}, u"14/1/2027"}},
       {},
       365,
       u"14/1/2027\t50\nlimit 0\ncrossing 10/1/2027 0\nlowest -50 10/1/2027\nlast 14/1/2027\n"_s,
       {}},
      {"the horizon cuts the crossing off",
       {Opening(u"500"), {{}, {}, u"200", {}, u"1/2/2027"}, {{}, {}, u"2000", {}, u"24/2/2027"}},
       u"1000",
       30,
       u"1/2/2027\t300\nlimit -1000\ncrossing none\nlowest 300 1/2/2027\nlast 24/2/2027\n"_s,
       u"צפי: היתרה נשארת מעל המסגרת עד 9/2/2027"_s},
      {"no future rows",
       {Opening(u"500"), {{}, {}, u"100", {}, u"5/1/2027"}},
       u"1000",
       365,
       u"limit -1000\ncrossing none\nlowest 400 10/1/2027\nlast 5/1/2027\n"_s,
       u"צפי: אין תנועות עתידיות"_s},
      {"a balance beyond numbers stops the forecast at its row",
       {Opening(u"500"),
        {{}, {}, u"2000", {}, u"11/1/2027"},
        {{}, u"1e308", {}, {}, u"12/1/2027"},
        {{}, u"1e308", {}, {}, u"12/1/2027"},
        {{}, {}, u"5", {}, u"13/1/2027"}},
       u"2000",
       365,
       u"11/1/2027\t-1500\nlimit -2000\ncrossing none\nlowest -1500 11/1/2027\n"
       u"last 13/1/2027\nstopped 12/1/2027 3\n"_s,
       u"צפי: היתרה גדולה מדי ולא ניתן לחשב אותה מ-12/1/2027"_s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register reg = Make(c.rows);
    reg.SortRegister(kDateColumn, kToday);
    const Forecast forecast = ComputeForecast(reg, c.credit_line, kToday, c.horizon);
    EXPECT_EQ(ForecastListing(forecast), c.listing);
    if (!c.line.isEmpty()) {
      EXPECT_EQ(ForecastLineText(forecast), c.line);
    }
  }
}

// A row entered out of date order: the forecast is what the date sort will
// show, its rows where they stand now, and the register stays as it was.
TEST(Forecast, RowsThatWantSortingAreReadInDateOrder) {
  Register reg = Make(
      {Opening(u"500"), {{}, {}, u"100", {}, u"20/1/2027"}, {{}, {}, u"2000", {}, u"15/1/2027"}});
  reg.RecomputeBalances();
  reg.SetNeedsSorting(true);
  const Forecast forecast = ComputeForecast(reg, u"1000", kToday);
  EXPECT_EQ(ForecastListing(forecast),
            u"15/1/2027\t-1500\n20/1/2027\t-1600\nlimit -1000\ncrossing 15/1/2027 2\n"
            u"lowest -1600 20/1/2027\nlast 20/1/2027\n"_s);
  EXPECT_TRUE(reg.NeedsSorting());
  EXPECT_EQ(reg.Cell(2, kDateColumn), u"15/1/2027"_s);
}
