// Two kinds that banks save as ".xls" though they are text: a web page's
// tables (through libxml2's HTML parser, which takes any tag soup a browser
// takes) and an Excel 2003 XML workbook (through QXmlStreamReader).

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <QDateTime>
#include <QSet>
#include <QStringDecoder>
#include <QXmlStreamReader>
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

QString TableName(int index, int rows) {
  return QStringLiteral("טבלה %1 (%2 שורות)").arg(index + 1).arg(rows);
}

int MostRows(const std::vector<int>& rows) {
  int best = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i] > rows[static_cast<size_t>(best)]) best = static_cast<int>(i);
  }
  return best;
}

// ---- HTML

bool IsElement(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE &&
         xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// The nodes under `top` in document order, not entering a nested table.
// Iterative: a page may nest deeper than a stack would like.
template <typename Visit>
void Walk(xmlNode* top, Visit visit, bool enter_tables) {
  for (xmlNode* node = top->children; node;) {
    const bool enter = visit(node) && node->children && (enter_tables || !IsElement(node, "table"));
    if (enter) {
      node = node->children;
      continue;
    }
    while (node != top && !node->next) node = node->parent;
    if (node == top) break;
    node = node->next;
  }
}

QString CellText(xmlNode* cell) {
  QByteArray text;
  Walk(
      cell,
      [&](xmlNode* node) {
        if (node->type == XML_TEXT_NODE && node->content) {
          text += reinterpret_cast<const char*>(node->content);
        } else if (IsElement(node, "br") || IsElement(node, "p") || IsElement(node, "div")) {
          text += ' ';
        }
        return true;
      },
      false);
  return QString::fromUtf8(text).simplified();
}

// A table's own rows, those of a nested table left to it.
std::vector<xmlNode*> TableRows(xmlNode* table) {
  std::vector<xmlNode*> rows;
  Walk(
      table,
      [&](xmlNode* node) {
        if (IsElement(node, "tr")) {
          rows.push_back(node);
          return false;
        }
        return true;
      },
      false);
  return rows;
}

bool ReadHtmlTable(xmlNode* table_node, StatementTable& table) {
  qint64 row = 0;
  for (xmlNode* tr : TableRows(table_node)) {
    if (row >= kMaxStatementRows) return false;
    table.rows.emplace_back();
    qint64 column = 0;
    for (xmlNode* cell = tr->children; cell; cell = cell->next) {
      if (!IsElement(cell, "td") && !IsElement(cell, "th")) continue;
      const QString text = CellText(cell);
      if (!text.isEmpty() && !PutCell(table, row, column, text)) return false;
      // A cell over several columns puts the next one after them.
      qint64 span = 1;
      if (xmlChar* value = xmlGetProp(cell, reinterpret_cast<const xmlChar*>("colspan"))) {
        span = std::clamp(QByteArray(reinterpret_cast<const char*>(value)).trimmed().toLongLong(),
                          1LL, static_cast<qint64>(kMaxStatementColumns));
        xmlFree(value);
      }
      column += span;
    }
    ++row;
  }
  return true;
}

// The encoding libxml2 should read the page in: UTF-16 by its marks,
// otherwise what the page says of itself, otherwise UTF-8 when the bytes are
// that, else Windows-1255.
const char* HtmlEncoding(const QByteArray& bytes, qsizetype& skip) {
  skip = 0;
  if (bytes.startsWith("\xFF\xFE")) return skip = 2, "UTF-16LE";
  if (bytes.startsWith("\xFE\xFF")) return skip = 2, "UTF-16BE";
  if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) return "UTF-16LE";
  if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0) return "UTF-16BE";
  if (bytes.startsWith("\xEF\xBB\xBF")) return skip = 3, "UTF-8";
  if (bytes.left(4096).toLower().contains("charset")) return nullptr;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  (void)utf8.decode(bytes);
  return utf8.hasError() ? "windows-1255" : "UTF-8";
}

struct DocDeleter {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// ---- Excel 2003 XML

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
  if (type == u"Number") {
    bool ok = false;
    const double number = data.toDouble(&ok);
    if (ok) return date_style ? SerialDateText(number) : NumberText(number);
  }
  return data;
}

// By local name: writers differ in the prefix they give the namespace.
QStringView Attribute(const QXmlStreamReader& reader, QStringView key) {
  for (const auto& attribute : reader.attributes()) {
    if (attribute.name() == key) return attribute.value();
  }
  return {};
}

