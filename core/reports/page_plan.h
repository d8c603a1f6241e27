#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "core/reports/report_table.h"

namespace cheque {

inline constexpr int kRowsPerPage = 50;
// Where the page's grid starts: added to every column's screen position.
inline constexpr int kPageLeftMargin = 100;
inline constexpr int kPageTopMargin = 30;

// A grid column as the screen shows it: its left edge within the grid and
// its width in pixels.
struct PrintColumn {
  int column = 0;
  int left = 0;
  int width = 0;
  QString caption;
};

// The columns of a grid with these widths as the screen lays them out:
// column 0 at the left (so the date lands at the right of a register), one
// pixel of grid line after each; hidden ones (width 1 or less) left out.
std::vector<PrintColumn> GridColumns(const std::vector<int>& widths, const QStringList& captions);
// The same columns as a reader meets them: the right-most first.
std::vector<PrintColumn> ReadingOrder(std::vector<PrintColumn> columns);

struct PrintedCell {
  QString text;  // after the cell-text rule: indents removed
  int indent = 0;
  uint32_t background = 0xFFFFFF;  // 0xBBGGRR
  uint32_t text_colour = 0;
  bool bold = false;
  // Silver frames go one pixel outside the cell on all four sides, black
  // frames on the left and right only.
  uint32_t frame = 0xC0C0C0;
};

struct PrintedRow {
  int row = 0;                     // in the grid
  std::vector<PrintedCell> cells;  // one per printed column
};

struct PrintedPage {
  int number = 1;      // 1-based, as the tab
  int grid_pages = 1;  // G
  bool chart = false;
  int chart_type = -1;  // chart pages: index into the chart-type list
  bool shows_title = false;
  QString title;
  QString page_caption;  // "Page n of G..."
  std::vector<PrintColumn> columns;
  std::vector<PrintedRow> rows;
};

// What the preview prints: a report grid with its chart pages, or a detail
// grid (table.detail) without any.
struct PrintSource {
  ReportTable table;
  std::vector<PrintColumn> columns;  // the visible columns
  int chart_types = 0;               // ignored for a detail grid
  QString title;
};

int GridPageCount(int row_count);
int PageCount(const PrintSource& source);
// Page `page` (1-based); a page beyond the count plans as an empty grid page.
PrintedPage PlanPage(const PrintSource& source, int page);

}  // namespace cheque
