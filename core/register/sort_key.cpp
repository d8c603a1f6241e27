#include "core/register/sort_key.h"

#include <algorithm>
#include <bit>
#include <charconv>

#include "core/text/amount.h"
#include "core/text/date_text.h"

namespace cheque {

void AppendDateKeyText(std::string_view date_cell, bool bank_balance, QDate today,
                       std::string& out) {
  if (date_cell.empty()) {
    out += '0';
    return;
  }
  const qint64 day = CellDayNumber(date_cell, today);
  if (day < 0) {
    AppendFormattedAmount(static_cast<double>(day) + (bank_balance ? 0.01 : 0.0), out);
    return;
  }
  // What FormatAmount writes for these values, without its general rounding.
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, day);
  out.append(digits, result.ptr);
  if (bank_balance) out += ".01";
}

PackedKey PackText(std::string_view text) {
  const size_t used = std::min(text.size(), kPackedTextBytes);
  auto byte = [&](size_t i) -> std::uint64_t {
    return i < used ? static_cast<unsigned char>(text[i]) : 0U;
  };
  PackedKey key;
  for (size_t i = 0; i < 8; ++i) key.high = (key.high << 8) | byte(i);
  // Padding bytes are 0, so the length breaks ties between "a" and "a\0".
  key.low = (byte(8) << 56) | (byte(9) << 48) |
            static_cast<std::uint64_t>(std::min(text.size(), kPackedTextBytes + 1));
  return key;
}

PackedKey PackNumber(double value) {
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  // -0 and 0 are one number; the sum turns -0 into 0.
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value + 0.0);
  bits = (bits & kSign) != 0 ? ~bits : bits | kSign;
  return {bits, 0};
}

}  // namespace cheque
