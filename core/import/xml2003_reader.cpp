// An Excel 2003 XML workbook that banks save as ".xls", through libxml2's
// SAX2 push parser.

#include <QDateTime>
#include <QSet>

#include "core/import/reader_support.h"
#include "core/import/sax_reader.h"
#include "core/import/statement_table.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

using namespace reader;

// Of several tables, the one of most rows that hold something.
int RowsWithText(const StatementTable& table) {
  int count = 0;
  for (const auto& row : table.rows) {
    for (const QString& cell : row) {
      if (!cell.isEmpty()) {
        ++count;
        break;
      }
    }
  }
  return count;
}

bool IsDateStyle(const QString& format) {
  static const QSet<QString> kNamedDates = {
      QStringLiteral("General Date"), QStringLiteral("Long Date"), QStringLiteral("Medium Date"),
      QStringLiteral("Short Date")};
  static const QSet<QString> kNamedOthers = {
      QStringLiteral("General"),       QStringLiteral("General Number"), QStringLiteral("Currency"),
      QStringLiteral("Euro Currency"), QStringLiteral("Fixed"),          QStringLiteral("Standard"),
      QStringLiteral("Percent"),       QStringLiteral("Scientific"),     QStringLiteral("Yes/No"),
      QStringLiteral("True/False"),    QStringLiteral("On/Off")};
  if (kNamedDates.contains(format)) return true;
  return !kNamedOthers.contains(format) && !format.contains(u"Time") && IsDateFormatCode(format);
}

QString XmlCellText(const QString& type, const QString& data, bool date_style) {
  if (type == u"DateTime") {
    const QDate date = QDate::fromString(data.left(10), Qt::ISODate);
    return date.isValid() ? DateText(date) : data;
  }
  if (type == u"Number" && date_style) {
    bool ok = false;
    const double number = data.toDouble(&ok);
    if (ok) return SerialDateText(number);
  } else if (type == u"Number") {
    return NumberCellText(data).value_or(data);
  }
  return data;
}

bool Is(const xmlChar* name, const char* local) {
  return xmlStrEqual(name, reinterpret_cast<const xmlChar*>(local)) != 0;
}

// ss:Index counts from 1; anything else is no place.
qint64 IndexAttribute(QByteArrayView text, qint64 next) {
  if (text.isEmpty()) return next;
  bool ok = false;
  const qint64 index = text.toLongLong(&ok);
  return ok && index >= 1 ? index - 1 : -1;
}

struct WorkbookBuilder : SaxReader {
  QSet<QString> date_styles;
  QString style_id;
  QString sheet_name;
  std::vector<StatementTable> tables;
  std::vector<QString> names;
  qint64 row = -1;
  qint64 column = -1;
  qint64 cell_span = 0;
  QString cell_style;
  int comment_depth = 0;  // a comment's text is no cell's
  int data_depth = 0;     // within a cell's Data, which may hold formatting
  QByteArray data_type;
  QByteArray data;
  enum class Stopped { kNo, kUnreadable, kTooLarge } stopped = Stopped::kNo;

  void Halt(Stopped why) {
    stopped = why;
    Stop();
  }

  void Start(const xmlChar* name, const SaxAttributes& attributes) override {
    const auto attribute = [&](const char* key) { return attributes.Value(key); };
    if (comment_depth > 0 || Is(name, "Comment")) {
      ++comment_depth;
    } else if (data_depth > 0) {
      ++data_depth;
    } else if (Is(name, "Style")) {
      style_id = QString::fromUtf8(attribute("ID"));
    } else if (Is(name, "NumberFormat")) {
      if (IsDateStyle(QString::fromUtf8(attribute("Format")))) date_styles.insert(style_id);
    } else if (Is(name, "Worksheet")) {
      sheet_name = QString::fromUtf8(attribute("Name"));
    } else if (Is(name, "Table")) {
      tables.emplace_back();
      names.push_back(sheet_name);
      row = -1;
      column = -1;
    } else if (Is(name, "Row") && !tables.empty()) {
      row = IndexAttribute(attribute("Index"), row + 1);
      column = -1;
      cell_span = 0;
      if (row < 0 || row >= kMaxStatementRows) return Halt(Stopped::kTooLarge);
      if (tables.back().rows.size() <= static_cast<size_t>(row))
        tables.back().rows.resize(static_cast<size_t>(row) + 1);
    } else if (Is(name, "Cell") && row >= 0) {
      column = IndexAttribute(attribute("Index"), column + 1 + cell_span);
      if (column < 0) return Halt(Stopped::kUnreadable);
      // A merged cell's neighbours are not written; the next cell follows them.
      cell_span = std::clamp(attribute("MergeAcross").toLongLong(), 0LL,
                             static_cast<qint64>(kMaxStatementColumns));
      cell_style = QString::fromUtf8(attribute("StyleID"));
    } else if (Is(name, "Data") && column >= 0) {
      data_depth = 1;
      data_type = attribute("Type").toByteArray();
      data.clear();
    }
  }
  void End(const xmlChar*) override {
    if (comment_depth > 0) {
      --comment_depth;
    } else if (data_depth > 0 && --data_depth == 0) {
      const QString text =
          XmlCellText(QString::fromLatin1(data_type), QString::fromUtf8(data).simplified(),
                      date_styles.contains(cell_style));
      if (!text.isEmpty() && !PutCell(tables.back(), row, column, text)) {
        Halt(Stopped::kTooLarge);
      }
    }
  }
  void Text(const xmlChar* text, int length) override {
    if (data_depth > 0 && comment_depth == 0) AppendText(data, kMaxCellBytes, text, length);
  }
};

}  // namespace

StatementRead ReadXml2003Bytes(const QByteArray& bytes, const QString& name, int sheet) {
  using Stopped = WorkbookBuilder::Stopped;
  WorkbookBuilder builder;
  const bool whole = ParseXml(bytes, builder);
  if (builder.stopped == Stopped::kTooLarge) return StatementRead::Failed(TooLarge(name));
  if (!whole || builder.tables.empty()) {
    return StatementRead::Failed(Unreadable(name));
  }
  std::vector<StatementTable>& tables = builder.tables;
  const std::vector<QString>& names = builder.names;

  StatementRead read;
  std::vector<int> rows;
  for (size_t i = 0; i < tables.size(); ++i) {
    rows.push_back(RowsWithText(tables[i]));
    // Several tables on one sheet are told apart by their place.
    read.sheets << (names[i].isEmpty()
                        ? TableName(static_cast<int>(i), rows.back())
                        : QStringLiteral("%1 (%2 שורות)").arg(names[i]).arg(rows.back()));
  }
  read.sheet = ChooseSheet(sheet, MostRows(rows), static_cast<int>(tables.size()));
  if (read.sheet < 0) return StatementRead::Failed(NoSuchSheet(name, sheet), read.sheets);
  read.table = std::move(tables[static_cast<size_t>(read.sheet)]);
  return read;
}

}  // namespace cheque
