#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>

#include "core/register/cell_style.h"

class QFont;
class QFontMetrics;
class QPainter;

namespace cheque {

// Where a cell's text is drawn: right-aligned `indent` pixels in from a
// 3-pixel margin. Text too wide for the cell is elided at its logical end
// with "…", so the beginning stays readable in either direction: an amount
// keeps its sign and leading digits, a Hebrew text its first word.
struct CellText {
  QString text;
  int left = 0;  // x of the text's left edge
};
CellText PlaceTextInCell(const QString& text, int indent, const QRect& cell,
                         const QFontMetrics& metrics);
// A colour stored as 0xBBGGRR.
QColor FromBgr(uint32_t bgr);
// Text drawn by the cell-text rule, clipped to the cell, in the pen's colour.
void DrawCellText(QPainter& painter, const QRect& cell, const QFont& font, const QString& text,
                  int indent);
// The same in the painter's font, measured by `metrics` (a printer's own).
void DrawCellText(QPainter& painter, const QRect& cell, const QFontMetrics& metrics,
                  const QString& text, int indent);
// A cell as the register draws it: its background (`window` for the window
// colour), its text and its month, year and total lines. A cash-flow report
// draws its rows with it too.
void PaintRegisterCell(QPainter& painter, const QRect& cell, const CellStyle& style,
                       const QFont& font, const QColor& window);
// The width a column needs to show this text whole, its grid line included.
int CellWidthFor(const QString& text, const QFontMetrics& metrics);

}  // namespace cheque
