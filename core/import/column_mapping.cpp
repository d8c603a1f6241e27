#include "core/import/column_mapping.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/files/line_file.h"
#include "core/files/program_folder.h"
#include "core/text/codec.h"

namespace cheque {
namespace {

// How far down a file its header row is looked for.
constexpr int kHeaderSearchRows = 50;
// A header row longer than this is no bank's, and would make a line of
// Import.dat that no reader takes.
constexpr int kMaxHeaderKey = 4000;

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

QString HeaderKey(const StatementTable& table, int row) {
  if (row < 0 || static_cast<size_t>(row) >= table.rows.size()) return {};
  QStringList cells;
  for (const QString& cell : table.rows[static_cast<size_t>(row)])
    cells << CleanStatementCell(cell);
  while (!cells.isEmpty() && cells.back().isEmpty()) cells.removeLast();
  return cells.join(u'\t');
}

}  // namespace

bool ColumnMapping::IsComplete() const {
  return date >= 0 && (amount >= 0 || debit >= 0 || credit >= 0);
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
  ReadError error = ReadError::kNone;
  const auto lines = ReadTextLines(path, &error);
  if (!lines) {
    memory.unreadable_ = error != ReadError::kMissing;
    return memory;
  }
  // An entry is a header followed by a mapping; a line lost or damaged
  // costs its own entry only.
  for (qsizetype i = 0; i + 1 < lines->size(); ++i) {
    const QString& header = (*lines)[i];
    // A byte the code page leaves undefined never came from Remember, and
    // would not survive being saved again.
    if (header.isEmpty() || !CanEncodeWin1255(header) || ParseMappingText(header)) continue;
    const auto mapping = ParseMappingText((*lines)[i + 1]);
    if (!mapping) continue;
    memory.entries_.push_back({header, *mapping});
    ++i;
  }
  memory.held_ = static_cast<int>(memory.entries_.size());
  return memory;
}

bool MappingMemory::Save(const QString& path) const {
  if (unreadable_) return false;
  if (static_cast<int>(entries_.size()) < held_ && !replaced_) return false;
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
  if (key.isEmpty() || key.size() > kMaxHeaderKey || !CanEncodeWin1255(key) ||
      !mapping.IsComplete()) {
    return false;
  }
  if (std::erase_if(entries_, [&](const Entry& entry) { return entry.header == key; }) > 0) {
    replaced_ = true;
  }
  ColumnMapping relative = mapping;
  relative.first_row = mapping.first_row - header_row;
  entries_.insert(entries_.begin(), {key, relative});
  if (entries_.size() > static_cast<size_t>(kMaxEntries)) {
    entries_.resize(kMaxEntries);
    replaced_ = true;
  }
  return true;
}

std::optional<ColumnMapping> MappingOfHeader(const StatementTable& table, int row) {
  struct Word {
    int ColumnMapping::*field;
    QStringList words;
  };
  // Asked in this order of each cell, so "תאריך חיוב" is a date and "סכום
  // חיוב" (a card's charge in shekels) a debit before "סכום" is an amount.
  static const Word kWords[] = {
      {&ColumnMapping::date, {QStringLiteral("תאריך"), QStringLiteral("date")}},
      {&ColumnMapping::balance, {QStringLiteral("יתרה"), QStringLiteral("balance")}},
      {&ColumnMapping::debit,
       {QStringLiteral("חובה"), QStringLiteral("חיוב"), QStringLiteral("debit"),
        QStringLiteral("paid out"), QStringLiteral("money out"), QStringLiteral("withdrawal")}},
      {&ColumnMapping::credit,
       {QStringLiteral("זכות"), QStringLiteral("זיכוי"), QStringLiteral("credit"),
        QStringLiteral("paid in"), QStringLiteral("money in"), QStringLiteral("deposit")}},
      {&ColumnMapping::reference,
       {QStringLiteral("אסמכתא"), QStringLiteral("reference"), QStringLiteral("ref.")}},
      {&ColumnMapping::description,
       {QStringLiteral("תאור"), QStringLiteral("תיאור"), QStringLiteral("פרטים"),
        QStringLiteral("הפעולה"), QStringLiteral("בית עסק"), QStringLiteral("בית העסק"),
        QStringLiteral("description"), QStringLiteral("details"), QStringLiteral("payee")}},
      {&ColumnMapping::amount, {QStringLiteral("סכום"), QStringLiteral("amount")}},
  };
  if (row < 0 || static_cast<size_t>(row) >= table.rows.size()) return std::nullopt;
  ColumnMapping mapping;
  mapping.first_row = row + 1;
  const auto& cells = table.rows[static_cast<size_t>(row)];
  for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
    const QString cell = CleanStatementCell(cells[static_cast<size_t>(column)].left(200));
    if (cell.isEmpty()) continue;
    // A header's cells are words: a date or an amount in one is a movement's row.
    if (ReadStatementAmount(cell) || cell.size() > 60) return std::nullopt;
    for (const Word& word : kWords) {
      const bool named = std::any_of(word.words.begin(), word.words.end(), [&](const QString& w) {
        return cell.contains(w, Qt::CaseInsensitive);
      });
      if (!named) continue;
      // The first column of each meaning: "תאריך ערך" comes after "תאריך".
      if (mapping.*word.field < 0) mapping.*word.field = column;
      break;
    }
  }
  // One way of amounts: the sides when the file has them.
  if (mapping.debit >= 0 || mapping.credit >= 0) mapping.amount = -1;
  if (!mapping.IsComplete()) return std::nullopt;
  return mapping;
}

