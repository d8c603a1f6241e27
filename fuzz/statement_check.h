#pragma once

// The promises every statement reader keeps, whatever the bytes: a table
// within its limits, or a Hebrew message naming the file; the sheet read is
// one of those offered.

#include "core/import/statement_table.h"
#include "fuzz/support.h"

namespace cheque::fuzz {

inline void CheckStatementRead(const StatementRead& read, const QString& name) {
  if (!read.Ok()) {
    Check(read.error.contains(name), "a refusal does not name the file");
    return;
  }
  Check(read.table.rows.size() <= static_cast<size_t>(kMaxStatementRows), "too many rows");
  Check(read.table.ColumnCount() <= kMaxStatementColumns, "too many columns");
  Check(read.sheets.isEmpty() || (read.sheet >= 0 && read.sheet < read.sheets.size()),
        "the sheet read is not among the sheets offered");
}

// The reader on the bytes, by default and on the second sheet.
template <typename Reader>
void CheckStatementReader(Reader reader, const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString name = QStringLiteral("s.xls");
  const StatementRead read = reader(bytes, name, kDefaultSheet);
  CheckStatementRead(read, name);
  if (read.Ok() && read.sheets.size() > 1) CheckStatementRead(reader(bytes, name, 1), name);
}

}  // namespace cheque::fuzz
