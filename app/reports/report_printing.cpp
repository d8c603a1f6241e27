#include "app/reports/report_printing.h"

#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "app/common/cell_drawing.h"
#include "app/reports/report_chart.h"
#include "core/register/cell_style.h"

namespace cheque {
namespace {

QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QFont PageFont(int points, bool bold, bool underline = false) {
  QFont font(QStringLiteral("MS Sans Serif"), points);
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Nachlieli CLM"),
                    QStringLiteral("DejaVu Sans")});
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}

// The row height of a font: the height of "X" and 5 pixels.
int RowHeight(const QFontMetrics& metrics) {
  return metrics.boundingRect(QStringLiteral("X")).height() + 5;
}

// Right-aligned by the cell-text rule, clipped to the cell.
void DrawCellText(QPainter& painter, const QString& text, int indent, const QRect& cell) {
  painter.save();
  cheque::DrawCellText(painter, cell, QFontMetrics(painter.font(), painter.device()), text, indent);
  painter.restore();
}

// A text of a cell is a figure unless it holds a letter: amounts, dates,
// row numbers are printed whole, descriptions and names may be shortened.
bool IsFigure(const QString& text) {
  return std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// Whether every digit is as wide in this font, as in nearly all: amounts
// and dates then measure by their shape alone.
bool DigitsAlike(const QFontMetrics& metrics) {
  const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
  for (char digit = '1'; digit <= '9'; ++digit) {
    if (metrics.horizontalAdvance(QLatin1Char(digit)) != zero) return false;
  }
  return true;
}

constexpr int kShortestText = 60;  // what a shortened text keeps, in pixels
constexpr int kTitleRoom = 40;     // the title of page 1 and the space below it
constexpr int kBottomMargin = 30;
constexpr int kRightMargin = 10;

struct GridFonts {
  QFont header = PageFont(10, true);
  QFont plain = PageFont(9, false);
  QFont bold = PageFont(9, true);
};

GridRoom RoomOf(QSize page) {
  return {page.width() - kPageLeftMargin - kRightMargin,
          page.height() - kPageTopMargin - kTitleRoom - kBottomMargin};
}

// On a page turned as `landscape` says, or turned whichever way fits best.
PrintFit MeasureFit(const PrintSource& source, const QPaintDevice& device,
                    std::optional<bool> landscape = std::nullopt) {
  const GridFonts fonts;
  const QFontMetrics header(fonts.header, &device);
  const QFontMetrics plain(fonts.plain, &device);
  const QFontMetrics bold(fonts.bold, &device);
  std::vector<ColumnNeed> needs(source.columns.size());
  for (size_t c = 0; c < source.columns.size(); ++c) {
    const PlacedText caption = PlaceCellText(QStringView(source.columns[c].caption));
    needs[c].wanted = CellWidthFor(caption.text, header) + caption.indent;
  }
  // Only the longest texts of a column can be its widest: the rest are not
  // measured, which keeps a grid of a million rows quick.
  const std::vector<std::vector<PrintedCell>> widest =
      WidestCells(source, DigitsAlike(plain) && DigitsAlike(bold));
  for (size_t c = 0; c < widest.size() && c < needs.size(); ++c) {
    for (const PrintedCell& cell : widest[c]) {
      const int width = CellWidthFor(cell.text, cell.bold ? bold : plain) + cell.indent;
      needs[c].wanted = std::max(needs[c].wanted, width);
      needs[c].whole =
          std::max(needs[c].whole, IsFigure(cell.text) ? width : std::min(width, kShortestText));
    }
  }
  // The drawn size may round a pixel or two away from the measured one.
  for (ColumnNeed& need : needs) {
    need.whole += 2;
    need.wanted += 2;
  }
  const int height = RowHeight(header) + 3 + kRowsPerPage * RowHeight(plain);
  const QSize page = ReportPageSize();
  if (!landscape) return FitPrintColumns(needs, height, RoomOf(page), RoomOf(page.transposed()));
  PrintFit fit = FitPrintColumnsIn(needs, height, RoomOf(*landscape ? page.transposed() : page));
  fit.landscape = *landscape;
  return fit;
}

// The columns in their order, each as wide as the fit says, at the fit's
// font size from the grid's left edge.
std::vector<QRect> ColumnSpans(const PrintedPage& page, const PrintFit& fit) {
  std::vector<QRect> spans;
  int left = 0;
  for (size_t c = 0; c < page.columns.size(); ++c) {
    const int width = c < fit.widths.size() ? fit.widths[c] : page.columns[c].width;
    spans.emplace_back(left, 0, width, 0);
    left += width + 1;
  }
  return spans;
}

void DrawGridPage(QPainter& painter, const PrintedPage& page, const PrintFit& fit,
                  QSize page_size) {
  const GridFonts fonts;
  int top = kPageTopMargin;
  if (page.shows_title) {
    painter.setFont(PageFont(12, true, true));
    const QFontMetrics metrics(painter.font(), painter.device());
    painter.setLayoutDirection(Qt::RightToLeft);
    painter.drawText(QRect(0, top, page_size.width(), metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, page.title);
    top += RowHeight(metrics) + 15;
  }
  painter.setFont(PageFont(9, false, true));
  painter.setLayoutDirection(Qt::LeftToRight);
  painter.drawText(QPoint(10, 10 + QFontMetrics(painter.font(), painter.device()).ascent()),
                   page.page_caption);

  // The grid, drawn smaller when its figures need it to fit the page.
  const std::vector<QRect> spans = ColumnSpans(page, fit);
  painter.save();
  painter.translate(kPageLeftMargin, top);
  painter.scale(fit.scale, fit.scale);
  top = 0;
  painter.setFont(fonts.header);
  const int header_height = RowHeight(QFontMetrics(painter.font(), painter.device()));
  for (size_t c = 0; c < page.columns.size(); ++c) {
    const PrintColumn& column = page.columns[c];
    const QRect cell(spans[c].left(), top, spans[c].width(), header_height);
    painter.setPen(Qt::black);
    const PlacedText placed = PlaceCellText(QStringView(column.caption));
    DrawCellText(painter, placed.text, placed.indent, cell);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(cell.adjusted(-1, -1, 0, 0));
    painter.setPen(QPen(FromBgr(cell_colour::kSilver), 1));
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
  }
  top += header_height + 3;

  const int row_height = RowHeight(QFontMetrics(fonts.plain, painter.device()));
  for (size_t j = 0; j < page.rows.size(); ++j) {
    const PrintedRow& row = page.rows[j];
    const int y = top + static_cast<int>(j) * row_height;
    for (size_t c = 0; c < page.columns.size() && c < row.cells.size(); ++c) {
      const PrintedCell& printed = row.cells[c];
      const QRect cell(spans[c].left(), y, spans[c].width(), row_height);
      painter.fillRect(cell, FromBgr(printed.background));
      painter.setFont(printed.bold ? fonts.bold : fonts.plain);
      painter.setPen(FromBgr(printed.text_colour));
      DrawCellText(painter, printed.text, printed.indent, cell);
      painter.setPen(QPen(FromBgr(printed.frame), 1));
      if (printed.frame == cell_colour::kBlack) {
        painter.drawLine(cell.left() - 1, cell.top(), cell.left() - 1, cell.bottom());
        painter.drawLine(cell.right() + 1, cell.top(), cell.right() + 1, cell.bottom());
      } else {
        painter.drawRect(cell.adjusted(-1, -1, 0, 0));
      }
    }
  }
  painter.restore();
}

}  // namespace

ReportPrint MakeReportPrint(const ReportTable& table, const ReportSettings& settings,
                            const std::vector<int>& widths, const QStringList& captions) {
  ReportPrint report;
  report.source.table = table;
  report.source.columns = GridColumns(widths, captions);
  report.source.title = settings.title;
  report.chart = ChartContextOf(settings);
  report.source.chart_types =
      table.detail ? 0
                   : static_cast<int>(ChartTypeNames(table.layout, report.chart.comparison).size());
  return report;
}

QPageSize ReportPaper() {
  const QPageSize paper = QPrinterInfo::defaultPrinter().defaultPageSize();
  return paper.isValid() ? paper : QPageSize(QPageSize::A4);
}

QSize ReportPageSize() { return ReportPaper().sizePixels(kPageResolution); }

void FitReportPrint(ReportPrint& report, const QPaintDevice& device) {
  report.fit = MeasureFit(report.source, device);
}

QSize ReportPageSize(const ReportPrint& report) {
  const QSize page = ReportPageSize();
  return report.fit && report.fit->landscape ? page.transposed() : page;
}

QPageLayout::Orientation ReportOrientation(const ReportPrint& report) {
  return report.fit && report.fit->landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QRect ChartArea(QSize page) {
  return QRect(QPoint(30, 150), QPoint(page.width() - 50, page.height() / 3));
}

void DrawReportPage(QPainter& painter, const ReportPrint& report, int page, QSize page_size) {
  painter.save();
  painter.fillRect(QRect(QPoint(0, 0), page_size), Qt::white);
  const PrintedPage plan = PlanPage(report.source, page);
  if (plan.chart) {
    RenderChart(painter, PlanChart(report.source.table, report.chart, plan.chart_type),
                ChartArea(page_size));
  } else {
    DrawGridPage(painter, plan,
                 report.fit ? *report.fit : MeasureFit(report.source, *painter.device()),
                 page_size);
  }
  painter.restore();
}

}  // namespace cheque

namespace cheque {

bool PrintReportPages(QPrinter& printer, QPainter& painter, const ReportPrint& report, int first,
                      int last, const std::function<bool(int page)>& before_page) {
  // Measured again with the printer's own fonts, on its paper as turned.
  ReportPrint job = report;
  job.fit =
      MeasureFit(job.source, printer, printer.pageLayout().orientation() == QPageLayout::Landscape);
  const QSize page_size = ReportPageSize(job);
  // The page fits the printable area, keeping its proportions.
  const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
  const double scale =
      std::min(printable.width() / page_size.width(), printable.height() / page_size.height());
  for (int page = first; page <= last; ++page) {
    if (before_page && !before_page(page)) return false;
    if (page > first && !printer.newPage()) return false;
    painter.save();
    painter.scale(scale, scale);
    DrawReportPage(painter, job, page, page_size);
    painter.restore();
  }
  return true;
}

}  // namespace cheque
