#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>

namespace cheque {

// Memory for the few large arrays of a big register (the file's bytes, the
// row handles, the sort keys). Where the system offers huge pages, such an
// array takes them: touching fresh memory a small page at a time is what
// makes opening a large account slow on some machines.
inline constexpr size_t kHugePageBytes = size_t{2} << 20;

void* AllocateLarge(size_t bytes);
void FreeLarge(void* p, size_t bytes);

template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
  void deallocate(T* p, size_t n) { FreeLarge(p, n * sizeof(T)); }
  friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

// A block of bytes from AllocateLarge.
struct LargeBlockDeleter {
  size_t bytes = 0;
  void operator()(char* p) const { FreeLarge(p, bytes); }
};
using LargeBlock = std::unique_ptr<char[], LargeBlockDeleter>;

inline LargeBlock MakeLargeBlock(size_t bytes) {
  bytes = std::max<size_t>(bytes, 1);
  return LargeBlock(static_cast<char*>(AllocateLarge(bytes)), LargeBlockDeleter{bytes});
}

}  // namespace cheque
