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

// What a printed column needs, in page pixels at the grid's own font size:
// `whole` shows all its figures whole (and a few letters of its texts),
// `wanted` shows every text and the caption whole too.
struct ColumnNeed {
  int whole = 0;
  int wanted = 0;
};

// The space a grid page has for the grid, in page pixels.
struct GridRoom {
  int width = 0;
  int height = 0;
};

// How a grid is printed: each column's width at the grid's font size, the
// grid drawn `scale` times that size (a smaller font), on a landscape page
// when that gives the larger font.
struct PrintFit {
  std::vector<int> widths;
  double scale = 1.0;
  bool landscape = false;
};

// Below this, a portrait grid is tried on a landscape page.
inline constexpr double kSmallestPortraitScale = 0.8;

// Columns that keep every figure whole: the texts are narrowed first, then
// the whole grid is drawn smaller; `height` is a full page of rows with
// its header, at the grid's font size.
PrintFit FitPrintColumns(const std::vector<ColumnNeed>& needs, int height, GridRoom portrait,
                         GridRoom landscape);
// The same on a page already turned one way (`landscape` is left false).
PrintFit FitPrintColumnsIn(const std::vector<ColumnNeed>& needs, int height, GridRoom room);

// How many letters shorter than a column's longest text a text may be and
// still be measured: letters differ in width.
inline constexpr int kWidestSlack = 2;

// The cells of each printed column that may be its widest, each look once:
// those whose length (an indent counting a letter for every 4 pixels) is
// within kWidestSlack of the column's longest. With `digits_alike` (a font
// whose digits are all as wide), texts that differ in their digits alone
// count as one. Reads each cell's length without decoding it, so a grid of
// a million rows is fitted in a fraction of a second.
std::vector<std::vector<PrintedCell>> WidestCells(const PrintSource& source, bool digits_alike);

int GridPageCount(int row_count);
int PageCount(const PrintSource& source);
// Page `page` (1-based); a page beyond the count plans as an empty grid page.
PrintedPage PlanPage(const PrintSource& source, int page);

}  // namespace cheque
