#include "core/import/column_mapping.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/text/amount.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// How far down a file its header row is looked for.
constexpr int kHeaderSearchRows = 50;
// The last day a spreadsheet's date serial can stand for (31/12/9999).
constexpr double kLastSerialDay = 2958465;

struct Key {
  QStringView name;
  int ColumnMapping::*field;
};
constexpr Key kKeys[] = {
    {u"date", &ColumnMapping::date},       {u"desc", &ColumnMapping::description},
    {u"ref", &ColumnMapping::reference},   {u"amount", &ColumnMapping::amount},
    {u"debit", &ColumnMapping::debit},     {u"credit", &ColumnMapping::credit},
    {u"balance", &ColumnMapping::balance}, {u"first", &ColumnMapping::first_row},
};

// Direction marks and the like, which spreadsheets keep around Hebrew text.
QString CleanCell(QString text) {
  static const QRegularExpression kInvisible(
      QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{FEFF}]"));
  text.remove(kInvisible);
  text.replace(QChar(0xA0), u' ');
  return text.simplified();
}

QString HeaderKey(const StatementTable& table, int row) {
  if (row < 0 || static_cast<size_t>(row) >= table.rows.size()) return {};
  QStringList cells;
  for (const QString& cell : table.rows[static_cast<size_t>(row)]) cells << CleanCell(cell);
  while (!cells.isEmpty() && cells.back().isEmpty()) cells.removeLast();
  return cells.join(u'\t');
}

QString Where(int row, int column) {
  return QStringLiteral("שורה %1, עמודה %2: ").arg(row + 1).arg(column + 1);
}

}  // namespace

bool ColumnMapping::IsComplete() const {
  return date >= 0 && (amount >= 0 || (debit >= 0 && credit >= 0));
}

QString MappingText(const ColumnMapping& mapping) {
  QStringList parts;
  for (const Key& key : kKeys) {
    const int value = mapping.*key.field;
    if (value >= 0) parts << key.name.toString() + u'=' + QString::number(value + 1);
  }
  return parts.join(u',');
}

std::optional<ColumnMapping> ParseMappingText(QStringView text) {
  ColumnMapping mapping;
  bool first_given = false;
  for (const QStringView part : text.split(u',', Qt::SkipEmptyParts)) {
    const qsizetype equals = part.indexOf(u'=');
    if (equals < 0) return std::nullopt;
    const QStringView name = part.left(equals).trimmed();
    bool ok = false;
    const int value = part.mid(equals + 1).trimmed().toInt(&ok);
    if (!ok || value < 1 || value > kMaxStatementRows) return std::nullopt;
    const auto key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                  [&](const Key& k) { return k.name == name; });
    if (key == std::end(kKeys)) return std::nullopt;
    if (key->field != &ColumnMapping::first_row && value > kMaxStatementColumns)
      return std::nullopt;
    mapping.*key->field = value - 1;
    if (key->field == &ColumnMapping::first_row) first_given = true;
  }
  if (!first_given) mapping.first_row = 0;
  // One signed column or both sides, never both ways at once.
  if (mapping.amount >= 0 && (mapping.debit >= 0 || mapping.credit >= 0)) return std::nullopt;
  if (!mapping.IsComplete()) return std::nullopt;
  return mapping;
}

QString MappingMemory::DefaultPath() { return ProgramFile(QStringLiteral("Import.dat")); }

MappingMemory MappingMemory::Load(const QString& path) {
  MappingMemory memory;
  const auto lines = ReadTextLines(path);
  if (!lines) return memory;
  for (qsizetype i = 0; i + 1 < lines->size(); i += 2) {
    const auto mapping = ParseMappingText((*lines)[i + 1]);
    if (mapping && !(*lines)[i].isEmpty()) memory.entries_.push_back({(*lines)[i], *mapping});
  }
  return memory;
}

bool MappingMemory::Save(const QString& path) const {
  QStringList lines;
  for (const Entry& entry : entries_) lines << entry.header << MappingText(entry.mapping);
  return WriteTextLines(path, lines);
}

std::optional<ColumnMapping> MappingMemory::Find(const StatementTable& table) const {
  const int rows = std::min(static_cast<int>(table.rows.size()), kHeaderSearchRows);
  for (int row = 0; row < rows; ++row) {
    const QString key = HeaderKey(table, row);
    if (key.isEmpty()) continue;
    for (const Entry& entry : entries_) {
      if (entry.header != key) continue;
      ColumnMapping mapping = entry.mapping;
      mapping.first_row += row;
      return mapping;
    }
  }
  return std::nullopt;
}

