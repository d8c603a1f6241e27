#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

#include "app/common/services.h"
#include "core/reports/xlsx_export.h"

class QWidget;

namespace cheque {

// Asks where to save: the suggested path in, the chosen one out (empty when
// the user cancelled). Tests give their own.
using CsvPathPicker = std::function<QString(QWidget* parent, const QString& suggested)>;
CsvPathPicker FileDialogCsvPicker();

// "ייצוא": asks for a path (the folder and `file_name` offered) and writes
// the spreadsheet file there, replacing an old one atomically: an Excel
// workbook of `sheet` when the path ends in ".xlsx", else the CSV `bytes`.
// A write that fails is told. True when a file was written.
bool ExportCsv(Services& services, QWidget* parent, const CsvPathPicker& picker,
               const QString& folder, const QString& file_name, const QByteArray& bytes,
               const std::function<SheetTable()>& sheet = {});

}  // namespace cheque
