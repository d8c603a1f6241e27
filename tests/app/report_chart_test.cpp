// The drawn chart read back from the chart itself: every point of the
// chart plan appears once, under its own text, with its own value.
#include "app/reports/report_chart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QDir>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QSet>
#include <QStackedBarSeries>
#include <QTest>
#include <QValueAxis>
#include <map>

#include "core/files/account_list.h"
#include "core/register/register.h"
#include "core/reports/merged_category_tree.h"
#include "core/reports/report_engine.h"
#include "core/reports/saved_report.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

// The program folder of the command-line report cases: three accounts whose
// reports repeat the same group names once per account.
void CopyReportHome(const TestHome& home) {
  const QDir source(
      QDir(QStringLiteral(CHEQUE_ASSETS "/../tests/data")).filePath(u"report_home"_s));
  for (const QString& name : source.entryList(QDir::Files)) {
    QFile::remove(home.Path(name));
    QVERIFY(QFile::copy(source.filePath(name), home.Path(name)));
  }
}

// Point texts and values of the plan, by text; pie slices carry their share.
std::map<QString, double> PlanPoints(const ChartPlan& plan, std::initializer_list<int> series) {
  std::map<QString, double> points;
  for (const int s : series) {
    if (!plan.series[s].active) continue;
    for (const ChartPoint& p : plan.series[s].points) points[p.label.trimmed()] += p.value;
  }
  return points;
}

// No two ticks of a value axis read alike.
void CheckTicks(QChart& chart) {
  for (QAbstractAxis* axis : chart.axes(Qt::Vertical)) {
    auto* values = qobject_cast<QValueAxis*>(axis);
    QVERIFY(values != nullptr);
    QStringList ticks;
    const int count = values->tickCount();
    for (int i = 0; i < count; ++i) {
      const double at = values->min() + (values->max() - values->min()) * i / (count - 1);
      ticks << QString::asprintf(values->labelFormat().toLatin1().constData(), at);
    }
    QCOMPARE(QSet<QString>(ticks.begin(), ticks.end()).size(), ticks.size());
  }
}

void CheckDrawn(QChart& chart, const ChartPlan& plan) {
  const std::map<QString, double> want =
      PlanPoints(plan, {kPieSeries, kBarSeries, kBar2Series, kLineSeries, kLine2Series});
  std::map<QString, double> drawn;
  for (QAbstractSeries* series : chart.series()) {
    if (auto* pie = qobject_cast<QPieSeries*>(series)) {
      const QList<QPieSlice*> slices = pie->slices();
      for (const ChartPoint& p : plan.series[kPieSeries].points) {
        const auto slice = std::find_if(slices.begin(), slices.end(),
                                        [&](QPieSlice* s) { return s->value() == p.value; });
        QVERIFY(slice != slices.end());
        QVERIFY2((*slice)->label().startsWith(p.label.trimmed()), qPrintable(p.label));
        drawn[p.label.trimmed()] += (*slice)->value();
      }
      QCOMPARE(pie->count(), static_cast<int>(plan.series[kPieSeries].points.size()));
    } else if (auto* bars = qobject_cast<QAbstractBarSeries*>(series)) {
      auto* axis = qobject_cast<QBarCategoryAxis*>(chart.axes(Qt::Horizontal).front());
      const QStringList categories = axis->categories();
      QCOMPARE(QSet<QString>(categories.begin(), categories.end()).size(), categories.size());
      // Two series meet by text: each category holds one value per series.
      for (QBarSet* set : bars->barSets()) {
        QCOMPARE(set->count(), categories.size());
        for (int i = 0; i < set->count(); ++i) {
          if (set->at(i) != 0) drawn[categories[i]] += set->at(i);
        }
      }
    } else if (auto* line = qobject_cast<QLineSeries*>(series)) {
      QVERIFY(qobject_cast<QCategoryAxis*>(chart.axes(Qt::Horizontal).front()) != nullptr);
      for (const QPointF& p : line->points()) {
        const QDate date = QDate::fromJulianDay(static_cast<qint64>(p.x()));
        const auto found = std::find_if(
            plan.series[kLineSeries].points.begin(), plan.series[kLineSeries].points.end(),
            [&](const ChartPoint& point) { return point.date == date && point.value == p.y(); });
        QVERIFY2(found != plan.series[kLineSeries].points.end(), qPrintable(DateText(date)));
        drawn[found->label.trimmed()] += p.y();
      }
    }
  }
  for (auto& [label, value] : want) {
    QVERIFY2(drawn.contains(label), qPrintable(label));
    QVERIFY2(qAbs(drawn[label] - value) < 1e-6, qPrintable(label));
  }
  QCOMPARE(drawn.size(), want.size());
  CheckTicks(chart);
}

