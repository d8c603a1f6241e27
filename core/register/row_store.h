#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/register/large_allocator.h"

namespace cheque {

// The rows of a register as their file records, kept in large blocks: a
// loaded file's bytes stay where they were read, and a row that grows moves
// to fresh room. One small handle a row and a few large allocations keep
// loading fast and memory near the size of the file. Views of row bytes stay
// valid until the store next changes.
class RowStore {
 public:
  struct Row {
    char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t capacity = 0;  // bytes that may be written at `data`; 0: copy first
    std::string_view View() const { return {data, size}; }
  };
  static constexpr size_t kMaxRowBytes = UINT32_MAX;

  RowStore() = default;
  RowStore(const RowStore& other);
  RowStore& operator=(const RowStore& other);
  RowStore(RowStore&& other) noexcept { *this = std::move(other); }
  RowStore& operator=(RowStore&& other) noexcept;  // leaves `other` empty

  size_t Size() const { return rows_.size(); }
  std::string_view View(size_t row) const { return rows_[row].View(); }
  // For reordering only: handles may be moved about, not changed.
  using RowTable = std::vector<Row, LargeAllocator<Row>>;
  RowTable& Rows() { return rows_; }

  void Reserve(size_t rows) { rows_.reserve(rows); }
  void Clear();
  void PushBack(std::string_view bytes);       // copied into the store
  void PushBackBlank(std::string_view blank);  // a constant, shared until written
  void Erase(size_t row);

  // Room for a file's bytes; rows may then be adopted from it.
  char* NewBlock(size_t size);
  void Adopt(char* data, size_t size);

  // Replaces bytes [start, end) of a row.
  void Replace(size_t row, size_t start, size_t end, std::string_view bytes);

  // The same when the row has room for the new bytes (false, nothing done,
  // otherwise): only the row's own bytes are touched, so different rows may
  // be changed so on different threads at once.
  bool ReplaceInPlace(size_t row, size_t start, size_t end, std::string_view bytes);

  // Copies the rows tightly into one block when moved rows have left much
  // unused room behind. Invalidates every view.
  void CompactIfWasteful();

 private:
  char* Allocate(size_t size);
  void CopyFrom(const RowStore& other);

  RowTable rows_;
  std::vector<LargeBlock> blocks_;
  char* free_ = nullptr;  // unused tail of the newest edit block
  size_t free_size_ = 0;
  size_t held_bytes_ = 0;  // all blocks
  size_t live_bytes_ = 0;  // capacities of the rows
};

}  // namespace cheque
