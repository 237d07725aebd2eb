// CLargeBlockAllocator: the allocator of the design's big arrays (the beads
// of a design, snapshots). Blocks of 2 MB and more come from page memory
// (VirtualAlloc), which the system backs with large pages where it can; a
// million-bead grid is then laid out or copied without a page fault per
// 4 KB. Smaller blocks come from the ordinary heap.
#pragma once

#include <memory>
#include <new>

#include "platform/base.h"

template <typename T>
class CLargeBlockAllocator {
 public:
  using value_type = T;
  static constexpr size_t kLargeBlock = size_t{2} << 20;

  CLargeBlockAllocator() noexcept = default;
  template <typename U>
  CLargeBlockAllocator(const CLargeBlockAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const size_t bytes = n * sizeof(T);
    if (bytes < kLargeBlock) return std::allocator<T>().allocate(n);
    void* p = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t n) noexcept {
    if (n * sizeof(T) < kLargeBlock) std::allocator<T>().deallocate(p, n);
    else VirtualFree(p, 0, MEM_RELEASE);
  }

  template <typename U>
  friend bool operator==(const CLargeBlockAllocator&, const CLargeBlockAllocator<U>&) noexcept {
    return true;
  }
};
