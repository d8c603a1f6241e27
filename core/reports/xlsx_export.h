#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "core/reports/page_plan.h"
#include "core/reports/report_table.h"

namespace cheque {

class Register;

struct SheetCell {
  QString text;
  uint32_t background = 0xFFFFFF;  // 0xBBGGRR, as the grid draws it
  uint32_t text_colour = 0;
  bool bold = false;
};

// A grid as a spreadsheet holds it: the captions, then the rows, the
// right-most column of the screen first.
struct SheetTable {
  QString name;
  QStringList captions;
  std::vector<std::vector<SheetCell>> rows;
  std::vector<bool> counts;  // columns of whole numbers (the row numbers)
};

// A report or detail grid with the given visible columns and the colours of
// its total and section rows.
SheetTable ReportSheet(const ReportTable& table, const std::vector<PrintColumn>& columns,
                       const QString& name);
// A register as the page shows it (the columns of RegisterCsv).
SheetTable RegisterSheet(const Register& reg, const QString& name);

// Writes an ".xlsx" file: a right-to-left sheet, numbers as numbers with two
// decimals (whole in the columns of counts), dates as dates. The file is replaced only once the new
// one is whole; false with a reason when it cannot be written.
bool WriteXlsxFile(const QString& path, const SheetTable& sheet, QString* error = nullptr);

// A file name for a title with the ".xlsx" ending.
QString XlsxFileName(const QString& title);

}  // namespace cheque
