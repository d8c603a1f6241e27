#pragma once

// The register's editing rules, as the register page and the transaction
// dialog apply them: marks, which cells take the cursor or typing, typing in
// place, writing a transaction or a series, copying and deleting rows.

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "core/register/recurring.h"
#include "core/register/register.h"

namespace cheque {

// Bank marks: "+" passed in the bank; "?" a forecast, treated as no mark.
inline constexpr char16_t kReconciledMark[] = u"+";
inline constexpr char16_t kForecastMark[] = u"?";

bool IsReconciled(const Register& reg, int row);
// The side strip's "ok": a reconciled row other than the empty last one.
bool ShowsOk(const Register& reg, int row);
// The row that a click on line `line` of the side strip switches, when its
// first line shows `top_row`; -1 for a line beyond the last transaction.
int MarkStripRow(const Register& reg, int top_row, int line);
// Switches the mark of a transaction row: "+" becomes empty, anything else
// "+". A bank-balance row always carries "+" and keeps it. Sets the
// needs-sorting flag; false (nothing changed) for no transaction row.
bool ToggleMark(Register& reg, int row);
// A bank-balance row without "+" gets it back; true when it was written.
bool RestoreBankBalanceMark(Register& reg, int row);

// The cursor never rests on the key, date or mark column, and on the balance
// column only of a bank-balance row, the one balance typed by the user.
bool CellIsSelectable(const Register& reg, int row, int column);
// Amounts and the description are typed in place, and the real balance of a
// bank-balance row; type, category and date change only in the dialog.
bool CellIsEditableInPlace(const Register& reg, int row, int column);

// Text typed into a cell in place.
enum class CellEditRefusal {
  kNone,
  kBothAmounts,  // income and expense in one row: the cell is cleared
  kNotNumeric,   // an amount that is no number: the text is cleaned
};
struct CellEdit {
  QString text;  // what the cell holds now, for the editor to show
  CellEditRefusal refusal = CellEditRefusal::kNone;
  bool row_added = false;  // typing into the empty last row added a new one
  bool written = false;    // false: the register could not hold the text
};
CellEdit EditCellInPlace(Register& reg, int row, int column, QString text);

// The transaction dialog's fields when OK is pressed.
struct SeriesEntry {
  QDate first;
  RepeatPeriod period = RepeatPeriod::kMonth;
  int count = 1;  // 0: nothing is written
  QString description = {};
  QString income = {};  // or the real balance of a bank-balance row
  QString expense = {};
  QString category = {};
  QString type = {};      // the payment type, one blank and the reference
  bool expected = false;  // the forecast box
};
// Writes the transaction into `row` and every further occurrence into the
// empty last row, appending a new empty row whenever the last one is
// written. A first date after `today` or the forecast box marks each row
// "?", a bank balance "+" (and never repeats); an edited row otherwise keeps
// its mark. Nothing is written when both amounts are empty. Returns the rows
// written, in order.
std::vector<int> WriteSeries(Register& reg, int row, const SeriesEntry& entry, QDate today);

// A transaction row copied into the empty last row, its mark cleared, before
// the dialog opens on it.
struct RowCopy {
  int row = -1;        // the copy; -1 when refused (a bank balance, no transaction row)
  std::string record;  // the copy as made
};
RowCopy CopyRowToEnd(Register& reg, int row);
// After the dialog: a copy whose columns 1 to 7 are as they were made is no
// new transaction (cancelled, or confirmed unchanged).
bool CopyIsUnchanged(const Register& reg, const RowCopy& copy);
// Such a copy goes again, as DeleteRow would remove it. True when it was removed.
bool RemoveCopyIfUnchanged(Register& reg, const RowCopy& copy);

bool IsOpeningBalanceRow(const Register& reg, int row);

enum class RowRemoval { kRefused, kCleared, kRemoved };
// The last row, kept for the next transaction, is only cleared; any other
// row is removed and the running balance recomputed from its place on. The
// needs-sorting flag is left as it was: the rows keep their order.
RowRemoval RemoveOrClearRow(Register& reg, int row);
// The same, except that the opening-balance row is never deleted.
RowRemoval DeleteRow(Register& reg, int row);

}  // namespace cheque
