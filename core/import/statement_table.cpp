#include "core/import/statement_table.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <map>

#include "core/files/line_file.h"
#include "core/import/reader_support.h"
#include "core/text/codec.h"

namespace cheque {
namespace {

// The first lines decide the separator; bank files put a title above the
// header now and then, so a handful of lines is not enough.
constexpr int kSeparatorSampleLines = 30;

enum class Kind { kCsv, kXlsx, kXls, kHtml, kXml2003 };

// By the bytes: a zip, a compound file, or text that opens with a tag.
Kind KindOf(const QByteArray& bytes) {
  if (bytes.startsWith("PK\x03\x04")) return Kind::kXlsx;
  if (bytes.startsWith("\xD0\xCF\x11\xE0")) return Kind::kXls;
  // The head as text; its ASCII is all that matters here.
  const QByteArray head_bytes = bytes.left(8192);
  QString head;
  if (head_bytes.startsWith("\xFF\xFE") || (head_bytes.size() > 1 && head_bytes[1] == 0)) {
    head = QStringDecoder(QStringDecoder::Utf16LE).decode(head_bytes);
  } else if (head_bytes.startsWith("\xFE\xFF") || head_bytes.startsWith(QByteArray(1, 0))) {
    head = QStringDecoder(QStringDecoder::Utf16BE).decode(head_bytes);
  } else {
    head = QString::fromLatin1(head_bytes);
  }
  qsizetype first = 0;
  while (first < head.size() &&
         (head[first].isSpace() || head[first] == QChar(0xFEFF) || head[first] == QChar(0xEF) ||
          head[first] == QChar(0xBB) || head[first] == QChar(0xBF))) {
    ++first;
  }
  if (first >= head.size() || head[first] != u'<') return Kind::kCsv;
  head = head.toLower();
  if (head.contains(u"<workbook") || head.contains(u":workbook")) return Kind::kXml2003;
  if (!head.contains(u"<html") && !head.contains(u"<table") &&
      head.contains(u"urn:schemas-microsoft-com:office:spreadsheet")) {
    return Kind::kXml2003;
  }
  return Kind::kHtml;
}

}  // namespace

int StatementTable::ColumnCount() const {
  size_t count = 0;
  for (const auto& row : rows) count = std::max(count, row.size());
  return static_cast<int>(count);
}

QString StatementTable::Cell(int row, int column) const {
  if (row < 0 || column < 0 || static_cast<size_t>(row) >= rows.size()) return {};
  const auto& cells = rows[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                    : QString();
}

QChar DetectCsvSeparator(QStringView text) {
  static constexpr std::array<char16_t, 3> kCandidates = {u'\t', u';', u','};
  // Per candidate, how many sample lines hold each count of it.
  std::array<std::map<int, int>, 3> counts_of_lines;
  std::array<int, 3> in_line = {};
  bool quoted = false;
  int lines = 0;
  const auto end_line = [&] {
    for (size_t k = 0; k < kCandidates.size(); ++k) {
      if (in_line[k] > 0) ++counts_of_lines[k][in_line[k]];
      in_line[k] = 0;
    }
    ++lines;
  };
  for (qsizetype i = 0; i < text.size() && lines < kSeparatorSampleLines; ++i) {
    const QChar c = text[i];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted && (c == u'\n' || c == u'\r')) {
      end_line();
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if (!quoted) {
      for (size_t k = 0; k < kCandidates.size(); ++k) {
        if (c == kCandidates[k]) ++in_line[k];
      }
    }
  }
  end_line();
  // The separator splits most lines into the same number of fields; a comma
  // inside unquoted amounts ("1,234.50") varies from line to line.
  size_t best = kCandidates.size() - 1;
  int best_score = 0;
  for (size_t k = 0; k < kCandidates.size(); ++k) {
    int score = 0;
    for (const auto& [count, lines_with_it] : counts_of_lines[k])
      score = std::max(score, lines_with_it);
    if (score > best_score) {
      best_score = score;
      best = k;
    }
  }
  return QChar(kCandidates[best]);
}

StatementTable ReadCsvBytes(const QByteArray& bytes, TextEncoding encoding) {
  const QString text = DecodeStatementText(bytes, encoding);
  const QChar separator = DetectCsvSeparator(text);
  StatementTable table;
  std::vector<QString> row;
  QString field;
  bool quoted = false;
  bool field_start = true;
  const auto end_field = [&] {
    if (row.size() < static_cast<size_t>(kMaxStatementColumns)) {
      row.push_back(field);
    } else {
      table.too_large = true;
    }
    field.clear();
    field_start = true;
  };
  const auto end_row = [&] {
    end_field();
    // A row of one empty field is a blank line.
    if (row.size() == 1 && row.front().isEmpty()) row.clear();
    table.rows.push_back(std::move(row));
    row = {};
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c != u'"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == u'"') {
        field += c;
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == u'"' && field_start) {
      quoted = true;
      field_start = false;
    } else if (c == separator) {
      end_field();
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      end_row();
      if (table.rows.size() >= static_cast<size_t>(kMaxStatementRows)) {
        table.too_large = i + 1 < text.size();
        return table;
      }
    } else if (c == u'\x1A' && i + 1 == text.size()) {
      break;  // an old editor's end-of-file mark
    } else {
      field += c;
      field_start = false;
    }
  }
  if (!field.isEmpty() || !row.empty() || quoted) end_row();
  return table;
}

StatementRead ReadStatementFile(const QString& path, int sheet, TextEncoding encoding) {
  const QString name = QFileInfo(path).fileName();
  const auto cannot_read = [&](ReadError error) {
    return StatementRead::Failed(QStringLiteral("לא ניתן לקרוא את הקובץ ") + name +
                                 QStringLiteral(": ") + ReadErrorText(error));
  };
  QFile file;
  const ReadError open_error = OpenRegularFile(path, file);
  if (open_error != ReadError::kNone) return cannot_read(open_error);
  // Refused before it is read: a file this large is no statement, and
  // reading it could take all memory.
  if (file.size() > kMaxStatementFileBytes) {
    return StatementRead::Failed(QStringLiteral("הקובץ ") + name +
                                 QStringLiteral(" גדול מדי לדף בנק (יותר מ-%1 מגה-בייט)")
                                     .arg(kMaxStatementFileBytes / (1024 * 1024)));
  }
  file.close();
  ReadError error = ReadError::kNone;
  const auto bytes = ReadFileBytes(path, &error);
  if (!bytes) return cannot_read(error);
  return ReadStatementBytes(*bytes, name, sheet, encoding);
}

StatementRead ReadStatementBytes(const QByteArray& bytes, const QString& name, int sheet,
                                 TextEncoding encoding) {
  StatementRead read;
  switch (KindOf(bytes)) {
    case Kind::kXlsx:
      read = ReadXlsxBytes(bytes, name, sheet);
      break;
    case Kind::kXls:
      read = ReadXlsBytes(bytes, name, sheet);
      break;
    case Kind::kHtml:
      read = ReadHtmlBytes(bytes, name, sheet);
      break;
    case Kind::kXml2003:
      read = ReadXml2003Bytes(bytes, name, sheet);
      break;
    case Kind::kCsv:
      if (sheet > 0) return StatementRead::Failed(reader::NoSuchSheet(name, sheet));
      read.table = ReadCsvBytes(bytes, encoding);
      break;
  }
  if (read.Ok() && read.table.too_large) read.error = reader::TooLarge(name);
  if (read.Ok() && read.table.rows.empty()) {
    read.error = QStringLiteral("הקובץ ") + name + QStringLiteral(" ריק");
  }
  return read;
}

}  // namespace cheque
