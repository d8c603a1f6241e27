#include <QFile>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/files/line_file.h"
#include "core/register/register.h"
#include "core/register/register_row.h"
#include "core/register/two_threads.h"
#include "core/text/date_text.h"

namespace cheque {
namespace {

// The first CR or LF at or after `pos`, or `size`; eight bytes at a time
// where the byte order allows.
size_t LineEnd(const char* data, size_t pos, size_t size) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101U;
    constexpr std::uint64_t kHighs = 0x8080808080808080U;
    // The lowest set bit marks the first zero byte exactly.
    const auto zero_bytes = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    while (pos + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, data + pos, 8);
      const std::uint64_t found =
          zero_bytes(word ^ (kOnes * '\r')) | zero_bytes(word ^ (kOnes * '\n'));
      if (found != 0) return pos + static_cast<size_t>(std::countr_zero(found)) / 8;
      pos += 8;
    }
  }
  while (pos < size && data[pos] != '\r' && data[pos] != '\n') ++pos;
  return pos;
}

// Takes the records off the front of a file's bytes (cut at any Ctrl-Z) by the
// rules of LineReader: CR LF, a lone CR or a lone LF ends a line, and with
// `at_end` a line read past the end is empty. Without `at_end` it stops before
// a record whose line ends are not all certain yet (a CR at the very end may
// still be followed by LF). A record already in its stored form stays where
// it is in `data`; others are rebuilt. Returns the bytes used, or nothing when
// a line, ended or not yet, is longer than kMaxLineBytes. `cut` is set when
// the bytes end inside a record.
std::optional<size_t> ParseRecords(char* data, size_t size, bool at_end, RowStore& rows,
                                   std::string& record, bool& cut) {
  size_t pos = 0;
  while (pos < size) {
    const size_t start = pos;
    size_t line_start[register_row::kFieldCount];
    size_t line_end[register_row::kFieldCount];
    bool whole = true;  // every line ended with CR LF
    for (int field = 0; field < register_row::kFieldCount; ++field) {
      if (pos >= size) cut = true;  // read past the end
      const size_t stop = LineEnd(data, pos, size);
      if (stop - pos > kMaxLineBytes) return std::nullopt;
      const bool last_byte_cr = stop + 1 == size && data[stop] == '\r';
      if (!at_end && (stop == size || last_byte_cr)) return start;
      line_start[field] = pos;
      line_end[field] = stop;
      if (stop + 1 < size && data[stop] == '\r' && data[stop + 1] == '\n') {
        pos = stop + 2;
      } else {
        whole = false;
        pos = std::min(stop + 1, size);
      }
    }
    // Eight lines within the limit always fit a row.
    static_assert(register_row::kFieldCount * (kMaxLineBytes + 2) <= RowStore::kMaxRowBytes);
    if (whole) {
      rows.Adopt(data + start, pos - start);
      continue;
    }
    record.clear();
    for (int field = 0; field < register_row::kFieldCount; ++field) {
      record.append(data + line_start[field], line_end[field] - line_start[field]);
      record.append("\r\n");
    }
    rows.PushBack(record);
  }
  return pos;
}

}  // namespace

bool Register::LoadFileBytes(std::string_view bytes, QStringView opening_balance) {
  // Copied before the old rows go, in case the bytes are theirs.
  RowStore rows;
  bytes = bytes.substr(0, bytes.find('\x1A'));
  rows.Reserve(bytes.size() / 64 + 2);
  char* block = rows.NewBlock(bytes.size());
  if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
  std::string record;
  bool cut = false;
  if (!ParseRecords(block, bytes.size(), true, rows, record, cut)) {
    Clear();
    return false;
  }
  rows_ = std::move(rows);
  FinishLoad(opening_balance);
  load_cut_ = cut;
  return true;
}

bool Register::LoadFile(const QString& path, QStringView opening_balance, ReadError* error) {
  QFile file;
  const ReadError open_error = OpenRegularFile(path, file);
  if (open_error != ReadError::kNone) {
    if (error != nullptr) *error = open_error;
    Clear();
    return false;
  }
  if (!LoadDevice(file, opening_balance, kReadChunkBytes, error)) return false;
  if (FindAccountDamage(*this) > AccountDamage::kNoRecord) {
    if (error != nullptr) *error = ReadError::kDamaged;
    Clear();
    return false;
  }
  return true;
}

