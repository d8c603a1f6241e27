#pragma once

// What the statement readers share: growing the table cell by cell within its
// limits, spreadsheet dates and numbers as text, and the messages.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/import/statement_table.h"

namespace cheque::reader {

// No cell of a statement is this long; the rest of it is let go.
inline constexpr qsizetype kMaxCellBytes = 64 * 1024;

// Puts a cell into the table, growing it; false beyond kMaxStatementRows or
// kMaxStatementCells. A column beyond kMaxStatementColumns, or a table
// beyond kMaxStatementCells, marks the table too large.
bool PutCell(StatementTable& table, qint64 row, qint64 column, const QString& text);

// A spreadsheet's date serial (days since 30/12/1899) in the register's form.
QString SerialDateText(double serial);
// A number as the spreadsheet holds it, without its display format.
QString NumberText(double value);
// A number cell's text as NumberText gives it, without going through a double
// when the text is that already; nothing when it is no number.
std::optional<QString> NumberCellText(const QString& value);
// Whether a number format code shows a date: day, month or year letters
// outside quoted text and [brackets].
bool IsDateFormatCode(QString code);
bool IsBuiltInDateFormat(int id);

QString Unreadable(const QString& name);
QString TooLarge(const QString& name);
QString NoSuchSheet(const QString& name, int sheet);

// "טבלה 2 (40 שורות)": a table without a name of its own, by its place.
QString TableName(int index, int rows);
// The first of the most rows.
int MostRows(const std::vector<int>& rows);

// The sheet (or table) to read: the asked one, or by default the given one;
// -1 and an error when the asked one is not in the file.
int ChooseSheet(int asked, int by_default, int count);

// The records of a BIFF8 workbook stream, once out of its compound file.
StatementRead ReadBiffStream(const QByteArray& stream, const QString& name, int sheet);

}  // namespace cheque::reader
