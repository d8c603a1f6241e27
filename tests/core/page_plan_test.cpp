#include "core/reports/page_plan.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "core/register/cell_style.h"
#include "core/register/register.h"
#include "core/reports/csv_export.h"
#include "core/reports/report_engine.h"

using namespace cheque;

namespace {

std::string S(const QString& text) { return text.toStdString(); }
QString Q(const char16_t* text) { return QString::fromUtf16(text); }

const QStringList kCashFlowCaptions = {Q(u"מס"),    Q(u"בנק\\יתרה"), Q(u"הכנסה"),
                                       Q(u"הוצאה"), Q(u"סוג"),       Q(u"קבוצה"),
                                       Q(u"תאור"),  Q(u"תאריך"),     Q(u"בוצע")};
const std::vector<int> kDetailWidths = {-1, 65, 65, 65, 50, 60, 200, 60, -1};
const std::vector<int> kCashFlowWidths = {-1, 65, 65, 65, 50, 60, 200, 60, 25};

PrintSource Rows(int count, ReportLayout layout, int chart_types) {
  PrintSource source;
  source.table.layout = layout;
  source.table.columns = 9;
  for (int i = 0; i < count; ++i) {
    const int row = source.table.AppendTextRow();
    source.table.SetCell(row, 6, QString::number(i));
  }
  source.columns = GridColumns(kCashFlowWidths, kCashFlowCaptions);
  source.chart_types = chart_types;
  source.title = QStringLiteral("דוח");
  return source;
}

}  // namespace

