#pragma once

// A bank's statement file as rows of text cells, whatever its kind: CSV
// (UTF-8, UTF-16, Windows-1255 or Windows-1252; comma, semicolon or TAB),
// ".xlsx", ".xls" (BIFF8), or a web page's table or an Excel 2003 XML saved
// as ".xls".

#include <QByteArray>
#include <QString>
#include <QStringList>
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
  // Cells the rows hold room for, the empty ones before a cell too.
  qint64 cell_room = 0;
  int ColumnCount() const;
  // Empty for a cell beyond its row.
  QString Cell(int row, int column) const;
};

// Beyond these a file is no bank statement; they keep a hostile file from
// taking all memory.
inline constexpr int kMaxStatementRows = 1'000'000;
inline constexpr int kMaxStatementColumns = 256;
// A million movements of 16 columns: rows far apart from one cell each
// would otherwise take thousands of times the file's size.
inline constexpr qint64 kMaxStatementCells = 16'000'000;

// Beyond this a file is refused before it is read; a statement of a million
// movements is well below it.
inline constexpr qint64 kMaxStatementFileBytes = 200LL * 1024 * 1024;
// A zipped statement may inflate to no more than this in all, nor to more
// than kMaxInflateRatio times its own size.
inline constexpr qint64 kMaxInflatedBytes = 256LL * 1024 * 1024;
inline constexpr qint64 kMaxInflateRatio = 1000;

struct StatementRead {
  StatementTable table;
  QString error;  // Hebrew, naming the file; empty when read
  // The sheets (or a web page's tables) the file holds, in its order; empty
  // for a CSV. `sheet` is the one read, from 0.
  QStringList sheets;
  int sheet = 0;
  bool Ok() const { return error.isEmpty(); }
  static StatementRead Failed(QString error, QStringList sheets = {}) {
    StatementRead read;
    read.error = std::move(error);
    read.sheets = std::move(sheets);
    return read;
  }
};

// The sheet a reader reads when none is asked: a workbook's first sheet, a
// web page's or an XML workbook's table of the most rows.
inline constexpr int kDefaultSheet = -1;

// Tells the kind by the bytes, not by the name: banks send ".xls" files that
// are really HTML, Excel 2003 XML or CSV. `sheet` counts from 0; the
// encoding is a CSV's.
StatementRead ReadStatementFile(const QString& path, int sheet = kDefaultSheet,
                                TextEncoding encoding = TextEncoding::kAuto);
// The same from the file's bytes; `name` is the file's name for messages.
StatementRead ReadStatementBytes(const QByteArray& bytes, const QString& name,
                                 int sheet = kDefaultSheet,
                                 TextEncoding encoding = TextEncoding::kAuto);

// CSV from its bytes: the encoding given or told by the bytes
// (DetectTextEncoding); the separator that splits the first lines most
// evenly. Quoted fields may hold separators, doubled quotes and line breaks.
StatementTable ReadCsvBytes(const QByteArray& bytes, TextEncoding encoding = TextEncoding::kAuto);
// The separator ReadCsvBytes would choose for the decoded text.
QChar DetectCsvSeparator(QStringView text);

// Each kind from its bytes, for ReadStatementBytes and the fuzz targets.
StatementRead ReadXlsxBytes(const QByteArray& bytes, const QString& name, int sheet);
StatementRead ReadXlsBytes(const QByteArray& bytes, const QString& name, int sheet);
StatementRead ReadHtmlBytes(const QByteArray& bytes, const QString& name, int sheet);
StatementRead ReadXml2003Bytes(const QByteArray& bytes, const QString& name, int sheet);

}  // namespace cheque
