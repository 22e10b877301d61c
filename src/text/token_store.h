// Token texts kept for the length of a run, in large blocks: a vocabulary of
// a million word pairs costs a few hundred allocations instead of one per
// token, and the views handed out stay valid until the store goes.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace tarne {

class TokenStore {
 public:
  std::string_view Keep(std::string_view text) {
    if (text.size() > room_) {
      const size_t size = text.size() > kBlock / 4 ? text.size() : kBlock;
      blocks_.push_back(std::make_unique<char[]>(size));
      next_ = blocks_.back().get();
      room_ = size;
    }
    if (!text.empty()) std::memcpy(next_, text.data(), text.size());
    std::string_view kept(next_, text.size());
    next_ += text.size();
    room_ -= text.size();
    return kept;
  }

  void Clear() {
    blocks_.clear();
    next_ = nullptr;
    room_ = 0;
  }

 private:
  static constexpr size_t kBlock = 1 << 16;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  size_t room_ = 0;
};

}  // namespace tarne
