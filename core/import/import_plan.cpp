#include "core/import/import_plan.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "core/register/register_edits.h"
#include "core/text/amount.h"
#include "core/text/codec.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// Amounts compare in agorot, so 12.5 and "12.50" are the same amount.
std::int64_t Agorot(double amount) { return AmountAgorot(amount); }

// The digits of a reference without leading zeros: banks pad cheque numbers.
std::string ReferenceDigits(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9' && !(digits.empty() && c == '0')) digits += c;
  }
  return digits;
}

struct Candidate {
  qint64 day;
  int row;
  bool reconciled;
};

struct Pair {
  std::uint8_t known;  // 0 for a reconciled row: the movement seen before goes first
  std::uint8_t reference_differs;
  std::uint32_t distance;
  int movement;
  int row;
  bool operator<(const Pair& other) const {
    return std::tie(known, distance, reference_differs, movement, row) <
           std::tie(other.known, other.distance, other.reference_differs, other.movement,
                    other.row);
  }
};

// The movement whose balance is the file's last: the latest date; on that
// day the last line of a file in date order, the first of a file newest first.
int LastBalanceMovement(const std::vector<BankMovement>& movements) {
  if (movements.empty()) return -1;
  const bool newest_first = movements.front().date > movements.back().date;
  int best = -1;
  for (int i = 0; i < static_cast<int>(movements.size()); ++i) {
    const BankMovement& m = movements[static_cast<size_t>(i)];
    if (!m.balance) continue;
    if (best < 0) {
      best = i;
      continue;
    }
    const QDate best_date = movements[static_cast<size_t>(best)].date;
    if (m.date > best_date || (m.date == best_date && !newest_first)) best = i;
  }
  return best;
}

}  // namespace

int ImportPlan::Count(PlanAction action) const {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                        [&](const PlanLine& l) { return l.action == action; }));
}

QString AddedRowType(const BankMovement& movement) {
  // The words for a cheque, standing alone in the description.
  static const QStringList kChequeWords = {QStringLiteral("שק"),   QStringLiteral("שיק"),
                                           QStringLiteral("צ'ק"),  QStringLiteral("צק"),
                                           QStringLiteral("שקים"), QStringLiteral("שיקים")};
  QString description = movement.description;
  description.replace(QChar(0x05F3), u'\'');  // the Hebrew geresh
  static const QRegularExpression kWord(QStringLiteral("[^\\w']+"),
                                        QRegularExpression::UseUnicodePropertiesOption);
  bool cheque = false;
  for (const QString& word : description.split(kWord, Qt::SkipEmptyParts)) {
    if (kChequeWords.contains(word)) cheque = true;
  }
  QString type = cheque ? QStringLiteral("שק") : QStringLiteral("העברה");
  if (!movement.reference.isEmpty()) type += u' ' + movement.reference;
  return type;
}

ImportPlan PlanImport(const Register& reg, std::vector<BankMovement> movements, QDate today,
                      int window_days) {
  ImportPlan plan;
  plan.movements = std::move(movements);
  plan.register_rows = reg.RowCount();
  const auto& moves = plan.movements;

  // Open and reconciled rows by amount, only for the amounts the file holds.
  std::unordered_map<std::int64_t, std::vector<Candidate>> rows_by_amount;
  rows_by_amount.reserve(moves.size() * 2);
  for (const BankMovement& m : moves) rows_by_amount.try_emplace(Agorot(m.amount));
  for (int row = 0; row + 1 < reg.RowCount(); ++row) {
    const std::string_view income = reg.RawCell(row, kIncomeColumn);
    const std::string_view expense = reg.RawCell(row, kExpenseColumn);
    if (income.empty() && expense.empty()) continue;
    // Income wins over an expense in one row, as in the running balance.
    const std::int64_t amount =
        income.empty() ? -Agorot(ParseAmount(expense)) : Agorot(ParseAmount(income));
    const auto found = rows_by_amount.find(amount);
    if (found == rows_by_amount.end() || amount == 0) continue;
    if (IsBankBalanceRow(reg.RawCell(row, kCategoryColumn))) continue;
    found->second.push_back({CellDayNumber(reg.RawCell(row, kDateColumn), today), row,
                             reg.RawCell(row, kMarkColumn) == "+"});
  }
  for (auto& [amount, candidates] : rows_by_amount) {
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.day < b.day; });
  }

  std::vector<Pair> pairs;
  for (int m = 0; m < static_cast<int>(moves.size()); ++m) {
    const BankMovement& movement = moves[static_cast<size_t>(m)];
    const auto& candidates = rows_by_amount[Agorot(movement.amount)];
    const qint64 day = DayNumber(movement.date);
    const std::string reference = ReferenceDigits(movement.reference.toStdString());
    auto it = std::lower_bound(candidates.begin(), candidates.end(), day - window_days,
                               [](const Candidate& c, qint64 d) { return c.day < d; });
    for (; it != candidates.end() && it->day <= day + window_days; ++it) {
      const auto distance = static_cast<std::uint32_t>(std::llabs(it->day - day));
      std::string_view type = reg.RawCell(it->row, kTypeColumn);
      const size_t blank = type.find(' ');
      type = blank == std::string_view::npos ? std::string_view() : type.substr(blank + 1);
      const bool same_reference = !reference.empty() && ReferenceDigits(type) == reference;
      pairs.push_back({static_cast<std::uint8_t>(it->reconciled ? 0 : 1),
                       static_cast<std::uint8_t>(same_reference ? 0 : 1), distance, m, it->row});
    }
  }
  std::sort(pairs.begin(), pairs.end());

  plan.lines.resize(moves.size());
  for (int m = 0; m < static_cast<int>(moves.size()); ++m)
    plan.lines[static_cast<size_t>(m)].movement = m;
  std::vector<bool> row_taken(static_cast<size_t>(reg.RowCount()), false);
  for (const Pair& pair : pairs) {
    PlanLine& line = plan.lines[static_cast<size_t>(pair.movement)];
    if (line.row >= 0 || row_taken[static_cast<size_t>(pair.row)]) continue;
    row_taken[static_cast<size_t>(pair.row)] = true;
    line.row = pair.row;
    line.action = pair.known == 0 ? PlanAction::kKnown : PlanAction::kMark;
  }
  for (PlanLine& line : plan.lines) line.ticked = line.Changes();

  if (const int last = LastBalanceMovement(moves); last >= 0) {
    const BankMovement& movement = moves[static_cast<size_t>(last)];
    PlanLine line{PlanAction::kBankBalance, last, -1, true};
    const std::string date = EncodeWin1255(DateText(movement.date));
    for (int row = reg.RowCount() - 2; row >= 0; --row) {
      if (IsBankBalanceRow(reg.RawCell(row, kCategoryColumn)) &&
          reg.RawCell(row, kDateColumn) == date &&
          Agorot(ParseAmount(reg.RawCell(row, kBalanceColumn))) == Agorot(*movement.balance)) {
        line = {PlanAction::kBalanceKnown, last, row, false};
        break;
      }
    }
    plan.lines.push_back(line);
  }

  plan.marked_records.resize(plan.lines.size());
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    if (plan.lines[i].action == PlanAction::kMark) {
      plan.marked_records[i] = std::string(reg.RawRecord(plan.lines[i].row));
    }
  }
  return plan;
}

