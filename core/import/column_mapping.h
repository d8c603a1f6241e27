#pragma once

// Which columns of a statement hold what, the memory of the mappings chosen
// before, and the movements the mapping reads out of a statement.

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "core/import/statement_table.h"

namespace cheque {

// Columns and rows count from 0 here; the text form counts from 1.
struct ColumnMapping {
  int date = -1;
  int description = -1;
  int reference = -1;
  int amount = -1;  // signed: income positive, expense negative
  int debit = -1;   // or the two sides apart
  int credit = -1;
  int balance = -1;
  int first_row = 0;  // the first movement
  // A date and an amount, as one column or both sides.
  bool IsComplete() const;
  bool operator==(const ColumnMapping&) const = default;
};

// "date=1,desc=2,ref=3,amount=4,balance=6,first=2", or "debit=4,credit=5" in
// place of "amount"; columns and the first row counted from 1 as a
// spreadsheet shows them. Keys left out are not in the file.
QString MappingText(const ColumnMapping& mapping);
std::optional<ColumnMapping> ParseMappingText(QStringView text);

// The mappings chosen before, keyed by the header row above the first
// movement, so that next month's file of the same bank asks nothing. Kept
// in the program folder, newest first, two lines an entry: the header's
// cells joined by TAB, then the mapping's text.
class MappingMemory {
 public:
  static constexpr int kMaxEntries = 100;
  static QString DefaultPath();  // "Import.dat" in the program folder

  // A missing or unreadable file is an empty memory.
  static MappingMemory Load(const QString& path);
  bool Save(const QString& path) const;

  // A remembered mapping whose header row is among the table's first rows,
  // its first row moved to follow that header.
  std::optional<ColumnMapping> Find(const StatementTable& table) const;
  // False (nothing kept) when there is no header row above the first movement.
  bool Remember(const StatementTable& table, const ColumnMapping& mapping);

 private:
  struct Entry {
    QString header;
    ColumnMapping mapping;  // first_row counts from the header row
  };
  std::vector<Entry> entries_;
};

// A first guess from the words of a header row ("תאריך", "תאור", "אסמכתא",
// "סכום", "חובה", "זכות", "יתרה" and the like) among the first rows, for the
// user to check; nothing when no header names a date and an amount.
std::optional<ColumnMapping> GuessMapping(const StatementTable& table);

// One movement of the bank's statement.
struct BankMovement {
  int source_row = 0;  // row of the table, from 0
  QDate date;
  QString description;
  QString reference;
  double amount = 0;  // income positive, expense negative
  std::optional<double> balance;
};

struct MovementsRead {
  std::vector<BankMovement> movements;
  // Hebrew, naming the row and column as the file numbers them; empty when read.
  QString error;
  bool Ok() const { return error.isEmpty(); }
};

// The movements from the first row on. A row without a date is no movement
// (blank lines, totals); a date or an amount that cannot be read, or text
// that the account file cannot hold, refuses the whole file. A movement of
// no amount has nothing to enter and is left out, its balance with it (the
// one before it says the same).
MovementsRead ReadMovements(const StatementTable& table, const ColumnMapping& mapping, QDate today);

// Date and amount cells as banks write them; exposed for the tests.
std::optional<QDate> ReadStatementDate(QStringView text, QDate today);
std::optional<double> ReadStatementAmount(QStringView text);

}  // namespace cheque
