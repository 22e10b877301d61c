// Argument tokens numbered by their two words' numbers.  Counting the
// arguments of a sentence of n frequent words looks up n(n-1)/2 tokens; a
// lookup here hashes one 64-bit key and touches one slot, where a lookup by
// text builds the text, hashes it and compares it byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarne {

class PairIndex {
 public:
  static constexpr std::uint32_t kNone = 0xffffffffu;

  // The key of the token "first second", each word given by its number.
  static std::uint64_t Key(std::uint32_t first, std::uint32_t second) {
    return (std::uint64_t{first} << 32) | second;
  }
  // The number stored for key, or kNone.
  std::uint32_t Find(std::uint64_t key) const;
  // Stores id for key unless key has one; answers the id key holds now.
  std::uint32_t Add(std::uint64_t key, std::uint32_t id);
  size_t Size() const { return size_; }
  void Clear();

 private:
  struct Slot {
    std::uint64_t key;
    std::uint32_t id;  // kNone when empty
  };
  size_t Locate(std::uint64_t key) const;
  void Grow(size_t slots);

  // A power of two in size, at most half full.
  std::vector<Slot> slots_;
  size_t size_ = 0;
  int shift_ = 64;
};

}  // namespace tarne
