#pragma once

#include <QDate>
#include <cstdint>
#include <string>
#include <string_view>

namespace cheque {

// The key text of the date sort: the day number as FormatAmount writes it,
// plus 0.01 on a bank-balance row so that it follows the rest of its day,
// "0" for an empty date. The keys are compared as text.
void AppendDateKeyText(std::string_view date_cell, bool bank_balance, QDate today,
                       std::string& out);

// A key packed into two numbers whose order is the order of the key texts
// (byte values) or of the key numbers. A text longer than 10 bytes is only
// told apart from another such text by what follows its 10th byte (the tail).
struct PackedKey {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
};
inline constexpr size_t kPackedTextBytes = 10;
PackedKey PackText(std::string_view text);
PackedKey PackNumber(double value);
// True when two keys with equal packing still differ in their tails.
inline bool HasTail(const PackedKey& key) { return (key.low & 0xFFFF) > kPackedTextBytes; }

}  // namespace cheque
