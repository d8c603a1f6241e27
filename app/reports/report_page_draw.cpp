#include "app/reports/report_page_draw.h"

#include <QApplication>
#include <QPainter>
#include <QTableView>

#include "app/common/cell_drawing.h"
#include "core/register/cell_style.h"
#include "core/reports/report_engine_columns.h"

namespace cheque {
namespace {

void DrawText(QPainter& painter, const QRect& cell, const QFont& font, QStringView text) {
  const PlacedText placed = PlaceCellText(text);
  DrawCellText(painter, cell, font, placed.text, placed.indent);
}

}  // namespace

ReportCellDelegate::ReportCellDelegate(QTableView& grid, const std::unique_ptr<ReportTable>& table,
                                       bool detail)
    : QStyledItemDelegate(&grid), grid_(grid), table_(table), detail_(detail) {}

void ReportCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const ReportTable& table = *table_;
  const int row = index.row();
  const int column = index.column();
  if (row >= table.RowCount()) return;
  const QRect cell = option.rect;
  QFont font = grid_.font();
  font.setPointSize(8);
  painter->save();
  if (detail_) {
    painter->fillRect(cell, QApplication::palette().color(QPalette::Base));
    painter->setPen(Qt::black);
    DrawText(*painter, cell, font, table.Cell(row, column));
  } else if (table.layout == ReportLayout::kCashFlow) {
    // The row as its account's register draws it.
    CellStyle style;
    style.text.text = table.Cell(row, column);
    if (table.IsRegisterRow(row) && column > 0) {
      const Register& reg = *table.accounts[static_cast<size_t>(table.AccountOf(row))].rows;
      style = RegisterCellStyle(reg, table.RegisterRowOf(row), column, CellStyleContext{});
    } else {
      style.text = PlaceCellText(table.Cell(row, column));
    }
    font.setBold(style.bold);
    PaintRegisterCell(*painter, cell, style, font, QApplication::palette().color(QPalette::Base));
  } else {
    const ReportCellLook look = ReportCellStyle(table, row, column);
    painter->fillRect(cell, look.window_brush ? QApplication::palette().color(QPalette::Base)
                                              : FromBgr(look.brush));
    painter->setPen(FromBgr(look.text_colour));
    DrawText(*painter, cell, font, table.Cell(row, column));
    if (look.black_frame) {
      painter->setPen(QPen(Qt::black, 1));
      painter->drawLine(cell.left() - 1, cell.top(), cell.left() - 1, cell.bottom());
      painter->drawLine(cell.right() + 1, cell.top(), cell.right() + 1, cell.bottom());
    } else {
      painter->setPen(QPen(FromBgr(cell_colour::kSilver), 1));
      painter->drawRect(cell.adjusted(-1, -1, 0, 0));
    }
  }
  if (index == grid_.currentIndex() && grid_.hasFocus()) {
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
    painter->drawRect(cell.adjusted(1, 1, -1, -1));
  }
  painter->restore();
}

}  // namespace cheque
