#include "app/common/form_controls.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QTextCharFormat>
#include <QTreeWidget>
#include <algorithm>

#include "core/categories/category_tree.h"

namespace cheque {

std::vector<QTreeWidgetItem*> FillCategoryView(QTreeWidget& view, const CategoryTree& tree) {
  view.clear();
  std::vector<QTreeWidgetItem*> items;
  items.reserve(static_cast<size_t>(tree.Size()));
  for (int i = 0; i < tree.Size(); ++i) {
    const int parent = tree.Parent(i);
    auto* item = parent < 0 ? new QTreeWidgetItem(&view)
                            : new QTreeWidgetItem(items[static_cast<size_t>(parent)]);
    item->setText(0, tree.Node(i).text);
    item->setData(0, Qt::UserRole, i);
    items.push_back(item);
  }
  view.expandAll();
  return items;
}

QCalendarWidget* NewFormCalendar(QWidget* parent, QDate first) {
  auto* calendar = new QCalendarWidget(parent);
  calendar->setObjectName(QStringLiteral("Calendar1"));
  calendar->setFirstDayOfWeek(Qt::Sunday);
  const QLocale israel(QLocale::Hebrew, QLocale::Israel);
  calendar->setLocale(israel);
  // Qt marks Saturday and Sunday whatever the locale; here the weekend is
  // Friday and Saturday, the days the locale does not list as working days.
  QTextCharFormat weekend;
  weekend.setForeground(Qt::red);
  const QList<Qt::DayOfWeek> working = israel.weekdays();
  for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
    const auto weekday = static_cast<Qt::DayOfWeek>(day);
    calendar->setWeekdayTextFormat(weekday,
                                   working.contains(weekday) ? QTextCharFormat() : weekend);
  }
  calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar->setDateRange(first, QDate(9999, 12, 31));
  return calendar;
}

void KeepSelectionOnPage(QCalendarWidget* calendar) {
  QObject::connect(
      calendar, &QCalendarWidget::currentPageChanged, calendar, [calendar](int year, int month) {
        const QDate selected = calendar->selectedDate();
        if (selected.year() == year && selected.month() == month) return;
        const QDate first(year, month, 1);
        calendar->setSelectedDate(first.addDays(std::min(selected.day(), first.daysInMonth()) - 1));
      });
}

}  // namespace cheque
