#include "app/reports/report_printing.h"

#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <algorithm>

#include "app/register/register_grid.h"
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

// The columns where they stand on the screen, narrowed together when a wide
// window would push the left-most ones off the paper.
std::vector<QRect> ColumnSpans(const PrintedPage& page, QSize page_size) {
  int right = 0;
  for (const PrintColumn& column : page.columns)
    right = std::max(right, column.left + column.width);
  const int room = page_size.width() - kPageLeftMargin - 10;
  const double fit = right > room && right > 0 ? static_cast<double>(room) / right : 1.0;
  std::vector<QRect> spans;
  for (const PrintColumn& column : page.columns) {
    const int left = kPageLeftMargin + static_cast<int>(column.left * fit);
    spans.emplace_back(left, 0, std::max(2, static_cast<int>(column.width * fit)), 0);
  }
  return spans;
}

void DrawGridPage(QPainter& painter, const PrintedPage& page, QSize page_size) {
  const std::vector<QRect> spans = ColumnSpans(page, page_size);
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

  painter.setFont(PageFont(10, true));
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

  const int row_height = RowHeight(QFontMetrics(PageFont(9, false), painter.device()));
  for (size_t j = 0; j < page.rows.size(); ++j) {
    const PrintedRow& row = page.rows[j];
    const int y = top + static_cast<int>(j) * row_height;
    for (size_t c = 0; c < page.columns.size() && c < row.cells.size(); ++c) {
      const PrintedCell& printed = row.cells[c];
      const QRect cell(spans[c].left(), y, spans[c].width(), row_height);
      painter.fillRect(cell, FromBgr(printed.background));
      painter.setFont(PageFont(9, printed.bold));
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

QSize ReportPageSize() {
  QPageSize paper = QPrinterInfo::defaultPrinter().defaultPageSize();
  if (!paper.isValid()) paper = QPageSize(QPageSize::A4);
  return paper.sizePixels(kPageResolution);
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
    DrawGridPage(painter, plan, page_size);
  }
  painter.restore();
}

}  // namespace cheque
