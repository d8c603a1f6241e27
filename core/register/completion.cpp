#include "core/register/completion.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/register/register.h"
#include "core/text/codec.h"
#include "core/text/text_compare.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cheque {
namespace {

constexpr int kMaxSuggestions = 6;
constexpr int kPrefetchRows = 16;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Eight bytes at once, capital ASCII letters to small ones.
std::uint64_t FoldAscii(std::uint64_t bytes) {
  constexpr std::uint64_t kEach = 0x0101010101010101;
  const std::uint64_t low = bytes & (kEach * 0x7F);
  const std::uint64_t from_a = low + kEach * (0x80 - 'A');  // top bit: at least 'A'
  const std::uint64_t past_z = low + kEach * (0x7F - 'Z');  // top bit: beyond 'Z'
  const std::uint64_t capital = (from_a ^ past_z) & ~bytes & (kEach * 0x80);
  return bytes | (capital >> 2);
}

std::uint64_t Load8(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Over a million rows a keystroke can afford no unpredictable branch per
// row, so a row is located and compared with whole words; only rows that
// may match take the byte-wise path.

// Bit i set when end[i - 32] is LF.
std::uint32_t LineFeedsBefore(const char* end) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const auto low = static_cast<std::uint32_t>(_mm_movemask_epi8(
      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 32)), lf)));
  const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(
      _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16)), lf)));
  return (high << 16) | low;
#else
  std::uint32_t found = 0;
  for (int i = 0; i < 32; ++i) found |= static_cast<std::uint32_t>(end[i - 32] == '\n') << i;
  return found;
#endif
}

// The description of a stored record, found from its end: only the mark
// follows it.
std::string_view DescriptionOf(std::string_view record) {
  const char* begin = record.data();
  const char* mark_end = begin + record.size() - 2;
  const std::uint32_t found = mark_end - begin >= 32 ? LineFeedsBefore(mark_end) : 0;
  if (found != 0) {
    const int before_mark = 31 - std::countl_zero(found);
    const std::uint32_t earlier = found ^ (std::uint32_t{1} << before_mark);
    if (earlier != 0) {
      const char* start = mark_end - std::countl_zero(earlier);
      const char* end = mark_end - 32 + before_mark - 1;
      return std::string_view(start, static_cast<size_t>(end - start));
    }
  }
  // Long descriptions and short records, byte by byte.
  const char* mark = mark_end;
  while (mark > begin && mark[-1] != '\n') --mark;
  const char* end = mark - 2;
  const char* start = end;
  while (start > begin && start[-1] != '\n') --start;
  return std::string_view(start, static_cast<size_t>(end - start));
}

// The typed text, folded, with its first eight bytes as a word to compare.
class Prefix {
 public:
  explicit Prefix(std::string folded) : folded_(std::move(folded)) {
    char head[8] = {};
    char mask[8] = {};
    const size_t n = folded_.size() < 8 ? folded_.size() : 8;
    std::memcpy(head, folded_.data(), n);
    std::memset(mask, 0xFF, n);
    head_ = Load8(head);
    mask_ = Load8(mask);
  }

  // `text` lies in a record, which goes on at least 4 bytes past it.
  bool Starts(std::string_view text, const char* record_end) const {
    std::uint64_t word;
    if (text.data() + 8 <= record_end) {
      word = Load8(text.data());
    } else {
      char bytes[8] = {};
      std::memcpy(bytes, text.data(), static_cast<size_t>(record_end - text.data()));
      word = Load8(bytes);
    }
    const bool head = (FoldAscii(word) & mask_) == head_;
    const bool long_enough = text.size() >= folded_.size();
    if (!(head & long_enough)) return false;
    for (size_t i = 8; i < folded_.size(); ++i) {
      if (FoldAscii(text[i]) != folded_[i]) return false;
    }
    return true;
  }

 private:
  std::string folded_;
  std::uint64_t head_ = 0;
  std::uint64_t mask_ = 0;
};

const std::string& OpeningBalanceBytes() {
  static const std::string bytes = EncodeWin1255(u"יתרת פתיחה");
  return bytes;
}

}  // namespace

const std::array<QString, kPaymentTypeCount>& PaymentTypes() {
  static const std::array<QString, kPaymentTypeCount> types = {
      QStringLiteral("אחר"),      QStringLiteral("שק"),     QStringLiteral("מזומן"),
      QStringLiteral("אשראי"),    QStringLiteral("הלוואה"), QStringLiteral("הו\"ק"),
      QStringLiteral("חיוב בנק"), QStringLiteral("משכנתא"), QStringLiteral("העברה"),
      QStringLiteral("יתרה")};
  return types;
}

int PaymentTypeIndex(QStringView type_and_reference) {
  for (int i = 0; i < kPaymentTypeCount; ++i) {
    if (TextContains(PaymentTypes()[static_cast<size_t>(i)], type_and_reference)) return i;
  }
  return -1;
}

QString ReferenceOf(QStringView type_and_reference) {
  QString reference = type_and_reference.toString();
  const int type = PaymentTypeIndex(type_and_reference);
  if (type >= 0) {
    const QString& name = PaymentTypes()[static_cast<size_t>(type)];
    const qsizetype at = reference.indexOf(name, 0, Qt::CaseInsensitive);
    if (at >= 0) reference.remove(at, name.size() + 1);
  }
  if (reference == u" ") reference.clear();
  return reference;
}

DescriptionCompletion CompleteDescription(const Register& reg, QStringView typed) {
  DescriptionCompletion completion;
  // Stored cells are Windows-1255, so text it cannot hold starts none of them.
  if (typed.isEmpty() || !CanEncodeWin1255(typed)) return completion;
  std::string folded = EncodeWin1255(typed);
  for (char& c : folded) c = FoldAscii(c);
  const Prefix prefix(std::move(folded));
  std::vector<std::string_view> found;
  const int rows = reg.RowCount();
  // Rows moved by sorting or editing lie anywhere, so each is asked for a
  // few rows ahead of its turn.
  std::string_view ahead[kPrefetchRows];
  const auto fetch = [&](int row) {
    const std::string_view record = reg.RawRecord(row);
    __builtin_prefetch(record.data() + record.size() - 1);
    __builtin_prefetch(record.data() + record.size() - 36);
    ahead[row % kPrefetchRows] = record;
  };
  for (int row = 0; row < rows && row < kPrefetchRows; ++row) fetch(row);
  for (int row = 0; row < rows; ++row) {
    const std::string_view record = ahead[row % kPrefetchRows];
    if (row + kPrefetchRows < rows) fetch(row + kPrefetchRows);
    const std::string_view description = DescriptionOf(record);
    if (!prefix.Starts(description, record.data() + record.size()) ||
        description == OpeningBalanceBytes()) {
      continue;
    }
    if (completion.first_row < 0) completion.first_row = row;
    bool seen = false;
    for (std::string_view earlier : found) {
      // Most rows that match repeat a suggestion exactly.
      seen = seen || (earlier.size() == description.size() &&
                      (earlier == description || TextEquals(earlier, description)));
    }
    if (seen) continue;
    found.push_back(description);
    completion.suggestions.append(DecodeWin1255(description));
    if (found.size() == kMaxSuggestions) break;
  }
  return completion;
}

int FirstRowWithDescription(const Register& reg, QStringView description) {
  if (!CanEncodeWin1255(description)) return -1;
  const std::string bytes = EncodeWin1255(description);
  const int rows = reg.RowCount();
  for (int row = 0; row < rows; ++row) {
    if (TextEquals(DescriptionOf(reg.RawRecord(row)), bytes)) return row;
  }
  return -1;
}

}  // namespace cheque