// ss:Index counts from 1; anything else is no place.
qint64 IndexAttribute(const QXmlStreamReader& reader, qint64 next) {
  const QStringView text = Attribute(reader, u"Index");
  if (text.isEmpty()) return next;
  bool ok = false;
  const qint64 index = text.toLongLong(&ok);
  return ok && index >= 1 ? index - 1 : -1;
}

}  // namespace

StatementRead ReadHtmlBytes(const QByteArray& bytes, const QString& name, int sheet) {
  qsizetype skip = 0;
  const char* encoding = HtmlEncoding(bytes, skip);
  const QByteArray text = bytes.sliced(skip);
  std::unique_ptr<xmlDoc, DocDeleter> doc(
      htmlReadMemory(text.constData(), static_cast<int>(text.size()), nullptr, encoding,
                     HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                         HTML_PARSE_NONET | HTML_PARSE_COMPACT));
  xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  if (!root) return StatementRead::Failed(Unreadable(name));
  std::vector<xmlNode*> tables;
  if (IsElement(root, "table")) tables.push_back(root);
  Walk(
      root,
      [&](xmlNode* node) {
        if (IsElement(node, "table")) tables.push_back(node);
        return true;
      },
      true);
  if (tables.empty()) return StatementRead::Failed(Unreadable(name));

  StatementRead read;
  std::vector<int> rows;
  for (xmlNode* table : tables) {
    int count = 0;
    for (xmlNode* row : TableRows(table)) {
      bool filled = false;
      for (xmlNode* cell = row->children; cell && !filled; cell = cell->next) {
        filled = (IsElement(cell, "td") || IsElement(cell, "th")) && !CellText(cell).isEmpty();
      }
      count += filled ? 1 : 0;
    }
    read.sheets << TableName(static_cast<int>(rows.size()), count);
    rows.push_back(count);
  }
  read.sheet = ChooseSheet(sheet, MostRows(rows), static_cast<int>(tables.size()));
  if (read.sheet < 0) return StatementRead::Failed(NoSuchSheet(name, sheet), read.sheets);
  if (!ReadHtmlTable(tables[static_cast<size_t>(read.sheet)], read.table)) {
    return StatementRead::Failed(TooLarge(name));
  }
  return read;
}

StatementRead ReadXml2003Bytes(const QByteArray& bytes, const QString& name, int sheet) {
  QXmlStreamReader reader(bytes);
  QSet<QString> date_styles;
  QString style_id;
  QString sheet_name;
  std::vector<StatementTable> tables;
  std::vector<QString> names;
  qint64 row = -1;
  qint64 column = -1;
  qint64 cell_span = 0;
  QString cell_style;
  while (!reader.atEnd()) {
    reader.readNext();
    if (!reader.isStartElement()) continue;
    const QStringView element = reader.name();
    const auto attribute = [&](QStringView key) { return Attribute(reader, key).toString(); };
    if (element == u"Comment") {
      reader.skipCurrentElement();  // its text is no cell's
    } else if (element == u"Style") {
      style_id = attribute(u"ID");
    } else if (element == u"NumberFormat") {
      if (IsDateStyle(attribute(u"Format"))) date_styles.insert(style_id);
    } else if (element == u"Worksheet") {
      sheet_name = attribute(u"Name");
    } else if (element == u"Table") {
      tables.emplace_back();
      names.push_back(sheet_name);
      row = -1;
    } else if (element == u"Row" && !tables.empty()) {
      row = IndexAttribute(reader, row + 1);
      column = -1;
      cell_span = 0;
      if (row < 0 || row >= kMaxStatementRows) return StatementRead::Failed(TooLarge(name));
      if (tables.back().rows.size() <= static_cast<size_t>(row))
        tables.back().rows.resize(static_cast<size_t>(row) + 1);
    } else if (element == u"Cell" && row >= 0) {
      column = IndexAttribute(reader, column + 1 + cell_span);
      if (column < 0) return StatementRead::Failed(Unreadable(name));
      // A merged cell's neighbours are not written; the next cell follows them.
      cell_span = std::clamp(attribute(u"MergeAcross").toLongLong(), 0LL,
                             static_cast<qint64>(kMaxStatementColumns));
      cell_style = attribute(u"StyleID");
    } else if (element == u"Data" && column >= 0) {
      const QString type = attribute(u"Type");
      const QString data =
          reader.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
      const QString text = XmlCellText(type, data, date_styles.contains(cell_style));
      if (!text.isEmpty() && !PutCell(tables.back(), row, column, text)) {
        return StatementRead::Failed(TooLarge(name));
      }
    }
  }
  if (reader.hasError() || tables.empty()) return StatementRead::Failed(Unreadable(name));

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
