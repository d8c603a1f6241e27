#pragma once

#include <QDate>
#include <vector>

class QCalendarWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace cheque {

class CategoryTree;

// Shows a category tree in a tree control, fully expanded, each item holding
// its node's index; the items come back in node order.
std::vector<QTreeWidgetItem*> FillCategoryView(QTreeWidget& view, const CategoryTree& tree);

// "Calendar1" of a form: weeks from Sunday, Hebrew names, dates from `first`.
QCalendarWidget* NewFormCalendar(QWidget* parent, QDate first);

}  // namespace cheque
