#include "core/reports/xlsx_export.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamWriter>
#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "core/register/register.h"
#include "core/reports/csv_export.h"

namespace cheque {
namespace {

std::optional<double> NumberOf(const QString& text) {
  static const QRegularExpression kNumber(QStringLiteral("^-?[0-9][0-9,]*(\\.[0-9]+)?$"));
  const QString trimmed = text.trimmed();
  if (!kNumber.match(trimmed).hasMatch()) return std::nullopt;
  bool ok = false;
  const double value = QString(trimmed).remove(u',').toDouble(&ok);
  return ok ? std::optional(value) : std::nullopt;
}

std::optional<QDate> DateOf(const QString& text) {
  static const QRegularExpression kDate(QStringLiteral("^[0-9]{1,2}/[0-9]{1,2}/[0-9]{4}$"));
  const QString trimmed = text.trimmed();
  if (!kDate.match(trimmed).hasMatch()) return std::nullopt;
  const QDate date = QDate::fromString(trimmed, QStringLiteral("d/M/yyyy"));
  return date.isValid() ? std::optional(date) : std::nullopt;
}

// 0xBBGGRR as the ARGB text a workbook holds.
QString ArgbOf(uint32_t bgr) {
  const uint32_t rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
  return QStringLiteral("FF%1").arg(rgb, 6, 16, QChar(u'0')).toUpper();
}

enum class Kind { kText, kWhole, kDecimal, kDate };

// The workbook's cell styles: one per look and kind, made as cells need
// them. Fill 0 and 1 are the two every workbook has; numbers 164 and up are
// its own number formats ("0" is built in as 1).
class Styles {
 public:
  int Of(const SheetCell& cell, Kind kind) {
    const auto key = std::tuple(cell.background, cell.text_colour, cell.bold, kind);
    const auto found = styles_.find(key);
    if (found != styles_.end()) return found->second;
    const int font = Index(fonts_, std::pair(cell.text_colour, cell.bold));
    const int fill = cell.background == 0xFFFFFF ? 0 : 2 + Index(fills_, cell.background);
    const int format = kind == Kind::kDecimal ? 164
                       : kind == Kind::kDate  ? 165
                       : kind == Kind::kWhole ? 1
                                              : 0;
    xfs_.emplace_back(font, fill, format);
    return styles_[key] = static_cast<int>(xfs_.size()) - 1;
  }

