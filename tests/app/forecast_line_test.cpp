#include "app/register/forecast_line.h"

#include <QLabel>
#include <QTest>

#include "app/register/register_grid.h"
#include "tests/app/register_home.h"

using namespace cheque;
using namespace cheque::testing;

class ForecastLineTest : public QObject {
  Q_OBJECT

 private slots:
  // Today is 7/12/2026 and the credit line 3000. A future expense typed in
  // the dialog, still unsorted at the end of the register, moves the
  // crossing earlier; a click on the line lands on that row.
  void ATypedExpenseMovesTheCrossingAndTheClickLandsOnIt() {
    Started s;
    QVERIFY(Start(s, {{QStringLiteral("5000"),
                       {},
                       {},
                       QStringLiteral("יתרה "),
                       kBank,
                       QStringLiteral("יתרת פתיחה"),
                       QStringLiteral("1/1/1990"),
                       QStringLiteral("+")},
                      {{},
                       {},
                       QStringLiteral("1000"),
                       {},
                       {},
                       QStringLiteral("ארנונה"),
                       QStringLiteral("20/12/2026"),
                       QStringLiteral("?")},
                      {{},
                       {},
                       QStringLiteral("9000"),
                       {},
                       {},
                       QStringLiteral("רכב"),
                       QStringLiteral("15/1/2027"),
                       QStringLiteral("?")}}));
    auto* label = s.window.findChild<QLabel*>(QStringLiteral("LblForecast"));
    QVERIFY(label != nullptr);
    QTRY_COMPARE(label->text(),
                 QStringLiteral("צפי: ב-15/1/2027 היתרה תרד מתחת למסגרת (\u200E-5,000.00)"));
    QVERIFY(label->styleSheet().contains(QStringLiteral("#ff0000")));

    ModalScript script;
    script.Expect(QStringLiteral("TDateFrm"), [](QWidget* w) {
      TypeInto(w, QStringLiteral("Edit1"), QStringLiteral("תיקון גג"));
      TypeInto(w, QStringLiteral("EdtOut"), QStringLiteral("7500"));
      TypeInto(w, QStringLiteral("Edit3"), QStringLiteral("25/12/2026"));
      PressOk(w);
    });
    s.Tool(u"SBNewItem")->click();
    QVERIFY(script.Done());
    QVERIFY(s.reg().NeedsSorting());
    QCOMPARE(s.reg().Cell(3, kDateColumn), QStringLiteral("25/12/2026"));
    QTRY_COMPARE(label->text(),
                 QStringLiteral("צפי: ב-25/12/2026 היתרה תרד מתחת למסגרת (\u200E-3,500.00)"));

    s.grid().SetCurrentCell(0, kDescriptionColumn);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(s.grid().CurrentRow(), 3);
  }
};

QTEST_MAIN(ForecastLineTest)
#include "forecast_line_test.moc"
