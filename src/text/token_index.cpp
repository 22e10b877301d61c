#include "text/token_index.h"

#include <functional>

namespace tarne {

std::uint32_t TokenIndex::Tag(std::string_view token) {
  const std::uint64_t h = std::hash<std::string_view>{}(token);
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

size_t TokenIndex::Locate(std::string_view token, std::uint32_t tag) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = tag & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.id == kNone || (slot.tag == tag && texts_[slot.id] == token)) return i;
  }
}

void TokenIndex::Grow(size_t slots) {
  decltype(slots_) old(slots, Slot{0, kNone});
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id == kNone) continue;
    size_t i = slot.tag & mask;
    while (slots_[i].id != kNone) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

std::uint32_t TokenIndex::Find(std::string_view token) const {
  if (slots_.empty()) return kNone;
  return slots_[Locate(token, Tag(token))].id;
}

std::pair<std::uint32_t, bool> TokenIndex::Add(std::string_view token) {
  if (2 * (texts_.size() + 1) > slots_.size()) Grow(slots_.empty() ? 16 : 2 * slots_.size());
  const std::uint32_t tag = Tag(token);
  Slot& slot = slots_[Locate(token, tag)];
  if (slot.id != kNone) return {slot.id, false};
  slot = Slot{tag, static_cast<std::uint32_t>(texts_.size())};
  texts_.push_back(store_.Keep(token));
  return {slot.id, true};
}

void TokenIndex::Reserve(size_t tokens) {
  size_t slots = slots_.empty() ? 16 : slots_.size();
  while (slots < 2 * tokens) slots *= 2;
  if (slots > slots_.size()) Grow(slots);
  texts_.reserve(tokens);
}

void TokenIndex::Clear() {
  slots_.clear();
  texts_.clear();
  store_.Clear();
}

}  // namespace tarne
