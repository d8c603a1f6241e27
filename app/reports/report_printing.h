#pragma once

#include <QSize>

#include "core/reports/chart_plan.h"
#include "core/reports/page_plan.h"

class QPainter;

namespace cheque {

// All a printed report needs: its grid with the visible columns, the chart
// pages' titles and captions.
struct ReportPrint {
  PrintSource source;
  ChartContext chart;
};

// The print of a report grid (with its chart pages) or of a detail grid
// (table.detail), its columns as the screen shows them: `widths` after the
// fill column is fitted, `captions` the header's.
ReportPrint MakeReportPrint(const ReportTable& table, const ReportSettings& settings,
                            const std::vector<int>& widths, const QStringList& captions);

// The page in pixels of the screen (96 per inch): the default printer's
// paper, A4 when there is no printer.
QSize ReportPageSize();
inline constexpr int kPageResolution = 96;

// Where a chart page puts the chart.
QRect ChartArea(QSize page);

// Draws page `page` (1-based) of the report in page pixels onto any painter:
// a page image for the preview, a printer for paper. The painter's device
// decides the sharpness, not the drawing.
void DrawReportPage(QPainter& painter, const ReportPrint& report, int page, QSize page_size);

}  // namespace cheque