  QByteArray Xml() const {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("styleSheet"));
    xml.writeDefaultNamespace(kMainNamespace);
    xml.writeStartElement(QStringLiteral("numFmts"));
    xml.writeAttribute(QStringLiteral("count"), QStringLiteral("2"));
    for (const auto& [id, code] : {std::pair(164, u"#,##0.00"), std::pair(165, u"d/m/yyyy")}) {
      xml.writeEmptyElement(QStringLiteral("numFmt"));
      xml.writeAttribute(QStringLiteral("numFmtId"), QString::number(id));
      xml.writeAttribute(QStringLiteral("formatCode"), QString::fromUtf16(code));
    }
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("fonts"));
    for (const auto& [colour, bold] : fonts_) {
      xml.writeStartElement(QStringLiteral("font"));
      if (bold) xml.writeEmptyElement(QStringLiteral("b"));
      xml.writeEmptyElement(QStringLiteral("sz"));
      xml.writeAttribute(QStringLiteral("val"), QStringLiteral("11"));
      xml.writeEmptyElement(QStringLiteral("color"));
      xml.writeAttribute(QStringLiteral("rgb"), ArgbOf(colour));
      xml.writeEmptyElement(QStringLiteral("name"));
      xml.writeAttribute(QStringLiteral("val"), QStringLiteral("Arial"));
      xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("fills"));
    for (const char16_t* pattern : {u"none", u"gray125"}) {
      xml.writeStartElement(QStringLiteral("fill"));
      xml.writeEmptyElement(QStringLiteral("patternFill"));
      xml.writeAttribute(QStringLiteral("patternType"), QString::fromUtf16(pattern));
      xml.writeEndElement();
    }
    for (const uint32_t colour : fills_) {
      xml.writeStartElement(QStringLiteral("fill"));
      xml.writeStartElement(QStringLiteral("patternFill"));
      xml.writeAttribute(QStringLiteral("patternType"), QStringLiteral("solid"));
      xml.writeEmptyElement(QStringLiteral("fgColor"));
      xml.writeAttribute(QStringLiteral("rgb"), ArgbOf(colour));
      xml.writeEndElement();
      xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("borders"));
    xml.writeEmptyElement(QStringLiteral("border"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("cellXfs"));
    for (const auto& [font, fill, format] : xfs_) {
      xml.writeEmptyElement(QStringLiteral("xf"));
      xml.writeAttribute(QStringLiteral("numFmtId"), QString::number(format));
      xml.writeAttribute(QStringLiteral("fontId"), QString::number(font));
      xml.writeAttribute(QStringLiteral("fillId"), QString::number(fill));
      xml.writeAttribute(QStringLiteral("borderId"), QStringLiteral("0"));
      if (format != 0) xml.writeAttribute(QStringLiteral("applyNumberFormat"), QStringLiteral("1"));
      if (fill != 0) xml.writeAttribute(QStringLiteral("applyFill"), QStringLiteral("1"));
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
  }

  static inline const QString kMainNamespace =
      QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");

 private:
  template <typename T>
  static int Index(std::vector<T>& list, const T& value) {
    const auto found = std::find(list.begin(), list.end(), value);
    if (found != list.end()) return static_cast<int>(found - list.begin());
    list.push_back(value);
    return static_cast<int>(list.size()) - 1;
  }

  std::vector<std::pair<uint32_t, bool>> fonts_ = {{0, false}};
  std::vector<uint32_t> fills_;
  std::vector<std::tuple<int, int, int>> xfs_ = {{0, 0, 0}};
  std::map<std::tuple<uint32_t, uint32_t, bool, Kind>, int> styles_;
};

QString SheetName(const QString& name) {
  QString sheet = name;
  for (QChar& c : sheet) {
    if (QStringView(u"[]:*?/\\").contains(c) || c.unicode() < 0x20) c = u'_';
  }
  sheet = sheet.trimmed().left(31);
  return sheet.isEmpty() ? QStringLiteral("Sheet1") : sheet;
}

QString ColumnName(int column) {
  QString name;
  for (int n = column + 1; n > 0; n = (n - 1) / 26) {
    name.prepend(QChar(u'A' + (n - 1) % 26));
  }
  return name;
}

QByteArray SheetXml(const SheetTable& sheet, Styles& styles) {
  const int columns = static_cast<int>(sheet.captions.size());
  std::vector<int> widths(static_cast<size_t>(columns), 8);
  for (int c = 0; c < columns; ++c) {
    widths[static_cast<size_t>(c)] = static_cast<int>(sheet.captions[c].size()) + 2;
  }
  for (const auto& row : sheet.rows) {
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      widths[c] = std::max(widths[c], static_cast<int>(row[c].text.trimmed().size()) + 2);
    }
  }
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.writeStartDocument();
  xml.writeStartElement(QStringLiteral("worksheet"));
  xml.writeDefaultNamespace(Styles::kMainNamespace);
  xml.writeStartElement(QStringLiteral("sheetViews"));
  xml.writeEmptyElement(QStringLiteral("sheetView"));
  xml.writeAttribute(QStringLiteral("rightToLeft"), QStringLiteral("1"));
  xml.writeAttribute(QStringLiteral("workbookViewId"), QStringLiteral("0"));
  xml.writeEndElement();
  if (columns > 0) {
    xml.writeStartElement(QStringLiteral("cols"));
    for (int c = 0; c < columns; ++c) {
      xml.writeEmptyElement(QStringLiteral("col"));
      xml.writeAttribute(QStringLiteral("min"), QString::number(c + 1));
      xml.writeAttribute(QStringLiteral("max"), QString::number(c + 1));
      xml.writeAttribute(QStringLiteral("width"),
                         QString::number(std::min(widths[static_cast<size_t>(c)], 60)));
      xml.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
    }
    xml.writeEndElement();
  }
  xml.writeStartElement(QStringLiteral("sheetData"));
  const auto write_text = [&](const QString& ref, const QString& text, int style) {
    xml.writeStartElement(QStringLiteral("c"));
    xml.writeAttribute(QStringLiteral("r"), ref);
    xml.writeAttribute(QStringLiteral("s"), QString::number(style));
    xml.writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
    xml.writeStartElement(QStringLiteral("is"));
    xml.writeStartElement(QStringLiteral("t"));
    xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    xml.writeCharacters(text);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
  };
  const auto write_number = [&](const QString& ref, double value, int style) {
    xml.writeStartElement(QStringLiteral("c"));
    xml.writeAttribute(QStringLiteral("r"), ref);
    xml.writeAttribute(QStringLiteral("s"), QString::number(style));
    xml.writeTextElement(QStringLiteral("v"),
                         QString::number(value, 'g', QLocale::FloatingPointShortest));
    xml.writeEndElement();
  };
  SheetCell caption_look;
  caption_look.bold = true;
  xml.writeStartElement(QStringLiteral("row"));
  xml.writeAttribute(QStringLiteral("r"), QStringLiteral("1"));
  for (int c = 0; c < columns; ++c) {
    write_text(ColumnName(c) + u'1', sheet.captions[c], styles.Of(caption_look, Kind::kText));
  }
  xml.writeEndElement();
  const QDate excel_epoch(1899, 12, 30);
  int r = 2;
  for (const auto& row : sheet.rows) {
    const QString number = QString::number(r++);
    xml.writeStartElement(QStringLiteral("row"));
    xml.writeAttribute(QStringLiteral("r"), number);
    for (size_t c = 0; c < row.size(); ++c) {
      const SheetCell& cell = row[c];
      const QString ref = ColumnName(static_cast<int>(c)) + number;
      const QString text = cell.text.trimmed();
      if (const auto date = DateOf(text)) {
        write_number(ref, static_cast<double>(excel_epoch.daysTo(*date)),
                     styles.Of(cell, Kind::kDate));
      } else if (const auto value = NumberOf(text)) {
        const bool count = c < sheet.counts.size() && sheet.counts[c];
        write_number(ref, *value, styles.Of(cell, count ? Kind::kWhole : Kind::kDecimal));
      } else if (!text.isEmpty() || cell.background != 0xFFFFFF) {
        write_text(ref, text, styles.Of(cell, Kind::kText));
      }
    }
    xml.writeEndElement();
  }
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeEndDocument();
  return bytes;
}

QByteArray WorkbookXml(const QString& sheet_name) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.writeStartDocument();
  xml.writeStartElement(QStringLiteral("workbook"));
  xml.writeDefaultNamespace(Styles::kMainNamespace);
  xml.writeNamespace(
      QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"),
      QStringLiteral("r"));
  xml.writeStartElement(QStringLiteral("sheets"));
  xml.writeEmptyElement(QStringLiteral("sheet"));
  xml.writeAttribute(QStringLiteral("name"), sheet_name);
  xml.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
  xml.writeAttribute(
      QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"),
      QStringLiteral("id"), QStringLiteral("rId1"));
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeEndDocument();
  return bytes;
}

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
    R"(</Types>)";
