// The movements a mapping reads out of a statement (declared in
// column_mapping.h).

#include <algorithm>
#include <cmath>

#include "core/import/column_mapping.h"
#include "core/text/codec.h"

namespace cheque {
namespace {

// A cell beyond this is cut before it is cleaned: what is kept of it is far
// shorter anyway.
constexpr int kMaxCellRead = 4096;
// How much of a cell a message or a passed row shows.
constexpr int kShownText = 60;

QString Where(int row, int column) {
  return QStringLiteral("שורה %1, עמודה %2: ").arg(row + 1).arg(column + 1);
}

QString Shown(const QString& text) {
  return text.size() > kShownText ? text.left(kShownText) + QStringLiteral("...") : text;
}

bool HasDigit(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

QString RowText(const StatementTable& table, int row) {
  QStringList cells;
  for (const QString& cell : table.rows[static_cast<size_t>(row)]) {
    const QString clean = CleanStatementCell(cell.left(kMaxCellRead));
    if (!clean.isEmpty()) cells << clean;
  }
  return Shown(cells.join(QStringLiteral(", ")));
}

// The cell as the account file can hold it, cut to `limit`; what was changed
// goes to the note.
QString TextForRegister(const QString& raw, int limit, const QString& cut_note, QString& note) {
  QString text = CleanStatementCell(raw.left(kMaxCellRead));
  bool changed = false;
  text = NearestWin1255(text, &changed);
  const auto add = [&note](const QString& what) {
    if (!note.contains(what)) note += (note.isEmpty() ? QString() : QStringLiteral("; ")) + what;
  };
  if (changed) add(QStringLiteral("אותיות שאין בקובץ החשבון הוחלפו בקרובות להן"));
  if (text.size() > limit) {
    text = text.left(limit).trimmed();
    add(cut_note);
  }
  return text;
}

bool SameRow(const StatementTable& table, int a, int b) {
  const int rows = static_cast<int>(table.rows.size());
  if (a < 0 || b < 0 || a >= rows || b >= rows) return false;
  const int columns = static_cast<int>(std::max(table.rows[static_cast<size_t>(a)].size(),
                                                table.rows[static_cast<size_t>(b)].size()));
  for (int column = 0; column < columns; ++column) {
    if (CleanStatementCell(table.Cell(a, column).left(kMaxCellRead)) !=
        CleanStatementCell(table.Cell(b, column).left(kMaxCellRead))) {
      return false;
    }
  }
  return true;
}

}  // namespace

MovementsRead ReadMovements(const StatementTable& table, const ColumnMapping& first_mapping,
                            QDate today) {
  MovementsRead read;
  if (!first_mapping.IsComplete()) {
    read.error = QStringLiteral("יש לבחור עמודת תאריך ועמודת סכום (או עמודת חובה או זכות)");
    return read;
  }
  ColumnMapping mapping = first_mapping;
  const int rows = static_cast<int>(table.rows.size());
  const auto fail = [&read](int row, int column, const QString& what) {
    read.error = Where(row, column) + what;
    read.movements.clear();
    read.passed.clear();
    return read;
  };
  // An amount cell: empty is none; otherwise read, or the whole file refused.
  enum class Cell { kEmpty, kRead, kBad };
  const auto amount_of = [&](int row, int column, double& out) {
    const QString text = CleanStatementCell(table.Cell(row, column).left(kMaxCellRead));
    if (text.isEmpty()) return Cell::kEmpty;
    bool too_large = false;
    const auto value = ReadStatementAmount(text, &too_large);
    if (!value) {
      fail(row, column,
           u'"' + Shown(text) +
               (too_large ? QStringLiteral("\" גדול מדי (הסכום הגדול ביותר 9,999,999,999.99)")
                          : QStringLiteral("\" אינו סכום")));
      return Cell::kBad;
    }
    out = *value;
    return Cell::kRead;
  };
  for (int row = std::max(0, mapping.first_row); row < rows; ++row) {
    const QString date_text = CleanStatementCell(table.Cell(row, mapping.date).left(kMaxCellRead));
    if (!HasDigit(date_text)) {
      // A section of its own header starts here, mapped by its words.
      // The first header again (a page's) brings back the user's mapping.
      const int first_header = first_mapping.first_row - 1;
      if (SameRow(table, row, first_header)) {
        mapping = first_mapping;
        read.passed.push_back({row, RowText(table, row)});
      } else if (const auto section = MappingOfHeader(table, row)) {
        mapping = *section;
        read.passed.push_back({row, RowText(table, row)});
      } else if (!date_text.isEmpty()) {
        read.passed.push_back({row, RowText(table, row)});
      }
      continue;
    }
    BankMovement movement;
    movement.source_row = row;
    const auto date = ReadStatementDate(date_text, today);
    if (!date) {
      return fail(row, mapping.date, u'"' + Shown(date_text) + QStringLiteral("\" אינו תאריך"));
    }
    movement.date = *date;
    double debit = 0;
    double credit = 0;
    Cell debit_cell = Cell::kEmpty;
    Cell credit_cell = Cell::kEmpty;
    if (mapping.amount >= 0) {
      credit_cell = amount_of(row, mapping.amount, credit);
    } else {
      if (mapping.debit >= 0) debit_cell = amount_of(row, mapping.debit, debit);
      if (debit_cell != Cell::kBad && mapping.credit >= 0) {
        credit_cell = amount_of(row, mapping.credit, credit);
      }
    }
    if (debit_cell == Cell::kBad || credit_cell == Cell::kBad) return read;
    if (debit_cell == Cell::kEmpty && credit_cell == Cell::kEmpty) {
      read.passed.push_back({row, RowText(table, row)});
      continue;
    }
    if (mapping.amount >= 0) {
      movement.amount = credit;
    } else if (mapping.debit >= 0 && mapping.credit >= 0) {
      if (debit != 0 && credit != 0) {
        return fail(row, mapping.credit, QStringLiteral("בשורה יש גם חובה וגם זכות"));
      }
      // Some banks write the debit side as a negative number.
      movement.amount = credit != 0 ? std::fabs(credit) : -std::fabs(debit);
    } else {
      // One side alone: a negative charge is a refund.
      movement.amount = mapping.debit >= 0 ? -debit : credit;
    }
    if (mapping.balance >= 0) {
      double balance = 0;
      const Cell cell = amount_of(row, mapping.balance, balance);
      if (cell == Cell::kBad) return read;
      if (cell == Cell::kRead) movement.balance = balance;
    }
    if (mapping.description >= 0) {
      movement.description =
          TextForRegister(table.Cell(row, mapping.description), kMaxImportedDescription,
                          QStringLiteral("התאור קוצר ל-200 תווים"), movement.note);
    }
    if (mapping.reference >= 0) {
      movement.reference =
          TextForRegister(table.Cell(row, mapping.reference), kMaxImportedReference,
                          QStringLiteral("האסמכתא קוצרה ל-40 תווים"), movement.note);
    }
    if (AmountAgorot(movement.amount) == 0) continue;
    read.movements.push_back(std::move(movement));
  }
  return read;
}

}  // namespace cheque
