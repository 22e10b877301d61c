// The text pane's append contract, independent of any widget.
#pragma once

#include <cstddef>
#include <string>

namespace tarne {

// Holds the pane's length and limit.  limit 0 means no limit.  An append of N
// characters to a pane of length L is refused (answer 0) when N is 0 or when
// L + N + 1 reaches the limit; otherwise it is taken (answer 1).
class PaneBuffer {
 public:
  explicit PaneBuffer(std::size_t limit = 0) : limit_(limit) {}
  int Append(const std::string& text);
  const std::string& Text() const { return text_; }
  std::size_t Length() const { return length_; }
  std::size_t Limit() const { return limit_; }
  void SetLimit(std::size_t limit) { limit_ = limit; }
  // When false the pane only counts characters (the console streams them out).
  void SetKeepText(bool keep) { keep_ = keep; }
  void Clear();

 private:
  std::size_t limit_;
  std::size_t length_ = 0;
  std::string text_;
  bool keep_ = true;
};

}  // namespace tarne
