#include "app/common/cell_drawing.h"

#include <QFontMetrics>
#include <QPainter>

namespace cheque {
namespace {

// The cell's margins: 3 pixels right of the text, at least 1 left of it.
constexpr int kRightMargin = 3;
constexpr int kLeftMargin = 1;

}  // namespace

QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

void DrawCellText(QPainter& painter, const QRect& cell, const QFont& font, const QString& text,
                  int indent) {
  painter.setFont(font);
  DrawCellText(painter, cell, QFontMetrics(font), text, indent);
}

void DrawCellText(QPainter& painter, const QRect& cell, const QFontMetrics& metrics,
                  const QString& text, int indent) {
  const CellText placed = PlaceTextInCell(text, indent, cell, metrics);
  // Hebrew reads right to left; amounts and dates keep their sign in front.
  painter.setLayoutDirection(placed.text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  painter.setClipRect(cell);
  painter.drawText(QPoint(placed.left, cell.top() + 1 + metrics.ascent()), placed.text);
  painter.setClipping(false);
}

void PaintRegisterCell(QPainter& painter, const QRect& cell, const CellStyle& style,
                       const QFont& font, const QColor& window) {
  painter.fillRect(cell, style.window_brush ? window : FromBgr(style.brush));
  painter.setPen(FromBgr(style.text_colour));
  DrawCellText(painter, cell, font, style.text.text, style.text.indent);
  if (style.month_line) {
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
  }
  if (style.year_line) {
    painter.fillRect(QRect(cell.left(), cell.bottom() - 1, cell.width(), 2),
                     FromBgr(cell_colour::kBlue));
  }
  if (style.total_frame) {
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(cell.adjusted(-1, -1, 0, 0));
  }
}

CellText PlaceTextInCell(const QString& text, int indent, const QRect& cell,
                         const QFontMetrics& metrics) {
  const int right = cell.right() - kRightMargin - indent;
  const int room = std::max(0, right - cell.left() - kLeftMargin);
  CellText placed{text, 0};
  if (metrics.horizontalAdvance(text) > room) {
    placed.text = metrics.elidedText(text, Qt::ElideRight, room);
  }
  placed.left = right - metrics.horizontalAdvance(placed.text);
  return placed;
}

int CellWidthFor(const QString& text, const QFontMetrics& metrics) {
  // QRect::right() is one short of the width, and the grid line takes one more.
  return metrics.horizontalAdvance(text) + kRightMargin + kLeftMargin + 2;
}

}  // namespace cheque
