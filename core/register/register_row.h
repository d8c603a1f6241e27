#pragma once

// The stored form of one register row: its 8 fields in file order
// (columns 1,5,4,7,2,3,6,8), each followed by CR LF, so a row is its own
// file record. A field never holds CR or LF: loading splits lines there and
// SetCell turns them into blanks.

#include <cstring>
#include <string>
#include <string_view>

namespace cheque::register_row {

inline constexpr int kFieldCount = 8;
inline constexpr std::string_view kEmptyRow = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";

// The place of each grid column in the record; column 0 has none.
inline constexpr int kFieldOfColumn[9] = {-1, 0, 4, 5, 2, 1, 6, 3, 7};

inline size_t FieldStart(const std::string& row, int field) {
  size_t pos = 0;
  for (int k = 0; k < field; ++k) {
    const void* cr = std::memchr(row.data() + pos, '\r', row.size() - pos);
    pos = static_cast<size_t>(static_cast<const char*>(cr) - row.data()) + 2;
  }
  return pos;
}

inline size_t FieldEnd(const std::string& row, size_t start) {
  const void* cr = std::memchr(row.data() + start, '\r', row.size() - start);
  return static_cast<size_t>(static_cast<const char*>(cr) - row.data());
}

inline std::string_view Field(const std::string& row, int field) {
  const size_t start = FieldStart(row, field);
  return std::string_view(row.data() + start, FieldEnd(row, start) - start);
}

inline std::string_view Column(const std::string& row, int column) {
  return Field(row, kFieldOfColumn[column]);
}

inline void ReplaceField(std::string& row, int field, std::string_view bytes) {
  const size_t start = FieldStart(row, field);
  row.replace(start, FieldEnd(row, start) - start, bytes);
}

inline bool IsEmpty(const std::string& row) { return row.size() == kEmptyRow.size(); }

}  // namespace cheque::register_row
