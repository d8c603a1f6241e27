// ".xlsx" statements: a zip of XML parts, through QuaZip and QXmlStreamReader.
// The zip's parts are inflated under a cap, so that a small file cannot
// swell into all of memory.

#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QSet>
#include <QXmlStreamReader>

#include "core/import/reader_support.h"
#include "core/import/statement_table.h"

namespace cheque {
namespace {

using namespace reader;

QStringView Attribute(const QXmlStreamReader& reader, const char* name) {
  return reader.attributes().value(QLatin1StringView(name));
}

// ---- .xlsx

// What may still be inflated, shared by the parts of one file.
struct InflateBudget {
  qint64 left = 0;
  bool exceeded = false;
};

// A part inflated in pieces, never past its declared size or the budget:
// the declared sizes were checked before, but a damaged zip may lie.
bool ReadPart(QuaZip& zip, const QString& name, QByteArray& bytes, InflateBudget& budget) {
  bytes.clear();
  if (!zip.setCurrentFile(name)) return false;
  QuaZipFileInfo64 info;
  if (!zip.getCurrentFileInfo(&info)) return false;
  QuaZipFile part(&zip);
  if (!part.open(QIODevice::ReadOnly)) return false;
  const qint64 declared = static_cast<qint64>(info.uncompressedSize);
  if (declared > budget.left) {
    budget.exceeded = true;
    return false;
  }
  bytes.reserve(static_cast<qsizetype>(declared));
  char chunk[64 * 1024];
  qint64 got = 0;
  while ((got = part.read(chunk, sizeof chunk)) > 0) {
    if (bytes.size() + got > declared) {
      budget.exceeded = true;
      return false;
    }
    bytes.append(chunk, static_cast<qsizetype>(got));
  }
  budget.left -= bytes.size();
  part.close();
  return got == 0 && part.getZipError() == UNZ_OK;
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
  QSet<int> date_formats;
  QSet<int> styles;
  QXmlStreamReader reader(xml);
  bool in_cell_formats = false;
  int index = 0;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      if (reader.name() == u"numFmt") {
        if (IsDateFormatCode(Attribute(reader, "formatCode").toString())) {
          date_formats.insert(Attribute(reader, "numFmtId").toInt());
        }
      } else if (reader.name() == u"cellXfs") {
        in_cell_formats = true;
      } else if (in_cell_formats && reader.name() == u"xf") {
        const int format = Attribute(reader, "numFmtId").toInt();
        if (IsBuiltInDateFormat(format) || date_formats.contains(format)) styles.insert(index);
        ++index;
      }
    } else if (reader.isEndElement() && reader.name() == u"cellXfs") {
      in_cell_formats = false;
    }
  }
  return styles;
}

struct SheetPart {
  QString name;
  QString part;
};

// The sheets in the workbook's order, each with its part.
std::vector<SheetPart> SheetParts(QuaZip& zip, InflateBudget& budget) {
  std::vector<SheetPart> sheets;
  std::vector<QString> ids;
  QByteArray bytes;
  if (ReadPart(zip, QStringLiteral("xl/workbook.xml"), bytes, budget)) {
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd() && sheets.size() < static_cast<size_t>(kMaxStatementColumns)) {
      reader.readNext();
      if (reader.isStartElement() && reader.name() == u"sheet") {
        QString id;
        for (const auto& attribute : reader.attributes()) {
          if (attribute.name() == u"id") id = attribute.value().toString();
        }
        sheets.push_back({Attribute(reader, "name").toString(), QString()});
        ids.push_back(id);
      }
    }
  }
  if (!sheets.empty() &&
      ReadPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), bytes, budget)) {
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
      reader.readNext();
      if (!reader.isStartElement() || reader.name() != u"Relationship") continue;
      const QStringView id = Attribute(reader, "Id");
      for (size_t i = 0; i < sheets.size(); ++i) {
        if (ids[i] != id) continue;
        const QString target = Attribute(reader, "Target").toString();
        sheets[i].part = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
      }
    }
  }
  if (sheets.empty()) sheets.push_back({QStringLiteral("Sheet1"), QString()});
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].part.isEmpty())
      sheets[i].part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1);
  }
  return sheets;
}

bool ReadSheetXml(const QByteArray& bytes, const std::vector<QString>& shared,
                  const QSet<int>& date_styles, StatementTable& table) {
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
        if (date_styles.contains(style)) {
          bool ok = false;
          const double number = value.toDouble(&ok);
          if (ok) text = SerialDateText(number);
        } else {
          text = NumberCellText(value).value_or(value);
        }
      }
      if (!PutCell(table, row, column, text)) {
        table.too_large = true;
        return true;
      }
    }
  }
  return !reader.hasError();
}

}  // namespace

StatementRead ReadXlsxBytes(const QByteArray& bytes, const QString& name, int sheet) {
  QBuffer device;
  device.setData(bytes);
  QuaZip zip(&device);
  if (!zip.open(QuaZip::mdUnzip)) return StatementRead::Failed(Unreadable(name));
  // Refused before anything is inflated when the parts say they are too large.
  InflateBudget budget{std::min(kMaxInflatedBytes, kMaxInflateRatio * bytes.size())};
  qint64 declared = 0;
  for (const QuaZipFileInfo64& info : zip.getFileInfoList64()) {
    declared +=
        static_cast<qint64>(std::min<quint64>(info.uncompressedSize, kMaxInflatedBytes + 1));
  }
  if (declared > budget.left) return StatementRead::Failed(TooLarge(name));

  StatementRead read;
  const std::vector<SheetPart> sheets = SheetParts(zip, budget);
  for (const SheetPart& one : sheets) read.sheets << one.name;
  read.sheet = ChooseSheet(sheet, 0, static_cast<int>(sheets.size()));
  if (read.sheet < 0) return StatementRead::Failed(NoSuchSheet(name, sheet), read.sheets);
  QByteArray part;
  std::vector<QString> shared;
  if (ReadPart(zip, QStringLiteral("xl/sharedStrings.xml"), part, budget)) {
    shared = SharedStrings(part);
  }
  QSet<int> date_styles;
  if (ReadPart(zip, QStringLiteral("xl/styles.xml"), part, budget)) date_styles = DateStyles(part);
  const bool sheet_read =
      ReadPart(zip, sheets[static_cast<size_t>(read.sheet)].part, part, budget) &&
      ReadSheetXml(part, shared, date_styles, read.table);
  if (budget.exceeded) return StatementRead::Failed(TooLarge(name));
  if (!sheet_read) return StatementRead::Failed(Unreadable(name));
  return read;
}

}  // namespace cheque
