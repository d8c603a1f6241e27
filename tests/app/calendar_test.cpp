#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

#include "app/common/active_account.h"
#include "app/common/calendar_dialog.h"
#include "app/register/transaction_dialog.h"
#include "core/register/register.h"
#include "tests/app/app_test_support.h"

namespace cheque::testing {
namespace {

using namespace Qt::StringLiterals;

template <typename T>
T* Child(QWidget* window, const QString& name) {
  T* child = window->findChild<T*>(name);
  if (child == nullptr) qFatal("no control %s", qPrintable(name));
  return child;
}

}  // namespace

class CalendarTest : public QObject {
  Q_OBJECT

 private slots:
  // From the main window: no cancel button, and its own OK caption closes it.
  void generalCalendar() {
    TestHome home;
    TCalander calendar(home.services);
    QCOMPARE(calendar.windowTitle(), u"לוח שנה"_s);
    QVERIFY(calendar.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Child<QPushButton>(&calendar, u"OKBtn"_s)->text(), u"אישור"_s);
    QCOMPARE(calendar.Date(), home.clock.Today());
    QCOMPARE(Child<QCalendarWidget>(&calendar, u"Calendar1"_s)->firstDayOfWeek(), Qt::Sunday);
    calendar.SetOkCaption(u"! סיום"_s);
    bool cancel_shown = true;
    ModalScript script;
    script.Expect(u"TCalander"_s, [&](QWidget* window) {
      cancel_shown = Child<QPushButton>(window, u"CancelBtn"_s)->isVisible();
      ClickButton(window, u"! סיום"_s);
    });
    QCOMPARE(calendar.exec(), int(QDialog::Accepted));
    QVERIFY(!cancel_shown);
  }

  // Month and year keep the day where the month has it; "היום" comes back.
  void monthAndYear_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("month_steps");  // Down presses in the month list
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("31 January to April") << QDate(2000, 1, 31) << 3 << 2000 << QDate(2000, 4, 30);
    QTest::newRow("29 February, next year")
        << QDate(2000, 2, 29) << 0 << 2001 << QDate(2001, 2, 28);
    QTest::newRow("15 March to December") << QDate(2010, 3, 15) << 9 << 2010 << QDate(2010, 12, 15);
  }

  void monthAndYear() {
    QFETCH(QDate, start);
    QFETCH(int, month_steps);
    QFETCH(int, year);
    QFETCH(QDate, expected);
    TestHome home;
    TCalander calendar(home.services);
    calendar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&calendar));
    calendar.SetDate(start);
    auto* months = Child<QComboBox>(&calendar, u"ComboBox1"_s);
    auto* years = Child<QSpinBox>(&calendar, u"SpinEdit1"_s);
    QCOMPARE(months->currentText(), TCalander::MonthNames()[start.month() - 1]);
    for (int i = 0; i < month_steps; ++i) QTest::keyClick(months, Qt::Key_Down);
    years->setValue(year);
    QCOMPARE(calendar.Date(), expected);
    QCOMPARE(months->currentIndex(), expected.month() - 1);
    QTest::mouseClick(Child<QPushButton>(&calendar, u"BtnToday"_s), Qt::LeftButton);
    QCOMPARE(calendar.Date(), home.clock.Today());
    QCOMPARE(years->value(), home.clock.Today().year());
  }

  // The weekend in Israel is Friday and Saturday; Sunday is a working day.
  void weekend() {
    TestHome home;
    TCalander calendar(home.services);
    const auto* days = Child<QCalendarWidget>(&calendar, u"Calendar1"_s);
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
      const auto weekday = static_cast<Qt::DayOfWeek>(day);
      const bool red = days->weekdayTextFormat(weekday).foreground().color() == QColor(Qt::red);
      QCOMPARE(red, weekday == Qt::Friday || weekday == Qt::Saturday);
    }
  }

  // The calendar's month arrows carry the list, the year and the day along.
  void monthArrows_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("arrow");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("next, into a shorter month")
        << QDate(2000, 1, 31) << u"qt_calendar_nextmonth"_s << 1 << QDate(2000, 2, 29);
    QTest::newRow("through February, the day comes back")
        << QDate(2000, 1, 31) << u"qt_calendar_nextmonth"_s << 2 << QDate(2000, 3, 31);
    QTest::newRow("back over the year")
        << QDate(2001, 1, 10) << u"qt_calendar_prevmonth"_s << 1 << QDate(2000, 12, 10);
  }

  void monthArrows() {
    QFETCH(QDate, start);
    QFETCH(QString, arrow);
    QFETCH(int, presses);
    QFETCH(QDate, expected);
    TestHome home;
    TCalander calendar(home.services);
    calendar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&calendar));
    calendar.SetDate(start);
    auto* button = Child<QToolButton>(&calendar, arrow);
    for (int i = 0; i < presses; ++i) QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(calendar.Date(), expected);
    QCOMPARE(Child<QComboBox>(&calendar, u"ComboBox1"_s)->currentIndex(), expected.month() - 1);
    QCOMPARE(Child<QSpinBox>(&calendar, u"SpinEdit1"_s)->value(), expected.year());
  }

  // As the date field's picker: "הכנס" puts the chosen date in, "סיום" leaves it.
  void datePicker_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("insert") << u"הכנס"_s << u"15/3/2024"_s;
    // The field keeps its text as typed; leaving it later reads it.
    QTest::newRow("close") << u"סיום"_s << u"1.2.2024"_s;
  }

  void datePicker() {
    QFETCH(QString, button);
    QFETCH(QString, expected);
    TestHome home;
    ActiveAccount account(home.Path({}));
    TCalander calendar(home.services);
    TDateFrm dialog(home.services, calendar);
    dialog.Attach(account);
    QString shown;
    bool cancel_shown = false;
    QDate offered;
    ModalScript script;
    script.Expect(u"TDateFrm"_s, [&](QWidget* window) {
      auto* date = Child<QLineEdit>(window, u"Edit3"_s);
      TypeInto(window, u"Edit3"_s, u"1.2.2024"_s);
      QTest::mouseDClick(date, Qt::LeftButton);
      shown = date->text();
      ClickButton(window, u"ביטול"_s);
    });
    script.Expect(u"TCalander"_s, [&](QWidget* window) {
      cancel_shown = Child<QPushButton>(window, u"CancelBtn"_s)->isVisible();
      offered = calendar.Date();
      calendar.SetDate(QDate(2024, 3, 15));
      ClickButton(window, button);
    });
    QCOMPARE(dialog.OpenOn(0, kDateColumn), int(QDialog::Rejected));
    QVERIFY(script.Done());
    QVERIFY(cancel_shown);
    QCOMPARE(offered, QDate(2024, 2, 1));
    QCOMPARE(shown, expected);
  }
};

}  // namespace cheque::testing

QTEST_MAIN(cheque::testing::CalendarTest)
#include "calendar_test.moc"
