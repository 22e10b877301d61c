#include "training/pair_index.h"

namespace tarne {

size_t PairIndex::Locate(std::uint64_t key) const {
  const size_t mask = slots_.size() - 1;
  // Fibonacci hashing: the top bits of the product spread keys that differ
  // only in their low words.
  const auto start = static_cast<size_t>((key * 0x9e3779b97f4a7c15ull) >> shift_);
  for (size_t i = start;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.id == kNone || slot.key == key) return i;
  }
}

void PairIndex::Grow(size_t slots) {
  decltype(slots_) old(slots, Slot{0, kNone});
  old.swap(slots_);
  shift_ = 64;
  for (size_t n = slots; n > 1; n >>= 1) --shift_;
  for (const Slot& slot : old)
    if (slot.id != kNone) slots_[Locate(slot.key)] = slot;
}

std::uint32_t PairIndex::Find(std::uint64_t key) const {
  if (slots_.empty()) return kNone;
  return slots_[Locate(key)].id;
}

std::uint32_t PairIndex::Add(std::uint64_t key, std::uint32_t id) {
  if (2 * (size_ + 1) > slots_.size()) Grow(slots_.empty() ? 16 : 2 * slots_.size());
  Slot& slot = slots_[Locate(key)];
  if (slot.id != kNone) return slot.id;
  slot = Slot{key, id};
  ++size_;
  return id;
}

void PairIndex::Clear() {
  slots_.clear();
  size_ = 0;
  shift_ = 64;
}

}  // namespace tarne
