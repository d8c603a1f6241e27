// An Excel 2003 XML workbook that banks save as ".xls", through libxml2's
// SAX2 push parser: a tokenizer several times as fast as QXmlStreamReader on
// the large files banks write, and no tree kept.

#include <libxml/parser.h>

#include <QDateTime>
#include <QSet>
#include <memory>

#include "core/import/reader_support.h"
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

constexpr int kChunkBytes = 256 * 1024;
// No cell of a statement is this long; the rest of it is let go.
constexpr qsizetype kMaxCellBytes = 64 * 1024;

bool Is(const xmlChar* name, const char* local) {
  return xmlStrEqual(name, reinterpret_cast<const xmlChar*>(local)) != 0;
}

// SAX2 hands attributes as (name, prefix, URI, value start, value end);
// they are asked by local name, whatever prefix the writer chose.
QByteArray Attribute(const xmlChar** attributes, int count, const char* local) {
  for (int i = 0; i < count; ++i) {
    const xmlChar** a = attributes + 5 * i;
    if (Is(a[0], local)) {
      return QByteArray(reinterpret_cast<const char*>(a[3]), static_cast<qsizetype>(a[4] - a[3]));
    }
  }
  return {};
}

// ss:Index counts from 1; anything else is no place.
qint64 IndexAttribute(const QByteArray& text, qint64 next) {
  if (text.isEmpty()) return next;
  bool ok = false;
  const qint64 index = text.toLongLong(&ok);
  return ok && index >= 1 ? index - 1 : -1;
}

struct WorkbookBuilder {
  xmlParserCtxt* parser = nullptr;
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

  void Stop(Stopped why) {
    stopped = why;
    xmlStopParser(parser);
  }

  void Start(const xmlChar* name, const xmlChar** attributes, int count) {
    const auto attribute = [&](const char* key) { return Attribute(attributes, count, key); };
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
      if (row < 0 || row >= kMaxStatementRows) return Stop(Stopped::kTooLarge);
      if (tables.back().rows.size() <= static_cast<size_t>(row))
        tables.back().rows.resize(static_cast<size_t>(row) + 1);
    } else if (Is(name, "Cell") && row >= 0) {
      column = IndexAttribute(attribute("Index"), column + 1 + cell_span);
      if (column < 0) return Stop(Stopped::kUnreadable);
      // A merged cell's neighbours are not written; the next cell follows them.
      cell_span = std::clamp(attribute("MergeAcross").toLongLong(), 0LL,
                             static_cast<qint64>(kMaxStatementColumns));
      cell_style = QString::fromUtf8(attribute("StyleID"));
    } else if (Is(name, "Data") && column >= 0) {
      data_depth = 1;
      data_type = attribute("Type");
      data.clear();
    }
  }
  void End() {
    if (comment_depth > 0) {
      --comment_depth;
    } else if (data_depth > 0 && --data_depth == 0) {
      const QString text =
          XmlCellText(QString::fromLatin1(data_type), QString::fromUtf8(data).simplified(),
                      date_styles.contains(cell_style));
      if (!text.isEmpty() && !PutCell(tables.back(), row, column, text)) {
        Stop(Stopped::kTooLarge);
      }
    }
  }
  void Characters(const xmlChar* text, int length) {
    if (data_depth > 0 && comment_depth == 0 && data.size() < kMaxCellBytes) {
      data.append(reinterpret_cast<const char*>(text), length);
    }
  }
};

WorkbookBuilder* Builder(void* context) {
  return static_cast<WorkbookBuilder*>(static_cast<xmlParserCtxt*>(context)->_private);
}
void OnStart(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int,
             const xmlChar**, int count, int, const xmlChar** attributes) {
  Builder(context)->Start(name, attributes, count);
}
void OnEnd(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
  Builder(context)->End();
}
void OnCharacters(void* context, const xmlChar* text, int length) {
  Builder(context)->Characters(text, length);
}

struct ParserDeleter {
  void operator()(xmlParserCtxt* parser) const {
    if (parser->myDoc) xmlFreeDoc(parser->myDoc);
    xmlFreeParserCtxt(parser);
  }
};

}  // namespace

StatementRead ReadXml2003Bytes(const QByteArray& bytes, const QString& name, int sheet) {
  using Stopped = WorkbookBuilder::Stopped;
  WorkbookBuilder builder;
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = OnStart;
  sax.endElementNs = OnEnd;
  sax.characters = OnCharacters;
  sax.cdataBlock = OnCharacters;
  // The first bytes tell the parser the encoding; the rest follow in pieces.
  const int head = static_cast<int>(std::min<qsizetype>(4, bytes.size()));
  std::unique_ptr<xmlParserCtxt, ParserDeleter> parser(
      xmlCreatePushParserCtxt(&sax, nullptr, bytes.constData(), head, nullptr));
  if (!parser) return StatementRead::Failed(Unreadable(name));
  // No entity of a DTD is taken in, nothing is fetched, and nothing is said
  // on stderr.
  xmlCtxtUseOptions(parser.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  parser->_private = &builder;
  builder.parser = parser.get();
  for (qsizetype at = head; at < bytes.size() && builder.stopped == Stopped::kNo;
       at += kChunkBytes) {
    const int size = static_cast<int>(std::min<qsizetype>(kChunkBytes, bytes.size() - at));
    if (xmlParseChunk(parser.get(), bytes.constData() + at, size, 0) != 0) break;
  }
  if (builder.stopped == Stopped::kNo) xmlParseChunk(parser.get(), nullptr, 0, 1);
  if (builder.stopped == Stopped::kTooLarge) return StatementRead::Failed(TooLarge(name));
  if (builder.stopped != Stopped::kNo || !parser->wellFormed || builder.tables.empty()) {
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
