#pragma once

// Which columns of a statement hold what, the memory of the mappings chosen
// before, and the movements the mapping reads out of a statement.

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

#include "core/import/statement_cells.h"
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
  // A date and an amount: one signed column, both sides, or one side alone
  // (a card's charges).
  bool IsComplete() const;
  bool operator==(const ColumnMapping&) const = default;
};

// "date=1,desc=2,ref=3,amount=4,balance=6,first=2", or "debit=4,credit=5"
// (or either alone) in place of "amount"; columns and the first row counted from 1 as a
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

  // A missing file is an empty memory; a damaged entry is passed over to
  // the next whole one.
  static MappingMemory Load(const QString& path);
  // Refuses (false, the file untouched) to write fewer entries than the file
  // held, unless Remember replaced one, or when the file could not be read.
  bool Save(const QString& path) const;
  int EntryCount() const { return static_cast<int>(entries_.size()); }

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
  int held_ = 0;             // entries the file held when loaded
  bool unreadable_ = false;  // the file is there but could not be read
  bool replaced_ = false;    // Remember dropped an entry
};

// A first guess from the words of a header row ("תאריך", "תאור", "אסמכתא",
// "סכום", "חובה", "זכות", "סכום חיוב", "יתרה" and the like) among the first
// rows, for the user to check; nothing when no header names a date and an
// amount.
std::optional<ColumnMapping> GuessMapping(const StatementTable& table);
// The same guess from one row; its first_row is the row after it.
std::optional<ColumnMapping> MappingOfHeader(const StatementTable& table, int row);

// Text taken into the register is cut to these lengths.
inline constexpr int kMaxImportedDescription = 200;
inline constexpr int kMaxImportedReference = 40;

// One movement of the bank's statement.
struct BankMovement {
  int source_row = 0;  // row of the table, from 0
  QDate date;
  QString description;
  QString reference;
  double amount = 0;  // income positive, expense negative; whole agorot
  std::optional<double> balance;
  QString note;  // Hebrew: what of the text was changed to fit the account file
};

// A row after the first movement that is no movement: a section's title or
// header, "Pending", a date without an amount.
struct PassedRow {
  int source_row = 0;
  QString text;  // the row's cells, shortened
};

struct MovementsRead {
  std::vector<BankMovement> movements;
  std::vector<PassedRow> passed;
  // Hebrew, naming the row and column as the file numbers them; empty when read.
  QString error;
  bool Ok() const { return error.isEmpty(); }
};

// The movements from the first row on. A blank date cell is no movement; a
// date cell without a digit, or a date without an amount, is passed over
// and listed; a row that names the header words again starts a section
// whose columns are mapped by those words. A date with digits or an amount
// that cannot be read refuses the whole file. A movement of no amount has
// nothing to enter and is left out, its balance with it (the one before it
// says the same). Text the account file cannot hold is replaced by the
// nearest it can, and long text is cut, both told in the movement's note.
MovementsRead ReadMovements(const StatementTable& table, const ColumnMapping& mapping, QDate today);

}  // namespace cheque
