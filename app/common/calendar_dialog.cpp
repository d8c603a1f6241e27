#include "app/common/calendar_dialog.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/form_controls.h"
#include "app/common/form_font.h"
#include "core/text/date_text.h"
#include "widgets/visual_caption.h"

namespace cheque {
namespace {

const QString kInsertCaption = QStringLiteral("הכנס");

}  // namespace

const QStringList& TCalander::MonthNames() { return HebrewMonthNames(); }

TCalander::TCalander(Services& services, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TCalander"));
  setWindowTitle(QStringLiteral("לוח שנה"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  SetFormFont(this);

  calendar_ = NewFormCalendar(this, QDate(1900, 1, 1));

  months_ = new QComboBox(this);
  months_->setObjectName(QStringLiteral("ComboBox1"));
  months_->addItems(MonthNames());
  year_ = new QSpinBox(this);
  year_->setObjectName(QStringLiteral("SpinEdit1"));
  year_->setRange(1900, 9999);

  auto add_button = [this](const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
  };
  ok_ = add_button(QStringLiteral("OKBtn"), QStringLiteral("אישור"));
  cancel_ = add_button(QStringLiteral("CancelBtn"), QStringLiteral("סיום"));
  QPushButton* today = add_button(QStringLiteral("BtnToday"), QStringLiteral("היום"));

  auto* top = new QHBoxLayout;
  top->addWidget(months_, 1);
  top->addWidget(year_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addStretch(1);
  buttons->addWidget(today);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(calendar_);
  layout->addLayout(buttons);

  connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
    if (!moving_) SetDate(Date());
  });
  // The calendar's own month arrows turn the page: the list, the year and the
  // chosen day follow.
  connect(calendar_, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
    if (!moving_) MoveTo(year, month);
  });
  connect(months_, &QComboBox::activated, this,
          [this](int index) { MoveTo(year_->value(), index + 1); });
  connect(year_, &QSpinBox::valueChanged, this, [this](int year) {
    if (!moving_) MoveTo(year, months_->currentIndex() + 1);
  });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(today, &QPushButton::clicked, this,
          [this, &services] { SetDate(services.clock->Today()); });

  SetDate(services.clock->Today());
}

QDate TCalander::Date() const { return calendar_->selectedDate(); }

void TCalander::SetDate(QDate date) {
  if (date.isValid() && date != calendar_->selectedDate()) {
    const QScopedValueRollback<bool> quiet(moving_, true);
    calendar_->setSelectedDate(date);
  }
  date = calendar_->selectedDate();
  day_ = date.day();
  const QScopedValueRollback<bool> quiet(moving_, true);
  calendar_->setCurrentPage(date.year(), date.month());
  year_->setValue(date.year());
  months_->setCurrentIndex(date.month() - 1);
}

// The chosen day where the month has it, else the month's last day.
void TCalander::MoveTo(int year, int month) {
  const QDate first(year, month, 1);
  const QScopedValueRollback<bool> quiet(moving_, true);
  calendar_->setSelectedDate(first.addDays(std::min(day_, first.daysInMonth()) - 1));
  calendar_->setCurrentPage(year, month);
  year_->setValue(year);
  months_->setCurrentIndex(month - 1);
}

void TCalander::SetOkCaption(const QString& caption) {
  ok_caption_ = caption;
  ok_->setText(VisualCaption(caption));
}

void TCalander::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  cancel_->setVisible(ok_caption_ == kInsertCaption);
}

}  // namespace cheque
