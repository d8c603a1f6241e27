#pragma once

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/line_file.h"
#include "core/register/row_store.h"

namespace cheque {

// Register columns. Column 0 is the sort key of the moment; it is never stored.
enum RegisterColumn : int {
  kKeyColumn = 0,
  kBalanceColumn = 1,
  kIncomeColumn = 2,
  kExpenseColumn = 3,
  kTypeColumn = 4,
  kCategoryColumn = 5,
  kDescriptionColumn = 6,
  kDateColumn = 7,
  kMarkColumn = 8,
};
inline constexpr int kRegisterColumnCount = 9;

// The balance cell of a row whose running balance is beyond the range of numbers.
inline constexpr char kBalanceOverflowText[] = "######";

// The category of a row that records the real bank balance.
inline constexpr char16_t kBankBalanceCategory[] = u"בנק\\יתרה";
bool IsBankBalanceRow(QStringView category);
bool IsBankBalanceRow(std::string_view category_win1255);

// The description (and type) of the opening-balance row that loading creates.
inline constexpr char16_t kOpeningBalanceText[] = u"יתרת פתיחה";

// How the rows just loaded fall short of a whole account, the worst first
// after kNoRecord: a file of no record (which loads as an opening balance),
// bytes that end inside a record, a zero byte (a binary file), a date that
// does not read as one. Loading a file and restoring a backup both ask this.
enum class AccountDamage { kNone, kNoRecord, kBadDate, kBinary, kCutRecord };
class Register;
AccountDamage FindAccountDamage(const Register& reg);

// Called now and then by long operations; returning true asks them to stop.
using CancelCheck = std::function<bool()>;

// Told of every change to a register's rows, as it happens, so that it can be
// undone; see register_history.h.
class RowChangeLog {
 public:
  virtual ~RowChangeLog() = default;
  // Bytes [start, start + before.size()) of the row became `after`. A derived
  // change is a running balance written by the balance pass.
  virtual void Spliced(int row, size_t start, std::string_view before, std::string_view after,
                       bool derived) = 0;
  virtual void Inserted(int row, std::string_view record) = 0;
  virtual void Removed(int row, std::string_view record) = 0;
  // Row order[k] of before is now at place k; places beyond order.size() stay.
  virtual void Reordered(std::vector<std::uint32_t> order) = 0;
  // The rows were replaced as a whole (load, clear).
  virtual void Reset() = 0;
  // A balance pass wrote the running balance of rows [first_row, end_row).
  virtual void BalancesRecomputed(int /*first_row*/, int /*end_row*/) {}
};

// One account's transactions in register order, ending with one empty row.
// Cells are kept as their Windows-1255 bytes, the form they have on disk.
class Register {
 public:
  Register();  // a single empty row

  int RowCount() const;  // the trailing empty row included
  QString Cell(int row, int column) const;
  // Valid until the register next changes.
  std::string_view RawCell(int row, int column) const;
  // The row as stored: its 8 fields in file order (columns 1,5,4,7,2,3,6,8),
  // each followed by CR LF; no field holds CR or LF. Valid until the next change.
  std::string_view RawRecord(int row) const;
  // Refuses (returns false, changes nothing) text that Windows-1255 cannot hold;
  // line breaks and Ctrl-Z (which would end the file) become blanks. Column 0
  // is not stored: setting it, or a cell outside the register, returns false.
  bool SetCell(int row, int column, QStringView text);
  // The same with Windows-1255 bytes, such as another cell's: nothing is lost
  // to decoding and encoding again.
  bool SetRawCell(int row, int column, std::string_view bytes);
  bool CellIsEmpty(int row, int column) const { return RawCell(row, column).empty(); }

  bool RowIsEmpty(int row) const;  // columns 1 to 8 all empty
  void AddEmptyRow();
  void RemoveRow(int row);
  void Clear();  // back to a single empty row

  // The file rules of loading: 8 lines a record (columns 1,5,4,7,2,3,6,8),
  // an empty row after each; with no record at all, the opening-balance row.
  // False, with the register cleared, for a line beyond kMaxLineBytes.
  bool LoadFileBytes(std::string_view bytes, QStringView opening_balance);
  // The file form: every non-empty row as 8 lines, CR LF.
  QByteArray FileBytes() const;
  // LoadFileBytes on a regular file's content; the bytes read become the rows,
  // with no second copy. False, with the register cleared and the reason in
  // `error`, when the file cannot be opened or read, is not a regular file,
  // is beyond the limits of line_file.h, or does not read as a whole account
  // (FindAccountDamage; kDamaged); never creates it.
  bool LoadFile(const QString& path, QStringView opening_balance, ReadError* error = nullptr);
  // The same from an open device, read in pieces of at least `chunk_bytes`
  // when its size is unknown.
  static constexpr size_t kReadChunkBytes = size_t{1} << 20;
  bool LoadDevice(QIODevice& device, QStringView opening_balance,
                  size_t chunk_bytes = kReadChunkBytes, ReadError* error = nullptr);