bool Register::LoadDevice(QIODevice& device, QStringView opening_balance, size_t chunk_bytes,
                          ReadError* error) {
  const auto fail = [&](ReadError why) {
    if (error != nullptr) *error = why;
    Clear();
    return false;
  };
  rows_.Clear();
  const bool size_known = !device.isSequential();
  const qint64 device_size = size_known ? std::max<qint64>(device.size(), 0) : 0;
  if (device_size > kMaxFileBytes) return fail(ReadError::kTooLarge);
  const auto expected = static_cast<size_t>(device_size);
  bool first_block = true;
  rows_.Reserve(expected / 64 + 2);
  std::string record;
  std::string_view unused;  // the start of a record cut by the end of a block
  size_t total = 0;         // bytes read so far
  bool at_end = false;
  bool cut = false;
  while (!at_end) {
    // The whole file in one block when its size is known; otherwise pieces,
    // and a record longer than a piece doubles the next.
    const size_t capacity =
        first_block && size_known ? expected + 1 : std::max(chunk_bytes, 2 * unused.size());
    first_block = false;
    char* block = rows_.NewBlock(capacity);
    if (!unused.empty()) std::memcpy(block, unused.data(), unused.size());
    size_t filled = unused.size();
    while (filled < capacity && !at_end) {
      const qint64 got = device.read(block + filled, static_cast<qint64>(capacity - filled));
      if (got < 0) return fail(ReadError::kFailed);
      // A device that never ends (or a file that keeps growing) stops here.
      total += static_cast<size_t>(got);
      if (total > static_cast<size_t>(kMaxFileBytes)) return fail(ReadError::kTooLarge);
      const void* eof = std::memchr(block + filled, '\x1A', static_cast<size_t>(got));
      at_end = got == 0 || eof != nullptr;
      filled = eof != nullptr ? static_cast<size_t>(static_cast<const char*>(eof) - block)
                              : filled + static_cast<size_t>(got);
    }
    const auto used = ParseRecords(block, filled, at_end, rows_, record, cut);
    if (!used) return fail(ReadError::kLineTooLong);
    unused = std::string_view(block + *used, filled - *used);
  }
  if (error != nullptr) *error = ReadError::kNone;
  FinishLoad(opening_balance);
  load_cut_ = cut;
  return true;
}

void Register::FinishLoad(QStringView opening_balance) {
  AddEmptyRow();
  load_cut_ = false;
  load_had_records_ = rows_.Size() > 1;
  if (rows_.Size() == 1) {
    AddEmptyRow();
    const QStringView opening_text(kOpeningBalanceText);
    SetCell(0, kDescriptionColumn, opening_text);
    SetCell(0, kDateColumn, u"1/1/1990");
    SetCell(0, kBalanceColumn, opening_balance);
    SetCell(0, kCategoryColumn, QStringView(kBankBalanceCategory));
    SetCell(0, kTypeColumn, opening_text);
  }
  needs_sorting_ = true;
  date_ordered_ = false;
  last_bank_balance_row_ = -1;
  if (log_.log != nullptr) log_.log->Reset();
}

QByteArray Register::FileBytes() const {
  qsizetype total = 0;
  for (size_t i = 0; i < rows_.Size(); ++i) {
    if (!register_row::IsEmpty(rows_.View(i)))
      total += static_cast<qsizetype>(rows_.View(i).size());
  }
  QByteArray out(total, Qt::Uninitialized);
  char* dst = out.data();
  for (size_t i = 0; i < rows_.Size(); ++i) {
    const std::string_view row = rows_.View(i);
    if (register_row::IsEmpty(row)) continue;
    std::memcpy(dst, row.data(), row.size());
    dst += row.size();
  }
  return out;
}

AccountDamage FindAccountDamage(const Register& reg) {
  if (reg.LoadEndedInsideRecord()) return AccountDamage::kCutRecord;
  const QDate any_day(2000, 1, 1);  // only whether the text reads as a date matters
  // The first damaged row of rows [first, end), and what is wrong with it.
  struct Found {
    int row = -1;
    AccountDamage damage = AccountDamage::kNone;
  };
  const auto first_damage = [&](int first, int end) -> Found {
    for (int row = first; row < end; ++row) {
      // A text file never holds a zero byte; a binary one nearly always does.
      if (reg.RawRecord(row).find('\0') != std::string_view::npos) {
        return {row, AccountDamage::kBinary};
      }
      const std::string_view date = reg.RawCell(row, kDateColumn);
      if (!date.empty() && !IsPlainDateText(date) && !ReadDateText(date, any_day)) {
        return {row, AccountDamage::kBadDate};
      }
    }
    return {};
  };
  const int rows = reg.RowCount() - 1;
  Found found;
  if (WorthTwoThreads(static_cast<size_t>(rows))) {
    Found halves[2];
    RunInTwo([&](int half) {
      halves[half] = half == 0 ? first_damage(0, rows / 2) : first_damage(rows / 2, rows);
    });
    found = halves[0].row >= 0 ? halves[0] : halves[1];
  } else {
    found = first_damage(0, rows);
  }
  if (found.row >= 0) return found.damage;
  return reg.LoadReadRecords() ? AccountDamage::kNone : AccountDamage::kNoRecord;
}

AccountFileStatus LoadAccountFile(const QString& path, QStringView opening_balance, Register& reg,
                                  ReadError* error) {
  ReadError why = ReadError::kNone;
  AccountFileStatus status = AccountFileStatus::kUnavailable;
  if (reg.LoadFile(path, opening_balance, &why)) {
    status = AccountFileStatus::kRead;
  } else if (why == ReadError::kMissing) {
    // Only a missing file is created: one that exists but cannot be read
    // keeps its content for another day.
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      file.close();
      reg.LoadFileBytes({}, opening_balance);
      why = ReadError::kNone;
      status = AccountFileStatus::kCreatedEmpty;
    }
  }
  if (status == AccountFileStatus::kUnavailable) reg.Clear();
  if (error != nullptr) *error = why;
  return status;
}

bool SaveAccountFile(const QString& path, const Register& reg) {
  return !path.isEmpty() && WriteFileAtomic(path, reg.FileBytes());
}

}  // namespace cheque
