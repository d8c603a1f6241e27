// A web page's tables saved as ".xls", read through libxml2's HTML push
// parser, which takes any tag soup a browser takes. Its events go straight
// into the tables.

#include <libxml/encoding.h>

#include <QRegularExpression>
#include <QStringDecoder>

#include "core/import/reader_support.h"
#include "core/import/sax_reader.h"
#include "core/import/statement_table.h"

namespace cheque {
namespace {

using namespace reader;

// A page of more tables than this is no statement.
constexpr size_t kMaxTables = 10'000;
// Browsers take no larger row span.
constexpr qint64 kMaxRowSpan = 65'534;

bool Is(const xmlChar* name, const char* tag) {
  return xmlStrcasecmp(name, reinterpret_cast<const xmlChar*>(tag)) == 0;
}

qint64 SpanAttribute(const SaxAttributes& attributes, const char* key, qint64 most) {
  const QByteArrayView value = attributes.Value(key);
  if (value.isNull()) return 1;
  return std::clamp(value.toByteArray().trimmed().toLongLong(), 1LL, most);
}

// A cell spanning rows holds its column in the rows below it.
struct RowSpan {
  qint64 last_row = -1;
  QString text;  // in its first column only
};

struct OpenTable {
  size_t index = 0;  // into TablesBuilder::tables
  qint64 row = -1;
  bool in_row = false;
  bool row_filled = false;
  qint64 column = 0;
  bool in_cell = false;
  QByteArray cell;  // UTF-8, as libxml2 hands it
  qint64 cell_columns = 1;
  qint64 cell_rows = 1;
  std::vector<RowSpan> spans;
};

struct TablesBuilder : SaxReader {
  std::vector<StatementTable> tables;
  std::vector<int> filled_rows;  // rows of each table with some text
  std::vector<OpenTable> open;
  bool too_large = false;

  void MarkTooLarge() {
    too_large = true;
    Stop();
  }

  void Put(OpenTable& t, qint64 column, const QString& text) {
    if (text.isEmpty()) return;
    if (!PutCell(tables[t.index], t.row, column, text)) MarkTooLarge();
  }

  void StartTable() {
    if (tables.size() >= kMaxTables) {
      MarkTooLarge();
      return;
    }
    // The text around a table inside a cell stays apart, as a browser shows it.
    if (!open.empty() && open.back().in_cell) open.back().cell += ' ';
    open.push_back({});
    open.back().index = tables.size();
    tables.emplace_back();
    filled_rows.push_back(0);
  }
  void EndCell(OpenTable& t) {
    if (!t.in_cell) return;
    t.in_cell = false;
    const QString text = QString::fromUtf8(t.cell).simplified();
    t.cell.clear();
    Put(t, t.column, text);
    t.row_filled = t.row_filled || !text.isEmpty();
    if (t.cell_rows > 1) {
      const qint64 end = std::min<qint64>(t.column + t.cell_columns, kMaxStatementColumns);
      if (t.spans.size() < static_cast<size_t>(end)) t.spans.resize(static_cast<size_t>(end));
      for (qint64 c = t.column; c < end; ++c) {
        t.spans[static_cast<size_t>(c)] = {t.row + t.cell_rows - 1,
                                           c == t.column ? text : QString()};
      }
    }
    t.column += t.cell_columns;
  }
  void EndRow(OpenTable& t) {
    EndCell(t);
    if (!t.in_row) return;
    t.in_row = false;
    if (t.row_filled) ++filled_rows[t.index];
  }
  void StartRow(OpenTable& t) {
    EndRow(t);
    t.in_row = true;
    t.row_filled = false;
    t.column = 0;
    if (++t.row >= kMaxStatementRows) {
      MarkTooLarge();
      return;
    }
    // A row of no cells is a row still: the spreadsheet's numbering keeps it.
    auto& rows = tables[t.index].rows;
    if (rows.size() <= static_cast<size_t>(t.row)) rows.resize(static_cast<size_t>(t.row) + 1);
    for (size_t c = 0; c < t.spans.size(); ++c) {
      if (t.spans[c].last_row >= t.row) Put(t, static_cast<qint64>(c), t.spans[c].text);
    }
  }
  void StartCell(OpenTable& t, const SaxAttributes& attributes) {
    EndCell(t);
    if (!t.in_row || too_large) return;  // a cell outside any row is no cell of the table
    while (static_cast<size_t>(t.column) < t.spans.size() &&
           t.spans[static_cast<size_t>(t.column)].last_row >= t.row) {
      ++t.column;
    }
    t.in_cell = true;
    t.cell_columns = SpanAttribute(attributes, "colspan", kMaxStatementColumns);
    t.cell_rows = SpanAttribute(attributes, "rowspan", kMaxRowSpan);
  }