  // The running balance; bank-balance rows restart it, a blank row gets none
  // and is passed over. Needs 3 rows or more; row 0 keeps its balance. A sum
  // beyond the range of numbers is written as kBalanceOverflowText, as are
  // the balances that follow it up to the next bank balance; the first such
  // row is returned, -1 when there is none.
  int RecomputeBalances();
  // The same pass from one row on, after a change there: it ends at the next
  // real bank balance, which restarts the running balance anyway.
  int RecomputeBalancesFrom(int first_row, bool stop_at_bank_balance = true);
  // The first row whose balance could not be computed (after a date sort,
  // which runs the pass, too), or -1.
  int FirstBalanceOverflowRow() const;

  // Orders rows 0..RowCount-2 by column 2..7; the date sort (7) then runs the
  // reconciliation step and the running balance and clears the needs-sorting
  // flag, any other sort sets it. `today` stands in for unreadable dates;
  // the caller's clock decides it (an invalid date counts as day 0).
  void SortRegister(int column, QDate today, const CancelCheck& cancel = {});

  // The row GoToDate chooses for a moment given as a day number with fraction.
  int GoToDateRow(double moment) const;

  // Drawing rule: the row is overdue and open (purple) while the rows are
  // in date order: since the date sort, no other sort has reordered them.
  // Edits that only call for a new date sort keep it.
  bool IsOverdueRow(int row, QDate today) const;
  // After a change: a reference row that is no bank balance any more gives
  // way to the nearest bank balance above it, as a removed one does.
  void KeepOverdueReference();
  // Beside a bank-balance row other than row 0: balance above minus the real balance.
  std::optional<QString> BankBalanceDifference(int row) const;

  bool NeedsSorting() const { return needs_sorting_; }
  // Clearing the flag declares the rows in date order.
  void SetNeedsSorting(bool value) {
    needs_sorting_ = value;
    if (!value) date_ordered_ = true;
  }
  bool DateOrdered() const { return date_ordered_; }
  int LastBankBalanceRow() const { return last_bank_balance_row_; }

  // Whether the rows last loaded came from bytes that ended inside a record,
  // and whether they held a record at all.
  bool LoadEndedInsideRecord() const { return load_cut_; }
  bool LoadReadRecords() const { return load_had_records_; }

  // At most one log; a copy of the register has none.
  void SetChangeLog(RowChangeLog* log) { log_.log = log; }

  // The first row whose description, date, category and type equal these
  // texts (ASCII letter case ignored), or -1.
  int LocateRow(QStringView description, QStringView date, QStringView category,
                QStringView type) const;

 private:
  friend class RegisterHistory;  // replays logged changes
  struct LogLink {
    RowChangeLog* log = nullptr;
    LogLink() = default;
    LogLink(const LogLink&) {}
    LogLink& operator=(const LogLink&) { return *this; }
  };

  bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
  // rows_.Replace, told to the log.
  void ReplaceBytes(size_t row, size_t start, size_t end, std::string_view bytes, bool derived);
  // Stores the bytes, made safe for the record in place.
  bool StoreCell(int row, int column, std::string& bytes);
  int LastNonEmptyRow() const;  // 0 when every row is empty
  // The balance the row after the given one starts from: the row's own,
  // or the one above it when it is blank.
  double BalanceAbove(int first_row) const;
  // The balance pass over rows [first_row, end_row) only, as a logged pass
  // ran it; the history replays passes so.
  void RecomputeBalanceRows(int first_row, int end_row);
  // Whether every balance is the one RecomputeBalances would write.
  bool BalancesAreCurrent() const;
  // The running balance over rows [first_row, last_row] from `balance`.
  // With `grown`, rows that have no room for their new balance are left
  // as they are and listed there, so that two passes may run at once.
  struct BalanceRun {
    int end_row;         // where a stop at a bank balance ended the pass
    int first_overflow;  // -1 for none
  };
  BalanceRun BalancePass(int first_row, int last_row, double balance, bool stop_at_bank_balance,
                         std::vector<std::pair<int, std::string>>* grown);
  void FinishLoad(QStringView opening_balance);
  // Moves `order` along with the rows when given.
  void ReconcileAfterDateSort(const CancelCheck& cancel, std::vector<std::uint32_t>* order);

  // Each row is its file record; see register_row.h.
  RowStore rows_;
  bool needs_sorting_ = false;
  bool date_ordered_ = true;  // no sort but the date sort since the rows were ordered
  int last_bank_balance_row_ = -1;
  bool load_cut_ = false;          // the last load ended inside a record
  bool load_had_records_ = false;  // the last load read at least one record
  LogLink log_;
};

// The error to show when FirstBalanceOverflowRow finds a row.
QString BalanceOverflowMessage(const Register& reg, int row);

// Loading and saving an account file. Loading creates a missing file empty
// (the register then holds the opening-balance row); a file that exists but
// cannot be read is left alone and reported unavailable, with the reason in
// `error`.
enum class AccountFileStatus { kRead, kCreatedEmpty, kUnavailable };
AccountFileStatus LoadAccountFile(const QString& path, QStringView opening_balance, Register& reg,
                                  ReadError* error = nullptr);
bool SaveAccountFile(const QString& path, const Register& reg);

}  // namespace cheque
