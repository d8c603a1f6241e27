// The report page in the main window: a saved report run from the wizard,
// then the drill-down to the detail grid and on to the register row.
#include "app/reports/report_page.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/register/register_grid.h"
#include "app/register/register_page.h"
#include "app/shell/intro_screen.h"
#include "app/shell/main_window.h"
#include "core/files/personal_details.h"
#include "core/reports/csv_export.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

// The program folder of the command-line report cases: three accounts.
void CopyReportHome(const TestHome& home) {
  const QDir source(
      QDir(QStringLiteral(CHEQUE_ASSETS "/../tests/data")).filePath(u"report_home"_s));
  for (const QString& name : source.entryList(QDir::Files)) {
    QFile::remove(home.Path(name));
    QVERIFY(QFile::copy(source.filePath(name), home.Path(name)));
  }
  PersonalDetails details;
  details.first_name = u"דנה"_s;
  QVERIFY(details.Write(home.Path(u"AcMyData.Dat"_s)));
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReportPageTest : public QObject {
  Q_OBJECT

 private slots:
  // The launcher's "הפקת דוחות" opens the wizard; cancelled, the register shows.
  void LauncherReportsStartsTheWizard() {
    TestHome home;
    CopyReportHome(home);
    TForm1 window(home.services);
    window.show();
    ModalScript script;
    script.Expect(u"TIntroScr"_s, [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(2); });
    script.Expect(u"TReportWiz"_s, [](QWidget* wizard) {
      wizard->findChild<QPushButton*>(u"BtnCancel"_s)->click();
    });
    QVERIFY(window.Start() && script.Done());
    QVERIFY(window.findChild<RegisterPage*>()->isVisible());
    QVERIFY(!window.Reports().isVisible());
  }

  void SavedReportToDetailToRegisterRow() {
    TestHome home;
    home.clock.Set(QDateTime(QDate(1999, 6, 1), QTime(10, 0)));
    CopyReportHome(home);
    TForm1 window(home.services);
    window.show();
    {
      ModalScript script;
      script.Expect(u"TIntroScr"_s, [](QWidget* w) { static_cast<TIntroScr*>(w)->ChooseArea(0); });
      QVERIFY(window.Start() && script.Done());
    }
    const QString active = window.ActiveTitle();

    // The wizard: income/expenses, the saved report of both accounts, "בצע".
    ModalScript script;
    script.Expect(u"TReportWiz"_s, [](QWidget* wizard) {
      wizard->findChild<QRadioButton*>(u"RBInOut"_s)->click();
      auto* list = wizard->findChild<QListWidget*>(u"ListBox3"_s);
      const auto found = list->findItems(u"הכל שני חשבונות"_s, Qt::MatchExactly);
      QCOMPARE(found.size(), 1);
      list->setCurrentItem(found.front());
      wizard->findChild<QPushButton*>(u"BtnDoItNow"_s)->click();
    });
    window.findChild<QToolButton*>(u"ImgRpt"_s)->click();
    QVERIFY(script.Done());
    ReportPage& page = window.Reports();
    QCOMPARE(page.RowCount(), 45);
    QCOMPARE(page.Report().Cell(30, 6), u"350"_s);
    QVERIFY(home.sounds.played.contains(u"DoneRpt.wav"_s));
    QCOMPARE(window.ActiveTitle(), active);  // the report never switched accounts
    // The detail tab stays closed until a drill-down fills it.
    page.Notebook()->setCurrentIndex(ReportPage::kDetailTab);
    QCOMPARE(page.Notebook()->currentIndex(), int(ReportPage::kResultsTab));

    // The group "רכב" of the business account: fuel and parking, no car insurance.
    page.ReportDoubleClicked(30, 6);
    QCOMPARE(page.Notebook()->currentIndex(), int(ReportPage::kDetailTab));
    const ReportTable& detail = page.Detail();
    QCOMPARE(detail.RowCount(), 4);
    QCOMPARE(detail.Cell(3, 6), u"סך הכל"_s);
    QCOMPARE(detail.Cell(3, 3), u"350"_s);
    QCOMPARE(detail.Cell(1, 6), u"חניה"_s);
    page.DetailDoubleClicked(3);  // the total row goes nowhere
    QCOMPARE(window.ActiveTitle(), active);

    // "ייצוא" on the detail tab: the detail grid, right to left, captions first.
    QTemporaryDir out;
    const QString csv = out.filePath(u"detail.csv"_s);
    page.SetCsvPicker([&csv](QWidget*, const QString&) { return csv; });
    window.findChild<QToolButton*>(u"BtnExport"_s)->click();
    const QStringList lines = QString::fromUtf8(ReadBytes(csv)).split(u"\r\n"_s);
    QVERIFY(ReadBytes(csv).startsWith("\xEF\xBB\xBF"));
    QCOMPARE(lines.value(0), u"תאריך,תאור,קבוצה,סוג,הוצאה,הכנסה,בנק\\יתרה"_s);
    QVERIFY(lines.value(2).contains(u",חניה,"_s));
    QVERIFY(lines.value(4).contains(u"סך הכל"_s) && lines.value(4).contains(u"350"_s));

    page.DetailDoubleClicked(1);
    QCOMPARE(window.ActiveTitle(), u"עסק"_s);
    QCOMPARE(window.Grid().currentIndex().row(), 9);
    QCOMPARE(window.ActiveRegister().Cell(9, kDescriptionColumn), u"חניה"_s);

    // The register's "ייצוא"; a path that cannot be written is told, not claimed.
    RegisterPage& register_page = *window.findChild<RegisterPage*>();
    const QString register_csv = out.filePath(u"register.csv"_s);
    register_page.SetCsvPicker([&register_csv](QWidget*, const QString&) { return register_csv; });
    window.findChild<QToolButton*>(u"SBExport"_s)->click();
    QCOMPARE(ReadBytes(register_csv), RegisterCsv(window.ActiveRegister()));
    const size_t asked = home.prompter.Asked().size();
    register_page.SetCsvPicker(
        [&out](QWidget*, const QString&) { return out.filePath(u"no/such/folder/x.csv"_s); });
    window.findChild<QToolButton*>(u"SBExport"_s)->click();
    QCOMPARE(home.prompter.Asked().size(), asked + 1);
    QCOMPARE(home.prompter.Asked().back().caption, u"שגיאה"_s);
  }
};

}  // namespace
}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::ReportPageTest)
#include "report_page_test.moc"
