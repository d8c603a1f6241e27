#pragma once

#include <QPageLayout>
#include <QSize>
#include <functional>
#include <optional>

#include "core/reports/chart_plan.h"
#include "core/reports/page_plan.h"

class QPainter;
class QPaintDevice;
class QPrinter;

namespace cheque {

// All a printed report needs: its grid with the visible columns, the chart
// pages' titles and captions.
struct ReportPrint {
  PrintSource source;
  ChartContext chart;
  // The grid's columns measured on the device it goes to (FitReportPrint);
  // measured on the painter's device at each page when not.
  std::optional<PrintFit> fit;
};

// The print of a report grid (with its chart pages) or of a detail grid
// (table.detail), the columns the screen shows (`widths` of 1 or less are
// hidden) in their order, `captions` the header's.
ReportPrint MakeReportPrint(const ReportTable& table, const ReportSettings& settings,
                            const std::vector<int>& widths, const QStringList& captions);

// The paper reports are printed on: the default printer's, A4 when there
// is no printer.
QPageSize ReportPaper();
// The page in pixels of the screen (96 per inch): the default printer's
// paper, A4 when there is no printer.
QSize ReportPageSize();
inline constexpr int kPageResolution = 96;

// Measures every cell of the grid with the fonts of `device` (a printer, or
// an image of kPageResolution) and fits the columns to the page: figures
// whole, at a smaller size or on a landscape page when they need it.
void FitReportPrint(ReportPrint& report, const QPaintDevice& device);
// The report's page: ReportPageSize(), turned when the grid is landscape.
QSize ReportPageSize(const ReportPrint& report);
QPageLayout::Orientation ReportOrientation(const ReportPrint& report);

// Where a chart page puts the chart.
QRect ChartArea(QSize page);

// Draws page `page` (1-based) of the report in page pixels onto any painter:
// a page image for the preview, a printer for paper. The painter's device
// decides the sharpness, not the drawing.
void DrawReportPage(QPainter& painter, const ReportPrint& report, int page, QSize page_size);

// Prints pages `first` to `last` (1-based) on an open painter of `printer`
// (its resolution kPageResolution, its paper turned as report.fit says):
// the grid measured again with the printer's fonts, each page fitted to the
// printable area. `before_page` is asked before each page is drawn; false
// from it stops the job. False when stopped or the printer refused a new page.
bool PrintReportPages(QPrinter& printer, QPainter& painter, const ReportPrint& report, int first,
                      int last, const std::function<bool(int page)>& before_page = {});

}  // namespace cheque