constexpr char kPackageRelations[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</Relationships>)";
constexpr char kWorkbookRelations[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

bool Write(const QString& path, const SheetTable& sheet) {
  Styles styles;
  const QByteArray sheet_xml = SheetXml(sheet, styles);
  const std::pair<const char*, QByteArray> parts[] = {
      {"[Content_Types].xml", QByteArray(kContentTypes)},
      {"_rels/.rels", QByteArray(kPackageRelations)},
      {"xl/workbook.xml", WorkbookXml(SheetName(sheet.name))},
      {"xl/_rels/workbook.xml.rels", QByteArray(kWorkbookRelations)},
      {"xl/styles.xml", styles.Xml()},
      {"xl/worksheets/sheet1.xml", sheet_xml},
  };
  QuaZip zip(path);
  if (!zip.open(QuaZip::mdCreate)) return false;
  for (const auto& [name, bytes] : parts) {
    QuaZipFile part(&zip);
    if (!part.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name))) ||
        part.write(bytes) != bytes.size()) {
      return false;
    }
    part.close();
    if (part.getZipError() != 0) return false;
  }
  zip.close();
  return zip.getZipError() == 0;
}

}  // namespace

SheetTable ReportSheet(const ReportTable& table, const std::vector<PrintColumn>& columns,
                       const QString& name) {
  SheetTable sheet;
  sheet.name = name;
  PrintSource source;
  source.table = table;
  source.columns = ReadingOrder(columns);
  for (const PrintColumn& column : source.columns) {
    sheet.captions.append(column.caption);
    sheet.counts.push_back(column.caption == u"מס");
  }
  const int pages = GridPageCount(table.RowCount());
  for (int page = 1; page <= pages; ++page) {
    for (const PrintedRow& row : PlanPage(source, page).rows) {
      std::vector<SheetCell> cells;
      for (const PrintedCell& printed : row.cells) {
        QString text = printed.text;
        if (text == u" ") text.clear();  // an unreconciled mark
        cells.push_back({text, printed.background, printed.text_colour, printed.bold});
      }
      sheet.rows.push_back(std::move(cells));
    }
  }
  return sheet;
}

SheetTable RegisterSheet(const Register& reg, const QString& name) {
  static constexpr int kColumns[] = {kDateColumn,   kDescriptionColumn, kCategoryColumn,
                                     kTypeColumn,   kExpenseColumn,     kIncomeColumn,
                                     kBalanceColumn};
  SheetTable sheet;
  sheet.name = name;
  sheet.captions = {QStringLiteral("בוצע"),  QStringLiteral("תאריך"),    QStringLiteral("תאור"),
                    QStringLiteral("קבוצה"), QStringLiteral("סוג"),      QStringLiteral("הוצאה"),
                    QStringLiteral("הכנסה"), QStringLiteral("בנק\\יתרה")};
  for (int row = 0; row < reg.RowCount() - 1; ++row) {
    std::vector<SheetCell> cells;
    cells.push_back({reg.RawCell(row, kMarkColumn) == "+" ? QStringLiteral("ok") : QString()});
    for (const int column : kColumns) cells.push_back({reg.Cell(row, column)});
    sheet.rows.push_back(std::move(cells));
  }
  return sheet;
}

bool WriteXlsxFile(const QString& path, const SheetTable& sheet, QString* error) {
  // Written beside the target first, so a failure never leaves half a file
  // where the old one was.
  const QString part = path + QStringLiteral(".part");
  const bool written = Write(part, sheet);
  if (written) {
    QFile::remove(path);
    if (QFile::rename(part, path)) return true;
  }
  QFile::remove(part);
  if (error) *error = QStringLiteral("cannot write ") + QFileInfo(path).fileName();
  return false;
}

QString XlsxFileName(const QString& title) {
  QString name = CsvFileName(title);
  name.chop(4);
  return name + QStringLiteral(".xlsx");
}

}  // namespace cheque
