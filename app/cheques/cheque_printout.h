#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QPainter;

namespace cheque {

// The cheque is laid out in dots of a 300-dpi printer.
inline constexpr int kChequeResolution = 300;

// What goes on the cheque, as the page's fields hold it.
struct ChequePrintout {
  QDate date;
  QString street;
  QString house_number;
  QString town;
  QString zip;
  QStringList memo_lines;  // one framed row each
  QString payee;
  QString words;  // the whole words line; it is split to fit
  QString amount;
};

// The lines of a memo as rows of the cheque: every line, and last the line
// the caret would start next (empty after a final line break).
QStringList MemoRows(const QString& memo_text);

// Draws the cheque from the top-left of the printable area; the painter's
// device is at kChequeResolution dots per inch.
void DrawCheque(QPainter& painter, const ChequePrintout& cheque);

}  // namespace cheque