class ReportChartTest : public QObject {
  Q_OBJECT

 private slots:
  // Every chart type of every saved report of the folder: income/expenses
  // with and without a comparison, trends, cash flow and balance to date.
  void everyChartOfEverySavedReport() {
    TestHome home;
    CopyReportHome(home);
    const QString folder = home.Path(QString());
    const AccountList accounts = *AccountList::Read(home.Path(u"Accts.dat"_s));
    const CategoryTree merged = MergedCategoryTree(folder);
    const QDate today(1999, 6, 1);
    QSet<int> layouts;
    int shared_names = 0;
    for (const QString& file : QDir(folder).entryList({u"*.Rpt"_s}, QDir::Files)) {
      const auto saved = ReadSavedReport(home.Path(file));
      QVERIFY(saved);
      const ReportSettings settings = SettingsFromSaved(*saved, accounts, merged, today);
      const ReportTable table = BuildReport(settings, folder, today);
      const ChartContext context = ChartContextOf(settings);
      layouts.insert(static_cast<int>(table.layout) * 2 + (context.comparison ? 1 : 0));
      const QStringList names = ChartTypeNames(table.layout, context.comparison);
      for (int type = 0; type < names.size(); ++type) {
        const QByteArray where = (file + u' ' + names[type]).toUtf8();
        const ChartPlan plan = PlanChart(table, context, type);
        for (const ChartPoint& p : plan.series[kBarSeries].points)
          shared_names += p.label.contains(u" - "_s) ? 1 : 0;
        ReportChart chart;
        chart.resize(800, 500);
        chart.Draw(plan);
        CheckDrawn(*chart.chart(), plan);
        if (QTest::currentTestFailed()) qWarning("in %s", where.constData());
      }
    }
    QCOMPARE(layouts.size(), 5);  // every kind of chart list
    QVERIFY(shared_names > 0);    // and group names that two accounts share
  }

  // A cash-flow line over ten years: one point a month, each at its date and
  // value however far the balance runs, and the axis says the years.
  void longBalanceLine() {
    auto reg = std::make_shared<Register>();
    double balance = 0;
    int row = 0;
    for (QDate day(2010, 1, 1); day < QDate(2020, 1, 1); day = day.addDays(1), ++row) {
      balance -= 55000.25;
      reg->AddEmptyRow();
      reg->SetCell(row, kDateColumn, DateText(day));
      reg->SetCell(row, kExpenseColumn, u"55000.25"_s);
      reg->SetCell(row, kBalanceColumn, FormatAmount(balance));
    }
    ReportTable table;
    table.layout = ReportLayout::kCashFlow;
    table.columns = kRegisterColumnCount;
    table.accounts.push_back({u"עסק"_s, reg});
    for (int r = 0; r < row; ++r) table.AppendRegisterRow(0, r);
    const ChartPlan plan = PlanChart(table, {}, 0);
    QCOMPARE(plan.series[kLineSeries].points.size(),
             size_t{121});  // the first row, each month's last
    ReportChart chart;
    chart.resize(800, 500);
    chart.Draw(plan);
    CheckDrawn(*chart.chart(), plan);
    auto* axis = qobject_cast<QCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).front());
    QCOMPARE(axis->categoriesLabels().join(u' '),
             u"2010 2011 2012 2013 2014 2015 2016 2017 2018 2019"_s);
    QCOMPARE(axis->endValue(u"2015"_s), static_cast<qreal>(QDate(2015, 1, 1).toJulianDay()));
    auto* values = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical).front());
    QVERIFY(values->min() <= balance && values->max() >= 0);
  }
};

}  // namespace
}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::ReportChartTest)
#include "report_chart_test.moc"
