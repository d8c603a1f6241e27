// ".xlsx" statements: a zip of XML parts, through QuaZip and libxml2's push
// parser. Each part is inflated in pieces straight into the parser, under a
// cap, so that a small file can neither swell into all of memory nor be held
// whole once inflated.

#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QSet>

#include "core/import/reader_support.h"
#include "core/import/sax_reader.h"
#include "core/import/statement_table.h"

namespace cheque {
namespace {

using namespace reader;

bool Is(const xmlChar* name, const char* local) {
  return xmlStrEqual(name, reinterpret_cast<const xmlChar*>(local)) != 0;
}

// What may still be inflated, shared by the parts of one file.
struct InflateBudget {
  qint64 left = 0;
  bool exceeded = false;
};

enum class Part { kAbsent, kRead, kDamaged };

// A part inflated in pieces into the reader, never past its declared size or
// the budget: the declared sizes were checked before, but a damaged zip may lie.
Part ParsePart(QuaZip& zip, const QString& name, InflateBudget& budget, SaxReader& reader) {
  if (!zip.setCurrentFile(name)) return Part::kAbsent;
  QuaZipFileInfo64 info;
  QuaZipFile part(&zip);
  if (!zip.getCurrentFileInfo(&info) || !part.open(QIODevice::ReadOnly)) return Part::kDamaged;
  if (info.uncompressedSize > static_cast<quint64>(budget.left)) {
    budget.exceeded = true;
    return Part::kDamaged;
  }
  const auto declared = static_cast<qint64>(info.uncompressedSize);
  XmlPushParser parser(reader);
  char chunk[64 * 1024];
  qint64 got = 0;
  qint64 total = 0;
  while ((got = part.read(chunk, sizeof chunk)) > 0) {
    total += got;
    if (total > declared) {
      budget.exceeded = true;
      return Part::kDamaged;
    }
    if (!parser.Feed(QByteArrayView(chunk, static_cast<qsizetype>(got)))) break;
  }
  budget.left -= total;
  const bool inflated = got == 0 && part.getZipError() == UNZ_OK;
  // An empty part says nothing, as if it were not there.
  if (inflated && total == 0) return Part::kAbsent;
  return inflated && parser.Finish() ? Part::kRead : Part::kDamaged;
}

// "B12" -> column 1 (row ignored); -1 when it holds no letters.
qint64 ColumnOfReference(QByteArrayView reference) {
  qint64 column = 0;
  qsizetype i = 0;
  for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
    column = column * 26 + (reference[i] - 'A' + 1);
    if (column > kMaxStatementColumns) return kMaxStatementColumns;
  }
  return i == 0 ? -1 : column - 1;
}

// The workbook's strings, one after another in UTF-8: a file of many short
// strings costs little more than its bytes.
struct SharedStrings : SaxReader {
  QByteArray text;
  std::vector<quint32> ends;
  int text_depth = 0;
  int phonetic_depth = 0;  // a reading aid, not the cell's text
  qsizetype cell_start = 0;

  QString At(qint64 index) const {
    if (index < 0 || static_cast<size_t>(index) >= ends.size()) return {};
    const quint32 start = index == 0 ? 0 : ends[static_cast<size_t>(index) - 1];
    return QString::fromUtf8(text.constData() + start,
                             static_cast<qsizetype>(ends[static_cast<size_t>(index)] - start));
  }
  void Start(const xmlChar* name, const SaxAttributes&) override {
    if (Is(name, "rPh")) ++phonetic_depth;
    if (Is(name, "t")) ++text_depth;
    if (Is(name, "si")) cell_start = text.size();
  }
  void End(const xmlChar* name) override {
    if (Is(name, "rPh")) --phonetic_depth;
    if (Is(name, "t")) --text_depth;
    if (Is(name, "si")) ends.push_back(static_cast<quint32>(text.size()));
  }
  void Text(const xmlChar* piece, int length) override {
    if (text_depth > 0 && phonetic_depth == 0) {
      AppendText(text, cell_start + kMaxCellBytes, piece, length);
    }
  }
};

// The style indexes whose number format shows a date.
struct DateStyles : SaxReader {
  QSet<int> date_formats;
  QSet<int> styles;
  bool in_cell_formats = false;
  int index = 0;

  void Start(const xmlChar* name, const SaxAttributes& attributes) override {
    if (Is(name, "numFmt")) {
      if (IsDateFormatCode(QString::fromUtf8(attributes.Value("formatCode")))) {
        date_formats.insert(attributes.Value("numFmtId").toInt());
      }
    } else if (Is(name, "cellXfs")) {
      in_cell_formats = true;
    } else if (in_cell_formats && Is(name, "xf")) {
      const int format = attributes.Value("numFmtId").toInt();
      if (IsBuiltInDateFormat(format) || date_formats.contains(format)) styles.insert(index);
      ++index;
    }
  }
  void End(const xmlChar* name) override {
    if (Is(name, "cellXfs")) in_cell_formats = false;
  }
  void Text(const xmlChar*, int) override {}
};

struct SheetPart {
  QString name;
  QString part;
  QByteArray id;
};

// The workbook's sheets in its order, then the parts its relations give them.
struct SheetParts : SaxReader {
  std::vector<SheetPart> sheets;

