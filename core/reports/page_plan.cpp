#include "core/reports/page_plan.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/register/cell_style.h"
#include "core/register/register.h"
#include "core/register/register_row.h"
#include "core/reports/report_engine.h"

namespace cheque {
namespace {

bool IsCashFlowLike(const ReportTable& table) {
  return table.detail || table.layout == ReportLayout::kCashFlow;
}

bool IsTotalLabel(const QString& text) {
  for (const char16_t* total :
       {kTotalText, kTotalExpensesText, kTotalIncomeText, kDifferenceText}) {
    if (text.contains(QStringView(total))) return true;
  }
  return false;
}

struct RowLook {
  uint32_t background = cell_colour::kWhite;
  uint32_t text_colour = cell_colour::kBlack;
  bool black_frame = false;
};

RowLook LookOfRow(const ReportTable& table, int row) {
  RowLook look;
  const int last = table.RowCount() - 1;
  if (table.detail) return look;
  switch (table.layout) {
    case ReportLayout::kBalanceToDate:
      if (IsTotalLabel(table.Cell(row, 1))) look.background = cell_colour::kSilver;
      break;
    case ReportLayout::kIncomeExpenses: {
      const int split = table.income_split_row;
      if (row == 0 || row == split + 1) {
        look.background = cell_colour::kBlack;
        look.text_colour = cell_colour::kYellow;
      } else if (row == split || row == last || row == last - 1) {
        look.background = cell_colour::kSilver;
      }
      look.black_frame = !table.Cell(row, 7).contains(kIndentUnit);
      break;
    }
    case ReportLayout::kTrends:
      if (row == last) look.background = cell_colour::kSilver;
      break;
    case ReportLayout::kCashFlow:
      look.black_frame = IsBankBalanceRow(QStringView(table.Cell(row, kCategoryColumn)));
      break;
  }
  return look;
}

PrintedCell CellOf(const ReportTable& table, const RowLook& look, int row, int column) {
  PrintedCell cell;
  cell.background = look.background;
  cell.text_colour = look.text_colour;
  const bool silver = look.background == cell_colour::kSilver;
  cell.frame = silver || look.black_frame ? cell_colour::kBlack : cell_colour::kSilver;
  if (IsCashFlowLike(table)) {
    const bool reconciled = table.Cell(row, kMarkColumn) == u"+";
    cell.bold = !reconciled &&
                (column == kIncomeColumn || column == kExpenseColumn || column == kMarkColumn);
    if (column == kMarkColumn) {
      cell.text = reconciled ? QStringLiteral("ok") : QStringLiteral(" ");
      return cell;
    }
  }
  const PlacedText placed = PlaceCellText(QStringView(table.Cell(row, column)));
  cell.text = placed.text;
  cell.indent = placed.indent;
  return cell;
}

std::vector<PrintColumn> PrintedColumns(const PrintSource& source) {
  std::vector<PrintColumn> columns;
  for (const PrintColumn& column : source.columns) {
    if (column.width > 1) columns.push_back(column);
  }
  return columns;
}

// The length of a cell's bytes once placed as PlaceCellText places them.
int PlacedLength(std::string_view bytes) {
  constexpr std::string_view kUnit = "      ";
  int letters = 0;
  int indent = 0;
  bool ends_blank = false;
  for (size_t i = 0; i < bytes.size();) {
    if (bytes[i] == ' ' && bytes.substr(i, kUnit.size()) == kUnit) {
      indent += kIndentUnitPixels;
      i += kUnit.size();
    } else {
      ++letters;
      ends_blank = bytes[i] == ' ';
      ++i;
    }
  }
  if (ends_blank) --letters;
  return letters + indent / 4;
}

int PlacedLength(const PrintedCell& cell) {
  return static_cast<int>(cell.text.size()) + cell.indent / 4;
}

// A register row's cells read as bytes, split once, so a length needs no
// decoding; a text row and the account name go through the printed look.
class RowBytes {
 public:
  RowBytes(const ReportTable& table, int row) : flow_(IsCashFlowLike(table)) {
    if (!table.IsRegisterRow(row)) return;
    const std::string_view record =
        table.accounts[static_cast<size_t>(table.AccountOf(row))].rows->RawRecord(
            table.RegisterRowOf(row));
    fields_ = register_row::Split(record);
    registered_ = true;
    bold_ = flow_ && !register_row::IsReconciled(record);
  }
  std::optional<std::string_view> Bytes(int column) const {
    if (!registered_ || column <= 0) return std::nullopt;
    if (flow_ && column == kMarkColumn) return bold_ ? " " : "ok";
    return fields_.Column(column);
  }
  bool Bold(int column) const {
    return bold_ && (column == kIncomeColumn || column == kExpenseColumn || column == kMarkColumn);
  }

