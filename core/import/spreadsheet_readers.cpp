// The two spreadsheet kinds: ".xlsx" (a zip of XML parts, through QuaZip and
// QXmlStreamReader) and ".xls" (BIFF, through libfreexl).

#include <freexl.h>
#include <quazip.h>
#include <quazipfile.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <cmath>

#include "core/import/statement_table.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

QString Unreadable(const QString& path) {
  return QStringLiteral("לא ניתן לקרוא את הקובץ ") + QFileInfo(path).fileName() +
         QStringLiteral(": הקובץ פגום או אינו גיליון נתונים");
}

// Puts a cell into the table, growing it; false beyond the limits.
bool PutCell(StatementTable& table, qint64 row, qint64 column, const QString& text) {
  if (row < 0 || column < 0 || row >= kMaxStatementRows) return false;
  if (column >= kMaxStatementColumns) {
    table.too_large = true;
    return true;
  }
  if (static_cast<size_t>(row) >= table.rows.size())
    table.rows.resize(static_cast<size_t>(row) + 1);
  auto& cells = table.rows[static_cast<size_t>(row)];
  if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
  return true;
}

// A spreadsheet's date serial (days since 30/12/1899, as the register's day
// numbers) in the register's form.
QString SerialDateText(double serial) {
  return DateText(DateFromDayNumber(static_cast<qint64>(std::floor(serial))));
}

QStringView Attribute(const QXmlStreamReader& reader, const char* name) {
  return reader.attributes().value(QLatin1StringView(name));
}

QString NumberText(double value) { return QString::number(value, 'g', 15); }

// ---- .xlsx

bool ReadPart(QuaZip& zip, const QString& name, QByteArray& bytes) {
  if (!zip.setCurrentFile(name)) return false;
  QuaZipFile part(&zip);
  if (!part.open(QIODevice::ReadOnly)) return false;
  bytes = part.readAll();
  part.close();
  return part.getZipError() == UNZ_OK;
}

// "B12" -> column 1 (row ignored); -1 when it holds no letters.
qint64 ColumnOfReference(QStringView reference) {
  qint64 column = 0;
  qsizetype i = 0;
  for (; i < reference.size() && reference[i].isUpper() && reference[i].unicode() < 128; ++i) {
    column = column * 26 + (reference[i].unicode() - u'A' + 1);
    if (column > kMaxStatementColumns) return kMaxStatementColumns;
  }
  return i == 0 ? -1 : column - 1;
}

std::vector<QString> SharedStrings(const QByteArray& xml) {
  std::vector<QString> strings;
  QXmlStreamReader reader(xml);
  QString current;
  int phonetic_depth = 0;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      if (reader.name() == u"si") current.clear();
      if (reader.name() == u"rPh") ++phonetic_depth;
      if (reader.name() == u"t" && phonetic_depth == 0) current += reader.readElementText();
    } else if (reader.isEndElement()) {
      if (reader.name() == u"rPh") --phonetic_depth;
      if (reader.name() == u"si") strings.push_back(current);
    }
  }
  return strings;
}

// The style indexes whose number format shows a date.
QSet<int> DateStyles(const QByteArray& xml) {
  QSet<int> date_formats = {14, 15, 16, 17, 18, 19, 20, 21, 22, 45, 46, 47};
  QSet<int> styles;
  QXmlStreamReader reader(xml);
  bool in_cell_formats = false;
  int index = 0;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      if (reader.name() == u"numFmt") {
        // A format with day, month or year letters outside quotes and brackets.
        QString code = Attribute(reader, "formatCode").toString();
        code.remove(QRegularExpression(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]")));
        if (code.contains(QRegularExpression(QStringLiteral("[dmyDMY]")))) {
          date_formats.insert(Attribute(reader, "numFmtId").toInt());
        }
      } else if (reader.name() == u"cellXfs") {
        in_cell_formats = true;
      } else if (in_cell_formats && reader.name() == u"xf") {
        if (date_formats.contains(Attribute(reader, "numFmtId").toInt())) {
          styles.insert(index);
        }
        ++index;
      }
    } else if (reader.isEndElement() && reader.name() == u"cellXfs") {
      in_cell_formats = false;
    }
  }
  return styles;
}

