#pragma once

// The stored form of one register row: its 8 fields in file order
// (columns 1,5,4,7,2,3,6,8), each followed by CR LF, so a row is its own
// file record. A field never holds CR or LF: loading splits lines there and
// SetCell turns them into blanks.

#include <string_view>

namespace cheque::register_row {

inline constexpr int kFieldCount = 8;
inline constexpr std::string_view kEmptyRow = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";

// The place of each grid column in the record; column 0 has none.
inline constexpr int kFieldOfColumn[9] = {-1, 0, 4, 5, 2, 1, 6, 3, 7};

// Fields are a few bytes long, so a plain loop beats a library search here.
inline size_t FieldEnd(std::string_view row, size_t start) {
  const char* p = row.data() + start;
  while (*p != '\r') ++p;
  return static_cast<size_t>(p - row.data());
}

inline size_t FieldStart(std::string_view row, int field) {
  size_t pos = 0;
  for (int k = 0; k < field; ++k) pos = FieldEnd(row, pos) + 2;
  return pos;
}

inline std::string_view Field(std::string_view row, int field) {
  const size_t start = FieldStart(row, field);
  return std::string_view(row.data() + start, FieldEnd(row, start) - start);
}

inline std::string_view Column(std::string_view row, int column) {
  return Field(row, kFieldOfColumn[column]);
}

// Where a field's bytes lie in the record: [start, end).
struct FieldSpan {
  size_t start;
  size_t end;
};
inline FieldSpan SpanOf(std::string_view row, int field) {
  const size_t start = FieldStart(row, field);
  return {start, FieldEnd(row, start)};
}

// The first N fields in one pass, in file order.
template <int N = kFieldCount>
struct Fields {
  std::string_view field[N];
  std::string_view Column(int column) const { return field[kFieldOfColumn[column]]; }
};
template <int N = kFieldCount>
inline Fields<N> Split(std::string_view row) {
  Fields<N> fields;
  size_t start = 0;
  for (auto& field : fields.field) {
    const size_t end = FieldEnd(row, start);
    field = std::string_view(row.data() + start, end - start);
    start = end + 2;
  }
  return fields;
}

inline bool IsEmpty(std::string_view row) { return row.size() == kEmptyRow.size(); }

// True when the mark (the last field) is "+", read from the record's end.
inline bool IsReconciled(std::string_view row) { return row.ends_with("\r\n+\r\n"); }

}  // namespace cheque::register_row
