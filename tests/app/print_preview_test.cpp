#include "app/reports/print_preview.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>

#include "app/common/busy_notice.h"
#include "app/reports/report_chart.h"
#include "core/reports/report_engine.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

const QString kTitle = u"יתרות לסוף השנה"_s;

// A balance-to-date report of `accounts` rows and its total.
ReportPrint Balances(int accounts) {
  ReportTable table;
  table.layout = ReportLayout::kBalanceToDate;
  table.columns = 3;
  for (int i = 1; i <= accounts; ++i) {
    const int row = table.AppendTextRow();
    table.SetCell(row, 0, QString::number(i * 100));
    table.SetCell(row, 1, u"חשבון"_s + QString::number(i));
    table.SetCell(row, 2, QString::number(i));
  }
  const int total = table.AppendTextRow();
  table.SetCell(total, 1, QString::fromUtf16(kTotalText));
  ReportSettings settings;
  settings.kind = ReportKind::kBalanceToDate;
  settings.title = kTitle;
  return MakeReportPrint(table, settings, {90, 300, 25}, {u"בנק\\יתרה"_s, u"תאור"_s, u"מס"_s});
}

QString Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  if (!process.waitForFinished(60000)) return {};
  QString text = QString::fromUtf8(process.readAllStandardOutput());
  // pdftotext wraps runs of text in direction marks.
  text.remove(QRegularExpression(u"[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}]"_s));
  return text;
}

int PdfPages(const QString& path) {
  const QString info = Run(u"pdfinfo"_s, {path});
  for (const QString& line : info.split(u'\n')) {
    if (line.startsWith(u"Pages:"_s)) return line.mid(6).trimmed().toInt();
  }
  return -1;
}

// Presses "עצור" of the printing notice once it shows `done` pages printed.
class StopAfter : public QObject {
 public:
  explicit StopAfter(int done) : done_(done) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* progress = qobject_cast<QProgressDialog*>(watched);
    if (event->type() == QEvent::Show && progress && progress->objectName() == u"PrintProgress"_s) {
      connect(progress->findChild<QProgressBar*>(), &QProgressBar::valueChanged, progress,
              [this, progress](int value) {
                if (value == done_) progress->cancel();
              });
    }
    return false;
  }

 private:
  int done_;
};

}  // namespace

class PrintPreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void NamedControlsAndReduction() {
    TestHome home;
    TPrtPreView preview(Balances(3), home.services);
    QCOMPARE(preview.windowTitle(), u"צפיה לפני הדפסה"_s);
    QCOMPARE(preview.findChild<QLabel*>(u"Panel2"_s)->text(), kTitle);
    const QStringList buttons[] = {{u"BtnPrint"_s, u"הדפס דף"_s},
                                   {u"BtnPrintAll"_s, u"הדפס הכל"_s},
                                   {u"BtnDone"_s, u"סיום"_s}};
    for (const QStringList& button : buttons) {
      auto* found = preview.findChild<QPushButton*>(button[0]);
      QVERIFY2(found, qPrintable(button[0]));
      QCOMPARE(found->text(), button[1]);
    }
    auto* tabs = preview.findChild<QTabBar*>(u"TabSet1"_s);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(1), u"2"_s);
    QVERIFY(preview.findChild<QRadioButton*>(u"RBx1"_s)->isChecked());
    auto* view = preview.findChild<QLabel*>(u"PagePanel"_s);
    const QSize full = view->size();
    preview.findChild<QRadioButton*>(u"RBx4"_s)->click();
    QCOMPARE(view->size(), QSize(full.width() / 4, full.height() / 4));
    // Another tab draws its page at x1 again.
    tabs->setCurrentIndex(1);
    QCOMPARE(preview.CurrentPage(), 2);
    QVERIFY(preview.findChild<QRadioButton*>(u"RBx1"_s)->isChecked());
  }

  // "הדפס הכל" without a printer: one PDF, one page a tab, page 1 readable.
  void PrintAllMakesOnePdf_data() {
    QTest::addColumn<int>("accounts");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("page_caption");
    QTest::newRow("one grid page and the chart") << 3 << 2 << u"Page 1 of 1..."_s;
    QTest::newRow("three grid pages and the chart") << 120 << 4 << u"Page 1 of 3..."_s;
  }
  void PrintAllMakesOnePdf() {
    QFETCH(int, accounts);
    QFETCH(int, pages);
    QFETCH(QString, page_caption);
    TestHome home;
    TPrtPreView preview(Balances(accounts), home.services);
    QCOMPARE(preview.PageCount(), pages);
    preview.findChild<QPushButton*>(u"BtnPrintAll"_s)->click();
    QCOMPARE(home.printer.files.size(), 1);
    QVERIFY(home.prompter.Asked().empty());
    QCOMPARE(PdfPages(home.printer.files[0]), pages);
    const QString text =
        Run(u"pdftotext"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, home.printer.files[0], u"-"_s});
    QVERIFY2(text.contains(page_caption), qPrintable(text));
    for (const QString& expected : {kTitle, u"בנק\\יתרה"_s, u"חשבון1"_s, u"300"_s}) {
      QVERIFY2(text.contains(expected), qPrintable(expected + u'\n' + text));
    }
  }

  void FailedJobIsToldAndNothingClaimsSuccess() {
    TestHome home;
    TPrtPreView preview(Balances(3), home.services);
    for (const QString& button : {u"BtnPrint"_s, u"BtnPrintAll"_s}) {
      home.prompter.Forget();
      home.printer.fail_next = true;
      preview.findChild<QPushButton*>(button)->click();
      QVERIFY(home.printer.files.isEmpty());
      QCOMPARE(home.prompter.Asked().size(), size_t{1});
      QCOMPARE(home.prompter.Asked()[0].caption, u"שגיאה"_s);
    }
    // The next job is not held back by the failed one.
    QVERIFY(preview.PrintPage());
    QCOMPARE(home.printer.files.size(), 1);
  }

  // A second "הדפס הכל" keeps the first file; the printing notice is gone
  // before the user is told where the file went.
  void PrintAllKeepsEarlierFilesAndHidesTheNotice() {
    TestHome home;
    TSplash splash;
    bool notice_at_told = true;
    home.printer.on_told = [&] { notice_at_told = splash.isVisible(); };
    TPrtPreView preview(Balances(3), home.services, nullptr, &splash);
    QVERIFY(preview.PrintAll());
    QVERIFY(!notice_at_told);
    QVERIFY(preview.PrintAll());
    QVERIFY(preview.PrintAll());
    QCOMPARE(home.printer.files,
             QStringList({home.Path(u"Report.pdf"_s), home.Path(u"Report (2).pdf"_s),
                          home.Path(u"Report (3).pdf"_s)}));
  }

  // Above 30 pages a page box reaches any page; the tabs show the strip of
  // 30 around the page shown.
  void PageBoxAboveThirtyPages_data() {
    QTest::addColumn<int>("accounts");
    QTest::addColumn<int>("typed");
    QTest::addColumn<QStringList>("tabs");  // first, shown, last
    QTest::newRow("30 pages: tabs alone") << 1400 << 0 << QStringList{u"1"_s, u"1"_s, u"30"_s};
    QTest::newRow("32 pages, to page 31") << 1500 << 31 << QStringList{u"3"_s, u"31"_s, u"32"_s};
    QTest::newRow("32 pages, to page 30") << 1500 << 30 << QStringList{u"1"_s, u"30"_s, u"30"_s};
  }
  void PageBoxAboveThirtyPages() {
    QFETCH(int, accounts);
    QFETCH(int, typed);
    QFETCH(QStringList, tabs);
    TestHome home;
    TPrtPreView preview(Balances(accounts), home.services);
    preview.show();
    auto* box = preview.findChild<QSpinBox*>(u"EdPage"_s);
    QCOMPARE(box->isVisible(), typed > 0);
    if (typed > 0) {
      QCOMPARE(preview.findChild<QLabel*>(u"LblPages"_s)->text(),
               u"מתוך "_s + QString::number(preview.PageCount()));
      box->setFocus();
      box->selectAll();
      QTest::keyClicks(box, QString::number(typed));
      QTest::keyClick(box, Qt::Key_Return);
    }
    auto* bar = preview.findChild<QTabBar*>(u"TabSet1"_s);
    QCOMPARE(preview.CurrentPage(), std::max(typed, 1));
    QCOMPARE((QStringList{bar->tabText(0), bar->tabText(bar->currentIndex()),
                          bar->tabText(bar->count() - 1)}),
             tabs);
    // A tab of the strip shows its own page and sets the box.
    bar->setCurrentIndex(0);
    QCOMPARE(preview.CurrentPage(), tabs[0].toInt());
    QCOMPARE(box->value(), tabs[0].toInt());
  }

  // "הדפס הכל" over more than 100 pages asks first; "No", or "עצור" while
  // it prints, leaves no job, no file and no error.
  void PrintAllOfManyPagesAsksAndStops_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("declined") << false;
    QTest::newRow("stopped after 3 pages") << true;
  }
  void PrintAllOfManyPagesAsksAndStops() {
    QFETCH(bool, yes);
    TestHome home;
    TPrtPreView preview(Balances(5050), home.services);
    QCOMPARE(preview.PageCount(), 103);
    if (yes) home.prompter.Answer(MessageAnswer::kYes);
    StopAfter stop(3);
    QVERIFY(!preview.PrintAll());
    QCOMPARE(home.prompter.AskedTexts(),
             QStringList{u"הדו\"ח יודפס ב-103 דפים\rהאם להמשיך בהדפסה?"_s});
    QCOMPARE(home.prompter.Asked()[0].caption, u"לאישורך"_s);
    QCOMPARE(home.printer.titles.size(), yes ? 1 : 0);
    QVERIFY(home.printer.files.isEmpty());
    QVERIFY(!QFile::exists(home.Path(u"Report.pdf"_s)));
    QVERIFY(!preview.findChild<QProgressDialog*>());
  }

  void ChartViewDrawsAPlan() {
    ReportChart chart;
    QCOMPARE(chart.objectName(), u"Chart1"_s);
    ReportPrint report = Balances(3);
    chart.Draw(PlanChart(report.source.table, report.chart, 0));
    QCOMPARE(chart.chart()->series().size(), 1);
    chart.Clear();
    QVERIFY(chart.chart()->series().isEmpty());
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::PrintPreviewTest)
#include "print_preview_test.moc"