TEST(PagePlan, GridPagesOfFiftyRowsThenChartPages) {
  const PrintSource source = Rows(120, ReportLayout::kIncomeExpenses, 5);
  ASSERT_EQ(PageCount(source), 8);
  struct Case {
    int page;
    bool chart;
    int first_row, last_row, chart_type;
    const char* caption;
  };
  const Case cases[] = {
      {1, false, 0, 49, -1, "Page 1 of 3..."},
      {2, false, 50, 99, -1, "Page 2 of 3..."},
      {3, false, 100, 119, -1, "Page 3 of 3..."},
      {4, true, -1, -1, 0, ""},
      {8, true, -1, -1, 4, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    const PrintedPage page = PlanPage(source, c.page);
    EXPECT_EQ(page.chart, c.chart);
    EXPECT_EQ(page.chart_type, c.chart_type);
    EXPECT_EQ(page.shows_title, c.page == 1);
    EXPECT_EQ(S(page.page_caption), c.caption);
    if (c.chart) {
      EXPECT_TRUE(page.rows.empty());
      continue;
    }
    ASSERT_FALSE(page.rows.empty());
    EXPECT_EQ(page.rows.front().row, c.first_row);
    EXPECT_EQ(page.rows.back().row, c.last_row);
  }
  // A detail grid has no chart pages; one row makes one page.
  PrintSource detail = Rows(120, ReportLayout::kCashFlow, 5);
  detail.table.detail = true;
  EXPECT_EQ(PageCount(detail), 3);
  EXPECT_EQ(PageCount(Rows(50, ReportLayout::kTrends, 4)), 5);
  EXPECT_EQ(PageCount(Rows(51, ReportLayout::kTrends, 4)), 6);
}

TEST(PagePlan, HiddenColumnsAreAbsentAndTheDateIsRightMost) {
  const std::vector<PrintColumn> columns = GridColumns(kDetailWidths, kCashFlowCaptions);
  ASSERT_EQ(columns.size(), 7U);
  EXPECT_EQ(columns.front().column, 1);
  EXPECT_EQ(columns.front().left, 0);
  EXPECT_EQ(columns.back().column, 7);
  EXPECT_EQ(columns.back().left, 66 + 66 + 66 + 51 + 61 + 201);
  EXPECT_EQ(S(ReadingOrder(columns).front().caption), S(Q(u"תאריך")));
  EXPECT_EQ(ReadingOrder(columns).back().column, 1);
}

TEST(PagePlan, CellLooksByReportKind) {
  struct Case {
    const char* name;
    ReportLayout layout;
    bool detail;
    std::vector<std::pair<int, QString>> cells;
    int column;
    const char16_t* text;
    uint32_t background, text_colour, frame;
    bool bold;
  };
  namespace c = cell_colour;
  const QString indent = QString::fromUtf16(kIndentUnit);
  const Case cases[] = {
      {"unreconciled detail amounts are bold",
       ReportLayout::kCashFlow,
       true,
       {{2, Q(u"100")}, {8, Q(u"")}},
       2,
       u"100",
       c::kWhite,
       c::kBlack,
       c::kSilver,
       true},
      {"reconciled detail row prints ok, not bold",
       ReportLayout::kCashFlow,
       true,
       {{2, Q(u"100")}, {8, Q(u"+")}},
       8,
       u"ok",
       c::kWhite,
       c::kBlack,
       c::kSilver,
       false},
      {"unreconciled mark is a blank in bold",
       ReportLayout::kCashFlow,
       false,
       {{8, Q(u"?")}},
       8,
       u" ",
       c::kWhite,
       c::kBlack,
       c::kSilver,
       true},
      {"description is never bold",
       ReportLayout::kCashFlow,
       false,
       {{6, Q(u"שכר")}},
       6,
       u"שכר",
       c::kWhite,
       c::kBlack,
       c::kSilver,
       false},
      {"bank balance row framed black",
       ReportLayout::kCashFlow,
       false,
       {{5, Q(u"בנק\\יתרה")}, {8, Q(u"+")}},
       1,
       u"",
       c::kWhite,
       c::kBlack,
       c::kBlack,
       false},
      {"balance total row silver",
       ReportLayout::kBalanceToDate,
       false,
       {{1, Q(kTotalText)}, {0, Q(u"5")}},
       0,
       u"5",
       c::kSilver,
       c::kBlack,
       c::kBlack,
       false},
      {"top-level income row framed black",
       ReportLayout::kIncomeExpenses,
       false,
       {{7, Q(u"מזון")}},
       7,
       u"מזון",
       c::kWhite,
       c::kBlack,
       c::kBlack,
       false},
      {"sub-category indented, silver frame",
       ReportLayout::kIncomeExpenses,
       false,
       {{7, indent + Q(u"לחם")}},
       7,
       u"לחם",
       c::kWhite,
       c::kBlack,
       c::kSilver,
       false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    PrintSource source;
    source.table.layout = k.layout;
    source.table.detail = k.detail;
    source.table.columns = 9;
    source.table.income_split_row = 5;
    // The row under test is row 2 of six, away from every special row.
    for (int i = 0; i < 6; ++i) source.table.AppendTextRow();
    for (const auto& [column, text] : k.cells) source.table.SetCell(2, column, text);
    source.columns = GridColumns(std::vector<int>(9, 40), {});
    const PrintedPage page = PlanPage(source, 1);
    const PrintedCell& cell = page.rows[2].cells[k.column];
    EXPECT_EQ(S(cell.text), S(Q(k.text)));
    EXPECT_EQ(cell.background, k.background);
    EXPECT_EQ(cell.text_colour, k.text_colour);
    EXPECT_EQ(cell.frame, k.frame);
    EXPECT_EQ(cell.bold, k.bold);
  }
}

TEST(PagePlan, IncomeExpenseSectionAndTotalRows) {
  PrintSource source;
  source.table.layout = ReportLayout::kIncomeExpenses;
  source.table.columns = 9;
  source.table.income_split_row = 2;
  for (int i = 0; i < 7; ++i) source.table.AppendTextRow();
  source.columns = GridColumns({70, -1, 60, -1, -1, -1, 60, 200, 25}, {});
  const PrintedPage page = PlanPage(source, 1);
  const uint32_t expected[] = {cell_colour::kBlack, cell_colour::kWhite, cell_colour::kSilver,
                               cell_colour::kBlack, cell_colour::kWhite, cell_colour::kSilver,
                               cell_colour::kSilver};
  ASSERT_EQ(page.columns.size(), 5U);
  for (int row = 0; row < 7; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(page.rows[row].cells[0].background, expected[row]);
    EXPECT_EQ(page.rows[row].cells[0].text_colour,
              expected[row] == cell_colour::kBlack ? cell_colour::kYellow : cell_colour::kBlack);
  }
}

TEST(CsvExport, RightMostColumnFirstQuotedAndMarked) {
  ReportTable table;
  table.layout = ReportLayout::kCashFlow;
  table.columns = 9;
  const int row = table.AppendTextRow();
  table.SetCell(row, 1, QStringLiteral("1,000"));
  table.SetCell(row, 4, Q(u"הו\"ק 12"));
  table.SetCell(row, 6, QStringLiteral("two\nlines"));
  table.SetCell(row, 7, QStringLiteral("1/2/2020"));
  table.SetCell(row, 8, QStringLiteral("+"));
  const QByteArray csv = ReportCsv(table, GridColumns(kCashFlowWidths, kCashFlowCaptions));
  const QByteArray expected =
      QByteArray("\xEF\xBB\xBF") + Q(u"בוצע,תאריך,תאור,קבוצה,סוג,הוצאה,הכנסה,בנק\\יתרה\r\n"
                                     u"ok,1/2/2020,\"two\nlines\",,\"הו\"\"ק 12\",,,\"1,000\"\r\n")
                                       .toUtf8();
  EXPECT_EQ(csv.toStdString(), expected.toStdString());
}

// Figures stay whole: texts give way first, then the grid is drawn smaller,
// on a landscape page once portrait would make it too small.
TEST(PagePlan, PrintedColumnsKeepFiguresWhole) {
  const GridRoom portrait{700, 1000};
  const GridRoom landscape{1000, 700};
  struct Case {
    const char* name;
    std::vector<ColumnNeed> needs;
    int height;
    std::vector<int> widths;
    double scale;
    bool landscape;
  };
  const Case cases[] = {
      {"all fits", {{80, 80}, {60, 300}}, 900, {80, 300}, 1.0, false},
      {"the text shares what is left", {{400, 400}, {60, 600}}, 900, {400, 298}, 1.0, false},
      {"two texts by how much each wants",
       {{300, 300}, {60, 260}, {60, 460}},
       900,
       {300, 152, 244},
       1.0,
       false},
      {"a little smaller on portrait",
       {{400, 400}, {340, 340}},
       900,
       {400, 340},
       700.0 / 742,
       false},
      {"far too wide goes landscape",
       {{600, 600}, {500, 500}},
       600,
       {600, 500},
       1000.0 / 1102,
       true},
      {"a full page taller than landscape stays portrait",
       {{500, 500}, {400, 400}},
       1400,
       {500, 400},
       1000.0 / 1400,
       false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const PrintFit fit = FitPrintColumns(test.needs, test.height, portrait, landscape);
    EXPECT_EQ(fit.widths, test.widths);
    EXPECT_NEAR(fit.scale, test.scale, 1e-9);
    EXPECT_EQ(fit.landscape, test.landscape);
    int total = 0;
    for (size_t c = 0; c < fit.widths.size(); ++c) {
      EXPECT_GE(fit.widths[c], test.needs[c].whole);
      total += fit.widths[c] + 1;
    }
    EXPECT_LE(total * fit.scale, (fit.landscape ? landscape : portrait).width + 1e-6);
  }
}

// The cells the fit measures stand for every cell that may be its column's
// widest: register rows read as bytes agree with the printed look.
TEST(PagePlan, WidestCellsStandForEveryLongCell) {
  auto reg = std::make_shared<Register>();
  // Fields in file order: balance, category, type, date, income, expense,
  // description, mark. The descriptions sit at the edge of the slack: 12
  // letters, 12 with the indent, and 9 once the trailing blank goes.
  reg->LoadFileBytes(
      "10.00\r\npay\r\ncheque\r\n1/1/2020\r\n1,234.50\r\n\r\nsalary march\r\n+\r\n"
      "20.00\r\npay\r\ncheque\r\n2/1/2020\r\n9,876.50\r\n\r\n      bonus\r\n\r\n"
      "30.00\r\nhome\\power\r\ncash\r\n13/12/2020\r\n\r\n12.00\r\ngas water \r\n\r\n",
      u"0");
  PrintSource source;
  source.table.layout = ReportLayout::kCashFlow;
  source.table.columns = 9;
  source.table.accounts.push_back({Q(u"עסק"), reg});
  for (int row = 0; row < reg->RowCount(); ++row) source.table.AppendRegisterRow(0, row);
  const int total = source.table.AppendTextRow();
  source.table.SetCell(total, 6, Q(u"סך הכל"));
  source.table.SetCell(total, 2, Q(u"11,111.00"));
  source.columns = GridColumns(kCashFlowWidths, kCashFlowCaptions);

  auto key = [](const PrintedCell& cell, bool digits_alike) {
    QString text = cell.text;
    if (digits_alike) {
      for (QChar& k : text) k = k.isDigit() ? QChar(u'0') : k;
    }
    return S(text) + "|" + std::to_string(cell.indent) + (cell.bold ? "b" : "n");
  };
  for (const bool digits_alike : {false, true}) {
    SCOPED_TRACE(digits_alike);
    const auto widest = WidestCells(source, digits_alike);
    const PrintedPage page = PlanPage(source, 1);
    ASSERT_EQ(widest.size(), page.columns.size());
    for (size_t c = 0; c < page.columns.size(); ++c) {
      SCOPED_TRACE(c);
      qsizetype longest = 0;
      for (const PrintedRow& row : page.rows) {
        longest = std::max(longest, row.cells[c].text.size() + row.cells[c].indent / 4);
      }
      std::set<std::string> expected, found;
      for (const PrintedRow& row : page.rows) {
        const PrintedCell& cell = row.cells[c];
        if (cell.text.size() + cell.indent / 4 + kWidestSlack >= longest) {
          expected.insert(key(cell, digits_alike));
        }
      }
      for (const PrintedCell& cell : widest[c]) found.insert(key(cell, digits_alike));
      EXPECT_EQ(found, expected);
    }
  }
}
