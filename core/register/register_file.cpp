#include <QFile>
#include <algorithm>
#include <cstring>

#include "core/files/line_file.h"
#include "core/register/register.h"
#include "core/register/register_row.h"

namespace cheque {
namespace {

// The lines of a data file by the rules of LineReader (Ctrl-Z ends the file;
// CR LF, a lone CR or a lone LF ends a line), and whether a line ended with
// exactly CR LF, so that a record already in its stored form is copied whole.
class LineScanner {
 public:
  explicit LineScanner(std::string_view bytes) : data_(bytes) {
    if (data_.empty()) return;
    const void* eof = std::memchr(data_.data(), '\x1A', data_.size());
    if (eof != nullptr) data_ = data_.substr(0, Offset(eof));
  }

  bool AtEnd() const { return pos_ >= data_.size(); }
  size_t Position() const { return pos_; }
  const char* At(size_t pos) const { return data_.data() + pos; }

  std::string_view Next(bool& crlf) {
    crlf = false;
    if (AtEnd()) return {};
    const size_t stop = std::min(NextOf('\r', next_cr_), NextOf('\n', next_lf_));
    const std::string_view line = data_.substr(pos_, stop - pos_);
    if (stop == data_.size()) {
      pos_ = stop;
      return line;
    }
    pos_ = stop + 1;
    if (data_[stop] == '\r' && pos_ < data_.size() && data_[pos_] == '\n') {
      ++pos_;
      crlf = true;
    }
    return line;
  }

 private:
  size_t Offset(const void* p) const {
    return static_cast<size_t>(static_cast<const char*>(p) - data_.data());
  }

  // The next `c` at or after the position; remembered, so that lines ended by
  // the other character never rescan a long stretch.
  size_t NextOf(char c, size_t& cached) {
    if (cached == kUnknown || cached < pos_) {
      const void* p = std::memchr(data_.data() + pos_, c, data_.size() - pos_);
      cached = p == nullptr ? data_.size() : Offset(p);
    }
    return cached;
  }

  static constexpr size_t kUnknown = static_cast<size_t>(-1);
  std::string_view data_;
  size_t pos_ = 0;
  size_t next_cr_ = kUnknown;
  size_t next_lf_ = kUnknown;
};

}  // namespace

void Register::LoadFileBytes(std::string_view bytes, QStringView opening_balance) {
  rows_.clear();
  rows_.reserve(bytes.size() / 64 + 2);
  LineScanner scanner(bytes);
  std::string record;
  while (!scanner.AtEnd()) {
    const size_t start = scanner.Position();
    bool whole = true;
    record.clear();
    for (int field = 0; field < register_row::kFieldCount; ++field) {
      bool crlf = false;
      const std::string_view line = scanner.Next(crlf);
      whole = whole && crlf;
      record.append(line);
      record.append("\r\n");
    }
    if (whole) {
      rows_.emplace_back(scanner.At(start), scanner.Position() - start);
    } else {
      rows_.push_back(record);
    }
  }
  AddEmptyRow();
  if (rows_.size() == 1) {
    AddEmptyRow();
    const QString opening_text = QStringLiteral("יתרת פתיחה");
    SetCell(0, kDescriptionColumn, opening_text);
    SetCell(0, kDateColumn, u"1/1/1990");
    SetCell(0, kBalanceColumn, opening_balance);
    SetCell(0, kCategoryColumn, QStringView(kBankBalanceCategory));
    SetCell(0, kTypeColumn, opening_text);
  }
  needs_sorting_ = true;
  last_bank_balance_row_ = -1;
}

QByteArray Register::FileBytes() const {
  qsizetype total = 0;
  for (const std::string& row : rows_) {
    if (!register_row::IsEmpty(row)) total += static_cast<qsizetype>(row.size());
  }
  QByteArray out(total, Qt::Uninitialized);
  char* dst = out.data();
  for (const std::string& row : rows_) {
    if (register_row::IsEmpty(row)) continue;
    std::memcpy(dst, row.data(), row.size());
    dst += row.size();
  }
  return out;
}

AccountFileStatus LoadAccountFile(const QString& path, QStringView opening_balance,
                                  Register& reg) {
  if (!path.isEmpty()) {
    if (const auto bytes = ReadFileBytes(path)) {
      reg.LoadFileBytes(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())),
                        opening_balance);
      return AccountFileStatus::kRead;
    }
    // Only a missing file is created: one that exists but cannot be read
    // keeps its content for another day.
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      file.close();
      reg.LoadFileBytes({}, opening_balance);
      return AccountFileStatus::kCreatedEmpty;
    }
  }
  reg.Clear();
  return AccountFileStatus::kUnavailable;
}

bool SaveAccountFile(const QString& path, const Register& reg) {
  return !path.isEmpty() && WriteFileAtomic(path, reg.FileBytes());
}

}  // namespace cheque
