#include "text/large_allocator.h"

#include <sys/mman.h>

#include <cstdlib>

namespace tarne {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLarge = std::size_t{1} << 20;
}  // namespace

void* AllocateLarge(std::size_t bytes) {
  void* block = nullptr;
  if (bytes >= kLarge) {
    // Whole huge pages, aligned to one, so that the kernel can back them.
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    block = std::aligned_alloc(kHugePage, rounded);
    if (block != nullptr) madvise(block, rounded, MADV_HUGEPAGE);
  } else {
    block = std::malloc(bytes == 0 ? 1 : bytes);
  }
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeLarge(void* block) noexcept { std::free(block); }

}  // namespace tarne
