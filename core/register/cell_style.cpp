#include "core/register/cell_style.h"

#include <cmath>

#include "core/register/register.h"
#include "core/text/amount.h"
#include "core/text/date_text.h"
#include "core/text/text_compare.h"

namespace cheque {
namespace {

constexpr QStringView kIndentUnit = u"      ";

bool HasMinus(std::string_view text) { return text.find('-') != std::string_view::npos; }

bool IsTotalsRow(const Register& reg, int row) {
  if (row != reg.RowCount() - 1) return false;
  const QString description = reg.Cell(row, kDescriptionColumn);
  return TextContains(u"סך הכל", description) || TextContains(u"הפרש הכנסות והוצאות", description);
}

// The separator lines below `row`, judged from its date and the next row's.
void SetSeparators(const Register& reg, int row, QDate today, CellStyle& style) {
  if (row + 1 >= reg.RowCount()) return;
  const std::string_view this_text = reg.RawCell(row, kDateColumn);
  const std::string_view next_text = reg.RawCell(row + 1, kDateColumn);
  if (this_text.empty() || next_text.empty()) return;
  const auto here = ReadDateText(this_text, today);
  const auto next = ReadDateText(next_text, today);
  if (!here || !next) return;
  style.month_line = next->month() > here->month() || next->year() > here->year();
  style.year_line = next->year() != here->year();
}

}  // namespace

PlacedText PlaceCellText(QStringView text) {
  PlacedText placed;
  placed.text.reserve(text.size());
  qsizetype i = 0;
  while (i < text.size()) {
    if (text.mid(i).startsWith(kIndentUnit)) {
      placed.indent += kIndentUnitPixels;
      i += kIndentUnit.size();
    } else {
      placed.text.append(text[i]);
      ++i;
    }
  }
  if (placed.text.endsWith(u' ')) placed.text.chop(1);
  return placed;
}

CellStyle RegisterCellStyle(const Register& reg, int row, int column,
                            const CellStyleContext& context) {
  namespace c = cell_colour;
  CellStyle style;
  const bool bank_balance = IsBankBalanceRow(reg.RawCell(row, kCategoryColumn));
  const std::string_view text = reg.RawCell(row, column);
  if (bank_balance) {
    style.window_brush = false;
    style.brush = c::kGrey;
  }
  if (IsTotalsRow(reg, row)) {
    style.window_brush = false;
    style.brush = c::kSilver;
    style.total_frame = true;
  }
  const double value = column == kBalanceColumn ? ParseAmount(text) : 0.0;
  if (column == kBalanceColumn && -value > context.credit_line) {
    style.bold = true;
    style.window_brush = false;
    style.brush = c::kYellow;
  }
  const bool amount_column = column >= kBalanceColumn && column <= kExpenseColumn;
  if (column == kBalanceColumn && std::fabs(value) > context.credit_line) {
    style.text_colour = c::kGreen;
  } else if (bank_balance && amount_column && HasMinus(text)) {
    style.text_colour = c::kSilver;
  } else if (amount_column && HasMinus(text)) {
    style.text_colour = c::kRed;
  } else if (reg.RawCell(row, kMarkColumn) == "+") {
    style.text_colour = c::kGrey;
  }
  if (reg.IsOverdueRow(row, context.today)) style.text_colour = c::kPurple;
  if (!style.window_brush && style.brush == c::kGrey) style.text_colour = c::kWhite;

  if (column == kMarkColumn) {
    style.text.text = text == "+" ? QStringLiteral("ok") : QStringLiteral(" ");
  } else if (column != kKeyColumn) {
    style.text = PlaceCellText(reg.Cell(row, column));
  }
  SetSeparators(reg, row, context.today, style);
  return style;
}

}  // namespace cheque
