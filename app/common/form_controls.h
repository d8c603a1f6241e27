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

// "Calendar1" of a form: weeks from Sunday, Hebrew names, Friday and
// Saturday as the weekend, dates from `first`.
QCalendarWidget* NewFormCalendar(QWidget* parent, QDate first);

// The month arrows of a calendar take the chosen day along (the month's last
// day where it is shorter), so that whatever follows the selection follows
// the page shown.
void KeepSelectionOnPage(QCalendarWidget* calendar);

}  // namespace cheque
