#include <QFile>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// Where a record may start a little after `from`: the first line start
// there from which the next records look like register records (a date, a
// mark of at most one byte), or nothing. Only a guess, checked later.
std::optional<size_t> GuessRecordStart(const char* data, size_t from, size_t size) {
  constexpr int kLines = 3 * register_row::kFieldCount;
  size_t line_start[kLines + 1];
  const void* lf = std::memchr(data + from, '\n', size - from);
  if (lf == nullptr) return std::nullopt;
  size_t pos = static_cast<size_t>(static_cast<const char*>(lf) - data) + 1;
  for (size_t& start : line_start) {
    start = pos;
    const size_t stop = LineEnd(data, pos, size);
    if (stop - pos > 64 || stop + 1 >= size || data[stop] != '\r' || data[stop + 1] != '\n') {
      return std::nullopt;
    }
    pos = stop + 2;
  }
  const auto line = [&](int k) {
    return std::string_view(data + line_start[k], line_start[k + 1] - line_start[k] - 2);
  };
  for (int phase = 0; phase < register_row::kFieldCount; ++phase) {
    bool fits = true;
    for (int record = 0; record < 2 && fits; ++record) {
      const int first = phase + record * register_row::kFieldCount;
      const std::string_view date = line(first + register_row::kFieldOfColumn[kDateColumn]);
      fits = line(first + register_row::kFieldOfColumn[kMarkColumn]).size() <= 1 &&
             (date.empty() || IsPlainDateText(date));
    }
    if (fits) return line_start[phase];
  }
  return std::nullopt;
}

// Whole records (eight lines, each ended by CR LF and within the limit) from
// `pos` on, as ParseRecords would adopt them, until a record that is not
// such or that the bytes cut; returns where it stopped.
size_t FindWholeRecords(const char* data, size_t pos, size_t size,
                        std::vector<std::pair<size_t, size_t>>& records) {
  for (;;) {
    size_t end = pos;
    for (int field = 0; field < register_row::kFieldCount; ++field) {
      const size_t stop = LineEnd(data, end, size);
      if (stop - end > kMaxLineBytes || stop + 1 >= size || data[stop] != '\r' ||
          data[stop + 1] != '\n') {
        return pos;
      }
      end = stop + 2;
    }
    records.emplace_back(pos, end - pos);
    pos = end;
  }
}

// ParseRecords over all the rest of a file (`at_end`), a large one in two
// halves at once: the second half is cut where a record seems to start, and
// its records are taken only when the first half's parse ends exactly there;
// otherwise, and for anything out of the ordinary, the parse goes on from
// where the first half stopped, so the result is always the one-pass result.
std::optional<size_t> ParseAllRecords(char* data, size_t size, RowStore& rows, std::string& record,
                                      bool& cut) {
  if (!WorthTwoThreads(size / 64)) return ParseRecords(data, size, true, rows, record, cut);
  const size_t middle = size / 2;
  std::optional<size_t> first_used;
  std::optional<size_t> second_start;
  size_t second_end = 0;
  std::vector<std::pair<size_t, size_t>> second;
  RunInTwo([&](int half) {
    if (half == 0) {
      bool unused_cut = false;  // the real end is further on
      first_used = ParseRecords(data, middle, false, rows, record, unused_cut);
      return;
    }
    second_start = GuessRecordStart(data, middle, size);
    if (!second_start) return;
    second.reserve((size - *second_start) / 64);
    second_end = FindWholeRecords(data, *second_start, size, second);
  });
  if (!first_used) return std::nullopt;
  size_t pos = *first_used;
  if (second_start && !second.empty()) {
    bool unused_cut = false;
    const auto joined =
        ParseRecords(data + pos, *second_start - pos, false, rows, record, unused_cut);
    if (!joined) return std::nullopt;
    pos += *joined;
    if (pos == *second_start) {
      for (const auto& [start, length] : second) rows.Adopt(data + start, length);
      pos = second_end;
    }
  }
  const auto rest = ParseRecords(data + pos, size - pos, true, rows, record, cut);
  if (!rest) return std::nullopt;
  return pos + *rest;
}

#ifdef Q_OS_UNIX
// Reads a file's first `size` bytes from its start, one half on each of two
// threads: most of the time of reading a large file goes to the system's
// preparing the fresh memory, which two threads do at once. Returns the
// bytes read, with the file's position after them (fewer than `size` when
// the rest is to be read as usual), or -1 for a failure.
qint64 ReadFileInTwo(QIODevice& device, char* block, size_t size) {
  auto* file = qobject_cast<QFileDevice*>(&device);
  if (file == nullptr || file->handle() < 0 || device.pos() != 0 || !WorthTwoThreads(size / 64)) {
    return 0;
  }
  const int fd = file->handle();
  const size_t half = size / 2;
  qint64 got[2] = {0, 0};
  RunInTwo([&](int part) {
    const size_t start = part == 0 ? 0 : half;
    const size_t end = part == 0 ? half : size;
    size_t done = start;
    while (done < end) {
      const qint64 n = part == 0 ? device.read(block + done, static_cast<qint64>(end - done))
                                 : static_cast<qint64>(::pread(fd, block + done, end - done,
                                                               static_cast<off_t>(done)));
      if (n < 0 && part == 1 && errno == EINTR) continue;
      if (n < 0) {
        got[part] = -1;
        return;
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    got[part] = static_cast<qint64>(done - start);
  });
  if (got[0] < 0) return -1;
  if (static_cast<size_t>(got[0]) < half) return got[0];
  // The second half again, the usual way, unless it came whole.
  if (static_cast<size_t>(got[1]) == size - half && device.seek(static_cast<qint64>(size))) {
    return static_cast<qint64>(size);
  }
  return static_cast<qint64>(half);
}
#else
qint64 ReadFileInTwo(QIODevice&, char*, size_t) { return 0; }
#endif

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
  if (!ParseAllRecords(block, bytes.size(), rows, record, cut)) {
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
    const bool whole_file = first_block && size_known;
    const size_t capacity = whole_file ? expected + 1 : std::max(chunk_bytes, 2 * unused.size());
    first_block = false;
    char* block = rows_.NewBlock(capacity);
    if (!unused.empty()) std::memcpy(block, unused.data(), unused.size());
    size_t filled = unused.size();
    if (whole_file) {
      const qint64 got = ReadFileInTwo(device, block, expected);
      if (got < 0) return fail(ReadError::kFailed);
      total = static_cast<size_t>(got);
      const void* eof = std::memchr(block, '\x1A', total);
      at_end = eof != nullptr;
      filled = eof != nullptr ? static_cast<size_t>(static_cast<const char*>(eof) - block) : total;
    }
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
    const auto used = at_end ? ParseAllRecords(block, filled, rows_, record, cut)
                             : ParseRecords(block, filled, at_end, rows_, record, cut);
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
