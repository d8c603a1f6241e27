#include "core/register/large_allocator.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace cheque {
namespace {

bool UsesHugePages(size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  return bytes >= 2 * kHugePageBytes;
#else
  static_cast<void>(bytes);
  return false;
#endif
}

}  // namespace

void* AllocateLarge(size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (UsesHugePages(bytes)) {
    const size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    void* p = std::aligned_alloc(kHugePageBytes, rounded);
    if (p == nullptr) throw std::bad_alloc();
    madvise(p, rounded, MADV_HUGEPAGE);
    return p;
  }
#endif
  return ::operator new(bytes);
}

void FreeLarge(void* p, size_t bytes) {
  if (UsesHugePages(bytes)) {
    std::free(p);
  } else {
    ::operator delete(p);
  }
}

}  // namespace cheque
