// A bank statement's bytes as CSV, and through the reader that tells the
// kind by the bytes (so every kind is reached from here too).

#include "fuzz/statement_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const cheque::StatementTable table = cheque::ReadCsvBytes(bytes);
  cheque::fuzz::Check(table.rows.size() <= static_cast<size_t>(cheque::kMaxStatementRows),
                      "too many rows");
  cheque::fuzz::Check(table.ColumnCount() <= cheque::kMaxStatementColumns, "too many columns");
  cheque::fuzz::CheckStatementReader([](const QByteArray& b, const QString& n,
                                        int s) { return cheque::ReadStatementBytes(b, n, s); },
                                     data, size);
  return 0;
}
