#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/reports/page_plan.h"
#include "core/reports/report_table.h"

namespace cheque {

class Register;

// A grid as a spreadsheet file: UTF-8 with a byte-order mark (so that a
// spreadsheet program reads the Hebrew intact), the header captions as the
// first line, RFC 4180 quoting, CR LF line ends.
QByteArray CsvBytes(const QStringList& header, const std::vector<QStringList>& rows);

// A report or detail grid: the given visible columns, the right-most first,
// as the cells hold them ("ok" for a reconciled mark, as shown).
QByteArray ReportCsv(const ReportTable& table, const std::vector<PrintColumn>& columns);

// A register as the page shows it, right to left: "בוצע" ("ok" for a
// reconciled row), date, description, category, type, expense, income,
// balance; the trailing empty row left out.
QByteArray RegisterCsv(const Register& reg);

// Replaces the file atomically; false with a reason when it cannot be written.
bool WriteCsvFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// A file name for a title: characters no file name may hold become "_".
QString CsvFileName(const QString& title);

}  // namespace cheque