ImportResult ApplyImportPlan(Register& reg, const ImportPlan& plan, QDate today) {
  ImportResult result;
  // The plan was made for these rows; after any change it must be made again.
  bool same_rows =
      reg.RowCount() == plan.register_rows && plan.marked_records.size() == plan.lines.size();
  for (size_t i = 0; same_rows && i < plan.lines.size(); ++i) {
    const PlanLine& line = plan.lines[i];
    if (line.action == PlanAction::kMark)
      same_rows = reg.RawRecord(line.row) == plan.marked_records[i];
  }
  if (!same_rows) {
    result.error = QStringLiteral("רשומות החשבון השתנו מאז שנבנתה התוכנית; יש לייבא את הקובץ מחדש");
    return result;
  }
  // Refuse before the first change, so a refusal leaves the rows whole.
  for (const PlanLine& line : plan.lines) {
    if (!line.ticked || line.action != PlanAction::kAdd) continue;
    const BankMovement& m = plan.movements[static_cast<size_t>(line.movement)];
    if (!CanEncodeWin1255(m.description) || !CanEncodeWin1255(m.reference)) {
      result.error =
          QStringLiteral("שורה %1: התאור אינו ניתן לשמירה בקובץ החשבון").arg(m.source_row + 1);
      return result;
    }
  }

  const auto add_row = [&reg](const std::vector<std::pair<int, QString>>& cells) {
    const int row = reg.RowCount() - 1;
    for (const auto& [column, text] : cells) reg.SetCell(row, column, text);
    reg.AddEmptyRow();
  };
  for (const PlanLine& line : plan.lines) {
    if (!line.ticked) continue;
    const BankMovement& m = plan.movements[static_cast<size_t>(line.movement)];
    switch (line.action) {
      case PlanAction::kMark:
        reg.SetCell(line.row, kMarkColumn, kReconciledMark);
        ++result.marked;
        break;
      case PlanAction::kAdd:
        add_row({{m.amount > 0 ? kIncomeColumn : kExpenseColumn, FormatAmount(std::fabs(m.amount))},
                 {kTypeColumn, AddedRowType(m)},
                 {kDescriptionColumn, m.description},
                 {kDateColumn, DateText(m.date)},
                 {kMarkColumn, QString::fromUtf16(kReconciledMark)}});
        ++result.added;
        break;
      case PlanAction::kBankBalance:
        add_row({{kBalanceColumn, FormatAmount(*m.balance)},
                 {kCategoryColumn, QString::fromUtf16(kBankBalanceCategory)},
                 {kTypeColumn, QString::fromUtf16(kBankBalanceType)},
                 {kDescriptionColumn, QString::fromUtf16(kBankBalanceDescription)},
                 {kDateColumn, DateText(m.date)},
                 {kMarkColumn, QString::fromUtf16(kReconciledMark)}});
        ++result.added;
        break;
      case PlanAction::kKnown:
      case PlanAction::kBalanceKnown:
        break;
    }
  }
  if (result.added == 0 && result.marked == 0) return result;
  reg.SortRegister(kDateColumn, today);
  result.applied = true;
  return result;
}

}  // namespace cheque
