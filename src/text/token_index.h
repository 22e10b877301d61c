// The tokens of a run, numbered 0, 1, 2, ... in the order they are first
// added, with their texts kept in a TokenStore.  Looking a token up touches
// one slot of a flat table (a hash tag and a number) and then the text: a
// node-based map of a million word pairs spends most of a run's lookups in
// cache misses and most of its set-up in allocations.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "text/token_store.h"

namespace tarne {

class TokenIndex {
 public:
  static constexpr std::uint32_t kNone = 0xffffffffu;

  // The number of token, or kNone.
  std::uint32_t Find(std::string_view token) const;
  // The number of token, added as the next number when new; second is true
  // when it was added.
  std::pair<std::uint32_t, bool> Add(std::string_view token);
  // Valid until Clear or the index goes.
  std::string_view Text(std::uint32_t id) const { return texts_[id]; }
  size_t Size() const { return texts_.size(); }
  // Room for tokens in all without growing on the way.
  void Reserve(size_t tokens);
  void Clear();

 private:
  struct Slot {
    std::uint32_t tag;
    std::uint32_t id;  // kNone when empty
  };
  static std::uint32_t Tag(std::string_view token);
  // The slot holding token, or the empty slot where it would go.
  size_t Locate(std::string_view token, std::uint32_t tag) const;
  void Grow(size_t slots);

  // A power of two in size, at most half full.
  std::vector<Slot> slots_;
  std::vector<std::string_view> texts_;
  TokenStore store_;
};

}  // namespace tarne
