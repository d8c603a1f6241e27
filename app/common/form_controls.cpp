#include "app/common/form_controls.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QTreeWidget>

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
  calendar->setLocale(QLocale(QLocale::Hebrew, QLocale::Israel));
  calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  calendar->setDateRange(first, QDate(9999, 12, 31));
  return calendar;
}

}  // namespace cheque
