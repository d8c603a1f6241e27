#include "app/register/calendar_dialog.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/form_font.h"

namespace cheque {
namespace {

const QString kInsertCaption = QStringLiteral("הכנס");

QCalendarWidget* CalendarOf(const QObject* dialog) {
  return dialog->findChild<QCalendarWidget*>(QStringLiteral("Calendar1"));
}
QComboBox* MonthsOf(const QObject* dialog) {
  return dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
}
QSpinBox* YearOf(const QObject* dialog) {
  return dialog->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"));
}
QPushButton* ButtonOf(const QObject* dialog, const QString& name) {
  return dialog->findChild<QPushButton*>(name);
}

// The same day in another month or year; a day the month lacks becomes its last.
QDate MoveKeepingDay(QDate date, int year, int month) {
  const QDate first(year, month, 1);
  return first.addDays(std::min(date.day(), first.daysInMonth()) - 1);
}

}  // namespace

const QStringList& TCalander::MonthNames() {
  static const QStringList names = {
      QStringLiteral("ינואר"),  QStringLiteral("פברואר"), QStringLiteral("מרץ"),
      QStringLiteral("אפריל"),  QStringLiteral("מאי"),    QStringLiteral("יוני"),
      QStringLiteral("יולי"),   QStringLiteral("אוגוסט"), QStringLiteral("ספטמבר"),
      QStringLiteral("אוקטובר"), QStringLiteral("נובמבר"), QStringLiteral("דצמבר")};
  return names;
}

TCalander::TCalander(Services& services, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TCalander"));
  setWindowTitle(QStringLiteral("לוח שנה"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  SetFormFont(this);

  auto* calendar = new QCalendarWidget(this);
  calendar->setObjectName(QStringLiteral("Calendar1"));
  calendar->setFirstDayOfWeek(Qt::Sunday);
  calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));

  auto* months = new QComboBox(this);
  months->setObjectName(QStringLiteral("ComboBox1"));
  months->addItems(MonthNames());
  auto* year = new QSpinBox(this);
  year->setObjectName(QStringLiteral("SpinEdit1"));
  year->setRange(1900, 9999);

  auto add_button = [this](const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
  };
  QPushButton* ok = add_button(QStringLiteral("OKBtn"), QStringLiteral("אישור"));
  QPushButton* cancel = add_button(QStringLiteral("CancelBtn"), QStringLiteral("סיום"));
  QPushButton* today = add_button(QStringLiteral("BtnToday"), QStringLiteral("היום"));

  auto* top = new QHBoxLayout;
  top->addWidget(months, 1);
  top->addWidget(year);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  buttons->addWidget(today);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(calendar);
  layout->addLayout(buttons);

  connect(calendar, &QCalendarWidget::selectionChanged, this, [this] { SetDate(Date()); });
  connect(months, &QComboBox::activated, this, [calendar, year](int index) {
    calendar->setSelectedDate(MoveKeepingDay(calendar->selectedDate(), year->value(), index + 1));
  });
  connect(year, &QSpinBox::valueChanged, this, [calendar](int value) {
    const QDate date = calendar->selectedDate();
    calendar->setSelectedDate(MoveKeepingDay(date, value, date.month()));
  });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(today, &QPushButton::clicked, this,
          [this, &services] { SetDate(services.clock->Today()); });

  SetDate(services.clock->Today());
}

QDate TCalander::Date() const { return CalendarOf(this)->selectedDate(); }

void TCalander::SetDate(QDate date) {
  QCalendarWidget* calendar = CalendarOf(this);
  if (date.isValid() && date != calendar->selectedDate()) calendar->setSelectedDate(date);
  date = calendar->selectedDate();
  calendar->setCurrentPage(date.year(), date.month());
  // Echoes of these two would move the calendar back onto itself.
  const QSignalBlocker block_year(YearOf(this));
  const QSignalBlocker block_month(MonthsOf(this));
  YearOf(this)->setValue(date.year());
  MonthsOf(this)->setCurrentIndex(date.month() - 1);
}

void TCalander::SetOkCaption(const QString& caption) {
  ButtonOf(this, QStringLiteral("OKBtn"))->setText(caption);
}

void TCalander::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ButtonOf(this, QStringLiteral("CancelBtn"))
      ->setVisible(ButtonOf(this, QStringLiteral("OKBtn"))->text() == kInsertCaption);
}

}  // namespace cheque
