#include "core/reports/report_engine.h"

#include <gtest/gtest.h>

#include <QDir>

#include "core/reports/drill_down.h"
#include "core/reports/report_engine_columns.h"
#include "core/text/amount.h"

namespace cheque {
namespace {

QString Home() {
  return QDir(QStringLiteral(CHEQUE_TEST_DATA)).filePath(QStringLiteral("report_home"));
}

const QDate kToday(1999, 6, 1);

TEST(ReportEngine, CategoryLevelsFollowTheMarkedGroups) {
  struct Case {
    QStringList marked;
    QStringList labels;
  };
  const Case cases[] = {
      // Whole groups: indented under their group.
      {{u"רכב"_qs, u"רכב\\דלק"_qs}, {u"רכב"_qs, u"      דלק"_qs}},
      // A category without its group is a top-level row of its whole path,
      // and its own marked children sit under it.
      {{u"רכב\\דלק"_qs, u"רכב\\דלק\\סולר"_qs, u"מזון"_qs},
       {u"רכב\\דלק"_qs, u"      סולר"_qs, u"מזון"_qs}},
      // A grandchild whose parent is not marked stands alone too.
      {{u"א"_qs, u"א\\ב\\ג"_qs}, {u"א"_qs, u"א\\ב\\ג"_qs}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.marked.join(u',').toStdString());
    QStringList labels;
    for (const auto& row : report_detail::CategoryRows(c.marked)) labels << row.label;
    EXPECT_EQ(labels, c.labels);
  }
}

ReportSettings IncomeSettings(bool comparison, FlowFilter flow, bool hide) {
  ReportSettings settings;
  settings.kind = ReportKind::kIncomeExpenses;
  settings.accounts = {u"עסק"_qs, u"בית"_qs, u"חסכון"_qs};
  settings.types = {u"אחר"_qs,   u"שק"_qs,       u"מזומן"_qs,  u"אשראי"_qs, u"הלוואה"_qs,
                    u"הו\"ק"_qs, u"חיוב בנק"_qs, u"משכנתא"_qs, u"העברה"_qs};
  // A group with only some of its categories, and one without its group.
  settings.categories = {u"ביטוחים"_qs,   u"ביטוחים\\רכב"_qs, u"הכנסות"_qs, u"הכנסות\\מכירות"_qs,
                         u"מזון"_qs,      u"משכורת"_qs,       u"רכב"_qs,    u"רכב\\דלק"_qs,
                         u"רכב\\ביטוח"_qs};
  settings.flow = flow;
  settings.hide_empty_groups = hide;
  settings.comparison = comparison;
  settings.from = QDate(1998, 1, 1);
  settings.to = QDate(1998, 12, 31);
  settings.compare_from = QDate(1997, 1, 1);
  settings.compare_to = QDate(1997, 12, 31);
  return settings;
}

// The detail grid's total equals the clicked cell, for every cell that
// names a category, whatever the filters.
TEST(ReportEngine, EveryDrillDownAddsUpToItsCell) {
  const struct {
    bool comparison;
    FlowFilter flow;
    bool hide;
  } cases[] = {{false, FlowFilter::kBoth, false},
               {true, FlowFilter::kBoth, true},
               {false, FlowFilter::kIncomeOnly, false},
               {true, FlowFilter::kExpensesOnly, false}};
  for (const auto& c : cases) {
    const ReportSettings settings = IncomeSettings(c.comparison, c.flow, c.hide);
    const ReportTable report = BuildReport(settings, Home(), kToday);
    ASSERT_TRUE(report.unreadable.isEmpty());
    int checked = 0;
    for (int row = 0; row < report.RowCount(); ++row) {
      for (const int column : {4, 6}) {
        if (column == 4 && !c.comparison) continue;
        SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
        const DrillDownResult result = DrillDown(report, settings, Home(), kToday, row, column);
        const bool category_row = row > 0 && row != report.income_split_row &&
                                  row != report.income_split_row + 1 && row < report.RowCount() - 2;
        if (!category_row || report.Cell(row, column) == u"0") {
          EXPECT_EQ(result.action, DrillDownResult::Action::kNothing);
          continue;
        }
        ASSERT_EQ(result.action, DrillDownResult::Action::kDetail);
        const ReportTable& detail = result.detail;
        const int money = row < report.income_split_row ? 2 : 3;
        EXPECT_EQ(detail.Cell(detail.RowCount() - 1, money), report.Cell(row, column));
        ++checked;
      }
    }
    EXPECT_GT(checked, 3);
  }
}

TEST(ReportEngine, EveryTrendsBucketDrillDownAddsUpToItsRow) {
  for (const PeriodType type : {PeriodType::kMonthly, PeriodType::kQuarterly}) {
    ReportSettings settings;
    settings.kind = ReportKind::kTrends;
    settings.accounts = {u"עסק"_qs, u"בית"_qs};
    settings.types = {u"מזומן"_qs};  // the trends cells count every type
    settings.categories = {u"הכנסות\\מכירות"_qs, u"רכב"_qs, u"רכב\\דלק"_qs, u"משכורת"_qs};
    settings.period_type = type;
    settings.year1 = 1998;
    const ReportTable report = BuildReport(settings, Home(), kToday);
    for (int row = 0; row < report.RowCount() - 1; ++row) {
      SCOPED_TRACE(row);
      const DrillDownResult result = DrillDown(report, settings, Home(), kToday, row, 3);
      ASSERT_EQ(result.action, DrillDownResult::Action::kDetail);
      const ReportTable& detail = result.detail;
      if (detail.RowCount() == 0) {
        EXPECT_EQ(report.Cell(row, 2), u"0");
        EXPECT_EQ(report.Cell(row, 3), u"0");
        continue;
      }
      EXPECT_EQ(detail.Cell(detail.RowCount() - 1, 2), report.Cell(row, 3));
      EXPECT_EQ(detail.Cell(detail.RowCount() - 1, 3), report.Cell(row, 2));
    }
    EXPECT_EQ(DrillDown(report, settings, Home(), kToday, report.RowCount() - 1, 3).action,
              DrillDownResult::Action::kNothing);
  }
}

TEST(ReportEngine, ReportsTellEachPhaseAndReadOnly) {
  ReportSettings settings = IncomeSettings(false, FlowFilter::kBoth, true);
  QStringList told;
  const QString list = QDir(Home()).filePath(QStringLiteral("Xct1.dat"));
  const auto before = QFileInfo(list).lastModified();
  BuildReport(settings, Home(), kToday, [&](const QString& text) { told << text; });
  EXPECT_EQ(told.front(), QStringView(kBuildingReportText).toString());
  for (const char16_t* phase :
       {kCollectingText, kSplittingText, kRemovingEmptyText, kPercentagesText, kTotalsText}) {
    EXPECT_TRUE(told.filter(QStringView(phase).toString()).size() > 0)
        << QStringView(phase).toString().toStdString();
  }
  EXPECT_EQ(QFileInfo(list).lastModified(), before);
}

TEST(ReportEngine, ComparisonColumnsAndColours) {
  ReportSettings settings = IncomeSettings(true, FlowFilter::kBoth, true);
  settings.period_type = PeriodType::kMonthly;
  settings.from = QDate(1998, 3, 1);
  settings.to = QDate(1998, 3, 31);
  settings.compare_from = QDate(1997, 3, 1);
  settings.compare_to = QDate(1997, 3, 31);
  const ReportColumns columns = ReportColumnLayout(settings);
  EXPECT_EQ(columns.captions[6], u"3/1998"_qs);
  EXPECT_EQ(columns.captions[4], u"3/1997"_qs);
  EXPECT_EQ(columns.widths, (std::vector<int>{70, -1, 60, -1, 60, -1, 60, kFillWidth, 25}));
  EXPECT_EQ(FitColumnWidths(columns.widths, 400),
            (std::vector<int>{70, -1, 60, -1, 60, -1, 60, 120, 25}));

  const ReportTable report = BuildReport(settings, Home(), kToday);
  const int split = report.income_split_row;
  const int last = report.RowCount() - 1;
  struct Case {
    int row;
    int column;
    uint32_t brush;  // 0xFFFFFFFF: the window colour
    uint32_t text;
    bool black_frame;
  } const cases[] = {
      {0, 7, 0x000000, 0x00FFFF, true},  // section row: black, yellow text
      {split + 1, 3, 0x000000, 0x00FFFF, true},
      {1, 8, 0x008080, 0x000000, true},          // row number above the split: olive
      {split + 2, 8, 0x008000, 0x000000, true},  // and below it: green
      {split, 6, 0xC0C0C0, 0x000000, true},      // total income: silver
      {last, 0, 0xC0C0C0, 0x0000FF, true},       // a negative change on the difference row: red
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
    const ReportCellLook look = ReportCellStyle(report, c.row, c.column);
    EXPECT_EQ(look.window_brush ? 0xFFFFFFFFU : look.brush, c.brush);
    EXPECT_EQ(look.text_colour, c.text);
    EXPECT_EQ(look.black_frame, c.black_frame);
  }
  EXPECT_TRUE(report.Cell(last, 0).startsWith(u'-'));
}

}  // namespace
}  // namespace cheque
