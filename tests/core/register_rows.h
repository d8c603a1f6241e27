#pragma once

#include <QStringList>
#include <QStringView>
#include <vector>

#include "core/register/register.h"

namespace cheque::testing {

// A transaction row as the register tests write them.
struct Tx {
  QStringView balance = {};
  QStringView income = {};
  QStringView expense = {};
  QStringView category = {};
  QStringView date = {};
  QStringView mark = {};
  QStringView description = u"x";
};

inline constexpr QStringView kBank = u"בנק\\יתרה";

// The rows in order, then the empty last row.
inline Register Make(const std::vector<Tx>& rows) {
  Register reg;
  for (const Tx& tx : rows) {
    const int r = reg.RowCount() - 1;
    reg.SetCell(r, kBalanceColumn, tx.balance);
    reg.SetCell(r, kIncomeColumn, tx.income);
    reg.SetCell(r, kExpenseColumn, tx.expense);
    reg.SetCell(r, kCategoryColumn, tx.category);
    reg.SetCell(r, kDateColumn, tx.date);
    reg.SetCell(r, kMarkColumn, tx.mark);
    reg.SetCell(r, kDescriptionColumn, tx.description);
    reg.AddEmptyRow();
  }
  return reg;
}

inline QStringList Balances(const Register& reg) {
  QStringList out;
  for (int r = 0; r < reg.RowCount() - 1; ++r) out << reg.Cell(r, kBalanceColumn);
  return out;
}

}  // namespace cheque::testing