// The part of the first sheet in the workbook's order.
QString FirstSheetPart(QuaZip& zip) {
  QByteArray workbook;
  QByteArray relations;
  QString id;
  if (ReadPart(zip, QStringLiteral("xl/workbook.xml"), workbook)) {
    QXmlStreamReader reader(workbook);
    while (!reader.atEnd() && id.isEmpty()) {
      reader.readNext();
      if (reader.isStartElement() && reader.name() == u"sheet") {
        for (const auto& attribute : reader.attributes()) {
          if (attribute.name() == u"id") id = attribute.value().toString();
        }
      }
    }
  }
  if (!id.isEmpty() && ReadPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), relations)) {
    QXmlStreamReader reader(relations);
    while (!reader.atEnd()) {
      reader.readNext();
      if (reader.isStartElement() && reader.name() == u"Relationship" &&
          Attribute(reader, "Id") == id) {
        QString target = Attribute(reader, "Target").toString();
        if (target.startsWith(u'/')) return target.mid(1);
        return QStringLiteral("xl/") + target;
      }
    }
  }
  return QStringLiteral("xl/worksheets/sheet1.xml");
}

}  // namespace

StatementRead ReadXlsxFile(const QString& path) {
  StatementRead read;
  QuaZip zip(path);
  if (!zip.open(QuaZip::mdUnzip)) return {{}, Unreadable(path)};
  QByteArray bytes;
  std::vector<QString> shared;
  if (ReadPart(zip, QStringLiteral("xl/sharedStrings.xml"), bytes)) shared = SharedStrings(bytes);
  QSet<int> date_styles;
  if (ReadPart(zip, QStringLiteral("xl/styles.xml"), bytes)) date_styles = DateStyles(bytes);
  if (!ReadPart(zip, FirstSheetPart(zip), bytes)) return {{}, Unreadable(path)};

  QXmlStreamReader reader(bytes);
  qint64 row = -1;
  qint64 column = -1;
  QString type;
  int style = 0;
  QString value;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      const QStringView name = reader.name();
      if (name == u"row") {
        const auto number = Attribute(reader, "r");
        row = number.isEmpty() ? row + 1 : number.toLongLong() - 1;
        column = -1;
      } else if (name == u"c") {
        const auto reference = Attribute(reader, "r");
        column = reference.isEmpty() ? column + 1 : ColumnOfReference(reference);
        type = Attribute(reader, "t").toString();
        style = Attribute(reader, "s").toInt();
        value.clear();
      } else if (name == u"v" || (name == u"t" && type == u"inlineStr")) {
        value += reader.readElementText();
      }
    } else if (reader.isEndElement() && reader.name() == u"c") {
      QString text = value;
      if (type == u"s") {
        bool ok = false;
        const qsizetype index = value.toLongLong(&ok);
        text = ok && index >= 0 && static_cast<size_t>(index) < shared.size()
                   ? shared[static_cast<size_t>(index)]
                   : QString();
      } else if (type.isEmpty() || type == u"n") {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok) text = date_styles.contains(style) ? SerialDateText(number) : NumberText(number);
      }
      if (!PutCell(read.table, row, column, text)) {
        return {{},
                QStringLiteral("הקובץ ") + QFileInfo(path).fileName() +
                    QStringLiteral(" גדול מדי לדף בנק")};
      }
    }
  }
  if (reader.hasError()) return {{}, Unreadable(path)};
  return read;
}

StatementRead ReadXlsFile(const QString& path) {
  StatementRead read;
  const void* handle = nullptr;
  const QByteArray local_path = QFile::encodeName(path);
  const int opened = freexl_open(local_path.constData(), &handle);
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (opened != FREEXL_OK || freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
    freexl_close(handle);
    return {{}, Unreadable(path)};
  }
  read.table.too_large = rows > static_cast<unsigned int>(kMaxStatementRows) ||
                         columns > static_cast<unsigned short>(kMaxStatementColumns);
  rows = std::min(rows, static_cast<unsigned int>(kMaxStatementRows));
  columns = std::min(columns, static_cast<unsigned short>(kMaxStatementColumns));
  read.table.rows.resize(rows);
  for (unsigned int r = 0; r < rows; ++r) {
    auto& cells = read.table.rows[r];
    for (unsigned short c = 0; c < columns; ++c) {
      FreeXL_CellValue cell;
      if (freexl_get_cell_value(handle, r, c, &cell) != FREEXL_OK) continue;
      QString text;
      switch (cell.type) {
        case FREEXL_CELL_INT:
          text = QString::number(cell.value.int_value);
          break;
        case FREEXL_CELL_DOUBLE:
          text = NumberText(cell.value.double_value);
          break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
          text = QString::fromUtf8(cell.value.text_value);
          break;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME: {
          // "YYYY-MM-DD", perhaps with a time after it.
          const QDate date =
              QDate::fromString(QString::fromLatin1(cell.value.text_value).left(10), Qt::ISODate);
          text = date.isValid() ? DateText(date) : QString::fromLatin1(cell.value.text_value);
          break;
        }
        default:
          break;
      }
      if (text.isEmpty()) continue;
      if (cells.size() <= c) cells.resize(c + 1U);
      cells[c] = text;
    }
  }
  freexl_close(handle);
  return read;
}

}  // namespace cheque