  void Start(const xmlChar* name, const SaxAttributes& attributes) override {
    if (Is(name, "table")) return StartTable();
    if (open.empty() || too_large) return;
    OpenTable& t = open.back();
    if (Is(name, "tr")) {
      StartRow(t);
    } else if (Is(name, "td") || Is(name, "th")) {
      StartCell(t, attributes);
    } else if (t.in_cell && (Is(name, "br") || Is(name, "p") || Is(name, "div"))) {
      t.cell += ' ';
    }
  }
  void End(const xmlChar* name) override {
    if (open.empty()) return;
    OpenTable& t = open.back();
    if (Is(name, "table")) {
      EndRow(t);
      open.pop_back();
    } else if (Is(name, "tr")) {
      EndRow(t);
    } else if (Is(name, "td") || Is(name, "th")) {
      EndCell(t);
    }
  }
  void Text(const xmlChar* text, int length) override {
    if (open.empty() || !open.back().in_cell) return;
    AppendText(open.back().cell, kMaxCellBytes, text, length);
  }
};

// The encoding libxml2 should read the page in: UTF-16 by its marks or its
// zero bytes, otherwise what the page says of itself, otherwise UTF-8 when
// the bytes are that, else Windows-1255.
QByteArray HtmlEncoding(const QByteArray& bytes, qsizetype& skip) {
  skip = 0;
  if (bytes.startsWith("\xFF\xFE")) return skip = 2, "UTF-16LE";
  if (bytes.startsWith("\xFE\xFF")) return skip = 2, "UTF-16BE";
  if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) return "UTF-16LE";
  if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0) return "UTF-16BE";
  if (bytes.startsWith("\xEF\xBB\xBF")) return skip = 3, "UTF-8";
  static const QRegularExpression kCharset(QStringLiteral("charset\\s*=\\s*[\"']?([-\\w.:]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
  const auto match = kCharset.match(QString::fromLatin1(bytes.left(4096)));
  if (match.hasMatch()) {
    const QByteArray named = match.captured(1).toLatin1();
    if (xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(named.constData())) {
      xmlCharEncCloseFunc(handler);
      return named;
    }
  }
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  (void)utf8.decode(bytes);
  return utf8.hasError() ? "windows-1255" : "UTF-8";
}

// The page's tables, all of them, in the order they open.
bool ParseTables(const QByteArray& bytes, TablesBuilder& builder) {
  qsizetype skip = 0;
  const QByteArray encoding = HtmlEncoding(bytes, skip);
  if (!ParseHtml(QByteArrayView(bytes).sliced(skip), encoding, builder)) return false;
  while (!builder.open.empty()) builder.End(reinterpret_cast<const xmlChar*>("table"));
  return true;
}

}  // namespace

StatementRead ReadHtmlBytes(const QByteArray& bytes, const QString& name, int sheet) {
  TablesBuilder builder;
  if (!ParseTables(bytes, builder)) return StatementRead::Failed(Unreadable(name));
  if (builder.too_large) return StatementRead::Failed(TooLarge(name));
  if (builder.tables.empty()) return StatementRead::Failed(Unreadable(name));
  StatementRead read;
  for (size_t i = 0; i < builder.tables.size(); ++i) {
    read.sheets << TableName(static_cast<int>(i), builder.filled_rows[i]);
  }
  read.sheet =
      ChooseSheet(sheet, MostRows(builder.filled_rows), static_cast<int>(builder.tables.size()));
  if (read.sheet < 0) return StatementRead::Failed(NoSuchSheet(name, sheet), read.sheets);
  read.table = std::move(builder.tables[static_cast<size_t>(read.sheet)]);
  return read;
}

}  // namespace cheque