 private:
  bool flow_;
  bool registered_ = false;
  bool bold_ = false;
  register_row::Fields<> fields_;
};

}  // namespace

std::vector<std::vector<PrintedCell>> WidestCells(const PrintSource& source, bool digits_alike) {
  const ReportTable& table = source.table;
  const std::vector<PrintColumn> columns = PrintedColumns(source);
  // One pass: each column keeps the looks within reach of its longest so
  // far, by key, and drops those the longest leaves behind.
  struct Kept {
    int length = 0;
    int row = 0;
  };
  struct Column {
    int longest = 0;
    std::unordered_map<std::string, Kept> kept;
    std::string last_key;  // neighbouring rows mostly look alike
  };
  std::vector<Column> found(columns.size());
  std::string key;
  int length = 0;
  auto make_key = [&](std::string_view text, bool bold) {
    key.assign(text);
    if (digits_alike) {
      std::replace_if(
          key.begin(), key.end(), [](char k) { return k >= '1' && k <= '9'; }, '0');
    }
    key.push_back(bold ? 'b' : 'n');
  };
  for (int row = 0; row < table.RowCount(); ++row) {
    const RowBytes bytes(table, row);
    for (size_t c = 0; c < columns.size(); ++c) {
      const int column = columns[c].column;
      Column& at = found[c];
      if (const auto raw = bytes.Bytes(column)) {
        length = PlacedLength(*raw);
        if (length + kWidestSlack < at.longest) continue;
        make_key(*raw, bytes.Bold(column));
      } else {
        const PrintedCell cell = CellOf(table, {}, row, column);
        length = PlacedLength(cell);
        if (length + kWidestSlack < at.longest) continue;
        make_key(cell.text.toStdString() + '|' + std::to_string(cell.indent), cell.bold);
        key.push_back('t');
      }
      if (key == at.last_key) continue;
      at.last_key = key;
      if (length > at.longest) {
        at.longest = length;
        std::erase_if(at.kept, [&](const auto& entry) {
          return entry.second.length + kWidestSlack < at.longest;
        });
      }
      at.kept.try_emplace(key, Kept{length, row});
    }
  }

  std::vector<std::vector<PrintedCell>> widest(columns.size());
  for (size_t c = 0; c < columns.size(); ++c) {
    std::vector<int> rows;
    for (const auto& entry : found[c].kept) rows.push_back(entry.second.row);
    std::sort(rows.begin(), rows.end());
    for (const int row : rows) widest[c].push_back(CellOf(table, {}, row, columns[c].column));
  }
  return widest;
}

std::vector<PrintColumn> GridColumns(const std::vector<int>& widths, const QStringList& captions) {
  std::vector<PrintColumn> columns;
  int left = 0;
  for (size_t c = 0; c < widths.size(); ++c) {
    if (widths[c] <= 1) continue;
    const int column = static_cast<int>(c);
    columns.push_back(
        {column, left, widths[c], column < captions.size() ? captions[column] : QString()});
    left += widths[c] + 1;
  }
  return columns;
}

std::vector<PrintColumn> ReadingOrder(std::vector<PrintColumn> columns) {
  std::stable_sort(columns.begin(), columns.end(),
                   [](const PrintColumn& a, const PrintColumn& b) { return a.left > b.left; });
  return columns;
}

PrintFit FitPrintColumnsIn(const std::vector<ColumnNeed>& needs, int height, GridRoom room) {
  PrintFit fit;
  const int gaps = static_cast<int>(needs.size());
  int whole = gaps;
  int wanted = gaps;
  for (const ColumnNeed& need : needs) {
    whole += need.whole;
    wanted += std::max(need.whole, need.wanted);
  }
  if (whole > room.width) fit.scale = static_cast<double>(std::max(1, room.width)) / whole;
  if (height > room.height && room.height > 0) {
    fit.scale = std::min(fit.scale, static_cast<double>(room.height) / height);
  }
  // The width at the grid's font size: more when the grid is drawn smaller.
  const int width = static_cast<int>(room.width / fit.scale);
  for (const ColumnNeed& need : needs) {
    const int more = std::max(need.whole, need.wanted) - need.whole;
    if (wanted <= width) {
      fit.widths.push_back(need.whole + more);
    } else if (whole < width) {
      // The texts share what the figures leave, each by how much it wants.
      const double share = static_cast<double>(width - whole) / (wanted - whole);
      fit.widths.push_back(need.whole + static_cast<int>(more * share));
    } else {
      fit.widths.push_back(need.whole);
    }
  }
  return fit;
}

PrintFit FitPrintColumns(const std::vector<ColumnNeed>& needs, int height, GridRoom portrait,
                         GridRoom landscape) {
  PrintFit fit = FitPrintColumnsIn(needs, height, portrait);
  if (fit.scale >= kSmallestPortraitScale) return fit;
  PrintFit wide = FitPrintColumnsIn(needs, height, landscape);
  if (wide.scale <= fit.scale) return fit;
  wide.landscape = true;
  return wide;
}

int GridPageCount(int row_count) { return std::max(0, row_count - 1) / kRowsPerPage + 1; }

int PageCount(const PrintSource& source) {
  const int grid = GridPageCount(source.table.RowCount());
  return source.table.detail ? grid : grid + std::max(0, source.chart_types);
}

PrintedPage PlanPage(const PrintSource& source, int page) {
  const ReportTable& table = source.table;
  PrintedPage plan;
  plan.number = page;
  plan.grid_pages = GridPageCount(table.RowCount());
  plan.title = source.title;
  if (page > plan.grid_pages && page <= PageCount(source)) {
    plan.chart = true;
    plan.chart_type = page - plan.grid_pages - 1;
    return plan;
  }
  plan.shows_title = page == 1;
  plan.page_caption = QStringLiteral("Page ") + QString::number(page) + QStringLiteral(" of ") +
                      QString::number(plan.grid_pages) + QStringLiteral("...");
  plan.columns = PrintedColumns(source);
  const int first = (page - 1) * kRowsPerPage;
  const int end = page > plan.grid_pages ? first : std::min(table.RowCount(), first + kRowsPerPage);
  for (int row = std::max(0, first); row < end; ++row) {
    const RowLook look = LookOfRow(table, row);
    PrintedRow printed{row, {}};
    for (const PrintColumn& column : plan.columns) {
      printed.cells.push_back(CellOf(table, look, row, column.column));
    }
    plan.rows.push_back(std::move(printed));
  }
  return plan;
}

}  // namespace cheque
