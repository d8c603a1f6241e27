#include "core/register/row_store.h"

#include <algorithm>
#include <cstring>

namespace cheque {
namespace {

constexpr size_t kEditBlockBytes = 64 * 1024;
// Room left after a row that moves, so that a balance growing by a digit or
// two does not move it again.
constexpr size_t kGrowthRoom = 8;

}  // namespace

RowStore::RowStore(const RowStore& other) { CopyFrom(other); }

RowStore& RowStore::operator=(const RowStore& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

RowStore& RowStore::operator=(RowStore&& other) noexcept {
  if (this == &other) return *this;
  rows_ = std::move(other.rows_);
  blocks_ = std::move(other.blocks_);
  free_ = std::exchange(other.free_, nullptr);
  free_size_ = std::exchange(other.free_size_, 0);
  held_bytes_ = std::exchange(other.held_bytes_, 0);
  live_bytes_ = std::exchange(other.live_bytes_, 0);
  other.Clear();
  return *this;
}

void RowStore::CopyFrom(const RowStore& other) {
  RowStore copy;
  copy.rows_.reserve(other.rows_.size());
  size_t total = 0;
  for (const Row& row : other.rows_) total += row.capacity == 0 ? 0 : row.size;
  char* block = total == 0 ? nullptr : copy.NewBlock(total);
  for (const Row& row : other.rows_) {
    if (row.capacity == 0) {
      copy.rows_.push_back(row);  // a shared constant
      continue;
    }
    std::memcpy(block, row.data, row.size);
    copy.Adopt(block, row.size);
    block += row.size;
  }
  *this = std::move(copy);
}

void RowStore::Clear() {
  rows_.clear();
  blocks_.clear();
  free_ = nullptr;
  free_size_ = 0;
  held_bytes_ = 0;
  live_bytes_ = 0;
}

char* RowStore::NewBlock(size_t size) {
  blocks_.push_back(MakeLargeBlock(size));
  held_bytes_ += size;
  return blocks_.back().get();
}

void RowStore::Adopt(char* data, size_t size) {
  rows_.push_back({data, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(size)});
  live_bytes_ += size;
}

char* RowStore::Allocate(size_t size) {
  if (size > free_size_) {
    if (size >= kEditBlockBytes / 4) return NewBlock(size);  // a large row gets its own
    free_ = NewBlock(kEditBlockBytes);
    free_size_ = kEditBlockBytes;
  }
  char* room = free_;
  free_ += size;
  free_size_ -= size;
  return room;
}

void RowStore::PushBack(std::string_view bytes) {
  char* room = Allocate(bytes.size());
  std::memcpy(room, bytes.data(), bytes.size());
  Adopt(room, bytes.size());
}

void RowStore::PushBackBlank(std::string_view blank) {
  rows_.push_back({const_cast<char*>(blank.data()), static_cast<std::uint32_t>(blank.size()), 0});
}

void RowStore::Erase(size_t row) {
  live_bytes_ -= rows_[row].capacity;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
}

void RowStore::Replace(size_t row, size_t start, size_t end, std::string_view bytes) {
  Row& r = rows_[row];
  const size_t tail = r.size - end;
  const size_t new_size = start + bytes.size() + tail;
  if (new_size <= r.capacity) {
    std::memmove(r.data + start + bytes.size(), r.data + end, tail);
  } else {
    const size_t capacity = std::min(new_size + kGrowthRoom, kMaxRowBytes);
    char* room = Allocate(capacity);
    std::memcpy(room, r.data, start);
    std::memcpy(room + start + bytes.size(), r.data + end, tail);
    live_bytes_ += capacity - r.capacity;
    r.data = room;
    r.capacity = static_cast<std::uint32_t>(capacity);
  }
  std::memcpy(r.data + start, bytes.data(), bytes.size());
  r.size = static_cast<std::uint32_t>(new_size);
}

bool RowStore::ReplaceInPlace(size_t row, size_t start, size_t end, std::string_view bytes) {
  Row& r = rows_[row];
  const size_t tail = r.size - end;
  const size_t new_size = start + bytes.size() + tail;
  if (new_size > r.capacity) return false;
  std::memmove(r.data + start + bytes.size(), r.data + end, tail);
  std::memcpy(r.data + start, bytes.data(), bytes.size());
  r.size = static_cast<std::uint32_t>(new_size);
  return true;
}

void RowStore::CompactIfWasteful() {
  if (held_bytes_ <= 2 * live_bytes_ + 4 * kEditBlockBytes) return;
  *this = RowStore(*this);
}

}  // namespace cheque