std::optional<ColumnMapping> GuessMapping(const StatementTable& table) {
  const int rows = static_cast<int>(table.rows.size());
  std::vector<ColumnMapping> headers;
  for (int row = 0; row < std::min(rows, kHeaderSearchRows); ++row) {
    if (auto mapping = MappingOfHeader(table, row)) headers.push_back(*mapping);
  }
  // Of several tables, the header of the most movements, the first of
  // equals; a header repeated on every page counts the movements of all its
  // pages. A table above it comes first unless all its dates are later: a
  // card's purchases at home and then abroad are sections of one statement,
  // whichever is longer, but a bank's small table of future movements above
  // the real one stays out. The tables below the chosen header are read as
  // its sections.
  std::vector<QString> keys;
  std::vector<int> counts;
  std::vector<size_t> first_of_key;
  std::vector<QDate> latest_of_key;
  std::vector<QDate> earliest(headers.size());
  for (size_t i = 0; i < headers.size(); ++i) {
    const QString key = HeaderKey(table, headers[i].first_row - 1);
    const auto known = std::find(keys.begin(), keys.end(), key);
    const size_t k = static_cast<size_t>(known - keys.begin());
    if (known == keys.end()) {
      keys.push_back(key);
      counts.push_back(0);
      first_of_key.push_back(i);
      latest_of_key.emplace_back();
    }
    const int end = i + 1 < headers.size() ? headers[i + 1].first_row - 1 : rows;
    for (int row = headers[i].first_row; row < end; ++row) {
      const QString text = CleanStatementCell(table.Cell(row, headers[i].date).left(100));
      const auto date = text.isEmpty() ? std::nullopt : ReadStatementDate(text, QDate(2000, 1, 1));
      if (!date) continue;
      ++counts[k];
      if (!earliest[i].isValid() || *date < earliest[i]) earliest[i] = *date;
      if (!latest_of_key[k].isValid() || *date > latest_of_key[k]) latest_of_key[k] = *date;
    }
  }
  if (keys.empty()) return std::nullopt;
  const size_t best =
      static_cast<size_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  for (size_t i = 0; i < first_of_key[best]; ++i) {
    if (earliest[i].isValid() && earliest[i] <= latest_of_key[best]) return headers[i];
  }
  return headers[first_of_key[best]];
}

}  // namespace cheque
