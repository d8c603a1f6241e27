#pragma once

#include <QString>

class QWidget;

namespace cheque {

// A path, file name, file filter or mount point shown inside right-to-left
// text (a label, a list item, a message line, a window title), isolated as
// left-to-right text (U+2066 ... U+2069), so "/home/dana" never reads
// "home/dana/", the root stays "/", and Hebrew folder names keep their order.
QString PathText(const QString& path);
// The path again from a shown text (the isolating marks taken off).
QString PlainPath(const QString& shown);
// A control that holds nothing but paths, laid out left to right, its
// drop-down list too.
void ShowPathLeftToRight(QWidget* control);

// Qt's file pickers, Hebrew and right to left, with their folder box, name
// field and filter list left to right. An empty text when cancelled.
// `filters` as Qt's ("CSV (*.csv);;..."); `chosen_filter`, when given, gets
// the filter the user left selected.
QString PickFileToOpen(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filters);
QString PickFileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filters, QString* chosen_filter = nullptr);

}  // namespace cheque