  void Start(const xmlChar* name, const SaxAttributes& attributes) override {
    if (Is(name, "sheet")) {
      if (sheets.size() >= static_cast<size_t>(kMaxStatementColumns)) return;
      sheets.push_back({QString::fromUtf8(attributes.Value("name")), QString(),
                        attributes.Value("id").toByteArray()});
    } else if (Is(name, "Relationship")) {
      const QByteArrayView id = attributes.Value("Id");
      for (SheetPart& sheet : sheets) {
        if (sheet.id != id) continue;
        const QString target = QString::fromUtf8(attributes.Value("Target"));
        sheet.part = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
      }
    }
  }
  void End(const xmlChar*) override {}
  void Text(const xmlChar*, int) override {}
};

struct SheetCells : SaxReader {
  const SharedStrings& shared;
  const QSet<int>& date_styles;
  StatementTable& table;
  qint64 row = -1;
  qint64 column = -1;
  QByteArray type;
  int style = 0;
  QByteArray value;
  bool in_value = false;
  int phonetic_depth = 0;

  SheetCells(const SharedStrings& s, const QSet<int>& d, StatementTable& t)
      : shared(s), date_styles(d), table(t) {}

  void Start(const xmlChar* name, const SaxAttributes& attributes) override {
    if (Is(name, "row")) {
      const QByteArrayView number = attributes.Value("r");
      row = number.isEmpty() ? row + 1 : number.toLongLong() - 1;
      column = -1;
    } else if (Is(name, "c")) {
      const QByteArrayView reference = attributes.Value("r");
      column = reference.isEmpty() ? column + 1 : ColumnOfReference(reference);
      type = attributes.Value("t").toByteArray();
      style = attributes.Value("s").toInt();
      value.clear();
    } else if (Is(name, "rPh")) {
      ++phonetic_depth;
    } else if (Is(name, "v") || (Is(name, "t") && type == "inlineStr" && phonetic_depth == 0)) {
      in_value = true;
    }
  }
  void End(const xmlChar* name) override {
    if (Is(name, "v") || Is(name, "t")) {
      in_value = false;
    } else if (Is(name, "rPh")) {
      --phonetic_depth;
    } else if (Is(name, "c")) {
      const QString text = CellText();
      // Beyond the limits the table is no statement: the rest is not read.
      if (!text.isEmpty() && (!PutCell(table, row, column, text) || table.too_large)) {
        table.too_large = true;
        Stop();
      }
    }
  }
  void Text(const xmlChar* text, int length) override {
    if (in_value) AppendText(value, kMaxCellBytes, text, length);
  }
  QString CellText() const {
    if (type == "s") {
      bool ok = false;
      const qint64 index = value.toLongLong(&ok);
      return ok ? shared.At(index) : QString();
    }
    const QString text = QString::fromUtf8(value);
    if (!type.isEmpty() && type != "n") return text;
    if (date_styles.contains(style)) {
      bool ok = false;
      const double number = value.toDouble(&ok);
      return ok ? SerialDateText(number) : text;
    }
    return NumberCellText(text).value_or(text);
  }
};

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

  // A part that is there is read whole, or the file is damaged: a sheet
  // with half its strings or without its dates would import wrong amounts.
  bool damaged = false;
  const auto parse = [&](const QString& part, SaxReader& reader) {
    const Part result = ParsePart(zip, part, budget, reader);
    damaged = damaged || result == Part::kDamaged;
    return result == Part::kRead;
  };
  SheetParts parts;
  parse(QStringLiteral("xl/workbook.xml"), parts);
  if (!parts.sheets.empty()) parse(QStringLiteral("xl/_rels/workbook.xml.rels"), parts);
  std::vector<SheetPart>& sheets = parts.sheets;
  if (sheets.empty()) sheets.push_back({QStringLiteral("Sheet1"), QString(), {}});
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].part.isEmpty())
      sheets[i].part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1);
  }

  StatementRead read;
  for (const SheetPart& one : sheets) read.sheets << one.name;
  read.sheet = ChooseSheet(sheet, 0, static_cast<int>(sheets.size()));
  if (read.sheet < 0) return StatementRead::Failed(NoSuchSheet(name, sheet), read.sheets);
  SharedStrings shared;
  parse(QStringLiteral("xl/sharedStrings.xml"), shared);
  DateStyles styles;
  parse(QStringLiteral("xl/styles.xml"), styles);
  SheetCells cells(shared, styles.styles, read.table);
  const bool sheet_read = !damaged && parse(sheets[static_cast<size_t>(read.sheet)].part, cells);
  if (budget.exceeded || read.table.too_large) return StatementRead::Failed(TooLarge(name));
  if (!sheet_read) return StatementRead::Failed(Unreadable(name));
  return read;
}

}  // namespace cheque
