#pragma once

// A bank's statement file as rows of text cells, whatever its kind: CSV
// (UTF-8, UTF-16, Windows-1255 or Windows-1252; comma, semicolon or TAB),
// ".xlsx" or ".xls".

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <vector>

#include "core/import/text_encoding.h"

namespace cheque {

struct StatementTable {
  // Row i is row i + 1 of the file as a spreadsheet numbers it; blank rows
  // stay, so a message's row number is the one the user sees.
  std::vector<std::vector<QString>> rows;
  // Set when the file went beyond kMaxStatementRows or kMaxStatementColumns:
  // the table is then incomplete and must not be imported.
  bool too_large = false;
  int ColumnCount() const;
  // Empty for a cell beyond its row.
  QString Cell(int row, int column) const;
};

// Beyond these a file is no bank statement; they keep a hostile file from
// taking all memory.
inline constexpr int kMaxStatementRows = 1'000'000;
inline constexpr int kMaxStatementColumns = 256;

struct StatementRead {
  StatementTable table;
  QString error;  // Hebrew, naming the file; empty when read
  bool Ok() const { return error.isEmpty(); }
};

// Tells the kind by the first bytes, not by the name: banks send ".xls"
// files that are really HTML or CSV. The encoding is a CSV's.
StatementRead ReadStatementFile(const QString& path, TextEncoding encoding = TextEncoding::kAuto);

// CSV from its bytes: the encoding given or told by the bytes
// (DetectTextEncoding); the separator that splits the first lines most
// evenly. Quoted fields may hold separators, doubled quotes and line breaks.
StatementTable ReadCsvBytes(const QByteArray& bytes, TextEncoding encoding = TextEncoding::kAuto);
// The separator ReadCsvBytes would choose for the decoded text.
QChar DetectCsvSeparator(QStringView text);

// The spreadsheet kinds, through QuaZip and libfreexl; the first sheet.
StatementRead ReadXlsxFile(const QString& path);
StatementRead ReadXlsFile(const QString& path);

}  // namespace cheque
