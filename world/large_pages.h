#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace murinex {

// An allocator for large arrays read at scattered places (the terrain raster):
// blocks of several megabytes are aligned to 2 MB and offered to the kernel for
// huge pages, so that a lookup seldom misses the address translation cache.
// Smaller blocks come from the ordinary heap. Only where the memory lies
// changes, never what it holds.
template <class T>
class LargePageAllocator {
 public:
  using value_type = T;
  static constexpr std::size_t PageSize = std::size_t{2} << 20;
  static constexpr std::size_t Threshold = 2 * PageSize;

  LargePageAllocator() = default;
  template <class U>
  LargePageAllocator(const LargePageAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < Threshold) return static_cast<T*>(::operator new(bytes));
    const std::size_t rounded = (bytes + PageSize - 1) / PageSize * PageSize;
    void* p = std::aligned_alloc(PageSize, rounded);
    if (!p) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(p, rounded, MADV_HUGEPAGE);  // a hint: refused, the pages stay small
#endif
    return static_cast<T*>(p);
  }

  void deallocate(T* p, std::size_t n) {
    if (n * sizeof(T) < Threshold)
      ::operator delete(p);
    else
      std::free(p);
  }

  template <class U>
  friend bool operator==(const LargePageAllocator&, const LargePageAllocator<U>&) {
    return true;
  }
};

}  // namespace murinex
