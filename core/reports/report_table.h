#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/register/register.h"
#include "core/reports/report_settings.h"

namespace cheque {

// The report as the main window keeps it after a build; numbered as the
// window's ReportKind, which is not the saved kind code.
enum class ReportLayout {
  kBalanceToDate = 0,
  kCashFlow = 1,
  kIncomeExpenses = 2,
  kTrends = 3,
};
ReportLayout LayoutOf(ReportKind kind);

// An account as a report read it. Rows copied from it stay references into
// this register, so a cash flow of a million rows costs no copy of them.
struct ReportAccount {
  QString name;
  std::shared_ptr<const Register> rows;
};

// Rows of text cells: a report grid or a detail grid.
class ReportTable {
 public:
  ReportLayout layout = ReportLayout::kCashFlow;
  int columns = 0;
  // Income/expenses: the total-income row; the row below it heads the expenses.
  int income_split_row = 0;
  // A detail grid: its register rows are in file order, not date order.
  bool detail = false;
  std::vector<ReportAccount> accounts;
  // Accounts whose file exists but could not be read; they add nothing.
  QStringList unreadable;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  QString Cell(int row, int column) const;
  // Empty for a cell outside the table or a text row.
  std::string_view RawRegisterCell(int row, int column) const;
  void SetCell(int row, int column, const QString& text);

  // A row of empty texts; the index of the new row.
  int AppendTextRow();
  // A copy of register row `register_row` of accounts[account], the account
  // name in column 0.
  void AppendRegisterRow(int account, int register_row);
  // A text row that stands for a register row (a balance to date).
  void LinkRow(int row, int account, int register_row);
  void InsertTextRow(int before);
  void RemoveRow(int row);

  // Which account and register row a row stands for; -1 for neither.
  int AccountOf(int row) const;
  int RegisterRowOf(int row) const;
  bool IsRegisterRow(int row) const;

 private:
  struct Row {
    int account = -1;
    int register_row = -1;
    QStringList cells;  // empty for a register row
  };
  bool Valid(int row) const { return row >= 0 && row < RowCount(); }
  std::vector<Row> rows_;
};

}  // namespace cheque
