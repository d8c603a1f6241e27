#pragma once

// What an import of a bank statement will do to a register, line by line,
// before anything changes, and doing it as one change.

#include <QDate>
#include <QString>
#include <string>
#include <vector>

#include "core/import/column_mapping.h"
#include "core/register/register.h"

namespace cheque {

// A bank movement and a register row match when they have the same amount
// and flow and their dates lie at most this many days apart: cheques and
// transfers reach the bank a day or two after they were written, a weekend
// adds two more.
inline constexpr int kMatchWindowDays = 3;

enum class PlanAction {
  kMark,         // an open register row gets "+"
  kKnown,        // a reconciled row that matches: seen before, nothing to do
  kAdd,          // a new row, marked "+"
  kBankBalance,  // the file's last balance as a bank-balance row
  kBalanceKnown  // that bank-balance row is there already
};

struct PlanLine {
  PlanAction action = PlanAction::kAdd;
  int movement = -1;  // index into ImportPlan::movements
  int row = -1;       // the register row marked or known
  bool ticked = true;
  bool Changes() const {
    return action == PlanAction::kMark || action == PlanAction::kAdd ||
           action == PlanAction::kBankBalance;
  }
};

struct ImportPlan {
  std::vector<BankMovement> movements;
  // The rows of the statement that are no movement, for the user to see.
  std::vector<PassedRow> passed;
  // One line per movement in file order, then the bank balance, if any.
  std::vector<PlanLine> lines;
  // The register the plan was made for: its row count and the records of the
  // rows it marks, so a plan is never applied to rows that moved meanwhile.
  int register_rows = 0;
  std::vector<std::string> marked_records;

  int Count(PlanAction action) const;
};

// Matching, closest date first, then the same reference, then file and
// register order. Each register row serves one movement at most; income is
// never matched against an expense. A movement that matches a reconciled
// row is known: seen before, by hand or by an earlier import of the file,
// which keeps the register's date on the rows it marks (so a second import
// adds nothing). Otherwise it takes an open row; otherwise it is added.
ImportPlan PlanImport(const Register& reg, std::vector<BankMovement> movements, QDate today,
                      int window_days = kMatchWindowDays);

// The texts of a row the plan adds.
QString AddedRowType(const BankMovement& movement);
inline constexpr char16_t kBankBalanceType[] = u"יתרה";
inline constexpr char16_t kBankBalanceDescription[] = u"יתרה לפי דף הבנק";

struct ImportResult {
  bool applied = false;
  int added = 0;
  int marked = 0;
  QString error;  // Hebrew; the register is then as it was
};

// Applies the ticked lines and sorts the register by date, as after any
// change; the caller commits the whole as one undo step and saves.
ImportResult ApplyImportPlan(Register& reg, const ImportPlan& plan, QDate today);

}  // namespace cheque