bool MappingMemory::Remember(const StatementTable& table, const ColumnMapping& mapping) {
  const int header_row = mapping.first_row - 1;
  const QString key = HeaderKey(table, header_row);
  // A header the account's code page cannot hold would never be found again.
  if (key.isEmpty() || !CanEncodeWin1255(key) || !mapping.IsComplete()) return false;
  std::erase_if(entries_, [&](const Entry& entry) { return entry.header == key; });
  ColumnMapping relative = mapping;
  relative.first_row = mapping.first_row - header_row;
  entries_.insert(entries_.begin(), {key, relative});
  if (entries_.size() > static_cast<size_t>(kMaxEntries)) entries_.resize(kMaxEntries);
  return true;
}

std::optional<ColumnMapping> GuessMapping(const StatementTable& table) {
  struct Word {
    int ColumnMapping::*field;
    QStringList words;
  };
  const Word kWords[] = {
      {&ColumnMapping::date, {QStringLiteral("תאריך"), QStringLiteral("date")}},
      {&ColumnMapping::description,
       {QStringLiteral("תאור"), QStringLiteral("תיאור"), QStringLiteral("פרטים"),
        QStringLiteral("הפעולה"), QStringLiteral("description")}},
      {&ColumnMapping::reference, {QStringLiteral("אסמכתא"), QStringLiteral("reference")}},
      {&ColumnMapping::debit, {QStringLiteral("חובה"), QStringLiteral("debit")}},
      {&ColumnMapping::credit, {QStringLiteral("זכות"), QStringLiteral("credit")}},
      {&ColumnMapping::balance, {QStringLiteral("יתרה"), QStringLiteral("balance")}},
      {&ColumnMapping::amount, {QStringLiteral("סכום"), QStringLiteral("amount")}},
  };
  const int rows = std::min(static_cast<int>(table.rows.size()), kHeaderSearchRows);
  for (int row = 0; row < rows; ++row) {
    ColumnMapping mapping;
    mapping.first_row = row + 1;
    const auto& cells = table.rows[static_cast<size_t>(row)];
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
      const QString cell = CleanCell(cells[static_cast<size_t>(column)]);
      // The first column of each meaning: "תאריך ערך" comes after "תאריך".
      for (const Word& word : kWords) {
        if (mapping.*word.field >= 0) continue;
        const bool named = std::any_of(word.words.begin(), word.words.end(), [&](const QString& w) {
          return cell.contains(w, Qt::CaseInsensitive);
        });
        if (named) {
          mapping.*word.field = column;
          break;
        }
      }
    }
    // One way of amounts: both sides when the file has them.
    if (mapping.debit >= 0 && mapping.credit >= 0) mapping.amount = -1;
    if (mapping.amount >= 0) mapping.debit = mapping.credit = -1;
    if (mapping.IsComplete()) return mapping;
  }
  return std::nullopt;
}

std::optional<QDate> ReadStatementDate(QStringView raw, QDate today) {
  const QString text = CleanCell(raw.toString());
  if (text.isEmpty()) return std::nullopt;
  // A spreadsheet's date serial that reached a CSV as a number.
  bool is_number = false;
  const double serial = text.toDouble(&is_number);
  if (is_number && !text.contains(u'.') && text.size() == 8) {
    const QDate compact = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    if (compact.isValid()) return compact;
  }
  if (is_number && serial >= 1 && serial <= kLastSerialDay && !text.contains(u'/')) {
    return DateFromDayNumber(static_cast<qint64>(std::floor(serial)));
  }
  // Year first: "2024-01-31", with or without a time after it.
  static const QRegularExpression kYearFirst(
      QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T].*)?$"));
  if (const auto match = kYearFirst.match(text); match.hasMatch()) {
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (date.isValid()) return date;
    return std::nullopt;
  }
  return ReadDateText(QStringView(text), today);
}

