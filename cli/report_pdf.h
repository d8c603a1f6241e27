#pragma once

#include <QString>

#include "core/reports/report_engine_columns.h"
#include "core/reports/report_table.h"

namespace cheque::cli {

// Writes the report (or detail grid) as the print preview's "הדפס הכל"
// prints it, as a PDF file, with no display; false with a reason.
bool WriteReportPdf(const ReportTable& table, const ReportSettings& settings,
                    const ReportColumns& columns, const QString& path, QString* error);

}  // namespace cheque::cli
