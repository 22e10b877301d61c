// An allocator for the few very large arrays of a run (the token index, the
// entries of a vocabulary of a million word pairs): blocks of a megabyte or
// more are asked for in transparent huge pages, so that filling them costs
// one page fault per 2 MB instead of one per 4 KB.  Smaller blocks, and
// systems without huge pages, get ordinary memory.
#pragma once

#include <cstddef>
#include <new>

namespace tarne {

void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block) noexcept;

template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t) noexcept { FreeLarge(p); }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const { return true; }
};

}  // namespace tarne