std::optional<double> ReadStatementAmount(QStringView raw) {
  QString text = CleanCell(raw.toString());
  text.remove(QChar(0x20AA));  // the shekel sign
  text.remove(QStringLiteral("ש\"ח"));
  text.remove(QStringLiteral("NIS"), Qt::CaseInsensitive);
  text.remove(u' ');
  bool negative = false;
  if (text.size() > 2 && text.startsWith(u'(') && text.endsWith(u')')) {
    negative = true;
    text = text.mid(1, text.size() - 2);
  }
  if (text.size() > 1 && text.endsWith(u'-')) {  // "120.00-"
    negative = !negative;
    text.chop(1);
  }
  // "1.234,50" or "12,5": a decimal comma; otherwise commas group thousands.
  static const QRegularExpression kDecimalComma(QStringLiteral(",\\d{1,2}$"));
  if (text.contains(kDecimalComma) &&
      (!text.contains(u'.') || text.indexOf(u'.') < text.indexOf(u','))) {
    text.remove(u'.');
    text.replace(u',', u'.');
  } else {
    text.remove(u',');
  }
  if (text.isEmpty()) return std::nullopt;
  const auto value = ReadAmount(QStringView(text));
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return negative ? -*value : *value;
}

MovementsRead ReadMovements(const StatementTable& table, const ColumnMapping& mapping,
                            QDate today) {
  MovementsRead read;
  if (!mapping.IsComplete()) {
    read.error = QStringLiteral("יש לבחור עמודת תאריך ועמודת סכום (או עמודות חובה וזכות)");
    return read;
  }
  const auto fail = [&read](int row, int column, const QString& what) {
    read.error = Where(row, column) + what;
    read.movements.clear();
    return read;
  };
  const auto amount_of = [&](int row, int column, bool required) -> std::optional<double> {
    const QString text = CleanCell(table.Cell(row, column));
    if (text.isEmpty() && !required) return 0.0;
    return ReadStatementAmount(text);
  };
  const auto text_of = [&](int row, int column, QString& out) {
    out = CleanCell(table.Cell(row, column));
    const QChar bad = FirstUnencodable(out);
    if (bad.isNull()) return true;
    read.error = Where(row, column) + QStringLiteral("התו \"") + bad +
                 QStringLiteral("\" אינו ניתן לשמירה בקובץ החשבון");
    read.movements.clear();
    return false;
  };
  for (int row = std::max(0, mapping.first_row); row < static_cast<int>(table.rows.size()); ++row) {
    const QString date_text = CleanCell(table.Cell(row, mapping.date));
    if (date_text.isEmpty()) continue;
    BankMovement movement;
    movement.source_row = row;
    const auto date = ReadStatementDate(date_text, today);
    if (!date)
      return fail(row, mapping.date,
                  QStringLiteral("\"") + date_text + QStringLiteral("\" אינו תאריך"));
    movement.date = *date;
    if (mapping.amount >= 0) {
      const auto amount = amount_of(row, mapping.amount, true);
      if (!amount) {
        return fail(row, mapping.amount,
                    QStringLiteral("\"") + table.Cell(row, mapping.amount) +
                        QStringLiteral("\" אינו סכום"));
      }
      movement.amount = *amount;
    } else {
      const auto debit = amount_of(row, mapping.debit, false);
      if (!debit) {
        return fail(
            row, mapping.debit,
            QStringLiteral("\"") + table.Cell(row, mapping.debit) + QStringLiteral("\" אינו סכום"));
      }
      const auto credit = amount_of(row, mapping.credit, false);
      if (!credit) {
        return fail(row, mapping.credit,
                    QStringLiteral("\"") + table.Cell(row, mapping.credit) +
                        QStringLiteral("\" אינו סכום"));
      }
      if (*debit != 0 && *credit != 0) {
        return fail(row, mapping.credit, QStringLiteral("בשורה יש גם חובה וגם זכות"));
      }
      // Some banks write the debit side as a negative number.
      movement.amount = *credit != 0 ? std::fabs(*credit) : -std::fabs(*debit);
    }
    if (mapping.balance >= 0) {
      const QString balance_text = CleanCell(table.Cell(row, mapping.balance));
      if (!balance_text.isEmpty()) {
        const auto balance = ReadStatementAmount(balance_text);
        if (!balance) {
          return fail(row, mapping.balance,
                      QStringLiteral("\"") + balance_text + QStringLiteral("\" אינו סכום"));
        }
        movement.balance = *balance;
      }
    }
    if (mapping.description >= 0 && !text_of(row, mapping.description, movement.description)) {
      return read;
    }
    if (mapping.reference >= 0 && !text_of(row, mapping.reference, movement.reference)) return read;
    if (std::llround(movement.amount * 100) == 0) continue;
    read.movements.push_back(std::move(movement));
  }
  return read;
}

}  // namespace cheque
